// The scrollback store: appending, breaking, limits and the locked reader.
#include "text/textctrl_store.h"

#include <algorithm>
#include <cstring>

#include "text/text_conversion.h"

namespace {

// Record arrays drop their dead prefix once it is this long and a quarter
// of the live part.
constexpr size_t record_compact_minimum = 4096;

template <typename T> void release_if_large(std::vector<T> &records) {
  if (records.capacity() * sizeof(T) > TREL_TEXT_KEEP_ON_CLEAR)
    std::vector<T>().swap(records);
}

} // namespace

trel_textctrl_store::trel_textctrl_store(trel_text_limits limits)
    : limits_(trel_text_limits_sanitized(limits)) {
  lines_.push_back(trel_text_line_record{0, 0, 0});
  breaker_.configure(char_width_, last_width_, word_wrap_ != 0);
}

int trel_textctrl_store::append_text(const char *text) {
  if (!text)
    return 0;
  return append_text(text, int(std::strlen(text)));
}

int trel_textctrl_store::append_text(const char *text, int length) {
  if (!text)
    return 0;
  const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
  if (length < 0)
    length = 0;
  // Text after creation or a clear starts at its first real line, not with
  // the blank lines a server greeting usually opens with.
  if (skip_leading_newlines_) {
    while (length > 0 && *bytes == '\n') {
      bytes++;
      length--;
    }
    skip_leading_newlines_ = 0;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return append_locked(bytes, length);
}

int trel_textctrl_store::append_locked(const unsigned char *text, int length) {
  if (length <= 0)
    return 0;
  char *tail = text_.reserve_tail(TREL_TEXTCTRL_APPEND_LIMIT);
  if (!tail)
    return 0; // out of memory, reported by the buffer
  int written = trel_textctrl_convert(text, length, tail, TREL_TEXTCTRL_APPEND_LIMIT, &column_);
  if (written <= 0)
    return 0;
  uint32_t start = text_.size();
  uint32_t rgb = trel_colour_to_rgb(foreground_);
  if (run_head_ == runs_.size() || runs_.back().rgb != rgb)
    runs_.push_back(trel_textctrl_colour_run{start, rgb});
  text_.commit(uint32_t(written));
  breaker_.walk(reinterpret_cast<const unsigned char *>(text_.data()), start, text_.size(), lines_);
  if (!scroll_locked_)
    bottom_line_ = get_current_line();
  enforce_limits_locked();
  return written;
}

void trel_textctrl_store::set_font_metrics(const int *char_widths, int line_height) {
  for (int i = 0; i < TREL_TEXTCTRL_CHAR_COUNT; i++) {
    // The painter draws only bytes 32 to 126 and skips the rest without
    // advancing, so breaking must measure the others as nothing too.
    int width = (char_widths && i >= 32 && i <= 126) ? char_widths[i] : 0;
    char_width_[i] = std::clamp(width, 0, TREL_TEXTCTRL_MAX_CHAR_WIDTH);
  }
  line_height_ = line_height;
  rebreak_all();
}

int trel_textctrl_store::set_width(int width) {
  if (width == last_width_)
    return 0;
  last_width_ = width;
  rebreak_all();
  return 1;
}

void trel_textctrl_store::set_word_wrap(int flag) {
  flag = flag ? 1 : 0;
  if (flag == word_wrap_)
    return;
  word_wrap_ = flag;
  rebreak_all();
}

void trel_textctrl_store::rebreak_all() {
  if (client_) {
    client_->clear_selection();
    client_->request_repaint();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  rebreak_locked();
}

void trel_textctrl_store::rebreak_locked() {
  uint32_t head = text_.head();
  lines_.clear();
  line_head_ = 0;
  lines_.push_back(trel_text_line_record{head, head, 0});
  breaker_.configure(char_width_, last_width_, word_wrap_ != 0);
  breaker_.restart(head);
  breaker_.walk(reinterpret_cast<const unsigned char *>(text_.data()), head, text_.size(), lines_);
  // A locked view has nothing sensible to keep after a re-break; the callers
  // that change the width return the pane to following first.
  bottom_line_ = scroll_locked_ ? 0 : get_current_line();
  enforce_limits_locked();
}

void trel_textctrl_store::clear_text() {
  if (client_) {
    client_->clear_selection();
    client_->request_repaint();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  text_.clear();
  runs_.clear();
  release_if_large(runs_);
  run_head_ = 0;
  lines_.clear();
  release_if_large(lines_);
  line_head_ = 0;
  lines_.push_back(trel_text_line_record{0, 0, 0});
  breaker_.restart(0);
  bottom_line_ = 0;
  column_ = 0;
  skip_leading_newlines_ = 1;
}

void trel_textctrl_store::get_font_metrics(int *max_char_width, int *line_height) const {
  if (max_char_width) {
    int widest = 0;
    for (int i = 32; i <= 126; i++)
      widest = std::max(widest, char_width_[i]);
    *max_char_width = widest;
  }
  if (line_height)
    *line_height = line_height_;
}

void trel_textctrl_store::set_bottom_line(int line, int visible_count) {
  int highest = get_current_line() + std::max(visible_count, 0);
  bottom_line_ = std::clamp(line, 0, highest);
}

uint32_t trel_textctrl_store::line_end_locked(size_t record) const {
  // The open line runs to the end of the text.
  return record + 1 == lines_.size() ? text_.size() : lines_[record].end;
}

void trel_textctrl_store::advance_run_head_locked() {
  uint32_t head = text_.head();
  while (run_head_ + 1 < runs_.size() && runs_[run_head_ + 1].start <= head)
    run_head_++;
}

void trel_textctrl_store::drop_lines_locked(size_t count) {
  size_t live = lines_.size() - line_head_;
  if (count == 0 || live <= 1)
    return;
  // The open line is never dropped.
  if (count > live - 1)
    count = live - 1;
  line_head_ += count;
  dropped_lines_ += count;
  text_.drop_front(lines_[line_head_].start);
  advance_run_head_locked();
  // A locked view stays on the same text; a following one is at the end anyway.
  bottom_line_ = std::max(0, bottom_line_ - int(count));
}

void trel_textctrl_store::cut_open_line_locked(uint32_t new_start) {
  trel_text_line_record &open = lines_.back();
  if (new_start <= open.start)
    return;
  breaker_.cut_open_line(reinterpret_cast<const unsigned char *>(text_.data()), new_start);
  open.start = new_start;
  open.end = new_start;
  text_.drop_front(new_start);
  advance_run_head_locked();
}

void trel_textctrl_store::enforce_limits_locked() {
  size_t live = lines_.size() - line_head_;
  bool over_lines = live > size_t(limits_.max_lines);
  if (!over_lines && int64_t(text_.live()) <= limits_.max_bytes)
    return;
  if (over_lines)
    drop_lines_locked(live - size_t(limits_.max_lines));

  if (int64_t(text_.live()) > limits_.max_bytes) {
    uint32_t cut = text_.size() - uint32_t(limits_.max_bytes);
    // Whole lines go while they can: the first line starting at or after
    // the cut becomes the oldest one kept.
    auto first = lines_.begin() + std::ptrdiff_t(line_head_);
    auto kept = std::lower_bound(
        first, lines_.end(), cut,
        [](const trel_text_line_record &line, uint32_t offset) { return line.start < offset; });
    drop_lines_locked(size_t(kept - first));
    // Only the open line is left and it alone is too long: its front goes.
    if (int64_t(text_.live()) > limits_.max_bytes)
      cut_open_line_locked(cut);
  }
  compact_locked();
}

void trel_textctrl_store::compact_locked() {
  uint32_t moved = text_.compact_if_worthwhile();
  if (moved ||
      trel_text_compaction_due(line_head_, lines_.size() - line_head_, record_compact_minimum)) {
    lines_.erase(lines_.begin(), lines_.begin() + std::ptrdiff_t(line_head_));
    line_head_ = 0;
    if (moved) {
      for (trel_text_line_record &line : lines_) {
        line.start -= moved;
        line.end -= moved;
      }
    }
  }
  if (moved ||
      trel_text_compaction_due(run_head_, runs_.size() - run_head_, record_compact_minimum)) {
    runs_.erase(runs_.begin(), runs_.begin() + std::ptrdiff_t(run_head_));
    run_head_ = 0;
    if (moved) {
      // The oldest run may begin inside the dropped text.
      for (trel_textctrl_colour_run &run : runs_)
        run.start = run.start > moved ? run.start - moved : 0;
    }
  }
  if (moved)
    breaker_.rebase(moved);
}

size_t trel_textctrl_store::memory_usage() const {
  return sizeof(*this) + text_.capacity() + runs_.capacity() * sizeof(trel_textctrl_colour_run) +
         lines_.capacity() * sizeof(trel_text_line_record);
}

// ---- reading ----

int trel_text_run_cursor::next(trel_text_run *run) {
  if (!run || position_ >= end_ || !text_)
    return 0;
  while (run_ + 1 < run_count_ && runs_[run_ + 1].start <= position_)
    run_++;
  uint32_t stop = end_;
  if (run_ + 1 < run_count_ && runs_[run_ + 1].start < stop)
    stop = runs_[run_ + 1].start;
  const char *text = text_ + position_;
  int length = int(stop - position_);
  int width = 0;
  for (int i = 0; i < length; i++)
    width += widths_[static_cast<unsigned char>(text[i])];
  run->text = text;
  run->length = length;
  run->colour = run_count_ ? trel_rgb_to_colour(runs_[run_].rgb) : trel_text_colour{};
  run->width = width;
  position_ = stop;
  return 1;
}

trel_textctrl_reader::trel_textctrl_reader(const trel_textctrl_store &store)
    : store_(store), lock_(store.mutex_) {}

int trel_textctrl_reader::get_line(int index, trel_text_line *line) const {
  if (!line || index < 0 || index > current_line())
    return 0;
  size_t record = store_.line_head_ + size_t(index);
  const trel_text_line_record &r = store_.lines_[record];
  uint32_t end = store_.line_end_locked(record);
  line->text = store_.text_.data() + r.start;
  line->length = int(end - r.start);
  line->complete = int(r.complete);
  int width = 0;
  for (int i = 0; i < line->length; i++)
    width += store_.char_width_[static_cast<unsigned char>(line->text[i])];
  line->width = width;
  return 1;
}

trel_text_run_cursor trel_textctrl_reader::runs(int index) const {
  trel_text_run_cursor cursor;
  if (index < 0 || index > current_line())
    return cursor;
  size_t record = store_.line_head_ + size_t(index);
  const trel_text_line_record &r = store_.lines_[record];
  const std::vector<trel_textctrl_colour_run> &runs = store_.runs_;
  auto first = runs.begin() + std::ptrdiff_t(store_.run_head_);
  // The run in force at the line's start: the last one starting at or before it.
  auto after = std::upper_bound(
      first, runs.end(), r.start,
      [](uint32_t offset, const trel_textctrl_colour_run &run) { return offset < run.start; });
  size_t run = after == first ? store_.run_head_ : size_t(after - runs.begin()) - 1;
  cursor.text_ = store_.text_.data();
  cursor.position_ = r.start;
  cursor.end_ = store_.line_end_locked(record);
  cursor.runs_ = runs.data();
  cursor.run_ = run;
  cursor.run_count_ = runs.size();
  cursor.widths_ = store_.char_width_;
  return cursor;
}
