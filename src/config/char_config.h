// One character's settings (ZConfig), its popup window records, the ranges a
// loaded set is held to, and its XML form in the character files.
#pragma once
#include <string>
#include <vector>

class trel_xml_reader;
class trel_xml_writer;

// Longest popup window name kept in a record.
constexpr int TREL_POPUP_NAME_MAX = 99;

// The remembered geometry of one server-defined popup window.
struct trel_popup_window_record {
  std::string name;
  int x = 48;
  int y = 48;
  // Filled in by the popup manager; never written to a file.
  int requested_width = 0;
  int requested_height = 0;
  // 0 means that no size is remembered.
  int width = 0;
  int height = 0;

  // Stores text cut to TREL_POPUP_NAME_MAX characters.
  void set_name(const char *text);
  // Copies the six numbers of other, not its name.
  void copy_geometry(const trel_popup_window_record &other);
  bool operator==(const trel_popup_window_record &o) const;
};

// The fonts the display side currently uses: new sets take their font
// descriptions and sizes from here, and applying a set changes the main size.
struct trel_font_state {
  std::string main_description;
  // The main font size setting: 8 until a set is applied.
  int main_size_setting = 8;
  std::string small_description;
  int small_size = 6;
};

// One character's settings. An empty name marks an unnamed set, which can be
// current but is never written to a file. Fields are in the order of the
// settings table; the file writes them in its own order.
class ZConfig {
public:
  // A set with every option at its default and the fonts of fonts.
  explicit ZConfig(const trel_font_state &fonts);

  // Holds every option to its accepted range (run after each load).
  void validate();
  // Every option back to its default; name, fonts and popup records stay.
  void reset_options();
  // Copies the three texts and every option of other; popup records are
  // copied in front of this set's own (which stay behind them).
  void copy_from(const ZConfig &other);
  // The record with exactly that name, or nullptr.
  trel_popup_window_record *find_popup(const std::string &popup_name);
  bool is_named() const { return !name.empty(); }
  // Field by field, popup records included.
  bool operator==(const ZConfig &o) const;
  bool operator!=(const ZConfig &o) const { return !(*this == o); }

  std::string name;
  std::string font;
  int font_size;
  std::string button_font;
  int button_font_size;
  int keypad_walking = 1;
  int url_hotlinking = 1;
  int compact_mode = 0;
  int cmd_pushthrough = 0;
  int local_echo = 1;
  int cmd_separator = 1;
  int button_tooltips = 0;
  int direction_button_enable = 0;
  int hint_button_enable = 1;
  int fkey_button_display = 0;
  int status_bar = 1;
  int sky_bar = 1;
  int exp_display = 1;
  int hp_display = 0;
  int hpbar_enable = 1;
  int enemy_hp_display = 1;
  int enemy_hpbar_enable = 1;
  int popup_display = 1;
  int mw_scrollbar_enable = 1;
  int locking_scrollback_enable = 0;
  int group_status_display = 1;
  int group_status_inverted_bars = 1;
  int current_layout = 2;
  int current_theme = 1;
  int current_background_theme = 2;
  int font_colors_setting = 0;
  int theme_bg_setting = 3;
  int automap_docked = 1;
  int automap_display = 1;
  int automap_size = 11;
  int input_height = 48;
  int channel_window_enable = 0;
  int channel_window_height = 25;
  int channel_window_dupe = 1;
  int colorflash_enable = 1;
  // In list order: lookups find the first record with a name.
  std::vector<trel_popup_window_record> popup_windows;
};

// Writes set as one single_config element (the whole content of a character
// file); an empty name is written as empty text.
void trel_write_char_config(trel_xml_writer &writer, const ZConfig &set);
// Reads the children of a single_config element just opened into set, which
// the caller has filled with defaults; unknown elements are skipped and the
// older keys are understood. Does not validate.
void trel_read_char_config(trel_xml_reader &reader, ZConfig &set);

// 1 when name may become the file name "char_configs/" + name + ".cfg": not
// empty, no "/" or backslash, no leading "." (which also rules out ".."), and
// only printable ASCII, since the file's reader refuses any other byte and the
// set could never be read back. Names that fail live in memory only.
int trel_char_config_name_is_file_safe(const std::string &name);
// name with every byte outside printable ASCII shown as "?", so that a
// hostile name cannot break a line of the debug log.
std::string trel_printable_name(const std::string &name);
