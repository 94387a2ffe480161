// The client's own reports in the main pane: the keyboard help and the
// version report, both between two highlighted rules.
#include "app/command_line.h"
#include "app/main_window.h"
#include "support/config_dir.h"
#include "text/ansi_display.h"

namespace {

constexpr const char *KEYBOARD_LINES[] = {
    "\nPgUp/PgDn         - lock and scroll the screen (any other key to unlock)",
    "\nEscape            - erase current line",
    "\nControl C         - (break) erase current line and stop all aliases",
    "\nControl \\         - (abort) erase current line and stop all aliases",
    "\nControl K         - erase/kill current line",
    "\nControl M         - toggle automap window",
    "\nControl P         - toggle hitpoint display bar",
    "\nControl S         - freeze screen scrolling",
    "\nControl Z         - freeze screen scrolling",
    "\nControl Q         - unfreeze screen scrolling",
    "\nControl -         - decrease font size",
    "\nControl +         - increase font size",
    "\nControl [         - decrease automap size",
    "\nControl ]         - increase automap size",
    "\nControl {         - decrease input window size",
    "\nControl }         - increase input window size",
    "\nControl 1-9       - quick open/close of popup windows",
    "\nControl-Shift 1-9 - quick enable/disable of various features",
};

} // namespace

// The highlighted rule that frames the client's reports.
void trel_mw::print_rule() {
  main_text->process_ansi_code(1);
  main_text->process_ansi_code(0x33);
  main_text->add_text("\n=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=");
  main_text->process_ansi_code(0);
  main_text->process_ansi_code(0x37);
}

void trel_mw::show_keyboard_help() {
  session->begin_client_message();
  main_text->add_text("\n");
  print_rule();
  main_text->add_text("\nKeyboard controls you can use with this client:");
  main_text->add_text("\n");
  for (const char *line : KEYBOARD_LINES)
    main_text->add_text(line);
  if (logged_in())
    main_text->add_text("\nF1-F12            - trigger aliases 'f01' through 'f12'");
  main_text->add_text("\nUp/Down           - look through previous commands");
  print_rule();
  main_text->add_text("\n");
  main_text->refresh_display();
}

void trel_mw::show_version() {
  session->begin_client_message();
  main_text->add_text("\n");
  print_rule();
  main_text->add_text("\nQuenmar Client Version: ");
  main_text->add_text(trel_session::CLIENT_VERSION);
  if (launcher_version[0]) {
    main_text->add_text("\nLauncher Version:          ");
    main_text->add_text(launcher_version);
  }
  main_text->add_text("\nClient config directory:   ");
  const char *directory = trel_client_get_config_directory();
  main_text->add_text(directory ? directory : "");
  main_text->add_text("\n");
  print_rule();
  main_text->add_text("\n");
  if (logged_in())
    session->send_line("version");
  else
    main_text->add_text("\nUnable to retrieve server version.");
  main_text->refresh_display();
}
