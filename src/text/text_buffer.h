// trel_text_buffer: one contiguous, growable byte buffer whose oldest bytes
// can be dropped cheaply. The scrollback store and the render list keep all
// their text in one of these instead of one allocation per run.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

class trel_text_buffer {
public:
  trel_text_buffer() = default;
  trel_text_buffer(const trel_text_buffer &) = delete;
  trel_text_buffer &operator=(const trel_text_buffer &) = delete;

  // Offsets count from the start of the allocation; [head(), size()) is live.
  const char *data() const { return data_.get(); }
  char *data() { return data_.get(); }
  uint32_t size() const { return size_; }
  uint32_t head() const { return head_; }
  uint32_t live() const { return size_ - head_; }
  size_t capacity() const { return capacity_; }

  // Room for count more bytes at the end; returns where they go (owned by the
  // buffer, valid until the next call that may grow or compact it), or null
  // when memory ran out. Fill them, then commit() the number written.
  char *reserve_tail(uint32_t count);
  void commit(uint32_t count) { size_ += count; }
  // Appends count bytes; returns 0 (and keeps the old content) when memory ran out.
  int append(const char *bytes, uint32_t count);

  // Forgets the bytes before offset new_head (clamped to size()).
  void drop_front(uint32_t new_head);
  // When the dropped prefix has grown large against the live part, moves the
  // live bytes to the start of the allocation. Returns how far every offset
  // moved down (0 when nothing moved); the caller rebases its own offsets.
  uint32_t compact_if_worthwhile();
  // Empties the buffer; a large allocation is given back.
  void clear();

private:
  bool grow(size_t needed);

  std::unique_ptr<char[]> data_;
  uint32_t size_ = 0;
  uint32_t head_ = 0;
  size_t capacity_ = 0;
};

// A dead prefix is moved away only when it is at least this large and at
// least half the live part, so every byte is moved a bounded number
// of times (amortised constant work per byte dropped).
constexpr uint32_t TREL_TEXT_COMPACT_MINIMUM = 64 * 1024;
// Allocations up to this size survive a clear, so a pane that is cleared and
// refilled often does not allocate each time.
constexpr size_t TREL_TEXT_KEEP_ON_CLEAR = 1024 * 1024;

// True when a dead prefix of dead entries against live ones is worth
// removing; shared by the buffers and the record arrays kept beside them.
inline bool trel_text_compaction_due(size_t dead, size_t live, size_t minimum) {
  return dead >= minimum && dead >= live / 2;
}
