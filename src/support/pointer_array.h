// A growable array of pointers the caller owns; the first 64 live inside the
// object, so small arrays need no heap storage.
#pragma once

class trel_pointer_array {
public:
  static constexpr int inline_capacity = 64;

  trel_pointer_array() = default;
  ~trel_pointer_array();
  trel_pointer_array(const trel_pointer_array &) = delete;
  trel_pointer_array &operator=(const trel_pointer_array &) = delete;

  // Appends pointer, doubling the storage when full; 1 on success, 0 when the
  // storage cannot grow (reported; the array is unchanged).
  int append(void *pointer);
  // The pointer at index, or nullptr outside 0 to size() - 1.
  void *at(int index) const;
  int size() const { return count; }
  int allocated() const { return capacity; }
  // Forgets the pointers (their owners keep them); the storage stays.
  void clear() { count = 0; }

private:
  int count = 0;
  int capacity = inline_capacity;
  void **storage = inline_storage;
  void *inline_storage[inline_capacity] = {};
};
