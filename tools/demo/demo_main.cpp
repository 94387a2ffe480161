// quenmar_demo_server: the bundled demo game server.
//
//   quenmar_demo_server [--port N]
//
// Serves TLS on 127.0.0.1 (port 3102 unless told otherwise) with a throwaway
// self-signed certificate made at start. Connections and problems are noted
// on standard error; SIGINT or SIGTERM ends it after a goodbye to everyone.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "demo_server.h"
#include "tls_server.h"

namespace {

constexpr int default_port = 3102;

trel_demo_server *running_server = nullptr;

void stop_on_signal(int) {
  if (running_server)
    running_server->request_stop();
}

void usage() {
  fprintf(stderr, "usage: quenmar_demo_server [--port N]\n");
}

bool parse_port(const char *text, int *port) {
  char *rest = nullptr;
  long parsed = strtol(text, &rest, 10);
  if (!*text || *rest || parsed < 0 || parsed > 65535)
    return false;
  *port = static_cast<int>(parsed);
  return true;
}

} // namespace

int main(int argc, char **argv) {
  int port = default_port;
  for (int i = 1; i < argc; i++) {
    if (strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
      if (!parse_port(argv[++i], &port)) {
        fprintf(stderr, "quenmar_demo_server: bad port '%s'\n", argv[i]);
        return 2;
      }
    } else if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
      usage();
      return 0;
    } else {
      usage();
      return 2;
    }
  }

  trel_ignore_broken_pipe();
  trel_demo_server server;
  server.set_log(stderr);
  std::string error;
  if (!server.start(port, &error)) {
    fprintf(stderr, "quenmar_demo_server: %s\n", error.c_str());
    return 1;
  }
  running_server = &server;
  struct sigaction action;
  memset(&action, 0, sizeof action);
  action.sa_handler = stop_on_signal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  int served = server.run();
  running_server = nullptr;
  return served ? 0 : 1;
}
