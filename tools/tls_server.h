// The game side of a connection, for the test and demo servers: a listening
// socket on the loopback address, server connections (TLS or plain) over
// non-blocking descriptors, and throwaway self-signed certificates.
#pragma once

#include <string>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

// Ignores SIGPIPE for the whole process: a server writing to a client that has
// vanished must get EPIPE, not die. (The client does the same at start-up.)
void trel_ignore_broken_pipe();

// Writes a fresh self-signed certificate for "localhost" and its private key
// as "cert.pem" and "key.pem" into directory (which must exist). Returns 1 and
// the two paths, or 0 with a reason in *error.
int trel_make_test_certificate(const std::string &directory, std::string *certificate_path,
                               std::string *key_path, std::string *error);

// A TLS server context holding a certificate and key read from PEM files.
class trel_tls_server_context {
public:
  trel_tls_server_context() = default;
  ~trel_tls_server_context();
  trel_tls_server_context(const trel_tls_server_context &) = delete;
  trel_tls_server_context &operator=(const trel_tls_server_context &) = delete;

  // 1 when the certificate and key were loaded and match, else 0 with a reason in *error.
  int load(const std::string &certificate_path, const std::string &key_path, std::string *error);
  // The context, or nullptr before a successful load. Owned by this object.
  SSL_CTX *get() const { return context; }

private:
  SSL_CTX *context = nullptr;
};

// A listening TCP socket on 127.0.0.1 with SO_REUSEADDR.
class trel_tls_listener {
public:
  trel_tls_listener() = default;
  ~trel_tls_listener() { close(); }
  trel_tls_listener(const trel_tls_listener &) = delete;
  trel_tls_listener &operator=(const trel_tls_listener &) = delete;

  // Listens on port (0: the kernel picks one). 1 on success, 0 with a reason in *error.
  int open(int port, int backlog, std::string *error);
  // The port actually bound (useful after open(0)), or 0 when not open.
  int port() const { return bound_port; }
  int descriptor() const { return listen_descriptor; }
  // Waits up to timeout_ms (negative: no limit) for a connection and returns
  // its descriptor, non-blocking and close-on-exec and owned by the caller, or
  // -1 on time-out or failure.
  int accept_connection(int timeout_ms);
  void close();

private:
  int listen_descriptor = -1;
  int bound_port = 0;
};

// One accepted connection, TLS or plain, over a non-blocking descriptor.
class trel_tls_connection {
public:
  trel_tls_connection() = default;
  ~trel_tls_connection() { close_now(); }
  trel_tls_connection(const trel_tls_connection &) = delete;
  trel_tls_connection &operator=(const trel_tls_connection &) = delete;

  // Takes ownership of descriptor; a null context makes a plain connection
  // (whose handshake is complete at once). 1 on success, 0 on failure (the
  // descriptor is closed then).
  int attach(int descriptor, SSL_CTX *context);
  // One step of the server handshake without waiting: 1 done, 0 wants more
  // (see poll_events), -1 failed.
  int handshake_step();
  // The whole handshake within timeout_ms: 1 done, 0 time-out, -1 failed.
  int handshake(int timeout_ms);
  bool handshake_done() const { return handshaken; }

  // Reads what has arrived: bytes (> 0), 0 when nothing is there now, -1 when
  // the client closed the connection or it broke.
  int read_some(char *buffer, int size);
  // Writes what the socket takes now: bytes taken (0 or more), -1 on failure.
  int write_some(const char *data, int size);
  // Writes everything within timeout_ms: 1 done, 0 time-out or failure.
  int write_all(const char *data, int size, int timeout_ms);
  // Waits up to timeout_ms for one whole line; 1 with the line (without its
  // "\n", any "\r" kept as sent), 0 on time-out, -1 when the connection ended.
  int read_line(std::string *line, int timeout_ms);

  // The poll events the connection waits for next: what the handshake or a
  // TLS read asks for, plus POLLOUT when want_output is set.
  short poll_events(bool want_output) const;
  int descriptor() const { return fd; }
  bool is_open() const { return fd != -1; }

  // Ends the connection in an orderly way: a TLS close notification (TLS
  // only), the end of our stream, then close.
  void close_orderly();
  // Ends the connection with a reset (SO_LINGER 0): the client sees
  // ECONNRESET rather than an end of stream.
  void reset();
  // Closes the descriptor without any farewell.
  void close_now();

private:
  int wait(short events, int timeout_ms);

  int fd = -1;
  SSL *ssl = nullptr;
  bool handshaken = false;
  bool ssl_wants_write = false;
  std::string pending_input;
};
