// The command path: local echo, the client's own "//" commands, and the words
// that mean something while disconnected.
#include "session/client_commands.h"
#include "session/session.h"

#include "support/debug_log.h"
#include "support/text_utils.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char *HELP_LINES[] = {
    "\n",
    "\nZolvent Control Commands -------------------------------",
    "\n//commands               - this help screen",
    "\n//help                   - show keyboard shortcuts",
    "\n//version                - show client/server versions",
    "\n//break                  - send TTY *break*",
    "\n//history                - show recent client history",
    "\n//ping                   - check/update ping time",
    "\n//debug                  - display/change debug level",
    "\n//debugfile              - change name of debug file",
    "\n//cclear                 - quick clear of channel windows",
    "\n//clear                  - quick clear of all backscroll",
    "\n//quit                   - quick program exit",
    "\n//disconnect             - quick disconnect",
    "\n",
    "\nCommands Used While Disconnected -----------------------",
    "\nconnect <port>           - connect on a specified port",
    "\nquit                     - quick program exit",
    "\n",
};

} // namespace

void trel_session::local_echo(const char *line) {
  bool separator = host.command_separator_enabled() && line[0];
  host.main_reset_ansi_state();
  print_local("\n");
  if (separator)
    print_local("\n");
  host.main_ansi_code(1);
  host.main_ansi_code(0x33);
  print_local(">");
  host.main_reset_ansi_state();
  print_local(line);
  host.main_ansi_code(1);
  host.main_ansi_code(0x33);
  print_local("<");
  if (separator) {
    host.main_ansi_code(1);
    host.main_ansi_code(0x37);
    print_local(("\n" + std::string(73, '-')).c_str());
  }
  host.main_reset_ansi_state();
  host.main_refresh();
}

void trel_session::process_command(const char *line, bool echo) {
  if (!line)
    return;
  if (echo && host.local_echo_enabled() && host.is_echo_allowed())
    local_echo(line);
  if (run_client_command(line))
    return;
  if (is_connected()) {
    send_line(line);
    return;
  }
  int port = 0;
  switch (match_offline_word(line, &port)) {
  case trel_offline_word::connect:
    socket_connect(port);
    break;
  case trel_offline_word::quit:
    host.system_shutdown();
    break;
  case trel_offline_word::none:
    break;
  }
}

// Runs the client command the line names; false when it names none.
bool trel_session::run_client_command(const char *line) {
  const char *rest = next_arg(line);
  switch (match_client_command(line, session == logged_in)) {
  case trel_client_command::none:
    return false;
  case trel_client_command::commands:
    help_screen();
    break;
  case trel_client_command::help:
    host.show_keyboard_help();
    break;
  case trel_client_command::version:
    host.show_version();
    break;
  case trel_client_command::break_line:
    send_line("\x03");
    host.main_ensure_following();
    break;
  case trel_client_command::history:
    host.show_history();
    break;
  case trel_client_command::quit:
    host.system_shutdown();
    break;
  case trel_client_command::disconnect:
    disconnect_with_message("Disconnecting.");
    break;
  case trel_client_command::clear:
    host.main_clear();
    host.main_refresh();
    break;
  case trel_client_command::chanclear:
    host.clear_channels();
    host.main_refresh();
    break;
  case trel_client_command::ping:
    send_ping();
    break;
  case trel_client_command::echo:
    print_local("\n");
    if (rest)
      print_local(rest);
    host.main_refresh();
    break;
  case trel_client_command::debuglevel:
    debug_level_command(rest);
    break;
  case trel_client_command::debugfilename:
    debug_file_command(rest);
    break;
  case trel_client_command::debugfill:
    host.fill_debug_text();
    host.main_refresh();
    break;
  case trel_client_command::icons:
    process_tagged_data("icons", rest ? rest : "", 1);
    host.main_refresh();
    break;
  case trel_client_command::soundtest:
    process_tagged_data("sound", rest ? rest : "", 1);
    host.main_refresh();
    break;
  }
  return true;
}

void trel_session::help_screen() {
  host.main_reset_ansi_state();
  for (const char *text : HELP_LINES)
    print_local(text);
  host.main_refresh();
}

void trel_session::debug_status() {
  char text[TREL_TEXT_SIZE];
  print_local("\n");
  const char *path = trel_client_get_debug_logfile_path();
  if (trel_client_debug_logfile_failed()) {
    print_local("\n");
    print_local("Debug logging is currently DISABLED - unable to open debug file.\n");
    print_local("The failed filename is:  ");
    print_local(path ? path : "");
    print_local("\n");
  } else {
    snprintf(text, sizeof(text), "The current debug level is:     %d\n", debug_level);
    print_local(text);
    print_local("The current debug filename is:  ");
    print_local(path ? path : "");
  }
  print_local("\n");
}

void trel_session::debug_level_command(const char *argument) {
  if (!argument) {
    debug_status();
    print_local("\n");
    print_local("To change the debug level, you must give a number between 0 and 3.\n");
    print_local("\n");
    return;
  }
  long value = 0;
  if (!parse_number(argument, &value))
    value = 0;
  int old_level = debug_level;
  debug_level = static_cast<int>(value);
  char text[TREL_TEXT_SIZE];
  snprintf(text, sizeof(text), "Debug level changed from %d to %d.\n", old_level, debug_level);
  print_local("\n");
  print_local(text);
  print_local("\n");
}

void trel_session::debug_file_command(const char *argument) {
  if (!argument) {
    debug_status();
    print_local("\n");
    print_local("You must give a filename to change the debug file.\n");
    print_local("\n");
    return;
  }
  // The file name is the first word of the argument.
  std::string name(argument, strcspn(argument, " \t\n"));
  const char *current = trel_client_get_debug_logfile_path();
  std::string remembered = current ? current : "";
  if (trel_client_debug_logfile_is_open())
    trel_client_debug_logfile_close();
  trel_client_set_debug_logfile_name(name.c_str());
  const char *message;
  if (!trel_client_debug_logfile_failed()) {
    message = "Debug logfile changed.\n";
  } else if (!remembered.empty()) {
    trel_client_set_debug_logfile_name(remembered.c_str());
    message = trel_client_debug_logfile_failed()
                  ? "Unable to open new logfile, and could not re-open old logfile.  No logfile "
                    "currently set.\n"
                  : "Unable to open new logfile, old logfile not changed.\n";
  } else {
    message = "Unable to open logfile.  Please try again with a different name/path.\n";
  }
  print_local("\n");
  print_local(message);
  print_local("\n");
}
