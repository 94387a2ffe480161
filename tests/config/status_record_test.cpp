// The "zvlstatus" settings record, byte for byte.
#include <gtest/gtest.h>

#include "config/status_record.h"

namespace {

// A set with every reported option off, layout 0, colours 0 and themes 0.
ZConfig all_off_set() {
  ZConfig set{trel_font_state()};
  for (int ZConfig::*field : {&ZConfig::cmd_separator,
                              &ZConfig::direction_button_enable,
                              &ZConfig::hint_button_enable,
                              &ZConfig::fkey_button_display,
                              &ZConfig::status_bar,
                              &ZConfig::sky_bar,
                              &ZConfig::exp_display,
                              &ZConfig::hpbar_enable,
                              &ZConfig::enemy_hpbar_enable,
                              &ZConfig::popup_display,
                              &ZConfig::group_status_display,
                              &ZConfig::current_layout,
                              &ZConfig::automap_display,
                              &ZConfig::automap_docked,
                              &ZConfig::channel_window_enable,
                              &ZConfig::channel_window_dupe,
                              &ZConfig::colorflash_enable,
                              &ZConfig::font_colors_setting,
                              &ZConfig::current_theme,
                              &ZConfig::current_background_theme,
                              &ZConfig::theme_bg_setting})
    set.*field = 0;
  return set;
}

TEST(zvlstatus, audio_on_and_everything_else_off) {
  trel_system_config system;
  system.voting_reminders = 0;
  const ZConfig set = all_off_set();

  EXPECT_EQ(compose_zvlstatus(system, &set), "zvlstatus 1" + std::string(19, '0') + "  0  0  0");
}

TEST(zvlstatus, colour_setting_outside_0_to_3_reads_9) {
  trel_system_config system;
  system.voting_reminders = 0;
  ZConfig set = all_off_set();
  set.font_colors_setting = 7;

  EXPECT_EQ(compose_zvlstatus(system, &set),
            "zvlstatus 1" + std::string(17, '0') + "90" + "  0  0  0");
}

TEST(zvlstatus, without_a_set_the_per_character_fields_are_zero) {
  trel_system_config system;

  EXPECT_EQ(compose_zvlstatus(system, nullptr),
            "zvlstatus 1" + std::string(18, '0') + "1" + "  0  0  0");
}

TEST(zvlstatus, default_set_puts_each_option_in_its_place) {
  trel_system_config system;
  system.system_audio_enable = 0;
  const ZConfig set{trel_font_state()};

  // audio, separator, direction, hint, fkey, status, sky, exp, hp, enemy,
  // popup, group, layout, automap, docked, channel, dupe, flash, colours, voting
  EXPECT_EQ(compose_zvlstatus(system, &set), "zvlstatus 01010111111121101101  1  2  3");
}

TEST(zvlstatus, each_field_follows_its_own_option) {
  struct field_case {
    int ZConfig::*field;
    int value;
    int position; // 1 to 20
    char shown;
  };
  const field_case cases[] = {
      {&ZConfig::cmd_separator, 1, 2, '1'},
      {&ZConfig::direction_button_enable, 1, 3, '1'},
      {&ZConfig::hint_button_enable, 1, 4, '1'},
      {&ZConfig::fkey_button_display, 1, 5, '1'},
      {&ZConfig::status_bar, 1, 6, '1'},
      {&ZConfig::sky_bar, 1, 7, '1'},
      {&ZConfig::exp_display, 1, 8, '1'},
      {&ZConfig::hpbar_enable, 1, 9, '1'},
      {&ZConfig::enemy_hpbar_enable, 1, 10, '1'},
      {&ZConfig::popup_display, 1, 11, '1'},
      {&ZConfig::group_status_display, 2, 12, '2'},
      {&ZConfig::group_status_display, 5, 12, '0'},
      {&ZConfig::current_layout, 1, 13, '1'},
      {&ZConfig::current_layout, -1, 13, '0'},
      {&ZConfig::automap_display, 1, 14, '1'},
      {&ZConfig::automap_docked, 1, 15, '1'},
      {&ZConfig::channel_window_enable, 1, 16, '1'},
      {&ZConfig::channel_window_dupe, 1, 17, '1'},
      {&ZConfig::colorflash_enable, 1, 18, '1'},
      {&ZConfig::font_colors_setting, 3, 19, '3'},
      {&ZConfig::font_colors_setting, -1, 19, '9'},
  };
  trel_system_config system;
  system.system_audio_enable = 0;
  system.voting_reminders = 0;
  for (const field_case &c : cases) {
    ZConfig set = all_off_set();
    set.*c.field = c.value;
    std::string expected = "zvlstatus " + std::string(20, '0') + "  0  0  0";
    expected[9 + c.position] = c.shown;
    EXPECT_EQ(compose_zvlstatus(system, &set), expected) << "position " << c.position;
  }
}

TEST(zvlstatus, theme_numbers_take_two_columns_or_more) {
  trel_system_config system;
  ZConfig set = all_off_set();
  set.current_theme = 90;
  set.current_background_theme = -5;
  set.theme_bg_setting = 100;

  const std::string record = compose_zvlstatus(system, &set);

  EXPECT_EQ(record.substr(30), " 90 -5 100");
}

} // namespace
