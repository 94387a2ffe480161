// The demo server's listener, poll loop and client bookkeeping.
#include "demo_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int max_clients = 64;
constexpr int listen_backlog = 16;
// How long the loop sleeps when nothing happens; timed events (combat
// rounds, recovery, the sky) are checked at least this often.
constexpr int poll_period_ms = 100;
constexpr long long handshake_limit_ms = 10000;
// A line longer than this without a line feed is dropped: the client never
// sends one, and it must not make the server hold unbounded input.
constexpr size_t line_max = 8192;
// A client that stops reading is dropped before its output grows without bound.
constexpr size_t output_max = 4 * 1024 * 1024;
constexpr int write_chunk = 16384;
constexpr long long farewell_limit_ms = 1000;
// The game day begins at half past six in the morning: the sky bar shows
// the dawn within a minute of the start. One real second is one game minute.
constexpr int first_game_minute = 6 * 60 + 30;

long long now_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Makes the certificate in a fresh private directory, loads it into context
// and removes the files again: the loaded context is all the server needs.
int make_throwaway_context(trel_tls_server_context *context, std::string *error) {
  const char *base = getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quenmar_demo_XXXXXX";
  std::vector<char> directory(pattern.begin(), pattern.end());
  directory.push_back('\0');
  if (!mkdtemp(directory.data())) {
    *error = "cannot make a directory for the certificate: " + std::string(strerror(errno));
    return 0;
  }
  std::string certificate, key;
  int ok = trel_make_test_certificate(directory.data(), &certificate, &key, error) &&
           context->load(certificate, key, error);
  if (!certificate.empty())
    unlink(certificate.c_str());
  if (!key.empty())
    unlink(key.c_str());
  // The certificate helper names its files itself; remove whatever it left.
  unlink((std::string(directory.data()) + "/cert.pem").c_str());
  unlink((std::string(directory.data()) + "/key.pem").c_str());
  rmdir(directory.data());
  return ok;
}

} // namespace

trel_demo_server::trel_demo_server() = default;

trel_demo_server::~trel_demo_server() {
  clients.clear();
  for (int &end : wake_pipe)
    if (end != -1) {
      close(end);
      end = -1;
    }
}

void trel_demo_server::note(const char *format, ...) {
  if (!log_file)
    return;
  char text[1024];
  va_list arguments;
  va_start(arguments, format);
  vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  fprintf(log_file, "quenmar_demo_server: %s\n", text);
  fflush(log_file);
}

int trel_demo_server::start(int port, std::string *error) {
  std::string reason;
  if (wake_pipe[0] == -1 && pipe2(wake_pipe, O_NONBLOCK | O_CLOEXEC) == -1) {
    reason = "cannot make the wake-up pipe: " + std::string(strerror(errno));
  } else if (make_throwaway_context(&context, &reason) &&
             listener.open(port, listen_backlog, &reason)) {
    started_at = now_ms();
    return 1;
  }
  if (error)
    *error = reason;
  return 0;
}

void trel_demo_server::request_stop() {
  if (wake_pipe[1] == -1)
    return;
  char byte = 1;
  // Only async-signal-safe calls here; a full pipe already means "stop".
  if (write(wake_pipe[1], &byte, 1) < 0) {
  }
}

std::vector<trel_demo_session *> trel_demo_server::players() {
  std::vector<trel_demo_session *> found;
  for (const std::unique_ptr<client> &c : clients)
    if (c->session && c->session->playing())
      found.push_back(c->session.get());
  return found;
}

int trel_demo_server::game_minute() const {
  long long elapsed_s = (now_ms() - started_at) / 1000;
  return static_cast<int>((first_game_minute + elapsed_s) % 1440);
}

int trel_demo_server::run() {
  if (listener.descriptor() == -1 || !context.get())
    return 0;
  note("listening on 127.0.0.1:%d", listener.port());
  bool stopping = false;
  std::vector<pollfd> waits;
  while (!stopping) {
    waits.clear();
    waits.push_back({wake_pipe[0], POLLIN, 0});
    waits.push_back({listener.descriptor(), POLLIN, 0});
    for (const std::unique_ptr<client> &c : clients)
      waits.push_back(
          {c->connection.descriptor(), c->connection.poll_events(!c->output.empty()), 0});
    int ready = poll(waits.data(), waits.size(), poll_period_ms);
    if (ready == -1 && errno != EINTR) {
      note("poll failed: %s", strerror(errno));
      break;
    }
    long long now = now_ms();
    if (ready > 0 && (waits[0].revents & POLLIN)) {
      char drained[64];
      while (read(wake_pipe[0], drained, sizeof drained) > 0) {
      }
      stopping = true;
    }
    // The clients polled above are the first ones in the list; clients
    // accepted below are serviced from the next round on.
    size_t polled = waits.size() - 2;
    for (size_t i = 0; i < polled && ready > 0; i++)
      if (waits[i + 2].revents)
        service_input(*clients[i], now);
    if (ready > 0 && (waits[1].revents & POLLIN))
      accept_clients(now);

    for (size_t i = 0; i < clients.size(); i++) {
      client &c = *clients[i];
      if (c.dead)
        continue;
      if (!c.connection.handshake_done() && now - c.accepted_at > handshake_limit_ms) {
        note("client %d: no TLS handshake within %lld ms, dropped", c.number, handshake_limit_ms);
        c.dead = true;
      } else if (c.session) {
        c.session->tick(now);
      }
    }
    remove_dead_clients();
    collect_output();
    for (const std::unique_ptr<client> &c : clients)
      write_output(*c);
    remove_dead_clients();
    collect_output();
  }
  say_goodbye_to_all();
  return 1;
}

void trel_demo_server::accept_clients(long long now) {
  for (;;) {
    int descriptor = listener.accept_connection(0);
    if (descriptor == -1)
      return;
    if (static_cast<int>(clients.size()) >= max_clients) {
      note("too many clients, connection refused");
      close(descriptor);
      continue;
    }
    std::unique_ptr<client> c(new client);
    c->number = next_client_number++;
    c->accepted_at = now;
    if (!c->connection.attach(descriptor, context.get())) {
      note("client %d: cannot set up the connection", c->number);
      continue;
    }
    note("client %d: connected", c->number);
    clients.push_back(std::move(c));
  }
}

void trel_demo_server::service_input(client &c, long long now) {
  if (c.dead)
    return;
  if (!c.connection.handshake_done()) {
    int step = c.connection.handshake_step();
    if (step < 0) {
      note("client %d: TLS handshake failed", c.number);
      c.dead = true;
      return;
    }
    if (step == 0)
      return;
    c.session.reset(new trel_demo_session(*this, now));
    // The handshake may have brought application data along already.
  }
  char buffer[16384];
  bool gone = false;
  for (;;) {
    int got = c.connection.read_some(buffer, sizeof buffer);
    if (got < 0) {
      gone = true;
      break;
    }
    if (got == 0)
      break;
    c.input.append(buffer, static_cast<size_t>(got));
  }
  size_t start = 0;
  for (;;) {
    size_t end = c.input.find('\n', start);
    if (end == std::string::npos)
      break;
    std::string line = c.input.substr(start, end - start);
    start = end + 1;
    if (line.size() > line_max) {
      note("client %d: line of %zu bytes dropped", c.number, line.size());
      continue;
    }
    c.session->handle_line(line, now);
  }
  c.input.erase(0, start);
  if (c.input.size() > line_max) {
    note("client %d: line longer than %zu bytes dropped", c.number, line_max);
    c.input.clear();
  }
  if (gone) {
    note("client %d: connection closed by the client", c.number);
    c.dead = true;
  }
}

void trel_demo_server::collect_output() {
  for (const std::unique_ptr<client> &c : clients) {
    if (!c->session)
      continue;
    c->output += c->session->take_output();
    if (c->output.size() > output_max && !c->dead) {
      note("client %d: not reading its output, dropped", c->number);
      c->dead = true;
    }
  }
}

void trel_demo_server::write_output(client &c) {
  if (c.dead || !c.connection.handshake_done())
    return;
  while (!c.output.empty()) {
    int size = static_cast<int>(std::min<size_t>(c.output.size(), write_chunk));
    int written = c.connection.write_some(c.output.data(), size);
    if (written < 0) {
      note("client %d: write failed, connection lost", c.number);
      c.dead = true;
      return;
    }
    if (written == 0)
      break;
    c.output.erase(0, static_cast<size_t>(written));
  }
  if (c.output.empty() && c.session && c.session->wants_close()) {
    note("client %d: quit", c.number);
    c.connection.close_orderly();
    c.dead = true;
  }
}

void trel_demo_server::remove_dead_clients() {
  for (size_t i = 0; i < clients.size();) {
    if (!clients[i]->dead) {
      i++;
      continue;
    }
    std::unique_ptr<client> gone = std::move(clients[i]);
    clients.erase(clients.begin() + static_cast<long>(i));
    // Out of the list first: the goodbyes reach only the others.
    if (gone->session)
      gone->session->connection_ended();
    gone->connection.close_now();
    note("client %d: removed", gone->number);
  }
}

void trel_demo_server::say_goodbye_to_all() {
  collect_output();
  for (const std::unique_ptr<client> &c : clients) {
    if (c->dead || !c->connection.handshake_done())
      continue;
    std::string last = c->output + "\n\nThe demo server is shutting down. Goodbye!\n";
    c->connection.write_all(last.data(), static_cast<int>(last.size()),
                            static_cast<int>(farewell_limit_ms));
    c->connection.close_orderly();
  }
  clients.clear();
  note("stopped");
}
