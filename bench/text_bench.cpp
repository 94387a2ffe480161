// Benchmarks of the text model: the whole path from server bytes through the
// ANSI interpreter to the broken lines of the scrollback store, a re-break of
// a full store after a width change, and the memory of a full pane.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <array>
#include <memory>
#include <random>
#include <string>

#include "text/ansi_interpreter.h"
#include "text/textctrl_store.h"

namespace {

constexpr int char_width = 8;
constexpr int columns = 80;

std::array<int, 256> monospace() {
  std::array<int, 256> widths{};
  for (int i = 32; i <= 126; i++)
    widths[size_t(i)] = char_width;
  return widths;
}

// Typical game output: lines of up to 79 characters ended by CR LF, with a
// colour change about every 20 characters (some of them two sequences).
std::string game_text(int line_count, unsigned seed = 7) {
  static const char *const words[] = {"the",   "goblin", "hits",  "you",  "with",   "a",
                                      "rusty", "sword",  "north", "gate", "of",     "Quenmar",
                                      "you",   "see",    "torch", "and",  "an",     "old",
                                      "chest", "lies",   "here.", "[HP:", "45/60]", "says,"};
  static const char *const colours[] = {"\x1b[0m",         "\x1b[1m\x1b[33m", "\x1b[32m",
                                        "\x1b[1m\x1b[31m", "\x1b[36m",        "\x1b[37m",
                                        "\x1b[2m\x1b[35m"};
  std::mt19937 random(seed);
  std::string text;
  text.reserve(size_t(line_count) * 100);
  for (int line = 0; line < line_count; line++) {
    int length = 0;
    int since_colour = 0;
    int target = 60 + int(random() % 20);
    while (length < target) {
      const char *word = words[random() % (sizeof words / sizeof *words)];
      int word_length = int(std::char_traits<char>::length(word));
      if (length + word_length + 1 > 79)
        break;
      if (since_colour >= 20) {
        text += colours[random() % (sizeof colours / sizeof *colours)];
        since_colour = 0;
      }
      text += word;
      text += ' ';
      length += word_length + 1;
      since_colour += word_length + 1;
    }
    text += "\r\n";
  }
  return text;
}

// A pane's model: the store, measured for an 80-column pane, and its interpreter.
struct pane_model {
  explicit pane_model(trel_text_limits limits = trel_text_limits())
      : store(limits), ansi(store, limits) {
    std::array<int, 256> widths = monospace();
    store.set_font_metrics(widths.data(), 14);
    store.set_width(columns * char_width);
  }
  void feed(const std::string &text) {
    // The connection hands over at most 10000 bytes at a time.
    for (size_t at = 0; at < text.size(); at += 10000)
      ansi.process_ansi_text(text.data() + at, int(std::min<size_t>(10000, text.size() - at)));
  }
  trel_textctrl_store store;
  trel_ansi_interpreter ansi;
};

void bm_ansi_to_broken_lines(benchmark::State &state) {
  const std::string text = game_text(40000);
  pane_model pane; // default limits: once full, each line in drops the oldest
  pane.feed(text);
  for (auto _ : state)
    pane.feed(text);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
  state.counters["lines"] = pane.store.get_line_count();
}
BENCHMARK(bm_ansi_to_broken_lines)->Unit(benchmark::kMillisecond);

void bm_rebreak_100k_lines(benchmark::State &state) {
  const int target = int(state.range(0));
  trel_text_limits limits;
  limits.max_lines = 1000000; // room for the narrow layout, so nothing drops
  limits.max_bytes = int64_t(64) << 20;
  pane_model pane(limits);
  pane.feed(game_text(100000));
  const int other = target == columns * char_width ? 50 * char_width : columns * char_width;
  for (auto _ : state) {
    state.PauseTiming();
    pane.store.set_width(other);
    state.ResumeTiming();
    pane.store.set_width(target);
  }
  state.counters["display_lines"] = pane.store.get_line_count();
}
// 80 columns (every line fits) and 50 columns (most lines wrap once).
BENCHMARK(bm_rebreak_100k_lines)
    ->Arg(columns *char_width)
    ->Arg(50 * char_width)
    ->Unit(benchmark::kMillisecond);

void bm_memory_100k_lines(benchmark::State &state) {
  const std::string text = game_text(100000);
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
}
BENCHMARK(bm_memory_100k_lines)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
