// The five patterns of the main window's background (solid, Maze1, Maze2,
// Maze3 and Bubbles) painted into a bitmap from the three colours of a
// background theme. Needs no display.
#pragma once
#include "widgets/bitmap.h"

class trel_random;

// theme_bg_setting values. Any value not listed paints Maze2.
constexpr int TREL_BACKGROUND_NONE = 0;
constexpr int TREL_BACKGROUND_SOLID = 1;
constexpr int TREL_BACKGROUND_MAZE1 = 2;
constexpr int TREL_BACKGROUND_MAZE2 = 3;
constexpr int TREL_BACKGROUND_BUBBLES = 4;
constexpr int TREL_BACKGROUND_MAZE3 = 5;

// The three colours of a background theme, in the theme table's order.
struct trel_background_colours {
  trel_colour first;
  trel_colour second;
  trel_colour third;
};

// Paints the whole bitmap in the pattern of theme_bg_setting, starting from
// black. Every row of cells begins with generator.restore() and a stir with
// that row's own value, so the same generator (one that no one reseeds
// otherwise) always paints the same picture, and a larger bitmap shows the
// same pattern as a smaller one except within a few pixels of the smaller
// one's right and bottom edges (where cells beyond it reach back in).
void trel_paint_background_pattern(trel_bitmap &target, int theme_bg_setting,
                                   const trel_background_colours &colours, trel_random &generator);
