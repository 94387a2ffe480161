// The store in memory: getters and setters with the effects each setter has
// on the window, adding and copying sets, choosing the current set at start-up
// and login, fonts, reset to defaults and popup geometry.
#include "config/config_store_test_support.h"

namespace {

using store_test = config_store_test;
using calls = std::vector<std::string>;

using getter = int (trel_config_store::*)() const;
using setter = void (trel_config_store::*)(int);

TEST_F(store_test, getters_read_zero_and_junk_without_a_current_set) {
  const getter getters[] = {
      &trel_config_store::get_font_size,
      &trel_config_store::get_button_font_size,
      &trel_config_store::get_keypad_walking,
      &trel_config_store::get_url_hotlinking,
      &trel_config_store::get_compact_mode,
      &trel_config_store::get_cmd_pushthrough,
      &trel_config_store::get_local_echo,
      &trel_config_store::get_cmd_separator,
      &trel_config_store::get_button_tooltips,
      &trel_config_store::get_direction_button_enable,
      &trel_config_store::get_hint_button_enable,
      &trel_config_store::get_fkey_button_display,
      &trel_config_store::get_status_bar,
      &trel_config_store::get_sky_bar,
      &trel_config_store::get_exp_display,
      &trel_config_store::get_hpbar_enable,
      &trel_config_store::get_enemy_hpbar_enable,
      &trel_config_store::get_popup_display,
      &trel_config_store::get_mw_scrollbar_enable,
      &trel_config_store::get_locking_scrollback_enable,
      &trel_config_store::get_group_status_display,
      &trel_config_store::get_group_status_inverted_bars,
      &trel_config_store::get_current_layout,
      &trel_config_store::get_current_theme,
      &trel_config_store::get_current_background_theme,
      &trel_config_store::get_font_colors_setting,
      &trel_config_store::get_theme_bg_setting,
      &trel_config_store::get_automap_docked,
      &trel_config_store::get_automap_display,
      &trel_config_store::get_automap_size,
      &trel_config_store::get_input_height,
      &trel_config_store::get_channel_window_enable,
      &trel_config_store::get_channel_window_height,
      &trel_config_store::get_channel_window_dupe,
      &trel_config_store::get_colorflash_enable,
  };
  ASSERT_EQ(store.get_current_char_cfg(), nullptr);
  for (std::size_t i = 0; i < sizeof getters / sizeof getters[0]; i++)
    EXPECT_EQ((store.*getters[i])(), 0) << "getter " << i;
  EXPECT_STREQ(store.get_font(), "junk");
  EXPECT_STREQ(store.get_button_font(), "junk");
}

TEST_F(store_test, setters_do_nothing_without_a_current_set) {
  store.set_status_bar(0);
  store.set_current_layout(1);
  store.set_keypad_walking(0);
  store.set_channel_window_enable(1);
  EXPECT_TRUE(window.calls.empty());
  EXPECT_TRUE(store.get_config_list().empty());
}

// One setter, the value it is given (each differs from the default), and
// what it must ask of the window while a character is logged in.
struct setter_case {
  const char *option;
  setter set;
  getter get;
  int value;
  // Whether the setter acts again when given the value it already has.
  bool acts_when_unchanged;
  calls expected;
};

void PrintTo(const setter_case &c, std::ostream *out) {
  *out << c.option << " " << c.value;
}

class store_setter_test : public config_store_test,
                          public ::testing::WithParamInterface<setter_case> {};

TEST_P(store_setter_test, setter_stores_and_asks_the_window_for_its_effects) {
  const setter_case &c = GetParam();
  store.setup_default_config("");
  window.logged_in = true;
  window.calls.clear();

  (store.*c.set)(c.value);

  EXPECT_EQ((store.*c.get)(), c.value) << c.option;
  EXPECT_EQ(window.calls, c.expected) << c.option;
}

TEST_P(store_setter_test, setter_given_the_same_value_acts_only_where_it_always_acts) {
  const setter_case &c = GetParam();
  store.setup_default_config("");
  (store.*c.set)(c.value);
  window.calls.clear();

  (store.*c.set)(c.value);

  if (c.acts_when_unchanged)
    EXPECT_EQ(window.calls, c.expected) << c.option;
  else
    EXPECT_TRUE(window.calls.empty()) << c.option;
}

#define OPTION(key) #key, &trel_config_store::set_##key, &trel_config_store::get_##key

INSTANTIATE_TEST_SUITE_P(
    options, store_setter_test,
    ::testing::Values(
        setter_case{OPTION(keypad_walking), 0, true, {"check Move Using &Number Pad 0"}},
        setter_case{OPTION(url_hotlinking), 0, true, {"check Enable URL Linking 0"}},
        setter_case{OPTION(compact_mode), 1, true, {"check Compact Font 1", "apply_main_font"}},
        setter_case{OPTION(cmd_pushthrough), 1, true, {"check Select &Last Command 1"}},
        setter_case{OPTION(local_echo), 0, true, {"check &Enable Local Echo 0"}},
        setter_case{OPTION(cmd_separator), 0, true, {"check Command Separator 0", "status dirty"}},
        setter_case{OPTION(button_tooltips), 1, true, {}},
        setter_case{OPTION(direction_button_enable),
                    1,
                    false,
                    {"check &Direction Buttons 1", "relayout", "status dirty"}},
        setter_case{OPTION(hint_button_enable),
                    0,
                    false,
                    {"check &Hint Buttons 0", "relayout", "status dirty"}},
        setter_case{OPTION(fkey_button_display),
                    1,
                    false,
                    {"check &Function Key Buttons 1", "relayout", "status dirty"}},
        setter_case{OPTION(status_bar),
                    0,
                    false,
                    {"check &Status Bar 0", "show status bar 0", "relayout", "status dirty"}},
        setter_case{OPTION(sky_bar),
                    0,
                    false,
                    {"check S&ky Bar 0", "show sky bar 0", "relayout", "status dirty"}},
        setter_case{OPTION(exp_display),
                    0,
                    false,
                    {"check E&xp Bar 0", "status display bars 011", "show status display 1",
                     "relayout", "status dirty"}},
        setter_case{OPTION(hpbar_enable),
                    0,
                    false,
                    {"check HP Bar 0", "status display bars 101", "show status display 1",
                     "relayout", "status dirty"}},
        setter_case{OPTION(enemy_hpbar_enable),
                    0,
                    false,
                    {"check Enemy HP Bar 0", "status display bars 110", "show status display 1",
                     "relayout", "status dirty"}},
        setter_case{OPTION(popup_display),
                    0,
                    false,
                    {"check &Popup Buttons 0", "relayout", "status dirty"}},
        setter_case{OPTION(mw_scrollbar_enable),
                    0,
                    false,
                    {"check Main Scrollbar 0", "show main scrollbar 0"}},
        setter_case{OPTION(locking_scrollback_enable), 1, true, {"check Locking Scrollback 1"}},
        setter_case{OPTION(group_status_display),
                    0,
                    false,
                    {"choice group 0", "hide group display", "relayout", "status dirty"}},
        setter_case{
            OPTION(group_status_display), 2, false, {"choice group 2", "relayout", "status dirty"}},
        setter_case{OPTION(group_status_inverted_bars), 0, true, {"check Bar Invert 0"}},
        setter_case{OPTION(current_layout),
                    0,
                    false,
                    {"choice layout 0", "apply_layout_change", "status dirty"}},
        setter_case{OPTION(current_theme),
                    40,
                    false,
                    {"choice button colors 40", "apply_theme_change 0", "status dirty"}},
        setter_case{OPTION(current_background_theme),
                    90,
                    false,
                    {"choice background colors 90", "apply_theme_change 1", "status dirty"}},
        setter_case{OPTION(font_colors_setting), 2, true, {"status dirty"}},
        setter_case{OPTION(theme_bg_setting),
                    4,
                    false,
                    {"choice background styles 4", "apply_theme_change 1", "status dirty"}},
        setter_case{OPTION(automap_docked), 0, true, {"status dirty"}},
        setter_case{OPTION(automap_display), 0, true, {"status dirty"}},
        setter_case{OPTION(automap_size), 30, true, {}},
        setter_case{OPTION(input_height), 100, true, {}},
        setter_case{OPTION(channel_window_enable),
                    1,
                    false,
                    {"channel window 1", "relayout", "status dirty"}},
        setter_case{OPTION(channel_window_height), 40, true, {}},
        setter_case{OPTION(channel_window_dupe), 0, true, {"status dirty"}},
        setter_case{OPTION(colorflash_enable),
                    0,
                    true,
                    {"check Show &Color Flash Events 0", "status dirty"}}));

#undef OPTION

TEST_F(store_test, panes_only_show_or_hide_while_logged_in) {
  store.setup_default_config("");
  window.logged_in = false;
  window.calls.clear();

  store.set_status_bar(0);
  store.set_sky_bar(0);
  store.set_hpbar_enable(0);

  EXPECT_FALSE(window.saw("show status bar 0"));
  EXPECT_FALSE(window.saw("show sky bar 0"));
  EXPECT_FALSE(window.saw("show status display 1"));
  EXPECT_TRUE(window.saw("status display bars 101")) << "the status display is told anyway";
}

TEST_F(store_test, status_display_hides_when_its_last_bar_goes) {
  store.setup_default_config("");
  window.logged_in = true;
  store.set_exp_display(0);
  store.set_hpbar_enable(0);
  window.calls.clear();

  store.set_enemy_hpbar_enable(0);

  EXPECT_TRUE(window.saw("show status display 0"));
}

TEST_F(store_test, setters_store_values_out_of_range_as_given) {
  store.setup_default_config("");
  store.set_automap_size(0);
  store.set_input_height(5000);
  store.set_current_theme(3);

  EXPECT_EQ(store.get_automap_size(), 0);
  EXPECT_EQ(store.get_input_height(), 5000);
  EXPECT_EQ(store.get_current_theme(), 3);
  EXPECT_EQ(trel_menu_choice_label(trel_menu_choice::button_colors, 3), nullptr)
      << "a theme outside the table checks no item";
}

TEST(menu_labels, theme_and_style_numbers_name_their_items) {
  EXPECT_STREQ(trel_menu_choice_label(trel_menu_choice::button_colors, 40), "Brown");
  EXPECT_STREQ(trel_menu_choice_label(trel_menu_choice::background_colors, 90), "Grey");
  EXPECT_STREQ(trel_menu_choice_label(trel_menu_choice::background_styles, 4), "Bubbles");
  EXPECT_STREQ(trel_menu_choice_label(trel_menu_choice::background_styles, 5), "Maze3");
  EXPECT_EQ(trel_menu_choice_label(trel_menu_choice::background_styles, 6), nullptr);
  EXPECT_STREQ(trel_menu_choice_label(trel_menu_choice::layout, 1), "Left Top");
  EXPECT_STREQ(trel_menu_choice_label(trel_menu_choice::group_display, 2), "Horizontal");
}

TEST_F(store_test, add_replaces_a_set_of_the_same_name_and_keeps_its_older_popups_behind) {
  ZConfig first = make_full_set("Aldo");
  ZConfig *entry = store.add(first);
  ZConfig second(store.fonts);
  second.name = "Aldo";
  trel_popup_window_record map;
  map.set_name("Map");
  second.popup_windows.push_back(map);

  ZConfig *replaced = store.add(second);

  EXPECT_EQ(replaced, entry);
  EXPECT_EQ(store.get_config_list().size(), 1u);
  EXPECT_EQ(replaced->sky_bar, 1) << "the options are the new set's";
  ASSERT_EQ(replaced->popup_windows.size(), 3u);
  EXPECT_EQ(replaced->popup_windows[0].name, "Map");
  EXPECT_EQ(replaced->popup_windows[1].name, "Inventory");
  EXPECT_EQ(log_count("ZConfig::add(), replacing config for Aldo.\n"), 1);
}

TEST_F(store_test, login_gives_an_unnamed_current_set_the_name_and_keeps_its_changes) {
  store.setup_default_config("");
  ZConfig *unnamed = store.get_current_char_cfg();
  store.set_sky_bar(0);

  store.use_character_config("Aldo");

  EXPECT_EQ(store.get_current_char_cfg(), unnamed);
  EXPECT_EQ(unnamed->name, "Aldo");
  EXPECT_EQ(store.get_sky_bar(), 0);
  EXPECT_EQ(store.get_config_list().size(), 1u);
}

TEST_F(store_test, login_of_a_second_character_copies_the_first_characters_set) {
  store.setup_default_config("");
  store.use_character_config("Aldo");
  ZConfig *aldo = store.get_current_char_cfg();
  store.set_current_layout(0);

  store.use_character_config("Bert");
  store.set_sky_bar(0);

  ZConfig *bert = store.get_current_char_cfg();
  ASSERT_NE(bert, aldo);
  EXPECT_EQ(bert->name, "Bert");
  EXPECT_EQ(bert->current_layout, 0) << "copied from Aldo";
  EXPECT_EQ(aldo->name, "Aldo");
  EXPECT_EQ(aldo->sky_bar, 1) << "Aldo's set stays as it was";
  EXPECT_EQ(store.get_config_list().size(), 2u);
}

TEST_F(store_test, login_loads_the_characters_file_and_applies_it) {
  ZConfig saved = make_full_set("Aldo");
  ASSERT_EQ(store.save_char_config(saved), 1);
  store.setup_default_config("");
  window.calls.clear();

  store.use_character_config("Aldo");

  ASSERT_NE(store.get_current_char_cfg(), nullptr);
  EXPECT_TRUE(*store.get_current_char_cfg() == saved);
  EXPECT_EQ(store.fonts.main_size_setting, 13);
  // The theme marks come first, the fonts last.
  ASSERT_GE(window.calls.size(), 8u);
  EXPECT_EQ(calls(window.calls.begin(), window.calls.begin() + 5),
            (calls{"choice button colors 70", "choice background colors -5",
                   "choice background styles 5", "apply_theme_change 0", "status dirty"}));
  EXPECT_EQ(calls(window.calls.end() - 3, window.calls.end()),
            (calls{"fonts 'Monospace <bold> & wide 13' 13 'Sans 5' 5", "apply_main_font",
                   "apply_button_fonts"}));
  EXPECT_TRUE(window.saw("choice layout 1"));
  EXPECT_TRUE(window.saw("automap size 400"));
  EXPECT_TRUE(window.saw("check Docked Map 0"));
  EXPECT_TRUE(window.saw("channel window 1"));
}

TEST_F(store_test, create_new_config_without_a_template_makes_a_named_default_set) {
  ZConfig *made = store.create_new_config("Aldo", nullptr);

  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->name, "Aldo");
  EXPECT_EQ(made->automap_size, 11);
  EXPECT_EQ(log_count("Error in ZConfig::create_new_config(), NULL old config?  Creating new.\n"),
            1);
}

TEST_F(store_test, start_up_uses_the_last_set_when_it_can_be_found) {
  ASSERT_EQ(store.save_char_config(make_full_set("Aldo")), 1);

  store.setup_default_config("Aldo");
  ASSERT_NE(store.get_current_char_cfg(), nullptr);
  EXPECT_EQ(store.get_current_char_cfg()->name, "Aldo");

  trel_config_store other;
  other.setup_default_config("Nobody");
  ASSERT_NE(other.get_current_char_cfg(), nullptr);
  EXPECT_FALSE(other.get_current_char_cfg()->is_named());
  EXPECT_EQ(log_count("ZConfig::setup_default_config() - unable to load or find previous "
                      "config, using default.\n"),
            1);
}

TEST_F(store_test, new_sets_take_the_fonts_in_use) {
  store.setup_default_config("");
  store.store_main_font("Mono 11", 11);
  store.store_button_font("Sans 7", 7);
  EXPECT_STREQ(store.get_font(), "Mono 11");
  EXPECT_EQ(store.get_font_size(), 11);
  EXPECT_STREQ(store.get_button_font(), "Sans 7");
  EXPECT_EQ(store.get_button_font_size(), 7);

  store.fonts.main_size_setting = 11;
  ZConfig *made = store.create_new_config("Aldo", nullptr);
  EXPECT_EQ(made->font, "Mono 11");
  EXPECT_EQ(made->font_size, 11);
  EXPECT_EQ(made->button_font, "Sans 7");
  EXPECT_EQ(made->button_font_size, 7);
}

TEST_F(store_test, apply_font_needs_a_current_set) {
  store.apply_font();
  EXPECT_EQ(log_count("Error in ZConfig::apply_font(), null current_char_cfg.\n"), 1);
  EXPECT_TRUE(window.calls.empty());
}

TEST_F(store_test, reset_puts_options_back_but_keeps_name_fonts_and_popups) {
  store.add(make_full_set("Aldo"));
  store.setup_default_config("Aldo");
  window.calls.clear();

  store.reset_to_defaults();

  const ZConfig &set = *store.get_current_char_cfg();
  ZConfig expected(store.fonts);
  expected.name = "Aldo";
  expected.font = "Monospace <bold> & wide 13";
  expected.font_size = 13;
  expected.button_font = "Sans 5";
  expected.button_font_size = 5;
  expected.popup_windows = make_full_set("Aldo").popup_windows;
  EXPECT_TRUE(set == expected);
  // The eight re-applied setters refresh their marks; the sync does the rest.
  for (const char *mark :
       {"check Select &Last Command 0", "check &Enable Local Echo 1", "check Command Separator 1",
        "check Move Using &Number Pad 1", "check Locking Scrollback 0",
        "check Enable URL Linking 1", "check Show &Color Flash Events 1",
        "check D&uplicate Channel Sends in Main Window 1", "choice layout 2",
        "check Compact Font 0", "automap size 11", "apply_layout_change"})
    EXPECT_TRUE(window.saw(mark)) << mark;
}

TEST_F(store_test, popup_geometry_is_remembered_per_name) {
  trel_popup_window_record none = store.get_popup_geometry("Map");
  EXPECT_EQ(none.x, 48);
  EXPECT_EQ(none.y, 48);
  EXPECT_EQ(none.width, 0);

  store.setup_default_config("");
  trel_popup_window_record record = store.get_popup_geometry("Map");
  record.x = 5;
  record.requested_width = 80;
  store.set_popup_geometry(record);
  record.x = 7;
  record.width = 300;
  store.set_popup_geometry(record);

  const ZConfig &set = *store.get_current_char_cfg();
  ASSERT_EQ(set.popup_windows.size(), 1u) << "one record per name";
  trel_popup_window_record again = store.get_popup_geometry("Map");
  EXPECT_EQ(again.x, 7);
  EXPECT_EQ(again.width, 300);
  EXPECT_EQ(again.requested_width, 80);
  EXPECT_EQ(store.get_popup_geometry("Other").x, 48);
}

TEST_F(store_test, popup_names_are_cut_to_99_characters) {
  store.setup_default_config("");
  const std::string long_name(120, 'p');
  trel_popup_window_record record = store.get_popup_geometry(long_name.c_str());
  EXPECT_EQ(record.name.size(), 99u);
  record.x = 1;
  store.set_popup_geometry(record);

  EXPECT_EQ(store.get_popup_geometry(long_name.c_str()).x, 1);
  EXPECT_EQ(store.get_current_char_cfg()->popup_windows[0].name, std::string(99, 'p'));
}

} // namespace
