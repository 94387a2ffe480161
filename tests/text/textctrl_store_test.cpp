// The scrollback store: conversion of appended text, colour runs, the
// painter's view, the limits that drop the oldest lines, clearing, and the
// mutex between a painting reader and appends.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "text/text_conversion.h"
#include "text/text_test_support.h"
#include "text/textctrl_store.h"

namespace {

std::vector<std::string> lines_of(std::initializer_list<const char *> appends,
                                  int pane_width = 1000) {
  trel_textctrl_store store;
  set_monospace(store, 1, pane_width);
  for (const char *text : appends)
    store.append_text(text);
  return store_lines(store);
}

using lines = std::vector<std::string>;

TEST(textctrl_store_test, leading_line_feeds_after_creation_are_skipped_once) {
  EXPECT_EQ((lines{"Hello", ""}), lines_of({"\n\nHello\n"}));
  EXPECT_EQ((lines{"Hello", "", ""}), lines_of({"\n\nHello\n", "\n"}));
  // The flag clears with the first append, even one with no line feed.
  EXPECT_EQ((lines{"x", "", "y"}), lines_of({"x", "\n\ny"}));
  EXPECT_EQ((lines{"", "y"}), lines_of({"", "\ny"}));
}

TEST(textctrl_store_test, appended_text_is_converted) {
  struct conversion_case {
    std::vector<const char *> appends;
    lines expected;
  };
  const conversion_case cases[] = {
      {{"abc\tx"}, {"abc     x"}},              // a TAB after 3 characters is 5 spaces
      {{"abcdefgh\tx"}, {"abcdefgh        x"}}, // at column 8 it is 8 spaces
      {{"ab", "c\tx"}, {"abc     x"}},          // the column carries across appends
      {{"abcdef\r\tx"}, {"abcdef\r        x"}}, // a carriage return resets the column only
      {{"zz\n\tx"}, {"zz", "        x"}},       // so does a line feed
      {{"caf\xE9"}, {"cafe"}},
      {{"\x80\xA9\xBF\xD7\xF7\xFF"}, {"EC?x/y"}},
      {{"\xA6"}, {"|"}},
  };
  for (const conversion_case &c : cases) {
    trel_textctrl_store store;
    set_monospace(store, 1, 1000);
    for (const char *text : c.appends)
      store.append_text(text);
    EXPECT_EQ(c.expected, store_lines(store)) << c.appends[0];
  }
}

TEST(textctrl_store_test, every_high_byte_becomes_printable_ascii) {
  for (int byte = 128; byte < 256; byte++) {
    char replacement = trel_textctrl_convert_byte(static_cast<unsigned char>(byte));
    EXPECT_GE(replacement, 32) << byte;
    EXPECT_LE(replacement, 126) << byte;
  }
  EXPECT_EQ('A', trel_textctrl_convert_byte('A'));
}

TEST(textctrl_store_test, one_append_keeps_at_most_5999_characters) {
  trel_textctrl_store store;
  set_monospace(store, 1, 100000);
  std::string big(7000, 'x');
  EXPECT_EQ(5999, store.append_text(big.c_str()));
  EXPECT_EQ(5999u, store_lines(store)[0].size());
  // TABs beyond the cut still move the column.
  std::string tabs(1000, '\t');
  store.clear_text();
  EXPECT_EQ(5999, store.append_text(tabs.c_str()));
  store.append_text("\tx");
  EXPECT_EQ(5999u + 8u + 1u, store_lines(store)[0].size());
}

TEST(textctrl_store_test, counted_appends_drop_nul_bytes) {
  trel_textctrl_store store;
  const char text[] = {'a', 0, 'b'};
  EXPECT_EQ(2, store.append_text(text, 3));
  EXPECT_EQ((lines{"ab"}), store_lines(store));
  EXPECT_EQ(0, store.append_text(nullptr));
  EXPECT_EQ(0, store.append_text("abc", -4));
}

TEST(textctrl_store_test, runs_carry_the_foreground_of_their_append_and_measure_their_width) {
  trel_textctrl_store store;
  set_monospace(store, 7, 1000);
  const trel_text_colour black{0, 0, 0};
  store.append_text("white ");
  store.set_text_colors(trel_text_colour{255, 0, 0}, black);
  store.append_text("red");
  store.append_text(" still red\nmore red ");
  store.set_text_colors(trel_text_colour{0, 0, 255}, trel_text_colour{64, 64, 64});
  store.append_text("blue");

  EXPECT_EQ((trel_text_colour{64, 64, 64}), store.get_background());
  EXPECT_EQ((trel_text_colour{64, 64, 64}), store.get_base_background());

  trel_textctrl_reader reader(store);
  trel_text_run_cursor cursor = reader.runs(0);
  trel_text_run run;
  ASSERT_TRUE(cursor.next(&run));
  EXPECT_EQ("white ", std::string(run.text, size_t(run.length)));
  EXPECT_EQ((trel_text_colour{255, 255, 255}), run.colour);
  EXPECT_EQ(42, run.width);
  ASSERT_TRUE(cursor.next(&run));
  EXPECT_EQ("red still red", std::string(run.text, size_t(run.length)));
  EXPECT_EQ((trel_text_colour{255, 0, 0}), run.colour);
  EXPECT_EQ(13 * 7, run.width);
  EXPECT_FALSE(cursor.next(&run));

  // A line that starts inside an older run begins in that run's colour.
  cursor = reader.runs(1);
  ASSERT_TRUE(cursor.next(&run));
  EXPECT_EQ("more red ", std::string(run.text, size_t(run.length)));
  EXPECT_EQ((trel_text_colour{255, 0, 0}), run.colour);
  ASSERT_TRUE(cursor.next(&run));
  EXPECT_EQ("blue", std::string(run.text, size_t(run.length)));
  EXPECT_EQ((trel_text_colour{0, 0, 255}), run.colour);
  EXPECT_FALSE(cursor.next(&run));

  trel_text_line line;
  EXPECT_FALSE(reader.get_line(2, &line));
  EXPECT_FALSE(reader.get_line(-1, &line));
  EXPECT_FALSE(reader.runs(5).next(&run));
}

TEST(textctrl_store_test, a_wrapped_line_continues_in_the_colour_of_its_run) {
  trel_textctrl_store store;
  set_monospace(store, 1, 7);
  store.set_text_colors(trel_text_colour{0, 255, 0}, trel_text_colour{});
  store.append_text("green green");
  EXPECT_EQ((lines{"green ", "green"}), store_lines(store));
  trel_textctrl_reader reader(store);
  trel_text_run run;
  trel_text_run_cursor cursor = reader.runs(1);
  ASSERT_TRUE(cursor.next(&run));
  EXPECT_EQ((trel_text_colour{0, 255, 0}), run.colour);
}

TEST(textctrl_store_test, the_painter_walks_the_visible_lines_from_the_bottom_up) {
  trel_textctrl_store store;
  set_monospace(store, 1, 1000);
  store.append_text("l0\nl1\nl2\nl3\nl4");
  trel_textctrl_reader reader(store);
  std::vector<std::string> seen;
  int visited = reader.for_each_line_bottom_up(3, 3, [&](int index, trel_text_run_cursor &runs) {
    std::string text = std::to_string(index) + ":";
    trel_text_run run;
    while (runs.next(&run))
      text.append(run.text, size_t(run.length));
    seen.push_back(text);
  });
  EXPECT_EQ(3, visited);
  EXPECT_EQ((lines{"3:l3", "2:l2", "1:l1"}), seen);

  // Slots past the last line hold nothing; the walk stops at line 0.
  seen.clear();
  visited = reader.for_each_line_bottom_up(
      6, 10, [&](int index, trel_text_run_cursor &) { seen.push_back(std::to_string(index)); });
  EXPECT_EQ(5, visited);
  EXPECT_EQ((lines{"4", "3", "2", "1", "0"}), seen);
}

TEST(textctrl_store_test, font_metrics_count_only_printable_glyphs) {
  trel_textctrl_store store;
  std::array<int, 256> widths{};
  for (int i = 0; i < 256; i++)
    widths[size_t(i)] = 3;
  widths['W'] = 11;
  widths[200] = 50;  // no glyph outside 32 to 126: measured as 0
  widths['\t'] = 40; // likewise
  widths['!'] = -5;  // a broken table never yields a negative width
  store.set_font_metrics(widths.data(), 13);
  int widest = 0;
  int height = 0;
  store.get_font_metrics(&widest, &height);
  EXPECT_EQ(11, widest);
  EXPECT_EQ(13, height);
  EXPECT_EQ(0, store.get_char_widths()[200]);
  EXPECT_EQ(0, store.get_char_widths()['\t']);
  EXPECT_EQ(0, store.get_char_widths()['!']);
  EXPECT_EQ(0, store.get_char_widths()['\r']);
  store.get_font_metrics(nullptr, nullptr);
}

TEST(textctrl_store_test, the_bottom_line_is_clamped_to_the_text_and_one_page) {
  trel_textctrl_store store;
  store.append_text("a\nb\nc\n"); // current line 3
  store.set_bottom_line(-4, 10);
  EXPECT_EQ(0, store.get_bottom_line());
  store.set_bottom_line(100, 10);
  EXPECT_EQ(13, store.get_bottom_line());
  store.set_bottom_line(2, 10);
  EXPECT_EQ(2, store.get_bottom_line());
}

class recording_client : public trel_textctrl_client {
public:
  void clear_selection() override { selection_clears++; }
  void request_repaint() override { repaints++; }
  int selection_clears = 0;
  int repaints = 0;
};

TEST(textctrl_store_test, clearing_forgets_everything_and_tells_the_pane) {
  trel_textctrl_store store;
  recording_client client;
  store.set_client(&client);
  set_monospace(store, 1, 100);
  client = recording_client();
  store.append_text("some text that wraps\nmore\n");
  EXPECT_EQ(0, client.repaints); // the owner repaints after appending

  store.clear_text();
  EXPECT_EQ(1, client.selection_clears);
  EXPECT_EQ(1, client.repaints);
  EXPECT_EQ(0, store.get_current_line());
  EXPECT_EQ(0, store.get_bottom_line());
  EXPECT_EQ(0, store.get_text_bytes());
  EXPECT_EQ((lines{""}), store_lines(store));
  // Leading line feeds are skipped again, and the TAB column starts over.
  store.append_text("\n\nab\tc");
  EXPECT_EQ((lines{"ab      c"}), store_lines(store));

  store.rebreak_all();
  EXPECT_EQ(2, client.selection_clears);
  EXPECT_EQ(2, client.repaints);
}

TEST(textctrl_store_test, the_line_limit_drops_the_oldest_lines) {
  trel_text_limits limits;
  limits.max_lines = 10;
  trel_textctrl_store store(limits);
  set_monospace(store, 1, 1000);
  for (int i = 0; i < 25; i++)
    store.append_text(("line " + std::to_string(i) + "\n").c_str());
  store.append_text("open");
  lines kept = store_lines(store);
  ASSERT_EQ(10u, kept.size());
  EXPECT_EQ("line 16", kept.front());
  EXPECT_EQ("line 24", kept[8]);
  EXPECT_EQ("open", kept.back());
  EXPECT_EQ(16u, store.get_dropped_line_count());
  EXPECT_EQ(9, store.get_current_line());
  EXPECT_EQ(9, store.get_bottom_line());
}

TEST(textctrl_store_test, a_locked_view_keeps_its_text_while_old_lines_drop) {
  trel_text_limits limits;
  limits.max_lines = 10;
  trel_textctrl_store store(limits);
  set_monospace(store, 1, 1000);
  for (int i = 0; i < 8; i++)
    store.append_text(("line " + std::to_string(i) + "\n").c_str());
  store.set_scroll_locked(1);
  store.set_bottom_line(5, 3); // showing "line 5" at the bottom
  for (int i = 8; i < 12; i++)
    store.append_text(("line " + std::to_string(i) + "\n").c_str());
  // Three lines went, so the same text is three lines higher up.
  EXPECT_EQ(3u, store.get_dropped_line_count());
  EXPECT_EQ(2, store.get_bottom_line());
  EXPECT_EQ("line 5", store_lines(store)[2]);
  // A view on lines that are gone rests on line 0.
  for (int i = 12; i < 20; i++)
    store.append_text(("line " + std::to_string(i) + "\n").c_str());
  EXPECT_EQ(0, store.get_bottom_line());
}

TEST(textctrl_store_test, wrapped_lines_count_against_the_limit) {
  trel_text_limits limits;
  limits.max_lines = 4;
  trel_textctrl_store store(limits);
  set_monospace(store, 1, 1000);
  store.append_text("aaaa bbbb cccc dddd eeee\n");
  ASSERT_EQ(2u, store_lines(store).size());
  // Narrowing makes six lines of the same text; the oldest two go.
  store.set_width(6);
  EXPECT_EQ((lines{"cccc ", "dddd ", "eeee", ""}), store_lines(store));
}

TEST(textctrl_store_test, the_byte_limit_drops_whole_lines_then_cuts_a_flood) {
  trel_text_limits limits;
  limits.max_bytes = 40;
  trel_textctrl_store store(limits);
  set_monospace(store, 1, 1000);
  store.append_text("0123456789\nabcdefghij\nklmnopqrst\nuvwxyz0123\n"); // 44 bytes
  EXPECT_EQ((lines{"abcdefghij", "klmnopqrst", "uvwxyz0123", ""}), store_lines(store));
  EXPECT_LE(store.get_text_bytes(), 40);

  // One line longer than the whole limit keeps its newest bytes.
  std::string flood;
  for (int i = 0; i < 100; i++)
    flood += char('a' + i % 26);
  store.set_word_wrap(0);
  store.append_text(flood.c_str());
  EXPECT_EQ((lines{flood.substr(60)}), store_lines(store));
  store.append_text("!");
  EXPECT_EQ((lines{flood.substr(61) + "!"}), store_lines(store));
}

TEST(textctrl_store_test, a_cut_open_line_still_wraps_at_the_right_place) {
  // Zero-width bytes let one line outgrow the byte limit with wrap on. When
  // its front is cut, the width of the cut characters must stop counting.
  trel_text_limits limits;
  limits.max_bytes = 12;
  trel_textctrl_store store(limits);
  set_monospace(store, 1, 10);
  store.append_text(("ab" + std::string(20, '\r')).c_str());
  store.append_text("cdefghijk");
  lines kept = store_lines(store);
  EXPECT_EQ((lines{"\r\r\rcdefghijk"}), kept);

  // The kept text wraps as it would if it had been appended alone.
  trel_textctrl_store alone;
  set_monospace(alone, 1, 10);
  alone.append_text(kept[0].c_str());
  EXPECT_EQ(store_lines(alone), kept);
}

TEST(textctrl_store_test, long_sessions_stay_bounded_and_intact) {
  // Enough text to drop and compact many times over.
  trel_text_limits limits;
  limits.max_lines = 500;
  limits.max_bytes = 20000;
  trel_textctrl_store store(limits);
  set_monospace(store, 8, 8 * 20);
  size_t peak = 0;
  for (int i = 0; i < 60000; i++) {
    trel_text_colour colour{i % 256, (i * 7) % 256, 3};
    store.set_text_colors(colour, trel_text_colour{});
    std::string text = "n" + std::to_string(i) + " filler words to wrap\n";
    store.append_text(text.c_str());
    peak = std::max(peak, store.memory_usage());
  }
  EXPECT_LE(store.get_line_count(), 500);
  EXPECT_LE(store.get_text_bytes(), 20000);
  EXPECT_LT(peak, size_t(512 * 1024));

  // The newest lines are whole and in their own colours after all the moves.
  trel_textctrl_reader reader(store);
  int last = reader.current_line();
  trel_text_line line;
  ASSERT_TRUE(reader.get_line(last - 2, &line));
  EXPECT_EQ("n59999 filler ", std::string(line.text, size_t(line.length)));
  trel_text_run run;
  trel_text_run_cursor cursor = reader.runs(last - 2);
  ASSERT_TRUE(cursor.next(&run));
  EXPECT_EQ((trel_text_colour{59999 % 256, (59999 * 7) % 256, 3}), run.colour);
  EXPECT_EQ(run.length, line.length);
}

TEST(textctrl_store_test, more_than_65536_lines_are_stored) {
  trel_text_limits limits;
  limits.max_lines = 200000;
  trel_textctrl_store store(limits);
  for (int i = 0; i < 70000; i++)
    store.append_text(("row " + std::to_string(i) + "\n").c_str());
  EXPECT_EQ(70000, store.get_current_line());
  trel_textctrl_reader reader(store);
  trel_text_line line;
  ASSERT_TRUE(reader.get_line(65536, &line));
  EXPECT_EQ("row 65536", std::string(line.text, size_t(line.length)));
}

TEST(textctrl_store_test, a_reader_holds_appends_off_until_it_is_done) {
  // A painter on another thread must always see whole, consistent lines
  // while the store drops, moves and grows its buffers underneath.
  trel_text_limits limits;
  limits.max_lines = 300;
  limits.max_bytes = 6000;
  trel_textctrl_store store(limits);
  set_monospace(store, 1, 1000);
  std::atomic<bool> done{false};
  std::atomic<long> checked{0};
  std::atomic<int> bad{0};
  std::thread painter([&] {
    while (!done.load() || checked.load() == 0) {
      trel_textctrl_reader reader(store);
      reader.for_each_line_bottom_up(
          reader.current_line(), 40, [&](int, trel_text_run_cursor &runs) {
            std::string text;
            trel_text_run run;
            while (runs.next(&run))
              text.append(run.text, size_t(run.length));
            // Every line but the empty open one is "<" digits ">".
            bool whole =
                text.empty() || (text.size() >= 3 && text.front() == '<' && text.back() == '>' &&
                                 text.find_first_not_of("0123456789", 1) == text.size() - 1);
            if (!whole)
              bad++;
          });
      checked++;
    }
  });
  for (int i = 0; i < 200000; i++)
    store.append_text(("<" + std::to_string(i) + ">\n").c_str());
  done = true;
  painter.join();
  EXPECT_EQ(0, bad.load());
  EXPECT_GT(checked.load(), 0);
}

} // namespace
