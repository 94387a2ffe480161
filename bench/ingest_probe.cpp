// The ingest run's view of the client from outside: /proc, the TCP queues,
// window pixels over X, and the tools that drive it.
#include "ingest_probe.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace ingest {

double seconds_since(clock_type::time_point start) {
  return std::chrono::duration<double>(clock_type::now() - start).count();
}

int run_tool(const std::vector<std::string> &args, std::string *output) {
  if (args.empty())
    return -1;
  int pipe_ends[2] = {-1, -1};
  if (output && pipe(pipe_ends) != 0)
    return -1;
  pid_t child = fork();
  if (child < 0)
    return -1;
  if (child == 0) {
    int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, 0);
    dup2(output ? pipe_ends[1] : devnull, 1);
    dup2(devnull, 2);
    std::vector<char *> argv;
    for (const std::string &a : args)
      argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  if (output) {
    close(pipe_ends[1]);
    char buffer[4096];
    ssize_t got;
    while ((got = read(pipe_ends[0], buffer, sizeof buffer)) > 0)
      output->append(buffer, size_t(got));
    close(pipe_ends[0]);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child)
    return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double process_cpu_seconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The command name may hold blanks and parentheses: fields follow the last ')'.
  const size_t close_paren = all.rfind(')');
  if (close_paren == std::string::npos || close_paren + 2 > all.size())
    return -1;
  std::istringstream fields(all.substr(close_paren + 2));
  std::string skipped;
  // Fields 3 to 13 come before utime (14) and stime (15).
  for (int field = 3; field <= 13; field++)
    if (!(fields >> skipped))
      return -1;
  unsigned long long utime = 0, stime = 0;
  if (!(fields >> utime >> stime))
    return -1;
  return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

double process_memory_bytes(pid_t pid, const char *key) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  const size_t key_length = strlen(key);
  while (std::getline(in, line))
    if (line.size() > key_length && line.compare(0, key_length, key) == 0 &&
        line[key_length] == ':')
      return atof(line.c_str() + key_length + 1) * 1024.0; // the figures are in kB
  return -1;
}

long long bytes_in_flight(int descriptor) {
  int unsent = 0;
  sockaddr_in peer{};
  socklen_t peer_size = sizeof peer;
  if (ioctl(descriptor, SIOCOUTQ, &unsent) != 0 ||
      getpeername(descriptor, reinterpret_cast<sockaddr *>(&peer), &peer_size) != 0)
    return -1;
  char local_port[16];
  snprintf(local_port, sizeof local_port, ":%04X", unsigned(ntohs(peer.sin_port)));
  std::ifstream table("/proc/net/tcp");
  std::string line;
  while (std::getline(table, line)) {
    // "sl local_address rem_address st tx_queue:rx_queue ..."
    std::istringstream fields(line);
    std::string slot, local_address, remote_address, state, queues;
    if (!(fields >> slot >> local_address >> remote_address >> state >> queues))
      continue;
    const size_t port_at = local_address.find(':');
    if (port_at == std::string::npos || local_address.compare(port_at, 5, local_port) != 0 ||
        local_address.size() != port_at + 5)
      continue;
    const size_t colon = queues.find(':');
    if (colon == std::string::npos)
      continue;
    return unsent + strtoll(queues.c_str() + colon + 1, nullptr, 16);
  }
  return -1;
}

client_process::~client_process() {
  stop();
}

void client_process::stop() {
  if (child > 0) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    child = -1;
  }
}

int client_process::start(const std::string &binary, const std::string &home,
                          const std::string &log_path) {
  child = fork();
  if (child < 0)
    return 0;
  if (child == 0) {
    setenv("HOME", home.c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);
    int devnull = open("/dev/null", O_RDWR);
    int log = open(log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(devnull, 0);
    dup2(log >= 0 ? log : devnull, 1);
    dup2(log >= 0 ? log : devnull, 2);
    execl(binary.c_str(), binary.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  return 1;
}

bool client_process::running() {
  if (child <= 0)
    return false;
  if (waitpid(child, nullptr, WNOHANG) == 0)
    return true;
  child = -1; // reaped: the number may belong to another process from now on
  return false;
}

window_band::~window_band() {
  if (display)
    XCloseDisplay(display);
}

int window_band::open(unsigned long window_id) {
  display = XOpenDisplay(nullptr);
  if (!display)
    return 0;
  // A window that changes or goes away under us must not end the run.
  XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
  window = window_id;
  return 1;
}

int window_band::size(int *width, int *height) {
  XWindowAttributes attributes;
  if (!display || !XGetWindowAttributes(display, window, &attributes))
    return 0;
  *width = attributes.width;
  *height = attributes.height;
  return 1;
}

uint64_t window_band::hash(int max_width, bool *uniform) {
  int width = 0, height = 0;
  if (!size(&width, &height) || width < 4 || height < 8)
    return 0;
  if (max_width > 0 && max_width < width)
    width = max_width;
  const int band = height / 4;
  XImage *image = XGetImage(display, window, 0, height / 2 - band / 2, unsigned(width),
                            unsigned(band), AllPlanes, ZPixmap);
  if (!image)
    return 0;
  uint64_t hash = 1469598103934665603ull; // FNV-1a
  const size_t size = size_t(image->bytes_per_line) * size_t(image->height);
  for (size_t i = 0; i < size; i++)
    hash = (hash ^ uint8_t(image->data[i])) * 1099511628211ull;
  if (uniform) {
    const unsigned long first = XGetPixel(image, 0, 0);
    *uniform = true;
    for (int y = 0; y < image->height && *uniform; y++)
      for (int x = 0; x < image->width && *uniform; x++)
        *uniform = XGetPixel(image, x, y) == first;
  }
  XDestroyImage(image);
  return hash | 1;
}

int repaint_watch::start(unsigned long window_id, int period_ms) {
  if (!band.open(window_id))
    return 0;
  period = period_ms;
  running = true;
  worker = std::thread([this] { run(); });
  return 1;
}

void repaint_watch::stop() {
  running = false;
  if (worker.joinable())
    worker.join();
}

void repaint_watch::summary(clock_type::time_point from, clock_type::time_point to, int *changes,
                            double *longest_still) {
  std::lock_guard<std::mutex> lock(mutex);
  *changes = 0;
  clock_type::time_point last = from;
  double longest = 0;
  for (clock_type::time_point moment : moments) {
    if (moment < from || moment > to)
      continue;
    (*changes)++;
    longest = std::max(longest, std::chrono::duration<double>(moment - last).count());
    last = moment;
  }
  *longest_still = std::max(longest, std::chrono::duration<double>(to - last).count());
}

void repaint_watch::run() {
  uint64_t previous = 0;
  while (running) {
    const uint64_t now = band.hash();
    if (now != 0 && previous != 0 && now != previous) {
      std::lock_guard<std::mutex> lock(mutex);
      moments.push_back(clock_type::now());
    }
    if (now != 0)
      previous = now;
    std::this_thread::sleep_for(std::chrono::milliseconds(period));
  }
}

} // namespace ingest
