// Reading and writing through the socket against real loopback peers: how the
// end of a connection is reported, partial and refused writes, and a long TLS
// transfer driven the way the game connection drives it.
#include <gtest/gtest.h>

#include <sys/socket.h>

#include <cstring>
#include <thread>

#include "net/net_test_support.h"
#include "net/socket_fixture.h"
#include "net/tcp_socket.h"
#include "tls_server.h"

namespace {

using io_test = socket_fixture;

enum class peer_ending { orderly_close, reset, end_of_stream_only };

struct ending_case {
  const char *name;
  bool tls;
  peer_ending ending;
  int read_error;
};

// A TLS server connection made with the server library directly, for the
// endings the scripted server does not offer.
struct direct_peer {
  trel_tls_server_context context;
  trel_tls_listener listener;
  trel_tls_connection connection;

  void listen(bool tls) {
    std::string error;
    if (tls) {
      ASSERT_EQ(1, context.load(test_certificate_path(), test_key_path(), &error)) << error;
    }
    ASSERT_EQ(1, listener.open(0, 4, &error)) << error;
  }
  // Accepts the client the caller is connecting in another thread.
  void accept(bool tls) {
    int descriptor = listener.accept_connection(patience_ms);
    ASSERT_NE(-1, descriptor);
    ASSERT_EQ(1, connection.attach(descriptor, tls ? context.get() : nullptr));
    ASSERT_EQ(1, connection.handshake(patience_ms));
  }
};

TEST_F(io_test, the_end_of_a_connection_tells_orderly_from_broken) {
  const ending_case cases[] = {
      {"plain close", false, peer_ending::orderly_close, 0},
      {"plain reset", false, peer_ending::reset, -21},
      {"tls close notification", true, peer_ending::orderly_close, 0},
      {"tls reset", true, peer_ending::reset, -21},
      {"tls end of stream without notification", true, peer_ending::end_of_stream_only, 0},
  };
  for (const ending_case &c : cases) {
    SCOPED_TRACE(c.name);
    direct_peer peer;
    peer.listen(c.tls);
    trel_tcp_socket socket;
    if (c.tls) {
      ASSERT_EQ(1, socket.enable_ssl());
    }
    std::thread accepting([&] { peer.accept(c.tls); });
    int connected = socket.blocking_connect(&address, peer.listener.port(), patience_ms);
    accepting.join();
    ASSERT_EQ(1, connected);
    ASSERT_EQ(1, peer.connection.write_all("last words\n", 11, patience_ms));

    if (c.ending == peer_ending::orderly_close)
      peer.connection.close_orderly();
    else if (c.ending == peer_ending::reset)
      peer.connection.reset();
    else
      shutdown(peer.connection.descriptor(), SHUT_WR);

    // Whatever arrived before the end is still read; then the end is reported.
    std::string arrived;
    char buffer[256];
    int result = 0;
    ASSERT_TRUE(wait_until(
        [&] {
          result = socket.blocking_read(buffer, sizeof buffer, 100);
          if (result > 0)
            arrived.append(buffer, static_cast<size_t>(result));
          return result < 0;
        },
        patience_ms));
    if (c.ending != peer_ending::reset) {
      EXPECT_EQ("last words\n", arrived);
    }
    EXPECT_EQ(c.read_error, socket.read_error);
    EXPECT_EQ(trel_tcp_socket::unconnected, socket.get_state());
    // The socket is closed: nothing more to read, and the reason is kept apart.
    EXPECT_EQ(-1, socket.nonblocking_read(buffer, sizeof buffer));
    EXPECT_EQ(-44, socket.read_error);
  }
}

struct write_ending_case {
  const char *name;
  bool orderly;
  int write_error;
  const char *message;
};

TEST_F(io_test, a_tls_write_after_the_server_ended_tells_a_clean_shutdown_from_a_reset) {
  const write_ending_case cases[] = {
      {"close notification", true, 0,
       "Clean SSL shutdown in trel_tcp_socket::nonblocking_write().\n"},
      {"reset", false, -21, "Unexpected ssl close in trel_tcp_socket::nonblocking_write().\n"},
  };
  for (const write_ending_case &c : cases) {
    SCOPED_TRACE(c.name);
    start_server(true);
    ASSERT_EQ(1, connect_client(true));
    ASSERT_EQ(1, server.wait_for_client(patience_ms));
    ASSERT_EQ(1, c.orderly ? server.close() : server.reset());
    net_log_capture log(3);
    // The first writes may still be taken by the local kernel; the server's
    // answer to them ends the connection.
    int result = 0;
    EXPECT_TRUE(wait_until(
        [&] {
          result = client.blocking_write("more\n", 5, 50);
          return result < 0;
        },
        patience_ms));
    EXPECT_EQ(-1, result);
    EXPECT_EQ(c.write_error, client.write_error);
    EXPECT_EQ(trel_tcp_socket::unconnected, client.get_state());
    EXPECT_TRUE(log.contains(c.message)) << log.text();
    server.stop();
    client.close();
  }
}

TEST_F(io_test, a_full_socket_takes_nothing_now_and_stays_connected) {
  direct_peer peer;
  peer.listen(false);
  std::thread accepting([&] { peer.accept(false); });
  ASSERT_EQ(1, client.blocking_connect(&address, peer.listener.port(), patience_ms));
  accepting.join();

  // The peer reads nothing, so the buffers fill and the socket takes nothing more.
  std::string chunk(65536, '\0');
  for (size_t i = 0; i < chunk.size(); ++i)
    chunk[i] = static_cast<char>('a' + i % 26);
  long long accepted = 0;
  int result = 1;
  for (int round = 0; round < 100000 && result > 0; ++round) {
    result = client.nonblocking_write(chunk.data(), static_cast<int>(chunk.size()));
    if (result > 0)
      accepted += result;
  }
  ASSERT_EQ(0, result) << "the socket never filled";
  EXPECT_EQ(trel_tcp_socket::connected, client.get_state());
  EXPECT_EQ(0, client.blocking_write(chunk.data(), 10, 20));
  EXPECT_EQ(trel_tcp_socket::connected, client.get_state());

  // Every byte taken arrives, in order.
  long long received = 0;
  bool in_order = true;
  char buffer[65536];
  EXPECT_TRUE(wait_until(
      [&] {
        int count = peer.connection.read_some(buffer, sizeof buffer);
        for (int i = 0; i < count && in_order; ++i)
          in_order = buffer[i] == static_cast<char>('a' + (received + i) % 65536 % 26);
        if (count > 0)
          received += count;
        return received >= accepted || count < 0;
      },
      patience_ms));
  EXPECT_EQ(accepted, received);
  EXPECT_TRUE(in_order);
}

// The game connection's way of writing: a buffer of 10000 bytes, new text
// appended at its end, sent bytes removed from its front, and the rest
// offered again later, perhaps with more appended. Here the rest is also
// offered from another place in memory after a write that took nothing, as a
// caller whose buffer grows or moves would. Through TLS with a peer that
// falls behind, every byte must still arrive once and in order.
TEST_F(io_test, partial_tls_writes_from_a_moving_buffer_keep_every_byte_in_order) {
  direct_peer peer;
  peer.listen(true);
  ASSERT_EQ(1, client.enable_ssl());
  std::thread accepting([&] { peer.accept(true); });
  ASSERT_EQ(1, client.blocking_connect(&address, peer.listener.port(), patience_ms));
  accepting.join();

  constexpr int line_count = 500000;
  constexpr int line_length = 12; // "line 123456\n"
  std::thread reader;
  bool reader_ok = false;
  auto start_reader = [&] {
    reader = std::thread([&] {
      int expected = 0;
      std::string line;
      while (expected < line_count) {
        if (peer.connection.read_line(&line, patience_ms) != 1)
          return;
        char wanted[32];
        snprintf(wanted, sizeof wanted, "line %06d", expected);
        if (line != wanted)
          return;
        ++expected;
      }
      reader_ok = true;
    });
  };

  char buffers[2][10000];
  int current = 0;
  char *outgoing = buffers[current];
  int queued = 0;
  int next_line = 0;
  bool blocked_once = false;
  bool failed = false;
  while (!failed && (next_line < line_count || queued > 0)) {
    while (next_line < line_count && queued + line_length <= static_cast<int>(sizeof buffers[0])) {
      char text[32];
      snprintf(text, sizeof text, "line %06d\n", next_line++);
      memcpy(outgoing + queued, text, line_length);
      queued += line_length;
    }
    // After a write that took nothing, wait for room; otherwise try at once.
    int result = blocked_once ? client.blocking_write(outgoing, queued, patience_ms)
                              : client.nonblocking_write(outgoing, queued);
    if (result < 0) {
      failed = true;
    } else if (result == 0) {
      if (!blocked_once)
        start_reader();
      blocked_once = true;
      current = 1 - current;
      memcpy(buffers[current], outgoing, static_cast<size_t>(queued));
      outgoing = buffers[current];
    } else {
      memmove(outgoing, outgoing + result, static_cast<size_t>(queued - result));
      queued -= result;
    }
  }
  if (!reader.joinable())
    start_reader();
  reader.join();
  EXPECT_FALSE(failed) << "write_error " << client.write_error;
  EXPECT_TRUE(blocked_once) << "the peer never fell behind; the test proved less than it should";
  EXPECT_TRUE(reader_ok) << "the server did not receive every line in order";
}

} // namespace
