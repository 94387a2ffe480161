// Benchmarks of the text model: the whole path from framed server text
// through the ANSI interpreter to the broken lines of the scrollback store, a
// re-break of a full store after a width change, and the memory of a full pane.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <string>

#include "bench_text.h"

namespace {

using bench::char_width;
using bench::columns;
using bench::pane_model;

void bm_ansi_to_broken_lines(benchmark::State &state) {
  const std::string text = bench::pane_text_lines(40000);
  pane_model pane; // default limits: once full, each line in drops the oldest
  pane.feed(text);
  for (auto _ : state)
    pane.feed(text);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
  state.counters["lines"] = pane.store.get_line_count();
}
BENCHMARK(bm_ansi_to_broken_lines)->Unit(benchmark::kMillisecond);

// A pane full to its default line limit, re-broken for a new width: what a
// window resize costs after a long session.
void bm_rebreak_100k_lines(benchmark::State &state) {
  const int target = int(state.range(0));
  trel_text_limits limits;
  limits.max_lines = 1000000; // room for the narrow layout, so nothing drops
  limits.max_bytes = int64_t(64) << 20;
  pane_model pane(limits);
  pane.feed(bench::pane_text_lines(TREL_TEXT_DEFAULT_MAX_LINES));
  const int other = target == columns * char_width ? 50 * char_width : columns * char_width;
  for (auto _ : state) {
    state.PauseTiming();
    pane.store.set_width(other);
    state.ResumeTiming();
    pane.store.set_width(target);
  }
  state.counters["display_lines"] = pane.store.get_line_count();
  state.counters["text_MB"] = double(pane.store.get_text_bytes()) / 1e6;
}
// 80 columns (most lines fit) and 50 columns (most lines wrap once).
BENCHMARK(bm_rebreak_100k_lines)
    ->Arg(columns *char_width)
    ->Arg(50 * char_width)
    ->Unit(benchmark::kMillisecond);

// The same with the default limits, as the client keeps its main pane.
void bm_rebreak_full_default_pane(benchmark::State &state) {
  pane_model pane;
  pane.feed(bench::pane_text_lines(TREL_TEXT_DEFAULT_MAX_LINES * 2));
  int width = 120 * char_width;
  for (auto _ : state) {
    width = width == 120 * char_width ? 100 * char_width : 120 * char_width;
    pane.store.set_width(width);
  }
  state.counters["display_lines"] = pane.store.get_line_count();
  state.counters["text_MB"] = double(pane.store.get_text_bytes()) / 1e6;
}
BENCHMARK(bm_rebreak_full_default_pane)->Unit(benchmark::kMillisecond);

void bm_memory_100k_lines(benchmark::State &state) {
  const std::string text = bench::pane_text_lines(100000);
  for (auto _ : state) {
    size_t heap_before = mallinfo2().uordblks;
    auto pane = std::make_unique<pane_model>();
    pane->feed(text);
    size_t heap_after = mallinfo2().uordblks;
    state.counters["store_MB"] = double(pane->store.memory_usage()) / 1e6;
    state.counters["render_list_MB"] = double(pane->ansi.memory_usage()) / 1e6;
    state.counters["heap_MB"] = double(heap_after - heap_before) / 1e6;
    state.counters["lines"] = pane->store.get_line_count();
    state.counters["text_MB"] = double(pane->store.get_text_bytes()) / 1e6;
  }
  state.counters["input_MB"] = double(text.size()) / 1e6;
}
BENCHMARK(bm_memory_100k_lines)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
