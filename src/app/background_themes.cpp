// The background theme table.
#include "app/background_themes.h"

namespace {

struct theme_entry {
  int index;
  trel_background_colours colours;
};

constexpr theme_entry THEMES[] = {
    {2, {{80, 0, 0}, {56, 0, 0}, {32, 0, 0}}},       // Red
    {40, {{80, 32, 16}, {56, 24, 16}, {32, 16, 8}}}, // Brown
    {0, {{80, 80, 0}, {56, 56, 0}, {32, 32, 0}}},    // Yellow
    {50, {{48, 80, 0}, {32, 56, 0}, {16, 32, 0}}},   // YGreen
    {60, {{0, 80, 0}, {0, 48, 0}, {0, 32, 0}}},      // Green
    {70, {{0, 56, 80}, {0, 40, 64}, {0, 24, 48}}},   // Cyan
    {80, {{80, 0, 80}, {56, 0, 56}, {32, 0, 32}}},   // Purple
    {90, {{64, 64, 64}, {32, 32, 32}, {16, 16, 16}}}, // Grey
};

constexpr trel_background_colours BLUE = {{0, 0, 96}, {0, 0, 64}, {0, 0, 32}};

} // namespace

trel_background_colours trel_background_theme(int index) {
  for (const theme_entry &t : THEMES)
    if (t.index == index)
      return t.colours;
  return BLUE;
}
