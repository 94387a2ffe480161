// Benchmarks of the stream framing: separating text from records in
// generated game output, alone and followed by the main pane's text path
// (ANSI interpreter, scrollback store, line breaking), in reads of the
// client's size and in reads of one TCP segment.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_text.h"

namespace {

// Counts what arrives and keeps nothing: the framing's own cost.
struct counting_sink : trel_stream_sink {
  void deliver_text(const char *, int length) override { text_bytes += length; }
  void dispatch_tag(const char *, const char *, int) override { tags++; }
  void ring_bell() override {}
  void enter_password_mode() override {}
  void leave_password_mode() override {}
  long long text_bytes = 0;
  long long tags = 0;
};

// Hands the text to a pane's interpreter, as the session does for the main pane.
struct pane_sink : counting_sink {
  explicit pane_sink(bench::pane_model &pane) : pane(pane) {}
  void deliver_text(const char *text, int length) override {
    pane.ansi.process_ansi_text(text, length);
  }
  bench::pane_model &pane;
};

const std::string &stream_4mb() {
  static const std::string stream = trel_game_output_text(4u << 20);
  return stream;
}

void parse(trel_stream_parser &parser, const std::string &stream, int read_size,
           trel_stream_sink &sink) {
  const auto *bytes = reinterpret_cast<const unsigned char *>(stream.data());
  for (size_t at = 0; at < stream.size(); at += size_t(read_size))
    parser.process(bytes + at, int(std::min<size_t>(size_t(read_size), stream.size() - at)), sink);
}

void bm_stream_framing(benchmark::State &state) {
  const std::string &stream = stream_4mb();
  const int read_size = int(state.range(0));
  trel_stream_parser parser;
  counting_sink sink;
  for (auto _ : state)
    parse(parser, stream, read_size, sink);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
  state.counters["records_per_MB"] =
      double(sink.tags) / double(state.iterations()) / (double(stream.size()) / 1e6);
}
BENCHMARK(bm_stream_framing)
    ->Arg(bench::read_size)
    ->Arg(1448)
    ->ArgName("read")
    ->Unit(benchmark::kMillisecond);

void bm_stream_to_broken_lines(benchmark::State &state) {
  const std::string &stream = stream_4mb();
  trel_stream_parser parser;
  bench::pane_model pane;
  pane_sink sink(pane);
  parse(parser, stream, bench::read_size, sink); // fill the pane to its limits first
  for (auto _ : state)
    parse(parser, stream, bench::read_size, sink);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
  state.counters["lines"] = pane.store.get_line_count();
}
BENCHMARK(bm_stream_to_broken_lines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
