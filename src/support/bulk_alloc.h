// Bulk allocation of small fixed-size objects for free lists: one block per
// call, linked through each object's first word, never freed.
#pragma once

// Allocates about total_bytes worth of objects of object_size bytes (at least
// one) in one block and returns the first; each object's first word points to
// the next, the last one's to nullptr. Ends the process with status 1 when not
// even one object can be had.
void *trel_bulk_allocate(int object_size, const char *type_name, int total_bytes);

// Running totals over all calls.
long trel_bulk_allocated_bytes();
long trel_bulk_allocation_calls();
