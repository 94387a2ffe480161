// The character files: what a saved set looks like, that every field comes
// back, how values out of range, older keys and unknown elements load, and
// the move of a file from the old location into "char_configs".
#include <climits>

#include "config/config_store_test_support.h"

namespace {

using char_config_file_test = config_store_test;

// A character file holding name and the given elements inside single_config.
std::string char_file_text(const std::string &name, const std::string &elements) {
  return "<single_config>\n  <name>" + name + "</name>\n" + elements + "</single_config>\n";
}

TEST_F(char_config_file_test, saved_file_has_the_exact_layout) {
  store.fonts.main_description = "Mono 8";
  store.fonts.small_description = "Sans 6";
  ZConfig set(store.fonts);
  set.name = "Bob";
  trel_popup_window_record popup;
  popup.set_name("P");
  popup.x = 10;
  popup.y = 20;
  popup.width = 300;
  popup.height = 200;
  // The requested size belongs to the running popup manager, not the file.
  popup.requested_width = 77;
  popup.requested_height = 66;
  set.popup_windows.push_back(popup);

  ASSERT_EQ(store.save_char_config(set), 1);

  EXPECT_EQ(read_file(char_file("Bob")),
            "<single_config>\n"
            "  <name>Bob</name>\n"
            "  <font>Mono 8</font>\n"
            "  <font_size>8</font_size>\n"
            "  <button_font>Sans 6</button_font>\n"
            "  <button_font_size>6</button_font_size>\n"
            "  <keypad_walking>1</keypad_walking>\n"
            "  <url_hotlinking>1</url_hotlinking>\n"
            "  <compact_mode>0</compact_mode>\n"
            "  <local_echo>1</local_echo>\n"
            "  <cmd_separator>1</cmd_separator>\n"
            "  <cmd_pushthrough>0</cmd_pushthrough>\n"
            "  <hint_button_enable>1</hint_button_enable>\n"
            "  <direction_button_enable>0</direction_button_enable>\n"
            "  <fkey_button_display>0</fkey_button_display>\n"
            "  <button_tooltips>0</button_tooltips>\n"
            "  <status_bar>1</status_bar>\n"
            "  <sky_bar>1</sky_bar>\n"
            "  <exp_display>1</exp_display>\n"
            "  <hpbar_enable>1</hpbar_enable>\n"
            "  <hp_display>0</hp_display>\n"
            "  <enemy_hpbar_enable>1</enemy_hpbar_enable>\n"
            "  <enemy_hp_display>1</enemy_hp_display>\n"
            "  <group_status_display>1</group_status_display>\n"
            "  <group_status_inverted_bars>1</group_status_inverted_bars>\n"
            "  <popup_display>1</popup_display>\n"
            "  <locking_scrollback_enable>0</locking_scrollback_enable>\n"
            "  <mw_scrollbar_enable>1</mw_scrollbar_enable>\n"
            "  <current_layout>2</current_layout>\n"
            "  <current_theme>1</current_theme>\n"
            "  <current_background_theme>2</current_background_theme>\n"
            "  <font_colors_setting>0</font_colors_setting>\n"
            "  <theme_bg_setting>3</theme_bg_setting>\n"
            "  <automap_docked>1</automap_docked>\n"
            "  <automap_display>1</automap_display>\n"
            "  <automap_size>11</automap_size>\n"
            "  <input_height>48</input_height>\n"
            "  <channel_window_enable>0</channel_window_enable>\n"
            "  <channel_window_height>25</channel_window_height>\n"
            "  <channel_window_dupe>1</channel_window_dupe>\n"
            "  <colorflash_enable>1</colorflash_enable>\n"
            "  <popup_window_list>\n"
            "    <single_popup_window>\n"
            "      <name>P</name>\n"
            "      <x>10</x>\n"
            "      <y>20</y>\n"
            "      <width>300</width>\n"
            "      <height>200</height>\n"
            "    </single_popup_window>\n"
            "  </popup_window_list>\n"
            "</single_config>\n");
}

TEST_F(char_config_file_test, every_field_and_popup_record_survives_a_round_trip) {
  const ZConfig saved = make_full_set("Aldo");
  store.add(saved);
  ASSERT_EQ(store.save_char_config(*store.find("Aldo")), 1);

  trel_config_store fresh;
  ZConfig *loaded = fresh.get_or_load("Aldo");
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(*loaded == saved) << read_file(char_file("Aldo"));
  ASSERT_EQ(loaded->popup_windows.size(), 2u);
  EXPECT_EQ(loaded->popup_windows[1].name, "Score & <stats>");
  EXPECT_EQ(loaded->font, "Monospace <bold> & wide 13");
  EXPECT_EQ(log_count("ZConfig::get_or_load() - load of config 'Aldo' success."), 1);
}

TEST_F(char_config_file_test, requested_popup_size_is_not_saved) {
  ZConfig set = make_full_set("Aldo");
  set.popup_windows[0].requested_width = 50;
  set.popup_windows[0].requested_height = 60;
  ASSERT_EQ(store.save_char_config(set), 1);

  trel_config_store fresh;
  ZConfig *loaded = fresh.get_or_load("Aldo");
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->popup_windows[0].requested_width, 0);
  EXPECT_EQ(loaded->popup_windows[0].requested_height, 0);
  EXPECT_EQ(loaded->popup_windows[0].width, 640);
}

struct range_case {
  const char *element;
  int ZConfig::*field;
  int expected;
};

void PrintTo(const range_case &c, std::ostream *out) {
  *out << c.element;
}

class char_config_range_test : public config_store_test,
                               public ::testing::WithParamInterface<range_case> {};

TEST_P(char_config_range_test, loaded_value_is_held_to_its_range) {
  const range_case &c = GetParam();
  make_directory(config_path("char_configs"));
  write_file(char_file("Tab"), char_file_text("Tab", std::string("  ") + c.element + "\n"));

  ZConfig *loaded = store.get_or_load("Tab");

  ASSERT_NE(loaded, nullptr) << log();
  EXPECT_EQ(loaded->*c.field, c.expected) << c.element;
}

INSTANTIATE_TEST_SUITE_P(
    edge_values, char_config_range_test,
    ::testing::Values(
        range_case{"<font_size>1</font_size>", &ZConfig::font_size, 10},
        range_case{"<font_size>2</font_size>", &ZConfig::font_size, 2},
        range_case{"<font_size>150</font_size>", &ZConfig::font_size, 150},
        range_case{"<font_size>151</font_size>", &ZConfig::font_size, 10},
        range_case{"<automap_size>0</automap_size>", &ZConfig::automap_size, 11},
        range_case{"<automap_size>400</automap_size>", &ZConfig::automap_size, 400},
        range_case{"<automap_size>401</automap_size>", &ZConfig::automap_size, 11},
        range_case{"<input_height>801</input_height>", &ZConfig::input_height, 48},
        range_case{"<input_height>23</input_height>", &ZConfig::input_height, 48},
        range_case{"<input_height>24</input_height>", &ZConfig::input_height, 24},
        range_case{"<channel_window_height>9</channel_window_height>",
                   &ZConfig::channel_window_height, 25},
        range_case{"<channel_window_height>81</channel_window_height>",
                   &ZConfig::channel_window_height, 25},
        range_case{"<keypad_walking>2</keypad_walking>", &ZConfig::keypad_walking, 0},
        range_case{"<keypad_walking>3</keypad_walking>", &ZConfig::keypad_walking, 1},
        range_case{"<colorflash_enable>-1</colorflash_enable>", &ZConfig::colorflash_enable, 1},
        range_case{"<current_layout>-3</current_layout>", &ZConfig::current_layout, 0},
        range_case{"<current_layout>7</current_layout>", &ZConfig::current_layout, 2},
        range_case{"<theme_bg_setting>6</theme_bg_setting>", &ZConfig::theme_bg_setting, 3},
        range_case{"<theme_bg_setting>-1</theme_bg_setting>", &ZConfig::theme_bg_setting, 3},
        range_case{"<group_status_display>-1</group_status_display>",
                   &ZConfig::group_status_display, 0},
        range_case{"<group_status_display>3</group_status_display>", &ZConfig::group_status_display,
                   0},
        range_case{"<font_colors_setting>4</font_colors_setting>", &ZConfig::font_colors_setting,
                   0},
        // Options without a range keep whatever the file says.
        range_case{"<current_theme>12345</current_theme>", &ZConfig::current_theme, 12345},
        range_case{"<button_font_size>999</button_font_size>", &ZConfig::button_font_size, 999},
        range_case{"<current_theme>99999999999</current_theme>", &ZConfig::current_theme, INT_MAX},
        // A value that is no number leaves the default.
        range_case{"<automap_size>big</automap_size>", &ZConfig::automap_size, 11}));

struct old_key_case {
  const char *elements;
  int ZConfig::*field;
  int expected;
};

void PrintTo(const old_key_case &c, std::ostream *out) {
  *out << c.elements;
}

class char_config_old_key_test : public config_store_test,
                                 public ::testing::WithParamInterface<old_key_case> {};

TEST_P(char_config_old_key_test, older_keys_set_their_modern_option) {
  const old_key_case &c = GetParam();
  write_file(config_path("Old.cfg"), char_file_text("Old", c.elements));

  ZConfig *loaded = store.get_or_load("Old");

  ASSERT_NE(loaded, nullptr) << log();
  EXPECT_EQ(loaded->*c.field, c.expected) << c.elements;
}

INSTANTIATE_TEST_SUITE_P(
    keys, char_config_old_key_test,
    ::testing::Values(
        old_key_case{"<font_colors_setting>0</font_colors_setting>"
                     "<zmud_color_display>1</zmud_color_display>",
                     &ZConfig::font_colors_setting, 2},
        // The later element wins, whatever the order.
        old_key_case{"<zmud_color_display>1</zmud_color_display>"
                     "<font_colors_setting>0</font_colors_setting>",
                     &ZConfig::font_colors_setting, 0},
        old_key_case{"<bright_color_display>1</bright_color_display>",
                     &ZConfig::font_colors_setting, 1},
        old_key_case{"<gmud_color_display>5</gmud_color_display>", &ZConfig::font_colors_setting,
                     3},
        // A zero changes nothing.
        old_key_case{"<font_colors_setting>2</font_colors_setting>"
                     "<bright_color_display>0</bright_color_display>",
                     &ZConfig::font_colors_setting, 2},
        old_key_case{"<use_new_layout>0</use_new_layout>", &ZConfig::current_layout, 0},
        old_key_case{"<use_new_layout>5</use_new_layout>", &ZConfig::current_layout, 1},
        old_key_case{"<current_layout>0</current_layout><use_new_layout>-2</use_new_layout>",
                     &ZConfig::current_layout, 1}));

TEST_F(char_config_file_test, unknown_elements_are_skipped_with_what_they_hold) {
  make_directory(config_path("char_configs"));
  write_file(char_file("Tab"),
             "<preamble><name>Evil</name></preamble>\n"
             "<single_config>\n"
             "  <mystery><name>Evil</name><font_size>99</font_size><deeper><a>1</a></deeper>"
             "</mystery>\n"
             "  <name>Tab</name>\n"
             "  <FONT_SIZE unit=\"pt\">12</FONT_SIZE>\n"
             "  <popup_window_list>\n"
             "    <stray><x>1</x></stray>\n"
             "    <single_popup_window><name>P</name><colour>red</colour><x>5</x>"
             "<requested_width>9</requested_width></single_popup_window>\n"
             "  </popup_window_list>\n"
             "  <sky_bar>0</sky_bar>\n"
             "</single_config>\n");

  ZConfig *loaded = store.get_or_load("Tab");

  ASSERT_NE(loaded, nullptr) << log();
  EXPECT_EQ(loaded->name, "Tab");
  EXPECT_EQ(loaded->font_size, 12);
  EXPECT_EQ(loaded->sky_bar, 0) << "elements after the unknown ones are still read";
  ASSERT_EQ(loaded->popup_windows.size(), 1u);
  EXPECT_EQ(loaded->popup_windows[0].name, "P");
  EXPECT_EQ(loaded->popup_windows[0].x, 5);
  EXPECT_EQ(loaded->popup_windows[0].requested_width, 0);
  EXPECT_EQ(store.find("Evil"), nullptr);
}

TEST_F(char_config_file_test, popup_name_is_cut_to_99_characters) {
  const std::string long_name(150, 'w');
  write_file(config_path("Tab.cfg"),
             char_file_text("Tab", "<popup_window_list><single_popup_window><name>" + long_name +
                                       "</name></single_popup_window></popup_window_list>\n"));

  ZConfig *loaded = store.get_or_load("Tab");

  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->popup_windows.size(), 1u);
  EXPECT_EQ(loaded->popup_windows[0].name, std::string(99, 'w'));
}

TEST_F(char_config_file_test, file_naming_another_character_is_ignored) {
  write_file(config_path("Aldo.cfg"), char_file_text("Bert", "<sky_bar>0</sky_bar>\n"));

  EXPECT_EQ(store.get_or_load("Aldo"), nullptr);
  EXPECT_EQ(log_count("Error in ZConfig::load_xml_single_system_config(), got bad name 'Bert' "
                      "for loaded config 'Aldo'.\n"),
            1);
  EXPECT_EQ(store.find("Bert"), nullptr);

  // The character then starts from a new set of its own.
  store.setup_default_config("");
  store.use_character_config("Aldo");
  ASSERT_NE(store.get_current_char_cfg(), nullptr);
  EXPECT_EQ(store.get_current_char_cfg()->name, "Aldo");
  EXPECT_EQ(store.get_sky_bar(), 1);
}

TEST_F(char_config_file_test, file_without_a_name_is_ignored) {
  write_file(config_path("Aldo.cfg"), "<single_config><sky_bar>0</sky_bar></single_config>\n");

  EXPECT_EQ(store.get_or_load("Aldo"), nullptr);
  EXPECT_EQ(log_count("Error in ZConfig::load_xml_single_system_config(), missing name for "
                      "loaded config.  Ignoring.\n"),
            1);
  EXPECT_TRUE(store.get_config_list().empty());
}

TEST_F(char_config_file_test, missing_file_is_no_error) {
  EXPECT_EQ(store.get_or_load("Nobody"), nullptr);
  EXPECT_EQ(
      log_count("ZConfig::get_or_load() - no config file for '" + char_file("Nobody") + "'.\n"), 1);
  EXPECT_EQ(log_count("Error in"), 0) << log();
}

TEST_F(char_config_file_test, file_at_the_old_location_moves_into_char_configs) {
  const ZConfig saved = make_full_set("Aldo");
  ASSERT_EQ(store.save_char_config(saved), 1);
  const std::string expected_text = read_file(char_file("Aldo"));
  ASSERT_EQ(rename(char_file("Aldo").c_str(), config_path("Aldo.cfg").c_str()), 0);

  trel_config_store fresh;
  ZConfig *loaded = fresh.get_or_load("Aldo");

  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(*loaded == saved);
  EXPECT_FALSE(exists(config_path("Aldo.cfg")));
  EXPECT_EQ(read_file(char_file("Aldo")), expected_text);
  EXPECT_EQ(log_count("ZConfig::get_or_load() - got old style per-char config file '" +
                      config_path("Aldo.cfg") + "'.\n"),
            1);
}

TEST_F(char_config_file_test, old_file_stays_when_the_new_one_cannot_be_written) {
  write_file(config_path("Aldo.cfg"), char_file_text("Aldo", "<sky_bar>0</sky_bar>\n"));
  // A plain file where the directory should be.
  write_file(config_path("char_configs"), "in the way");

  ZConfig *loaded = store.get_or_load("Aldo");

  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->sky_bar, 0);
  EXPECT_TRUE(exists(config_path("Aldo.cfg"))) << "the only copy must not be deleted";
  EXPECT_EQ(log_count("Unable to create directory for config file '" + config_path("char_configs") +
                      "'.\n"),
            1);
}

} // namespace
