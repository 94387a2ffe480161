// Listening socket, server connections and throwaway certificates for the
// game-side test and demo servers.
#include "tls_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

std::string oldest_ssl_error() {
  char text[256];
  ERR_error_string_n(ERR_get_error(), text, sizeof text);
  return text;
}

long long now_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int remaining_ms(long long deadline) {
  if (deadline < 0)
    return -1;
  long long left = deadline - now_ms();
  if (left <= 0)
    return 0;
  return left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

bool set_nonblocking(int descriptor) {
  int flags = fcntl(descriptor, F_GETFL, 0);
  return flags != -1 && fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != -1;
}

// Writes one PEM object to path with the given permissions; true on success.
template <typename writer_function>
bool write_pem_file(const std::string &path, mode_t mode, writer_function write) {
  int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (descriptor == -1)
    return false;
  FILE *file = fdopen(descriptor, "w");
  if (!file) {
    ::close(descriptor);
    return false;
  }
  bool written = write(file);
  return fclose(file) == 0 && written;
}

} // namespace

void trel_ignore_broken_pipe() {
  signal(SIGPIPE, SIG_IGN);
}

int trel_make_test_certificate(const std::string &directory, std::string *certificate_path,
                               std::string *key_path, std::string *error) {
  std::string fail_reason;
  // An elliptic-curve key: made in a moment, and every cipher list the
  // client accepts has suites for it.
  EVP_PKEY *key = EVP_EC_gen("P-256");
  X509 *certificate = X509_new();
  std::string certificate_file = directory + "/cert.pem";
  std::string key_file = directory + "/key.pem";
  bool ok = key && certificate;
  if (ok) {
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), static_cast<long>(now_ms() & 0x7fffffff));
    // Valid from an hour ago, so a clock a little behind does not matter.
    X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 30L * 24 * 3600);
    X509_NAME *name = X509_get_subject_name(certificate);
    ok = X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                    reinterpret_cast<const unsigned char *>("localhost"), -1, -1,
                                    0) == 1 &&
         X509_set_issuer_name(certificate, name) == 1 && X509_set_pubkey(certificate, key) == 1 &&
         X509_sign(certificate, key, EVP_sha256()) > 0;
    if (!ok)
      fail_reason = "building the certificate failed: " + oldest_ssl_error();
  } else {
    fail_reason = "making the key failed: " + oldest_ssl_error();
  }
  if (ok) {
    ok = write_pem_file(key_file, 0600, [key](FILE *file) {
      return PEM_write_PrivateKey(file, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
    });
    if (ok)
      ok = write_pem_file(certificate_file, 0644, [certificate](FILE *file) {
        return PEM_write_X509(file, certificate) == 1;
      });
    if (!ok)
      fail_reason = "writing the PEM files in '" + directory + "' failed: " + strerror(errno);
  }
  X509_free(certificate);
  EVP_PKEY_free(key);
  if (!ok) {
    if (error)
      *error = fail_reason;
    return 0;
  }
  if (certificate_path)
    *certificate_path = certificate_file;
  if (key_path)
    *key_path = key_file;
  return 1;
}

// ---------------------------------------------------------------------------

trel_tls_server_context::~trel_tls_server_context() {
  SSL_CTX_free(context);
}

int trel_tls_server_context::load(const std::string &certificate_path, const std::string &key_path,
                                  std::string *error) {
  SSL_CTX_free(context);
  context = nullptr;
  ERR_clear_error();
  SSL_CTX *made = SSL_CTX_new(TLS_server_method());
  std::string reason;
  if (!made) {
    reason = "no TLS context: " + oldest_ssl_error();
  } else if (SSL_CTX_use_certificate_chain_file(made, certificate_path.c_str()) != 1) {
    reason = "cannot use certificate '" + certificate_path + "': " + oldest_ssl_error();
  } else if (SSL_CTX_use_PrivateKey_file(made, key_path.c_str(), SSL_FILETYPE_PEM) != 1) {
    reason = "cannot use key '" + key_path + "': " + oldest_ssl_error();
  } else if (SSL_CTX_check_private_key(made) != 1) {
    reason = "the key does not match the certificate: " + oldest_ssl_error();
  }
  if (!reason.empty()) {
    SSL_CTX_free(made);
    if (error)
      *error = reason;
    return 0;
  }
  // The client never sends a close notification; its end of stream is an
  // ordinary goodbye. Writes may be partial and retried from a moved buffer,
  // because unsent output is kept at the front of a growing string.
  SSL_CTX_set_options(made, SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_mode(made, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  context = made;
  return 1;
}

// ---------------------------------------------------------------------------

int trel_tls_listener::open(int port, int backlog, std::string *error) {
  close();
  int descriptor = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (descriptor == -1) {
    if (error)
      *error = std::string("socket: ") + strerror(errno);
    return 0;
  }
  int on = 1;
  setsockopt(descriptor, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address;
  memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(descriptor, reinterpret_cast<sockaddr *>(&address), sizeof address) == -1 ||
      listen(descriptor, backlog) == -1 ||
      getsockname(descriptor, reinterpret_cast<sockaddr *>(&address), &length) == -1) {
    if (error)
      *error = "listening on 127.0.0.1:" + std::to_string(port) + ": " + strerror(errno);
    ::close(descriptor);
    return 0;
  }
  listen_descriptor = descriptor;
  bound_port = ntohs(address.sin_port);
  return 1;
}

int trel_tls_listener::accept_connection(int timeout_ms) {
  if (listen_descriptor == -1)
    return -1;
  long long deadline = timeout_ms < 0 ? -1 : now_ms() + timeout_ms;
  for (;;) {
    pollfd entry = {listen_descriptor, POLLIN, 0};
    int ready = poll(&entry, 1, remaining_ms(deadline));
    if (ready == -1 && errno == EINTR)
      continue;
    if (ready <= 0)
      return -1;
    int accepted = accept4(listen_descriptor, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (accepted != -1)
      return accepted;
    // The client may have given up between poll and accept; wait again.
    if (errno != EAGAIN && errno != ECONNABORTED && errno != EINTR)
      return -1;
  }
}

void trel_tls_listener::close() {
  if (listen_descriptor != -1) {
    ::close(listen_descriptor);
    listen_descriptor = -1;
  }
  bound_port = 0;
}

// ---------------------------------------------------------------------------

int trel_tls_connection::attach(int descriptor, SSL_CTX *context) {
  close_now();
  fd = descriptor;
  if (fd == -1 || !set_nonblocking(fd)) {
    close_now();
    return 0;
  }
  if (!context) {
    handshaken = true;
    return 1;
  }
  ssl = SSL_new(context);
  if (!ssl || SSL_set_fd(ssl, fd) != 1) {
    close_now();
    return 0;
  }
  SSL_set_accept_state(ssl);
  return 1;
}

int trel_tls_connection::handshake_step() {
  if (fd == -1)
    return -1;
  if (handshaken)
    return 1;
  ERR_clear_error();
  int result = SSL_accept(ssl);
  if (result == 1) {
    handshaken = true;
    ssl_wants_write = false;
    return 1;
  }
  int kind = SSL_get_error(ssl, result);
  if (kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE) {
    ssl_wants_write = kind == SSL_ERROR_WANT_WRITE;
    return 0;
  }
  return -1;
}

int trel_tls_connection::wait(short events, int timeout_ms) {
  pollfd entry = {fd, events, 0};
  int ready;
  do {
    ready = poll(&entry, 1, timeout_ms);
  } while (ready == -1 && errno == EINTR);
  return ready;
}

int trel_tls_connection::handshake(int timeout_ms) {
  long long deadline = timeout_ms < 0 ? -1 : now_ms() + timeout_ms;
  for (;;) {
    int result = handshake_step();
    if (result != 0)
      return result;
    int ready = wait(poll_events(false), remaining_ms(deadline));
    if (ready == 0)
      return 0;
    if (ready < 0)
      return -1;
  }
}

short trel_tls_connection::poll_events(bool want_output) const {
  // Once the handshake is done the connection waits for input; a TLS write
  // that stalls is retried whenever the caller wants output anyway.
  short events = (!handshaken && ssl_wants_write) ? POLLOUT : POLLIN;
  if (want_output)
    events |= POLLOUT;
  return events;
}

int trel_tls_connection::read_some(char *buffer, int size) {
  if (fd == -1 || !handshaken)
    return -1;
  if (!ssl) {
    ssize_t result = ::read(fd, buffer, static_cast<size_t>(size));
    if (result > 0)
      return static_cast<int>(result);
    if (result == -1 && (errno == EAGAIN || errno == EINTR))
      return 0;
    return -1;
  }
  ERR_clear_error();
  int result = SSL_read(ssl, buffer, size);
  if (result > 0)
    return result;
  int kind = SSL_get_error(ssl, result);
  if (kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE)
    return 0;
  return -1;
}

int trel_tls_connection::write_some(const char *data, int size) {
  if (fd == -1 || !handshaken)
    return -1;
  if (size <= 0)
    return 0;
  if (!ssl) {
    ssize_t result = ::send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
    if (result >= 0)
      return static_cast<int>(result);
    return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
  }
  ERR_clear_error();
  int result = SSL_write(ssl, data, size);
  if (result > 0)
    return result;
  int kind = SSL_get_error(ssl, result);
  if (kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE)
    return 0;
  return -1;
}

int trel_tls_connection::write_all(const char *data, int size, int timeout_ms) {
  long long deadline = timeout_ms < 0 ? -1 : now_ms() + timeout_ms;
  int done = 0;
  while (done < size) {
    int written = write_some(data + done, size - done);
    if (written < 0)
      return 0;
    done += written;
    if (done < size && wait(POLLOUT, remaining_ms(deadline)) <= 0)
      return 0;
  }
  return 1;
}

int trel_tls_connection::read_line(std::string *line, int timeout_ms) {
  long long deadline = timeout_ms < 0 ? -1 : now_ms() + timeout_ms;
  for (;;) {
    size_t end = pending_input.find('\n');
    if (end != std::string::npos) {
      if (line)
        *line = pending_input.substr(0, end);
      pending_input.erase(0, end + 1);
      return 1;
    }
    char buffer[4096];
    int result = read_some(buffer, sizeof buffer);
    if (result < 0)
      return -1;
    if (result > 0) {
      pending_input.append(buffer, static_cast<size_t>(result));
      continue;
    }
    int ready = wait(poll_events(false), remaining_ms(deadline));
    if (ready == 0)
      return 0;
    if (ready < 0)
      return -1;
  }
}

void trel_tls_connection::close_orderly() {
  if (fd == -1)
    return;
  if (ssl && handshaken) {
    ERR_clear_error();
    SSL_shutdown(ssl);
  }
  // End our stream first, then take in whatever the client still had on the
  // way: closing with unread input would make the kernel answer with a reset
  // instead of the orderly end of stream this call promises.
  shutdown(fd, SHUT_WR);
  char scratch[4096];
  while (::read(fd, scratch, sizeof scratch) > 0) {
  }
  close_now();
}

void trel_tls_connection::reset() {
  if (fd == -1)
    return;
  linger abort_on_close = {1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
  close_now();
}

void trel_tls_connection::close_now() {
  SSL_free(ssl);
  ssl = nullptr;
  if (fd != -1) {
    ::close(fd);
    fd = -1;
  }
  handshaken = false;
  ssl_wants_write = false;
  pending_input.clear();
}
