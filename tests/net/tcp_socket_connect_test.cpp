// Connecting the socket, plain and TLS, against real loopback peers: success,
// refusal, time-outs, a stalled handshake, and the calls a connect state forbids.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "net/net_test_support.h"
#include "net/socket_fixture.h"
#include "net/tcp_socket.h"
#include "tls_server.h"

namespace {

using connect_test = socket_fixture;
using connect_both = plain_or_tls;

TEST_F(connect_test, a_socket_never_connected_refuses_every_call_with_not_connected) {
  char buffer[16];
  struct io_case {
    const char *call;
    int (*run)(trel_tcp_socket &, char *);
    bool read_side;
  };
  const io_case cases[] = {
      {"nonblocking_read", [](trel_tcp_socket &s, char *b) { return s.nonblocking_read(b, 16); },
       true},
      {"nonblocking_read of nothing",
       [](trel_tcp_socket &s, char *) { return s.nonblocking_read(nullptr, 0); }, true},
      {"blocking_read", [](trel_tcp_socket &s, char *b) { return s.blocking_read(b, 16, 10); },
       true},
      {"nonblocking_write", [](trel_tcp_socket &s, char *b) { return s.nonblocking_write(b, 16); },
       false},
      {"nonblocking_write of nothing",
       [](trel_tcp_socket &s, char *) { return s.nonblocking_write(nullptr, 0); }, false},
      {"blocking_write", [](trel_tcp_socket &s, char *b) { return s.blocking_write(b, 16, 10); },
       false},
      {"check_connect", [](trel_tcp_socket &s, char *) { return s.check_connect(); }, false},
  };
  for (const io_case &c : cases) {
    trel_tcp_socket socket;
    EXPECT_EQ(-1, c.run(socket, buffer)) << c.call;
    EXPECT_EQ(-44, c.read_side ? socket.read_error : socket.write_error) << c.call;
    EXPECT_EQ(trel_tcp_socket::unconnected, socket.get_state()) << c.call;
  }
}

TEST_P(connect_both, connects_and_carries_bytes_both_ways) {
  bool tls = GetParam();
  start_server(tls);
  ASSERT_EQ(1, connect_client(tls));
  EXPECT_EQ(trel_tcp_socket::connected, client.get_state());
  ASSERT_EQ(1, server.wait_for_client(patience_ms));

  // Nothing to read yet: the wait runs out and nothing is closed.
  char buffer[64];
  EXPECT_EQ(0, client.blocking_read(buffer, sizeof buffer, 20));
  // Empty and null buffers are no-ops on a connected socket.
  EXPECT_EQ(0, client.nonblocking_read(buffer, 0));
  EXPECT_EQ(0, client.nonblocking_read(nullptr, 10));
  EXPECT_EQ(0, client.nonblocking_write("x", 0));
  EXPECT_EQ(0, client.nonblocking_write(nullptr, 5));
  EXPECT_EQ(0, client.blocking_read(buffer, -1, 10));
  EXPECT_EQ(0, client.blocking_write(nullptr, 3, 10));
  EXPECT_EQ(trel_tcp_socket::connected, client.get_state());

  const std::string line = "look at the sky\n";
  EXPECT_EQ(static_cast<int>(line.size()), client.blocking_write(line.data(), line.size(), 1000));
  trel_received_line received;
  ASSERT_EQ(1,
            server.wait_for_line([](const std::string &) { return true; }, patience_ms, &received));
  EXPECT_EQ("look at the sky", received.text);
  EXPECT_EQ(line, received.raw);

  ASSERT_EQ(1, server.send("welcome\x1b[0m\n"));
  EXPECT_EQ("welcome\x1b[0m\n", read_bytes(12));
  EXPECT_EQ(trel_tcp_socket::connected, client.get_state());
}

TEST_P(connect_both, a_nonblocking_connect_completes_by_polling) {
  bool tls = GetParam();
  start_server(tls);
  if (tls) {
    ASSERT_EQ(1, client.enable_ssl());
  }
  int started = client.start_nonblocking_connect(&address, server.port());
  ASSERT_GE(started, 0);
  bool failed = false;
  // get_state advances a TCP connect; only check_connect advances a handshake.
  EXPECT_TRUE(wait_until(
      [&] {
        int state = client.get_state();
        if (state == trel_tcp_socket::ssl_connecting && client.check_connect() < 0)
          failed = true;
        failed = failed || state == trel_tcp_socket::unconnected;
        return failed || state == trel_tcp_socket::connected;
      },
      patience_ms));
  ASSERT_FALSE(failed) << "write_error " << client.write_error;
  ASSERT_EQ(1, server.wait_for_client(patience_ms));
  EXPECT_EQ(3, client.nonblocking_write("hi\n", 3));
  EXPECT_EQ(1, server.expect_line("hi", patience_ms));
}

TEST_P(connect_both, a_refused_connect_fails_at_once_with_its_reason) {
  bool tls = GetParam();
  if (tls) {
    ASSERT_EQ(1, client.enable_ssl());
  }
  EXPECT_EQ(-1, client.blocking_connect(&address, unused_loopback_port(), patience_ms));
  EXPECT_EQ(-40, client.write_error);
  EXPECT_EQ(trel_tcp_socket::unconnected, client.get_state());
}

INSTANTIATE_TEST_SUITE_P(net, connect_both, ::testing::Bool(), plain_or_tls_name);

// A listener with a backlog of 0 that never accepts: once its queue holds a
// connection, the kernel drops further connection requests, so a connect
// gets no answer at all, the local stand-in for an unreachable server.
class full_listener {
public:
  full_listener() {
    std::string error;
    if (!listener.open(0, 0, &error))
      ADD_FAILURE() << error;
  }
  int port() const { return listener.port(); }
  // Fills the queue; returns the write_error of the first connect that got
  // no answer within wait_ms (-41), or 0 when every connect was answered.
  int fill(int wait_ms) {
    sockaddr_in address = loopback_address();
    for (int i = 0; i < 8; ++i) {
      auto filler = std::make_unique<trel_tcp_socket>();
      int result = filler->blocking_connect(&address, port(), wait_ms);
      if (result != 1)
        return filler->write_error;
      fillers.push_back(std::move(filler));
    }
    return 0;
  }
  ~full_listener() {
    for (auto &filler : fillers)
      filler->close();
  }

private:
  trel_tls_listener listener;
  std::vector<std::unique_ptr<trel_tcp_socket>> fillers;
};

TEST_F(connect_test, a_connect_that_gets_no_answer_times_out_and_closes) {
  full_listener listener;
  // The connect that finds the queue full waits its time-out and gives up.
  EXPECT_EQ(-41, listener.fill(300));
  trel_tcp_socket socket;
  EXPECT_EQ(-1, socket.blocking_connect(&address, listener.port(), 200));
  EXPECT_EQ(-41, socket.write_error);
  EXPECT_EQ(trel_tcp_socket::unconnected, socket.get_state());
  char buffer[4];
  EXPECT_EQ(-1, socket.nonblocking_read(buffer, sizeof buffer));
  EXPECT_EQ(-44, socket.read_error);
}

TEST_F(connect_test, a_tls_peer_that_never_answers_the_handshake_is_bounded_by_the_time_out) {
  start_server(true);
  server.stall();
  net_log_capture log(2);
  ASSERT_EQ(1, client.enable_ssl());
  EXPECT_EQ(-1, client.blocking_connect(&address, server.port(), 500));
  EXPECT_EQ(-41, client.write_error);
  EXPECT_EQ(trel_tcp_socket::unconnected, client.get_state());
  EXPECT_TRUE(
      log.contains("Warning in trel_tcp_socket::blocking_connect(), ssl handshake timed out.\n"));
  // The TCP connection itself was accepted; only the handshake went unanswered.
  EXPECT_TRUE(wait_until([&] { return server.stalled_count() == 1; }, patience_ms));
}

TEST_F(connect_test, a_failed_handshake_leaves_the_socket_for_the_caller_to_close) {
  // A plain server that answers the client's hello with text.
  start_server(false);
  net_log_capture log(3);
  ASSERT_EQ(1, client.enable_ssl());
  std::thread answering([&] {
    if (server.wait_for_client(patience_ms))
      server.send("this is not a handshake\n");
  });
  int result = client.blocking_connect(&address, server.port(), patience_ms);
  answering.join();
  EXPECT_EQ(-1, result);
  EXPECT_EQ(-21, client.write_error);
  EXPECT_EQ(trel_tcp_socket::ssl_connecting, client.get_state());
  EXPECT_TRUE(log.contains("SSL connect failed in trel_tcp_socket::ssl_retry_connect().\n"))
      << log.text();
  EXPECT_TRUE(log.contains(" - err code 1.\n")) << log.text();
  client.close();
  EXPECT_EQ(trel_tcp_socket::unconnected, client.get_state());
  EXPECT_EQ(1, server.wait_for_disconnect(patience_ms));
}

TEST_F(connect_test, a_stalled_handshake_stays_under_way_for_nonblocking_callers) {
  start_server(true);
  server.stall();
  ASSERT_EQ(1, client.enable_ssl());
  ASSERT_GE(client.start_nonblocking_connect(&address, server.port()), 0);
  EXPECT_TRUE(
      wait_until([&] { return client.get_state() != trel_tcp_socket::connecting; }, patience_ms));
  EXPECT_EQ(trel_tcp_socket::ssl_connecting, client.get_state());
  EXPECT_EQ(0, client.check_connect());
  EXPECT_EQ(trel_tcp_socket::ssl_connecting, client.get_state());
}

TEST_F(connect_test, a_second_connect_while_connecting_is_refused_as_in_progress) {
  full_listener listener;
  ASSERT_EQ(-41, listener.fill(300));
  trel_tcp_socket socket;
  ASSERT_EQ(0, socket.start_nonblocking_connect(&address, listener.port()));
  EXPECT_EQ(-1, socket.start_nonblocking_connect(&address, listener.port()));
  EXPECT_EQ(-31, socket.write_error);
  EXPECT_EQ(trel_tcp_socket::connecting, socket.get_state());
  socket.close();
}

TEST_F(connect_test, a_second_connect_while_connected_is_refused_and_the_first_goes_on) {
  start_server(true);
  ASSERT_EQ(1, connect_client(true));
  ASSERT_EQ(1, server.wait_for_client(patience_ms));
  EXPECT_EQ(-1, client.start_nonblocking_connect(&address, server.port()));
  EXPECT_EQ(-43, client.write_error);
  EXPECT_EQ(-1, client.blocking_connect(&address, server.port(), 1000));
  EXPECT_EQ(-43, client.write_error);
  EXPECT_EQ(-1, client.check_connect());
  EXPECT_EQ(-43, client.write_error);
  EXPECT_EQ(trel_tcp_socket::connected, client.get_state());
  EXPECT_EQ(6, client.nonblocking_write("still\n", 6));
  EXPECT_EQ(1, server.expect_line("still", patience_ms));
  EXPECT_EQ(0, server.wait_for_client(0)) << "no second client may have reached the server";
}

TEST_F(connect_test, ssl_is_switched_only_while_unconnected) {
  net_log_capture log(1);
  EXPECT_EQ(1, client.enable_ssl());
  EXPECT_EQ(1, client.enable_ssl());
  start_server(true);
  ASSERT_EQ(1, client.blocking_connect(&address, server.port(), patience_ms));
  EXPECT_EQ(0, client.enable_ssl());
  EXPECT_EQ(0, client.disable_ssl());
  EXPECT_EQ("Error in trel_tcp_socket::enable_ssl(), socket not in unconnected state.\n"
            "Error in trel_tcp_socket::disable_ssl(), socket not in unconnected state.\n",
            log.text());
  client.close();

  // Without TLS the next connect talks plain to a plain server.
  EXPECT_EQ(1, client.disable_ssl());
  server.stop();
  start_server(false);
  ASSERT_EQ(1, client.blocking_connect(&address, server.port(), patience_ms));
  EXPECT_EQ(6, client.nonblocking_write("plain\n", 6));
  EXPECT_EQ(1, server.expect_line("plain", patience_ms));
}

TEST_F(connect_test, a_port_outside_sixteen_bits_is_refused_before_any_socket_is_made) {
  for (int port : {-1, 65536, 3102 + 65536}) {
    trel_tcp_socket socket;
    EXPECT_EQ(-1, socket.start_nonblocking_connect(&address, port)) << port;
    EXPECT_EQ(-11, socket.write_error) << port;
    EXPECT_EQ(-1, socket.blocking_connect(&address, port, 100)) << port;
    EXPECT_EQ(trel_tcp_socket::unconnected, socket.get_state()) << port;
  }
}

TEST_F(connect_test, destroying_an_open_socket_reports_and_closes_it) {
  start_server(false);
  net_log_capture log(1);
  {
    trel_tcp_socket socket;
    ASSERT_EQ(1, socket.blocking_connect(&address, server.port(), patience_ms));
    ASSERT_EQ(1, server.wait_for_client(patience_ms));
  }
  EXPECT_EQ("Error in ~trel_tcp_socket(), socket not closed.\n", log.text());
  EXPECT_EQ(1, server.wait_for_disconnect(patience_ms));
}

} // namespace
