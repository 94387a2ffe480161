// The configuration store: every character set in memory, the current one,
// their files under "char_configs", the system configuration file, and one
// getter and one setter per option. Display-free: effects on the window go
// through a trel_config_observer.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "config/char_config.h"
#include "config/config_observer.h"
#include "config/system_config.h"

class trel_xml_reader;

class trel_config_store {
public:
  trel_config_store();
  trel_config_store(const trel_config_store &) = delete;
  trel_config_store &operator=(const trel_config_store &) = delete;

  // The window that shows the settings (not owned); nullptr means no window.
  void set_observer(trel_config_observer *new_observer);

  // The fonts the display side uses, read when a new set is made; the main
  // window keeps them up to date.
  trel_font_state fonts;
  // The system settings (loaded and saved with "quenmar.cfg").
  trel_system_config system;

  // --- Character sets -----------------------------------------------------

  // The set in use, or nullptr before start-up has chosen one.
  ZConfig *get_current_char_cfg() const { return current_char_cfg; }
  // All sets, in the order they were added.
  const std::vector<std::unique_ptr<ZConfig>> &get_config_list() const { return config_list; }
  // The set named name (null counts as empty), or nullptr.
  ZConfig *find(const char *name) const;

  // The set with that name, loaded from its file (or moved from the old
  // location) when it is not in memory yet; nullptr when there is none. A name
  // unfit for a file name is never looked up on disk.
  ZConfig *get_or_load(const char *name);
  // A set for name made from template_set: an unnamed template takes the
  // name itself, a named one is copied. Returns the list's set.
  ZConfig *create_new_config(const char *name, ZConfig *template_set);
  // Stores a copy of record, replacing the values of a set with the same
  // name. Returns the list's set.
  ZConfig *add(const ZConfig &record);
  // Chooses the current set at start-up: the last used one when it can be
  // found, else a new unnamed default set.
  void setup_default_config(const char *last_used_name);
  // Makes the character's set current after a login and applies it.
  void use_character_config(const char *name);
  // Writes record to "char_configs/" + name + ".cfg" in the configuration
  // directory, replacing the old file in one step. Returns 1 when written; 0
  // for an unnamed set, a name unfit for a file name (the set then lives in
  // memory only) and any failure, each reported.
  int save_char_config(const ZConfig &record);
  // Reads a single_config element just opened and adds it to the list when
  // it has a name and, with expected_name given, that name. 1 when added.
  int load_xml_single_system_config(trel_xml_reader &reader, const char *expected_name);

  // Pushes the current set's fonts into the shared fonts.
  void apply_font();
  // Record a font's description and point size in the current set.
  void store_main_font(const char *description, int point_size);
  void store_button_font(const char *description, int point_size);
  // Puts the current set's options back to their defaults and re-applies them.
  void reset_to_defaults();
  // Sets every check mark and dependent pane from the current set.
  void sync_menu_checks();

  // The geometry remembered for a popup window name, or the defaults.
  trel_popup_window_record get_popup_geometry(const char *name) const;
  // Remembers record's geometry in the current set.
  void set_popup_geometry(const trel_popup_window_record &record);

  // --- System configuration ("quenmar.cfg") -------------------------------

  // The start-up entry: loads the file and removes a leftover "bootname.txt".
  void load_system_config();
  // Reads "quenmar.cfg", then chooses the current set and applies its fonts.
  void load_system_config_file();
  // Writes every named set and "quenmar.cfg". Returns 1 when the system file
  // was written.
  int save_system_config_file();
  // Stores the identifier the server assigned (cut to 33 characters) and saves.
  void set_uuid(const char *text);
  // A "DFLT" identifier followed by 28 random lowercase hexadecimal digits.
  void create_default_uuid();
  // Switches system sound on (1) or off (0), starting or stopping the output.
  void SetSystemAudio(int on);
  int GetSystemAudio() const { return system.system_audio_enable; }
  const char *get_uuid() const { return system.uuid.c_str(); }
  int get_voting_reminders() const { return system.voting_reminders; }

  // --- Option accessors ---------------------------------------------------
  // Getters give the current set's value, or 0 without a current set (the
  // font descriptions then read "junk"). Setters do nothing without one.

  const char *get_font() const;
  int get_font_size() const;
  const char *get_button_font() const;
  int get_button_font_size() const;

  int get_keypad_walking() const;
  void set_keypad_walking(int value);
  int get_url_hotlinking() const;
  void set_url_hotlinking(int value);
  int get_compact_mode() const;
  void set_compact_mode(int value);
  int get_cmd_pushthrough() const;
  void set_cmd_pushthrough(int value);
  int get_local_echo() const;
  void set_local_echo(int value);
  int get_cmd_separator() const;
  void set_cmd_separator(int value);
  int get_button_tooltips() const;
  void set_button_tooltips(int value);
  int get_direction_button_enable() const;
  void set_direction_button_enable(int value);
  int get_hint_button_enable() const;
  void set_hint_button_enable(int value);
  int get_fkey_button_display() const;
  void set_fkey_button_display(int value);
  int get_status_bar() const;
  void set_status_bar(int value);
  int get_sky_bar() const;
  void set_sky_bar(int value);
  int get_exp_display() const;
  void set_exp_display(int value);
  int get_hpbar_enable() const;
  void set_hpbar_enable(int value);
  int get_enemy_hpbar_enable() const;
  void set_enemy_hpbar_enable(int value);
  int get_popup_display() const;
  void set_popup_display(int value);
  int get_mw_scrollbar_enable() const;
  void set_mw_scrollbar_enable(int value);
  int get_locking_scrollback_enable() const;
  void set_locking_scrollback_enable(int value);
  int get_group_status_display() const;
  void set_group_status_display(int value);
  int get_group_status_inverted_bars() const;
  void set_group_status_inverted_bars(int value);
  int get_current_layout() const;
  void set_current_layout(int value);
  int get_current_theme() const;
  void set_current_theme(int value);
  int get_current_background_theme() const;
  void set_current_background_theme(int value);
  int get_font_colors_setting() const;
  void set_font_colors_setting(int value);
  int get_theme_bg_setting() const;
  void set_theme_bg_setting(int value);
  int get_automap_docked() const;
  void set_automap_docked(int value);
  int get_automap_display() const;
  void set_automap_display(int value);
  int get_automap_size() const;
  void set_automap_size(int value);
  int get_input_height() const;
  void set_input_height(int value);
  int get_channel_window_enable() const;
  void set_channel_window_enable(int value);
  int get_channel_window_height() const;
  void set_channel_window_height(int value);
  int get_channel_window_dupe() const;
  void set_channel_window_dupe(int value);
  int get_colorflash_enable() const;
  void set_colorflash_enable(int value);

private:
  // The observer, or a do-nothing one when none is set.
  trel_config_observer &window() const { return *observer; }
  // What a setter does besides storing the value (defined with the setters).
  struct option_rule;
  // The current set's value of field, or 0 without a current set.
  int read_option(int ZConfig::*field) const;
  // Stores value and sets the rule's check mark; returns 0 when the setter has
  // nothing more to do (no current set, or an unchanged value for an option
  // that only acts on change).
  int begin_option(const option_rule &rule, int value);
  // The rule's re-layout and status dirty flag, in that order.
  void end_option(const option_rule &rule);
  // begin_option and end_option, for options without an effect of their own.
  void apply_option(const option_rule &rule, int value);
  // Tells the status display its bars and, while logged in, shows or hides it.
  void show_status_display_for_bars();

  std::vector<std::unique_ptr<ZConfig>> config_list;
  ZConfig *current_char_cfg = nullptr;
  trel_config_observer no_window;
  trel_config_observer *observer;
};

// The store the client uses, created on first use and kept until the process ends.
trel_config_store &trel_config();
