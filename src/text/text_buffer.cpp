// The growable byte buffer with a cheaply dropped front.
#include "text/text_buffer.h"

#include <cstring>
#include <new>

#include "support/debug_log.h"

bool trel_text_buffer::grow(size_t needed) {
  // Growth by half again keeps the slack of a large store moderate while the
  // copies stay amortised constant per byte.
  size_t capacity = capacity_ < 4096 ? 4096 : capacity_ + capacity_ / 2;
  if (capacity < needed)
    capacity = needed;
  std::unique_ptr<char[]> bigger(new (std::nothrow) char[capacity]);
  if (!bigger) {
    // A failed growth keeps what is stored; the caller drops the new text.
    if (debug_level >= 1)
      trel_client_debug_printf("Error in trel_text_buffer::grow(), out of memory for %zu bytes.\n",
                               capacity);
    return false;
  }
  // Offsets held by the owner stay valid: the live bytes keep their places.
  if (size_ > head_)
    std::memcpy(bigger.get() + head_, data_.get() + head_, size_ - head_);
  data_ = std::move(bigger);
  capacity_ = capacity;
  return true;
}

char *trel_text_buffer::reserve_tail(uint32_t count) {
  size_t needed = size_t(size_) + count;
  if (needed > capacity_ && !grow(needed))
    return nullptr;
  return data_.get() + size_;
}

int trel_text_buffer::append(const char *bytes, uint32_t count) {
  if (count == 0)
    return 1;
  char *tail = reserve_tail(count);
  if (!tail)
    return 0;
  std::memcpy(tail, bytes, count);
  size_ += count;
  return 1;
}

void trel_text_buffer::drop_front(uint32_t new_head) {
  if (new_head > size_)
    new_head = size_;
  if (new_head > head_)
    head_ = new_head;
}

uint32_t trel_text_buffer::compact_if_worthwhile() {
  if (!trel_text_compaction_due(head_, live(), TREL_TEXT_COMPACT_MINIMUM))
    return 0;
  uint32_t moved = head_;
  std::memmove(data_.get(), data_.get() + head_, size_ - head_);
  size_ -= head_;
  head_ = 0;
  return moved;
}

void trel_text_buffer::clear() {
  size_ = 0;
  head_ = 0;
  if (capacity_ > TREL_TEXT_KEEP_ON_CLEAR) {
    data_.reset();
    capacity_ = 0;
  }
}
