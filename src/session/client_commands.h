// Recognition of the client's own "//" commands and of the words that mean
// something while disconnected.
#pragma once

enum class trel_client_command {
  none, // not a client command: the line goes to the server
  commands,
  help,
  version,
  break_line,
  history,
  quit,
  disconnect,
  clear,
  chanclear,
  ping,
  echo,
  debuglevel,
  debugfilename,
  debugfill,
  icons,
  soundtest
};

// The first client command the line's first word matches, in the fixed test
// order; "zvping" and "//ping" count only while logged in.
trel_client_command match_client_command(const char *line, bool logged_in);

enum class trel_offline_word { none, connect, quit };

// What a line typed while disconnected asks for; for connect, *port gets the
// second word as a number (0, the default port, when missing or not a number).
trel_offline_word match_offline_word(const char *line, int *port);
