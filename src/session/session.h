// trel_session: the one connection to the game server. It opens the TLS
// socket, queues and sends lines, frames what arrives, dispatches records,
// runs the command path and keeps the session state. The main window owns it
// and implements trel_session_host.
#pragma once
#include "net/tcp_socket.h"
#include "session/session_host.h"
#include "session/stream_parser.h"

#include <chrono>
#include <string>

class trel_session : public trel_stream_sink {
public:
  static constexpr int OUTGOING_SIZE = 10000;
  static constexpr int READ_SIZE = 10000;
  // The longest one tick spends reading (see socket_handler).
  static constexpr int TICK_READ_BUDGET_MS = 15;
  static constexpr int DEFAULT_PORT = 3102;
  static constexpr int CONNECT_TIMEOUT_MS = 5000;
  static constexpr const char *CLIENT_VERSION = "1.095-gtk-rc5";

  enum session_state { not_logged_in = 0, creating = 1, logged_in = 2, logged_off = 3 };

  // The game port is DEFAULT_PORT in the client; tests pass their server's.
  trel_session(trel_session_host &host, const char *game_host, int game_port = DEFAULT_PORT);
  ~trel_session() { socket.close(); }

  // Opens the connection; a port of 0 or less means the game port.
  void socket_connect(int port);
  // Services the connection once per tick; the first call connects.
  void socket_handler();
  void disconnect_with_message(const char *message);
  // Queues raw bytes; what does not fit in the 10000-byte buffer is lost.
  void append_outgoing_string(const char *text);
  void send_line(const char *text);
  void send_ping();
  void ping_reply();

  void process_socket_data(const unsigned char *bytes, int length);
  void process_tagged_data(const char *name, const char *data, int length);
  // The command path for every line sent to the server; echo is true for
  // what the player typed or clicked.
  void process_command(const char *line, bool echo);

  // A message of the client's own: releases the scroll lock, resets colours,
  // starts a new line and resets the parser.
  void begin_client_message();
  void print_local(const char *text) { host.main_print_local(text); }

  int state() const { return session; }
  void set_state(int s) { session = s; }
  bool is_up() const { return up; }
  bool is_connected();
  const char *outgoing_bytes() const { return outgoing; }
  int outgoing_length() const { return outgoing_used; }

  // trel_stream_sink
  void deliver_text(const char *text, int length) override;
  void dispatch_tag(const char *name, const char *data, int length) override;
  void ring_bell() override { host.ring_bell(); }
  void enter_password_mode() override { host.enter_password_mode(); }
  void leave_password_mode() override { host.leave_password_mode(); }

private:
  void append_outgoing(const char *bytes, int length);
  void write_outgoing();
  void print_reconnect_hint(const char *message);
  void local_echo(const char *line);
  bool run_client_command(const char *line);
  void help_screen();
  void debug_status();
  void debug_level_command(const char *argument);
  void debug_file_command(const char *argument);
  void login(const char *data);
  void dirs(const char *data);
  void event(const char *data);
  void redirect(const char *name, bool replace);

  trel_session_host &host;
  std::string game_host;
  int game_port;
  trel_tcp_socket socket;
  trel_stream_parser parser;
  char outgoing[OUTGOING_SIZE];
  int outgoing_used = 0;
  unsigned char read_buffer[READ_SIZE];
  bool started = false;
  bool up = false;
  int session = not_logged_in;
  std::chrono::steady_clock::time_point ping_sent = std::chrono::steady_clock::now();
};
