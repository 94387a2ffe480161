// trel_textctrl: the child window that shows a scrollback store. It paints
// the visible lines from the bottom up with the pane font's glyphs and tells
// its owning ANSI pane about wheel and focus events.
#pragma once
#include "text/textctrl_store.h"
#include "widgets/embedded_window.h"

class trel_ansi_display;
class trel_glyph_table;

class trel_textctrl : public trel_embedded_window, public trel_textctrl_client {
public:
  trel_textctrl(trel_ansi_display *owner, const wxString &name);

  trel_textctrl_store &store() { return text_store; }
  // The glyphs to draw with (not owned); also sets the store's width table.
  void set_font(const trel_glyph_table *font);
  const trel_glyph_table *font() const { return glyphs; }
  // Whole lines that fit; 20 when no font is loaded.
  int get_visible_line_count();

  void size_changed(bool bitmap_replaced) override;
  void paint_to_bitmap(trel_bitmap &target) override;
  // trel_textctrl_client
  void clear_selection() override {}
  void request_repaint() override { trel_embedded_window::request_repaint(); }

private:
  void on_wheel(wxMouseEvent &event);
  void on_mouse(wxMouseEvent &event);
  void on_focus(wxFocusEvent &event);

  trel_ansi_display *owner;
  trel_textctrl_store text_store;
  const trel_glyph_table *glyphs = nullptr;
};
