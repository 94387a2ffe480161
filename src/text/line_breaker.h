// trel_line_breaker: splits stored text into display lines, at every line
// feed and, with word wrap on, where the text would reach the right edge of
// the pane. It works incrementally: each append walks only the new bytes,
// carrying the state of the open last line, and the result is the same as a
// walk over all the text at once.
#pragma once
#include <cstdint>
#include <vector>

// One display line: bytes [start, end) of the store's text. The last record
// is the open line; its end is the end of the text and is filled in when the
// line ends.
struct trel_text_line_record {
  uint32_t start;
  uint32_t end;
  // 1 when a line feed ended the line, 0 when wrapping did or it is open.
  uint32_t complete;
};

class trel_line_breaker {
public:
  // widths: 256 pixel widths (copied), the pane width in pixels, and the
  // word-wrap flag. Starts an empty open line at offset 0.
  void configure(const int *widths, int pane_width, bool word_wrap);

  // Starts a fresh open line at offset start, with no width walked yet.
  void restart(uint32_t start);

  // Walks text[from, to), which continues the open line. Ends the open line
  // at each line feed (complete) and each wrap point (not complete), adding
  // a record for each new open line to lines, whose last record must be the
  // open line. Returns the number of lines ended.
  int walk(const unsigned char *text, uint32_t from, uint32_t to,
           std::vector<trel_text_line_record> &lines);

  // The store dropped the front of the open line up to new_start: the width
  // of the dropped bytes no longer counts.
  void cut_open_line(const unsigned char *text, uint32_t new_start);
  // The store moved every offset down by distance.
  void rebase(uint32_t distance);

  uint32_t open_line_start() const { return line_start_; }

private:
  void end_line(std::vector<trel_text_line_record> &lines, uint32_t end, uint32_t complete,
                uint32_t next_start);

  // The widths, with the line feed made so wide that the one comparison
  // with the pane width per character also finds line feeds.
  int64_t widths_[256] = {0};
  int64_t pane_width_ = 0;
  bool word_wrap_ = true;

  uint32_t line_start_ = 0;
  // Width of the open line up to the last byte walked.
  int64_t line_width_ = 0;
  // Set when the open line's first character alone reaches the pane width:
  // such a line is never broken, up to its line feed.
  bool unbreakable_ = false;
};
