// The command history: storing, limits, browsing, caret moves inside
// multi-line entries, banks, password mode and the "//history" listing; also
// the single-byte conversion of the line's text.
#include "input/command_history.h"
#include "input/line_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A history in the playing bank (bank 2, empty at start) with the line at
// hand, so Up and Down read like the player's key presses.
class history_fixture : public testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(history.set_history_bank(2), 1); }

  void store_all(const std::vector<std::string> &commands) {
    for (const std::string &c : commands)
      history.history_store(c);
  }
  // Types text at the end of a fresh line.
  void type(const std::string &text) {
    line.text = text;
    line.caret = static_cast<long>(text.size());
  }
  std::string up() {
    history.history_up(line);
    return line.text;
  }
  std::string down() {
    history.history_down(line);
    return line.text;
  }

  trel_command_history history;
  trel_edit_line line;
};

TEST_F(history_fixture, SameCommandTwiceInARowIsStoredOnce) {
  EXPECT_EQ(history.history_store("look"), 1);
  EXPECT_EQ(history.history_store("look"), 0);
  EXPECT_EQ(history.command_count(), 1);
}

TEST_F(history_fixture, ABAStoresThreeEntriesNewestFirst) {
  store_all({"a", "b", "a"});
  ASSERT_EQ(history.command_count(), 3);
  EXPECT_EQ(*history.slot(2), "a");
  EXPECT_EQ(*history.slot(3), "b");
  EXPECT_EQ(*history.slot(4), "a");
  EXPECT_EQ(up(), "a");
  EXPECT_EQ(up(), "b");
  EXPECT_EQ(up(), "a");
}

TEST_F(history_fixture, NinetyNinthCommandPushesTheOldestOutAndUpReachesNinetyEight) {
  for (int i = 1; i <= 99; i++)
    history.history_store("cmd " + std::to_string(i));
  EXPECT_EQ(history.command_count(), trel_command_history::max_commands);
  EXPECT_EQ(*history.slot(2), "cmd 99");
  EXPECT_EQ(*history.slot(99), "cmd 2");

  int steps = 0;
  while (history.history_up(line) == trel_history_step::text_replaced)
    steps++;
  EXPECT_EQ(steps, 98);
  EXPECT_EQ(line.text, "cmd 2");
  EXPECT_EQ(history.position(), 99);
}

TEST_F(history_fixture, DownThenUpBringsTheEditedTextBack) {
  store_all({"look", "north"});
  type("half typed");
  EXPECT_EQ(down(), "");
  EXPECT_EQ(history.position(), 0);
  // A further Down keeps the line empty.
  EXPECT_EQ(down(), "");
  EXPECT_EQ(up(), "half typed");
  EXPECT_EQ(up(), "north");
}

TEST_F(history_fixture, UpSavesTheEditedTextAndDownReturnsToIt) {
  store_all({"look", "north"});
  type("draft");
  EXPECT_EQ(up(), "north");
  EXPECT_EQ(up(), "look");
  // The oldest entry: Up stays put.
  EXPECT_EQ(history.history_up(line), trel_history_step::nothing);
  EXPECT_EQ(line.text, "look");
  EXPECT_EQ(down(), "north");
  EXPECT_EQ(down(), "draft");
  EXPECT_EQ(line.caret, 5);
}

TEST_F(history_fixture, StoringStartsBrowsingOverAndForgetsTheDraft) {
  store_all({"look", "north"});
  type("draft");
  up();
  up();
  history.history_store("east");
  EXPECT_EQ(history.position(), 1);
  EXPECT_EQ(*history.slot(1), "");
  // Even a duplicate (not stored) resets browsing.
  up();
  history.history_store("east");
  EXPECT_EQ(history.position(), 1);
}

TEST_F(history_fixture, EmptyBankHasNothingToShow) {
  type("x");
  EXPECT_EQ(history.history_up(line), trel_history_step::nothing);
  EXPECT_EQ(line.text, "x");
}

TEST(command_history, DisconnectedBankStartsWithConnect) {
  trel_command_history history;
  EXPECT_EQ(history.bank(), 0);
  trel_edit_line line;
  EXPECT_EQ(history.history_up(line), trel_history_step::text_replaced);
  EXPECT_EQ(line.text, "connect");
  EXPECT_EQ(line.caret, 7);
}

TEST(command_history, EachConnectionPhaseBrowsesItsOwnBank) {
  trel_command_history history;
  ASSERT_EQ(history.set_history_bank(1), 1);
  history.history_store("myname");
  ASSERT_EQ(history.set_history_bank(2), 1);
  history.history_store("look");

  trel_edit_line line;
  history.history_up(line);
  EXPECT_EQ(line.text, "look");
  EXPECT_EQ(history.history_up(line), trel_history_step::nothing);

  // Disconnected again: bank 0, whose first entry is "connect".
  history.set_history_bank(0);
  line = trel_edit_line();
  history.history_up(line);
  EXPECT_EQ(line.text, "connect");
  EXPECT_EQ(history.history_up(line), trel_history_step::nothing);
}

TEST(command_history, SwitchingBanksKeepsEachBanksPosition) {
  trel_command_history history;
  history.set_history_bank(2);
  for (const char *c : {"a", "b", "c"})
    history.history_store(c);
  trel_edit_line line;
  history.history_up(line);
  history.history_up(line);
  ASSERT_EQ(history.position(), 3);

  history.set_history_bank(1);
  EXPECT_EQ(history.position(), 1);
  EXPECT_EQ(history.saved_position(2), 3);
  history.set_history_bank(2);
  EXPECT_EQ(history.position(), 3);
  // Browsing goes on from where it was.
  history.history_up(line);
  EXPECT_EQ(line.text, "a");
}

TEST(command_history, SwitchingToTheCurrentBankChangesNothing) {
  trel_command_history history;
  trel_edit_line line;
  history.history_up(line);
  ASSERT_EQ(history.position(), 2);
  EXPECT_EQ(history.set_history_bank(0), 1);
  EXPECT_EQ(history.position(), 2);
}

TEST(command_history, BankOutOfRangeIsRefused) {
  trel_command_history history;
  for (int bank : {-1, 3, 100}) {
    EXPECT_EQ(history.set_history_bank(bank), 0) << bank;
    EXPECT_EQ(history.bank(), 0) << bank;
  }
  EXPECT_EQ(history.saved_position(3), -1);
}

TEST(command_history, PasswordModeRemembersNothing) {
  trel_command_history history;
  history.set_history_bank(1);
  history.history_store("myname");
  history.set_password_mode(true);
  EXPECT_EQ(history.history_store("secret"), 0);
  EXPECT_EQ(history.command_count(), 1);

  // Browsing away from a half-typed password does not keep it either.
  trel_edit_line line{"secr", 4};
  history.history_up(line);
  EXPECT_EQ(line.text, "myname");
  EXPECT_EQ(*history.slot(1), "");
  history.history_down(line);
  EXPECT_EQ(line.text, "");

  history.set_password_mode(false);
  EXPECT_EQ(history.history_store("look"), 1);
}

// Up and Down with the caret inside a multi-line entry only move the caret.
struct caret_case {
  const char *name;
  bool up;
  long caret_before;
  long caret_after;
};

class history_caret : public testing::TestWithParam<caret_case> {};

TEST_P(history_caret, MovesBetweenLineBreaks) {
  const caret_case &c = GetParam();
  trel_command_history history;
  const std::string text = "ab\ncd\nef"; // line breaks at 2 and 5, length 8
  trel_edit_line line{text, c.caret_before};
  const trel_history_step step = c.up ? history.history_up(line) : history.history_down(line);
  EXPECT_EQ(step, trel_history_step::caret_moved);
  EXPECT_EQ(line.caret, c.caret_after);
  EXPECT_EQ(line.text, text);
  EXPECT_EQ(history.position(), 1);
}

INSTANTIATE_TEST_SUITE_P(multi_line, history_caret,
                         testing::Values(caret_case{"UpFromLastLineToPreviousBreak", true, 7, 5},
                                         caret_case{"UpFromJustAfterBreak", true, 6, 5},
                                         caret_case{"UpFromABreakToTheOneBefore", true, 5, 2},
                                         caret_case{"UpFromFirstLineToStart", true, 1, 0},
                                         caret_case{"UpAtStartStaysAtStart", true, 0, 0},
                                         caret_case{"DownFromStartToFirstBreak", false, 0, 2},
                                         caret_case{"DownFromABreakToTheNext", false, 2, 5},
                                         caret_case{"DownOnLastLineToEnd", false, 6, 8},
                                         caret_case{"DownFromLastBreakToEnd", false, 5, 8}),
                         [](const testing::TestParamInfo<caret_case> &info) {
                           return info.param.name;
                         });

TEST(command_history, CaretOutsideTheTextCountsAsTheEnd) {
  trel_command_history history;
  trel_edit_line line{"abc", 99};
  EXPECT_EQ(history.history_up(line), trel_history_step::text_replaced);
  EXPECT_EQ(line.text, "connect");
}

TEST(command_history, ShowHistoryListsNineteenOldestFirst) {
  trel_command_history history;
  history.set_history_bank(2);
  for (int i = 1; i <= 25; i++)
    history.history_store("c" + std::to_string(i));
  const std::string text = history.show_history_text();
  std::string expected = "\nRecent Command History:";
  for (int n = 19; n >= 1; n--) {
    char number[16];
    snprintf(number, sizeof number, "\n%2d - ", n);
    expected += number;
    expected += "c" + std::to_string(26 - n);
  }
  expected += "\n";
  EXPECT_EQ(text, expected);
}

TEST(command_history, ShowHistoryOfAShortBank) {
  trel_command_history history;
  history.history_store("look");
  EXPECT_EQ(history.show_history_text(), "\nRecent Command History:\n 2 - connect\n 1 - look\n");
  history.set_history_bank(1);
  EXPECT_EQ(history.show_history_text(), "\nRecent Command History:\n");
}

struct conversion_case {
  const char *name;
  std::wstring input;
  std::size_t limit;
  std::string expected;
};

class single_byte_text : public testing::TestWithParam<conversion_case> {};

TEST_P(single_byte_text, Converts) {
  const conversion_case &c = GetParam();
  EXPECT_EQ(trel_single_byte_text(c.input.data(), c.input.size(), c.limit), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    cases, single_byte_text,
    testing::Values(
        conversion_case{"Ascii", L"look north", std::string::npos, "look north"},
        conversion_case{"LatinOneKeepsItsByte", L"caf\u00e9", std::string::npos, "caf\xe9"},
        conversion_case{"BeyondLatinOneIsQuestionMark", L"a\u20acb\U0001F600", std::string::npos,
                        "a?b?"},
        conversion_case{"NulCannotEndTheLine", std::wstring(L"a\0b", 3), std::string::npos, "a?b"},
        conversion_case{"LineBreaksStay", L"a\nb", std::string::npos, "a\nb"},
        conversion_case{"CutAtTheLimit", L"abcdef", 4, "abcd"}),
    [](const testing::TestParamInfo<conversion_case> &info) { return info.param.name; });

TEST(single_byte_text, SendLimitIs4999) {
  const std::wstring long_line(6000, L'x');
  EXPECT_EQ(trel_single_byte_text(long_line.data(), long_line.size(), TREL_INPUT_LINE_LIMIT).size(),
            4999u);
  EXPECT_EQ(trel_single_byte_text(nullptr, 5), "");
}

} // namespace
