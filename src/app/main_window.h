// trel_mw: the main frame. It owns every pane and the server connection, and
// drives the session from its three timers through trel_main_loop.
#pragma once
#include "app/main_loop.h"
#include "session/session.h"

#include <wx/frame.h>
#include <wx/timer.h>

#include <memory>

class trel_main_window;
class trel_ansi_display;

class trel_mw : public wxFrame, public trel_tick_target, public trel_session_host {
public:
  trel_mw(const wxString &title, const wxPoint &position, const wxSize &size);
  ~trel_mw() override;

  // Starts the 10-tick countdown to the orderly exit.
  void system_shutdown_handler() { loop.system_shutdown_handler(); }
  trel_main_loop &main_loop() { return loop; }
  trel_session &connection() { return *session; }
  trel_main_window *main_pane() { return main_text; }
  // Places every pane in the client area.
  void relayout();
  // Gives the keyboard focus to the input line; false when it could not.
  bool transfer_focus_main();

  // trel_tick_target
  void give_input_focus() override;
  void socket_handler() override;
  void animation_tick(int milliseconds) override;
  bool logged_in() override;
  void send_status_record() override;
  void show_deferred_message(const char *text) override;
  void open_link(const char *url) override;
  void orderly_exit() override;
  void forced_exit() override;

  // trel_session_host
  void main_print_local(const char *text) override;
  void main_ansi_code(int code) override;
  void main_reset_ansi_state() override;
  void main_refresh() override;
  void main_ensure_following() override;
  void main_clear() override;
  void begin_piece() override;
  void end_piece() override;
  void server_text(const char *text, int length) override;
  void ring_bell() override;
  void enter_password_mode() override;
  void leave_password_mode() override;
  bool is_echo_allowed() override;
  void set_history_bank(int bank) override;
  void show_history() override;
  bool local_echo_enabled() override;
  bool command_separator_enabled() override;
  bool system_audio_enabled() override;
  void set_title(const char *title) override;
  void connect_started() override;
  void connection_ended() override;
  void reconnect_buttons() override;
  void character_logged_in(const char *name) override;
  void system_shutdown() override { system_shutdown_handler(); }
  void show_keyboard_help() override;
  void show_version() override;
  void fill_debug_text() override;
  void clear_channels() override;
  void ping_measured(int milliseconds) override;
  void mark_status_dirty() override { loop.mark_status_dirty(); }
  const char *client_uuid() override;
  void set_client_uuid(const char *uuid) override;
  void panel_record(trel_tag tag, const char *name, const char *data, int length) override;
  void colour_flash(const char *data) override;
  void direction_buttons(int enable, int exits) override;
  bool redirect_to_popup(const char *name, bool replace) override;
  void end_redirection(bool replaced) override;
  void channel_diversion(bool on, const char *data) override;

private:
  enum { ID_MAIN_TIMER = 1, ID_PING_TIMER, ID_SAVE_TIMER };

  void OnTimer(wxTimerEvent &event);
  void OnPingTimer(wxTimerEvent &event);
  void OnSaveTimer(wxTimerEvent &event);
  void OnClose(wxCloseEvent &event);
  void OnResize(wxSizeEvent &event);
  // Records popup geometry and saves the system configuration.
  void save_settings();
  void delayed_initialization();

  trel_main_loop loop;
  std::unique_ptr<trel_session> session;
  trel_main_window *main_text = nullptr;
  // Where server text goes: the main pane, or a popup's pane while diverted.
  trel_ansi_display *output_pane = nullptr;
  std::string uuid;
  wxTimer main_timer;
  wxTimer ping_timer;
  wxTimer save_timer;
  bool destroying = false;
};

// The one main window, for code that has no window at hand (nullptr before
// construction and after destruction).
extern trel_mw *main_window;
