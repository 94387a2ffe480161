// The text store's paint: bottom line at the bottom, older lines above.
#include "text/text_painter.h"

#include "widgets/bitmap.h"

int trel_paint_text_lines(trel_bitmap &target, const trel_textctrl_store &store,
                          const trel_glyph_table &font) {
  const trel_text_colour &bg = store.get_background();
  target.Clear(trel_colour{bg.r, bg.g, bg.b});
  const int line_height = store.get_line_height();
  if (line_height < 1)
    return 0;
  const int height = target.height();
  const int width = target.width();
  const int slots = height / line_height + 2;
  trel_textctrl_reader reader(store);
  const int bottom = reader.bottom_line();
  reader.for_each_line_bottom_up(bottom, slots, [&](int index, trel_text_run_cursor &runs) {
    const int y = height - line_height - 1 - (bottom - index) * line_height;
    if (y <= -line_height)
      return;
    int x = 1;
    trel_text_run run;
    while (x < width && runs.next(&run)) {
      const trel_colour colour{run.colour.r, run.colour.g, run.colour.b};
      for (int i = 0; i < run.length && x < width; i++) {
        const trel_bitmap *glyph = font.glyph(static_cast<unsigned char>(run.text[i]));
        if (!glyph)
          continue;
        target.DrawTextGlyphTransparent(*glyph, x, y, colour);
        x += glyph->width();
      }
    }
  });
  return 1;
}
