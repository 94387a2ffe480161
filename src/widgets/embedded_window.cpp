// The pane framework: offscreen painting, explicit geometry, the animation list.
#include "widgets/embedded_window.h"

#include "support/debug_log.h"
#include "widgets/wx_bitmap.h"

#include <wx/dcclient.h>

#include <algorithm>

trel_embedded_window *trel_embedded_window::animation_head = nullptr;

trel_embedded_window::trel_embedded_window(wxWindow *parent, wxWindowID id, const wxString &name,
                                           const wxPoint &position, const wxSize &size, long style)
    : wxWindow(parent, id, position, size, style, name),
      offscreen_bitmap(std::make_unique<trel_bitmap>(std::max(1, size.GetWidth()),
                                                     std::max(1, size.GetHeight()))) {
  // The background is never erased and the toolkit's size handling never
  // runs: panes react only to size_changed.
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &trel_embedded_window::on_paint, this);
  Bind(wxEVT_SIZE, [](wxSizeEvent &) {});
  Bind(wxEVT_ERASE_BACKGROUND, [](wxEraseEvent &) {});
}

trel_embedded_window::~trel_embedded_window() {
  stop_animation(this);
}

bool trel_embedded_window::animation_callback(int) {
  if (debug_level >= 1)
    trel_client_debug_printf("Error in trel_embedded_window::animation_callback(), this handler "
                             "should never be called.\n");
  return false;
}

bool trel_embedded_window::resize_bitmap(int width, int height) {
  int current_width = 0, current_height = 0;
  GetSize(&current_width, &current_height);
  if (width == current_width && height == current_height)
    return false;
  offscreen_bitmap = std::make_unique<trel_bitmap>(width, height);
  return true;
}

void trel_embedded_window::set_geometry(int x, int y, int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  bool replaced = resize_bitmap(width, height);
  SetSize(x, y, width, height, wxSIZE_AUTO);
  size_changed(replaced);
}

void trel_embedded_window::set_size(int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  bool replaced = resize_bitmap(width, height);
  SetSize(width, height);
  size_changed(replaced);
}

trel_bitmap &trel_embedded_window::render() {
  paint_to_bitmap(*offscreen_bitmap);
  return *offscreen_bitmap;
}

void trel_embedded_window::on_paint(wxPaintEvent &) {
  wxPaintDC dc(this);
  if (!IsShown())
    return;
  paint_to_bitmap(*offscreen_bitmap);
  if (trel_bitmap_copy_to_wx(*offscreen_bitmap, screen_bitmap))
    dc.DrawBitmap(screen_bitmap, 0, 0, false);
}

bool trel_embedded_window::in_animation_list(const trel_embedded_window *pane) {
  for (trel_embedded_window *p = animation_head; p; p = p->anim_next)
    if (p == pane)
      return true;
  return false;
}

void trel_embedded_window::start_animation() {
  if (in_animation_list(this))
    return;
  anim_next = animation_head;
  animation_head = this;
}

void trel_embedded_window::stop_animation(trel_embedded_window *pane) {
  for (trel_embedded_window **link = &animation_head; *link; link = &(*link)->anim_next) {
    if (*link == pane) {
      *link = pane->anim_next;
      pane->anim_next = nullptr;
      return;
    }
  }
}

void trel_embedded_window::flash() {
  anim_shown = 0;
  anim_count = 16;
  anim_elapsed = 0;
  anim_period = 200;
  start_animation();
  if (anim_count != anim_shown) {
    anim_shown = anim_count;
    request_repaint();
  }
}

bool trel_embedded_window::flash_step(int elapsed_ms) {
  anim_elapsed += elapsed_ms;
  if (anim_elapsed >= anim_period) {
    anim_elapsed = elapsed_ms < anim_period ? anim_elapsed - anim_period : 0;
    anim_count--;
  }
  if (anim_count != anim_shown) {
    anim_shown = anim_count;
    request_repaint();
  }
  return anim_count > 0;
}

void trel_embedded_window::animation_tick(int elapsed_ms) {
  trel_embedded_window *pane = animation_head;
  while (pane) {
    trel_embedded_window *next = pane->anim_next;
    if (!pane->animation_callback(elapsed_ms))
      stop_animation(pane);
    pane = next;
  }
}

void trel_transparent_window::set_position(int new_x, int new_y, int new_width, int new_height) {
  x = new_x;
  y = new_y;
  width = new_width;
  height = new_height;
  layout();
}

void trel_transparent_window::set_shown(bool flag) {
  shown = flag ? 1 : 0;
  show(flag);
}

trel_frame::trel_frame(wxWindow *parent, wxWindowID id, const wxString &title,
                       const wxPoint &position, const wxSize &size, long style)
    : wxFrame(parent, id, title, position, size, style, title) {
  SetName("trel frame " + title);
}
