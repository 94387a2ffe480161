// Placement and drawing of the logo and the web site line.
#include "app/background_logo.h"

#include <algorithm>

namespace {

const trel_colour white{255, 255, 255};

// Source-over blending of an RGBA image, clipped to the target; the target's
// own alpha stays.
void blend_over(trel_bitmap &target, const trel_bitmap &image, int x, int y) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min<long long>(static_cast<long long>(x) + image.width(), target.width());
  const int y1 = std::min<long long>(static_cast<long long>(y) + image.height(), target.height());
  for (int ty = y0; ty < y1; ty++) {
    const uint8_t *s = image.row(ty - y) + static_cast<size_t>(x0 - x) * 4;
    uint8_t *d = target.row(ty) + static_cast<size_t>(x0) * 4;
    for (int tx = x0; tx < x1; tx++, s += 4, d += 4) {
      const unsigned a = s[3];
      if (a == 0)
        continue;
      const unsigned na = 255 - a;
      for (int c = 0; c < 3; c++)
        d[c] = static_cast<uint8_t>((s[c] * a + d[c] * na + 127) / 255);
    }
  }
}

} // namespace

trel_logo_place trel_place_logo(int current_layout, int client_width, int client_height,
                                int logo_width, int logo_height, int text_width, int text_height) {
  const int lw = std::max(logo_width, 0), lh = std::max(logo_height, 0);
  int tw = std::max(text_width, 0), th = std::max(text_height, 0);
  if (tw == 0 || th == 0)
    tw = th = 0;
  const bool both = lw > 0 && lh > 0 && th > 0;
  const int layout = trel_layout_mode(current_layout);

  trel_logo_place p;
  p.block.width = std::max(lw, tw);
  p.block.x = layout == TREL_LAYOUT_EMBEDDED ? client_width - p.block.width : 0;

  const int click_height = std::max(both ? lh + th - TREL_LOGO_CLICK_OVERLAP : lh + th, 0);
  if (layout == TREL_LAYOUT_LEFT_BOTTOM) {
    p.logo_y = 0;
    p.text_y = both ? lh - TREL_LOGO_TEXT_OVERLAP_TOP : lh;
    p.block.y = 0;
    p.block.height = click_height;
  } else {
    p.text_y = client_height - th;
    p.logo_y = client_height - lh - th + (both ? TREL_LOGO_TEXT_OVERLAP_BOTTOM : 0);
    p.block.y = client_height - click_height;
    p.block.height = click_height;
  }
  p.logo_x = p.block.x + (p.block.width - lw) / 2;
  p.text_x = p.block.x + (p.block.width - tw) / 2;
  if (p.block.width > 0 && click_height > 0)
    p.click_area = p.block;
  return p;
}

void trel_logo_text_size(const trel_glyph_table *font, const char *text, int *width, int *height) {
  int w = 0, h = 0;
  if (font && text) {
    font->text_extent(text, &w, &h);
    if (w > 0 && h == 0)
      h = font->line_height;
    if (w <= 0)
      w = h = 0;
  }
  if (width)
    *width = w;
  if (height)
    *height = h;
}

void trel_draw_logo(trel_bitmap &target, const trel_logo_place &place, const trel_bitmap *logo,
                    const trel_glyph_table *font, const char *text) {
  if (logo)
    blend_over(target, *logo, place.logo_x, place.logo_y);
  if (font && text)
    target.draw_text_transparent(*font, text, place.text_x, place.text_y, white);
}
