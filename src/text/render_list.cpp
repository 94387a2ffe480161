// The render list: runs in one text buffer, bounded by the pane's limits.
#include "text/render_list.h"

#include <cstring>

#include "text/byte_scan.h"

namespace {

int count_newlines(const char *text, size_t length) {
  return int(trel_count_byte(reinterpret_cast<const unsigned char *>(text), length, '\n'));
}

} // namespace

trel_render_list::trel_render_list(trel_text_limits limits)
    : limits_(trel_text_limits_sanitized(limits)) {}

void trel_render_list::append_pending(const char *text, int length) {
  if (!text || length <= 0)
    return;
  if (!text_.append(text, uint32_t(length)))
    return;
  newline_count_ += count_newlines(text, size_t(length));
  if (newline_count_ > limits_.max_lines || int64_t(text_.live()) > limits_.max_bytes)
    enforce_limits();
}

int trel_render_list::flush(uint32_t rgb, int attribute, int color_code) {
  if (pending_empty())
    return 0;
  runs_.push_back(record{pending_start_, rgb, int16_t(attribute), int16_t(color_code)});
  pending_start_ = text_.size();
  return 1;
}

void trel_render_list::clear() {
  text_.clear();
  runs_.clear();
  // A large record array is given back like the text.
  if (runs_.capacity() * sizeof(record) > TREL_TEXT_KEEP_ON_CLEAR)
    std::vector<record>().swap(runs_);
  run_head_ = 0;
  pending_start_ = 0;
  newline_count_ = 0;
}

int trel_render_list::get_run(int index, trel_render_run *run) const {
  if (!run || index < 0 || index >= run_count())
    return 0;
  size_t i = run_head_ + size_t(index);
  const record &r = runs_[i];
  // The oldest run may have lost its front to the limits.
  uint32_t start = r.start < text_.head() ? text_.head() : r.start;
  uint32_t end = run_end(i);
  run->text = text_.data() + start;
  run->length = end > start ? int(end - start) : 0;
  run->red = int((r.rgb >> 16) & 255);
  run->green = int((r.rgb >> 8) & 255);
  run->blue = int(r.rgb & 255);
  run->attribute = r.attribute;
  run->color_code = r.color_code;
  return 1;
}

void trel_render_list::drop_text_before(uint32_t offset, int newlines) {
  uint32_t head = text_.head();
  if (offset <= head)
    return;
  if (newlines < 0)
    newlines = count_newlines(text_.data() + head, offset - head);
  newline_count_ -= newlines;
  text_.drop_front(offset);
  while (run_head_ < runs_.size() && run_end(run_head_) <= offset)
    run_head_++;
  if (pending_start_ < offset)
    pending_start_ = offset;
}

void trel_render_list::enforce_limits() {
  // Whole lines go first, oldest first, so a rebuilt pane starts at a line.
  if (newline_count_ > limits_.max_lines) {
    const char *data = text_.data();
    uint32_t cut = text_.head();
    int excess = newline_count_ - limits_.max_lines;
    int found_count = 0;
    while (found_count < excess) {
      const void *found = std::memchr(data + cut, '\n', text_.size() - cut);
      if (!found)
        break;
      cut = uint32_t(static_cast<const char *>(found) - data) + 1;
      found_count++;
    }
    drop_text_before(cut, found_count);
  }
  // A flood without line feeds is cut wherever the byte bound falls.
  if (int64_t(text_.live()) > limits_.max_bytes)
    drop_text_before(text_.size() - uint32_t(limits_.max_bytes), -1);

  uint32_t moved = text_.compact_if_worthwhile();
  if (moved) {
    runs_.erase(runs_.begin(), runs_.begin() + long(run_head_));
    run_head_ = 0;
    for (record &r : runs_)
      r.start = r.start > moved ? r.start - moved : 0;
    pending_start_ -= moved;
  }
}

size_t trel_render_list::memory_usage() const {
  return sizeof(*this) + text_.capacity() + runs_.capacity() * sizeof(record);
}
