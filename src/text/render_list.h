// trel_render_list: the second record of a text pane, every coloured run as
// it arrived (before line breaking), from which the pane is rebuilt and the
// session log is written. Runs share one contiguous text buffer; the text
// after the last run is the pending run, which the pane's colour logic
// closes into a run of its own when the colour changes.
#pragma once
#include <cstdint>
#include <vector>

#include "text/text_buffer.h"
#include "text/text_limits.h"

// One run as its readers see it. text is not NUL-terminated and stays valid
// until the list is next changed.
struct trel_render_run {
  const char *text = nullptr;
  int length = 0;
  int red = 0;
  int green = 0;
  int blue = 0;
  int attribute = 0;
  int color_code = 0;
};

class trel_render_list {
public:
  explicit trel_render_list(trel_text_limits limits = trel_text_limits());
  trel_render_list(const trel_render_list &) = delete;
  trel_render_list &operator=(const trel_render_list &) = delete;

  // Adds text to the pending run, then drops the oldest text if the list went
  // over its limits.
  void append_pending(const char *text, int length);
  bool pending_empty() const { return text_.size() == pending_start_; }
  int pending_length() const { return int(text_.size() - pending_start_); }
  // Moves the pending text into a new run with this colour state. Returns 1,
  // or 0 when nothing was pending (no run is made).
  int flush(uint32_t rgb, int attribute, int color_code);
  // Forgets every run and the pending text.
  void clear();

  // Runs held, the pending run not counted.
  int run_count() const { return int(runs_.size() - run_head_); }
  // 1 and run number index (0 is the oldest kept), or 0 outside the range.
  int get_run(int index, trel_render_run *run) const;
  // Calls visit(const trel_render_run &) for every run, oldest first.
  template <typename Visitor> void for_each_run(Visitor &&visit) const {
    trel_render_run run;
    for (int i = 0, n = run_count(); i < n; i++)
      if (get_run(i, &run))
        visit(run);
  }

  // Bytes of text held, the pending run included.
  int64_t text_bytes() const { return text_.live(); }
  // Line feeds in the held text (the line limit counts these).
  int line_count() const { return newline_count_; }
  // Bytes this list has allocated, its own object included.
  size_t memory_usage() const;
  const trel_text_limits &limits() const { return limits_; }

private:
  struct record {
    uint32_t start;
    uint32_t rgb;
    int16_t attribute;
    int16_t color_code;
  };

  uint32_t run_end(size_t index) const {
    return index + 1 < runs_.size() ? runs_[index + 1].start : pending_start_;
  }
  // Drops the oldest text beyond the limits (called only when over one).
  void enforce_limits();
  // Forgets the text before offset, which holds newlines line feeds (-1: count them).
  void drop_text_before(uint32_t offset, int newlines);

  trel_text_limits limits_;
  trel_text_buffer text_;
  std::vector<record> runs_;
  size_t run_head_ = 0;
  uint32_t pending_start_ = 0;
  int newline_count_ = 0;
};
