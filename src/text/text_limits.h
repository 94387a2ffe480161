// The bounds of a text pane's memory: how many lines and bytes its scrollback
// store and its render list keep before the oldest text is dropped.
#pragma once
#include <cstdint>

// A long session must not grow a pane without end, so both records of a pane
// keep only the newest text. The defaults hold a long evening of play.
constexpr int TREL_TEXT_DEFAULT_MAX_LINES = 100000;
constexpr int64_t TREL_TEXT_DEFAULT_MAX_BYTES = int64_t(16) << 20;
// Offsets inside the stores are 32-bit, so the byte bound itself is capped.
constexpr int64_t TREL_TEXT_LARGEST_MAX_BYTES = int64_t(1) << 30;

struct trel_text_limits {
  // Display lines for the scrollback store, line feeds for the render list.
  int max_lines = TREL_TEXT_DEFAULT_MAX_LINES;
  // Bytes of stored text.
  int64_t max_bytes = TREL_TEXT_DEFAULT_MAX_BYTES;
};

// The limits with every value brought into its allowed range (at least one
// line and one byte, at most TREL_TEXT_LARGEST_MAX_BYTES).
inline trel_text_limits trel_text_limits_sanitized(trel_text_limits limits) {
  if (limits.max_lines < 1)
    limits.max_lines = 1;
  if (limits.max_bytes < 1)
    limits.max_bytes = 1;
  if (limits.max_bytes > TREL_TEXT_LARGEST_MAX_BYTES)
    limits.max_bytes = TREL_TEXT_LARGEST_MAX_BYTES;
  return limits;
}
