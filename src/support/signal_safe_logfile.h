// The debug log's file writer: one write call per message, safe to call again
// from its own error reports (a nesting limit stops the loop).
#pragma once
#include <atomic>

class trel_signal_safe_logfile {
public:
  // Nesting depth at which a write refuses and reports once.
  static constexpr int recursion_limit = 25;

  trel_signal_safe_logfile() = default;
  ~trel_signal_safe_logfile() { close(); }
  trel_signal_safe_logfile(const trel_signal_safe_logfile &) = delete;
  trel_signal_safe_logfile &operator=(const trel_signal_safe_logfile &) = delete;

  // Closes any open file, then opens path for appending (created 0644). 1 on success.
  int open(const char *path);
  // Like open, but refuses a symbolic link or anything but a regular file at
  // path, for files in shared directories where anyone may plant a name.
  int open_private(const char *path);
  // Closes any open file and writes to a duplicate of standard output. 1 on success.
  int open_standard_output();
  void close();
  bool is_open() const { return descriptor >= 0; }

  // Writes text (or "(null)") with one write call; 1 on success, 0 on failure
  // or when nested too deeply.
  int write(const char *text);

  int nesting_depth() const { return depth.load(); }
  // Test hook: pretends the writer is already nested this deeply.
  void set_nesting_depth(int value) { depth.store(value); }

private:
  int descriptor = -1;
  // Atomic because the log is written from several threads; a plain counter
  // could drift under racing updates and silence the log for good.
  std::atomic<int> depth{0};
  int write_failure_reported = 0;
};
