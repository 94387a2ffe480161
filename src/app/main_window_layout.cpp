// trel_mw's layout: placing the panes from the settings and the client size,
// the resize handling, and the background painted behind the panes.
#include "config/config_store.h"
#include "app/background_themes.h"
#include "app/builtin_images.h"
#include "app/main_window.h"
#include "app/shared_fonts.h"
#include "input/input_window.h"
#include "support/debug_log.h"
#include "text/ansi_display.h"
#include "widgets/wx_bitmap.h"

#include <wx/dcclient.h>

#ifndef QUENMAR_WEB_HOST
#define QUENMAR_WEB_HOST "localhost"
#endif

namespace {

void apply_place(trel_embedded_window *pane, const trel_pane_place &place) {
  if (!pane)
    return;
  if (place.host == TREL_HOST_MAIN_WINDOW) {
    pane->set_geometry(place.rect.x, place.rect.y, place.rect.width, place.rect.height);
    pane->Show(true);
  } else if (place.host == TREL_HOST_HIDDEN) {
    pane->Show(false);
  }
}

} // namespace

trel_layout_input trel_mw::layout_input(int width, int height) const {
  const trel_config_store &c = trel_config();
  trel_layout_input in;
  in.client_width = width;
  in.client_height = height;
  in.current_layout = c.get_current_layout();
  // The automap has no pane yet, so it takes no room; every other pane's
  // place is kept free by its setting, so the layout does not move when the
  // pane arrives.
  in.automap_display = 0;
  in.automap_docked = c.get_automap_docked();
  in.group_status_display = c.get_group_status_display();
  in.direction_button_enable = c.get_direction_button_enable();
  in.hint_button_enable = c.get_hint_button_enable();
  in.fkey_button_display = c.get_fkey_button_display();
  in.popup_display = c.get_popup_display();
  in.status_bar = c.get_status_bar();
  in.hpbar_enable = c.get_hpbar_enable();
  in.exp_display = c.get_exp_display();
  in.enemy_hpbar_enable = c.get_enemy_hpbar_enable();
  in.input_height = c.get_input_height();
  in.channel_window_enable = c.get_channel_window_enable();
  in.channel_window_height = c.get_channel_window_height();
  in.session_state = session ? session->state() : 0;
  return in;
}

void trel_mw::relayout() {
  if (!main_text)
    return;
  int reported_width = 0, reported_height = 0;
  GetClientSize(&reported_width, &reported_height);
  int width = 0, height = 0;
  resize_guard.client_size(reported_width, reported_height, &width, &height);
  rebuild_background(false);
  client_area_stale = true;
  trel_layout_result placed = trel_layout_place(layout_input(width, height));
  apply_place(input_pane, placed.input);
  apply_place(main_text, placed.main_pane);
  main_text->ensure_following();
}

void trel_mw::rebuild_background(bool force) {
  int width = 0, height = 0;
  GetClientSize(&width, &height);
  const trel_config_store &c = trel_config();
  trel_background_request request;
  request.client_width = width;
  request.client_height = height;
  request.theme_bg_setting = c.get_theme_bg_setting();
  request.current_background_theme = c.get_current_background_theme();
  request.colours = trel_background_theme(request.current_background_theme);
  if (background.rebuild_background(force ? 1 : 0, request))
    client_area_stale = true;
}

void trel_mw::OnResize(wxSizeEvent &event) {
  int width = 0, height = 0;
  GetClientSize(&width, &height);
  if (resize_guard.on_resize(loop.is_constructed(), width, height) == TREL_RESIZE_RELAYOUT) {
    relayout();
    Refresh(false);
  }
  event.Skip();
}

void trel_mw::OnPaint(wxPaintEvent &) {
  wxPaintDC dc(this);
  int width = 0, height = 0;
  GetClientSize(&width, &height);
  if (width < 1 || height < 1)
    return;
  // The composed background changes only with the layout, the size or the
  // theme; a repaint for any other reason (the input line's blinking caret
  // exposes the frame twice a second) reuses it.
  if (!client_area || client_area->width() != width || client_area->height() != height) {
    client_area = std::make_unique<trel_bitmap>(width, height);
    client_area_stale = true;
  }
  if (client_area_stale) {
    if (!background.paint_client_area(*client_area, trel_config().get_current_layout(),
                                      logo_image, site_font.get(), QUENMAR_WEB_HOST) ||
        !trel_bitmap_copy_to_wx(*client_area, client_bitmap))
      return;
    client_area_stale = false;
  }
  dc.DrawBitmap(client_bitmap, 0, 0, false);
}

void trel_mw::OnMouse(wxMouseEvent &event) {
  const trel_rect &area = background.logo_click_area();
  if (event.LeftDown() && event.GetX() >= area.x && event.GetX() < area.x + area.width &&
      event.GetY() >= area.y && event.GetY() < area.y + area.height)
    loop.request_link("http://" QUENMAR_WEB_HOST "/");
  event.Skip();
}

void trel_mw::shrink_input() {
  trel_config().set_input_height(trel_shrink_input_height(trel_config().get_input_height()));
  relayout();
  Refresh(false);
}

void trel_mw::grow_input() {
  trel_config().set_input_height(trel_grow_input_height(trel_config().get_input_height()));
  relayout();
  Refresh(false);
}

void trel_mw::apply_layout_change() {
  rebuild_background(false);
  relayout();
  Refresh(false);
}

void trel_mw::apply_theme_change(int force_background) {
  if (force_background)
    rebuild_background(true);
  relayout();
  Refresh(false);
}
