// Shared set-up of the text benchmarks: a pane's model measured for a
// fixed-pitch font, and the generated game output as the framing hands it
// to a pane (records removed, ";;" made one semicolon).
#pragma once
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "game_output.h"
#include "session/stream_parser.h"
#include "text/ansi_interpreter.h"
#include "text/textctrl_store.h"

namespace bench {

constexpr int char_width = 8;
constexpr int line_height = 14;
constexpr int columns = 80;
// The connection hands over at most this much at a time.
constexpr int read_size = 10000;

inline std::array<int, 256> monospace_widths() {
  std::array<int, 256> widths{};
  for (int i = 32; i <= 126; i++)
    widths[size_t(i)] = char_width;
  return widths;
}

// A pane's model: the store, measured for an 80-column pane, and its interpreter.
struct pane_model {
  explicit pane_model(trel_text_limits limits = trel_text_limits(),
                      int width = columns * char_width)
      : store(limits), ansi(store, limits) {
    std::array<int, 256> widths = monospace_widths();
    store.set_font_metrics(widths.data(), line_height);
    store.set_width(width);
  }
  void feed(const std::string &text) {
    for (size_t at = 0; at < text.size(); at += read_size)
      ansi.process_ansi_text(text.data() + at, int(std::min<size_t>(read_size, text.size() - at)));
  }
  trel_textctrl_store store;
  trel_ansi_interpreter ansi;
};

// Collects what the framing delivers: the text and the number of records.
struct collecting_sink : trel_stream_sink {
  void deliver_text(const char *text, int length) override { text_.append(text, size_t(length)); }
  void dispatch_tag(const char *, const char *, int) override { tags++; }
  void ring_bell() override {}
  void enter_password_mode() override {}
  void leave_password_mode() override {}
  std::string text_;
  long tags = 0;
};

// The text a pane receives from this stream.
inline std::string framed_text(const std::string &stream) {
  trel_stream_parser parser;
  collecting_sink sink;
  for (size_t at = 0; at < stream.size(); at += read_size)
    parser.process(reinterpret_cast<const unsigned char *>(stream.data()) + at,
                   int(std::min<size_t>(read_size, stream.size() - at)), sink);
  return std::move(sink.text_);
}

// The text of game output with line_count lines, as a pane receives it.
inline std::string pane_text_lines(int line_count, uint64_t seed = 7) {
  std::string stream;
  trel_game_output generator(seed);
  generator.append_lines(stream, line_count);
  return framed_text(stream);
}

// Lines of printable text only (no escapes, no line ends), each at most
// max_columns long, for drawing with the bitmap operations directly.
inline std::vector<std::string> plain_lines(int count, int max_columns, uint64_t seed = 7) {
  const std::string text = pane_text_lines(count * 2, seed);
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size() && int(lines.size()) <= count; i++) {
    const char c = text[i];
    if (c == '\x1b') {
      while (i < text.size() && text[i] != 'm')
        i++;
    } else if (c == '\n') {
      lines.emplace_back();
    } else if (c >= 32 && c <= 126 && int(lines.back().size()) < max_columns) {
      lines.back() += c;
    }
  }
  lines.resize(size_t(count));
  return lines;
}

} // namespace bench
