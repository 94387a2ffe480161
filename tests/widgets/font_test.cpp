// trel_font: glyphs rendered from a real toolkit font (DejaVu, installed on
// every test machine) have sane sizes, metrics and coverage.
#include <gtest/gtest.h>

#include <wx/dcmemory.h>

#include "widgets/bitmap_test_util.h"
#include "widgets/font.h"

namespace {

int max_green(const trel_bitmap &glyph) {
  int most = 0;
  for (int y = 0; y < glyph.height(); y++)
    for (int x = 0; x < glyph.width(); x++)
      most = std::max(most, static_cast<int>(glyph.row(y)[x * 4 + 1]));
  return most;
}

std::unique_ptr<trel_font> mono(int points) {
  return std::make_unique<trel_font>(points, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL,
                                     wxFONTWEIGHT_NORMAL, false, "DejaVu Sans Mono");
}

TEST(Font, FixedPitchGlyphsShareOneSize) {
  auto font = mono(10);
  ASSERT_TRUE(font->IsOk());
  EXPECT_EQ(font->glyph_count(), 95);
  int width = 0, height = 0;
  font->glyph_size('M', &width, &height);
  EXPECT_GE(width, 4);
  EXPECT_LE(width, 30);
  EXPECT_GT(height, width);
  for (int code = 32; code <= 126; code++) {
    int w = -1, h = -1;
    font->glyph_size(code, &w, &h);
    EXPECT_EQ(w, width) << "code " << code;
    EXPECT_EQ(h, height) << "code " << code;
    EXPECT_EQ(font->glyph_width(code), width) << "code " << code;
  }
  for (int code : {0, 9, 10, 31, 127})
    EXPECT_EQ(font->glyph(code), nullptr) << "code " << code;
  EXPECT_EQ(font->line_height, height);
  EXPECT_GT(font->descent, 0);
  EXPECT_GT(font->ascent, font->descent);
  EXPECT_EQ(font->ascent + font->descent, font->line_height);
}

TEST(Font, GlyphsAreWhiteInkOnOpaqueBlack) {
  auto font = mono(12);
  for (int code = 32; code <= 126; code++) {
    const trel_bitmap *glyph = font->glyph(code);
    ASSERT_NE(glyph, nullptr) << "code " << code;
    if (code == ' ')
      EXPECT_EQ(max_green(*glyph), 0) << "the blank has ink";
    else
      EXPECT_GE(max_green(*glyph), 160) << "no solid ink in '" << static_cast<char>(code) << "'";
    for (int y = 0; y < glyph->height(); y++)
      for (int x = 0; x < glyph->width(); x++)
        ASSERT_EQ(alpha_at(*glyph, x, y), 255);
  }
  // Ink stays inside its cell: the corners of a full-height bar are paper.
  const trel_bitmap *bar = font->glyph('|');
  EXPECT_EQ(pixel_at(*bar, 0, 0), (trel_colour{0, 0, 0}));
  EXPECT_EQ(pixel_at(*bar, bar->width() - 1, 0), (trel_colour{0, 0, 0}));
}

TEST(Font, NewSizeOrFaceRendersTheGlyphsAgain) {
  auto font = mono(8);
  const int small = font->glyph_width('M');
  font->SetPointSize(20);
  EXPECT_GT(font->glyph_width('M'), small);
  EXPECT_EQ(font->glyph_count(), 95);
  int width = 0, height = 0;
  font->glyph_size('W', &width, &height);
  EXPECT_EQ(font->line_height, height);

  font->SetFaceName("DejaVu Sans");
  EXPECT_LT(font->glyph_width('i'), font->glyph_width('W')) << "still fixed pitch";
  EXPECT_EQ(font->glyph_count(), 95);

  const int before = font->line_height;
  font->SetPixelSize(wxSize(0, before / 2));
  EXPECT_LT(font->line_height, before);
  font->glyph_size('W', &width, &height);
  EXPECT_EQ(height, font->line_height);
}

TEST(Font, UnusableFontLeavesTheTableAlone) {
  log_capture log;
  trel_glyph_table table;
  table.set_glyph('A', std::make_unique<trel_bitmap>(3, 4));
  table.line_height = 4;
  EXPECT_EQ(trel_font::render_glyphs(wxNullFont, table), 0);
  EXPECT_EQ(table.glyph_count(), 1);
  EXPECT_EQ(table.glyph_width('A'), 3);
  EXPECT_EQ(table.line_height, 4);
  EXPECT_EQ(log.text(), "Error in trel_font::render_glyphs(), the font is not usable.\n");
}

TEST(Font, SharedFontFamiliesAllRender) {
  const std::pair<wxFontFamily, int> fonts[] = {
      {wxFONTFAMILY_MODERN, 8}, {wxFONTFAMILY_TELETYPE, 6}, {wxFONTFAMILY_TELETYPE, 8}};
  for (auto [family, points] : fonts) {
    trel_font font(points, family, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL);
    EXPECT_EQ(font.glyph_count(), 95) << "family " << family << " at " << points;
    EXPECT_GT(font.glyph_width('x'), 0);
    EXPECT_GT(font.line_height, 0);
  }
}

TEST(Font, DrawsAndMeasuresARunOfText) {
  auto font = mono(10);
  const int w = font->glyph_width('H');
  trel_bitmap b(120, font->line_height + 4);
  b.Clear(trel_colour{0, 0, 0});
  const int end =
      b.draw_text(*font, "Hello", 2, 2, trel_colour{255, 255, 255}, trel_colour{0, 0, 0});
  EXPECT_EQ(end, 2 + 5 * w);
  int width = 0, height = 0;
  font->text_extent("Hello", &width, &height);
  EXPECT_EQ(width, 5 * w);
  EXPECT_EQ(height, font->line_height);
  EXPECT_EQ(font->text_width("Hello, world", 5), 5 * w);
  int lit_inside = 0, lit_outside = 0;
  for (int y = 0; y < b.height(); y++)
    for (int x = 0; x < b.width(); x++) {
      const bool lit = pixel_at(b, x, y).g > 128;
      if (x >= 2 && x < end && y >= 2)
        lit_inside += lit;
      else
        lit_outside += lit;
    }
  EXPECT_GT(lit_inside, 5 * 4);
  EXPECT_EQ(lit_outside, 0);
}

// Each glyph drawn on its own into a bitmap of its own extent, the plain way:
// rendering all glyphs at once must give the same pixels.
TEST(Font, GlyphsMatchSeparateRendering) {
  const std::pair<wxFontStyle, const char *> faces[] = {{wxFONTSTYLE_NORMAL, "DejaVu Sans Mono"},
                                                        {wxFONTSTYLE_ITALIC, "DejaVu Serif"}};
  for (auto [style, face] : faces) {
    trel_font font(11, wxFONTFAMILY_DEFAULT, style, wxFONTWEIGHT_NORMAL, false, face);
    for (int code = 32; code <= 126; code++) {
      const wxString text(static_cast<wxChar>(code));
      wxBitmap scratch(16, 16, 24);
      wxMemoryDC measure(scratch);
      measure.SetFont(font);
      const wxSize size = measure.GetTextExtent(text);
      measure.SelectObject(wxNullBitmap);
      wxBitmap alone(size.GetWidth(), size.GetHeight(), 24);
      {
        wxMemoryDC dc(alone);
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        dc.SetFont(font);
        dc.SetTextForeground(*wxWHITE);
        dc.SetTextBackground(*wxBLACK);
        dc.DrawText(text, 0, 0);
      }
      const wxImage image = alone.ConvertToImage();
      const trel_bitmap *glyph = font.glyph(code);
      ASSERT_NE(glyph, nullptr);
      ASSERT_EQ(glyph->width(), size.GetWidth()) << face << " code " << code;
      ASSERT_EQ(glyph->height(), size.GetHeight()) << face << " code " << code;
      for (int y = 0; y < glyph->height(); y++)
        for (int x = 0; x < glyph->width(); x++)
          ASSERT_EQ(pixel_at(*glyph, x, y),
                    (trel_colour{image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)}))
              << face << " '" << static_cast<char>(code) << "' at (" << x << ", " << y << ")";
    }
  }
}

} // namespace
