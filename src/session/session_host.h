// What the server session needs from the window that owns it: the main pane,
// the input line, the settings and the panels that receive tagged records.
#pragma once
#include "session/tag_table.h"

class trel_session_host {
public:
  virtual ~trel_session_host() = default;

  // The main pane, for the client's own messages.
  virtual void main_print_local(const char *text) = 0;
  virtual void main_ansi_code(int code) = 0;
  virtual void main_reset_ansi_state() = 0;
  virtual void main_refresh() = 0;
  virtual void main_ensure_following() = 0;
  virtual void main_clear() = 0;

  // Server text: a received piece begins and ends (panes repaint once per
  // piece), text runs in between go to the current output pane.
  virtual void begin_piece() = 0;
  virtual void end_piece() = 0;
  virtual void server_text(const char *text, int length) = 0;
  virtual void ring_bell() = 0;

  // The input line.
  virtual void enter_password_mode() = 0;
  virtual void leave_password_mode() = 0;
  virtual bool is_echo_allowed() = 0;
  virtual void set_history_bank(int bank) = 0;
  virtual void show_history() = 0;

  // Settings read by the command path.
  virtual bool local_echo_enabled() = 0;
  virtual bool command_separator_enabled() = 0;
  virtual bool system_audio_enabled() = 0;

  // The window around the session.
  virtual void set_title(const char *title) = 0;
  virtual void connect_started() = 0;          // hint buttons cleared
  virtual void connection_ended() = 0;         // panels, buttons, map and popups reset
  virtual void reconnect_buttons() = 0;        // only "Connect" and "Quit" hint buttons
  virtual void character_logged_in(const char *name) = 0; // settings, panes, layout
  virtual void system_shutdown() = 0;
  virtual void show_keyboard_help() = 0;
  virtual void show_version() = 0;
  virtual void fill_debug_text() = 0;
  virtual void clear_channels() = 0;
  virtual void ping_measured(int milliseconds) = 0;
  virtual void mark_status_dirty() = 0;
  virtual const char *client_uuid() = 0;
  virtual void set_client_uuid(const char *uuid) = 0;

  // Records whose receivers are panels (bars, map, buttons, popups, channels,
  // sound, display settings, colour flash).
  virtual void panel_record(trel_tag tag, const char *name, const char *data, int length) = 0;
  virtual void colour_flash(const char *data) = 0;
  virtual void direction_buttons(int enable, int exits) = 0; // enable: 1 on, 0 off, -1 unchanged
  // Text redirection into popup windows; false when no popup has that name.
  virtual bool redirect_to_popup(const char *name, bool replace) = 0;
  virtual void end_redirection(bool replaced) = 0;
  virtual void channel_diversion(bool on, const char *data) = 0;
};
