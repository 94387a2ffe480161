// The TCP/TLS socket: descriptor ownership, the connect state machine, the
// TLS handshake and the plain and TLS read and write paths.
#include "net/tcp_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

#include "net/error_codes.h"
#include "net/ssl_startup.h"
#include "support/debug_log.h"

namespace {

constexpr int report_source = 8;

void report_error(const char *message) {
  trel_report(message, TREL_REPORT_ERROR, report_source);
}
void report_warning(const char *message) {
  trel_report(message, TREL_REPORT_WARNING, report_source);
}
void report_verbose(const char *message) {
  trel_report(message, TREL_REPORT_VERBOSE, report_source);
}

long long now_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A deadline is a steady-clock time in ms, or -1 for none.
long long deadline_after(int timeout_ms) {
  return timeout_ms < 0 ? -1 : now_ms() + timeout_ms;
}

// The poll time-out left until deadline: -1 waits without limit.
int remaining_ms(long long deadline) {
  if (deadline < 0)
    return -1;
  long long left = deadline - now_ms();
  if (left <= 0)
    return 0;
  return left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

// poll rather than select: select cannot watch a descriptor numbered 1024 or
// more without writing past its bit set, and a long-running client with many
// files and sounds open may well get such a number. POLLPRI plays the part of
// select's exception set. Returns poll's result with errno intact.
int wait_for(int descriptor, short events, int timeout_ms, short *revents) {
  pollfd entry;
  entry.fd = descriptor;
  entry.events = events;
  entry.revents = 0;
  int result = poll(&entry, 1, timeout_ms);
  *revents = entry.revents;
  return result;
}

bool is_want(int kind) {
  return kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE;
}

} // namespace

// ---------------------------------------------------------------------------
// trel_network_socket

bool trel_network_socket::create() {
  // Close-on-exec keeps the game connection out of the web browser the client
  // starts through the shell: a child holding the descriptor would keep the
  // connection open after the client closed it.
  descriptor = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  return descriptor != -1;
}

int trel_network_socket::connect(const sockaddr_in *address, socklen_t length) {
  int result = ::connect(descriptor, reinterpret_cast<const sockaddr *>(address), length);
  return result == 0 ? 0 : trel_map_socket_error(errno);
}

int trel_network_socket::read(void *buffer, int size) {
  ssize_t result = ::read(descriptor, buffer, static_cast<size_t>(size));
  return result >= 0 ? static_cast<int>(result) : trel_map_socket_error(errno);
}

int trel_network_socket::write(const void *data, int length) {
  // MSG_NOSIGNAL: a peer that has gone yields EPIPE here even in a process
  // that did not ignore SIGPIPE.
  ssize_t result = ::send(descriptor, data, static_cast<size_t>(length), MSG_NOSIGNAL);
  return result >= 0 ? static_cast<int>(result) : trel_map_socket_error(errno);
}

void trel_network_socket::close() {
  if (descriptor != -1) {
    ::close(descriptor);
    descriptor = -1;
  }
}

int trel_network_socket::set_blocking() {
  int flags = fcntl(descriptor, F_GETFL, 0);
  if (flags == -1 || fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) == -1) {
    report_error("Error in trel_network_socket::set_blocking(), setting blocking mode failed.");
    return 0;
  }
  return 1;
}

int trel_network_socket::set_nonblocking() {
  int flags = fcntl(descriptor, F_GETFL, 0);
  if (flags == -1 || fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) == -1) {
    report_error(
        "Error in trel_network_socket::set_nonblocking(), setting nonblocking mode failed.");
    return 0;
  }
  return 1;
}

// ---------------------------------------------------------------------------
// trel_tcp_socket: set-up and state

trel_tcp_socket::trel_tcp_socket() {
  memset(&remote_address, 0, sizeof remote_address);
}

trel_tcp_socket::~trel_tcp_socket() {
  if (socket.descriptor != -1) {
    report_error("Error in ~trel_tcp_socket(), socket not closed.");
    socket.close();
  }
  SSL_free(ssl);
}

int trel_tcp_socket::enable_ssl() {
  if (state != unconnected) {
    report_error("Error in trel_tcp_socket::enable_ssl(), socket not in unconnected state.");
    return 0;
  }
  ssl_enabled = 1;
  return 1;
}

int trel_tcp_socket::disable_ssl() {
  if (state != unconnected) {
    report_error("Error in trel_tcp_socket::disable_ssl(), socket not in unconnected state.");
    return 0;
  }
  ssl_enabled = 0;
  SSL_free(ssl);
  ssl = nullptr;
  return 1;
}

void trel_tcp_socket::drop_connection() {
  state = unconnected;
  socket.close();
}

void trel_tcp_socket::close() {
  drop_connection();
}

int trel_tcp_socket::get_state() {
  if (state == connecting)
    check_connect();
  return state;
}

// ---------------------------------------------------------------------------
// Connecting

int trel_tcp_socket::start_nonblocking_connect(const sockaddr_in *address, int port) {
  if (state == connecting || state == ssl_connecting) {
    write_error = TREL_SOCKET_IN_PROGRESS;
    return -1;
  }
  if (state == connected) {
    write_error = TREL_SOCKET_IS_CONNECTED;
    return -1;
  }
  // The port may come from the player ("connect <port>"): a number outside
  // the 16-bit range must not be cut down to some other port.
  if (!address || port < 0 || port > 65535) {
    write_error = TREL_SOCKET_BAD_ARGUMENT;
    return -1;
  }
  if (socket.descriptor != -1) {
    report_error("Error in trel_tcp_socket::start_nonblocking_connect(), socket not closed.");
    socket.close();
  }
  if (!socket.create()) {
    report_error(
        "Error in trel_tcp_socket::start_nonblocking_connect(), unable to create new socket?");
    write_error = TREL_SOCKET_NO_DESCRIPTORS;
    return -1;
  }
  state = connecting;
  memcpy(&remote_address, address, sizeof remote_address);
  remote_address.sin_family = AF_INET;
  remote_address.sin_port = htons(static_cast<uint16_t>(port));
  socket.set_nonblocking();

  int code = socket.connect(&remote_address, sizeof remote_address);
  if (code == 0 || code == TREL_SOCKET_IS_CONNECTED) {
    write_error = 0;
    return ssl_try_connect(0, -1);
  }
  write_error = code;
  if (trel_socket_error_is_transient(code) || code == TREL_SOCKET_ALREADY)
    return 0;
  drop_connection();
  return code;
}

// Settles a pending TCP connect once poll reported on it. Writability alone
// does not prove success: a refused or unreachable connect also wakes the
// descriptor, with the reason waiting in SO_ERROR. Reading it here reports the
// true cause at once instead of a mysterious failure at the first read or
// during the handshake. Returns 1 when the TCP connect is complete, -1 (closed,
// write_error set) when it failed, 0 when there is nothing to decide yet.
int trel_tcp_socket::connect_outcome(short revents) {
  if (revents & POLLPRI) {
    write_error = TREL_SOCKET_RESET;
    drop_connection();
    return -1;
  }
  int pending = 0;
  socklen_t length = sizeof pending;
  if (getsockopt(socket.descriptor, SOL_SOCKET, SO_ERROR, &pending, &length) == -1)
    pending = errno;
  if (pending != 0) {
    write_error = trel_map_socket_error(pending);
    drop_connection();
    return -1;
  }
  if (revents & POLLOUT)
    return 1;
  if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
    write_error = TREL_SOCKET_RESET;
    drop_connection();
    return -1;
  }
  return 0;
}

int trel_tcp_socket::blocking_connect(const sockaddr_in *address, int port, int timeout_ms) {
  long long deadline = deadline_after(timeout_ms);
  int result = start_nonblocking_connect(address, port);
  if (result == 1)
    return 1;
  if (result < 0)
    return -1;
  // A connect that completed at once may already be in the handshake.
  if (state == ssl_connecting)
    return finish_handshake(deadline);

  short revents = 0;
  int ready;
  // A signal that interrupts the wait does not end the connect: wait again
  // for the time that is left.
  do {
    ready = wait_for(socket.descriptor, POLLOUT | POLLPRI, remaining_ms(deadline), &revents);
  } while (ready == -1 && errno == EINTR);
  if (ready == -1) {
    write_error = TREL_SOCKET_OTHER_ERROR;
    drop_connection();
    return -1;
  }
  if (ready == 0) {
    write_error = TREL_SOCKET_TIMEOUT;
    drop_connection();
    return -1;
  }
  int outcome = connect_outcome(revents);
  if (outcome < 0)
    return -1;
  if (outcome == 0) {
    write_error = TREL_SOCKET_RESET;
    drop_connection();
    return -1;
  }
  return ssl_try_connect(1, deadline);
}

int trel_tcp_socket::check_connect() {
  if (state == connected) {
    write_error = TREL_SOCKET_IS_CONNECTED;
    return -1;
  }
  if (state == ssl_connecting)
    return ssl_retry_connect();
  if (state == unconnected) {
    write_error = TREL_SOCKET_NOT_CONNECTED;
    return -1;
  }
  short revents = 0;
  int ready = wait_for(socket.descriptor, POLLOUT | POLLPRI, 0, &revents);
  if (ready == -1) {
    int code = trel_map_socket_error(errno);
    write_error = code;
    if (trel_socket_error_is_transient(code))
      return 0;
    drop_connection();
    return -1;
  }
  if (ready == 0)
    return 0;
  int outcome = connect_outcome(revents);
  if (outcome <= 0)
    return outcome;
  return ssl_try_connect(0, -1);
}

int trel_tcp_socket::ssl_try_connect(int blocking, long long deadline) {
  if (!ssl_enabled) {
    state = connected;
    return 1;
  }
  if (state != connecting) {
    report_error("Error in trel_tcp_socket::ssl_try_connect(), socket not in connecting state.");
  } else {
    SSL_free(ssl);
    SSL_CTX *context = trel_ssl_context();
    ssl = context ? SSL_new(context) : nullptr;
    if (!ssl) {
      report_error("Unable to allocate SSL struct in trel_tcp_socket::ssl_try_connect(), did you "
                   "run trel_ssl_startup()?");
      report_ssl_error(0);
      return 0;
    }
    if (!SSL_set_cipher_list(ssl, TREL_SSL_CIPHER_LIST)) {
      report_error("Error in trel_tcp_socket::ssl_try_connect(), unable to set cipher list?");
    } else if (!SSL_set_fd(ssl, socket.descriptor)) {
      report_error("Error in trel_tcp_socket::ssl_try_connect(), set_fd failed?");
    } else {
      state = ssl_connecting;
      if (!blocking)
        return ssl_retry_connect();
      return finish_handshake(deadline);
    }
  }
  drop_connection();
  write_error = TREL_SOCKET_RESET;
  return -1;
}

// Drives the handshake to its end within the deadline. The descriptor stays
// non-blocking and each step waits in poll for what the handshake asks for:
// a peer that accepts the TCP connection but never answers the handshake must
// not hold the caller (the GUI thread, for the game connection) beyond its
// time-out.
int trel_tcp_socket::finish_handshake(long long deadline) {
  for (;;) {
    int result = ssl_retry_connect();
    if (result != 0)
      return result;
    short events = SSL_want_write(ssl) ? POLLOUT : POLLIN;
    short revents = 0;
    int ready = wait_for(socket.descriptor, events, remaining_ms(deadline), &revents);
    if (ready == -1 && errno == EINTR)
      continue;
    if (ready == -1) {
      write_error = TREL_SOCKET_OTHER_ERROR;
      drop_connection();
      return -1;
    }
    if (ready == 0) {
      report_warning("Warning in trel_tcp_socket::blocking_connect(), ssl handshake timed out.");
      write_error = TREL_SOCKET_TIMEOUT;
      drop_connection();
      return -1;
    }
  }
}

int trel_tcp_socket::ssl_retry_connect() {
  if (!ssl) {
    report_error("Error in trel_tcp_socket::ssl_retry_connect(), NULL ssl context?");
    write_error = TREL_SOCKET_RESET;
    return -1;
  }
  // A stale entry in the thread's error queue would make SSL_get_error report
  // a failure that did not happen in this call.
  ERR_clear_error();
  int result = SSL_connect(ssl);
  if (result > 0) {
    state = connected;
    return 1;
  }
  if (result == 0) {
    report_warning("Warning in trel_tcp_socket::ssl_retry_connect(), SSL connect failed due to "
                   "protocol issue.");
    write_error = TREL_SOCKET_RESET;
    return -1;
  }
  int kind = SSL_get_error(ssl, result);
  if (is_want(kind))
    return 0;
  if (kind == SSL_ERROR_ZERO_RETURN) {
    report_error("Controlled ssl close in trel_tcp_socket::ssl_retry_connect(), bailing.");
  } else {
    report_error("SSL connect failed in trel_tcp_socket::ssl_retry_connect().");
    report_ssl_error(kind);
  }
  write_error = TREL_SOCKET_RESET;
  return -1;
}

// ---------------------------------------------------------------------------
// Reading and writing

int trel_tcp_socket::nonblocking_read(void *buffer, int size) {
  if (state != connected) {
    read_error = TREL_SOCKET_NOT_CONNECTED;
    return -1;
  }
  if (!buffer || size <= 0)
    return 0;
  if (ssl) {
    ERR_clear_error();
    errno = 0;
    int result = SSL_read(ssl, buffer, size);
    int saved_errno = errno;
    if (result > 0)
      return result;
    int kind = SSL_get_error(ssl, result);
    if (is_want(kind))
      return 0;
    if (kind == SSL_ERROR_ZERO_RETURN ||
        (kind == SSL_ERROR_SYSCALL && trel_map_socket_error(saved_errno) == TREL_SOCKET_NO_ERROR)) {
      read_error = 0;
    } else {
      report_verbose("Unexpected ssl close in trel_tcp_socket::nonblocking_read().");
      read_error = TREL_SOCKET_RESET;
      report_ssl_error(kind);
    }
    drop_connection();
    return -1;
  }
  int result = socket.read(buffer, size);
  if (result > 0)
    return result;
  if (result == 0) {
    read_error = 0;
    drop_connection();
    return -1;
  }
  read_error = result;
  if (trel_socket_error_is_transient(result))
    return 0;
  drop_connection();
  return -1;
}

// OpenSSL reports a clean shutdown to a writer only when the peer's close
// notification has already been read, and this client reads only from its
// read calls, which close the socket on it. So when a write breaks on a
// system error, look whether that notification is what waits in the stream:
// SSL_peek consumes no application data. For this look a bare end of stream
// must not pass for the notification (the write has already taken the
// socket's reset error, so a reset now reads as an end of stream). 1 when the
// notification is there, else 0.
int trel_tcp_socket::peer_sent_close_notify() {
  char probe[1];
  uint64_t ignored_eof = SSL_get_options(ssl) & SSL_OP_IGNORE_UNEXPECTED_EOF;
  SSL_clear_options(ssl, SSL_OP_IGNORE_UNEXPECTED_EOF);
  ERR_clear_error();
  int result = SSL_peek(ssl, probe, sizeof probe);
  int clean = result <= 0 && SSL_get_error(ssl, result) == SSL_ERROR_ZERO_RETURN;
  SSL_set_options(ssl, ignored_eof);
  return clean;
}

int trel_tcp_socket::nonblocking_write(const void *data, int length) {
  if (state != connected) {
    write_error = TREL_SOCKET_NOT_CONNECTED;
    return -1;
  }
  if (!data || length <= 0)
    return 0;
  if (ssl) {
    ERR_clear_error();
    int result = SSL_write(ssl, data, length);
    if (result > 0)
      return result;
    int kind = SSL_get_error(ssl, result);
    if (is_want(kind))
      return 0;
    if (kind == SSL_ERROR_ZERO_RETURN || peer_sent_close_notify()) {
      write_error = 0;
      report_verbose("Clean SSL shutdown in trel_tcp_socket::nonblocking_write().");
    } else {
      write_error = TREL_SOCKET_RESET;
      report_verbose("Unexpected ssl close in trel_tcp_socket::nonblocking_write().");
    }
    drop_connection();
    return -1;
  }
  int result = socket.write(data, length);
  if (result >= 0)
    return result;
  write_error = result;
  if (trel_socket_error_is_transient(result))
    return 0;
  drop_connection();
  return -1;
}

int trel_tcp_socket::blocking_read(void *buffer, int size, int timeout_ms) {
  if (state != connected) {
    read_error = TREL_SOCKET_NOT_CONNECTED;
    return -1;
  }
  if (!buffer || size <= 0)
    return 0;
  if (ssl) {
    // The TLS layer may hold decrypted bytes that poll cannot see.
    int result = nonblocking_read(buffer, size);
    if (result != 0)
      return result;
  }
  short revents = 0;
  int ready = wait_for(socket.descriptor, POLLIN | POLLPRI, timeout_ms, &revents);
  if (ready == 0)
    return 0;
  if (ready == -1) {
    int code = trel_map_socket_error(errno);
    if (trel_socket_error_is_transient(code))
      return 0;
    read_error = code;
    drop_connection();
    return -1;
  }
  if (revents & POLLPRI) {
    read_error = TREL_SOCKET_RESET;
    drop_connection();
    return -1;
  }
  // An error or hang-up is left to the read, which names it precisely.
  if (revents & (POLLIN | POLLERR | POLLHUP))
    return nonblocking_read(buffer, size);
  return 0;
}

int trel_tcp_socket::blocking_write(const void *data, int length, int timeout_ms) {
  if (state != connected) {
    write_error = TREL_SOCKET_NOT_CONNECTED;
    return -1;
  }
  if (!data || length <= 0)
    return 0;
  short revents = 0;
  int ready = wait_for(socket.descriptor, POLLOUT | POLLPRI, timeout_ms, &revents);
  if (ready == 0)
    return 0;
  if (ready == -1) {
    // An interrupting signal is no reason to give up the connection.
    if (errno == EINTR)
      return 0;
    write_error = TREL_SOCKET_OTHER_ERROR;
    drop_connection();
    return -1;
  }
  if (revents & POLLPRI) {
    write_error = TREL_SOCKET_RESET;
    drop_connection();
    return -1;
  }
  if (revents & (POLLOUT | POLLERR | POLLHUP))
    return nonblocking_write(data, length);
  return 0;
}
