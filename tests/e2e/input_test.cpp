// Playing with the keyboard alone, end to end: typed lines, local echo,
// history banks, password mode, keypad walking, function keys, scroll lock.
#include "e2e/game_server_fixture.h"

namespace e2e {
namespace {

constexpr unsigned long BRIGHT_YELLOW = 0xffff55; // the echo's angle brackets
constexpr unsigned long LOCKED_BORDER = 0xff0000;

TEST_F(game_session_test, TypedLinesArriveWithALineFeedOnly) {
  start_client();
  type("look\n");
  trel_received_line line;
  ASSERT_EQ(server.wait_for_line([](const std::string &l) { return l == "look"; }, 10000, &line),
            1);
  EXPECT_EQ(line.raw, "look\n");
  EXPECT_TRUE(window_shows(BRIGHT_YELLOW)) << "local echo frames the line in bright yellow";
}

TEST_F(game_session_test, UpRecallsOnlyTheCurrentBank) {
  start_client();
  type("Bob\n");
  ASSERT_TRUE(server_gets("Bob"));
  type("north\n");
  ASSERT_TRUE(server_gets("north"));
  press("Up");
  press("Return");
  EXPECT_TRUE(server_gets("north")) << "Up recalls the previous command";

  login_and_sync();
  press("Up");
  press("Return");
  EXPECT_TRUE(server_gets("")) << "after the login the in-game bank is empty: an empty line";
}

TEST_F(game_session_test, PasswordIsNeitherShownEchoedNorRecalled) {
  start_client();
  type("Bob\n");
  ASSERT_TRUE(server_gets("Bob"));
  // The prompt is purple, so its arrival on screen shows the request that
  // follows it in the same piece has been taken.
  server.send("\x1b[35mPassword: \xff\xfe\x01\x1b[0m");
  ASSERT_TRUE(window_shows(0xaa00cc));
  type("secret\n");
  ASSERT_TRUE(server_gets("secret")) << "the password still goes to the server";
  long yellow_before = x.count_pixels(window, BRIGHT_YELLOW);
  type("secret2\n");
  ASSERT_TRUE(server_gets("secret2"));
  EXPECT_EQ(x.count_pixels(window, BRIGHT_YELLOW), yellow_before) << "no echo in password mode";
  server.send("\xff\xfd\x01");
  press("Up");
  press("Return");
  EXPECT_TRUE(server_gets("Bob")) << "passwords never enter the history";
}

TEST_F(game_session_test, KeypadEightWalksNorth) {
  start_client();
  press("KP_Up");
  EXPECT_TRUE(server_gets("north"));
}

TEST_F(game_session_test, FunctionKeySendsItsAliasWhileLoggedIn) {
  start_client();
  press("F1");
  login_and_sync();
  press("F1");
  press("shift+F3");
  EXPECT_TRUE(server_gets("f01"));
  EXPECT_TRUE(server_gets("sf03"));
  for (const trel_received_line &l : server.lines())
    EXPECT_NE(l.text, "f01\x01") << "nothing else";
}

TEST_F(game_session_test, PageUpLocksTheMainPaneAndTypingReleasesIt) {
  start_client();
  std::string lots;
  for (int i = 0; i < 120; i++)
    lots += "line " + std::to_string(i) + " of the scrollback\n";
  server.send(lots);
  login_and_sync();
  press("Prior");
  ASSERT_TRUE(window_shows(LOCKED_BORDER)) << "the locked pane has a red border";
  server.send("more text arriving below\n");
  type("x");
  EXPECT_TRUE(wait_until([&] { return x.count_pixels(window, LOCKED_BORDER) == 0; }, 10000))
      << "any other key returns to the end";
}

TEST_F(game_session_test, ConnectTypedAfterACloseConnectsAgain) {
  start_client();
  server.close();
  ASSERT_EQ(server.wait_for_disconnect(10000), 1);
  type("connect\n");
  EXPECT_EQ(server.wait_for_line([](const std::string &l) { return l.rfind("_Zolvent ", 0) == 0; },
                                 15000),
            1)
      << "a second hello line after 'connect'";
}

} // namespace
} // namespace e2e
