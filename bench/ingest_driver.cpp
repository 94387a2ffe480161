// The end-to-end ingest run: a TLS game server on the client's port streams
// generated game output to the real client as fast as TCP allows, and the
// run measures from outside how long the client takes to handle all of it
// (a line typed after the last byte was sent must come back), its CPU time,
// its peak memory, its idle CPU use afterwards and what a window resize over
// the full scrollback costs. Figures go to standard output as "name=value"
// lines; progress and failures go to standard error.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game_output.h"
#include "ingest_probe.h"
#include "tls_server.h"

namespace {

using ingest::clock_type;
using ingest::run_tool;
using ingest::seconds_since;

void progress(const std::string &message) {
  fprintf(stderr, "ingest: %s\n", message.c_str());
}

void figure(const std::string &name, double value) {
  printf("%s=%.6g\n", name.c_str(), value);
}

struct options {
  std::string client;
  long long bytes = 50000000;
  int port = 3102;
  unsigned long long seed = 1;
  int idle_seconds = 10;
};

int parse_options(int argc, char **argv, options *o) {
  for (int i = 1; i < argc; i += 2) {
    const std::string name = argv[i];
    if (i + 1 >= argc)
      return 0;
    const char *value = argv[i + 1];
    if (name == "--client")
      o->client = value;
    else if (name == "--bytes")
      o->bytes = atoll(value);
    else if (name == "--port")
      o->port = atoi(value);
    else if (name == "--seed")
      o->seed = strtoull(value, nullptr, 10);
    else if (name == "--idle-seconds")
      o->idle_seconds = atoi(value);
    else
      return 0;
  }
  return !o->client.empty() && o->bytes > 0 && o->port > 0 && o->idle_seconds > 0;
}

class ingest_run {
public:
  explicit ingest_run(const options &o) : opts(o) {}
  ~ingest_run();
  // 0 when every measurement was taken, 1 otherwise.
  int run();

private:
  int fail(const std::string &why);
  int connect_client();
  void type_line(const std::string &text);
  int wait_for_line(const std::string &text, int timeout_ms);
  // Types text and Return; the seconds until the line arrives at the server,
  // or -1 when it does not within timeout_ms.
  double typed_round_trip(const std::string &text, int timeout_ms);
  // The middle of three typed round trips (typing itself varies a lot).
  double typing_time(const std::string &name);
  double idle_cpu_percent(int seconds);
  // Streams the output; *elapsed gets the seconds from the first byte until
  // the line typed after the last one came back.
  int stream_output(const std::string &stream, double *elapsed);
  int resize(const std::string &name, int width, int height);

  const options &opts;
  std::string work;
  trel_tls_server_context context;
  trel_tls_listener listener;
  trel_tls_connection connection;
  ingest::client_process client;
  std::string window;
  ingest::window_band band;
  double idle_rss = 0;
};

ingest_run::~ingest_run() {
  // The client keeps its settings in the temporary HOME: it goes first.
  client.stop();
  if (!work.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(work, ignored);
  }
}

int ingest_run::fail(const std::string &why) {
  progress("FAILED: " + why);
  std::ifstream log(work + "/client.log");
  const std::string output((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  if (!output.empty())
    progress("the client's output:\n" + output);
  return 1;
}

int ingest_run::wait_for_line(const std::string &text, int timeout_ms) {
  const clock_type::time_point deadline = clock_type::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    const long long left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock_type::now()).count();
    if (left <= 0)
      return 0;
    std::string line;
    if (connection.read_line(&line, int(left)) != 1)
      return 0;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line == text)
      return 1;
  }
}

void ingest_run::type_line(const std::string &text) {
  run_tool({"xdotool", "windowfocus", "--sync", window});
  run_tool({"xdotool", "type", "--delay", "5", "--", text});
  run_tool({"xdotool", "key", "Return"});
}

double ingest_run::typed_round_trip(const std::string &text, int timeout_ms) {
  const clock_type::time_point start = clock_type::now();
  type_line(text);
  if (!wait_for_line(text, timeout_ms))
    return -1;
  return seconds_since(start);
}

double ingest_run::typing_time(const std::string &name) {
  std::vector<double> times;
  for (int i = 0; i < 3; i++) {
    const double t = typed_round_trip("bench-" + name + "-" + std::to_string(i), 30000);
    if (t < 0)
      return -1;
    times.push_back(t);
  }
  std::sort(times.begin(), times.end());
  return times[1];
}

double ingest_run::idle_cpu_percent(int seconds) {
  const double before = ingest::process_cpu_seconds(client.pid());
  const clock_type::time_point start = clock_type::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double used = ingest::process_cpu_seconds(client.pid()) - before;
  return 100.0 * used / seconds_since(start);
}

int ingest_run::connect_client() {
  std::string error, certificate, key;
  if (!trel_make_test_certificate(work, &certificate, &key, &error) ||
      !context.load(certificate, key, &error))
    return fail("no test certificate: " + error);
  // The end-to-end tests use the same fixed port; wait for a run of theirs to end.
  const clock_type::time_point port_deadline = clock_type::now() + std::chrono::minutes(10);
  while (!listener.open(opts.port, 4, &error)) {
    if (clock_type::now() > port_deadline)
      return fail("cannot listen on port " + std::to_string(opts.port) + ": " + error);
    progress("the game port is busy, waiting");
    std::this_thread::sleep_for(std::chrono::seconds(5));
  }
  const std::string home = work + "/home";
  if (mkdir(home.c_str(), 0700) != 0)
    return fail("cannot make " + home);
  if (!client.start(opts.client, home, work + "/client.log"))
    return fail("cannot start " + opts.client);
  const int descriptor = listener.accept_connection(30000);
  if (descriptor < 0)
    return fail("the client did not connect within 30 s");
  if (!connection.attach(descriptor, context.get()) || connection.handshake(15000) != 1)
    return fail("the TLS handshake with the client failed");
  std::string hello;
  if (connection.read_line(&hello, 15000) != 1 || hello.compare(0, 9, "_Zolvent ") != 0)
    return fail("no hello line from the client (got '" + hello + "')");
  std::string found;
  run_tool({"timeout", "30", "xdotool", "search", "--sync", "--onlyvisible", "--pid",
            std::to_string(client.pid()), "--name", "^Quenmar"},
           &found);
  window = found.substr(0, found.find('\n'));
  if (window.empty() || !band.open(std::stoul(window)))
    return fail("no visible client window");
  return 0;
}

int ingest_run::stream_output(const std::string &stream, double *elapsed) {
  ingest::repaint_watch watch;
  watch.start(std::stoul(window), 50);
  const double cpu_before = ingest::process_cpu_seconds(client.pid());
  const clock_type::time_point start = clock_type::now();
  constexpr size_t chunk = 256 * 1024;
  for (size_t at = 0; at < stream.size(); at += chunk) {
    const int size = int(std::min(chunk, stream.size() - at));
    if (connection.write_all(stream.data() + at, size, 600000) != 1)
      return fail("the client stopped reading at byte " + std::to_string(at));
  }
  const double send_seconds = seconds_since(start);
  // Only a line typed once the last byte is sent, and handled after it,
  // shows that the client is through.
  std::thread typist([this] { type_line("bench-ingest-done"); });
  // When the client has taken every byte off its socket: a lower bound
  // only, since a reader may hold bytes it has not handled yet.
  while (ingest::bytes_in_flight(connection.descriptor()) > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const double read_seconds = seconds_since(start);
  const int arrived = wait_for_line("bench-ingest-done", 600000);
  typist.join();
  if (!arrived)
    return fail("the line typed after the stream never arrived");
  const clock_type::time_point done = clock_type::now();
  *elapsed = seconds_since(start);
  const double cpu = ingest::process_cpu_seconds(client.pid()) - cpu_before;
  int repaints = 0;
  double longest_still = 0;
  watch.summary(start, done, &repaints, &longest_still);
  watch.stop();
  const double peak = ingest::process_memory_bytes(client.pid(), "VmHWM");
  figure("ingest_bytes", double(stream.size()));
  figure("ingest_send_seconds", send_seconds);
  figure("ingest_read_seconds", read_seconds);
  figure("ingest_elapsed_seconds", *elapsed);
  figure("ingest_cpu_seconds", cpu);
  figure("ingest_repaints_seen", repaints);
  figure("ingest_longest_still_seconds", longest_still);
  figure("peak_hwm_bytes", peak);
  figure("rss_after_bytes", ingest::process_memory_bytes(client.pid(), "VmRSS"));
  figure("peak_bytes_per_ingested_byte", (peak - idle_rss) / double(stream.size()));
  return 0;
}

// Resizes the window and watches the main pane's band until it has been
// still for a while: the time of its last change is when the client had
// re-laid out, re-broken the scrollback and repainted. Then a typed line
// must still come back.
int ingest_run::resize(const std::string &name, int width, int height) {
  int old_width = 0, old_height = 0;
  if (!band.size(&old_width, &old_height))
    return fail("cannot read the window size");
  // Only the columns that exist before and after, so a bare size change is no change.
  const int columns = std::min(old_width, width);
  const uint64_t before = band.hash(columns);
  const double cpu_before = ingest::process_cpu_seconds(client.pid());
  const clock_type::time_point start = clock_type::now();
  std::thread resizer([&] {
    run_tool({"xdotool", "windowsize", window, std::to_string(width), std::to_string(height)});
  });
  constexpr double settle_seconds = 0.5;
  uint64_t previous = before;
  double last_change = -1;
  while (seconds_since(start) < 20) {
    bool uniform = false;
    const uint64_t now = band.hash(columns, &uniform);
    const double at = seconds_since(start);
    // A band of one colour is a cleared window, not the client's paint.
    if (now != 0 && now != previous && !uniform) {
      last_change = at;
      previous = now;
    }
    if (last_change >= 0 && at - last_change >= settle_seconds)
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  resizer.join();
  const double cpu = ingest::process_cpu_seconds(client.pid()) - cpu_before;
  int new_width = 0, new_height = 0;
  if (!band.size(&new_width, &new_height) || new_width != width)
    return fail("the window did not take the new size");
  if (last_change < 0)
    return fail("the pane was not repainted after the resize");
  figure(name + "_repaint_seconds", last_change);
  figure(name + "_cpu_seconds", cpu);
  const double answer = typed_round_trip("bench-" + name, 30000);
  if (answer < 0)
    return fail("no answer after the resize");
  figure(name + "_typed_line_seconds", answer);
  return 0;
}

int ingest_run::run() {
  char pattern[] = "/tmp/quenmar-ingest-XXXXXX";
  if (!mkdtemp(pattern))
    return fail("no temporary directory");
  work = pattern;
  trel_ignore_broken_pipe();

  progress("generating " + std::to_string(opts.bytes) + " bytes of game output");
  std::string stream;
  trel_game_output generator(opts.seed);
  generator.append(stream, size_t(opts.bytes));
  figure("ingest_lines", double(generator.stats().text_lines));
  figure("ingest_records", double(generator.stats().records + generator.stats().bare_tags));

  progress("starting the client");
  if (connect_client() != 0)
    return 1;
  const double idle_typing = typing_time("idle");
  if (idle_typing < 0)
    return fail("a typed line did not reach the server");
  idle_rss = ingest::process_memory_bytes(client.pid(), "VmRSS");
  figure("idle_typing_seconds", idle_typing);
  figure("idle_rss_bytes", idle_rss);
  progress("measuring idle CPU before the ingest");
  figure("idle_cpu_percent_fresh", idle_cpu_percent(opts.idle_seconds));

  progress("streaming");
  double elapsed = 0;
  if (stream_output(stream, &elapsed) != 0)
    return 1;

  // The time to type the final line is no part of the ingest. It is taken
  // from lines typed now, with the client warmed up and its scrollback full,
  // as it was when that line came.
  const double after_typing = typing_time("after");
  if (after_typing < 0)
    return fail("the client stopped answering after the ingest");
  figure("after_typing_seconds", after_typing);
  const double seconds = std::max(elapsed - after_typing, 1e-3);
  figure("ingest_seconds", seconds);
  figure("ingest_mb_per_second", double(stream.size()) / 1e6 / seconds);
  progress("measuring idle CPU after the ingest");
  figure("idle_cpu_percent", idle_cpu_percent(opts.idle_seconds));

  progress("resizing");
  int width = 0, height = 0;
  if (!band.size(&width, &height))
    return fail("cannot read the window size");
  figure("window_width", width);
  figure("window_height", height);
  if (resize("resize_narrow", width * 3 / 4, height) != 0 ||
      resize("resize_wide", width, height) != 0)
    return 1;
  if (!client.running())
    return fail("the client ended during the run");
  progress("done");
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  options opts;
  if (!parse_options(argc, argv, &opts)) {
    fprintf(stderr,
            "usage: %s --client <quenmar binary> [--bytes N] [--port P] [--seed S] "
            "[--idle-seconds S]\n",
            argv[0]);
    return 2;
  }
  setvbuf(stdout, nullptr, _IOLBF, 0);
  ingest_run run(opts);
  return run.run();
}
