// The cached background bitmap and the composition of the main window's
// client area.
#include "app/background_cache.h"

#include "support/debug_log.h"

#include <algorithm>

int trel_background_side(int client_side, int previous_side) {
  if (previous_side > 0 && previous_side >= client_side)
    return std::min(previous_side, trel_bitmap::max_side);
  const int side = std::clamp(client_side, 0, trel_bitmap::max_side);
  return std::min(side / TREL_BACKGROUND_STEP * TREL_BACKGROUND_STEP + TREL_BACKGROUND_STEP,
                  trel_bitmap::max_side);
}

int trel_background::rebuild_background(int force, const trel_background_request &request) {
  if (!force && image && image->width() >= request.client_width &&
      image->height() >= request.client_height && style == request.theme_bg_setting &&
      theme == request.current_background_theme)
    return 0;
  const int w = trel_background_side(request.client_width, width());
  const int h = trel_background_side(request.client_height, height());
  auto fresh = std::make_unique<trel_bitmap>(w, h);
  trel_paint_background_pattern(*fresh, request.theme_bg_setting, request.colours, generator);
  image = std::move(fresh);
  style = request.theme_bg_setting;
  theme = request.current_background_theme;
  return 1;
}

int trel_background::paint_client_area(trel_bitmap &target, int current_layout,
                                       const trel_bitmap *logo, const trel_glyph_table *font,
                                       const char *text) {
  if (!image) {
    if (debug_level >= 2)
      trel_client_debug_printf("Error in trel_mw::repaint_handler() - no background image?\n");
    return 0;
  }
  target.DrawBitmap(*image, 0, 0);
  int text_width = 0, text_height = 0;
  trel_logo_text_size(font, text, &text_width, &text_height);
  const trel_logo_place place =
      trel_place_logo(current_layout, target.width(), target.height(), logo ? logo->width() : 0,
                      logo ? logo->height() : 0, text_width, text_height);
  trel_draw_logo(target, place, logo, font, text);
  click_area = place.click_area;
  return 1;
}
