// The colour model of the text panes: the colour triple, the four constant
// palettes (eight slots of dim, normal and bright entries each), the
// process-wide current palette, and the lookup from an ANSI colour code and
// attribute to an RGB value.
#pragma once
#include <cstdint>

// Red, green and blue as integers from 0 to 255.
struct trel_text_colour {
  int r = 0;
  int g = 0;
  int b = 0;
};

inline bool operator==(const trel_text_colour &a, const trel_text_colour &b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}
inline bool operator!=(const trel_text_colour &a, const trel_text_colour &b) {
  return !(a == b);
}

// An RGB value packs red in bits 16 to 23, green in 8 to 15 and blue in 0 to 7.
inline trel_text_colour trel_rgb_to_colour(uint32_t rgb) {
  return trel_text_colour{int((rgb >> 16) & 255), int((rgb >> 8) & 255), int(rgb & 255)};
}
inline uint32_t trel_colour_to_rgb(const trel_text_colour &c) {
  return (uint32_t(c.r & 255) << 16) | (uint32_t(c.g & 255) << 8) | uint32_t(c.b & 255);
}

// Attribute values of the interpreter. Attributes never combine: each
// recognised parameter replaces the one before.
constexpr int TREL_ATTRIBUTE_NORMAL = 0;
constexpr int TREL_ATTRIBUTE_BLINK = 2;
constexpr int TREL_ATTRIBUTE_BRIGHT = 4;
constexpr int TREL_ATTRIBUTE_DIM = 8;
constexpr int TREL_ATTRIBUTE_REVERSE = 16;

// Colour codes as the interpreter accumulates them (decimal digits read as
// hexadecimal, so parameter 31 arrives as 0x31).
constexpr int TREL_COLOR_DEFAULT = 0;
constexpr int TREL_COLOR_RED = 0x31;
constexpr int TREL_COLOR_GREEN = 0x32;
constexpr int TREL_COLOR_YELLOW = 0x33;
constexpr int TREL_COLOR_BLUE = 0x34;
constexpr int TREL_COLOR_PURPLE = 0x35;
constexpr int TREL_COLOR_CYAN = 0x36;
constexpr int TREL_COLOR_WHITE = 0x37;

// Slots of a palette, in table order.
enum trel_palette_slot {
  TREL_SLOT_WHITE = 0,
  TREL_SLOT_RED,
  TREL_SLOT_YELLOW,
  TREL_SLOT_GREEN,
  TREL_SLOT_CYAN,
  TREL_SLOT_BLUE,
  TREL_SLOT_PURPLE,
  TREL_SLOT_DEFAULT,
  TREL_SLOT_COUNT
};

// Forms of a slot's colour, in table order.
enum trel_palette_form { TREL_FORM_DIM = 0, TREL_FORM_NORMAL, TREL_FORM_BRIGHT, TREL_FORM_COUNT };

struct trel_palette {
  const char *name;
  uint32_t entries[TREL_SLOT_COUNT][TREL_FORM_COUNT];
};

// The palettes in the order of the setting font_colors_setting: "default",
// "bright", "ZMud-style", "GMud-style".
constexpr int TREL_PALETTE_COUNT = 4;
extern const trel_palette trel_palettes[TREL_PALETTE_COUNT];

// The palette every pane colours new text with (the default one at start).
// Only the GUI thread reads or switches it.
const trel_palette *trel_current_palette();
// Makes palette number setting (0 to 3) current and returns 1; any other
// value makes the default palette current and returns 0.
int trel_select_palette(int setting);
// Number of the current palette (0 to 3).
int trel_current_palette_index();

// The slot of a colour code; codes other than 0x31 to 0x37 use the default slot.
inline int trel_palette_slot_of_code(int color_code) {
  // Indexed by code - 0x31: red, green, yellow, blue, purple, cyan, white.
  static constexpr unsigned char slots[7] = {TREL_SLOT_RED,  TREL_SLOT_GREEN,  TREL_SLOT_YELLOW,
                                             TREL_SLOT_BLUE, TREL_SLOT_PURPLE, TREL_SLOT_CYAN,
                                             TREL_SLOT_WHITE};
  unsigned index = unsigned(color_code - TREL_COLOR_RED);
  return index < 7 ? int(slots[index]) : int(TREL_SLOT_DEFAULT);
}

// The entry for a colour code under an attribute: bright for attribute 4, dim
// for 8, else normal. A null palette means the current one.
inline uint32_t trel_palette_lookup(const trel_palette *palette, int color_code, int attribute) {
  if (!palette)
    palette = trel_current_palette();
  int form = attribute == TREL_ATTRIBUTE_BRIGHT ? TREL_FORM_BRIGHT
             : attribute == TREL_ATTRIBUTE_DIM  ? TREL_FORM_DIM
                                                : TREL_FORM_NORMAL;
  return palette->entries[trel_palette_slot_of_code(color_code)][form];
}
