// trel_mw: the main frame. It owns every pane and the server connection, and
// drives the session from its three timers through trel_main_loop.
#pragma once
#include "app/main_loop.h"

#include <wx/frame.h>
#include <wx/timer.h>

class trel_mw : public wxFrame, public trel_tick_target {
public:
  trel_mw(const wxString &title, const wxPoint &position, const wxSize &size);
  ~trel_mw() override;

  // Starts the 10-tick countdown to the orderly exit.
  void system_shutdown_handler() { loop.system_shutdown_handler(); }
  trel_main_loop &main_loop() { return loop; }

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

private:
  enum { ID_MAIN_TIMER = 1, ID_PING_TIMER, ID_SAVE_TIMER };

  void OnTimer(wxTimerEvent &event);
  void OnPingTimer(wxTimerEvent &event);
  void OnSaveTimer(wxTimerEvent &event);
  void OnClose(wxCloseEvent &event);
  // Records popup geometry and saves the system configuration.
  void save_settings();
  void delayed_initialization();

  trel_main_loop loop;
  wxTimer main_timer;
  wxTimer ping_timer;
  wxTimer save_timer;
  bool destroying = false;
};

// The one main window, for code that has no window at hand (nullptr before
// construction and after destruction).
extern trel_mw *main_window;
