// The lag-8 multiply-with-carry generator.
#include "support/random.h"

namespace {

uint32_t linear_step(uint32_t v) {
  return v * 1664525u + 1013904223u;
}

} // namespace

void trel_random::reset() {
  uint32_t v = 123456789u;
  for (int i = 0; i < 8; i++) {
    values[i] = v;
    saved_values[i] = v;
    v = linear_step(v);
  }
  carry = saved_carry = 362436u;
  index = saved_index = 0;
}

void trel_random::restore() {
  for (int i = 0; i < 8; i++)
    values[i] = saved_values[i];
  index = saved_index;
  carry = saved_carry;
}

void trel_random::stir(uint32_t seed) {
  for (int i = 0; i < 8; i++) {
    seed = linear_step(seed);
    values[i] ^= seed;
  }
  for (int i = 0; i < 8; i++)
    next();
}

uint32_t trel_random::next() {
  uint64_t t = static_cast<uint64_t>(values[index]) * 809430660u + carry;
  uint32_t value = static_cast<uint32_t>(t);
  values[index] = value;
  carry = static_cast<uint32_t>(t >> 32) & 0x3fffffffu;
  index = (index + 1) & 7;
  return value;
}

double trel_random::next_fraction() {
  return (next() >> 1) * (1.0 / 2147483648.0);
}

trel_random &trel_process_random() {
  static trel_random instance;
  return instance;
}

int trel_random_below(int n) {
  int64_t product = static_cast<int64_t>(n) * (trel_process_random().next() & 65535u);
  return static_cast<int>(product >> 16);
}
