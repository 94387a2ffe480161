// trel_mw's side of the server session: the main pane for client messages,
// the routing of server text, and the receivers of tagged records.
#include "app/main_window.h"

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

// The input line arrives with its own issue; until then typed text is not hidden.
void trel_mw::enter_password_mode() {}
void trel_mw::leave_password_mode() {}
bool trel_mw::is_echo_allowed() { return true; }
void trel_mw::set_history_bank(int) {}
void trel_mw::show_history() {}

bool trel_mw::local_echo_enabled() { return true; }
bool trel_mw::command_separator_enabled() { return true; }
bool trel_mw::system_audio_enabled() { return false; }

void trel_mw::set_title(const char *title) { SetTitle(wxString::FromUTF8(title)); }

void trel_mw::connect_started() {}
void trel_mw::connection_ended() {
  output_pane = main_text;
  relayout();
  Refresh(false);
}
void trel_mw::reconnect_buttons() {}
void trel_mw::character_logged_in(const char *) { relayout(); }

void trel_mw::show_keyboard_help() {}
void trel_mw::show_version() {}
void trel_mw::fill_debug_text() {}
void trel_mw::clear_channels() {}
void trel_mw::ping_measured(int) {}

const char *trel_mw::client_uuid() { return uuid.c_str(); }
void trel_mw::set_client_uuid(const char *new_uuid) { uuid = new_uuid ? new_uuid : ""; }

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
