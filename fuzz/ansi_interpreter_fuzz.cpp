// Fuzz target: server text through the ANSI interpreter into a scrollback
// store, in reads split where the input says, with a narrow pane so lines
// wrap often, then a re-break at another width.
#include "text/ansi_interpreter.h"
#include "text/textctrl_store.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2)
    return 0;
  trel_text_limits limits;
  limits.max_lines = 200;
  limits.max_bytes = 64 * 1024;
  trel_textctrl_store store(limits);
  int widths[256] = {0};
  for (int c = 32; c <= 126; c++)
    widths[c] = 1 + c % 9;
  store.set_font_metrics(widths, 14);
  store.set_width(40 + data[0]);
  trel_ansi_interpreter ansi(store, limits);
  size_t chunk = 1 + data[1] % 97;
  for (size_t at = 2; at < size; at += chunk) {
    size_t n = size - at < chunk ? size - at : chunk;
    ansi.process_ansi_text(reinterpret_cast<const char *>(data + at), static_cast<int>(n));
  }
  store.set_width(7);
  if (store.get_line_count() < 1)
    abort();
  return 0;
}
