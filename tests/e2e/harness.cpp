// The end-to-end harness: processes, temporary homes, X windows, debug log.
#include "e2e/harness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <sys/prctl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#ifndef QUENMAR_BINARY
#error "QUENMAR_BINARY must name the client executable"
#endif

namespace e2e {

bool wait_until(const std::function<bool()> &predicate, int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (predicate())
      return true;
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

temp_dir::temp_dir() {
  char pattern[] = "/tmp/quenmar-e2e-XXXXXX";
  const char *made = mkdtemp(pattern);
  dir = made ? made : "";
}

temp_dir::~temp_dir() {
  if (!dir.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
}

client_process::client_process(const std::string &home, const std::vector<std::string> &args) {
  child = fork();
  if (child == 0) {
    // The client must not outlive a test program that dies abruptly.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (home.empty())
      unsetenv("HOME");
    else
      setenv("HOME", home.c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(QUENMAR_BINARY));
    for (const std::string &a : args)
      argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      dup2(devnull, 0);
      close(devnull);
    }
    execv(QUENMAR_BINARY, argv.data());
    _exit(127);
  }
}

client_process::~client_process() {
  if (!ended && child > 0) {
    kill_now();
  }
}

void client_process::reap(int options) {
  if (ended || child <= 0)
    return;
  int raw = 0;
  pid_t r = waitpid(child, &raw, options);
  if (r == child) {
    ended = true;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
}

bool client_process::running() {
  reap(WNOHANG);
  return !ended;
}

bool client_process::wait_exit(int timeout_ms) {
  return wait_until([this] { return !running(); }, timeout_ms);
}

void client_process::kill_now() {
  if (child > 0 && !ended) {
    ::kill(child, SIGKILL);
    reap(0);
  }
}

// Windows come and go while the tests look at them (a client starting or
// ending); a request about a window that just vanished must not end the test
// program, which is what Xlib's default error handler does.
static int ignore_x_error(Display *, XErrorEvent *) { return 0; }

x_display::x_display() {
  XSetErrorHandler(ignore_x_error);
  // A busy X server may refuse a connection for a moment.
  wait_until([this] { return (display = XOpenDisplay(nullptr)) != nullptr; }, 20000);
}

x_display::~x_display() {
  if (display)
    XCloseDisplay(display);
}

static bool window_pid(Display *d, Window w, pid_t *pid) {
  Atom pid_atom = XInternAtom(d, "_NET_WM_PID", True);
  if (pid_atom == None)
    return false;
  Atom type;
  int format;
  unsigned long items, after;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(d, w, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                         &data) != Success ||
      !data)
    return false;
  bool found = items == 1;
  if (found)
    *pid = static_cast<pid_t>(*reinterpret_cast<unsigned long *>(data));
  XFree(data);
  return found;
}

static std::string window_title(Display *d, Window w) {
  std::string title;
  Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  Atom net_name = XInternAtom(d, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long items, after;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(d, w, net_name, 0, 1024, False, utf8, &type, &format, &items, &after,
                         &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char *>(data), items);
    XFree(data);
    return title;
  }
  char *name = nullptr;
  if (XFetchName(d, w, &name) && name) {
    title = name;
    XFree(name);
  }
  return title;
}

unsigned long x_display::find_window(pid_t pid, const std::string &title) {
  if (!display)
    return 0;
  Window root = DefaultRootWindow(display), parent, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count))
    return 0;
  unsigned long found = 0;
  for (unsigned int i = 0; i < count && !found; i++) {
    pid_t owner = 0;
    XWindowAttributes attributes;
    if (window_pid(display, children[i], &owner) && owner == pid &&
        window_title(display, children[i]) == title &&
        XGetWindowAttributes(display, children[i], &attributes) &&
        attributes.map_state == IsViewable)
      found = children[i];
  }
  if (children)
    XFree(children);
  return found;
}

void x_display::request_close(unsigned long window) {
  XEvent event;
  memset(&event, 0, sizeof(event));
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

bool x_display::window_size(unsigned long window, int *width, int *height) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes))
    return false;
  *width = attributes.width;
  *height = attributes.height;
  return true;
}

// Glyph edges blend with the black background, so a pixel counts when it is
// the colour scaled by a coverage of at least 0.6 (each channel within 6
// steps of that scaled colour). The dark background themes stay below it.
static bool colour_near(unsigned long pixel, unsigned long rgb) {
  int p[3], t[3];
  for (int i = 0; i < 3; i++) {
    p[i] = static_cast<int>((pixel >> (16 - 8 * i)) & 0xff);
    t[i] = static_cast<int>((rgb >> (16 - 8 * i)) & 0xff);
  }
  int strongest = 0;
  for (int i = 1; i < 3; i++)
    if (t[i] > t[strongest])
      strongest = i;
  if (t[strongest] == 0)
    return p[0] <= 6 && p[1] <= 6 && p[2] <= 6;
  double coverage = static_cast<double>(p[strongest]) / t[strongest];
  if (coverage < 0.6 || coverage > 1.05)
    return false;
  for (int i = 0; i < 3; i++) {
    double expected = coverage * t[i];
    if (p[i] - expected > 6 || expected - p[i] > 6)
      return false;
  }
  return true;
}

long x_display::count_pixels(unsigned long window, unsigned long rgb) {
  XWindowAttributes attributes;
  if (!display || !XGetWindowAttributes(display, window, &attributes))
    return -1;
  XImage *image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes,
                            ZPixmap);
  if (!image)
    return -1;
  long count = 0;
  for (int y = 0; y < attributes.height; y++)
    for (int x = 0; x < attributes.width; x++)
      if (colour_near(XGetPixel(image, x, y), rgb))
        count++;
  XDestroyImage(image);
  return count;
}

void x_display::save_screenshot(const std::string &path) {
  std::string command = "import -window root '" + path + "' 2>/dev/null";
  if (system(command.c_str()) != 0)
    fprintf(stderr, "screenshot to %s failed\n", path.c_str());
}

debug_log_tail::debug_log_tail() {
  struct stat st;
  start = stat(path(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

std::string debug_log_tail::added() const {
  std::string all = read_file(path());
  return static_cast<long>(all.size()) > start ? all.substr(start) : std::string();
}

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

} // namespace e2e
