// The character sets of the configuration store: the list and the current
// set, loading and saving the character files, fonts, reset and popup geometry.
#include "config/config_store.h"

#include <cstdio>
#include <unistd.h>

#include "config/xml_reader.h"
#include "config/xml_string_writer.h"
#include "support/config_dir.h"
#include "support/debug_log.h"
#include "support/file_utils.h"
#include "support/safe_file_write.h"
#include "support/text_utils.h"

namespace {

constexpr int tag_size = 1000;

// The name as it may appear in a log line.
std::string shown(const std::string &name) {
  return trel_printable_name(name);
}

// The result of reading a character file's top-level elements.
struct char_file_scan {
  int single_configs = 0;
  bool truncated = false;
};

} // namespace

trel_config_store::trel_config_store() : observer(&no_window) {}

void trel_config_store::set_observer(trel_config_observer *new_observer) {
  observer = new_observer ? new_observer : &no_window;
}

ZConfig *trel_config_store::find(const char *name) const {
  const std::string wanted = name ? name : "";
  for (const std::unique_ptr<ZConfig> &set : config_list)
    if (set->name == wanted)
      return set.get();
  return nullptr;
}

ZConfig *trel_config_store::add(const ZConfig &record) {
  if (ZConfig *entry = find(record.name.c_str())) {
    if (debug_level >= 3)
      trel_client_debug_printf("ZConfig::add(), replacing config for %s.\n",
                               shown(record.name).c_str());
    entry->copy_from(record);
    return entry;
  }
  auto entry = std::make_unique<ZConfig>(fonts);
  entry->copy_from(record);
  config_list.push_back(std::move(entry));
  return config_list.back().get();
}

int trel_config_store::load_xml_single_system_config(trel_xml_reader &reader,
                                                     const char *expected_name) {
  ZConfig record(fonts);
  trel_read_char_config(reader, record);
  record.validate();
  if (record.name.empty()) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in ZConfig::load_xml_single_system_config(), missing name "
                               "for loaded config.  Ignoring.\n");
    return 0;
  }
  if (expected_name && record.name != expected_name) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in ZConfig::load_xml_single_system_config(), got bad name "
                               "'%s' for loaded config '%s'.\n",
                               shown(record.name).c_str(), shown(expected_name).c_str());
    return 0;
  }
  add(record);
  if (debug_level >= 3) {
    trel_client_debug_printf("ZConfig::load_xml_single_system_config() - Font size %d, '%s'.\n",
                             record.font_size, record.font.c_str());
    trel_client_debug_printf(
        "ZConfig::load_xml_single_system_config() - Button font size %d, '%s'.\n",
        record.button_font_size, record.button_font.c_str());
  }
  return 1;
}

ZConfig *trel_config_store::get_or_load(const char *name) {
  const std::string wanted = name ? name : "";
  if (ZConfig *found = find(wanted.c_str()))
    return found;
  // The name comes from the server or a file: it must not pick the path.
  if (!trel_char_config_name_is_file_safe(wanted)) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in ZConfig::get_or_load(), config name '%s' is not a safe "
                               "file name, not looking for a config file.\n",
                               shown(wanted).c_str());
    return nullptr;
  }
  if (debug_level >= 2)
    trel_client_debug_printf("ZConfig::get_or_load() - trying load of config '%s'.\n",
                             wanted.c_str());
  const char *directory = trel_client_get_config_directory();
  if (!directory) {
    if (debug_level >= 2)
      trel_client_debug_printf("ZConfig::get_or_load() - no config file for '%s'.\n",
                               wanted.c_str());
    return nullptr;
  }
  const std::string old_path = std::string(directory) + "/" + wanted + ".cfg";
  std::string path = old_path;
  FILE *file = fopen(old_path.c_str(), "r");
  const bool old_location = file != nullptr;
  if (old_location) {
    if (debug_level >= 1)
      trel_client_debug_printf("ZConfig::get_or_load() - got old style per-char config file "
                               "'%s'.\n",
                               old_path.c_str());
  } else {
    path = std::string(directory) + "/char_configs/" + wanted + ".cfg";
    file = fopen(path.c_str(), "r");
    if (!file) {
      if (debug_level >= 2)
        trel_client_debug_printf("ZConfig::get_or_load() - no config file for '%s'.\n",
                                 path.c_str());
      return nullptr;
    }
  }

  char_file_scan scan;
  {
    trel_xml_file_reader reader(file);
    char tag[tag_size];
    while (reader.read_tag(tag, sizeof tag)) {
      if (word_equal(tag, "single_config")) {
        scan.single_configs++;
        load_xml_single_system_config(reader, wanted.c_str());
      } else {
        reader.skip_data();
      }
    }
    scan.truncated = reader.get_depth() > 0;
  }
  fclose(file);
  // The character starts from defaults either way; these say why.
  if (scan.truncated && debug_level >= 1)
    trel_client_debug_printf("Error in ZConfig::get_or_load(), config file '%s' ends inside an "
                             "element, truncated?\n",
                             path.c_str());
  if (scan.single_configs == 0 && debug_level >= 1)
    trel_client_debug_printf("Error in ZConfig::get_or_load(), no single_config element in "
                             "config file '%s'.\n",
                             path.c_str());

  ZConfig *found = find(wanted.c_str());
  // The old file goes only once its content is safe in the new place.
  if (found && old_location && save_char_config(*found))
    unlink(old_path.c_str());
  if (debug_level >= 2)
    trel_client_debug_printf("ZConfig::get_or_load() - load of config '%s' success.\n",
                             wanted.c_str());
  return found;
}

ZConfig *trel_config_store::create_new_config(const char *name, ZConfig *template_set) {
  const std::string new_name = name ? name : "";
  if (!template_set) {
    if (debug_level >= 1)
      trel_client_debug_printf(
          "Error in ZConfig::create_new_config(), NULL old config?  Creating new.\n");
    ZConfig fresh(fonts);
    fresh.name = new_name;
    return add(fresh);
  }
  if (!template_set->is_named()) {
    if (debug_level >= 3)
      trel_client_debug_printf("ZConfig::create_new_config() - attaching name '%s' to current "
                               "blank config.\n",
                               shown(new_name).c_str());
    template_set->name = new_name;
    return template_set;
  }
  if (debug_level >= 3)
    trel_client_debug_printf("ZConfig::create_new_config() - making a copy of current config "
                             "'%s' to create config '%s'.\n",
                             shown(template_set->name).c_str(), shown(new_name).c_str());
  ZConfig copy = *template_set;
  copy.name = new_name;
  return add(copy);
}

void trel_config_store::setup_default_config(const char *last_used_name) {
  if (last_used_name && *last_used_name) {
    if (debug_level >= 3)
      trel_client_debug_printf("ZConfig::setup_default_config() - trying to use previous config "
                               "'%s'.\n",
                               shown(last_used_name).c_str());
    if (ZConfig *previous = get_or_load(last_used_name)) {
      current_char_cfg = previous;
      return;
    }
    if (debug_level >= 3)
      trel_client_debug_printf("ZConfig::setup_default_config() - unable to load or find "
                               "previous config, using default.\n");
  } else if (debug_level >= 3) {
    trel_client_debug_printf(
        "ZConfig::setup_default_config() - no previous config specified, using default.\n");
  }
  current_char_cfg = add(ZConfig(fonts));
}

void trel_config_store::use_character_config(const char *name) {
  ZConfig *set = get_or_load(name);
  if (!set)
    set = create_new_config(name, current_char_cfg);
  current_char_cfg = set;
  trel_config_observer &w = window();
  w.check_menu_choice(trel_menu_choice::button_colors, set->current_theme);
  w.check_menu_choice(trel_menu_choice::background_colors, set->current_background_theme);
  w.check_menu_choice(trel_menu_choice::background_styles, set->theme_bg_setting);
  w.apply_theme_change(0);
  w.mark_status_dirty();
  sync_menu_checks();
  apply_font();
  w.apply_main_font();
  w.apply_button_fonts();
}

int trel_config_store::save_char_config(const ZConfig &record) {
  if (!record.is_named())
    return 0;
  if (!trel_char_config_name_is_file_safe(record.name)) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in ZConfig::save_char_config(), config name '%s' is not a "
                               "safe file name, keeping it in memory only.\n",
                               shown(record.name).c_str());
    return 0;
  }
  const char *directory = trel_client_get_config_directory();
  const std::string char_directory = std::string(directory ? directory : "") + "/char_configs";
  if (!directory ||
      !trel_create_and_check_writeable_directory(char_directory.c_str(), 0700, nullptr)) {
    if (debug_level >= 2)
      trel_client_debug_printf("Unable to create directory for config file '%s'.\n",
                               char_directory.c_str());
    return 0;
  }
  const std::string path = char_directory + "/" + record.name + ".cfg";
  trel_xml_string_writer writer;
  trel_write_char_config(writer, record);
  const std::string &text = writer.text();
  if (trel_safe_file_write(path.c_str(), text.data(), text.size()) != TREL_SAFE_WRITE_OK) {
    if (debug_level >= 1)
      trel_client_debug_printf("Unable to save config file '%s'.\n", path.c_str());
    return 0;
  }
  return 1;
}

void trel_config_store::apply_font() {
  if (!current_char_cfg) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in ZConfig::apply_font(), null current_char_cfg.\n");
    return;
  }
  const ZConfig &set = *current_char_cfg;
  fonts.main_size_setting = set.font_size;
  window().apply_font_descriptions(set.font.c_str(), set.font_size, set.button_font.c_str(),
                                   set.button_font_size);
}

void trel_config_store::store_main_font(const char *description, int point_size) {
  const char *text = description ? description : "";
  fonts.main_description = text;
  if (!current_char_cfg)
    return;
  current_char_cfg->font = text;
  current_char_cfg->font_size = point_size;
}

void trel_config_store::store_button_font(const char *description, int point_size) {
  const char *text = description ? description : "";
  fonts.small_description = text;
  fonts.small_size = point_size;
  if (!current_char_cfg)
    return;
  current_char_cfg->button_font = text;
  current_char_cfg->button_font_size = point_size;
}

void trel_config_store::reset_to_defaults() {
  if (!current_char_cfg)
    return;
  ZConfig &set = *current_char_cfg;
  set.reset_options();
  // These setters act whether or not the value changed, which puts their
  // check marks right.
  set_cmd_pushthrough(set.cmd_pushthrough);
  set_local_echo(set.local_echo);
  set_cmd_separator(set.cmd_separator);
  set_keypad_walking(set.keypad_walking);
  set_locking_scrollback_enable(set.locking_scrollback_enable);
  set_url_hotlinking(set.url_hotlinking);
  set_channel_window_dupe(set.channel_window_dupe);
  set_colorflash_enable(set.colorflash_enable);
  sync_menu_checks();
}

void trel_config_store::sync_menu_checks() {
  if (!current_char_cfg)
    return;
  const ZConfig &set = *current_char_cfg;
  trel_config_observer &w = window();
  w.check_menu_choice(trel_menu_choice::layout, set.current_layout);
  w.check_menu_choice(trel_menu_choice::group_display, set.group_status_display);
  w.check_menu_item(trel_menu_check::status_bar, set.status_bar != 0);
  w.check_menu_item(trel_menu_check::sky_bar, set.sky_bar != 0);
  w.check_menu_item(trel_menu_check::hp_bar, set.hpbar_enable != 0);
  w.check_menu_item(trel_menu_check::enemy_hp_bar, set.enemy_hpbar_enable != 0);
  w.check_menu_item(trel_menu_check::exp_bar, set.exp_display != 0);
  if (w.is_logged_in()) {
    w.show_status_display(set.exp_display || set.hpbar_enable || set.enemy_hpbar_enable);
    w.show_status_bar(set.status_bar != 0);
  }
  w.check_menu_item(trel_menu_check::colour_flash, set.colorflash_enable != 0);
  w.check_menu_item(trel_menu_check::channel_window, set.channel_window_enable != 0);
  w.check_menu_item(trel_menu_check::channel_dupe, set.channel_window_dupe != 0);
  w.enable_channel_window(set.channel_window_enable != 0);
  w.check_menu_item(trel_menu_check::popup_buttons, set.popup_display != 0);
  w.check_menu_item(trel_menu_check::function_key_buttons, set.fkey_button_display != 0);
  w.check_menu_item(trel_menu_check::direction_buttons, set.direction_button_enable != 0);
  w.check_menu_item(trel_menu_check::hint_buttons, set.hint_button_enable != 0);
  w.check_menu_item(trel_menu_check::main_scrollbar, set.mw_scrollbar_enable != 0);
  w.check_menu_item(trel_menu_check::compact_font, set.compact_mode != 0);
  w.check_menu_item(trel_menu_check::automap, set.automap_display != 0);
  w.check_menu_item(trel_menu_check::docked_map, set.automap_docked != 0);
  w.set_automap_size(set.automap_size);
  w.update_dependent_panes();
  w.apply_layout_change();
  w.mark_status_dirty();
}

trel_popup_window_record trel_config_store::get_popup_geometry(const char *name) const {
  trel_popup_window_record record;
  record.set_name(name);
  if (current_char_cfg)
    if (const trel_popup_window_record *known = current_char_cfg->find_popup(record.name))
      record.copy_geometry(*known);
  return record;
}

void trel_config_store::set_popup_geometry(const trel_popup_window_record &record) {
  if (!current_char_cfg)
    return;
  trel_popup_window_record copy = record;
  copy.set_name(record.name.c_str());
  if (trel_popup_window_record *known = current_char_cfg->find_popup(copy.name)) {
    known->copy_geometry(copy);
    return;
  }
  std::vector<trel_popup_window_record> &list = current_char_cfg->popup_windows;
  list.insert(list.begin(), copy);
}

trel_config_store &trel_config() {
  // Never destroyed: the save at exit may run after static destruction began.
  static trel_config_store *store = new trel_config_store;
  return *store;
}
