// The client-and-server fixture of the socket tests.
#include "net/socket_fixture.h"

#include <chrono>
#include <csignal>

#include "net/ssl_startup.h"

void socket_fixture::SetUpTestSuite() {
  // As the client does at start-up: a TLS write to a vanished peer must fail
  // with EPIPE, not end the process.
  signal(SIGPIPE, SIG_IGN);
  ASSERT_EQ(1, trel_ssl_startup());
}

void socket_fixture::TearDown() {
  client.close();
  server.stop();
}

void socket_fixture::start_server(bool tls) {
  int started =
      tls ? server.start(0, test_certificate_path(), test_key_path()) : server.start_plain(0);
  ASSERT_EQ(1, started) << server.error();
}

int socket_fixture::connect_client(bool tls, int timeout_ms) {
  if (tls) {
    EXPECT_EQ(1, client.enable_ssl());
  }
  return client.blocking_connect(&address, server.port(), timeout_ms);
}

std::string socket_fixture::read_bytes(size_t count) {
  std::string arrived;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(patience_ms);
  char buffer[4096];
  while (arrived.size() < count && std::chrono::steady_clock::now() < deadline) {
    int result = client.blocking_read(buffer, sizeof buffer, 100);
    if (result < 0)
      break;
    arrived.append(buffer, static_cast<size_t>(result));
  }
  return arrived;
}

int socket_fixture::read_until_gone() {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(patience_ms);
  char buffer[4096];
  while (std::chrono::steady_clock::now() < deadline) {
    if (client.blocking_read(buffer, sizeof buffer, 100) < 0)
      return -1;
  }
  return 0;
}

std::string plain_or_tls_name(const ::testing::TestParamInfo<bool> &info) {
  return info.param ? "tls" : "plain";
}
