// Tests of line reading, word handling, bounded copies and the bounded text.
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/debug_log.h"
#include "support/support_test_helpers.h"
#include "support/text_utils.h"

namespace {

struct line_result {
  int result;
  std::string text;
};

struct fget_line_case {
  const char *name;
  std::string input;
  int size;
  std::vector<line_result> expected; // then 0 at the end of input
  bool warns;
};

class FgetLine : public ::testing::TestWithParam<fget_line_case> {};

TEST_P(FgetLine, ReadsLinesInOrder) {
  const fget_line_case &c = GetParam();
  debug_log_capture log;
  std::string input = c.input;
  FILE *stream = input.empty() ? tmpfile() : fmemopen(input.data(), input.size(), "r");
  ASSERT_NE(stream, nullptr);
  std::vector<char> buffer(static_cast<size_t>(c.size) + 8, 'X');
  for (const line_result &want : c.expected) {
    int got = fget_line(stream, buffer.data(), c.size);
    EXPECT_EQ(got, want.result);
    EXPECT_EQ(std::string(buffer.data()), want.text);
  }
  EXPECT_EQ(fget_line(stream, buffer.data(), c.size), 0);
  fclose(stream);
  // Nothing is ever written past the given size.
  for (size_t i = static_cast<size_t>(c.size); i < buffer.size(); i++)
    EXPECT_EQ(buffer[i], 'X') << "byte " << i;
  bool warned =
      log.text().find("Warning in fget_line(), string overflow.  String was:") != std::string::npos;
  EXPECT_EQ(warned, c.warns);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FgetLine,
    ::testing::Values(
        fget_line_case{"overflow_loses_one", "abcdefg\n", 5, {{5, "abcd"}, {3, "fg"}}, true},
        fget_line_case{
            "exact_fit_is_no_overflow", "abcd\nxy\n", 5, {{5, "abcd"}, {3, "xy"}}, false},
        fget_line_case{
            "carriage_return_dropped", "line\r\nnext\r\n", 80, {{5, "line"}, {5, "next"}}, false},
        fget_line_case{"cr_does_not_count_toward_size", "abcd\r\n", 5, {{5, "abcd"}}, false},
        fget_line_case{"empty_line", "\n\n", 80, {{1, ""}, {1, ""}}, false},
        fget_line_case{
            "zero_byte_ends_line", std::string("a\0b\n", 4), 80, {{2, "a"}, {2, "b"}}, false},
        fget_line_case{"last_line_without_feed", "one\nlast", 80, {{4, "one"}, {5, "last"}}, false},
        fget_line_case{"empty_input", "", 80, {}, false},
        fget_line_case{"size_one_keeps_nothing", "ab\n", 1, {{1, ""}, {1, ""}, {1, ""}}, true}),
    [](const ::testing::TestParamInfo<fget_line_case> &info) { return info.param.name; });

TEST(FgetLine, RefusesBadArguments) {
  char buffer[8];
  EXPECT_EQ(fget_line(nullptr, buffer, 8), 0);
  FILE *stream = tmpfile();
  ASSERT_NE(stream, nullptr);
  fputs("abc\n", stream);
  rewind(stream);
  EXPECT_EQ(fget_line(stream, nullptr, 8), 0);
  EXPECT_EQ(fget_line(stream, buffer, 0), 0);
  fclose(stream);
}

struct next_arg_case {
  const char *text;
  const char *expected; // nullptr: no second word
};

TEST(NextArg, FindsTheSecondWord) {
  const next_arg_case cases[] = {
      {"  alpha beta", "beta"}, {"alpha", nullptr}, {"alpha   ", nullptr}, {"a\tb", "b"},
      {"\n a  b c", "b c"},     {"", nullptr},      {"one\n\ttwo", "two"}, {"   ", nullptr},
  };
  for (const next_arg_case &c : cases) {
    const char *got = next_arg(c.text);
    if (!c.expected) {
      EXPECT_EQ(got, nullptr) << "'" << c.text << "'";
    } else {
      EXPECT_STREQ(got, c.expected) << "'" << c.text << "'";
    }
  }
}

TEST(NextArg, MutableTextGivesAPointerIntoIt) {
  char text[] = "say hello";
  char *second = next_arg(text);
  ASSERT_EQ(second, text + 4);
}

TEST(NextArg, NullIsAVerboseReport) {
  debug_log_capture log(3);
  EXPECT_EQ(next_arg(static_cast<const char *>(nullptr)), nullptr);
  EXPECT_EQ(log.text(), "Error in next_arg(), NULL pointer passed in.\n");
}

TEST(ParseNumber, AcceptsOnlyALeadingNumber) {
  struct {
    const char *text;
    int result;
    long value;
  } cases[] = {
      {"42abc", 1, 42}, {"-7", 1, -7}, {"+3 x", 1, 3}, {"0", 1, 0}, {"-x", 0, 0},
      {"x1", 0, 0},     {"", 0, 0},    {" 5", 0, 0},   {"+", 0, 0}, {"--1", 0, 0},
  };
  for (const auto &c : cases) {
    long value = 12345;
    EXPECT_EQ(parse_number(c.text, &value), c.result) << "'" << c.text << "'";
    EXPECT_EQ(value, c.result ? c.value : 12345) << "'" << c.text << "'";
  }
  long value = 0;
  EXPECT_EQ(parse_number(nullptr, &value), 0);
}

TEST(WordEqual, ComparesFirstWordsIgnoringCaseOfLetters) {
  struct {
    const char *a;
    const char *b;
    int expected;
  } cases[] = {
      {"Curr_Config x", "curr_config", 1},
      {"curr_configs", "curr_config", 0},
      {"curr_config", "curr_configs", 0},
      {"LOOK\tat", "look\nthere", 1},
      {"a", "b", 0},
      {"", "", 1},
      {"", "a", 0},
      // Only A to Z fold: "@" and "`" differ by the case bit but are not letters.
      {"@", "`", 0},
      {"[", "{", 0},
  };
  for (const auto &c : cases)
    EXPECT_EQ(word_equal(c.a, c.b), c.expected) << "'" << c.a << "' vs '" << c.b << "'";
  EXPECT_EQ(word_equal(nullptr, "a"), 0);
  EXPECT_EQ(word_equal("a", nullptr), 0);
}

TEST(WordEqual, StopsComparingAfter400Characters) {
  std::string a(450, 'q');
  std::string b = a;
  b[420] = 'z';
  EXPECT_EQ(word_equal(a.c_str(), b.c_str()), 1);
  b = a;
  b[399] = 'z';
  EXPECT_EQ(word_equal(a.c_str(), b.c_str()), 0);
}

TEST(WordInList, MatchesAnyWordOfTheList) {
  EXPECT_EQ(word_in_list("look", "north LOOK south"), 1);
  EXPECT_EQ(word_in_list("south", "  north look south"), 1);
  EXPECT_EQ(word_in_list("loo", "north look south"), 0);
  EXPECT_EQ(word_in_list("look", ""), 0);
  EXPECT_EQ(word_in_list(nullptr, "look"), 0);
}

TEST(WordPrefixAndAbbrev, MatchTypedAbbreviations) {
  struct {
    const char *typed;
    const char *name;
    int minimum; // -1: word_prefix
    int expected;
  } cases[] = {
      {"res", "restart", -1, 3},
      {"RE", "restart now", -1, 2},
      {"re x", "restart", -1, 2},
      {"restartx", "restart", -1, 0},
      {"", "restart", -1, 0},
      {"rx", "restart", -1, 0},
      {"re", "restart", 2, 2},
      {"r", "restart", 2, 0},
      {"q", "q", 2, 1},
      {"Q", "q extra", 2, 1},
      {"qu", "q", 2, 0},
      {"restart", "restart", 2, 7},
      {"", "", 2, 0},
  };
  for (const auto &c : cases) {
    int got =
        c.minimum < 0 ? word_prefix(c.typed, c.name) : word_abbrev(c.typed, c.name, c.minimum);
    EXPECT_EQ(got, c.expected) << "'" << c.typed << "' / '" << c.name << "' min " << c.minimum;
  }
}

TEST(SafeStrcpy, CopiesWithinTheLimit) {
  debug_log_capture log;
  char destination[16];
  memset(destination, 'X', sizeof destination);
  EXPECT_EQ(safe_strcpy(destination, "0123456789", 4), 0);
  EXPECT_STREQ(destination, "012");
  EXPECT_EQ(destination[4], 'X'); // nothing past the limit
  EXPECT_EQ(log.text(), "Error in safe_strcpy(), src overflow. String was: ->0123456789<-\n");

  EXPECT_EQ(safe_strcpy(destination, "abc", 4), 1);
  EXPECT_STREQ(destination, "abc");
  EXPECT_EQ(safe_strcpy(destination, "", 1), 1);
  EXPECT_STREQ(destination, "");
}

TEST(SafeStrcpy, RefusesBadArgumentsWithTheirReports) {
  struct {
    bool null_destination;
    const char *source;
    int size;
    const char *report;
  } cases[] = {
      {true, "abc", 8, "Error in safe_strcpy(), NULL dest.\n"},
      {false, "abc", 0, "Error in safe_strcpy(), dest too short.\n"},
      {false, "abc", -3, "Error in safe_strcpy(), dest too short.\n"},
      {false, nullptr, 8, "Error in safe_strcpy(), NULL src.\n"},
  };
  for (const auto &c : cases) {
    debug_log_capture log;
    char destination[8] = "old";
    EXPECT_EQ(safe_strcpy(c.null_destination ? nullptr : destination, c.source, c.size), 0);
    EXPECT_EQ(log.text(), c.report);
    if (!c.source) {
      EXPECT_STREQ(destination, ""); // a null source empties the destination
    } else {
      EXPECT_STREQ(destination, "old");
    }
  }
}

TEST(BoundedText, DropsWhatPassesTheEnd) {
  trel_bounded_text text;
  std::string chunk(1000, 'a');
  for (int i = 0; i < 5; i++)
    EXPECT_EQ(text.append(chunk.c_str()), 1);
  EXPECT_FALSE(text.full());
  EXPECT_EQ(text.append(chunk.c_str()), 0);
  EXPECT_EQ(text.length, TREL_TEXT_SIZE - 1);
  EXPECT_EQ(strlen(text.text), static_cast<size_t>(TREL_TEXT_SIZE - 1));
  EXPECT_TRUE(text.full());
  EXPECT_EQ(text.append("x"), 0);
  EXPECT_EQ(text.appendf("%d", 7), 0);
  EXPECT_EQ(text.length, TREL_TEXT_SIZE - 1);
  text.clear();
  EXPECT_EQ(text.length, 0);
  EXPECT_STREQ(text.text, "");
}

TEST(BoundedText, AppendsCountsAndFormats) {
  trel_bounded_text text;
  EXPECT_EQ(text.append("hello world", 5), 1);
  EXPECT_EQ(text.appendf(" %d-%s", 42, "x"), 1);
  EXPECT_STREQ(text.text, "hello 42-x");
  EXPECT_EQ(text.length, 10);
  // A zero byte inside the count ends the text, keeping length and text in step.
  EXPECT_EQ(text.append("ab\0cd", 5), 1);
  EXPECT_EQ(text.length, 12);
  EXPECT_EQ(strlen(text.text), 12u);
}

TEST(BoundedText, FormattedAppendIsCutAtTheEnd) {
  trel_bounded_text text;
  std::string start(5990, 'a');
  text.append(start.c_str());
  EXPECT_EQ(text.appendf("%s", "0123456789abcdef"), 0);
  EXPECT_EQ(text.length, TREL_TEXT_SIZE - 1);
  EXPECT_EQ(std::string(text.text + 5990), "012345678");
}

} // namespace
