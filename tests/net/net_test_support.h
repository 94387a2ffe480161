// Shared pieces of the net tests: a temporary directory, a capture of the
// debug log, loopback addresses, one throwaway certificate per test process,
// and waiting for a condition.
#pragma once

#include <netinet/in.h>

#include <functional>
#include <string>

// A fresh directory under /tmp, removed with its contents on destruction.
class net_temp_dir {
public:
  net_temp_dir();
  ~net_temp_dir();
  net_temp_dir(const net_temp_dir &) = delete;
  net_temp_dir &operator=(const net_temp_dir &) = delete;
  const std::string &path() const { return root; }

private:
  std::string root;
};

// Sends the debug log to a file of its own at the given level for the life
// of the object; the log is closed again afterwards.
class net_log_capture {
public:
  explicit net_log_capture(int level);
  ~net_log_capture();
  net_log_capture(const net_log_capture &) = delete;
  net_log_capture &operator=(const net_log_capture &) = delete;
  // Everything written to the log so far.
  std::string text() const;
  bool contains(const std::string &message) const {
    return text().find(message) != std::string::npos;
  }

private:
  net_temp_dir directory;
  std::string log_path;
  int saved_level;
};

// 127.0.0.1 with family set and port 0 (the connect calls set the port).
sockaddr_in loopback_address();

// A port on 127.0.0.1 where nothing listens: bound once by the kernel's
// choice, then released.
int unused_loopback_port();

// The certificate and key of this test process, made on first use.
const std::string &test_certificate_path();
const std::string &test_key_path();

// Polls the condition every few milliseconds until it holds; false after timeout_ms.
bool wait_until(const std::function<bool()> &condition, int timeout_ms);

// Generous limit for anything the tests wait for: a loaded machine slows a
// test down but does not fail it.
constexpr int patience_ms = 20000;
