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

} // namespace
} // namespace e2e
