// Client command matching and the tag vocabulary.
#include "session/client_commands.h"
#include "session/tag_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ClientCommands, MatchingOrderAndMinimums) {
  using C = trel_client_command;
  struct row {
    const char *line;
    bool logged_in;
    C expected;
  } rows[] = {
      {"//commands", false, C::commands},
      {"//CoMmAnDs", false, C::commands},
      {"//c", false, C::commands},
      {"//co", false, C::commands},
      {"//cl", false, C::clear},
      {"//cc", false, C::chanclear},
      {"//chanclear", false, C::chanclear},
      {"//e", false, C::echo},
      {"//echo hello there", false, C::echo},
      {"//deb", false, C::debuglevel},
      {"//debuglevel 7", false, C::debuglevel},
      {"//debugfile", false, C::debugfilename},
      {"//debugfilename /tmp/x", false, C::debugfilename},
      {"//debugfill", false, C::debugfill},
      {"//debugfil", false, C::debugfilename},
      {"//h", false, C::help},
      {"//hi", false, C::history},
      {"//v", false, C::version},
      {"//b", false, C::break_line},
      {"//quit", false, C::quit},
      {"//exit", false, C::quit},
      {"//exi", false, C::none},
      {"//qui", false, C::none},
      {"//disc", false, C::disconnect},
      {"//dis", false, C::none},
      {"//ping", true, C::ping},
      {"//p", true, C::ping},
      {"zvping", true, C::ping},
      {"ZVPING", true, C::ping},
      {"//ping", false, C::none},
      {"zvping", false, C::none},
      {"//icons 01001", false, C::icons},
      {"//icon", false, C::none},
      {"//soundtest x", false, C::soundtest},
      {"//x", false, C::none},
      {"look", false, C::none},
      {"", false, C::none},
  };
  for (const row &r : rows)
    EXPECT_EQ(match_client_command(r.line, r.logged_in), r.expected)
        << "line '" << r.line << "' logged in " << r.logged_in;
}

TEST(ClientCommands, WordsWhileDisconnected) {
  using W = trel_offline_word;
  struct row {
    const char *line;
    W expected;
    int port;
  } rows[] = {
      {"connect", W::connect, 0},     {"c", W::connect, 0},        {"co 4000", W::connect, 4000},
      {"connect 0", W::connect, 0},   {"connect abc", W::connect, 0}, {"st", W::connect, 0},
      {"s", W::none, -1},             {"re", W::connect, 0},       {"r", W::none, -1},
      {"logi", W::connect, 0},        {"log", W::none, -1},        {"login 3103", W::connect, 3103},
      {"qui", W::quit, -1},           {"q", W::none, -1},          {"QUIT", W::quit, -1},
      {"ex", W::quit, -1},            {"e", W::none, -1},          {"look", W::none, -1},
      {"connect 99999", W::connect, 0},
  };
  for (const row &r : rows) {
    int port = -1;
    EXPECT_EQ(match_offline_word(r.line, &port), r.expected) << r.line;
    if (r.expected == W::connect) {
      EXPECT_EQ(port, r.port) << r.line;
    }
  }
}

TEST(TagTable, VocabularyAndButtons) {
  struct row {
    const char *name;
    trel_tag expected;
    int button;
  } rows[] = {
      {"login", trel_tag::login, 0},     {"Login", trel_tag::unknown, 0},
      {"hp", trel_tag::hp, 0},           {"hpx", trel_tag::unknown, 0},
      {"icons", trel_tag::icons, 0},     {"window_create", trel_tag::window_create, 0},
      {"b3", trel_tag::hint_button, 3},  {"b5x", trel_tag::hint_button, 5},
      {"bf2", trel_tag::fkey_button, 2}, {"bf0", trel_tag::unknown, 0},
      {"b0", trel_tag::unknown, 0},      {"b", trel_tag::unknown, 0},
      {"bclear", trel_tag::bclear, 0},   {"", trel_tag::unknown, 0},
      {"b99999999999999", trel_tag::hint_button, 1000000},
  };
  for (const row &r : rows) {
    int button = 0;
    EXPECT_EQ(classify_tag(r.name, &button), r.expected) << r.name;
    EXPECT_EQ(button, r.button) << r.name;
  }
}

TEST(TagTable, Events) {
  const char *rest = nullptr;
  EXPECT_EQ(classify_event("ColorFlash red", &rest), trel_event::colorflash);
  EXPECT_STREQ(rest, "red");
  EXPECT_EQ(classify_event("zvpong"), trel_event::zvpong);
  EXPECT_EQ(classify_event("ZVPONG"), trel_event::unhandled);
  EXPECT_EQ(classify_event("zvpong "), trel_event::unhandled);
  EXPECT_EQ(classify_event("newcreate"), trel_event::newcreate);
  EXPECT_EQ(classify_event("logoff"), trel_event::logoff);
  EXPECT_EQ(exits_code("BC"), 34);
  EXPECT_EQ(exits_code("B"), -1);
}

} // namespace
