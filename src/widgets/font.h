// trel_font: a toolkit font that also keeps a pre-rendered glyph bitmap for
// every printable 7-bit character, so panes draw text with trel_bitmap's
// glyph operations instead of the toolkit's text drawing.
#pragma once
#include <wx/font.h>

#include "widgets/bitmap.h"

class trel_font : public wxFont, public trel_glyph_table {
public:
  // Creates the toolkit font, then renders its glyphs (needs the toolkit to
  // be initialised, as any wxFont does).
  trel_font(int point_size, wxFontFamily family, wxFontStyle style, wxFontWeight weight,
            bool underlined = false, const wxString &face_name = wxEmptyString,
            wxFontEncoding encoding = wxFONTENCODING_DEFAULT);
  trel_font(const trel_font &) = delete;
  trel_font &operator=(const trel_font &) = delete;

  // A new point size (or face) re-renders the glyph table. SetPointSize
  // reaches SetFractionalPointSize, so it re-renders too.
  void SetFractionalPointSize(double point_size) override;
  void SetPixelSize(const wxSize &pixel_size) override;
  bool SetFaceName(const wxString &face_name) override;

  // Renders glyphs 32 to 126 of this font into the glyph table, replacing
  // the old ones, and sets the line metrics. Returns the number of glyphs
  // rendered (95), or 0 when the font is not usable (reported; the old table
  // stays).
  int build_glyphs();

  // Renders glyphs 32 to 126 of any toolkit font into table, white on black
  // and fully opaque, each as large as the toolkit's extent of that
  // character. Returns the number rendered, 0 on failure (table untouched).
  static int render_glyphs(const wxFont &font, trel_glyph_table &table);

private:
  // Set while a base-class operation calls SetPointSize repeatedly, so the
  // glyphs are rendered once at its end.
  bool building_suspended_ = false;
};
