// trel_mw: the main frame. It owns every pane and the server connection,
// drives the session from its three timers through trel_main_loop, places
// its panes, and is the host of the session, the input line and the
// configuration store.
#pragma once
#include "app/background_cache.h"
#include "app/layout_placement.h"
#include "app/layout_steps.h"
#include "app/main_loop.h"
#include "config/config_observer.h"
#include "input/input_host.h"
#include "session/session.h"
#include "widgets/embedded_window.h"

#include <wx/bitmap.h>
#include <wx/timer.h>

#include <memory>

class trel_main_window;
class trel_ansi_display;
class trel_input_window;
class trel_font;

class trel_mw : public trel_frame,
                public trel_tick_target,
                public trel_session_host,
                public trel_input_host,
                public trel_config_observer {
public:
  trel_mw(const wxString &title, const wxPoint &position, const wxSize &size);
  ~trel_mw() override;

  // Starts the 10-tick countdown to the orderly exit.
  void system_shutdown_handler() { loop.system_shutdown_handler(); }
  trel_main_loop &main_loop() { return loop; }
  trel_session &connection() { return *session; }
  trel_main_window *main_pane() { return main_text; }
  // Places every pane in the client area (trel_config_observer too).
  void relayout() override;
  void rebuild_background(bool force);
  // Gives the keyboard focus back to the input line after a click in window;
  // false when the focus stays where it is (a floating frame, no window).
  bool transfer_focus_main(wxWindow *window);
  void shrink_input();
  void grow_input();

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

  // trel_input_host
  bool main_is_locked() override;
  void main_lock_if_following() override;
  void main_page_up() override;
  void main_page_down() override;
  void main_scroll_up(int lines) override;
  void main_scroll_down(int lines) override;
  bool main_has_selection() override { return false; }
  void main_clear_selection() override {}
  bool channel_is_locked() override { return false; }
  void channel_unlock() override {}
  void channel_clear_selection() override {}
  void process_command(const char *line, bool echo) override;
  void send_line(const char *text) override;
  bool is_logged_in() override { return logged_in(); }
  bool setting_enabled(const char *key) override;
  void toggle_setting(const char *key) override;
  void step_setting(const char *key, int delta) override;
  void step_font_size(int delta) override;
  void step_automap_size(int) override {}
  void toggle_popup_window(int) override {}

  // trel_config_observer
  void show_main_scrollbar(int on) override;
  void apply_main_font() override;
  void apply_layout_change() override;
  void apply_theme_change(int force_background) override;

private:
  enum { ID_MAIN_TIMER = 1, ID_PING_TIMER, ID_SAVE_TIMER };

  void OnTimer(wxTimerEvent &event);
  void OnPingTimer(wxTimerEvent &event);
  void OnSaveTimer(wxTimerEvent &event);
  void OnClose(wxCloseEvent &event);
  void OnResize(wxSizeEvent &event);
  void OnPaint(wxPaintEvent &event);
  void OnMouse(wxMouseEvent &event);
  // Records popup geometry and saves the system configuration.
  void save_settings();
  void delayed_initialization();
  trel_layout_input layout_input(int width, int height) const;
  void print_rule();

  trel_main_loop loop;
  std::unique_ptr<trel_session> session;
  trel_input_window *input_pane = nullptr;
  trel_main_window *main_text = nullptr;
  // Where server text goes: the main pane, or a popup's pane while diverted.
  trel_ansi_display *output_pane = nullptr;
  wxTimer main_timer;
  wxTimer ping_timer;
  wxTimer save_timer;
  bool destroying = false;

  trel_resize_guard resize_guard;
  trel_background background;
  // The client area composed from the background, logo and web site line.
  std::unique_ptr<trel_bitmap> client_area;
  wxBitmap client_bitmap;
  bool client_area_stale = true;
  std::unique_ptr<trel_font> site_font;
};

// The one main window, for code that has no window at hand (nullptr before
// construction and after destruction).
extern trel_mw *main_window;
