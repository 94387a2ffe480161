// The text pane's layout, border, scrolling and scroll lock.
#include "text/ansi_display.h"

#include "support/random.h"
#include "widgets/bitmap.h"

#include <wx/string.h>

#include <algorithm>
#include <cstdio>

namespace {

const trel_colour WHITE{255, 255, 255};
const trel_colour BLACK{0, 0, 0};
const trel_colour BORDER_INNER{128, 128, 128};
const trel_colour BORDER_OUTER{255, 255, 255};
const trel_colour LOCKED_INNER{192, 0, 0};
const trel_colour LOCKED_OUTER{255, 0, 0};

} // namespace

trel_ansi_display::trel_ansi_display(wxWindow *parent, const wxString &name)
    : trel_embedded_window(parent, wxID_ANY, name), text(new trel_textctrl(this, name + " text")),
      scrollbar(new trel_ansi_scrollbar(this)), ansi(text->store()) {
  ansi.set_client(this);
  scrollbar->Bind(wxEVT_SCROLL_TOP, &trel_ansi_display::on_scroll, this);
  scrollbar->Bind(wxEVT_SCROLL_BOTTOM, &trel_ansi_display::on_scroll, this);
  scrollbar->Bind(wxEVT_SCROLL_LINEUP, &trel_ansi_display::on_scroll, this);
  scrollbar->Bind(wxEVT_SCROLL_LINEDOWN, &trel_ansi_display::on_scroll, this);
  scrollbar->Bind(wxEVT_SCROLL_PAGEUP, &trel_ansi_display::on_scroll, this);
  scrollbar->Bind(wxEVT_SCROLL_PAGEDOWN, &trel_ansi_display::on_scroll, this);
  scrollbar->Bind(wxEVT_SCROLL_THUMBTRACK, &trel_ansi_display::on_scroll, this);
  scrollbar->Bind(wxEVT_SCROLL_THUMBRELEASE, &trel_ansi_display::on_scroll, this);
  scrollbar->Bind(wxEVT_SCROLL_CHANGED, &trel_ansi_display::on_scroll, this);
  Bind(wxEVT_MOUSEWHEEL, [this](wxMouseEvent &e) { wheel(e.GetWheelRotation()); });
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent &e) {
    if (!pass_focus_on())
      e.Skip();
  });
  scrollbar->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent &e) {
    if (!pass_focus_on())
      e.Skip();
  });
}

void trel_ansi_display::clear_display() {
  ansi.clear_display();
}

void trel_ansi_display::resume_updates() {
  if (ansi.resume_updates())
    request_repaint();
}

void trel_ansi_display::set_text_font(const trel_glyph_table *font) {
  text->set_font(font);
  ansi.force_color_reapply();
  update_scrollbar();
  repaint_all();
}

void trel_ansi_display::fill_debug_text() {
  trel_textctrl_store &store = text->store();
  long count = 0;
  char word[16];
  for (int line = 0; line < 100000; line++) {
    int words = trel_random_below(50);
    for (int w = 0; w < words; w++) {
      trel_text_colour foreground{trel_random_below(255), trel_random_below(255),
                                  trel_random_below(255)};
      trel_text_colour background{trel_random_below(255), trel_random_below(255),
                                  trel_random_below(255)};
      store.set_text_colors(foreground, background);
      int length = 1 + trel_random_below(10);
      for (int i = 0; i < length; i++)
        word[i] = static_cast<char>(97 + length - i);
      word[length] = ' ';
      word[length + 1] = 0;
      store.append_text(word);
      count += length + 1;
    }
    store.append_text("\n");
  }
  char summary[64];
  snprintf(summary, sizeof summary, "%ld characters written (%ld kb).\n", count, count / 1000);
  store.append_text(summary);
  printf("size of trel_textctrl_chunk %5d\n", static_cast<int>(sizeof(trel_textctrl_colour_run)));
  printf("size of trel_textctrl_line  %5d\n", static_cast<int>(sizeof(trel_text_line_record)));
  printf("size of wxString            %5d\n", static_cast<int>(sizeof(wxString)));
  printf("size of trel_render_list    %5d\n", static_cast<int>(sizeof(trel_render_run)));
  printf("entries in render list   %8d\n", ansi.render_list().run_count());
  fflush(stdout);
  // The pane's own colour state is back in force for the next text.
  ansi.force_color_reapply();
  scroll_to_end();
}

void trel_ansi_display::refresh_display() {
  text->request_repaint();
  update_scrollbar();
}

void trel_ansi_display::repaint_all() {
  request_repaint();
  text->request_repaint();
}

void trel_ansi_display::update_scrollbar() {
  trel_textctrl_store &store = text->store();
  int visible = get_visible_line_count();
  int range = store.get_current_line();
  int thumb = visible;
  int bar_position = store.get_bottom_line() - visible;
  // Only touch the toolkit's bar when something changed: it repaints itself
  // on every call, and this runs once per batch of received text. The values
  // last given are compared, not the bar's own (the toolkit clamps them).
  if (bar_position == bar_set_position && range == bar_set_range && thumb == bar_set_thumb)
    return;
  bar_set_position = bar_position;
  bar_set_range = range;
  bar_set_thumb = thumb;
  scrollbar->SetScrollbar(bar_position, thumb, range, thumb, true);
}

void trel_ansi_display::set_lock(bool locked) {
  follow = locked ? 0 : 1;
  text->store().set_scroll_locked(locked ? 1 : 0);
  if (on_lock_changed)
    on_lock_changed();
}

void trel_ansi_display::set_bottom_line(int line) {
  text->store().set_bottom_line(line, get_visible_line_count());
  text->request_repaint();
}

void trel_ansi_display::scroll_to_end() {
  int last = text->store().get_current_line();
  position = last;
  set_bottom_line(last);
  update_scrollbar();
}

void trel_ansi_display::scroll_to_line(int top) {
  repaint_all();
  int bottom = top + get_visible_line_count();
  set_bottom_line(bottom);
  position = bottom;
  update_scrollbar();
}

void trel_ansi_display::scroll_lines(int delta) {
  int last = text->store().get_current_line();
  int visible = get_visible_line_count();
  int wanted = std::max(position + delta, visible - 1);
  if (wanted < last) {
    position = wanted;
    set_bottom_line(wanted);
    update_scrollbar();
    return;
  }
  position = last;
  if (!follow)
    unlock_scrolling();
  set_bottom_line(last);
  update_scrollbar();
}

void trel_ansi_display::scroll_up(int lines) {
  int half = get_visible_line_count() / 2;
  lines = std::min(lines, half);
  scroll_lines(lines > 0 ? -lines : -1);
}

void trel_ansi_display::scroll_down(int lines) {
  int half = get_visible_line_count() / 2;
  lines = std::min(lines, half);
  scroll_lines(lines > 0 ? lines : 1);
}

void trel_ansi_display::page_up() {
  int half = get_visible_line_count() / 2;
  scroll_lines(half > 0 ? -half : -1);
}

void trel_ansi_display::page_down() {
  int half = get_visible_line_count() / 2;
  scroll_lines(half > 0 ? half : 1);
}

void trel_ansi_display::lock_scrolling() {
  set_lock(true);
  scroll_to_end();
  repaint_all();
}

void trel_ansi_display::unlock_scrolling() {
  set_lock(false);
  scroll_to_end();
  repaint_all();
}

void trel_ansi_display::lock_if_following() {
  if (follow)
    lock_scrolling();
}

void trel_ansi_display::ensure_following() {
  if (!follow)
    unlock_scrolling();
}

void trel_ansi_display::wheel(int rotation) {
  if (rotation > 0) {
    lock_if_following();
    scroll_up(3);
  } else if (rotation < 0) {
    lock_if_following();
    scroll_down(3);
  }
}

bool trel_ansi_display::pass_focus_on() {
  return transfer_focus && transfer_focus();
}

void trel_ansi_display::set_scrollbar_visible(int flag) {
  flag = flag ? 1 : 0;
  if (flag == scrollbar_visible)
    return;
  scrollbar_visible = flag;
  force_layout();
}

void trel_ansi_display::layout_text_area() {
  int width = offscreen_bitmap->width();
  int height = offscreen_bitmap->height();
  int bar_width = scrollbar->GetBestSize().GetWidth();
  scrollbar->SetSize(std::max(1, width - bar_width), 0, std::max(1, bar_width),
                     std::max(1, height));
  int shown_bar = scrollbar_visible ? bar_width : 0;
  if (!follow)
    unlock_scrolling();
  scrollbar->Show(scrollbar_visible != 0);
  text->set_geometry(2, 2, std::max(1, width - 4 - shown_bar), std::max(1, height - 4));
  update_scrollbar();
}

void trel_ansi_display::size_changed(bool) {
  layout_text_area();
}

void trel_ansi_display::paint_to_bitmap(trel_bitmap &target) {
  int bar_width = scrollbar_visible ? scrollbar->GetSize().GetWidth() : 0;
  int w = target.width() - bar_width;
  int h = target.height();
  trel_colour inner = BORDER_INNER, outer = BORDER_OUTER;
  if (anim_count > 0) {
    inner = outer = (anim_count & 1) ? WHITE : BLACK;
  } else if (!follow) {
    inner = LOCKED_INNER;
    outer = LOCKED_OUTER;
  }
  target.Clear(BLACK);
  target.draw_line(1, 1, w - 1, 1, inner);
  target.draw_line(1, 1, 1, h - 1, inner);
  target.draw_line(1, h - 2, w - 1, h - 2, inner);
  target.draw_line(w - 2, 1, w - 2, h - 1, inner);
  target.draw_line(0, 0, w, 0, outer);
  target.draw_line(0, 0, 0, h, outer);
  target.draw_line(0, h - 1, w, h - 1, outer);
  target.draw_line(w - 1, 0, w - 1, h, outer);
}

bool trel_ansi_display::animation_callback(int elapsed_ms) {
  bool running = flash_step(elapsed_ms);
  update_scrollbar();
  return running;
}

void trel_ansi_display::on_scroll(wxScrollEvent &event) {
  int thumb = event.GetPosition();
  int last = text->store().get_current_line();
  int visible = get_visible_line_count();
  if (last > visible) {
    int bottom = thumb + visible;
    set_bottom_line(bottom);
    position = bottom;
    if (bottom < last) {
      if (follow) {
        set_lock(true);
        repaint_all();
      }
    } else {
      ensure_following();
    }
  } else {
    position = thumb;
    ensure_following();
  }
  if (!pass_focus_on())
    SetFocus();
}

void trel_main_window::size_changed(bool bitmap_replaced) {
  if (scrollbar_visible != scrollbar_setting) {
    set_scrollbar_visible(scrollbar_setting);
    return; // the forced relayout above ran the text area layout
  }
  (void)bitmap_replaced;
  layout_text_area();
  // The docked automap and the group display join here once they exist.
}
