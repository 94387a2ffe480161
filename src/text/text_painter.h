// Painting a scrollback store into a bitmap: the background, then the lines
// that fit, from the bottom up, each run in its colour. Display-free, so the
// text panes and the benchmarks share it.
#pragma once
#include "text/textctrl_store.h"

class trel_bitmap;
class trel_glyph_table;

// Draws the store's visible lines into target with the glyphs of font.
// Returns 0 (and draws only the background) when the line height is below 1.
int trel_paint_text_lines(trel_bitmap &target, const trel_textctrl_store &store,
                          const trel_glyph_table &font);
