// The stream framing: text, records, telnet echo bytes and the bell, including
// records split across reads and the name and data limits.
#include "session/stream_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records everything the parser reports as one readable transcript.
struct transcript_sink : trel_stream_sink {
  std::string text;   // all delivered text, concatenated
  std::string events; // dispatches and other calls, in order
  std::vector<int> piece_sizes;

  void deliver_text(const char *t, int length) override {
    text.append(t, length);
    piece_sizes.push_back(length);
  }
  void dispatch_tag(const char *name, const char *data, int length) override {
    events += "[" + std::string(name) + "|" + std::string(data, length) + "]";
    EXPECT_EQ(data[length], 0) << "data must be terminated";
  }
  void ring_bell() override { events += "(bell)"; }
  void enter_password_mode() override { events += "(hide)"; }
  void leave_password_mode() override { events += "(show)"; }
};

transcript_sink parse_pieces(const std::vector<std::string> &pieces) {
  trel_stream_parser parser;
  transcript_sink sink;
  for (const std::string &p : pieces)
    parser.process(reinterpret_cast<const unsigned char *>(p.data()), static_cast<int>(p.size()),
                   sink);
  return sink;
}

struct framing_case {
  const char *name;
  std::vector<std::string> pieces;
  std::string text;
  std::string events;
};

TEST(StreamParser, FramingTable) {
  const std::string name63(63, 'n'), name64(64, 'n');
  const std::string data14999(14999, 'd'), data15000(15000, 'd');
  const framing_case cases[] = {
      {"plain text", {"hello world\n"}, "hello world\n", ""},
      {"double semicolon is one semicolon", {"a;;b"}, "a;b", ""},
      {"unknown semicolon pair stays in the text", {"a;xb"}, "a;xb", ""},
      {"record", {";shp;100 120 50 60 90 90;ehp;"}, "", "[hp|100 120 50 60 90 90]"},
      {"record inside text", {"a;shp;1;ehp;b"}, "ab", "[hp|1]"},
      {"record split across reads", {";shp;10", "0 1;e", "hp;after"}, "after", "[hp|100 1]"},
      {"split one byte at a time",
       {";", "s", "h", "p", ";", "1", ";", "e", "h", "p", ";", "x"},
       "x",
       "[hp|1]"},
      {"bare tag", {";tcombat;"}, "", "[combat|]"},
      {"mismatched end tag still dispatched once", {";sfoo;bar;ebaz;z"}, "z", "[foo|bar]"},
      {"carriage returns dropped from data, kept in text",
       {"a\r\n;sx;1\r2;ex;"},
       "a\r\n",
       "[x|12]"},
      {"63-character name accepted", {";s" + name63 + ";v;e" + name63 + ";"}, "", "[" + name63 + "|v]"},
      {"64-character name discarded, rest is text", {";s" + name64 + "after"}, "after", ""},
      {"64-character bare tag discarded", {";t" + name64 + "x"}, "x", ""},
      {"14999 bytes of data dispatched", {";sd;" + data14999 + ";ed;"}, "", "[d|" + data14999 + "]"},
      {"15000 bytes of data discarded, rest is text until the next semicolon",
       {";sd;" + data15000 + "tail;ed;more"},
       "tailmore",
       ""},
      {"IAC DONT ECHO hides input and adds a line feed", {"ab\xff\xfe\x01" "cd"}, "ab\ncd", "(hide)"},
      {"IAC DO ECHO shows input", {"\xff\xfd\x01"}, "", "(show)"},
      {"IAC WILL ECHO changes nothing", {"\xff\xfb\x01" "x"}, "x", ""},
      {"IAC IAC drops both bytes", {"a\xff\xff" "b"}, "ab", ""},
      {"IAC with another option is dropped", {"\xff\xfe\x03z"}, "z", ""},
      {"telnet sequence split across reads", {"\xff", "\xfe", "\x01"}, "\n", "(hide)"},
      {"bell rings and is not shown", {"a\x07" "b"}, "ab", "(bell)"},
      {"ANSI codes pass through, their semicolon kept with a warning", {"\x1b[1;31mred"}, "\x1b[1;31mred", ""},
      {"double start tag restarts the record", {";sa;1;sb;2;eb;"}, "", "[a|1][b|2]"},
      {"end tag without start", {";ex;y"}, "y", ""},
      {"data may hold a NUL byte", {std::string(";sz;a\0b;ez;", 11)}, "", std::string("[z|a\0b]", 7)},
  };
  for (const framing_case &c : cases) {
    transcript_sink sink = parse_pieces(c.pieces);
    EXPECT_EQ(sink.text, c.text) << c.name;
    EXPECT_EQ(sink.events, c.events) << c.name;
  }
}

TEST(StreamParser, TextIsHandedOverInRunsOfAtMost2560Bytes) {
  transcript_sink sink = parse_pieces({std::string(6000, 'x')});
  EXPECT_EQ(sink.text.size(), 6000u);
  ASSERT_EQ(sink.piece_sizes.size(), 3u);
  EXPECT_EQ(sink.piece_sizes[0], 2560);
  EXPECT_EQ(sink.piece_sizes[1], 2560);
  EXPECT_EQ(sink.piece_sizes[2], 880);
}

TEST(StreamParser, ClientMessageDiscardsAPartialRecord) {
  trel_stream_parser parser;
  transcript_sink sink;
  std::string first = ";shp;12";
  parser.process(reinterpret_cast<const unsigned char *>(first.data()), 7, sink);
  parser.reset_with_names();
  std::string rest = "34;ehp;";
  parser.process(reinterpret_cast<const unsigned char *>(rest.data()), 7, sink);
  EXPECT_EQ(sink.events, "");
  EXPECT_EQ(sink.text, "34");
}

TEST(StreamParser, RandomBytesNeverEscapeTheLimits) {
  trel_stream_parser parser;
  transcript_sink sink;
  unsigned seed = 12345;
  std::vector<unsigned char> block(4096);
  for (int round = 0; round < 500; round++) {
    for (unsigned char &b : block) {
      seed = seed * 1103515245u + 12345u;
      // Bias towards the bytes the parser cares about.
      unsigned r = (seed >> 16) & 0xff;
      b = r < 40 ? ';' : r < 50 ? 's' : r < 60 ? 'e' : r < 64 ? 255 : static_cast<unsigned char>(r);
    }
    parser.process(block.data(), static_cast<int>(block.size()), sink);
  }
  SUCCEED();
}

} // namespace
