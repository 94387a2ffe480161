// Tests of the compass angle of an offset.
#include <gtest/gtest.h>

#include "support/angle.h"

namespace {

TEST(Angle, GivesDegreesFromZeroTo360) {
  struct {
    int dx;
    int dy;
    int degrees;
  } cases[] = {
      {1, 0, 0},     {0, 1, 90},       {-1, 0, 180},  {0, -1, 270},  {0, 0, 90},
      {1, 1, 45},    {-1, 1, 135},     {-1, -1, 225}, {1, -1, 315},  {100, 1, 1},
      {1000, -1, 0}, {-1000, -1, 180}, {2, 1, 27},    {-3, -4, 233},
  };
  for (const auto &c : cases)
    EXPECT_EQ(trel_angle(c.dx, c.dy), c.degrees) << "(" << c.dx << ", " << c.dy << ")";
}

} // namespace
