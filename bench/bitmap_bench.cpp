// Cost of painting a full-size pane with the bitmap operations: fills,
// gradients, blits, and 80-column lines of glyph text, on a 984 x 600 bitmap.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench_text.h"
#include "widgets/bitmap.h"

namespace {

constexpr int pane_width = 984;
constexpr int pane_height = 600;
constexpr int glyph_width = 12;
constexpr int glyph_height = 16;
constexpr int columns = 80;

// A fixed-pitch font shaped like an antialiased rendering: a blank margin,
// and inside it strokes of solid ink with partly covered edges, about a
// third of the cell inked.
trel_glyph_table &bench_font() {
  static trel_glyph_table font;
  if (font.glyph_count() == 0) {
    for (int code = 32; code <= 126; code++) {
      auto glyph = std::make_unique<trel_bitmap>(glyph_width, glyph_height);
      for (int y = 0; y < glyph_height; y++)
        for (int x = 0; x < glyph_width; x++) {
          int coverage = 0;
          if (x >= 2 && x <= 9 && y >= 3 && y <= 12) {
            const int phase = (x + y + code) % 4;
            coverage = phase == 0 ? 255 : phase == 1 ? 128 : 0;
          }
          glyph->set_pixel(x, y, coverage, coverage, coverage);
        }
      font.set_glyph(code, std::move(glyph));
    }
    font.line_height = glyph_height;
  }
  return font;
}

void BM_clear(benchmark::State &state) {
  trel_bitmap b(pane_width, pane_height);
  for (auto _ : state) {
    b.Clear(trel_colour{0, 0, 0});
    benchmark::DoNotOptimize(b.data());
  }
}
BENCHMARK(BM_clear)->Unit(benchmark::kMicrosecond);

void BM_filled_rectangle(benchmark::State &state) {
  trel_bitmap b(pane_width, pane_height);
  for (auto _ : state) {
    b.DrawFilledRectangle(0, 0, pane_width - 1, pane_height - 1, trel_colour{20, 40, 60});
    benchmark::DoNotOptimize(b.data());
  }
}
BENCHMARK(BM_filled_rectangle)->Unit(benchmark::kMicrosecond);

void BM_x_gradient(benchmark::State &state) {
  trel_bitmap b(pane_width, pane_height);
  for (auto _ : state) {
    b.DrawXGradientRectangle(0, 0, pane_width - 1, pane_height - 1, trel_colour{0, 0, 0},
                             trel_colour{255, 128, 9});
    benchmark::DoNotOptimize(b.data());
  }
}
BENCHMARK(BM_x_gradient)->Unit(benchmark::kMicrosecond);

void BM_draw_bitmap(benchmark::State &state) {
  trel_bitmap b(pane_width, pane_height), source(pane_width, pane_height);
  for (auto _ : state) {
    b.DrawBitmap(source, 0, 0);
    benchmark::DoNotOptimize(b.data());
  }
}
BENCHMARK(BM_draw_bitmap)->Unit(benchmark::kMicrosecond);

// The main pane's paint: clear, then every line of 80 columns of text.
void BM_text_pane(benchmark::State &state) {
  const bool transparent = state.range(0) != 0;
  trel_glyph_table &font = bench_font();
  trel_bitmap b(pane_width, pane_height);
  // A screen of game output's printable text, at most 80 columns a line.
  const std::vector<std::string> lines = bench::plain_lines(pane_height / glyph_height, columns);
  for (auto _ : state) {
    b.Clear(trel_colour{0, 0, 0});
    for (int i = 0; i < pane_height / glyph_height; i++) {
      if (transparent)
        b.draw_text_transparent(font, lines[i].c_str(), 2, i * glyph_height,
                                trel_colour{192, 192, 192});
      else
        b.draw_text(font, lines[i].c_str(), 2, i * glyph_height, trel_colour{192, 192, 192},
                    trel_colour{0, 0, 64});
    }
    benchmark::DoNotOptimize(b.data());
  }
  size_t glyphs = 0;
  for (const std::string &line : lines)
    glyphs += line.size();
  state.counters["glyphs"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(glyphs),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_text_pane)->Arg(0)->Arg(1)->ArgName("transparent")->Unit(benchmark::kMicrosecond);

void BM_lines_and_circles(benchmark::State &state) {
  trel_bitmap b(pane_width, pane_height);
  for (auto _ : state) {
    for (int i = 0; i < 100; i++) {
      b.draw_line(i * 9, 0, pane_width - 1 - i * 9, pane_height - 1, trel_colour{255, 0, 0});
      b.DrawFilledCircle(i * 9, i * 6, 8, trel_colour{0, 255, 0});
    }
    benchmark::DoNotOptimize(b.data());
  }
}
BENCHMARK(BM_lines_and_circles)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
