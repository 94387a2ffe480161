// trel_bitmap operations that read another bitmap: copies, the alpha-
// multiplied copy, glyphs and text runs; and the display-free glyph table.
#include <climits>

#include "widgets/bitmap_test_util.h"

namespace {

const trel_colour background{10, 20, 30};
const trel_colour white{255, 255, 255};
const trel_colour black{0, 0, 0};

trel_bitmap canvas() {
  trel_bitmap b(8, 6);
  b.Clear(background);
  set_alpha_everywhere(b, 44);
  return b;
}

// A 4 by 3 source whose every byte tells where it came from.
trel_bitmap numbered_source() {
  trel_bitmap s(4, 3);
  for (int y = 0; y < 3; y++)
    for (int x = 0; x < 4; x++) {
      uint8_t *p = s.row(y) + x * 4;
      p[0] = static_cast<uint8_t>(x * 10 + 1);
      p[1] = static_cast<uint8_t>(y * 10 + 200);
      p[2] = static_cast<uint8_t>(x + y * 4 + 100);
      p[3] = static_cast<uint8_t>(x * 50 + y * 20 + 3);
    }
  return s;
}

const std::pair<int, int> placements[] = {
    {2, 1},  {-3, -2}, {6, 4},  {-1, 4},      {5, -1},           {8, 0},
    {-4, 0}, {0, 6},   {0, -3}, {INT_MAX, 0}, {INT_MIN, INT_MIN}};

TEST(BitmapDrawBitmap, CopiesAllFourBytesOfTheClippedSource) {
  const trel_bitmap source = numbered_source();
  const int untouched[4] = {background.r, background.g, background.b, 44};
  for (auto [ox, oy] : placements) {
    SCOPED_TRACE(testing::Message() << "at (" << ox << ", " << oy << ")");
    trel_bitmap b = canvas();
    b.DrawBitmap(source, ox, oy);
    for (int y = 0; y < 6; y++)
      for (int x = 0; x < 8; x++) {
        const long long sx = static_cast<long long>(x) - ox, sy = static_cast<long long>(y) - oy;
        const bool from_source = sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
        for (int i = 0; i < 4; i++) {
          const int expected =
              from_source ? source.row(static_cast<int>(sy))[sx * 4 + i] : untouched[i];
          ASSERT_EQ(b.row(y)[x * 4 + i], expected)
              << "byte " << i << " at (" << x << ", " << y << ")";
        }
      }
  }
}

TEST(BitmapDrawBitmap, OntoItselfReadsTheOriginalPixels) {
  trel_bitmap b(5, 4);
  for (int y = 0; y < 4; y++)
    for (int x = 0; x < 5; x++)
      b.set_pixel(x, y, x * 20, y * 20, 0);
  trel_bitmap original;
  original.copy_from(b);
  b.DrawBitmap(b, 1, 1);
  for (int y = 0; y < 4; y++)
    for (int x = 0; x < 5; x++)
      EXPECT_EQ(pixel_at(b, x, y),
                (x >= 1 && y >= 1) ? pixel_at(original, x - 1, y - 1) : pixel_at(original, x, y));
}

TEST(BitmapNukeAlpha, MultipliesColoursByTheSourceAlphaAndKeepsOwnAlpha) {
  const trel_bitmap source = numbered_source();
  for (auto [ox, oy] : placements) {
    SCOPED_TRACE(testing::Message() << "at (" << ox << ", " << oy << ")");
    trel_bitmap b = canvas();
    b.DrawBitmapNukeAlpha(source, ox, oy);
    for (int y = 0; y < 6; y++)
      for (int x = 0; x < 8; x++) {
        const long long sx = static_cast<long long>(x) - ox, sy = static_cast<long long>(y) - oy;
        trel_colour expected = background;
        if (sx >= 0 && sx < 4 && sy >= 0 && sy < 3) {
          const uint8_t *s = source.row(static_cast<int>(sy)) + sx * 4;
          expected = {(s[0] * s[3]) >> 8, (s[1] * s[3]) >> 8, (s[2] * s[3]) >> 8};
        }
        ASSERT_EQ(pixel_at(b, x, y), expected) << "at (" << x << ", " << y << ")";
        ASSERT_EQ(alpha_at(b, x, y), 44);
      }
  }
  // Fully opaque white loses one step: 255 * 255 >> 8.
  trel_bitmap opaque(1, 1);
  opaque.Clear(white);
  trel_bitmap b = canvas();
  b.DrawBitmapNukeAlpha(opaque, 0, 0);
  EXPECT_EQ(pixel_at(b, 0, 0), (trel_colour{254, 254, 254}));
}

TEST(BitmapNukeAlpha, OntoItselfUsesTheOriginalPixels) {
  for (auto [ox, oy] : {std::make_pair(0, 0), std::make_pair(1, 0), std::make_pair(-1, 1)}) {
    SCOPED_TRACE(testing::Message() << "at (" << ox << ", " << oy << ")");
    trel_bitmap b = numbered_source();
    trel_bitmap original;
    original.copy_from(b);
    b.DrawBitmapNukeAlpha(b, ox, oy);
    for (int y = 0; y < 3; y++)
      for (int x = 0; x < 4; x++) {
        const int sx = x - ox, sy = y - oy;
        trel_colour expected = pixel_at(original, x, y);
        if (sx >= 0 && sx < 4 && sy >= 0 && sy < 3) {
          const uint8_t *s = original.row(sy) + sx * 4;
          expected = {(s[0] * s[3]) >> 8, (s[1] * s[3]) >> 8, (s[2] * s[3]) >> 8};
        }
        ASSERT_EQ(pixel_at(b, x, y), expected) << "at (" << x << ", " << y << ")";
      }
  }
}

// A glyph row whose green bytes are the coverages 0, 255 and 128; red and
// blue hold noise that must not matter.
trel_bitmap coverage_glyph() {
  trel_bitmap g(3, 1);
  const int coverage[3] = {0, 255, 128};
  for (int x = 0; x < 3; x++)
    g.set_pixel(x, 0, 77, coverage[x], 177);
  return g;
}

TEST(BitmapGlyph, GreenChannelBlendsForegroundOverBackground) {
  struct glyph_case {
    const char *name;
    bool transparent;
    trel_colour foreground, back;
    trel_colour expected[3];
  };
  const glyph_case cases[] = {
      {"opaque",
       false,
       {200, 10, 255},
       {100, 20, 0},
       {{100, 20, 0}, {199, 9, 254}, {149, 14, 127}}},
      {"white on black", false, white, black, {black, {254, 254, 254}, {127, 127, 127}}},
      {"transparent over the pixels",
       true,
       {200, 10, 255},
       {},
       {background, {199, 9, 254}, {104, 14, 142}}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    trel_bitmap b = canvas();
    if (c.transparent)
      b.DrawTextGlyphTransparent(coverage_glyph(), 2, 1, c.foreground);
    else
      b.DrawTextGlyph(coverage_glyph(), 2, 1, c.foreground, c.back);
    for (int x = 0; x < 3; x++)
      EXPECT_EQ(pixel_at(b, 2 + x, 1), c.expected[x]) << "coverage column " << x;
    EXPECT_EQ(pixel_at(b, 1, 1), background);
    EXPECT_EQ(pixel_at(b, 5, 1), background);
    EXPECT_EQ(alpha_at(b, 3, 1), 44);
  }
}

TEST(BitmapGlyph, ClipsLikeDrawBitmap) {
  for (bool transparent : {false, true}) {
    SCOPED_TRACE(transparent ? "transparent" : "opaque");
    trel_bitmap b = canvas();
    // Cut one column on the left: the full-coverage column lands on x = 0.
    if (transparent) {
      b.DrawTextGlyphTransparent(coverage_glyph(), -1, 5, white);
      b.DrawTextGlyphTransparent(coverage_glyph(), 6, -1, white);
    } else {
      b.DrawTextGlyph(coverage_glyph(), -1, 5, white, black);
      b.DrawTextGlyph(coverage_glyph(), 6, -1, white, black);
    }
    EXPECT_EQ(pixel_at(b, 0, 5), (trel_colour{254, 254, 254}));
    EXPECT_EQ(pixel_at(b, 2, 5), background);
    EXPECT_EQ(pixel_at(b, 7, 0), background);
    EXPECT_EQ(pixel_at(b, 6, 0), background);
  }
}

// A hand-made font: 'A' 2 by 2 fully covered, 'B' 3 by 3 covered only in its
// first column, the blank 1 by 2.
class text_fixture : public testing::Test {
protected:
  void SetUp() override {
    auto a = std::make_unique<trel_bitmap>(2, 2);
    a->Clear(white);
    auto b = std::make_unique<trel_bitmap>(3, 3);
    b->DrawFilledRectangle(0, 0, 0, 2, white);
    font.set_glyph('A', std::move(a));
    font.set_glyph('B', std::move(b));
    font.set_glyph(' ', std::make_unique<trel_bitmap>(1, 2));
  }
  trel_glyph_table font;
};

// Black ink on white paper: covered pixels come out exactly black.
TEST_F(text_fixture, DrawTextPlacesGlyphsByTheirWidths) {
  struct text_case {
    const char *name;
    const char *text;
    int x, y, returned;
    std::vector<std::string> ink, paper;
  };
  const std::vector<std::string> none(6, "........");
  const text_case cases[] = {
      {"run clipped on the right",
       "AB A",
       1,
       1,
       9,
       {"........", ".###...#", ".###...#", "...#....", "........", "........"},
       {"........", "....###.", "....###.", "....##..", "........", "........"}},
      {"high bit and empty slots",
       "\t\xC1\n",
       0,
       0,
       2,
       {"##......", "##......", "........", "........", "........", "........"},
       none},
      {"starting left of the bitmap",
       "A",
       -1,
       4,
       1,
       {"........", "........", "........", "........", "#.......", "#......."},
       none},
      {"starting on the right edge: measured, not visible", "AB", 8, 0, 13, none, none},
      {"starting on the bottom edge: measured, not visible", "AB", 0, 6, 5, none, none},
      {"starting beyond the right edge: refused", "AB", 9, 0, 9, none, none},
      {"starting beyond the bottom edge: refused", "AB", 0, 7, 0, none, none},
      {"null text", nullptr, 3, 3, 3, none, none},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    trel_bitmap b = canvas();
    EXPECT_EQ(b.draw_text(font, c.text, c.x, c.y, black, white), c.returned);
    EXPECT_EQ(mask_of(b, black), c.ink);
    EXPECT_EQ(mask_of(b, white), c.paper);

    trel_bitmap t = canvas();
    EXPECT_EQ(t.draw_text_transparent(font, c.text, c.x, c.y, black), c.returned);
    EXPECT_EQ(mask_of(t, black), c.ink);
    EXPECT_EQ(mask_of(t, white), none);
    EXPECT_EQ(alpha_at(t, 1, 1), 44);
  }
}

TEST_F(text_fixture, GlyphSizeOnlyForPrintableFilledSlots) {
  font.set_glyph(31, std::make_unique<trel_bitmap>(5, 5));
  struct size_case {
    int code, width, height;
  };
  const size_case cases[] = {{'A', 2, 2}, {'B', 3, 3}, {' ', 1, 2},  {'Z', 0, 0},
                             {31, 0, 0},  {127, 0, 0}, {0xC1, 0, 0}, {-1, 0, 0}};
  for (const auto &c : cases) {
    int width = -7, height = -7;
    font.glyph_size(c.code, &width, &height);
    EXPECT_EQ(width, c.width) << "code " << c.code;
    EXPECT_EQ(height, c.height) << "code " << c.code;
  }
}

TEST_F(text_fixture, TextExtentAddsWidthsAndTakesTheLastHeight) {
  struct extent_case {
    const char *text;
    int width, height;
  };
  const extent_case cases[] = {
      {"AB", 5, 3}, {"BA", 5, 2}, {"\xC1", 2, 2}, {"A\tB\n", 5, 3}, {"\t\n", 0, 0}, {"", 0, 0},
  };
  for (const auto &c : cases) {
    int width = -7, height = -7;
    font.text_extent(c.text, &width, &height);
    EXPECT_EQ(width, c.width) << "text '" << c.text << "'";
    EXPECT_EQ(height, c.height) << "text '" << c.text << "'";
  }
  int width = -7, height = -7;
  font.text_extent(nullptr, &width, &height);
  EXPECT_EQ(width, -7);
  EXPECT_EQ(height, -7);
}

TEST_F(text_fixture, TextWidthMeasuresARunOfBytes) {
  EXPECT_EQ(font.text_width("ABA", 2), 5);
  EXPECT_EQ(font.text_width("ABA", 3), 7);
  EXPECT_EQ(font.text_width("A\0B", 3), 2);
  EXPECT_EQ(font.text_width("A\xC1 ", 3), 5);
  EXPECT_EQ(font.text_width("AB", 0), 0);
  EXPECT_EQ(font.text_width("AB", -4), 0);
  EXPECT_EQ(font.text_width(nullptr, 4), 0);
}

TEST_F(text_fixture, SlotsFillEmptyAndRefuseBadCodes) {
  EXPECT_EQ(font.glyph_count(), 3);
  EXPECT_EQ(font.set_glyph(128, std::make_unique<trel_bitmap>(1, 1)), 0);
  EXPECT_EQ(font.set_glyph(-1, std::make_unique<trel_bitmap>(1, 1)), 0);
  EXPECT_EQ(font.glyph_count(), 3);
  EXPECT_EQ(font.set_glyph('A', nullptr), 1);
  EXPECT_EQ(font.glyph('A'), nullptr);
  EXPECT_EQ(font.glyph_width('A'), 0);
  EXPECT_EQ(font.glyph_count(), 2);
  font.line_height = 9;
  font.clear_glyphs();
  EXPECT_EQ(font.glyph_count(), 0);
  EXPECT_EQ(font.line_height, 0);
  EXPECT_EQ(font.text_width("B", 1), 0);
}

} // namespace
