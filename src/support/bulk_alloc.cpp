// Bulk allocation of small fixed-size objects for free lists.
#include "support/bulk_alloc.h"

#include <cstdlib>

#include "support/debug_log.h"
#include "support/text_utils.h"

namespace {

long total_bytes_allocated = 0;
long total_calls = 0;

// Every block starts with a link to the previous one. The blocks are never
// freed, and keeping them chained from here leaves them reachable (so leak
// checkers stay quiet) without changing that.
void *newest_block = nullptr;

// Objects hold a pointer in their first word, so they are sized and aligned
// for one: rounding to 4 bytes would overlap neighbours on a 64-bit machine.
constexpr int object_unit = sizeof(void *);

void *allocate_block(int objects, int size) {
  size_t bytes = sizeof(void *) + static_cast<size_t>(objects) * static_cast<size_t>(size);
  void **block = static_cast<void **>(malloc(bytes));
  if (!block)
    return nullptr;
  block[0] = newest_block;
  newest_block = block;
  return block + 1;
}

void report_sizes(const char *before, int objects, int size, const char *type, const char *after,
                  int category) {
  trel_bounded_text message;
  message.appendf("%s%6d objects of size %6d (%9ld bytes), type '%s'%s", before, objects, size,
                  static_cast<long>(objects) * size, type ? type : "(null)", after);
  trel_report(message.text, category, TREL_SOURCE_MEMORY);
}

} // namespace

void *trel_bulk_allocate(int object_size, const char *type_name, int total_bytes) {
  int size = object_size < object_unit ? object_unit : object_size;
  if (size > 0x7fffffff - object_unit) {
    size = 0x7fffffff / object_unit * object_unit;
  } else {
    size = (size + object_unit - 1) / object_unit * object_unit;
  }
  int objects = total_bytes / size;
  if (objects < 1)
    objects = 1;
  report_sizes("Allocating ", objects, size, type_name, "", TREL_REPORT_VERBOSE);
  char *first = static_cast<char *>(allocate_block(objects, size));
  if (!first) {
    report_sizes("Error in trel_bulk_allocate(), malloc failed for ", objects, size, type_name,
                 ".  Trying single object.", TREL_REPORT_ERROR);
    objects = 1;
    first = static_cast<char *>(allocate_block(objects, size));
    if (!first) {
      report_sizes("Error in trel_bulk_allocate(), malloc failed for ", objects, size, type_name,
                   ".  Failing and exiting.", TREL_REPORT_ERROR);
      exit(1);
    }
  }
  for (int i = 0; i < objects; i++) {
    char *object = first + static_cast<size_t>(i) * static_cast<size_t>(size);
    void *next = (i + 1 < objects) ? object + size : nullptr;
    *reinterpret_cast<void **>(object) = next;
  }
  total_bytes_allocated += static_cast<long>(objects) * size;
  total_calls++;
  return first;
}

long trel_bulk_allocated_bytes() {
  return total_bytes_allocated;
}
long trel_bulk_allocation_calls() {
  return total_calls;
}
