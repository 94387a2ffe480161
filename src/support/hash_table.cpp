// The string hash and the chained pointer hash table.
#include "support/hash_table.h"

#include <new>

#include "support/debug_log.h"
#include "support/text_utils.h"

namespace {

uint32_t mix_in(uint32_t hash, unsigned char byte) {
  hash += byte;
  hash *= 1025;
  hash ^= hash >> 6;
  return hash;
}

} // namespace

uint32_t trel_string_hash(const char *text) {
  if (!text || !*text)
    return 447547777u;
  uint32_t hash = 1564184925u;
  uint32_t length = 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; p++) {
    hash = mix_in(hash, *p);
    length++;
  }
  for (int shift = 0; shift < 32; shift += 8)
    hash = mix_in(hash, static_cast<unsigned char>(length >> shift));
  hash *= 9;
  hash ^= hash >> 11;
  hash *= 32769;
  return hash;
}

VoidPointerHashTable::VoidPointerHashTable(thing_hash_function thing_hash_in,
                                           key_hash_function key_hash_in,
                                           key_match_function key_match_in)
    : thing_hash(thing_hash_in), key_hash(key_hash_in), key_match(key_match_in) {
  buckets = new (std::nothrow) node *[initial_capacity]();
  if (!buckets) {
    trel_report("Error in VoidPointerHashTable(), initial table alloc failed.", TREL_REPORT_ERROR,
                TREL_SOURCE_CONTAINERS);
    return;
  }
  capacity = initial_capacity;
  mask = static_cast<uint32_t>(capacity - 1);
}

VoidPointerHashTable::~VoidPointerHashTable() {
  for (int i = 0; i < capacity; i++) {
    node *n = buckets[i];
    while (n) {
      node *next = n->next;
      delete n;
      n = next;
    }
  }
  delete[] buckets;
}

void VoidPointerHashTable::expand_hash_table() {
  int new_capacity = capacity * 2;
  node **grown = new (std::nothrow) node *[new_capacity]();
  if (!grown) {
    trel_bounded_text message;
    message.appendf("Error in VoidPointerHashTable::expand_hash_table(), unable to allocate table "
                    "of size %d.  Using old table.",
                    new_capacity);
    trel_report(message.text, TREL_REPORT_ERROR, TREL_SOURCE_CONTAINERS);
    return;
  }
  uint32_t new_mask = static_cast<uint32_t>(new_capacity - 1);
  for (int i = 0; i < capacity; i++) {
    node *n = buckets[i];
    while (n) {
      node *next = n->next;
      node *&head = grown[n->hash & new_mask];
      n->next = head;
      head = n;
      n = next;
    }
  }
  delete[] buckets;
  buckets = grown;
  capacity = new_capacity;
  mask = new_mask;
}

int VoidPointerHashTable::add(void *thing) {
  if (!buckets)
    return 0;
  if (count > capacity / 2)
    expand_hash_table();
  uint32_t hash = thing_hash(thing);
  uint32_t bucket = hash & mask;
  int chain_length = 0;
  for (node *n = buckets[bucket]; n; n = n->next) {
    if (n->thing == thing) {
      trel_report("Error in VoidPointerHashTable::add(), attempt to add duplicate thing.",
                  TREL_REPORT_ERROR, TREL_SOURCE_CONTAINERS);
      return 0;
    }
    chain_length++;
  }
  if (chain_length > long_chain) {
    trel_bounded_text message;
    message.appendf("Error in VoidPointerHashTable::add(), found %d things in bucket %d.",
                    chain_length, static_cast<int>(bucket));
    trel_report(message.text, TREL_REPORT_ERROR, TREL_SOURCE_CONTAINERS);
  }
  node *fresh = new (std::nothrow) node{hash, thing, buckets[bucket]};
  if (!fresh)
    return 0;
  buckets[bucket] = fresh;
  count++;
  return 1;
}

void *VoidPointerHashTable::find(const void *key) const {
  if (!buckets)
    return nullptr;
  uint32_t hash = key_hash(key);
  for (node *n = buckets[hash & mask]; n; n = n->next) {
    if (key_match(n->thing, key))
      return n->thing;
  }
  return nullptr;
}

int VoidPointerHashTable::remove(void *thing) {
  if (!buckets)
    return 0;
  uint32_t hash = thing_hash(thing);
  for (node **link = &buckets[hash & mask]; *link; link = &(*link)->next) {
    if ((*link)->thing == thing) {
      node *gone = *link;
      *link = gone->next;
      delete gone;
      count--;
      return 1;
    }
  }
  return 0;
}
