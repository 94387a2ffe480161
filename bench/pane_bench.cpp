// Benchmark of painting a full main pane: a 984 x 600 text area of generated
// game output drawn from the scrollback store with glyph bitmaps.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_text.h"
#include "text/ansi_interpreter.h"
#include "text/text_painter.h"
#include "text/textctrl_store.h"
#include "widgets/bitmap.h"

namespace {

constexpr int glyph_width = 8;
constexpr int glyph_height = 15;

// A fixed-pitch glyph table with a plausible amount of ink per glyph, so the
// blend work matches a real font's.
void fill_glyphs(trel_glyph_table &table) {
  for (int code = 32; code <= 126; code++) {
    auto glyph = std::make_unique<trel_bitmap>(glyph_width, glyph_height);
    glyph->Clear(trel_colour{0, 0, 0});
    if (code != ' ')
      for (int y = 3; y < 12; y++)
        for (int x = 1; x < 7; x++)
          if ((x * 7 + y * 3 + code) % 3 == 0)
            glyph->set_pixel(x, y, 255, 255, 255);
    table.set_glyph(code, std::move(glyph));
  }
  table.line_height = glyph_height;
}

void bm_paint_main_pane(benchmark::State &state) {
  trel_glyph_table font;
  fill_glyphs(font);
  trel_textctrl_store store;
  int widths[256] = {0};
  for (int c = 32; c <= 126; c++)
    widths[c] = glyph_width;
  store.set_font_metrics(widths, glyph_height);
  store.set_width(984 - 4);
  trel_ansi_interpreter ansi(store);
  // A few screens of game output, so the visible lines hold the usual mix of
  // short lines, wrapped long ones and colour changes.
  const std::string text = bench::pane_text_lines(400);
  ansi.process_ansi_text(text.data(), static_cast<int>(text.size()));
  trel_bitmap target(984 - 4, 600 - 4);
  for (auto _ : state) {
    trel_paint_text_lines(target, store, font);
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(bm_paint_main_pane)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
