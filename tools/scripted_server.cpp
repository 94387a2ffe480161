// The scripted test server: a worker thread that accepts one client at a
// time, carries out the test's commands in order, and records the lines the
// client sends.
#include "scripted_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

namespace {

// An orderly close first sends what is queued; a client that stops reading
// must not hold the close (and the test waiting on it) for ever.
constexpr long long close_flush_limit_ms = 5000;
// close() and reset() wait this long for the worker to carry them out.
constexpr int command_wait_ms = 15000;

long long now_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Text with control bytes and non-ASCII shown as \xNN, for the event log.
std::string printable(const std::string &text) {
  std::string shown;
  for (unsigned char c : text) {
    if (c >= 32 && c < 127 && c != '\\') {
      shown += static_cast<char>(c);
    } else {
      char escape[8];
      snprintf(escape, sizeof escape, "\\x%02X", c);
      shown += escape;
    }
  }
  return shown;
}

} // namespace

int trel_scripted_server::start(int port, const std::string &certificate_path,
                                const std::string &key_path) {
  stop();
  if (!tls_context.load(certificate_path, key_path, &start_error))
    return 0;
  use_tls = true;
  return start_listening(port);
}

int trel_scripted_server::start_plain(int port) {
  stop();
  use_tls = false;
  return start_listening(port);
}

int trel_scripted_server::start_listening(int port) {
  trel_ignore_broken_pipe();
  if (!listener.open(port, 16, &start_error))
    return 0;
  if (pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) == -1) {
    start_error = "cannot make the wake-up pipe";
    listener.close();
    return 0;
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    stopping = false;
    stalling = false;
    stalled = 0;
    client_up = false;
    commands.clear();
    commands_queued = commands_done = 0;
    received.clear();
    next_line = 0;
    clients_served = clients_waited_for = 0;
  }
  worker = std::thread(&trel_scripted_server::run, this);
  return 1;
}

void trel_scripted_server::stop() {
  if (worker.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      stopping = true;
    }
    wake();
    worker.join();
  }
  for (int &end : wake_pipe) {
    if (end != -1) {
      ::close(end);
      end = -1;
    }
  }
  listener.close();
}

void trel_scripted_server::wake() {
  if (wake_pipe[1] != -1) {
    char byte = 1;
    // A full pipe already guarantees a wake-up, so a failed write is harmless.
    ssize_t ignored = write(wake_pipe[1], &byte, 1);
    (void)ignored;
  }
}

void trel_scripted_server::log_event(const std::string &message) {
  if (log_file) {
    fprintf(log_file, "%s\n", message.c_str());
    fflush(log_file);
  }
}

// ---------------------------------------------------------------------------
// The test thread's side

int trel_scripted_server::wait_for_client(int timeout_ms) {
  std::unique_lock<std::mutex> lock(mutex);
  bool arrived = changed.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                  [this] { return clients_served > clients_waited_for; });
  if (!arrived)
    return 0;
  clients_waited_for = clients_served;
  return 1;
}

int trel_scripted_server::send(const std::string &bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (!client_up)
      return 0;
    commands.push_back({command::send_bytes, bytes, ++commands_queued});
  }
  wake();
  return 1;
}

int trel_scripted_server::run_command(command::kind_t kind) {
  std::unique_lock<std::mutex> lock(mutex);
  if (!client_up)
    return 0;
  long long number = ++commands_queued;
  commands.push_back({kind, std::string(), number});
  lock.unlock();
  wake();
  lock.lock();
  changed.wait_for(lock, std::chrono::milliseconds(command_wait_ms),
                   [this, number] { return commands_done >= number; });
  return 1;
}

int trel_scripted_server::close() {
  return run_command(command::close_client);
}

int trel_scripted_server::reset() {
  return run_command(command::reset_client);
}

void trel_scripted_server::stall() {
  std::lock_guard<std::mutex> lock(mutex);
  stalling = true;
}

int trel_scripted_server::stalled_count() const {
  std::lock_guard<std::mutex> lock(mutex);
  return stalled;
}

int trel_scripted_server::disconnected() const {
  std::lock_guard<std::mutex> lock(mutex);
  return !client_up && clients_served > 0;
}

int trel_scripted_server::wait_for_disconnect(int timeout_ms) {
  std::unique_lock<std::mutex> lock(mutex);
  return changed.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                          [this] { return !client_up && clients_served > 0; });
}

int trel_scripted_server::expect_line(const std::string &text, int timeout_ms) {
  return wait_for_line([&text](const std::string &line) { return line == text; }, timeout_ms);
}

int trel_scripted_server::wait_for_line(const std::function<bool(const std::string &)> &predicate,
                                        int timeout_ms, trel_received_line *found) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  std::unique_lock<std::mutex> lock(mutex);
  // Lines passed over are consumed only when a later one matches; after a
  // time-out the next wait looks at them again.
  size_t scanned = next_line;
  for (;;) {
    for (; scanned < received.size(); ++scanned) {
      if (predicate(received[scanned].text)) {
        if (found)
          *found = received[scanned];
        next_line = scanned + 1;
        return 1;
      }
    }
    if (changed.wait_until(lock, deadline) == std::cv_status::timeout && scanned >= received.size())
      return 0;
  }
}

std::vector<trel_received_line> trel_scripted_server::lines() const {
  std::lock_guard<std::mutex> lock(mutex);
  return received;
}

// ---------------------------------------------------------------------------
// The worker

void trel_scripted_server::run() {
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (stopping)
        break;
    }
    take_commands();
    pollfd entries[3];
    int count = 0;
    entries[count++] = {wake_pipe[0], POLLIN, 0};
    int listener_index = -1;
    int client_index = -1;
    if (!client) {
      listener_index = count;
      entries[count++] = {listener.descriptor(), POLLIN, 0};
    } else {
      client_index = count;
      entries[count++] = {client->descriptor(), client->poll_events(!output.empty()), 0};
    }
    // A close waiting for its output to drain checks its limit now and then.
    int timeout = close_after_output ? 100 : -1;
    if (poll(entries, static_cast<nfds_t>(count), timeout) == -1 && errno != EINTR)
      break;
    if (entries[0].revents) {
      char drain[64];
      while (read(wake_pipe[0], drain, sizeof drain) > 0) {
      }
    }
    if (listener_index >= 0 && entries[listener_index].revents)
      accept_client();
    if (client_index >= 0 && entries[client_index].revents)
      service_client();
  }
  if (client)
    end_client(false, false);
  stalled_connections.clear();
  std::lock_guard<std::mutex> lock(mutex);
  commands.clear();
  commands_done = commands_queued;
  changed.notify_all();
}

void trel_scripted_server::finish_commands_up_to(long long number) {
  std::lock_guard<std::mutex> lock(mutex);
  if (number > commands_done)
    commands_done = number;
  changed.notify_all();
}

// Carries out the queued commands in order. An orderly close waits at the
// head of the queue until the output before it has gone out.
void trel_scripted_server::take_commands() {
  for (;;) {
    command next;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (commands.empty())
        return;
      next = commands.front();
    }
    bool done = true;
    if (next.kind == command::send_bytes) {
      if (client && client_announced)
        output += next.bytes;
      if (client)
        flush_output();
    } else if (next.kind == command::reset_client) {
      if (client)
        end_client(false, true);
    } else if (client) {
      if (!close_after_output)
        close_after_output = now_ms() + close_flush_limit_ms;
      flush_output();
      if (client && !output.empty() && now_ms() < close_after_output)
        done = false;
      else if (client)
        end_client(true, false);
    }
    if (!done)
      return;
    if (next.kind == command::close_client)
      close_after_output = 0;
    {
      std::lock_guard<std::mutex> lock(mutex);
      commands.pop_front();
    }
    finish_commands_up_to(next.number);
  }
}

void trel_scripted_server::accept_client() {
  int descriptor = listener.accept_connection(0);
  if (descriptor == -1)
    return;
  auto connection = std::make_unique<trel_tls_connection>();
  bool hold_only;
  {
    std::lock_guard<std::mutex> lock(mutex);
    hold_only = stalling;
  }
  if (hold_only) {
    // Held open and never served: for TLS the client's handshake goes unanswered.
    if (connection->attach(descriptor, nullptr)) {
      stalled_connections.push_back(std::move(connection));
      std::lock_guard<std::mutex> lock(mutex);
      ++stalled;
      changed.notify_all();
    }
    log_event("stalled a connection");
    return;
  }
  if (!connection->attach(descriptor, use_tls ? tls_context.get() : nullptr))
    return;
  client = std::move(connection);
  client_announced = false;
  output.clear();
  output_sent = 0;
  partial_line.clear();
  service_client();
}

void trel_scripted_server::service_client() {
  if (!client_announced) {
    int step = client->handshake_step();
    if (step < 0) {
      log_event("handshake failed");
      client.reset();
      return;
    }
    if (step == 0)
      return;
    client_announced = true;
    std::lock_guard<std::mutex> lock(mutex);
    ++clients_served;
    client_up = true;
    changed.notify_all();
    log_event("client " + std::to_string(clients_served) + " connected");
  }
  char buffer[16384];
  for (;;) {
    int count = client->read_some(buffer, sizeof buffer);
    if (count == 0)
      break;
    if (count < 0) {
      log_event("client closed the connection");
      end_client(false, false);
      return;
    }
    partial_line.append(buffer, static_cast<size_t>(count));
    size_t end;
    std::vector<trel_received_line> complete;
    while ((end = partial_line.find('\n')) != std::string::npos) {
      trel_received_line line;
      line.raw = partial_line.substr(0, end + 1);
      line.text = partial_line.substr(0, end);
      complete.push_back(std::move(line));
      partial_line.erase(0, end + 1);
    }
    if (!complete.empty()) {
      std::lock_guard<std::mutex> lock(mutex);
      for (trel_received_line &line : complete) {
        line.client = clients_served;
        log_event("recv: " + printable(line.text));
        received.push_back(std::move(line));
      }
      changed.notify_all();
    }
  }
  flush_output();
}

void trel_scripted_server::flush_output() {
  // Sent bytes are skipped by an offset and dropped in one go, so a large
  // queue costs linear time, not a move of the rest after every write.
  while (client && output_sent < output.size()) {
    size_t left = output.size() - output_sent;
    int chunk = left > (1u << 30) ? (1 << 30) : static_cast<int>(left);
    int written = client->write_some(output.data() + output_sent, chunk);
    if (written < 0) {
      log_event("writing to the client failed");
      end_client(false, false);
      return;
    }
    if (written == 0)
      break;
    output_sent += static_cast<size_t>(written);
  }
  if (output_sent == output.size()) {
    output.clear();
    output_sent = 0;
  } else if (output_sent > (1u << 20) && output_sent > output.size() / 2) {
    output.erase(0, output_sent);
    output_sent = 0;
  }
}

void trel_scripted_server::end_client(bool orderly, bool reset_it) {
  if (!client)
    return;
  bool was_up = client_announced;
  client_announced = false;
  if (reset_it)
    client->reset();
  else if (orderly)
    client->close_orderly();
  else
    client->close_now();
  client.reset();
  output.clear();
  output_sent = 0;
  close_after_output = 0;
  std::lock_guard<std::mutex> lock(mutex);
  if (!partial_line.empty()) {
    trel_received_line rest;
    rest.raw = rest.text = partial_line;
    rest.client = clients_served;
    received.push_back(std::move(rest));
    partial_line.clear();
  }
  if (was_up) {
    client_up = false;
    log_event("client " + std::to_string(clients_served) + " gone");
  }
  changed.notify_all();
}
