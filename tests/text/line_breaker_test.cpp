// Line breaking of the scrollback store: wrapping at the last blank before
// the edge, words longer than a line, the exact-fill and too-narrow cases,
// re-breaking after a width or font change, and an equivalence check of the
// incremental breaker against a literal whole-line re-walk.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/text_test_support.h"
#include "text/textctrl_store.h"

namespace {

struct wrap_case {
  const char *name;
  int pane_width; // with every printable character 1 pixel wide
  int word_wrap;
  std::vector<std::string> appends;
  std::vector<std::string> lines;
  std::vector<int> complete;
};

TEST(line_breaker_test, wraps_as_the_table_says) {
  const wrap_case cases[] = {
      {"the word that crosses the edge moves down; its blank stays above",
       10,
       1,
       {"one two three\n"},
       {"one two ", "three", ""},
       {0, 1, 0}},
      {"a word longer than the line is cut before the first character that does not fit",
       10,
       1,
       {"abcdefghijklmnopqrstuvwxyz"},
       {"abcdefghi", "jklmnopqr", "stuvwxyz"},
       {0, 0, 0}},
      {"a character that exactly fills the width moves to the next line",
       5,
       1,
       {"abcde"},
       {"abcd", "e"},
       {0, 0}},
      {"a blank that itself crosses the edge is no break point",
       5,
       1,
       {"abcd efg"},
       {"abcd", " efg"},
       {0, 0}},
      {"a pane one character wide breaks nothing", 1, 1, {"abc def"}, {"abc def"}, {0}},
      {"a pane of width 0 breaks nothing", 0, 1, {"abc def\nxy"}, {"abc def", "xy"}, {1, 0}},
      {"with word wrap off a line of any length stays one line",
       5,
       0,
       {"the quick brown fox jumps\n"},
       {"the quick brown fox jumps", ""},
       {1, 0}},
      {"pieces of one line break as the whole line would",
       10,
       1,
       {"one t", "wo thr", "ee\n"},
       {"one two ", "three", ""},
       {0, 1, 0}},
      {"line feeds end complete lines, empty ones included",
       100,
       1,
       {"a\n\nb\n"},
       {"a", "", "b", ""},
       {1, 1, 1, 0}},
      {"every blank is a break point in turn", 4, 1, {"a b c d"}, {"a ", "b ", "c d"}, {0, 0, 0}},
      {"an empty line in a pane of width 0 stays one line",
       0,
       1,
       {"\n\nx\n\n"},
       {"x", "", ""},
       {1, 1, 0}},
      {"a carriage return stays in the line and measures nothing",
       5,
       1,
       {"ab\rcd\r\ref"},
       {"ab\rcd\r\r", "ef"},
       {0, 0}},
  };
  for (const wrap_case &c : cases) {
    trel_textctrl_store store;
    set_monospace(store, 1, c.pane_width);
    store.set_word_wrap(c.word_wrap);
    for (const std::string &text : c.appends)
      store.append_text(text.c_str());
    EXPECT_EQ(c.lines, store_lines(store)) << c.name;
    EXPECT_EQ(c.complete, store_complete_flags(store)) << c.name;
    EXPECT_EQ(store.get_current_line(), store.get_bottom_line()) << c.name;
  }
}

TEST(line_breaker_test, a_line_starting_with_a_too_wide_character_is_never_broken) {
  trel_textctrl_store store;
  std::array<int, 256> widths = monospace_widths(1);
  widths['W'] = 8;
  store.set_font_metrics(widths.data(), 10);
  store.set_width(5);
  // "ab" fits; W crosses the edge and starts a new line on which it alone is
  // too wide, so everything after it stays on that line up to the line feed.
  store.append_text("abWcdefghij");
  store.append_text("klm\nnopqrs");
  EXPECT_EQ((std::vector<std::string>{"ab", "Wcdefghijklm", "nopq", "rs"}), store_lines(store));
}

TEST(line_breaker_test, widening_rebreaks_to_fewer_lines_and_follows_the_end) {
  std::string text;
  for (int i = 0; i < 40; i++)
    text += "word" + std::to_string(i) + (i % 7 == 6 ? "\n" : " ");

  trel_textctrl_store store;
  set_monospace(store, 6, 60);
  store.append_text(text.c_str());
  std::vector<std::string> narrow = store_lines(store);

  EXPECT_EQ(1, store.set_width(300));
  std::vector<std::string> wide = store_lines(store);
  EXPECT_LT(wide.size(), narrow.size());
  EXPECT_EQ(store.get_current_line(), store.get_bottom_line());

  // The result equals appending everything at the new width.
  trel_textctrl_store fresh;
  set_monospace(fresh, 6, 300);
  fresh.append_text(text.c_str());
  EXPECT_EQ(store_lines(fresh), wide);
  EXPECT_EQ(store_complete_flags(fresh), store_complete_flags(store));

  // And back again.
  store.set_width(60);
  EXPECT_EQ(narrow, store_lines(store));
  // The same width again changes nothing.
  EXPECT_EQ(0, store.set_width(60));
}

TEST(line_breaker_test, a_font_change_rebreaks_with_the_new_widths) {
  trel_textctrl_store store;
  set_monospace(store, 5, 40); // 7 characters fit
  store.append_text("aaaa bbbb cccc\n");
  EXPECT_EQ((std::vector<std::string>{"aaaa ", "bbbb ", "cccc", ""}), store_lines(store));
  std::array<int, 256> smaller = monospace_widths(2); // 19 fit
  store.set_font_metrics(smaller.data(), 9);
  EXPECT_EQ((std::vector<std::string>{"aaaa bbbb cccc", ""}), store_lines(store));
  EXPECT_EQ(9, store.get_line_height());
}

TEST(line_breaker_test, a_locked_view_stays_put_while_text_wraps) {
  trel_textctrl_store store;
  set_monospace(store, 1, 10);
  store.append_text("first line\n");
  int before = store.get_bottom_line();
  store.set_scroll_locked(1);
  store.append_text("a long line that wraps several times\n");
  EXPECT_EQ(before, store.get_bottom_line());
  EXPECT_GT(store.get_current_line(), before + 3);
  // A re-break while locked leaves the view at the top; the pane returns to
  // following before it changes the width.
  store.set_width(20);
  EXPECT_EQ(0, store.get_bottom_line());
}

// The breaking rules applied literally: each append's segments go onto the
// current line, and while that line is at least as wide as the pane it is
// walked again from its first character.
class reference_breaker {
public:
  reference_breaker(const std::array<int, 256> &widths, int pane_width, bool wrap)
      : widths_(widths), pane_width_(pane_width), wrap_(wrap) {
    lines.push_back({"", 0});
  }

  void append(const std::string &text) {
    size_t at = 0;
    if (skip_) {
      while (at < text.size() && text[at] == '\n')
        at++;
      skip_ = false;
    }
    while (at <= text.size()) {
      size_t feed = text.find('\n', at);
      std::string segment =
          text.substr(at, feed == std::string::npos ? std::string::npos : feed - at);
      append_segment(segment);
      if (feed == std::string::npos)
        break;
      lines.back().second = 1;
      lines.push_back({"", 0});
      at = feed + 1;
    }
  }

  std::vector<std::pair<std::string, int>> lines;

private:
  long width_of(const std::string &s) const {
    long sum = 0;
    for (unsigned char c : s)
      sum += widths_[c];
    return sum;
  }

  void append_segment(const std::string &segment) {
    lines.back().first += segment;
    if (wrap_ && width_of(lines.back().first) >= pane_width_)
      break_line();
  }

  void break_line() {
    for (;;) {
      std::string &line = lines.back().first;
      long sum = 0;
      long last_blank = -1;
      // A walk that ends without reaching the edge can only happen to an
      // empty or zero-width line in a pane of width 0 or less; splitting it
      // would repeat forever, so it is not broken.
      long cut = -1;
      for (size_t k = 0; k < line.size(); k++) {
        sum += widths_[static_cast<unsigned char>(line[k])];
        if (sum >= pane_width_) {
          if (last_blank >= 0)
            cut = last_blank + 1;
          else if (k == 0)
            return; // no break at all
          else
            cut = long(k);
          break;
        }
        if (line[k] == ' ' || line[k] == '\t')
          last_blank = long(k);
      }
      if (cut < 0)
        return;
      std::string rest = line.substr(size_t(cut));
      line.resize(size_t(cut));
      lines.push_back({rest, 0});
      if (width_of(rest) < pane_width_)
        return;
    }
  }

  std::array<int, 256> widths_;
  long pane_width_;
  bool wrap_;
  bool skip_ = true;
};

std::vector<std::pair<std::string, int>> store_pairs(const trel_textctrl_store &store) {
  std::vector<std::pair<std::string, int>> pairs;
  std::vector<std::string> lines = store_lines(store);
  std::vector<int> flags = store_complete_flags(store);
  for (size_t i = 0; i < lines.size(); i++)
    pairs.push_back({lines[i], flags[i]});
  return pairs;
}

TEST(line_breaker_test, incremental_breaking_matches_a_whole_line_rewalk) {
  // Narrow, wide and zero-width characters, blanks and line feeds, in random
  // pieces against random widths.
  std::array<int, 256> widths = monospace_widths(3);
  widths['i'] = 1;
  widths['M'] = 9;
  widths['~'] = 0; // printable but empty in this font
  widths[' '] = 2;
  const char alphabet[] = "aaaaiiiMM~    \n\r";
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; round++) {
    int pane_width = int(random() % 40);
    bool wrap = random() % 8 != 0;
    std::vector<std::string> pieces;
    std::string all;
    int piece_count = 1 + int(random() % 12);
    for (int p = 0; p < piece_count; p++) {
      std::string piece;
      int length = int(random() % 30);
      for (int k = 0; k < length; k++)
        piece += alphabet[random() % (sizeof alphabet - 1)];
      pieces.push_back(piece);
      all += piece;
    }

    trel_textctrl_store store;
    store.set_font_metrics(widths.data(), 10);
    store.set_width(pane_width);
    store.set_word_wrap(wrap);
    reference_breaker reference(widths, pane_width, wrap);
    for (const std::string &piece : pieces) {
      store.append_text(piece.c_str());
      reference.append(piece);
    }
    ASSERT_EQ(reference.lines, store_pairs(store))
        << "round " << round << " width " << pane_width << " wrap " << wrap;

    // A re-break at another width equals breaking the stored text afresh
    // (the stored text is the text after the first append's line feeds).
    int other_width = int(random() % 40);
    store.set_width(other_width);
    reference_breaker again(widths, other_width, wrap);
    for (const std::string &piece : pieces)
      again.append(piece);
    ASSERT_EQ(again.lines, store_pairs(store))
        << "round " << round << " re-broken at " << other_width;
  }
}

} // namespace
