// trel_ansi_display: the coloured text pane (main pane, channel tabs, popup
// text). It holds the interpreter model, the scrollback store window and a
// scroll bar, draws the two-pixel border and runs the scrolling and the scroll
// lock.
#pragma once
#include "text/ansi_interpreter.h"
#include "text/textctrl.h"
#include "widgets/embedded_window.h"

#include <wx/scrolbar.h>

#include <functional>

class trel_ansi_scrollbar : public wxScrollBar {
public:
  explicit trel_ansi_scrollbar(wxWindow *parent)
      : wxScrollBar(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSB_VERTICAL,
                    wxDefaultValidator, "scrollBar") {}
};

class trel_ansi_display : public trel_embedded_window, public trel_ansi_display_client {
public:
  trel_ansi_display(wxWindow *parent, const wxString &name);

  // Text from the server (interpreted) and from the client (as it stands).
  void process_ansi_text(const char *bytes, int length) { ansi.process_ansi_text(bytes, length); }
  void add_text(const char *text) { ansi.add_text(text); }
  void process_ansi_code(int value) { ansi.process_ansi_code(value); }
  void reset_ansi_state() { ansi.reset_ansi_state(); }
  void clear_display();
  void suspend_updates() { ansi.suspend_updates(); }
  void resume_updates();
  void set_word_wrap(int flag) { ansi.set_word_wrap(flag); }
  void set_text_font(const trel_glyph_table *font);
  // The "//debugfill" load test: 100,000 lines of random coloured words
  // straight into the store, then a count and the record sizes on stdout.
  void fill_debug_text();
  // Repaint the text and bring the scroll bar in line, once per batch of text.
  void refresh_display();
  int get_text_received() const { return ansi.get_text_received(); }
  void clear_text_received() { ansi.clear_text_received(); }
  trel_ansi_interpreter &interpreter() { return ansi; }
  trel_textctrl &text_window() { return *text; }

  // Scrolling and the scroll lock.
  int get_visible_line_count() override { return text->get_visible_line_count(); }
  void update_scrollbar();
  void scroll_to_end() override;
  void scroll_to_line(int top);
  void scroll_lines(int delta);
  void scroll_up(int lines);
  void scroll_down(int lines);
  void page_up();
  void page_down();
  void lock_scrolling();
  void unlock_scrolling();
  void lock_if_following();
  void ensure_following();
  int is_following() const { return follow; }
  void set_scrollbar_visible(int flag);
  int scroll_position() const { return position; }
  // A wheel rotation over the pane or its text (positive is up).
  void wheel(int rotation);
  // Hands the keyboard focus to the input line; false when nobody took it.
  bool pass_focus_on();
  // Called after every lock or unlock (the status bar's lock indicator).
  std::function<void()> on_lock_changed;
  // Gives the keyboard focus away; returns false when it could not.
  std::function<bool()> transfer_focus;

  void request_repaint() override { trel_embedded_window::request_repaint(); }
  void size_changed(bool bitmap_replaced) override;
  void paint_to_bitmap(trel_bitmap &target) override;
  bool animation_callback(int elapsed_ms) override;

protected:
  // Runs the text area layout; trel_main_window adds its overlays.
  void layout_text_area();
  int scrollbar_visible = 1;

private:
  void set_bottom_line(int line);
  // follow and the store's lock flag change together; the lock indicator is told.
  void set_lock(bool locked);
  void on_scroll(wxScrollEvent &event);
  void repaint_all();

  trel_textctrl *text;
  trel_ansi_scrollbar *scrollbar;
  trel_ansi_interpreter ansi;
  int follow = 1;
  int position = 0;
  // What the scroll bar was last given.
  int bar_set_position = -1, bar_set_range = -1, bar_set_thumb = -1;
};

// The main text pane, with the docked automap and the group display placed
// inside its text area when they exist.
class trel_main_window : public trel_ansi_display {
public:
  explicit trel_main_window(wxWindow *parent) : trel_ansi_display(parent, "main window") {}
  void size_changed(bool bitmap_replaced) override;
  void set_scrollbar_setting(int flag) { scrollbar_setting = flag; }

  wxWindow *docked_automap = nullptr;
  wxWindow *group_display = nullptr;

private:
  int scrollbar_setting = 1;
};
