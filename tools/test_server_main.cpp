// quenmar_test_server: runs a server script (see server_script.h) against one
// client at a time, so the scripted server can be driven from the shell.
//
//   quenmar_test_server [--port N] [--plain] [--cert FILE --key FILE]
//                       [--timeout MS] SCRIPT
//
// Without --cert and --key a throwaway self-signed certificate is made in a
// temporary directory. The first line on standard output is
// "listening on port N"; events and received lines go to standard error.
// Exit status: 0 when the script ran to its end, 1 when a step failed, 2 on
// a usage, script or start-up error.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "scripted_server.h"
#include "server_script.h"
#include "tls_server.h"

namespace {

void usage() {
  fprintf(stderr, "usage: quenmar_test_server [--port N] [--plain] [--cert FILE --key FILE] "
                  "[--timeout MS] SCRIPT\n");
}

bool parse_int(const char *text, int lowest, int highest, int *value) {
  char *rest = nullptr;
  long parsed = strtol(text, &rest, 10);
  if (!*text || *rest || parsed < lowest || parsed > highest)
    return false;
  *value = static_cast<int>(parsed);
  return true;
}

// Removes the throwaway certificate directory when main returns.
struct temporary_certificate {
  std::string directory;
  std::string certificate;
  std::string key;
  ~temporary_certificate() {
    if (directory.empty())
      return;
    unlink(certificate.c_str());
    unlink(key.c_str());
    rmdir(directory.c_str());
  }
};

} // namespace

int main(int argc, char **argv) {
  int port = 0;
  int timeout_ms = 30000;
  bool plain = false;
  std::string certificate_path;
  std::string key_path;
  std::string script_path;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    bool has_value = i + 1 < argc;
    if (option == "--port" && has_value) {
      if (!parse_int(argv[++i], 0, 65535, &port)) {
        usage();
        return 2;
      }
    } else if (option == "--timeout" && has_value) {
      if (!parse_int(argv[++i], 0, 3600000, &timeout_ms)) {
        usage();
        return 2;
      }
    } else if (option == "--plain") {
      plain = true;
    } else if (option == "--cert" && has_value) {
      certificate_path = argv[++i];
    } else if (option == "--key" && has_value) {
      key_path = argv[++i];
    } else if (option[0] != '-' && script_path.empty()) {
      script_path = option;
    } else {
      usage();
      return 2;
    }
  }
  if (script_path.empty() || certificate_path.empty() != key_path.empty()) {
    usage();
    return 2;
  }

  std::ifstream file(script_path, std::ios::binary);
  if (!file) {
    fprintf(stderr, "quenmar_test_server: cannot read '%s'\n", script_path.c_str());
    return 2;
  }
  std::stringstream contents;
  contents << file.rdbuf();
  std::vector<trel_script_step> steps;
  std::string error;
  if (!trel_parse_server_script(contents.str(), &steps, &error)) {
    fprintf(stderr, "quenmar_test_server: %s: %s\n", script_path.c_str(), error.c_str());
    return 2;
  }

  temporary_certificate made;
  if (!plain && certificate_path.empty()) {
    char directory[] = "/tmp/quenmar_test_server.XXXXXX";
    if (!mkdtemp(directory)) {
      fprintf(stderr, "quenmar_test_server: cannot make a temporary directory\n");
      return 2;
    }
    made.directory = directory;
    if (!trel_make_test_certificate(made.directory, &made.certificate, &made.key, &error)) {
      fprintf(stderr, "quenmar_test_server: %s\n", error.c_str());
      return 2;
    }
    certificate_path = made.certificate;
    key_path = made.key;
  }

  trel_scripted_server server;
  server.set_log(stderr);
  int started = plain ? server.start_plain(port) : server.start(port, certificate_path, key_path);
  if (!started) {
    fprintf(stderr, "quenmar_test_server: %s\n", server.error().c_str());
    return 2;
  }
  printf("listening on port %d\n", server.port());
  fflush(stdout);

  int ok = trel_run_server_script(server, steps, timeout_ms, &error);
  server.stop();
  if (!ok) {
    fprintf(stderr, "quenmar_test_server: %s: %s\n", script_path.c_str(), error.c_str());
    return 1;
  }
  return 0;
}
