// The compass angle of a screen offset.
#include "support/angle.h"

#include <cmath>

int trel_angle(int dx, int dy) {
  if (dx == 0 && dy == 0)
    return 90;
  // The 0.001 keeps a vertical offset from dividing by zero; integer offsets
  // can never cancel it.
  double ratio = std::fabs(static_cast<double>(dy) / (dx + 0.001));
  int r = static_cast<int>(std::floor(std::atan(ratio) * 360.0 / 6.2832 + 0.5));
  int angle;
  if (dx >= 0)
    angle = dy >= 0 ? r : -r;
  else
    angle = dy >= 0 ? 180 - r : r - 180;
  while (angle < 0)
    angle += 360;
  while (angle > 360)
    angle -= 360;
  return angle;
}
