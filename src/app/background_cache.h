// trel_background: the main window's cached background bitmap. It is rounded
// up to 256-pixel steps and kept while the window shrinks, rebuilt only when
// the window outgrows it, the style or theme changes, or a rebuild is forced;
// it also composes the client area (background, logo, web site line) and
// remembers the logo click area. Needs no display.
#pragma once
#include "app/background_logo.h"
#include "app/background_pattern.h"
#include "app/layout_placement.h"
#include "support/random.h"
#include "widgets/bitmap.h"

#include <memory>

// The background bitmap grows in steps of this many pixels.
constexpr int TREL_BACKGROUND_STEP = 256;

// What a rebuild needs to know: the client size and the settings that pick
// the picture.
struct trel_background_request {
  int client_width = 0;
  int client_height = 0;
  int theme_bg_setting = TREL_BACKGROUND_NONE;
  int current_background_theme = 0;
  trel_background_colours colours;
};

// One side of a new background bitmap for a client side, given the side of
// the bitmap it replaces (-1 when none): the previous side when it already
// covers the client side, else the client side rounded down to a multiple of
// 256 plus 256, so it always exceeds the client side. At most
// trel_bitmap::max_side.
int trel_background_side(int client_side, int previous_side);

class trel_background {
public:
  trel_background() = default;
  trel_background(const trel_background &) = delete;
  trel_background &operator=(const trel_background &) = delete;

  // Keeps the bitmap, unless forced, when it exists, covers the client area
  // and was drawn with the same theme_bg_setting and current_background_theme;
  // otherwise paints a new one (sides from trel_background_side). Returns 1
  // when it painted, 0 when it kept the old one.
  int rebuild_background(int force, const trel_background_request &request);

  // The bitmap, or nullptr while none exists.
  const trel_bitmap *bitmap() const { return image.get(); }
  // Its sides, -1 while none exists.
  int width() const { return image ? image->width() : -1; }
  int height() const { return image ? image->height() : -1; }
  // The style and theme it was drawn with, -1 while none exists.
  int drawn_style() const { return style; }
  int drawn_theme() const { return theme; }

  // The repaint of the main window's client area into target (sized to the
  // client area by the caller): the background at (0, 0), then the logo and
  // the web site line in the corner of current_layout. Remembers the logo
  // click area. Returns 1, or 0 with the repaint error in the debug log
  // (level 2 and up) and nothing drawn when no background exists yet.
  int paint_client_area(trel_bitmap &target, int current_layout, const trel_bitmap *logo,
                        const trel_glyph_table *font, const char *text);

  // The logo click area of the last paint (all 0 before the first).
  const trel_rect &logo_click_area() const { return click_area; }

private:
  std::unique_ptr<trel_bitmap> image;
  int style = -1;
  int theme = -1;
  // The painters' own generator: never stirred by anyone else, so the same
  // style always paints the same pattern.
  trel_random generator;
  trel_rect click_area;
};
