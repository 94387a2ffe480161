// The palettes: their entries, the choice of entry by attribute, the slot of
// each colour code, and the process-wide selection.
#include <gtest/gtest.h>

#include "text/palette.h"

namespace {

class palette_test : public ::testing::Test {
protected:
  void TearDown() override { trel_select_palette(0); }
};

struct entry_case {
  int palette;
  int color_code;
  int attribute;
  uint32_t expected;
};

TEST_F(palette_test, lookup_picks_slot_by_code_and_form_by_attribute) {
  const entry_case cases[] = {
      // default palette, every colour code in its normal form
      {0, TREL_COLOR_WHITE, 0, 0xa0a0a0},
      {0, TREL_COLOR_RED, 0, 0xaa0000},
      {0, TREL_COLOR_YELLOW, 0, 0xaa8800},
      {0, TREL_COLOR_GREEN, 0, 0x00aa00},
      {0, TREL_COLOR_CYAN, 0, 0x0080aa},
      {0, TREL_COLOR_BLUE, 0, 0x0000cc},
      {0, TREL_COLOR_PURPLE, 0, 0xaa00cc},
      {0, TREL_COLOR_DEFAULT, 0, 0xa0a0a0},
      // bright for attribute 4, dim for 8, normal for blink and reverse
      {0, TREL_COLOR_YELLOW, TREL_ATTRIBUTE_BRIGHT, 0xffff55},
      {0, TREL_COLOR_YELLOW, TREL_ATTRIBUTE_DIM, 0x774000},
      {0, TREL_COLOR_YELLOW, TREL_ATTRIBUTE_BLINK, 0xaa8800},
      {0, TREL_COLOR_YELLOW, TREL_ATTRIBUTE_REVERSE, 0xaa8800},
      {0, TREL_COLOR_CYAN, TREL_ATTRIBUTE_DIM, 0x008060},
      {0, TREL_COLOR_BLUE, TREL_ATTRIBUTE_BRIGHT, 0x5050ff},
      // a code outside 0x31 to 0x37 falls back to the default slot
      {0, 0x30, TREL_ATTRIBUTE_BRIGHT, 0xffffff},
      {0, 0x38, 0, 0xa0a0a0},
      // the other palettes
      {1, TREL_COLOR_RED, TREL_ATTRIBUTE_BRIGHT, 0xff8080},
      {1, TREL_COLOR_WHITE, TREL_ATTRIBUTE_DIM, 0x404040},
      {1, TREL_COLOR_CYAN, 0, 0x00cccc},
      {2, TREL_COLOR_GREEN, 0, 0x00b300},
      {2, TREL_COLOR_PURPLE, TREL_ATTRIBUTE_BRIGHT, 0xff00ff},
      {2, TREL_COLOR_DEFAULT, 0, 0x808080},
      // GMud-style: white and default have the normal entry brighter than the bright one
      {3, TREL_COLOR_WHITE, 0, 0xffffff},
      {3, TREL_COLOR_WHITE, TREL_ATTRIBUTE_BRIGHT, 0x808080},
      {3, TREL_COLOR_DEFAULT, 0, 0xffffff},
      {3, TREL_COLOR_RED, TREL_ATTRIBUTE_BRIGHT, 0xff0000},
  };
  for (const entry_case &c : cases) {
    EXPECT_EQ(c.expected, trel_palette_lookup(&trel_palettes[c.palette], c.color_code, c.attribute))
        << "palette " << c.palette << " code 0x" << std::hex << c.color_code << " attribute "
        << std::dec << c.attribute;
  }
}

TEST_F(palette_test, palettes_are_named_in_setting_order) {
  EXPECT_STREQ("default", trel_palettes[0].name);
  EXPECT_STREQ("bright", trel_palettes[1].name);
  EXPECT_STREQ("ZMud-style", trel_palettes[2].name);
  EXPECT_STREQ("GMud-style", trel_palettes[3].name);
}

TEST_F(palette_test, every_palette_keeps_default_slot_equal_to_white) {
  for (const trel_palette &palette : trel_palettes)
    for (int form = 0; form < TREL_FORM_COUNT; form++)
      EXPECT_EQ(palette.entries[TREL_SLOT_WHITE][form], palette.entries[TREL_SLOT_DEFAULT][form])
          << palette.name << " form " << form;
}

TEST_F(palette_test, selection_switches_the_shared_palette_and_unknown_values_fall_back) {
  EXPECT_EQ(&trel_palettes[0], trel_current_palette());
  EXPECT_EQ(1, trel_select_palette(2));
  EXPECT_EQ(&trel_palettes[2], trel_current_palette());
  EXPECT_EQ(2, trel_current_palette_index());
  // A null palette in the lookup means the current one.
  EXPECT_EQ(0x800000u, trel_palette_lookup(nullptr, TREL_COLOR_RED, 0));

  for (int bad : {-1, 4, 99}) {
    trel_select_palette(1);
    EXPECT_EQ(0, trel_select_palette(bad)) << bad;
    EXPECT_EQ(&trel_palettes[0], trel_current_palette()) << bad;
  }
}

TEST_F(palette_test, rgb_packing_round_trips) {
  trel_text_colour colour = trel_rgb_to_colour(0x12ab34);
  EXPECT_EQ(0x12, colour.r);
  EXPECT_EQ(0xab, colour.g);
  EXPECT_EQ(0x34, colour.b);
  EXPECT_EQ(0x12ab34u, trel_colour_to_rgb(colour));
  // Only the low 8 bits of each component count.
  EXPECT_EQ(0x01ff00u, trel_colour_to_rgb(trel_text_colour{257, -1, 256}));
}

} // namespace
