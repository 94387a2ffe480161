// End-to-end test harness: runs the real quenmar binary in a fresh HOME on the
// current X display, finds its windows, sends window-manager requests and
// reads the debug log.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

struct _XDisplay;

namespace e2e {

// Waits until the predicate holds, polling every 20 ms; false after the time-out.
bool wait_until(const std::function<bool()> &predicate, int timeout_ms);

// A fresh temporary directory, removed with everything in it at destruction.
class temp_dir {
public:
  temp_dir();
  ~temp_dir();
  const std::string &path() const { return dir; }

private:
  std::string dir;
};

// The client process. HOME is set to the given directory, or unset when empty.
class client_process {
public:
  client_process(const std::string &home, const std::vector<std::string> &args = {});
  ~client_process();

  pid_t pid() const { return child; }
  // True once the process has ended; its exit status is then in exit_status().
  bool wait_exit(int timeout_ms);
  bool running();
  // The exit code, or -1 when it did not exit normally.
  int exit_status() const { return status; }
  void kill_now();

private:
  void reap(int options);
  pid_t child = -1;
  int status = -1;
  bool ended = false;
};

// X11 access to the client's windows.
class x_display {
public:
  x_display();
  ~x_display();
  bool ok() const { return display != nullptr; }

  // The top-level window titled exactly `title` that belongs to the process, or 0.
  unsigned long find_window(pid_t pid, const std::string &title);
  // Sends the window manager's close request (WM_DELETE_WINDOW).
  void request_close(unsigned long window);
  // The window's size, false when it cannot be read.
  bool window_size(unsigned long window, int *width, int *height);
  // Counts the window's pixels of this colour (0xRRGGBB), also where glyph
  // edges blend it with the black background; -1 when
  // the window cannot be read.
  long count_pixels(unsigned long window, unsigned long rgb);
  // Saves the whole screen as a PNG (for looking at a failure).
  static void save_screenshot(const std::string &path);

private:
  ::_XDisplay *display = nullptr;
};

// The automatic debug log and what a test run added to it.
class debug_log_tail {
public:
  debug_log_tail(); // remembers the current end of the log
  std::string added() const;
  static const char *path() { return "/tmp/quenmar_zolvent.txt"; }

private:
  long start = 0;
};

std::string read_file(const std::string &path);

} // namespace e2e
