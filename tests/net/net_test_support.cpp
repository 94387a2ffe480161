// Shared pieces of the net tests.
#include "net/net_test_support.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/debug_log.h"
#include "tls_server.h"

net_temp_dir::net_temp_dir() {
  char pattern[] = "/tmp/quenmar_net_test_XXXXXX";
  const char *made = mkdtemp(pattern);
  if (!made) {
    ADD_FAILURE() << "mkdtemp failed";
    return;
  }
  root = made;
}

net_temp_dir::~net_temp_dir() {
  if (root.empty())
    return;
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}

namespace {

void close_debug_log() {
  if (trel_client_debug_logfile_is_open())
    trel_client_debug_logfile_close();
  trel_client_set_debug_logfile_name(nullptr);
}

} // namespace

net_log_capture::net_log_capture(int level) : saved_level(debug_level) {
  close_debug_log();
  log_path = directory.path() + "/debug.log";
  trel_client_set_debug_logfile_name(log_path.c_str());
  // Opened quietly, so the log's own "opened logfile" report stays out.
  debug_level = 0;
  trel_client_try_open_debug_logfile();
  debug_level = level;
}

net_log_capture::~net_log_capture() {
  debug_level = saved_level;
  close_debug_log();
}

std::string net_log_capture::text() const {
  std::ifstream in(log_path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

sockaddr_in loopback_address() {
  sockaddr_in address;
  memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int unused_loopback_port() {
  trel_tls_listener listener;
  std::string error;
  if (!listener.open(0, 1, &error)) {
    ADD_FAILURE() << error;
    return 0;
  }
  int port = listener.port();
  listener.close();
  return port;
}

namespace {

struct certificate_files {
  net_temp_dir directory;
  std::string certificate;
  std::string key;
  certificate_files() {
    std::string error;
    if (!trel_make_test_certificate(directory.path(), &certificate, &key, &error))
      ADD_FAILURE() << "cannot make the test certificate: " << error;
  }
};

const certificate_files &certificates() {
  static certificate_files files;
  return files;
}

} // namespace

const std::string &test_certificate_path() {
  return certificates().certificate;
}
const std::string &test_key_path() {
  return certificates().key;
}

bool wait_until(const std::function<bool()> &condition, int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (condition())
      return true;
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}
