// The getters and setters of the per-character options and the effects each
// setter has on the window (check marks, panes, layout, the status record).
#include "config/config_store.h"

// What a setter does besides storing: act only on a change or always, which
// check mark it sets (if any), and whether it re-lays out the window and marks
// the settings record for sending. A setter's own effects run between the
// check mark and the re-layout.
struct trel_config_store::option_rule {
  int ZConfig::*field;
  bool only_if_changed;
  bool has_check;
  trel_menu_check check;
  bool relayout;
  bool status;
};

int trel_config_store::read_option(int ZConfig::*field) const {
  return current_char_cfg ? current_char_cfg->*field : 0;
}

int trel_config_store::begin_option(const option_rule &rule, int value) {
  if (!current_char_cfg)
    return 0;
  if (rule.only_if_changed && current_char_cfg->*rule.field == value)
    return 0;
  current_char_cfg->*rule.field = value;
  if (rule.has_check)
    window().check_menu_item(rule.check, value != 0);
  return 1;
}

void trel_config_store::end_option(const option_rule &rule) {
  if (rule.relayout)
    window().relayout();
  if (rule.status)
    window().mark_status_dirty();
}

void trel_config_store::apply_option(const option_rule &rule, int value) {
  if (begin_option(rule, value))
    end_option(rule);
}

void trel_config_store::show_status_display_for_bars() {
  const ZConfig &set = *current_char_cfg;
  window().set_status_display_bars(set.exp_display, set.hpbar_enable, set.enemy_hpbar_enable);
  if (window().is_logged_in())
    window().show_status_display(set.exp_display || set.hpbar_enable || set.enemy_hpbar_enable);
}

const char *trel_config_store::get_font() const {
  return current_char_cfg ? current_char_cfg->font.c_str() : "junk";
}

int trel_config_store::get_font_size() const {
  return read_option(&ZConfig::font_size);
}

const char *trel_config_store::get_button_font() const {
  return current_char_cfg ? current_char_cfg->button_font.c_str() : "junk";
}

int trel_config_store::get_button_font_size() const {
  return read_option(&ZConfig::button_font_size);
}

int trel_config_store::get_keypad_walking() const {
  return read_option(&ZConfig::keypad_walking);
}

void trel_config_store::set_keypad_walking(int value) {
  static const option_rule rule = {&ZConfig::keypad_walking,    false, true,
                                   trel_menu_check::number_pad, false, false};
  apply_option(rule, value);
}

int trel_config_store::get_url_hotlinking() const {
  return read_option(&ZConfig::url_hotlinking);
}

void trel_config_store::set_url_hotlinking(int value) {
  static const option_rule rule = {&ZConfig::url_hotlinking,     false, true,
                                   trel_menu_check::url_linking, false, false};
  apply_option(rule, value);
}

int trel_config_store::get_compact_mode() const {
  return read_option(&ZConfig::compact_mode);
}

void trel_config_store::set_compact_mode(int value) {
  static const option_rule rule = {&ZConfig::compact_mode,        false, true,
                                   trel_menu_check::compact_font, false, false};
  if (!begin_option(rule, value))
    return;
  window().apply_main_font();
  end_option(rule);
}

int trel_config_store::get_cmd_pushthrough() const {
  return read_option(&ZConfig::cmd_pushthrough);
}

void trel_config_store::set_cmd_pushthrough(int value) {
  static const option_rule rule = {
      &ZConfig::cmd_pushthrough, false, true, trel_menu_check::select_last_command, false, false};
  apply_option(rule, value);
}

int trel_config_store::get_local_echo() const {
  return read_option(&ZConfig::local_echo);
}

void trel_config_store::set_local_echo(int value) {
  static const option_rule rule = {&ZConfig::local_echo,        false, true,
                                   trel_menu_check::local_echo, false, false};
  apply_option(rule, value);
}

int trel_config_store::get_cmd_separator() const {
  return read_option(&ZConfig::cmd_separator);
}

void trel_config_store::set_cmd_separator(int value) {
  static const option_rule rule = {
      &ZConfig::cmd_separator, false, true, trel_menu_check::command_separator, false, true};
  apply_option(rule, value);
}

int trel_config_store::get_button_tooltips() const {
  return read_option(&ZConfig::button_tooltips);
}

void trel_config_store::set_button_tooltips(int value) {
  static const option_rule rule = {&ZConfig::button_tooltips,   false, false,
                                   trel_menu_check::number_pad, false, false};
  apply_option(rule, value);
}

int trel_config_store::get_direction_button_enable() const {
  return read_option(&ZConfig::direction_button_enable);
}

void trel_config_store::set_direction_button_enable(int value) {
  static const option_rule rule = {&ZConfig::direction_button_enable,  true, true,
                                   trel_menu_check::direction_buttons, true, true};
  apply_option(rule, value);
}

int trel_config_store::get_hint_button_enable() const {
  return read_option(&ZConfig::hint_button_enable);
}

void trel_config_store::set_hint_button_enable(int value) {
  static const option_rule rule = {&ZConfig::hint_button_enable,  true, true,
                                   trel_menu_check::hint_buttons, true, true};
  apply_option(rule, value);
}

int trel_config_store::get_fkey_button_display() const {
  return read_option(&ZConfig::fkey_button_display);
}

void trel_config_store::set_fkey_button_display(int value) {
  static const option_rule rule = {&ZConfig::fkey_button_display,         true, true,
                                   trel_menu_check::function_key_buttons, true, true};
  apply_option(rule, value);
}

int trel_config_store::get_status_bar() const {
  return read_option(&ZConfig::status_bar);
}

void trel_config_store::set_status_bar(int value) {
  static const option_rule rule = {&ZConfig::status_bar,        true, true,
                                   trel_menu_check::status_bar, true, true};
  if (!begin_option(rule, value))
    return;
  if (window().is_logged_in())
    window().show_status_bar(value != 0);
  end_option(rule);
}

int trel_config_store::get_sky_bar() const {
  return read_option(&ZConfig::sky_bar);
}

void trel_config_store::set_sky_bar(int value) {
  static const option_rule rule = {&ZConfig::sky_bar,        true, true,
                                   trel_menu_check::sky_bar, true, true};
  if (!begin_option(rule, value))
    return;
  if (window().is_logged_in())
    window().show_sky_bar(value != 0);
  end_option(rule);
}

int trel_config_store::get_exp_display() const {
  return read_option(&ZConfig::exp_display);
}

void trel_config_store::set_exp_display(int value) {
  static const option_rule rule = {&ZConfig::exp_display,    true, true,
                                   trel_menu_check::exp_bar, true, true};
  if (!begin_option(rule, value))
    return;
  show_status_display_for_bars();
  end_option(rule);
}

int trel_config_store::get_hpbar_enable() const {
  return read_option(&ZConfig::hpbar_enable);
}

void trel_config_store::set_hpbar_enable(int value) {
  static const option_rule rule = {&ZConfig::hpbar_enable,  true, true,
                                   trel_menu_check::hp_bar, true, true};
  if (!begin_option(rule, value))
    return;
  show_status_display_for_bars();
  end_option(rule);
}

int trel_config_store::get_enemy_hpbar_enable() const {
  return read_option(&ZConfig::enemy_hpbar_enable);
}

void trel_config_store::set_enemy_hpbar_enable(int value) {
  static const option_rule rule = {&ZConfig::enemy_hpbar_enable,  true, true,
                                   trel_menu_check::enemy_hp_bar, true, true};
  if (!begin_option(rule, value))
    return;
  show_status_display_for_bars();
  end_option(rule);
}

int trel_config_store::get_popup_display() const {
  return read_option(&ZConfig::popup_display);
}

void trel_config_store::set_popup_display(int value) {
  static const option_rule rule = {&ZConfig::popup_display,        true, true,
                                   trel_menu_check::popup_buttons, true, true};
  apply_option(rule, value);
}

int trel_config_store::get_mw_scrollbar_enable() const {
  return read_option(&ZConfig::mw_scrollbar_enable);
}

void trel_config_store::set_mw_scrollbar_enable(int value) {
  static const option_rule rule = {&ZConfig::mw_scrollbar_enable,   true,  true,
                                   trel_menu_check::main_scrollbar, false, false};
  if (!begin_option(rule, value))
    return;
  window().show_main_scrollbar(value != 0);
  end_option(rule);
}

int trel_config_store::get_locking_scrollback_enable() const {
  return read_option(&ZConfig::locking_scrollback_enable);
}

void trel_config_store::set_locking_scrollback_enable(int value) {
  static const option_rule rule = {&ZConfig::locking_scrollback_enable, false, true,
                                   trel_menu_check::locking_scrollback, false, false};
  apply_option(rule, value);
}

int trel_config_store::get_group_status_display() const {
  return read_option(&ZConfig::group_status_display);
}

void trel_config_store::set_group_status_display(int value) {
  static const option_rule rule = {&ZConfig::group_status_display, true, false,
                                   trel_menu_check::number_pad,    true, true};
  if (!begin_option(rule, value))
    return;
  window().check_menu_choice(trel_menu_choice::group_display, value);
  if (value == 0)
    window().hide_group_display();
  end_option(rule);
}

int trel_config_store::get_group_status_inverted_bars() const {
  return read_option(&ZConfig::group_status_inverted_bars);
}

void trel_config_store::set_group_status_inverted_bars(int value) {
  static const option_rule rule = {&ZConfig::group_status_inverted_bars, false, true,
                                   trel_menu_check::bar_invert,          false, false};
  apply_option(rule, value);
}

int trel_config_store::get_current_layout() const {
  return read_option(&ZConfig::current_layout);
}

void trel_config_store::set_current_layout(int value) {
  static const option_rule rule = {&ZConfig::current_layout,    true,  false,
                                   trel_menu_check::number_pad, false, true};
  if (!begin_option(rule, value))
    return;
  window().check_menu_choice(trel_menu_choice::layout, value);
  // apply_layout_change re-lays out the window itself.
  window().apply_layout_change();
  end_option(rule);
}

int trel_config_store::get_current_theme() const {
  return read_option(&ZConfig::current_theme);
}

void trel_config_store::set_current_theme(int value) {
  static const option_rule rule = {&ZConfig::current_theme,     true,  false,
                                   trel_menu_check::number_pad, false, true};
  if (!begin_option(rule, value))
    return;
  window().check_menu_choice(trel_menu_choice::button_colors, value);
  window().apply_theme_change(0);
  end_option(rule);
}

int trel_config_store::get_current_background_theme() const {
  return read_option(&ZConfig::current_background_theme);
}

void trel_config_store::set_current_background_theme(int value) {
  static const option_rule rule = {&ZConfig::current_background_theme, true,  false,
                                   trel_menu_check::number_pad,        false, true};
  if (!begin_option(rule, value))
    return;
  window().check_menu_choice(trel_menu_choice::background_colors, value);
  window().apply_theme_change(1);
  end_option(rule);
}

int trel_config_store::get_font_colors_setting() const {
  return read_option(&ZConfig::font_colors_setting);
}

void trel_config_store::set_font_colors_setting(int value) {
  static const option_rule rule = {&ZConfig::font_colors_setting, false, false,
                                   trel_menu_check::number_pad,   false, true};
  apply_option(rule, value);
}

int trel_config_store::get_theme_bg_setting() const {
  return read_option(&ZConfig::theme_bg_setting);
}

void trel_config_store::set_theme_bg_setting(int value) {
  static const option_rule rule = {&ZConfig::theme_bg_setting,  true,  false,
                                   trel_menu_check::number_pad, false, true};
  if (!begin_option(rule, value))
    return;
  window().check_menu_choice(trel_menu_choice::background_styles, value);
  window().apply_theme_change(1);
  end_option(rule);
}

int trel_config_store::get_automap_docked() const {
  return read_option(&ZConfig::automap_docked);
}

void trel_config_store::set_automap_docked(int value) {
  static const option_rule rule = {&ZConfig::automap_docked,    false, false,
                                   trel_menu_check::number_pad, false, true};
  apply_option(rule, value);
}

int trel_config_store::get_automap_display() const {
  return read_option(&ZConfig::automap_display);
}

void trel_config_store::set_automap_display(int value) {
  static const option_rule rule = {&ZConfig::automap_display,   false, false,
                                   trel_menu_check::number_pad, false, true};
  apply_option(rule, value);
}

int trel_config_store::get_automap_size() const {
  return read_option(&ZConfig::automap_size);
}

void trel_config_store::set_automap_size(int value) {
  static const option_rule rule = {&ZConfig::automap_size,      false, false,
                                   trel_menu_check::number_pad, false, false};
  apply_option(rule, value);
}

int trel_config_store::get_input_height() const {
  return read_option(&ZConfig::input_height);
}

void trel_config_store::set_input_height(int value) {
  static const option_rule rule = {&ZConfig::input_height,      false, false,
                                   trel_menu_check::number_pad, false, false};
  apply_option(rule, value);
}

int trel_config_store::get_channel_window_enable() const {
  return read_option(&ZConfig::channel_window_enable);
}

void trel_config_store::set_channel_window_enable(int value) {
  static const option_rule rule = {&ZConfig::channel_window_enable, true, false,
                                   trel_menu_check::number_pad,     true, true};
  if (!begin_option(rule, value))
    return;
  window().enable_channel_window(value != 0);
  end_option(rule);
}

int trel_config_store::get_channel_window_height() const {
  return read_option(&ZConfig::channel_window_height);
}

void trel_config_store::set_channel_window_height(int value) {
  static const option_rule rule = {&ZConfig::channel_window_height, false, false,
                                   trel_menu_check::number_pad,     false, false};
  apply_option(rule, value);
}

int trel_config_store::get_channel_window_dupe() const {
  return read_option(&ZConfig::channel_window_dupe);
}

void trel_config_store::set_channel_window_dupe(int value) {
  static const option_rule rule = {&ZConfig::channel_window_dupe, false, false,
                                   trel_menu_check::number_pad,   false, true};
  apply_option(rule, value);
}

int trel_config_store::get_colorflash_enable() const {
  return read_option(&ZConfig::colorflash_enable);
}

void trel_config_store::set_colorflash_enable(int value) {
  static const option_rule rule = {&ZConfig::colorflash_enable,   false, true,
                                   trel_menu_check::colour_flash, false, true};
  apply_option(rule, value);
}
