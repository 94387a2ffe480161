// A client socket and a scripted server on 127.0.0.1, plain or TLS, for the
// socket tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "net/net_test_support.h"
#include "net/tcp_socket.h"
#include "scripted_server.h"

class socket_fixture : public ::testing::Test {
protected:
  static void SetUpTestSuite();
  void TearDown() override;

  // Starts the scripted server (TLS or plain) on a port the kernel picks.
  void start_server(bool tls);
  // Connects the client to the server, with TLS when asked; the result of blocking_connect.
  int connect_client(bool tls, int timeout_ms = patience_ms);
  // Reads until count bytes have arrived, the connection ends or patience
  // runs out; returns what arrived.
  std::string read_bytes(size_t count);
  // Reads until the connection ends; the last read result (-1 when it ended,
  // 0 when patience ran out first).
  int read_until_gone();

  trel_scripted_server server;
  trel_tcp_socket client;
  sockaddr_in address = loopback_address();
};

// For tests that run once plain and once over TLS.
class plain_or_tls : public socket_fixture, public ::testing::WithParamInterface<bool> {};

std::string plain_or_tls_name(const ::testing::TestParamInfo<bool> &info);
