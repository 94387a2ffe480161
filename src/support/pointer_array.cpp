// The growable pointer array.
#include "support/pointer_array.h"

#include <cstring>
#include <new>

#include "support/debug_log.h"
#include "support/text_utils.h"

trel_pointer_array::~trel_pointer_array() {
  if (storage != inline_storage)
    delete[] storage;
}

int trel_pointer_array::append(void *pointer) {
  if (count == capacity) {
    // Doubling past the int range is a runaway caller, not a reason to wrap.
    if (capacity > (1 << 29)) {
      trel_report("Error in trel_pointer_array::append(), array too large.", TREL_REPORT_ERROR,
                  TREL_SOURCE_CONTAINERS);
      return 0;
    }
    int grown_capacity = capacity * 2;
    void **grown = new (std::nothrow) void *[grown_capacity];
    if (!grown) {
      trel_bounded_text message;
      message.appendf("Error in trel_pointer_array::append(), unable to allocate %d pointers.",
                      grown_capacity);
      trel_report(message.text, TREL_REPORT_ERROR, TREL_SOURCE_CONTAINERS);
      return 0;
    }
    memcpy(grown, storage, sizeof(void *) * static_cast<size_t>(count));
    if (storage != inline_storage)
      delete[] storage;
    storage = grown;
    capacity = grown_capacity;
  }
  storage[count++] = pointer;
  return 1;
}

void *trel_pointer_array::at(int index) const {
  if (index < 0 || index >= count)
    return nullptr;
  return storage[index];
}
