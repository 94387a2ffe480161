// The four constant palettes and the process-wide choice among them.
#include "text/palette.h"

const trel_palette trel_palettes[TREL_PALETTE_COUNT] = {
    {"default",
     {{0x606060, 0xa0a0a0, 0xffffff},
      {0x550000, 0xaa0000, 0xff5555},
      {0x774000, 0xaa8800, 0xffff55},
      {0x005500, 0x00aa00, 0x55ff55},
      {0x008060, 0x0080aa, 0x40ffff},
      {0x000088, 0x0000cc, 0x5050ff},
      {0x550088, 0xaa00cc, 0xff40ff},
      {0x606060, 0xa0a0a0, 0xffffff}}},
    {"bright",
     {{0x404040, 0xcccccc, 0xffffff},
      {0x800000, 0xcc0000, 0xff8080},
      {0x808000, 0xcccc00, 0xffff80},
      {0x008000, 0x00cc00, 0x80ff80},
      {0x008080, 0x00cccc, 0x80ffff},
      {0x000080, 0x0000cc, 0x8080ff},
      {0x800080, 0xcc00cc, 0xff80ff},
      {0x404040, 0xcccccc, 0xffffff}}},
    {"ZMud-style",
     {{0x404040, 0x808080, 0xffffff},
      {0x400000, 0x800000, 0xff0000},
      {0x404000, 0x808000, 0xffff00},
      {0x008000, 0x00b300, 0x00ff00},
      {0x004040, 0x008080, 0x00ffff},
      {0x000040, 0x000080, 0x0000ff},
      {0x400040, 0x800080, 0xff00ff},
      {0x404040, 0x808080, 0xffffff}}},
    // Its white and default slots really do have the normal entry brighter
    // than the bright one; players chose this palette for that look.
    {"GMud-style",
     {{0x404040, 0xffffff, 0x808080},
      {0x400000, 0x800000, 0xff0000},
      {0x404000, 0x808000, 0xffff00},
      {0x008000, 0x00b300, 0x00ff00},
      {0x004040, 0x008080, 0x00ffff},
      {0x000040, 0x000080, 0x0000ff},
      {0x400040, 0x800080, 0xff00ff},
      {0x404040, 0xffffff, 0x808080}}},
};

namespace {

int current_index = 0;

} // namespace

const trel_palette *trel_current_palette() {
  return &trel_palettes[current_index];
}

int trel_current_palette_index() {
  return current_index;
}

int trel_select_palette(int setting) {
  if (setting < 0 || setting >= TREL_PALETTE_COUNT) {
    current_index = 0;
    return 0;
  }
  current_index = setting;
  return 1;
}
