// The game's logo and the web site line over the main window's background:
// where they go in each layout, the logo click area, and drawing them into a
// bitmap. Needs no display.
#pragma once
#include "app/layout_placement.h"
#include "widgets/bitmap.h"

// How far the web site line is drawn into the logo: from below in the top
// corner, from above in the bottom corners (the font's blank rows).
constexpr int TREL_LOGO_TEXT_OVERLAP_TOP = 5;
constexpr int TREL_LOGO_TEXT_OVERLAP_BOTTOM = 10;
// The click area is the logo and text heights less this.
constexpr int TREL_LOGO_CLICK_OVERLAP = 5;

// Where the logo block goes: top-left in layout 2, bottom-left in layout 1,
// bottom-right in layout 0 (and any unknown layout).
struct trel_logo_place {
  // The block: max(logo width, text width) wide, in its corner.
  trel_rect block;
  // Top-left corners of the logo and of the text, each centred in the block.
  int logo_x = 0;
  int logo_y = 0;
  int text_x = 0;
  int text_y = 0;
  // Clicking here opens the web site. Empty when there is neither logo nor text.
  trel_rect click_area;
};

// Places a logo of logo_width by logo_height and a text line of text_width by
// text_height in a client area of client_width by client_height. A missing
// logo or text has size 0; the overlaps between the two only apply when both
// are there, so either alone stays whole inside the client area.
trel_logo_place trel_place_logo(int current_layout, int client_width, int client_height,
                                int logo_width, int logo_height, int text_width, int text_height);

// Width and height of a text line in a font: 0 and 0 for a null font, a null
// text or a text without glyphs.
void trel_logo_text_size(const trel_glyph_table *font, const char *text, int *width, int *height);

// Draws the logo (blended by its alpha over what is there) and the text in
// white at their places. A null logo, font or text is left out.
void trel_draw_logo(trel_bitmap &target, const trel_logo_place &place, const trel_bitmap *logo,
                    const trel_glyph_table *font, const char *text);
