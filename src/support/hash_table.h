// The string hash and a chained hash table of pointers that the caller owns.
#pragma once
#include <cstdint>

// Jenkins' one-at-a-time hash seeded with 1564184925, with the length mixed in.
uint32_t trel_string_hash(const char *text);

// Chained hash table of things the caller owns. The caller supplies how a
// thing hashes, how a lookup key hashes, and whether a thing matches a key.
class VoidPointerHashTable {
public:
  using thing_hash_function = uint32_t (*)(const void *thing);
  using key_hash_function = uint32_t (*)(const void *key);
  using key_match_function = int (*)(const void *thing, const void *key);

  static constexpr int initial_capacity = 256;
  // A chain longer than this on add is reported: the hash is doing badly.
  static constexpr int long_chain = 50;

  VoidPointerHashTable(thing_hash_function thing_hash, key_hash_function key_hash,
                       key_match_function key_match);
  ~VoidPointerHashTable();
  VoidPointerHashTable(const VoidPointerHashTable &) = delete;
  VoidPointerHashTable &operator=(const VoidPointerHashTable &) = delete;

  // 1 when added; 0 for the same pointer added twice (reported) or no table.
  int add(void *thing);
  // The newest thing that matches key, or nullptr.
  void *find(const void *key) const;
  // 1 when this exact pointer was stored and is now removed, else 0.
  int remove(void *thing);

  int size() const { return count; }
  int bucket_count() const { return capacity; }

private:
  struct node {
    uint32_t hash;
    void *thing;
    node *next;
  };

  void expand_hash_table();

  node **buckets = nullptr;
  int capacity = 0;
  uint32_t mask = 0;
  int count = 0;
  thing_hash_function thing_hash;
  key_hash_function key_hash;
  key_match_function key_match;
};
