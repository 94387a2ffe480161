// Construction of the main frame, its timers, its close handling and the
// tick's work.
#include "app/main_window.h"

#include "config/config_store.h"
#include "app/shared_fonts.h"
#include "config/status_record.h"
#include "input/input_window.h"
#include "input/line_edit.h"
#include "support/debug_log.h"
#include "text/ansi_display.h"
#include "widgets/font.h"

#include <cstdlib>

#ifndef QUENMAR_GAME_HOST
#define QUENMAR_GAME_HOST "localhost"
#endif

trel_mw *main_window = nullptr;

trel_mw::trel_mw(const wxString &title, const wxPoint &position, const wxSize &size)
    : trel_frame(nullptr, wxID_ANY, title, position, size), main_timer(this, ID_MAIN_TIMER),
      ping_timer(this, ID_PING_TIMER), save_timer(this, ID_SAVE_TIMER) {
  main_window = this;
  session = std::make_unique<trel_session>(*this, QUENMAR_GAME_HOST);

  input_pane = new trel_input_window(this, "main input window", *this, main_font);
  main_text = new trel_main_window(this);
  output_pane = main_text;
  main_text->transfer_focus = [this] { return transfer_focus_main(main_text); };
  site_font = std::make_unique<trel_font>(9, wxFONTFAMILY_TELETYPE, wxFONTSTYLE_NORMAL,
                                          wxFONTWEIGHT_NORMAL, true);

  SetBackgroundColour(wxColour(0, 0, 0));
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  main_text->set_text_font(main_font);
  main_text->set_scrollbar_setting(trel_config().get_mw_scrollbar_enable());
  trel_config().set_observer(this);

  Bind(wxEVT_TIMER, &trel_mw::OnTimer, this, ID_MAIN_TIMER);
  Bind(wxEVT_TIMER, &trel_mw::OnPingTimer, this, ID_PING_TIMER);
  Bind(wxEVT_TIMER, &trel_mw::OnSaveTimer, this, ID_SAVE_TIMER);
  Bind(wxEVT_CLOSE_WINDOW, &trel_mw::OnClose, this);
  Bind(wxEVT_SIZE, &trel_mw::OnResize, this);
  Bind(wxEVT_PAINT, &trel_mw::OnPaint, this);
  Bind(wxEVT_ERASE_BACKGROUND, [](wxEraseEvent &) {});
  Bind(wxEVT_LEFT_DOWN, &trel_mw::OnMouse, this);
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent &) { transfer_focus_main(this); });

  relayout();
  Refresh(false);

  // Last acts of construction: mark it finished, then start the timers.
  loop.set_constructed();
  main_timer.Start(trel_main_loop::TICK_MS);
  ping_timer.Start(trel_main_loop::PING_MS);
  save_timer.Start(trel_main_loop::SAVE_MS);
  delayed_initialization();
  loop.request_focus();
}

trel_mw::~trel_mw() {
  main_timer.Stop();
  ping_timer.Stop();
  save_timer.Stop();
  trel_config().set_observer(nullptr);
  main_window = nullptr;
}

void trel_mw::delayed_initialization() {
  // The audio output opens here once it exists.
}

void trel_mw::OnTimer(wxTimerEvent &) {
  if (!destroying)
    loop.tick(*this);
}

void trel_mw::OnPingTimer(wxTimerEvent &) { session->send_ping(); }

void trel_mw::OnSaveTimer(wxTimerEvent &) { save_settings(); }

void trel_mw::save_settings() { trel_config().save_system_config_file(); }

void trel_mw::give_input_focus() {
  if (input_pane && wxWindow::FindFocus() != &input_pane->line_edit())
    input_pane->line_edit().SetFocus();
}

void trel_mw::socket_handler() { session->socket_handler(); }

void trel_mw::animation_tick(int milliseconds) {
  trel_embedded_window::animation_tick(milliseconds);
}

bool trel_mw::logged_in() { return session->state() == trel_session::logged_in; }

void trel_mw::send_status_record() {
  const trel_config_store &c = trel_config();
  std::string record = compose_zvlstatus(c.system, c.get_current_char_cfg());
  session->process_command(record.c_str(), false);
}

void trel_mw::show_deferred_message(const char *text) {
  session->begin_client_message();
  session->print_local(text);
  main_text->refresh_display();
}

void trel_mw::open_link(const char *url) {
  // The browser is started through the shell; the link is quoted so that
  // nothing in it is taken as a command.
  std::string quoted;
  for (const char *p = url; *p; p++)
    if (*p != '"' && *p != '\\' && *p != '$' && *p != '`')
      quoted += *p;
  std::string command = "firefox \"" + quoted + "\" &";
  if (system(command.c_str()) != 0 && debug_level >= 2)
    trel_client_debug_printf("Warning in trel_mw::open_link(), unable to start the browser.\n");
}

bool trel_mw::transfer_focus_main(wxWindow *window) {
  if (!window) {
    if (debug_level >= 2)
      trel_client_debug_printf("Error in transfer_focus_main() - null w?\n");
    return false;
  }
  for (wxWindow *w = window; w; w = w->GetParent()) {
    // Frames that float on their parent (the map frame, popups) keep the focus.
    if (w->GetWindowStyleFlag() & wxFRAME_FLOAT_ON_PARENT)
      return false;
    if (w == this) {
      if (!input_pane)
        return false;
      input_pane->line_edit().SetFocus();
      loop.request_focus();
      return true;
    }
  }
  if (window->GetParent()) {
    window->GetParent()->SetFocus();
    return true;
  }
  return false;
}

void trel_mw::orderly_exit() {
  save_settings();
  destroying = true;
  Destroy();
}

void trel_mw::forced_exit() { std::exit(0); }

void trel_mw::OnClose(wxCloseEvent &event) {
  if (loop.exit_countdown() != 1 && event.CanVeto()) {
    // Until the exit dialogs exist, a close goes straight to the orderly exit.
    event.Veto();
    loop.system_shutdown_handler();
    return;
  }
  save_settings();
  destroying = true;
  Destroy();
}
