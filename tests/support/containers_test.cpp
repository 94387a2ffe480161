// Tests of the string hash, the pointer hash table, the pointer array and the
// bulk allocator.
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/bulk_alloc.h"
#include "support/debug_log.h"
#include "support/hash_table.h"
#include "support/pointer_array.h"
#include "support/support_test_helpers.h"

namespace {

TEST(StringHash, MatchesKnownValues) {
  struct {
    const char *text;
    uint32_t hash;
  } cases[] = {
      {"abc", 1257601186u},
      {"", 447547777u},
  };
  for (const auto &c : cases)
    EXPECT_EQ(trel_string_hash(c.text), c.hash) << "'" << c.text << "'";
  // High bytes count as unsigned: a signed char would change the sum.
  EXPECT_NE(trel_string_hash("\xe9t\xe9"), trel_string_hash("et"));
  EXPECT_NE(trel_string_hash("ab"), trel_string_hash("ba"));
}

struct named_thing {
  std::string name;
};

uint32_t hash_of_thing(const void *thing) {
  return trel_string_hash(static_cast<const named_thing *>(thing)->name.c_str());
}
uint32_t hash_of_key(const void *key) {
  return trel_string_hash(static_cast<const char *>(key));
}
int thing_matches_key(const void *thing, const void *key) {
  return static_cast<const named_thing *>(thing)->name == static_cast<const char *>(key);
}
uint32_t constant_hash(const void *) {
  return 0;
}

std::vector<std::unique_ptr<named_thing>> make_things(int count) {
  std::vector<std::unique_ptr<named_thing>> things;
  for (int i = 0; i < count; i++)
    things.push_back(std::make_unique<named_thing>(named_thing{"thing_" + std::to_string(i)}));
  return things;
}

TEST(VoidPointerHashTable, GrowsAtThe130thThingAndStillFindsAll) {
  VoidPointerHashTable table(hash_of_thing, hash_of_key, thing_matches_key);
  auto things = make_things(600);
  EXPECT_EQ(table.bucket_count(), 256);
  for (int i = 0; i < 129; i++)
    ASSERT_EQ(table.add(things[static_cast<size_t>(i)].get()), 1);
  EXPECT_EQ(table.bucket_count(), 256);
  ASSERT_EQ(table.add(things[129].get()), 1);
  EXPECT_EQ(table.bucket_count(), 512);
  for (size_t i = 130; i < things.size(); i++)
    ASSERT_EQ(table.add(things[i].get()), 1);
  EXPECT_EQ(table.bucket_count(), 2048);
  EXPECT_EQ(table.size(), 600);
  for (const auto &thing : things)
    EXPECT_EQ(table.find(thing->name.c_str()), thing.get()) << thing->name;
  EXPECT_EQ(table.find("not_there"), nullptr);
}

TEST(VoidPointerHashTable, RefusesTheSamePointerTwice) {
  debug_log_capture log;
  VoidPointerHashTable table(hash_of_thing, hash_of_key, thing_matches_key);
  named_thing first{"same"};
  named_thing second{"same"};
  EXPECT_EQ(table.add(&first), 1);
  EXPECT_EQ(table.add(&first), 0);
  EXPECT_EQ(log.text(), "Error in VoidPointerHashTable::add(), attempt to add duplicate thing.\n");
  // A different thing with an equal name is not a duplicate; the newest is found first.
  EXPECT_EQ(table.add(&second), 1);
  EXPECT_EQ(table.size(), 2);
  EXPECT_EQ(table.find("same"), &second);
}

TEST(VoidPointerHashTable, RemovesExactlyThatPointer) {
  VoidPointerHashTable table(hash_of_thing, hash_of_key, thing_matches_key);
  named_thing older{"name"};
  named_thing newer{"name"};
  table.add(&older);
  table.add(&newer);
  EXPECT_EQ(table.remove(&older), 1);
  EXPECT_EQ(table.find("name"), &newer);
  EXPECT_EQ(table.remove(&older), 0);
  EXPECT_EQ(table.remove(&newer), 1);
  EXPECT_EQ(table.find("name"), nullptr);
  EXPECT_EQ(table.size(), 0);
}

TEST(VoidPointerHashTable, ReportsChainsLongerThan50ButStillAdds) {
  debug_log_capture log;
  VoidPointerHashTable table(constant_hash, hash_of_key, thing_matches_key);
  auto things = make_things(52);
  for (int i = 0; i < 51; i++)
    ASSERT_EQ(table.add(things[static_cast<size_t>(i)].get()), 1);
  EXPECT_EQ(log.text(), "");
  EXPECT_EQ(table.add(things[51].get()), 1);
  EXPECT_EQ(log.text(), "Error in VoidPointerHashTable::add(), found 51 things in bucket 0.\n");
  EXPECT_EQ(table.size(), 52);
  for (const auto &thing : things)
    EXPECT_EQ(table.remove(thing.get()), 1);
}

TEST(PointerArray, KeepsEveryPointerInOrderAcrossGrowth) {
  trel_pointer_array array;
  std::vector<int> targets(300);
  EXPECT_EQ(array.allocated(), 64);
  for (size_t i = 0; i < targets.size(); i++) {
    ASSERT_EQ(array.append(&targets[i]), 1);
    if (i == 63) {
      EXPECT_EQ(array.allocated(), 64);
    }
    if (i == 64) {
      EXPECT_EQ(array.allocated(), 128);
    }
  }
  EXPECT_EQ(array.allocated(), 512);
  ASSERT_EQ(array.size(), 300);
  for (int i = 0; i < 300; i++)
    EXPECT_EQ(array.at(i), &targets[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(array.at(-1), nullptr);
  EXPECT_EQ(array.at(300), nullptr);
  array.clear();
  EXPECT_EQ(array.size(), 0);
  EXPECT_EQ(array.append(&targets[0]), 1);
  EXPECT_EQ(array.at(0), &targets[0]);
}

// Walks the free list from first and returns the objects in order.
std::vector<char *> walk_free_list(void *first) {
  std::vector<char *> objects;
  for (void *p = first; p; p = *static_cast<void **>(p))
    objects.push_back(static_cast<char *>(p));
  return objects;
}

TEST(BulkAllocate, LinksAFreeListOfPointerSizedObjects) {
  struct {
    int object_size;
    int total_bytes;
    int expected_size;
    size_t expected_objects;
  } cases[] = {
      {5, 100, 8, 12},                    // rounded up to hold the link pointer
      {0, 64, 8, 8},                      // at least one link's worth
      {24, 240, 24, 10}, {40, 10, 40, 1}, // at least one object
      {12, -5, 16, 1},
  };
  for (const auto &c : cases) {
    long bytes_before = trel_bulk_allocated_bytes();
    long calls_before = trel_bulk_allocation_calls();
    void *first = trel_bulk_allocate(c.object_size, "thing", c.total_bytes);
    ASSERT_NE(first, nullptr);
    std::vector<char *> objects = walk_free_list(first);
    ASSERT_EQ(objects.size(), c.expected_objects) << "size " << c.object_size;
    for (size_t i = 0; i < objects.size(); i++) {
      EXPECT_EQ(objects[i], static_cast<char *>(first) + i * static_cast<size_t>(c.expected_size));
      EXPECT_EQ(reinterpret_cast<uintptr_t>(objects[i]) % alignof(void *), 0u);
      // Every byte of every object is usable without touching a neighbour's link.
      memset(objects[i] + sizeof(void *), 0x5a,
             static_cast<size_t>(c.expected_size) - sizeof(void *));
    }
    EXPECT_EQ(walk_free_list(first).size(), c.expected_objects);
    EXPECT_EQ(trel_bulk_allocated_bytes() - bytes_before,
              static_cast<long>(c.expected_objects) * c.expected_size);
    EXPECT_EQ(trel_bulk_allocation_calls() - calls_before, 1);
  }
}

TEST(BulkAllocate, ReportsTheBlockWhenVerbose) {
  debug_log_capture log(3);
  trel_bulk_allocate(5, "thing", 100);
  EXPECT_EQ(log.text(),
            "Allocating     12 objects of size      8 (       96 bytes), type 'thing'\n");
}

} // namespace
