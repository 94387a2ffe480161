// The scripted test server itself: its script language, what it records of
// the client's lines, and the quenmar_test_server executable driven the way a
// shell script would drive it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>

#include "net/net_test_support.h"
#include "net/socket_fixture.h"
#include "scripted_server.h"
#include "server_script.h"

namespace {

struct escape_case {
  const char *text;
  const char *bytes; // nullptr: an error
  size_t length;
};

TEST(server_script, escapes_decode_to_bytes_and_bad_ones_are_errors) {
  const escape_case cases[] = {
      {"plain text", "plain text", 10},
      {"\\e[1;31mred\\e[0m", "\x1b[1;31mred\x1b[0m", 14},
      {"a\\r\\nb\\tc", "a\r\nb\tc", 6},
      {"\\x41\\x7e\\xFF\\x00", "A~\xff\0", 4},
      {"back\\\\slash", "back\\slash", 10},
      {";shp;100 120;ehp;", ";shp;100 120;ehp;", 17},
      {"\\q", nullptr, 0},
      {"\\x4", nullptr, 0},
      {"\\xG1", nullptr, 0},
      {"ends with \\", nullptr, 0},
  };
  for (const escape_case &c : cases) {
    std::string bytes;
    std::string error;
    int ok = trel_decode_script_escapes(c.text, &bytes, &error);
    if (c.bytes) {
      EXPECT_EQ(1, ok) << c.text << ": " << error;
      EXPECT_EQ(std::string(c.bytes, c.length), bytes) << c.text;
    } else {
      EXPECT_EQ(0, ok) << c.text;
      EXPECT_FALSE(error.empty()) << c.text;
    }
  }
}

TEST(server_script, a_script_parses_into_steps_in_order) {
  const std::string script = "# greet and wait\r\n"
                             "wait_client\r\n"
                             "\n"
                             "send  two leading blanks stay \\n\n"
                             "expect look\n"
                             "sleep_ms 25\n"
                             "stall\n"
                             "close\n"
                             "reset\n"
                             "wait_disconnect";
  std::vector<trel_script_step> steps;
  std::string error;
  ASSERT_EQ(1, trel_parse_server_script(script, &steps, &error)) << error;
  ASSERT_EQ(8u, steps.size());
  EXPECT_EQ(trel_script_step::wait_client, steps[0].kind);
  EXPECT_EQ(2, steps[0].line_number);
  EXPECT_EQ(trel_script_step::send, steps[1].kind);
  EXPECT_EQ(" two leading blanks stay \n", steps[1].text);
  EXPECT_EQ(4, steps[1].line_number);
  EXPECT_EQ(trel_script_step::expect, steps[2].kind);
  EXPECT_EQ("look", steps[2].text);
  EXPECT_EQ(trel_script_step::sleep_ms, steps[3].kind);
  EXPECT_EQ(25, steps[3].number);
  EXPECT_EQ(trel_script_step::stall, steps[4].kind);
  EXPECT_EQ(trel_script_step::close, steps[5].kind);
  EXPECT_EQ(trel_script_step::reset, steps[6].kind);
  EXPECT_EQ(trel_script_step::wait_disconnect, steps[7].kind);
}

TEST(server_script, script_errors_name_their_line) {
  const struct {
    const char *script;
    const char *error;
  } cases[] = {
      {"wait_client\nshout hello\n", "line 2: unknown command 'shout'"},
      {"close now\n", "line 1: close takes no argument"},
      {"sleep_ms\n", "line 1: sleep_ms needs a number from 0 to 600000"},
      {"sleep_ms 10x\n", "line 1: sleep_ms needs a number from 0 to 600000"},
      {"sleep_ms 600001\n", "line 1: sleep_ms needs a number from 0 to 600000"},
      {"send\n", "line 1: send needs text"},
      {"\n\nsend bad \\z\n", "line 3: unknown escape \\z"},
      {"expect two\\nlines\n", "line 1: an expected line cannot hold a line feed"},
  };
  for (const auto &c : cases) {
    std::vector<trel_script_step> steps;
    std::string error;
    EXPECT_EQ(0, trel_parse_server_script(c.script, &steps, &error)) << c.script;
    EXPECT_EQ(c.error, error) << c.script;
  }
}

using scripted_server_test = socket_fixture;

TEST_F(scripted_server_test, records_raw_lines_and_expect_takes_them_in_order) {
  start_server(false);
  EXPECT_EQ(0, server.send("nobody there\n")) << "send needs a client";
  ASSERT_EQ(1, connect_client(false));
  ASSERT_EQ(1, server.wait_for_client(patience_ms));
  const std::string sent = "first\nwith cr\r\nsecond\nthird\nunfinished";
  ASSERT_EQ(static_cast<int>(sent.size()),
            client.blocking_write(sent.data(), static_cast<int>(sent.size()), patience_ms));

  // expect skips lines that do not match and never matches a line twice.
  // A wait that runs out consumes nothing.
  EXPECT_EQ(1, server.expect_line("second", patience_ms));
  EXPECT_EQ(0, server.expect_line("first", 50));
  EXPECT_EQ(1, server.expect_line("third", patience_ms));
  EXPECT_EQ(0, server.expect_line("third", 50));
  // A line the client left unfinished is kept, without a line feed, when it goes.
  client.close();
  ASSERT_EQ(1, server.wait_for_disconnect(patience_ms));
  EXPECT_TRUE(server.disconnected());

  std::vector<trel_received_line> lines = server.lines();
  ASSERT_EQ(5u, lines.size());
  EXPECT_EQ("first", lines[0].text);
  EXPECT_EQ("first\n", lines[0].raw);
  EXPECT_EQ("with cr\r", lines[1].text) << "a carriage return must stay visible";
  EXPECT_EQ("with cr\r\n", lines[1].raw);
  EXPECT_EQ("unfinished", lines[4].text);
  EXPECT_EQ("unfinished", lines[4].raw);
  for (const trel_received_line &line : lines)
    EXPECT_EQ(1, line.client);
}

TEST_F(scripted_server_test, serves_clients_one_after_another) {
  start_server(true);
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    trel_tcp_socket socket;
    ASSERT_EQ(1, socket.enable_ssl());
    ASSERT_EQ(1, socket.blocking_connect(&address, server.port(), patience_ms));
    ASSERT_EQ(1, server.wait_for_client(patience_ms));
    EXPECT_FALSE(server.disconnected());
    ASSERT_EQ(1, server.send("hello " + std::to_string(round) + "\n"));
    std::string arrived;
    char buffer[64];
    EXPECT_TRUE(wait_until(
        [&] {
          int count = socket.blocking_read(buffer, sizeof buffer, 50);
          if (count > 0)
            arrived.append(buffer, static_cast<size_t>(count));
          return count < 0 || arrived.size() >= 8;
        },
        patience_ms));
    EXPECT_EQ("hello " + std::to_string(round) + "\n", arrived);
    EXPECT_EQ(1, server.close());
    EXPECT_EQ(1, server.disconnected());
    EXPECT_EQ(0, server.close()) << "nobody left to close";
    socket.close();
  }
  // Each client was waited for once; there is no third.
  EXPECT_EQ(0, server.wait_for_client(0));
}

TEST_F(scripted_server_test, an_orderly_close_sends_everything_queued_first) {
  start_server(true);
  ASSERT_EQ(1, connect_client(true));
  ASSERT_EQ(1, server.wait_for_client(patience_ms));
  std::string big(300000, 'x');
  big += "\nend\n";
  ASSERT_EQ(1, server.send(big));
  ASSERT_EQ(1, server.close());
  EXPECT_EQ(big, read_bytes(big.size()));
  EXPECT_EQ(-1, read_until_gone());
  EXPECT_EQ(0, client.read_error);
}

// Runs the executable on a script; returns its exit status, with what it
// printed on standard output in *output. The client step runs while the
// server waits, once the port is known.
int run_test_server(const std::string &script, const std::string &options,
                    const std::function<void(int port)> &client_step, std::string *output) {
  net_temp_dir directory;
  std::string script_path = directory.path() + "/script.txt";
  std::ofstream(script_path, std::ios::binary) << script;
  std::string command = std::string(QUENMAR_TEST_SERVER_PATH) + " " + options + " " + script_path +
                        " 2>" + directory.path() + "/events.txt";
  FILE *server = popen(command.c_str(), "r");
  if (!server)
    return -1;
  char line[128] = "";
  int port = 0;
  if (fgets(line, sizeof line, server) && sscanf(line, "listening on port %d", &port) == 1)
    client_step(port);
  *output = line;
  int status = pclose(server);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(scripted_server_test, the_executable_runs_a_script_against_a_tls_client) {
  const std::string script = "wait_client\n"
                             "send \\e[1mWelcome\\e[0m\\r\\n\n"
                             "expect _Zolvent  1.095-gtk-rc5\n"
                             "send bye\\n\n"
                             "close\n";
  std::string received;
  std::string output;
  int status = run_test_server(
      script, "--timeout 20000",
      [&](int port) {
        ASSERT_EQ(1, client.enable_ssl());
        ASSERT_EQ(1, client.blocking_connect(&address, port, patience_ms));
        received = read_bytes(17);
        const std::string hello = "_Zolvent  1.095-gtk-rc5\n";
        EXPECT_EQ(static_cast<int>(hello.size()),
                  client.blocking_write(hello.data(), static_cast<int>(hello.size()), 1000));
        received += read_bytes(4);
        EXPECT_EQ(-1, read_until_gone());
        EXPECT_EQ(0, client.read_error);
      },
      &output);
  EXPECT_EQ(0, status) << output;
  EXPECT_EQ("\x1b[1mWelcome\x1b[0m\r\nbye\n", received);
}

TEST_F(scripted_server_test, the_executable_fails_when_an_expected_line_does_not_come) {
  std::string output;
  int status = run_test_server(
      "wait_client\nexpect never sent\n", "--plain --timeout 300",
      [&](int port) {
        ASSERT_EQ(1, client.blocking_connect(&address, port, patience_ms));
        EXPECT_EQ(6, client.blocking_write("other\n", 6, 1000));
        EXPECT_EQ(-1, read_until_gone());
      },
      &output);
  EXPECT_EQ(1, status) << output;
}

TEST_F(scripted_server_test, the_executable_rejects_a_bad_script_before_listening) {
  std::string output;
  bool client_ran = false;
  int status = run_test_server(
      "wait_client\nfrobnicate\n", "--plain", [&](int) { client_ran = true; }, &output);
  EXPECT_EQ(2, status);
  EXPECT_FALSE(client_ran);
}

} // namespace
