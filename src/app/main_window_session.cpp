// trel_mw's side of the server session: the main pane for client messages,
// the routing of server text, and the receivers of tagged records.
#include "app/main_window.h"

#include "config/config_store.h"
#include "app/shared_fonts.h"
#include "input/input_window.h"
#include "input/line_edit.h"
#include "support/debug_log.h"
#include "text/ansi_display.h"

#include <wx/utils.h>

void trel_mw::main_print_local(const char *text) { main_text->add_text(text); }
void trel_mw::main_ansi_code(int code) { main_text->process_ansi_code(code); }
void trel_mw::main_reset_ansi_state() { main_text->reset_ansi_state(); }
void trel_mw::main_refresh() { main_text->refresh_display(); }
void trel_mw::main_ensure_following() { main_text->ensure_following(); }
void trel_mw::main_clear() { main_text->clear_display(); }

void trel_mw::begin_piece() {
  main_text->clear_text_received();
  if (output_pane != main_text)
    output_pane->clear_text_received();
}

void trel_mw::end_piece() {
  // Each pane that received text repaints once per received piece.
  if (main_text->get_text_received())
    main_text->refresh_display();
  if (output_pane != main_text && output_pane->get_text_received())
    output_pane->refresh_display();
}

void trel_mw::server_text(const char *text, int length) {
  output_pane->process_ansi_text(text, length);
}

void trel_mw::ring_bell() { wxBell(); }

void trel_mw::enter_password_mode() { input_pane->line_edit().enter_password_mode(); }
void trel_mw::leave_password_mode() { input_pane->line_edit().leave_password_mode(); }
bool trel_mw::is_echo_allowed() { return input_pane->line_edit().is_echo_allowed(); }
void trel_mw::set_history_bank(int bank) { input_pane->line_edit().set_history_bank(bank); }
void trel_mw::show_history() { input_pane->line_edit().show_history(); }

bool trel_mw::local_echo_enabled() { return trel_config().get_local_echo() != 0; }
bool trel_mw::command_separator_enabled() { return trel_config().get_cmd_separator() != 0; }
bool trel_mw::system_audio_enabled() { return trel_config().GetSystemAudio() != 0; }

// Server text is single-byte; a name that is not UTF-8 must still show.
void trel_mw::set_title(const char *title) { SetTitle(wxString(title, wxConvISO8859_1)); }

void trel_mw::connect_started() {}
void trel_mw::connection_ended() {
  output_pane = main_text;
  relayout();
  Refresh(false);
}
void trel_mw::reconnect_buttons() {}
void trel_mw::character_logged_in(const char *name) {
  if (name)
    trel_config().use_character_config(name);
  relayout();
  Refresh(false);
}

void trel_mw::fill_debug_text() { main_text->fill_debug_text(); }
void trel_mw::clear_channels() {}
void trel_mw::ping_measured(int) {}

const char *trel_mw::client_uuid() { return trel_config().get_uuid(); }
void trel_mw::set_client_uuid(const char *new_uuid) { trel_config().set_uuid(new_uuid); }

// Records whose panels do not exist yet are consumed without effect.
void trel_mw::panel_record(trel_tag, const char *, const char *, int) {}
void trel_mw::colour_flash(const char *) {}
void trel_mw::direction_buttons(int, int) {}

bool trel_mw::redirect_to_popup(const char *, bool) {
  output_pane = main_text;
  return false;
}

void trel_mw::end_redirection(bool) {
  output_pane->refresh_display();
  output_pane = main_text;
}

void trel_mw::channel_diversion(bool, const char *) {}

// The input line's view of the main pane and the command path.
bool trel_mw::main_is_locked() { return !main_text->is_following(); }
void trel_mw::main_lock_if_following() { main_text->lock_if_following(); }
void trel_mw::main_page_up() { main_text->page_up(); }
void trel_mw::main_page_down() { main_text->page_down(); }
void trel_mw::main_scroll_up(int lines) { main_text->scroll_up(lines); }
void trel_mw::main_scroll_down(int lines) { main_text->scroll_down(lines); }
void trel_mw::process_command(const char *line, bool echo) { session->process_command(line, echo); }
void trel_mw::send_line(const char *text) { session->send_line(text); }

bool trel_mw::setting_enabled(const char *key) {
  const trel_config_store &c = trel_config();
  std::string k = key ? key : "";
  if (k == "keypad_walking")
    return c.get_keypad_walking() != 0;
  if (k == "cmd_pushthrough")
    return c.get_cmd_pushthrough() != 0;
  if (k == "locking_scrollback_enable")
    return c.get_locking_scrollback_enable() != 0;
  return false;
}

void trel_mw::toggle_setting(const char *key) {
  trel_config_store &c = trel_config();
  std::string k = key ? key : "";
  if (k == "automap_display")
    c.set_automap_display(!c.get_automap_display());
  else if (k == "group_status_display")
    c.set_group_status_display(c.get_group_status_display() ? 0 : 1);
  else if (k == "hpbar_enable")
    c.set_hpbar_enable(!c.get_hpbar_enable());
  else if (k == "enemy_hpbar_enable")
    c.set_enemy_hpbar_enable(!c.get_enemy_hpbar_enable());
  else if (k == "exp_display")
    c.set_exp_display(!c.get_exp_display());
  else if (k == "fkey_button_display")
    c.set_fkey_button_display(!c.get_fkey_button_display());
  else if (k == "popup_display")
    c.set_popup_display(!c.get_popup_display());
  else if (k == "mw_scrollbar_enable")
    c.set_mw_scrollbar_enable(!c.get_mw_scrollbar_enable());
}

void trel_mw::step_setting(const char *key, int delta) {
  std::string k = key ? key : "";
  if (k == "input_height") {
    if (delta < 0)
      shrink_input();
    else
      grow_input();
  } else if (k == "channel_window_height") {
    trel_config_store &c = trel_config();
    c.set_channel_window_height(delta < 0
                                    ? trel_shrink_channel_window_height(c.get_channel_window_height())
                                    : trel_grow_channel_window_height(c.get_channel_window_height()));
    relayout();
  }
}

void trel_mw::step_font_size(int delta) {
  int size = main_font->GetPointSize() + delta;
  if (size < 3)
    size = 3;
  main_font->SetPointSize(size);
  trel_config().store_main_font(nullptr, size);
  apply_main_font();
}

void trel_mw::apply_main_font() {
  main_text->set_text_font(main_font);
  input_pane->line_edit().set_font(main_font);
  input_pane->line_edit().apply_input_style();
  relayout();
}

void trel_mw::show_main_scrollbar(int on) {
  main_text->set_scrollbar_setting(on);
  main_text->force_layout();
}
