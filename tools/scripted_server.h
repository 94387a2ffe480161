// The scripted test server: a game-side peer that runs in a background
// thread of the test process, serves one client at a time over TLS (or plain
// TCP), sends what the test tells it to, and records every line the client
// sends so the test can wait for and check them.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tls_server.h"

// One line the client sent.
struct trel_received_line {
  // The line without its final "\n"; a "\r" the client sent stays in it.
  std::string text;
  // Exactly the bytes received, the "\n" included (missing only for an
  // unterminated rest that the client left when it went away).
  std::string raw;
  // 1 for the first client served, 2 for the next, and so on.
  int client = 0;
};

class trel_scripted_server {
public:
  trel_scripted_server() = default;
  ~trel_scripted_server() { stop(); }
  trel_scripted_server(const trel_scripted_server &) = delete;
  trel_scripted_server &operator=(const trel_scripted_server &) = delete;

  // Starts serving TLS on 127.0.0.1:port (0: the kernel picks one) with the
  // certificate and key PEM files. 1 on success, 0 with a reason in error().
  int start(int port, const std::string &certificate_path, const std::string &key_path);
  // The same without TLS.
  int start_plain(int port);
  // The port being served, 0 when not running.
  int port() const { return listener.port(); }
  // Closes every connection and ends the background thread.
  void stop();
  // Why start failed.
  const std::string &error() const { return start_error; }
  // Writes a line per event (connects, received lines, closes) to log, or
  // nothing when log is nullptr (the default). Set it before start.
  void set_log(FILE *log) { log_file = log; }

  // Waits for a client that connected (and finished its handshake) since the
  // previous call; 1 when one did, 0 on time-out.
  int wait_for_client(int timeout_ms);
  // Queues bytes for the connected client. 1 when a client is connected, 0 when not.
  int send(const std::string &bytes);
  // Waits for the next line equal to text, skipping other lines. Lines are
  // taken in order: a match consumes it and every line before it, so no line
  // is matched twice; a time-out consumes nothing. 1 found, 0 time-out.
  int expect_line(const std::string &text, int timeout_ms);
  // As expect_line with a test of the line's text; the matching line goes to *found.
  int wait_for_line(const std::function<bool(const std::string &)> &predicate, int timeout_ms,
                    trel_received_line *found = nullptr);
  // Every line received so far, from all clients, in order.
  std::vector<trel_received_line> lines() const;

  // Sends everything queued, then ends the client's connection in an orderly
  // way (TLS close notification and end of stream). 1 when there was a client.
  int close();
  // Ends the client's connection with a reset at once; queued bytes are dropped.
  int reset();
  // From now on accepts TCP connections but never answers their handshake
  // (nor, when plain, anything else), until stop.
  void stall();
  // 1 when no client is connected now but one has been, 0 otherwise.
  int disconnected() const;
  // Waits until disconnected() holds; 1 when it does, 0 on time-out.
  int wait_for_disconnect(int timeout_ms);
  // How many TCP connections the stall mode holds open.
  int stalled_count() const;

private:
  struct command {
    enum kind_t { send_bytes, close_client, reset_client } kind;
    std::string bytes;
    long long number;
  };

  int start_listening(int port);
  void run();
  void wake();
  void take_commands();
  void accept_client();
  void service_client();
  void flush_output();
  void end_client(bool orderly, bool reset_it);
  void finish_commands_up_to(long long number);
  void log_event(const std::string &message);
  int run_command(command::kind_t kind);

  trel_tls_server_context tls_context;
  bool use_tls = false;
  trel_tls_listener listener;
  std::thread worker;
  int wake_pipe[2] = {-1, -1};
  std::string start_error;
  FILE *log_file = nullptr;

  // Shared between the test thread and the worker, under mutex.
  mutable std::mutex mutex;
  std::condition_variable changed;
  std::deque<command> commands;
  long long commands_queued = 0;
  long long commands_done = 0;
  std::vector<trel_received_line> received;
  size_t next_line = 0;
  int clients_served = 0;
  int clients_waited_for = 0;
  bool client_up = false;
  bool stalling = false;
  bool stopping = false;
  int stalled = 0;

  // The worker's own state.
  std::unique_ptr<trel_tls_connection> client;
  // Whether the current client finished its handshake and was counted.
  bool client_announced = false;
  std::vector<std::unique_ptr<trel_tls_connection>> stalled_connections;
  std::string output;
  size_t output_sent = 0; // bytes at the front of output already written
  std::string partial_line;
  long long close_after_output = 0;
};
