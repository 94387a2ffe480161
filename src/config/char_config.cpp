// The character settings record: defaults, ranges, copying and its XML form.
#include "config/char_config.h"

#include <cstdio>
#include <vector>

#include "config/xml_reader.h"
#include "config/xml_writer.h"
#include "support/text_utils.h"

namespace {

// Text values of a character file are read into buffers of this size (the
// reader cuts longer values).
constexpr int text_value_size = 10000;
// A popup name buffer: 99 characters and a terminator.
constexpr int popup_name_size = TREL_POPUP_NAME_MAX + 1;
// Tag texts are at most 999 characters on the reader's stack.
constexpr int tag_size = 1000;
// The longest name whose file name (name + ".cfg") fits a Linux directory entry.
constexpr std::size_t file_name_max = 255 - 4;

// One value element of the file, in file order: a text or a number.
struct field_entry {
  const char *key;
  std::string ZConfig::*text;
  int ZConfig::*number;
};

const field_entry file_fields[] = {
    {"name", &ZConfig::name, nullptr},
    {"font", &ZConfig::font, nullptr},
    {"font_size", nullptr, &ZConfig::font_size},
    {"button_font", &ZConfig::button_font, nullptr},
    {"button_font_size", nullptr, &ZConfig::button_font_size},
    {"keypad_walking", nullptr, &ZConfig::keypad_walking},
    {"url_hotlinking", nullptr, &ZConfig::url_hotlinking},
    {"compact_mode", nullptr, &ZConfig::compact_mode},
    {"local_echo", nullptr, &ZConfig::local_echo},
    {"cmd_separator", nullptr, &ZConfig::cmd_separator},
    {"cmd_pushthrough", nullptr, &ZConfig::cmd_pushthrough},
    {"hint_button_enable", nullptr, &ZConfig::hint_button_enable},
    {"direction_button_enable", nullptr, &ZConfig::direction_button_enable},
    {"fkey_button_display", nullptr, &ZConfig::fkey_button_display},
    {"button_tooltips", nullptr, &ZConfig::button_tooltips},
    {"status_bar", nullptr, &ZConfig::status_bar},
    {"sky_bar", nullptr, &ZConfig::sky_bar},
    {"exp_display", nullptr, &ZConfig::exp_display},
    {"hpbar_enable", nullptr, &ZConfig::hpbar_enable},
    {"hp_display", nullptr, &ZConfig::hp_display},
    {"enemy_hpbar_enable", nullptr, &ZConfig::enemy_hpbar_enable},
    {"enemy_hp_display", nullptr, &ZConfig::enemy_hp_display},
    {"group_status_display", nullptr, &ZConfig::group_status_display},
    {"group_status_inverted_bars", nullptr, &ZConfig::group_status_inverted_bars},
    {"popup_display", nullptr, &ZConfig::popup_display},
    {"locking_scrollback_enable", nullptr, &ZConfig::locking_scrollback_enable},
    {"mw_scrollbar_enable", nullptr, &ZConfig::mw_scrollbar_enable},
    {"current_layout", nullptr, &ZConfig::current_layout},
    {"current_theme", nullptr, &ZConfig::current_theme},
    {"current_background_theme", nullptr, &ZConfig::current_background_theme},
    {"font_colors_setting", nullptr, &ZConfig::font_colors_setting},
    {"theme_bg_setting", nullptr, &ZConfig::theme_bg_setting},
    {"automap_docked", nullptr, &ZConfig::automap_docked},
    {"automap_display", nullptr, &ZConfig::automap_display},
    {"automap_size", nullptr, &ZConfig::automap_size},
    {"input_height", nullptr, &ZConfig::input_height},
    {"channel_window_enable", nullptr, &ZConfig::channel_window_enable},
    {"channel_window_height", nullptr, &ZConfig::channel_window_height},
    {"channel_window_dupe", nullptr, &ZConfig::channel_window_dupe},
    {"colorflash_enable", nullptr, &ZConfig::colorflash_enable},
};

// The on/off options, which a load reduces to their lowest bit.
int ZConfig::*const flag_fields[] = {
    &ZConfig::keypad_walking,
    &ZConfig::url_hotlinking,
    &ZConfig::compact_mode,
    &ZConfig::cmd_pushthrough,
    &ZConfig::local_echo,
    &ZConfig::cmd_separator,
    &ZConfig::button_tooltips,
    &ZConfig::direction_button_enable,
    &ZConfig::hint_button_enable,
    &ZConfig::fkey_button_display,
    &ZConfig::status_bar,
    &ZConfig::sky_bar,
    &ZConfig::exp_display,
    &ZConfig::hp_display,
    &ZConfig::hpbar_enable,
    &ZConfig::enemy_hp_display,
    &ZConfig::enemy_hpbar_enable,
    &ZConfig::popup_display,
    &ZConfig::mw_scrollbar_enable,
    &ZConfig::locking_scrollback_enable,
    &ZConfig::group_status_inverted_bars,
    &ZConfig::automap_docked,
    &ZConfig::automap_display,
    &ZConfig::channel_window_enable,
    &ZConfig::channel_window_dupe,
    &ZConfig::colorflash_enable,
};

// The older keys that set font_colors_setting to 1, 2 or 3 when non-zero.
const char *const old_colour_keys[] = {"bright_color_display", "zmud_color_display",
                                       "gmud_color_display"};

void hold_in_range(int &value, int low, int high, int replacement) {
  if (value < low || value > high)
    value = replacement;
}

// Reads the children of a single_popup_window element just opened.
void read_popup_window(trel_xml_reader &reader, trel_popup_window_record &record) {
  char tag[tag_size];
  while (reader.read_tag(tag, sizeof tag)) {
    if (word_equal(tag, "name")) {
      char value[popup_name_size];
      if (reader.read_data(value, sizeof value))
        record.set_name(value);
    } else if (word_equal(tag, "x")) {
      reader.read_data(&record.x);
    } else if (word_equal(tag, "y")) {
      reader.read_data(&record.y);
    } else if (word_equal(tag, "width")) {
      reader.read_data(&record.width);
    } else if (word_equal(tag, "height")) {
      reader.read_data(&record.height);
    } else {
      reader.skip_data();
    }
  }
}

// Reads the children of a popup_window_list element just opened, keeping the
// records in file order.
void read_popup_window_list(trel_xml_reader &reader, ZConfig &set) {
  char tag[tag_size];
  while (reader.read_tag(tag, sizeof tag)) {
    if (!word_equal(tag, "single_popup_window")) {
      reader.skip_data();
      continue;
    }
    trel_popup_window_record record;
    read_popup_window(reader, record);
    set.popup_windows.push_back(record);
  }
}

const field_entry *find_field(const char *tag) {
  for (const field_entry &entry : file_fields)
    if (word_equal(tag, entry.key))
      return &entry;
  return nullptr;
}

// Handles the older keys; returns 0 when tag is not one of them.
int read_old_key(trel_xml_reader &reader, const char *tag, ZConfig &set) {
  if (word_equal(tag, "use_new_layout")) {
    int value = 0;
    if (reader.read_data(&value))
      set.current_layout = value != 0 ? 1 : 0;
    return 1;
  }
  for (int i = 0; i < 3; i++) {
    if (!word_equal(tag, old_colour_keys[i]))
      continue;
    int value = 0;
    if (reader.read_data(&value) && value != 0)
      set.font_colors_setting = i + 1;
    return 1;
  }
  return 0;
}

} // namespace

void trel_popup_window_record::set_name(const char *text) {
  name = text ? text : "";
  if (name.size() > static_cast<std::size_t>(TREL_POPUP_NAME_MAX))
    name.resize(TREL_POPUP_NAME_MAX);
}

void trel_popup_window_record::copy_geometry(const trel_popup_window_record &other) {
  x = other.x;
  y = other.y;
  requested_width = other.requested_width;
  requested_height = other.requested_height;
  width = other.width;
  height = other.height;
}

bool trel_popup_window_record::operator==(const trel_popup_window_record &o) const {
  return name == o.name && x == o.x && y == o.y && requested_width == o.requested_width &&
         requested_height == o.requested_height && width == o.width && height == o.height;
}

ZConfig::ZConfig(const trel_font_state &fonts)
    : font(fonts.main_description), font_size(fonts.main_size_setting),
      button_font(fonts.small_description), button_font_size(fonts.small_size) {}

void ZConfig::validate() {
  hold_in_range(font_size, 2, 150, 10);
  for (int ZConfig::*field : flag_fields)
    this->*field &= 1;
  hold_in_range(group_status_display, 0, 2, 0);
  if (current_layout < 0)
    current_layout = 0;
  if (current_layout > 2)
    current_layout = 2;
  hold_in_range(font_colors_setting, 0, 3, 0);
  hold_in_range(theme_bg_setting, 0, 5, 3);
  hold_in_range(automap_size, 1, 400, 11);
  hold_in_range(input_height, 24, 800, 48);
  hold_in_range(channel_window_height, 10, 80, 25);
}

void ZConfig::reset_options() {
  // A fresh set supplies the defaults; the texts, font sizes and popup
  // records are not options and stay.
  trel_font_state fonts;
  fonts.main_size_setting = font_size;
  fonts.small_size = button_font_size;
  ZConfig defaults(fonts);
  defaults.name = name;
  defaults.font = font;
  defaults.button_font = button_font;
  defaults.popup_windows.swap(popup_windows);
  *this = std::move(defaults);
}

void ZConfig::copy_from(const ZConfig &other) {
  if (&other == this)
    return;
  std::vector<trel_popup_window_record> own;
  own.swap(popup_windows);
  *this = other;
  popup_windows.insert(popup_windows.end(), own.begin(), own.end());
}

trel_popup_window_record *ZConfig::find_popup(const std::string &popup_name) {
  for (trel_popup_window_record &record : popup_windows)
    if (record.name == popup_name)
      return &record;
  return nullptr;
}

bool ZConfig::operator==(const ZConfig &o) const {
  for (const field_entry &entry : file_fields) {
    if (entry.text && this->*entry.text != o.*entry.text)
      return false;
    if (entry.number && this->*entry.number != o.*entry.number)
      return false;
  }
  return popup_windows == o.popup_windows;
}

void trel_write_char_config(trel_xml_writer &writer, const ZConfig &set) {
  writer.write_tag("single_config", 1);
  for (const field_entry &entry : file_fields) {
    if (entry.text)
      trel_xml_write_value(writer, entry.key, (set.*entry.text).c_str());
    else
      trel_xml_write_value(writer, entry.key, set.*entry.number);
  }
  writer.write_tag("popup_window_list", 1);
  for (const trel_popup_window_record &record : set.popup_windows) {
    writer.write_tag("single_popup_window", 1);
    trel_xml_write_value(writer, "name", record.name.c_str());
    trel_xml_write_value(writer, "x", record.x);
    trel_xml_write_value(writer, "y", record.y);
    trel_xml_write_value(writer, "width", record.width);
    trel_xml_write_value(writer, "height", record.height);
    writer.end_tag(nullptr, 1);
  }
  writer.end_tag(nullptr, 1);
  writer.end_tag(nullptr, 1);
}

void trel_read_char_config(trel_xml_reader &reader, ZConfig &set) {
  char tag[tag_size];
  std::vector<char> value(text_value_size);
  while (reader.read_tag(tag, sizeof tag)) {
    if (const field_entry *entry = find_field(tag)) {
      if (entry->number) {
        reader.read_data(&(set.*entry->number));
      } else if (reader.read_data(value.data(), text_value_size)) {
        set.*entry->text = value.data();
      }
    } else if (word_equal(tag, "popup_window_list")) {
      read_popup_window_list(reader, set);
    } else if (!read_old_key(reader, tag, set)) {
      reader.skip_data();
    }
  }
}

int trel_char_config_name_is_file_safe(const std::string &name) {
  if (name.empty() || name.size() > file_name_max || name[0] == '.')
    return 0;
  for (char c : name) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte > 126 || c == '/' || c == '\\')
      return 0;
  }
  return 1;
}

std::string trel_printable_name(const std::string &name) {
  std::string shown = name;
  for (char &c : shown) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte > 126)
      c = '?';
  }
  return shown;
}
