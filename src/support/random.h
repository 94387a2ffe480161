// A seedable lag-8 multiply-with-carry random number generator and the
// process-wide instance.
#pragma once
#include <cstdint>

class trel_random {
public:
  // Starts in the reset state.
  trel_random() { reset(); }

  // The fixed starting state, which also becomes the saved state.
  void reset();
  // Returns to the saved state.
  void restore();
  // Mixes seed into the values and throws the next eight draws away.
  void stir(uint32_t seed);
  uint32_t next();
  // A draw in [0, 1).
  double next_fraction();

private:
  int index = 0;
  int saved_index = 0;
  uint32_t saved_values[8] = {};
  uint32_t values[8] = {};
  uint32_t saved_carry = 0;
  uint32_t carry = 0;
};

// The generator shared by the GUI thread (stirred with the time at start-up).
trel_random &trel_process_random();
// A number from 0 to n - 1 drawn from the process-wide generator (n from 1 to 65536 is fair).
int trel_random_below(int n);
