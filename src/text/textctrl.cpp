// Painting of the scrollback store: background, then lines from the bottom up.
#include "text/textctrl.h"

#include "support/debug_log.h"
#include "text/ansi_display.h"
#include "text/text_painter.h"
#include "widgets/bitmap.h"

trel_textctrl::trel_textctrl(trel_ansi_display *owner_pane, const wxString &name)
    : trel_embedded_window(owner_pane, wxID_ANY, name), owner(owner_pane) {
  text_store.set_client(this);
  Bind(wxEVT_MOUSEWHEEL, &trel_textctrl::on_wheel, this);
  Bind(wxEVT_MOTION, &trel_textctrl::on_mouse, this);
  Bind(wxEVT_MIDDLE_DOWN, &trel_textctrl::on_mouse, this);
  Bind(wxEVT_RIGHT_DOWN, &trel_textctrl::on_mouse, this);
  Bind(wxEVT_SET_FOCUS, &trel_textctrl::on_focus, this);
}

void trel_textctrl::set_font(const trel_glyph_table *font) {
  glyphs = font;
  int widths[TREL_TEXTCTRL_CHAR_COUNT] = {0};
  int height = 0;
  if (font) {
    // A byte measures as the glyph of its low 7 bits, exactly as it is drawn.
    for (int c = 0; c < TREL_TEXTCTRL_CHAR_COUNT; c++)
      widths[c] = font->glyph_width(c);
    height = font->line_height;
  }
  text_store.set_font_metrics(widths, height);
}

int trel_textctrl::get_visible_line_count() {
  int line_height = text_store.get_line_height();
  if (line_height < 1) {
    if (debug_level >= 1)
      trel_client_debug_printf(
          "Error in trel_textctrl::get_visible_line_count(), font height %d.\n", line_height);
    return 20;
  }
  int count = offscreen_bitmap->height() / line_height;
  return count < 1 ? 1 : count;
}

void trel_textctrl::size_changed(bool) {
  if (text_store.set_width(offscreen_bitmap->width() - 2))
    request_repaint();
}

void trel_textctrl::paint_to_bitmap(trel_bitmap &target) {
  if (!glyphs || !trel_paint_text_lines(target, text_store, *glyphs)) {
    if (!glyphs)
      target.Clear(trel_colour{0, 0, 0});
    if (debug_level >= 1)
      trel_client_debug_printf("Error in trel_textctrl::repaint_internal(), font height %d.\n",
                               text_store.get_line_height());
  }
}

void trel_textctrl::on_wheel(wxMouseEvent &event) {
  owner->wheel(event.GetWheelRotation());
}

void trel_textctrl::on_mouse(wxMouseEvent &event) {
  if (event.MiddleIsDown() || event.RightIsDown())
    owner->ensure_following();
  event.Skip();
}

void trel_textctrl::on_focus(wxFocusEvent &event) {
  if (!owner->pass_focus_on())
    event.Skip();
}
