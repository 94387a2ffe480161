// Helpers for the text model tests: width tables, the store's lines and runs
// as plain strings, and a capture of the debug log in a temporary file.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "text/palette.h"
#include "text/textctrl_store.h"

// Every printable byte (32 to 126) is width pixels wide; the rest measure 0.
std::array<int, 256> monospace_widths(int width);

// A store measured with monospace_widths(char_width) and the given pane width.
void set_monospace(trel_textctrl_store &store, int char_width, int pane_width);

// The text of every display line, oldest first.
std::vector<std::string> store_lines(const trel_textctrl_store &store);
// The complete flag of every display line.
std::vector<int> store_complete_flags(const trel_textctrl_store &store);

struct colour_run_text {
  std::string text;
  uint32_t rgb;
  bool operator==(const colour_run_text &other) const {
    return text == other.text && rgb == other.rgb;
  }
};
// All stored text as runs of one colour, joined across line ends (display
// lines joined with "|" for wrapped ones and "\n" for complete ones, so that
// the colour of each character can be compared whatever the wrapping).
std::vector<colour_run_text> store_colour_runs(const trel_textctrl_store &store);
std::string describe(const std::vector<colour_run_text> &runs);

// Sends the debug log to a file in a fresh temporary directory at the given
// level for the life of the object; restores level 1 and a closed log after.
class text_log_capture {
public:
  explicit text_log_capture(int level = 2);
  ~text_log_capture();
  text_log_capture(const text_log_capture &) = delete;
  text_log_capture &operator=(const text_log_capture &) = delete;
  // Everything written so far.
  std::string text() const;

private:
  std::string directory_;
  std::string path_;
  int saved_level_;
};
