// trel_font: renders the printable glyphs of a toolkit font into the glyph
// table whenever the font is created or its size or face changes.
#include "widgets/font.h"

#include <algorithm>
#include <vector>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

#include "support/debug_log.h"

namespace {

constexpr int glyph_total =
    trel_glyph_table::last_printable - trel_glyph_table::first_printable + 1;
constexpr int cells_per_row = 16;
// A glyph wider or taller than this is not a text font we can use.
constexpr int max_glyph_side = 1024;

} // namespace

trel_font::trel_font(int point_size, wxFontFamily family, wxFontStyle style, wxFontWeight weight,
                     bool underlined, const wxString &face_name, wxFontEncoding encoding)
    : wxFont(point_size, family, style, weight, underlined, face_name, encoding) {
  build_glyphs();
}

void trel_font::SetFractionalPointSize(double point_size) {
  wxFont::SetFractionalPointSize(point_size);
  if (!building_suspended_)
    build_glyphs();
}

void trel_font::SetPixelSize(const wxSize &pixel_size) {
  // The toolkit searches for the size by setting point sizes in turn; render
  // only the one it settles on.
  building_suspended_ = true;
  wxFont::SetPixelSize(pixel_size);
  building_suspended_ = false;
  build_glyphs();
}

bool trel_font::SetFaceName(const wxString &face_name) {
  const bool ok = wxFont::SetFaceName(face_name);
  if (!building_suspended_)
    build_glyphs();
  return ok;
}

int trel_font::build_glyphs() {
  if (!IsOk()) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in trel_font::build_glyphs(), the font is not usable.\n");
    return 0;
  }
  return render_glyphs(*this, *this);
}

// All 95 glyphs are drawn into one sheet of cells and converted to pixels
// once, rather than one toolkit bitmap per glyph. Each cell is padded by a
// line height on every side, so ink that spills out of a glyph's own extent
// lands in the padding and is dropped, exactly as drawing it into a bitmap
// of its own size would clip it.
int trel_font::render_glyphs(const wxFont &font, trel_glyph_table &table) {
  if (!font.IsOk()) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in trel_font::render_glyphs(), the font is not usable.\n");
    return 0;
  }
  wxBitmap scratch(16, 16, 24);
  wxMemoryDC measure(scratch);
  if (!measure.IsOk()) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in trel_font::render_glyphs(), no drawing context.\n");
    return 0;
  }
  measure.SetFont(font);

  int widths[glyph_total], heights[glyph_total];
  int cell_width = 1, line_height = 0, descent = 0;
  for (int i = 0; i < glyph_total; i++) {
    wxCoord w = 0, h = 0, d = 0;
    measure.GetTextExtent(wxString(static_cast<wxChar>(trel_glyph_table::first_printable + i)), &w,
                          &h, &d);
    if (w < 0 || h < 0 || w > max_glyph_side || h > max_glyph_side) {
      if (debug_level >= 1)
        trel_client_debug_printf(
            "Error in trel_font::render_glyphs(), glyph %d measures %d x %d.\n",
            trel_glyph_table::first_printable + i, static_cast<int>(w), static_cast<int>(h));
      return 0;
    }
    widths[i] = w;
    heights[i] = h;
    cell_width = std::max(cell_width, static_cast<int>(w));
    line_height = std::max(line_height, static_cast<int>(h));
    descent = std::max(descent, static_cast<int>(d));
  }
  measure.SelectObject(wxNullBitmap);

  const int pad = std::max(line_height, 4);
  const int pitch_x = cell_width + pad;
  const int pitch_y = std::max(line_height, 1) + pad;
  const int rows = (glyph_total + cells_per_row - 1) / cells_per_row;
  wxBitmap sheet(cells_per_row * pitch_x + pad, rows * pitch_y + pad, 24);
  {
    wxMemoryDC dc(sheet);
    if (!dc.IsOk()) {
      if (debug_level >= 1)
        trel_client_debug_printf("Error in trel_font::render_glyphs(), no drawing context.\n");
      return 0;
    }
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    dc.SetFont(font);
    dc.SetTextForeground(*wxWHITE);
    dc.SetTextBackground(*wxBLACK);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    for (int i = 0; i < glyph_total; i++)
      dc.DrawText(wxString(static_cast<wxChar>(trel_glyph_table::first_printable + i)),
                  pad + (i % cells_per_row) * pitch_x, pad + (i / cells_per_row) * pitch_y);
  }
  const wxImage image = sheet.ConvertToImage();
  if (!image.IsOk()) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in trel_font::render_glyphs(), pixel data failed?\n");
    return 0;
  }
  const unsigned char *rgb = image.GetData();
  const int image_width = image.GetWidth();

  std::vector<std::unique_ptr<trel_bitmap>> glyphs(glyph_total);
  for (int i = 0; i < glyph_total; i++) {
    auto glyph = std::make_unique<trel_bitmap>(widths[i], heights[i]);
    const int left = pad + (i % cells_per_row) * pitch_x;
    const int top = pad + (i / cells_per_row) * pitch_y;
    for (int y = 0; y < glyph->height(); y++) {
      const unsigned char *s = rgb + (static_cast<size_t>(top + y) * image_width + left) * 3;
      uint8_t *d = glyph->row(y);
      for (int x = 0; x < glyph->width(); x++, s += 3, d += 4) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        d[3] = 255;
      }
    }
    glyphs[i] = std::move(glyph);
  }
  for (int i = 0; i < glyph_total; i++)
    table.set_glyph(trel_glyph_table::first_printable + i, std::move(glyphs[i]));
  table.line_height = line_height;
  table.descent = std::min(descent, line_height);
  table.ascent = line_height - table.descent;
  return glyph_total;
}
