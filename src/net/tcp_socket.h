// The client's network transport: an IPv4 TCP stream socket that runs plain
// or inside TLS, with non-blocking calls for the main timer and blocking
// calls (bounded by a time-out) for the download threads.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

typedef struct ssl_st SSL;

// A thin owner of one socket descriptor; -1 when none is open. Results of the
// system calls are passed through, failures as codes of net/error_codes.h.
class trel_network_socket {
public:
  trel_network_socket() = default;
  ~trel_network_socket() { close(); }
  trel_network_socket(const trel_network_socket &) = delete;
  trel_network_socket &operator=(const trel_network_socket &) = delete;

  // Opens an AF_INET stream socket; true on success.
  bool create();
  // The system connect; 0 or the error code.
  int connect(const sockaddr_in *address, socklen_t length);
  // Bytes read (0 at end of stream) or the error code.
  int read(void *buffer, int size);
  // Bytes written or the error code.
  int write(const void *data, int length);
  // Closes the descriptor if one is open.
  void close();
  // Clear or set O_NONBLOCK; 1 on success, 0 (reported) on failure.
  int set_blocking();
  int set_nonblocking();

  int descriptor = -1;
};

class trel_tcp_socket {
public:
  // The state is a single bit so callers can test it with masks; the values
  // are part of the interface.
  enum { unconnected = 1, connecting = 2, ssl_connecting = 4, connected = 8 };

  trel_tcp_socket();
  ~trel_tcp_socket();
  trel_tcp_socket(const trel_tcp_socket &) = delete;
  trel_tcp_socket &operator=(const trel_tcp_socket &) = delete;

  // Switch TLS on or off for the next connect. 1 done, 0 refused (only
  // allowed while unconnected).
  int enable_ssl();
  int disable_ssl();

  // Starts connecting to address at port without waiting. 1 connected (with
  // TLS: handshake complete), 0 under way, negative failure.
  int start_nonblocking_connect(const sockaddr_in *address, int port);
  // Connects and, with TLS, completes the handshake, all within timeout_ms
  // (negative: no limit). 1 connected, 0 only when the TLS object could not be
  // made, -1 failure (see write_error).
  int blocking_connect(const sockaddr_in *address, int port, int timeout_ms);
  // Advances a connect under way without waiting. 1 connected, 0 under way, -1 failure.
  int check_connect();
  // The state, after advancing a pending TCP connect.
  int get_state();

  // Bytes read (more than 0), 0 when nothing is there now, -1 when the
  // connection is gone (already closed; read_error 0 means an orderly close).
  int nonblocking_read(void *buffer, int size);
  // Bytes accepted (possibly fewer than offered), 0 when nothing could be
  // sent now, -1 when the connection is gone (already closed).
  int nonblocking_write(const void *data, int length);
  // As the non-blocking calls, but wait up to timeout_ms (negative: no limit)
  // for the socket to become ready; 0 also means the time-out passed.
  int blocking_read(void *buffer, int size, int timeout_ms);
  int blocking_write(const void *data, int length, int timeout_ms);

  // Back to unconnected with the descriptor closed. The TLS object is kept
  // until the next connect, disable_ssl or destruction.
  void close();

  // The last error code of the receive side; 0 after an orderly close.
  int read_error = 0;
  // The last error code of connect, the completion check and the send side.
  int write_error = 0;

private:
  int ssl_try_connect(int blocking, long long deadline);
  int ssl_retry_connect();
  int finish_handshake(long long deadline);
  int connect_outcome(short revents);
  int peer_sent_close_notify();
  void drop_connection();

  SSL *ssl = nullptr;
  int ssl_enabled = 0;
  trel_network_socket socket;
  sockaddr_in remote_address;
  int state = unconnected;
};
