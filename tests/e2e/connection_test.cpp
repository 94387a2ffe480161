// The game connection end to end: hello line, coloured text, closes and resets.
#include "e2e/game_server_fixture.h"

namespace e2e {
namespace {

constexpr unsigned long NORMAL_RED = 0xaa0000;   // the default palette's red
constexpr unsigned long BRIGHT_YELLOW = 0xffff55; // highlighted words of client messages

TEST_F(game_session_test, HelloLineThenColouredServerText) {
  start_client();
  auto lines = server.lines();
  ASSERT_FALSE(lines.empty());
  const std::string &hello = lines[0].raw;
  EXPECT_EQ(hello.rfind("_Zolvent ", 0), 0u) << hello;
  EXPECT_EQ(hello.substr(hello.size() - 15), " 1.095-gtk-rc5\n") << hello;
  EXPECT_EQ(hello.find('\r'), std::string::npos);

  server.send("\x1b[31mThis text is red\x1b[0m and this is not.\n");
  EXPECT_TRUE(window_shows(NORMAL_RED));
}

TEST_F(game_session_test, OrderlyCloseShowsTheReconnectHint) {
  start_client();
  EXPECT_FALSE(window_shows(BRIGHT_YELLOW, 300));
  server.close();
  EXPECT_TRUE(window_shows(BRIGHT_YELLOW)) << "the highlighted 'connect' of the reconnect hint";
}

TEST_F(game_session_test, ServerResetShowsTheReconnectHint) {
  start_client();
  server.reset();
  EXPECT_TRUE(window_shows(BRIGHT_YELLOW));
}

TEST_F(game_session_test, RecordSplitAcrossReadsDispatchesOnce) {
  start_client();
  server.send(";slogin;Bo");
  // A typed line answered means the client has read and framed the first part.
  type("one\n");
  ASSERT_TRUE(server_gets("one"));
  server.send("b;elogin;");
  ASSERT_EQ(server.wait_for_line([](const std::string &l) { return l.rfind("zvlstatus ", 0) == 0; },
                                 10000),
            1);
  type("two\n");
  ASSERT_TRUE(server_gets("two"));
  int records = 0;
  for (const trel_received_line &l : server.lines())
    records += l.text.rfind("zvlstatus ", 0) == 0;
  EXPECT_EQ(records, 1) << "the login record was dispatched once";
  EXPECT_NE(x.find_window(client->pid(), "Quenmar - Player Bob"), 0u)
      << "the name was joined from both reads";
}

TEST_F(game_session_test, HostileStreamNeitherCrashesNorHangsTheClient) {
  start_client();
  std::string noise;
  unsigned seed = 99;
  for (int i = 0; i < 2 * 1024 * 1024; i++) {
    seed = seed * 1103515245u + 12345u;
    noise += static_cast<char>(seed >> 16);
  }
  server.send(noise);
  server.send(";s" + std::string(100000, 'n') + ";");            // an endless tag name
  server.send(";shp;" + std::string(3 * 1024 * 1024, '7') + ";ehp;"); // a huge record
  server.send("\x1b[" + std::string(50000, '9') + "m\n");          // an endless escape code
  server.send(std::string(200000, 'w') + "\n");                     // one enormous word
  // Still alive and answering: a typed line reaches the server.
  type("still here\n");
  EXPECT_TRUE(server_gets("still here", 30000));
  EXPECT_TRUE(client->running());
}

} // namespace
} // namespace e2e
