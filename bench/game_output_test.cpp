// Tests of the game output generator: the benchmarks' figures mean something
// only when its stream is framed exactly as the server frames it, and is the
// same on every run.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "game_output.h"
#include "session/stream_parser.h"
#include "support/debug_log.h"

namespace {

struct dispatched {
  std::string name;
  std::string data;
  // Line feeds of the text delivered before the record.
  int64_t lines_before = 0;
};

struct recording_sink : trel_stream_sink {
  void deliver_text(const char *text, int length) override {
    text_.append(text, size_t(length));
    lines += std::count(text, text + length, '\n');
  }
  void dispatch_tag(const char *name, const char *data, int length) override {
    tags.push_back({name, std::string(data, size_t(length)), lines});
  }
  void ring_bell() override { bells++; }
  void enter_password_mode() override { password_changes++; }
  void leave_password_mode() override { password_changes++; }
  std::string text_;
  int64_t lines = 0;
  std::vector<dispatched> tags;
  int bells = 0;
  int password_changes = 0;
};

// The framing's warnings go to a debug log of the test's own.
class framed_output : public ::testing::TestWithParam<uint64_t> {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/quenmar-game-output-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory = pattern;
    log_path = directory + "/debug.txt";
    saved_level = debug_level;
    debug_level = 2;
    trel_client_set_debug_logfile_name(log_path.c_str());

    trel_game_output generator(GetParam());
    generator.append(stream, 1 << 20);
    stats = generator.stats();
    trel_stream_parser parser;
    // Reads of an odd size, so records and escapes are split across them.
    for (size_t at = 0; at < stream.size(); at += 4093)
      parser.process(reinterpret_cast<const unsigned char *>(stream.data()) + at,
                     int(std::min<size_t>(4093, stream.size() - at)), sink);
    end_state = parser.current_state();
    // The log opens with its first message; a silent run leaves no file.
    if (trel_client_debug_logfile_is_open())
      trel_client_debug_logfile_close();
  }
  void TearDown() override {
    debug_level = saved_level;
    trel_client_set_debug_logfile_name(nullptr);
    unlink(log_path.c_str());
    rmdir(directory.c_str());
  }
  std::string log_text() const {
    std::ifstream in(log_path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string directory, log_path;
  int saved_level = 1;
  std::string stream;
  trel_game_output_stats stats;
  recording_sink sink;
  trel_stream_parser::parser_state end_state = trel_stream_parser::text;
};

TEST_P(framed_output, FramesWithoutAWarningAndEndsOutsideAnyRecord) {
  const std::string log = log_text();
  EXPECT_TRUE(log.empty()) << "the framing complained:\n" << log.substr(0, 600);
  EXPECT_EQ(end_state, trel_stream_parser::text);
  EXPECT_EQ(int64_t(stream.size()), stats.bytes);
  EXPECT_GE(stream.size(), size_t(1) << 20);
  EXPECT_EQ(sink.bells, 0);
  EXPECT_EQ(sink.password_changes, 0);
}

TEST_P(framed_output, EveryRecordReachesTheDispatcherWithAPayloadItsReceiverReads) {
  ASSERT_EQ(int64_t(sink.tags.size()), stats.records + stats.bare_tags);
  std::map<std::string, int> seen;
  for (const dispatched &tag : sink.tags) {
    seen[tag.name]++;
    if (tag.name == "hp") {
      std::istringstream numbers(tag.data);
      int value, count = 0;
      while (numbers >> value)
        count++;
      EXPECT_EQ(count, 6) << tag.data;
      EXPECT_TRUE(numbers.eof()) << tag.data;
    } else if (tag.name == "xpp") {
      std::istringstream numbers(tag.data);
      int value, count = 0;
      while (numbers >> value) {
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 1000);
        count++;
      }
      EXPECT_GE(count, 1);
      EXPECT_LE(count, 8);
    } else if (tag.name == "enemyhp") {
      char *rest = nullptr;
      long percent = strtol(tag.data.c_str(), &rest, 10);
      EXPECT_GT(percent, 0) << tag.data;
      EXPECT_LE(percent, 100) << tag.data;
      EXPECT_EQ(*rest, ' ') << "a name follows the percentage: " << tag.data;
    } else if (tag.name == "dirs") {
      ASSERT_EQ(tag.data.size(), 5u) << tag.data;
      EXPECT_EQ(tag.data.substr(0, 3), "on ");
    } else if (tag.name == "combat" || tag.name == "ncombat") {
      EXPECT_EQ(tag.data, "");
    } else {
      EXPECT_EQ(tag.name, "areaname") << "a tag the client does not expect";
      EXPECT_FALSE(tag.data.empty());
    }
  }
  for (const char *name : {"hp", "xpp", "enemyhp", "dirs", "combat", "ncombat", "areaname"})
    EXPECT_GT(seen[name], 0) << name;
}

// Splits delivered text into escape sequences and visible characters.
struct text_walk {
  std::vector<std::string> sequences;
  // Visible characters (not CR, not LF) between two colour changes; a change
  // is one sequence or several in a row.
  std::vector<int> colour_gaps;
  int trailing_gap = 0;
  std::vector<int> line_lengths;
  int64_t semicolons = 0;
  bool malformed = false;
};

text_walk walk(const std::string &text) {
  text_walk w;
  int gap = -1; // no change seen yet
  int line = 0;
  for (size_t i = 0; i < text.size(); i++) {
    const char c = text[i];
    if (c == '\x1b') {
      size_t end = text.find('m', i);
      if (end == std::string::npos || text.compare(i, 2, "\x1b[") != 0) {
        w.malformed = true;
        break;
      }
      const std::string parameter = text.substr(i + 2, end - i - 2);
      if (parameter.empty() || parameter.find_first_not_of("0123456789") != std::string::npos)
        w.malformed = true;
      w.sequences.push_back(parameter);
      if (gap > 0)
        w.colour_gaps.push_back(gap);
      gap = 0;
      i = end;
    } else if (c == '\n') {
      w.line_lengths.push_back(line);
      line = 0;
    } else if (c != '\r') {
      w.semicolons += c == ';';
      line++;
      if (gap >= 0)
        gap++;
    }
  }
  w.trailing_gap = gap;
  return w;
}

TEST_P(framed_output, ColourChangesEveryTenToThirtyCharactersOneParameterASequence) {
  const text_walk w = walk(sink.text_);
  ASSERT_FALSE(w.malformed);
  EXPECT_EQ(int64_t(w.sequences.size()), stats.colour_sequences);
  for (const std::string &parameter : w.sequences) {
    const int value = atoi(parameter.c_str());
    // Only codes the interpreter knows; any other costs an error in the log.
    const bool known =
        value == 0 || value == 1 || value == 2 || value == 22 || (value >= 31 && value <= 37);
    EXPECT_TRUE(known) << "ESC[" << parameter << "m";
  }
  ASSERT_FALSE(w.colour_gaps.empty());
  for (int gap : w.colour_gaps) {
    ASSERT_GE(gap, TREL_GAME_OUTPUT_MIN_COLOUR_GAP);
    ASSERT_LE(gap, TREL_GAME_OUTPUT_MAX_COLOUR_GAP);
  }
  EXPECT_LE(w.trailing_gap, TREL_GAME_OUTPUT_MAX_COLOUR_GAP);
}

TEST_P(framed_output, SemicolonsOfTheTextArriveSingleAndLongLinesAreCounted) {
  const text_walk w = walk(sink.text_);
  EXPECT_GT(stats.literal_semicolons, 0);
  EXPECT_EQ(w.semicolons, stats.literal_semicolons);
  EXPECT_EQ(int64_t(w.line_lengths.size()), stats.text_lines);
  int64_t long_lines = 0;
  for (int length : w.line_lengths)
    long_lines += length > TREL_GAME_OUTPUT_LONG_LINE;
  EXPECT_GT(long_lines, 0);
  EXPECT_EQ(long_lines, stats.long_lines);
}

TEST_P(framed_output, StatusRecordsComeEveryFewLines) {
  int64_t previous = 0, most = 0, records = 0;
  for (const dispatched &tag : sink.tags) {
    if (tag.name == "combat" || tag.name == "ncombat")
      continue; // bare tags carry no status
    most = std::max(most, tag.lines_before - previous);
    previous = tag.lines_before;
    records++;
  }
  EXPECT_EQ(records, stats.records);
  EXPECT_LE(most, TREL_GAME_OUTPUT_MAX_RECORD_GAP);
}

INSTANTIATE_TEST_SUITE_P(seeds, framed_output, ::testing::Values(1u, 7u, 123456789u));

TEST(game_output, TheSameSeedGivesTheSameBytesAnotherSeedOthers) {
  const std::string first = trel_game_output_text(300000, 5);
  EXPECT_EQ(trel_game_output_text(300000, 5), first);
  EXPECT_NE(trel_game_output_text(300000, 6), first);
}

TEST(game_output, AppendsWholeScenesUntilTheRequestIsMet) {
  trel_game_output generator(3);
  std::string out = "kept";
  const size_t added = generator.append(out, 1000);
  EXPECT_GE(added, 1000u);
  EXPECT_EQ(out.size(), 4 + added);
  EXPECT_EQ(out.compare(0, 4, "kept"), 0);

  const int64_t lines_before = generator.stats().text_lines;
  generator.append_lines(out, 500);
  EXPECT_GE(generator.stats().text_lines, lines_before + 500);
  EXPECT_EQ(generator.stats().bytes, int64_t(out.size()) - 4);
}

} // namespace
