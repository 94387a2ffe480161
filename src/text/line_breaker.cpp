// Incremental line breaking over the store's contiguous text.
#include "text/line_breaker.h"

#include <cstring>

namespace {

inline bool is_blank(unsigned char c) {
  return c == ' ' || c == '\t';
}

// Wider than any line can grow (at most 2^32 bytes of at most 4096 pixels),
// and far from overflowing the 64-bit running sum.
constexpr int64_t line_feed_width = int64_t(1) << 50;

} // namespace

void trel_line_breaker::configure(const int *widths, int pane_width, bool word_wrap) {
  for (int i = 0; i < 256; i++)
    widths_[i] = widths ? widths[i] : 0;
  widths_[int('\n')] = line_feed_width;
  pane_width_ = pane_width;
  word_wrap_ = word_wrap;
  restart(0);
}

void trel_line_breaker::restart(uint32_t start) {
  line_start_ = start;
  line_width_ = 0;
  unbreakable_ = false;
}

void trel_line_breaker::end_line(std::vector<trel_text_line_record> &lines, uint32_t end,
                                 uint32_t complete, uint32_t next_start) {
  trel_text_line_record &open = lines.back();
  open.end = end;
  open.complete = complete;
  lines.push_back(trel_text_line_record{next_start, next_start, 0});
  restart(next_start);
}

int trel_line_breaker::walk(const unsigned char *text, uint32_t from, uint32_t to,
                            std::vector<trel_text_line_record> &lines) {
  if (!text || lines.empty())
    return 0;
  int ended = 0;
  uint32_t i = from;
  while (i < to) {
    if (!word_wrap_ || unbreakable_) {
      // Only line feeds can end this line: let memchr find them.
      const void *found = std::memchr(text + i, '\n', to - i);
      if (!found)
        break;
      uint32_t at = uint32_t(static_cast<const unsigned char *>(found) - text);
      end_line(lines, at, 1, at + 1);
      ended++;
      i = at + 1;
      continue;
    }

    // The common case: add widths until the edge or a line feed (which
    // measures as reaching the edge).
    const int64_t limit = pane_width_;
    int64_t width = line_width_;
    for (; i < to; i++) {
      width += widths_[text[i]];
      if (width >= limit)
        break;
    }
    if (i >= to) {
      line_width_ = width;
      break;
    }
    unsigned char c = text[i];
    if (c == '\n') {
      end_line(lines, i, 1, i + 1);
      ended++;
      i++;
      continue;
    }

    // Character i reaches the edge. Every blank before it was passed with
    // the line still inside the pane, so the break goes after the last one;
    // the rest of the line, i included, starts the next line.
    uint32_t blank_end = 0;
    for (uint32_t k = i; k > line_start_; k--) {
      if (is_blank(text[k - 1])) {
        blank_end = k;
        break;
      }
    }
    if (blank_end != 0) {
      end_line(lines, blank_end, 0, blank_end);
      ended++;
      int64_t carried = 0;
      for (uint32_t k = blank_end; k <= i; k++)
        carried += widths_[text[k]];
      line_width_ = carried;
      if (carried < limit) {
        i++;
        continue;
      }
      // No blank lies between the break and i, so i still reaches the edge
      // on the new line: break again just before it.
    }
    if (i > line_start_) {
      end_line(lines, i, 0, i);
      ended++;
      line_width_ = widths_[c];
      if (line_width_ < limit) {
        i++;
        continue;
      }
    }
    // The first character of the line alone reaches the edge: breaking would
    // only make empty lines, so the line stays whole up to its line feed.
    unbreakable_ = true;
    i++;
  }
  return ended;
}

void trel_line_breaker::cut_open_line(const unsigned char *text, uint32_t new_start) {
  if (!text || new_start <= line_start_)
    return;
  if (word_wrap_ && !unbreakable_) {
    for (uint32_t i = line_start_; i < new_start; i++)
      line_width_ -= widths_[text[i]];
  }
  line_start_ = new_start;
}

void trel_line_breaker::rebase(uint32_t distance) {
  line_start_ -= distance;
}
