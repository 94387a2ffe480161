// What the ingest run observes from outside the client: its CPU time and
// memory from /proc, the bytes still on their way to it, the pixels of its
// window, and the tools (xdotool) that drive it.
#pragma once
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct _XDisplay;

namespace ingest {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start);

// Runs a program (looked up in PATH) with its output discarded, or captured
// into *output. Its exit code, or -1 when it could not run.
int run_tool(const std::vector<std::string> &args, std::string *output = nullptr);

// CPU seconds (user and system, all threads) the process has used; -1 when unknown.
double process_cpu_seconds(pid_t pid);
// A "Vm..." figure of /proc/<pid>/status in bytes (key without the colon); -1 when missing.
double process_memory_bytes(pid_t pid, const char *key);

// Bytes still on their way to the client over this server-side TCP socket:
// the server's unsent queue plus what waits unread in the client's receive
// queue (found in /proc/net/tcp by the client's port). -1 when unknown.
long long bytes_in_flight(int descriptor);

// The client process with HOME set, its output going to a log file; killed
// when this object goes.
class client_process {
public:
  client_process() = default;
  ~client_process();
  client_process(const client_process &) = delete;
  client_process &operator=(const client_process &) = delete;

  // 1 when the process was started.
  int start(const std::string &binary, const std::string &home, const std::string &log_path);
  // Kills the process and waits for it.
  void stop();
  bool running();
  pid_t pid() const { return child; }

private:
  pid_t child = -1;
};

// A band across the middle of a window, read from an X connection of its own.
class window_band {
public:
  ~window_band();
  // 1 when the display opened.
  int open(unsigned long window_id);
  // A hash of the band's pixels, the left max_width columns at most (0: the
  // whole width); 0 when the window cannot be read. *uniform, when given,
  // tells whether every pixel of the band has one colour.
  uint64_t hash(int max_width = 0, bool *uniform = nullptr);
  // The window's size; 0 when it cannot be read.
  int size(int *width, int *height);

private:
  ::_XDisplay *display = nullptr;
  unsigned long window = 0;
};

// Samples a window band in a thread of its own and notes each moment its
// pixels changed: how often a pane was repainted, and the longest stillness.
class repaint_watch {
public:
  ~repaint_watch() { stop(); }
  int start(unsigned long window_id, int period_ms);
  void stop();
  // The changes seen between the two moments, and the longest stretch
  // between them without one (seconds).
  void summary(clock_type::time_point from, clock_type::time_point to, int *changes,
               double *longest_still);

private:
  void run();

  window_band band;
  int period = 50;
  std::atomic<bool> running{false};
  std::thread worker;
  std::mutex mutex;
  std::vector<clock_type::time_point> moments;
};

} // namespace ingest
