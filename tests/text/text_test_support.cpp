// Helpers for the text model tests.
#include "text/text_test_support.h"

#include <fstream>
#include <sstream>
#include <stdlib.h>
#include <unistd.h>

#include "support/debug_log.h"

std::array<int, 256> monospace_widths(int width) {
  std::array<int, 256> widths{};
  for (int i = 32; i <= 126; i++)
    widths[size_t(i)] = width;
  return widths;
}

void set_monospace(trel_textctrl_store &store, int char_width, int pane_width) {
  std::array<int, 256> widths = monospace_widths(char_width);
  store.set_font_metrics(widths.data(), 14);
  store.set_width(pane_width);
}

std::vector<std::string> store_lines(const trel_textctrl_store &store) {
  std::vector<std::string> lines;
  trel_textctrl_reader reader(store);
  trel_text_line line;
  for (int i = 0; reader.get_line(i, &line); i++)
    lines.emplace_back(line.text, size_t(line.length));
  return lines;
}

std::vector<int> store_complete_flags(const trel_textctrl_store &store) {
  std::vector<int> flags;
  trel_textctrl_reader reader(store);
  trel_text_line line;
  for (int i = 0; reader.get_line(i, &line); i++)
    flags.push_back(line.complete);
  return flags;
}

std::vector<colour_run_text> store_colour_runs(const trel_textctrl_store &store) {
  std::vector<colour_run_text> runs;
  auto add = [&runs](const std::string &text, uint32_t rgb) {
    if (!runs.empty() && runs.back().rgb == rgb)
      runs.back().text += text;
    else
      runs.push_back(colour_run_text{text, rgb});
  };
  trel_textctrl_reader reader(store);
  trel_text_line line;
  for (int i = 0; reader.get_line(i, &line); i++) {
    trel_text_run_cursor cursor = reader.runs(i);
    trel_text_run run;
    uint32_t last_rgb = runs.empty() ? 0 : runs.back().rgb;
    while (cursor.next(&run)) {
      last_rgb = trel_colour_to_rgb(run.colour);
      add(std::string(run.text, size_t(run.length)), last_rgb);
    }
    if (i < reader.current_line())
      add(line.complete ? "\n" : "|", last_rgb);
  }
  return runs;
}

std::string describe(const std::vector<colour_run_text> &runs) {
  std::ostringstream out;
  for (const colour_run_text &run : runs) {
    char rgb[16];
    snprintf(rgb, sizeof rgb, "%06x", unsigned(run.rgb));
    out << "[" << rgb << " \"" << run.text << "\"]";
  }
  return out.str();
}

text_log_capture::text_log_capture(int level) : saved_level_(debug_level) {
  char pattern[] = "/tmp/quenmar_text_test_XXXXXX";
  const char *made = mkdtemp(pattern);
  directory_ = made ? made : "/tmp";
  path_ = directory_ + "/debug.txt";
  if (trel_client_debug_logfile_is_open())
    trel_client_debug_logfile_close();
  trel_client_set_debug_logfile_name(path_.c_str());
  trel_client_try_open_debug_logfile();
  debug_level = level;
}

text_log_capture::~text_log_capture() {
  debug_level = saved_level_;
  if (trel_client_debug_logfile_is_open())
    trel_client_debug_logfile_close();
  unlink(path_.c_str());
  rmdir(directory_.c_str());
}

std::string text_log_capture::text() const {
  std::ifstream in(path_, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}
