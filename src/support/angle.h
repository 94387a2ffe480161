// The compass angle of a screen offset, for walking towards a clicked point.
#pragma once

// Degrees from 0 to 360 of the offset (dx, dy), counted from the positive x
// axis towards positive y; 90 for (0, 0).
int trel_angle(int dx, int dy);
