// The connection lifecycle: connect, service each tick, disconnect, ping.
#include "session/session.h"

#include "net/host_lookup.h"
#include "support/debug_log.h"

#include <cstring>

trel_session::trel_session(trel_session_host &h, const char *server_host, int server_port)
    : host(h), game_host(server_host ? server_host : ""), game_port(server_port) {}

bool trel_session::is_connected() {
  return (socket.get_state() & trel_tcp_socket::connected) != 0;
}

void trel_session::append_outgoing(const char *bytes, int length) {
  int free_space = OUTGOING_SIZE - outgoing_used;
  if (length >= free_space) {
    if (debug_level >= 2)
      trel_client_debug_printf(
          "Error in append_outgoing_string() - not enough space in outgoing buffer?\n");
    length = free_space;
  }
  if (length <= 0)
    return;
  memcpy(outgoing + outgoing_used, bytes, length);
  outgoing_used += length;
}

void trel_session::append_outgoing_string(const char *text) {
  if (text)
    append_outgoing(text, static_cast<int>(strlen(text)));
}

void trel_session::send_line(const char *text) {
  append_outgoing_string(text);
  append_outgoing_string("\n");
}

void trel_session::socket_connect(int port) {
  if (port <= 0)
    port = game_port;
  socket.enable_ssl();
  host.connect_started();
  begin_client_message();
  print_local("\n");
  print_local("Connecting to server...\n");

  sockaddr_in address;
  memset(&address, 0, sizeof(address));
  if (!lookup_host_address(game_host.c_str(), &address)) {
    disconnect_with_message("Unable to look up address for game server.");
    host.main_refresh();
    return;
  }
  if (debug_level >= 2)
    trel_client_debug_printf(
        "trel_mw::socket_connect() - dns lookup ok, address '%s', port %d.\n", game_host.c_str(),
        port);
  if (socket.blocking_connect(&address, port, CONNECT_TIMEOUT_MS) < 0) {
    socket.close();
    disconnect_with_message("Unable to connect to server.");
    host.main_refresh();
    return;
  }
  if (debug_level >= 2)
    trel_client_debug_printf("trel_mw::socket_connect() - socket connect ok.\n");
  parser.reset();
  outgoing_used = 0;
  append_outgoing_string("_Zolvent ");
  append_outgoing_string(host.client_uuid());
  append_outgoing_string(" ");
  append_outgoing_string(CLIENT_VERSION);
  append_outgoing_string("\n");
  host.main_refresh();
  host.set_history_bank(1);
}

void trel_session::socket_handler() {
  if (!started) {
    started = true;
    socket_connect(0);
  }
  int socket_state = socket.get_state();
  if (!up) {
    if (socket_state & trel_tcp_socket::connected)
      up = true;
    return;
  }
  if (!(socket_state & trel_tcp_socket::connected)) {
    if (debug_level >= 1)
      trel_client_debug_printf("trel_mw::socket_handler() - abnormal connection failure?\n");
    disconnect_with_message("Connection to server lost.");
    up = false;
    return;
  }

  // Reading until the socket is empty would hold the GUI thread for as long
  // as the server keeps the socket full: a flood of output would freeze the
  // panes and the input line. After the budget the rest waits in the socket
  // (or in the TLS buffer, which the next read empties first) for the next
  // tick, and the toolkit repaints and takes keys in between.
  const auto read_start = std::chrono::steady_clock::now();
  int got;
  while ((got = socket.nonblocking_read(read_buffer, READ_SIZE)) > 0) {
    process_socket_data(read_buffer, got);
    if (std::chrono::steady_clock::now() - read_start >=
        std::chrono::milliseconds(TICK_READ_BUDGET_MS))
      break;
  }
  if (got < 0) {
    disconnect_with_message(socket.read_error == 0 ? "Connection closed by server."
                                                   : "Connection to server lost.");
    up = false;
  }
  write_outgoing();
}

void trel_session::write_outgoing() {
  if (outgoing_used <= 0)
    return;
  int sent = socket.nonblocking_write(outgoing, outgoing_used);
  if (sent < 0) {
    disconnect_with_message("Connection to server lost.");
    up = false;
  } else if (sent > 0 && sent < outgoing_used) {
    memmove(outgoing, outgoing + sent, outgoing_used - sent);
    outgoing_used -= sent;
  } else if (sent >= outgoing_used) {
    outgoing_used = 0;
  }
}

void trel_session::print_reconnect_hint(const char *message) {
  host.main_ansi_code(0);
  host.main_ansi_code(0x37);
  print_local("\n");
  print_local("\n");
  print_local(message);
  print_local("\n");
  print_local("\n");
  print_local("To log in again, type '");
  host.main_ansi_code(1);
  host.main_ansi_code(0x33);
  print_local("connect");
  host.main_ansi_code(0);
  host.main_ansi_code(0x37);
  print_local("' or use the ");
  host.main_ansi_code(1);
  host.main_ansi_code(0x33);
  print_local("File / Connect");
  host.main_ansi_code(0);
  host.main_ansi_code(0x37);
  print_local(" menu option.\n");
  print_local("\n");
  host.main_refresh();
}

void trel_session::disconnect_with_message(const char *message) {
  // Clearing the up flag here too keeps "//disconnect" from being taken for a
  // lost connection (and reported a second time) at the next tick.
  up = false;
  socket.close();
  parser.reset();
  outgoing_used = 0;
  host.set_history_bank(0);
  session = not_logged_in;
  host.set_title("Quenmar");
  host.connection_ended();
  print_reconnect_hint(message ? message : "");
  host.reconnect_buttons();
}

void trel_session::send_ping() {
  if (session != logged_in)
    return;
  send_line("zvping");
  ping_sent = std::chrono::steady_clock::now();
}

void trel_session::ping_reply() {
  auto elapsed = std::chrono::steady_clock::now() - ping_sent;
  long long micros = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
  host.ping_measured(static_cast<int>(micros / 1000));
}

void trel_session::process_socket_data(const unsigned char *bytes, int length) {
  host.begin_piece();
  parser.process(bytes, length, *this);
  host.end_piece();
}

void trel_session::deliver_text(const char *text, int length) { host.server_text(text, length); }

void trel_session::dispatch_tag(const char *name, const char *data, int length) {
  process_tagged_data(name, data, length);
}

void trel_session::begin_client_message() {
  host.main_ensure_following();
  host.main_reset_ansi_state();
  print_local("\n");
  parser.reset_with_names();
}
