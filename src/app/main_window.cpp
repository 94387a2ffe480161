// Construction of the main frame, its timers and its close handling.
#include "app/main_window.h"

#include "app/shared_fonts.h"
#include "support/debug_log.h"
#include "text/ansi_display.h"
#include "widgets/embedded_window.h"

#include <cstdlib>

#ifndef QUENMAR_GAME_HOST
#define QUENMAR_GAME_HOST "localhost"
#endif

trel_mw *main_window = nullptr;

trel_mw::trel_mw(const wxString &title, const wxPoint &position, const wxSize &size)
    : wxFrame(nullptr, wxID_ANY, title, position, size), main_timer(this, ID_MAIN_TIMER),
      ping_timer(this, ID_PING_TIMER), save_timer(this, ID_SAVE_TIMER) {
  main_window = this;
  SetBackgroundColour(wxColour(0, 0, 0));
  session = std::make_unique<trel_session>(*this, QUENMAR_GAME_HOST);

  main_text = new trel_main_window(this);
  main_text->set_text_font(main_font);
  main_text->transfer_focus = [this] { return transfer_focus_main(); };
  output_pane = main_text;
  Bind(wxEVT_SIZE, &trel_mw::OnResize, this);
  relayout();
  Bind(wxEVT_TIMER, &trel_mw::OnTimer, this, ID_MAIN_TIMER);
  Bind(wxEVT_TIMER, &trel_mw::OnPingTimer, this, ID_PING_TIMER);
  Bind(wxEVT_TIMER, &trel_mw::OnSaveTimer, this, ID_SAVE_TIMER);
  Bind(wxEVT_CLOSE_WINDOW, &trel_mw::OnClose, this);

  // Last acts of construction: mark it finished, then start the timers.
  loop.set_constructed();
  main_timer.Start(trel_main_loop::TICK_MS);
  ping_timer.Start(trel_main_loop::PING_MS);
  save_timer.Start(trel_main_loop::SAVE_MS);
  delayed_initialization();
}

trel_mw::~trel_mw() {
  main_timer.Stop();
  ping_timer.Stop();
  save_timer.Stop();
  main_window = nullptr;
}

void trel_mw::delayed_initialization() {
  // The audio output opens here once it exists.
}

void trel_mw::OnTimer(wxTimerEvent &) {
  if (!destroying)
    loop.tick(*this);
}

void trel_mw::OnPingTimer(wxTimerEvent &) {
  // A ping goes out here while logged in, once the connection exists.
}

void trel_mw::OnSaveTimer(wxTimerEvent &) { save_settings(); }

void trel_mw::save_settings() {
  // Popup geometry and the system configuration are saved here once they exist.
}

void trel_mw::give_input_focus() { transfer_focus_main(); }
void trel_mw::socket_handler() { session->socket_handler(); }
void trel_mw::animation_tick(int milliseconds) {
  trel_embedded_window::animation_tick(milliseconds);
}
bool trel_mw::logged_in() { return session->state() == trel_session::logged_in; }
void trel_mw::send_status_record() {}

void trel_mw::show_deferred_message(const char *text) {
  session->begin_client_message();
  session->print_local(text);
  main_text->refresh_display();
}

void trel_mw::open_link(const char *) {}

bool trel_mw::transfer_focus_main() { return false; }

void trel_mw::OnResize(wxSizeEvent &event) {
  relayout();
  event.Skip();
}

void trel_mw::relayout() {
  if (!main_text)
    return;
  int width = 0, height = 0;
  GetClientSize(&width, &height);
  main_text->set_geometry(0, 0, width, height);
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
