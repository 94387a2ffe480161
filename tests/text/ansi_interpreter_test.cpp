// The ANSI interpreter: escape sequences to colour runs, sequences split
// across calls, malformed and over-long input, the reset code, the render
// list, suspending, rebuilding, clearing, palettes and the debug messages.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/debug_log.h"
#include "text/ansi_interpreter.h"
#include "text/text_test_support.h"

namespace {

#define ESC "\x1b"

class stub_pane : public trel_ansi_display_client {
public:
  int get_visible_line_count() override { return visible_lines; }
  void scroll_to_end() override { scrolls_to_end++; }
  void request_repaint() override { repaints++; }
  int visible_lines = 20;
  int scrolls_to_end = 0;
  int repaints = 0;
};

class ansi_interpreter_test : public ::testing::Test {
protected:
  explicit ansi_interpreter_test(trel_text_limits limits = trel_text_limits())
      : store(limits), ansi(store, limits) {
    set_monospace(store, 1, 100000);
    ansi.set_client(&pane);
  }
  void TearDown() override { trel_select_palette(0); }

  void feed(const std::string &bytes) { ansi.process_ansi_text(bytes.data(), int(bytes.size())); }
  std::string runs() const { return describe(store_colour_runs(store)); }
  std::string render_runs() {
    std::string out;
    ansi.flushed_render_list().for_each_run([&](const trel_render_run &run) {
      char head[64];
      snprintf(head, sizeof head, "[%02x%02x%02x a%d c%x \"", unsigned(run.red),
               unsigned(run.green), unsigned(run.blue), run.attribute, unsigned(run.color_code));
      out += head + std::string(run.text, size_t(run.length)) + "\"]";
    });
    return out;
  }

  trel_textctrl_store store;
  trel_ansi_interpreter ansi;
  stub_pane pane;
};

struct sequence_case {
  const char *name;
  std::string input;
  std::string expected; // as describe() writes the store's colour runs
};

TEST_F(ansi_interpreter_test, escape_sequences_become_colour_runs) {
  const sequence_case cases[] = {
      {"a colour and a reset", ESC "[31mred" ESC "[0m after",
       "[aa0000 \"red\"][a0a0a0 \" after\"]"},
      {"a sequence with no digits is a reset", ESC "[31mred" ESC "[m after",
       "[aa0000 \"red\"][a0a0a0 \" after\"]"},
      {"bright, then a colour", ESC "[1m" ESC "[33mgold", "[ffff55 \"gold\"]"},
      {"a colour, then bright", ESC "[33m" ESC "[1mgold", "[ffff55 \"gold\"]"},
      {"attributes replace each other", ESC "[1m" ESC "[2mdim", "[606060 \"dim\"]"},
      {"blink is drawn like normal", ESC "[32m" ESC "[5mgreen", "[00aa00 \"green\"]"},
      {"22 is normal intensity", ESC "[1m" ESC "[34m" ESC "[22mblue", "[0000cc \"blue\"]"},
      {"leading zeros count for nothing", ESC "[01mX" ESC "[1m" ESC "[022mY",
       "[ffffff \"X\"][a0a0a0 \"Y\"]"},
      {"a reset keeps nothing of bright", ESC "[1m" ESC "[31mA" ESC "[0mB" ESC "[31mC",
       "[ff5555 \"A\"][a0a0a0 \"B\"][aa0000 \"C\"]"},
      {"a semicolon ends the sequence unapplied", ESC "[1;31mx", "[a0a0a0 \"31mx\"]"},
      {"black and background colours change nothing", ESC "[30mA" ESC "[41mB" ESC "[4mC",
       "[a0a0a0 \"ABC\"]"},
      {"an escape after an escape is an unknown code", ESC ESC "[31mX", "[a0a0a0 \"[31mX\"]"},
      {"an escape inside a sequence ends it", ESC "[3" ESC "[31mX", "[a0a0a0 \"[31mX\"]"},
      {"an unknown single-character code is dropped", ESC "xY", "[a0a0a0 \"Y\"]"},
      {"an over-long sequence is consumed and ignored",
       ESC "[" + std::string(40, '9') + "mZ" ESC "[32mG", "[a0a0a0 \"Z\"][00aa00 \"G\"]"},
      {"many zeros are not over-long", ESC "[" + std::string(100, '0') + "31mR", "[aa0000 \"R\"]"},
      {"carriage returns and control bytes are dropped",
       "a\rb\x01\x02\x7f"
       "c",
       "[a0a0a0 \"abc\"]"},
      {"bytes from 28 up are shown",
       "A\x1c"
       "B",
       "[a0a0a0 \"A\x1c"
       "B\"]"},
      {"a high byte is one dot", "caf\xe9!", "[a0a0a0 \"caf.!\"]"},
      {"a TAB reaches the store, which expands it", "a\tb", "[a0a0a0 \"a       b\"]"},
      {"line feeds end lines", ESC "[36mone\ntwo\n", "[0080aa \"one\ntwo\n\"]"},
  };
  for (const sequence_case &c : cases) {
    store.clear_text();
    ansi.clear_display();
    feed(c.input);
    EXPECT_EQ(c.expected, runs()) << c.name;
  }
}

TEST_F(ansi_interpreter_test, each_colour_code_takes_its_slot_in_all_three_forms) {
  struct colour_case {
    int parameter;
    uint32_t dim, normal, bright;
  };
  const colour_case cases[] = {
      {31, 0x550000, 0xaa0000, 0xff5555}, {32, 0x005500, 0x00aa00, 0x55ff55},
      {33, 0x774000, 0xaa8800, 0xffff55}, {34, 0x000088, 0x0000cc, 0x5050ff},
      {35, 0x550088, 0xaa00cc, 0xff40ff}, {36, 0x008060, 0x0080aa, 0x40ffff},
      {37, 0x606060, 0xa0a0a0, 0xffffff},
  };
  for (const colour_case &c : cases) {
    std::string code = ESC "[" + std::to_string(c.parameter) + "m";
    for (int form = 0; form < 3; form++) {
      const char *attribute = form == 0 ? ESC "[2m" : form == 1 ? ESC "[22m" : ESC "[1m";
      uint32_t expected = form == 0 ? c.dim : form == 1 ? c.normal : c.bright;
      feed(attribute + code + "x");
      EXPECT_EQ(expected, ansi.get_current_rgb()) << c.parameter << " form " << form;
      EXPECT_EQ(expected, trel_colour_to_rgb(store.get_foreground())) << c.parameter;
    }
  }
}

TEST_F(ansi_interpreter_test, sequences_split_anywhere_give_the_same_result) {
  const std::string input = ESC "[1m" ESC "[31mBright red\n" ESC "[0mplain " ESC "[36mcyan\t"
                                "tab\r\n" ESC "[2m" ESC "[35mdim purple \xe9" ESC "[022m" ESC
                                "[1;32mafter" ESC "[7mreverse\n";
  feed(input);
  const std::string whole_runs = runs();
  const std::string whole_render = render_runs();
  const std::vector<std::string> whole_lines = store_lines(store);

  for (size_t step : {size_t(1), size_t(2), size_t(3), size_t(7)}) {
    store.clear_text();
    ansi.clear_display();
    for (size_t at = 0; at < input.size(); at += step)
      feed(input.substr(at, step));
    EXPECT_EQ(whole_runs, runs()) << "pieces of " << step;
    EXPECT_EQ(whole_render, render_runs()) << "pieces of " << step;
    EXPECT_EQ(whole_lines, store_lines(store)) << "pieces of " << step;
  }
  // The classic split: the sequence's digits in one call, its end in the next.
  store.clear_text();
  ansi.clear_display();
  feed(ESC "[3");
  feed("1mred");
  EXPECT_EQ("[aa0000 \"red\"]", runs());
}

TEST_F(ansi_interpreter_test, the_render_list_keeps_one_run_per_colour_state) {
  feed("plain " ESC "[31mred\n" ESC "[31m" ESC "[0m" ESC "[1m" ESC "[31mbright red\nmore");
  EXPECT_EQ("[a0a0a0 a0 c37 \"plain \"][aa0000 a0 c31 \"red\n\"][ff5555 a4 c31 \"bright "
            "red\nmore\"]",
            render_runs());
  // Long text of one colour is still one run.
  ansi.clear_display();
  for (int i = 0; i < 100; i++)
    feed("the same colour all along\n");
  EXPECT_EQ(1, ansi.flushed_render_list().run_count());
}

TEST_F(ansi_interpreter_test, client_messages_bypass_the_interpreter) {
  ansi.process_ansi_code(1);
  ansi.process_ansi_code(0x33);
  ansi.add_text("You say " ESC "[31m\r\n");
  ansi.process_ansi_code(0);
  ansi.add_text(nullptr);
  EXPECT_EQ("[ffff55 \"You say " ESC "[31m\r\n\"]", runs());
  EXPECT_EQ(0, ansi.get_text_received()); // only server text sets the flag
  feed("");
  EXPECT_EQ(0, ansi.get_text_received());
  feed("x");
  EXPECT_EQ(1, ansi.get_text_received());
  ansi.clear_text_received();
  EXPECT_EQ(0, ansi.get_text_received());
}

TEST_F(ansi_interpreter_test, the_reset_code_adds_two_pages_of_empty_lines_in_white) {
  pane.visible_lines = 20;
  feed("x\n" ESC "[1m" ESC "[31m");
  int before = store.get_current_line();
  feed(ESC "c");
  EXPECT_EQ(before + 41, store.get_current_line());
  EXPECT_EQ(TREL_ATTRIBUTE_NORMAL, ansi.get_attribute());
  EXPECT_EQ(TREL_COLOR_WHITE, ansi.get_color_code());
  EXPECT_EQ(0xa0a0a0u, trel_colour_to_rgb(store.get_foreground()));

  // A pane that claims an absurd height cannot make the reset run away.
  pane.visible_lines = 1 << 30;
  before = store.get_current_line();
  feed(ESC "c");
  EXPECT_EQ(before + 2 * TREL_ANSI_MAX_RESET_LINES + 1, store.get_current_line());
}

TEST_F(ansi_interpreter_test, reverse_video_darkens_the_whole_pane_until_the_next_change) {
  feed("a" ESC "[7mb");
  EXPECT_EQ((trel_text_colour{64, 64, 64}), store.get_background());
  feed(ESC "[32mc");
  EXPECT_EQ((trel_text_colour{64, 64, 64}), store.get_background());
  feed(ESC "[0md");
  EXPECT_EQ((trel_text_colour{0, 0, 0}), store.get_background());
}

TEST_F(ansi_interpreter_test, suspended_text_waits_in_the_render_list_until_resumed) {
  feed("before\n");
  pane.scrolls_to_end = pane.repaints = 0;
  ansi.suspend_updates();
  feed(ESC "[32mduring\n" ESC "[1mbright");
  EXPECT_EQ((std::vector<std::string>{"before", ""}), store_lines(store));

  EXPECT_EQ(1, ansi.resume_updates());
  EXPECT_EQ("[a0a0a0 \"before\n\"][00aa00 \"during\n\"][55ff55 \"bright\"]", runs());
  EXPECT_EQ(1, pane.scrolls_to_end);
  EXPECT_EQ(1, pane.repaints);
  EXPECT_EQ(0, ansi.get_updates_suspended());
}

TEST_F(ansi_interpreter_test, a_colour_chosen_while_suspended_applies_after_resuming) {
  feed("white ");
  ansi.suspend_updates();
  feed(ESC "[31m"); // no text yet in the new colour
  ansi.resume_updates();
  feed("red");
  EXPECT_EQ("[a0a0a0 \"white \"][aa0000 \"red\"]", runs());
}

TEST_F(ansi_interpreter_test, resuming_without_suspending_changes_nothing) {
  text_log_capture log(1);
  feed("text");
  pane.scrolls_to_end = pane.repaints = 0;
  EXPECT_EQ(0, ansi.resume_updates());
  EXPECT_EQ("[a0a0a0 \"text\"]", runs());
  EXPECT_EQ(0, pane.scrolls_to_end);
  EXPECT_EQ(0, pane.repaints);
  EXPECT_EQ("Error in trel_ansi_display::resume_updates(), updates were not suspended?\n",
            log.text());
}

TEST_F(ansi_interpreter_test, clearing_empties_both_records_and_returns_to_white) {
  feed(ESC "[1m" ESC "[31mred\nmore");
  ansi.clear_display();
  EXPECT_EQ(0, ansi.flushed_render_list().run_count());
  EXPECT_EQ(0, ansi.render_list().text_bytes());
  EXPECT_EQ((std::vector<std::string>{""}), store_lines(store));
  feed("\nafter");
  EXPECT_EQ("[a0a0a0 \"after\"]", runs());
  EXPECT_EQ("[a0a0a0 a0 c37 \"\nafter\"]", render_runs());
}

TEST_F(ansi_interpreter_test, palettes_colour_only_text_added_after_the_switch) {
  feed(ESC "[31mred\n");
  trel_select_palette(1);
  ansi.force_color_reapply();
  feed("new red\n");
  EXPECT_EQ("[aa0000 \"red\n\"][cc0000 \"new red\n\"]", runs());
  // A rebuild does not recolour either: the render list keeps its RGB values.
  ansi.suspend_updates();
  ansi.resume_updates();
  EXPECT_EQ("[aa0000 \"red\n\"][cc0000 \"new red\n\"]", runs());
}

TEST_F(ansi_interpreter_test, word_wrap_changes_rebuild_from_the_render_list) {
  set_monospace(store, 1, 6);
  feed("aaaa bbbb\n");
  EXPECT_EQ((std::vector<std::string>{"aaaa ", "bbbb", ""}), store_lines(store));
  ansi.set_word_wrap(0);
  EXPECT_EQ((std::vector<std::string>{"aaaa bbbb", ""}), store_lines(store));
  EXPECT_EQ(0, store.get_word_wrap());
}

TEST_F(ansi_interpreter_test, unknown_input_is_reported_at_level_two) {
  {
    text_log_capture log(2);
    feed(ESC "[30m" ESC "[1;31m" ESC "x" ESC "[" + std::string(12, '7') + "m");
    EXPECT_EQ("error in trel_ansi_display::process_ansi_code() - bad value '48'.\n"
              "process_ansi_code(2) - ignoring unhandled code 59.\n"
              "process_ansi_code(1) - got unhandled code 120.\n"
              "Warning in trel_ansi_display::process_ansi_text(), over-long control sequence "
              "ignored.\n",
              log.text());
  }
  {
    text_log_capture log(1);
    feed(ESC "[30m" ESC "[1;31m" ESC "x");
    EXPECT_EQ("", log.text());
  }
}

class limited_interpreter_test : public ansi_interpreter_test {
protected:
  static trel_text_limits small() {
    trel_text_limits limits;
    limits.max_lines = 5;
    limits.max_bytes = 4000;
    return limits;
  }
  limited_interpreter_test() : ansi_interpreter_test(small()) {}
};

TEST_F(limited_interpreter_test, both_records_keep_only_the_newest_lines) {
  for (int i = 0; i < 20; i++)
    feed(ESC "[3" + std::to_string(1 + i % 7) + "mline " + std::to_string(i) + "\n");
  EXPECT_EQ((std::vector<std::string>{"line 16", "line 17", "line 18", "line 19", ""}),
            store_lines(store));
  EXPECT_EQ(5, ansi.render_list().line_count());
  // A rebuild from the render list shows the same lines in the same colours.
  std::string before = runs();
  ansi.suspend_updates();
  ansi.resume_updates();
  EXPECT_EQ(before, runs());
}

TEST_F(limited_interpreter_test, random_bytes_never_break_the_model) {
  std::mt19937 random(20240611);
  // Bytes biased towards the ones the parser cares about.
  const std::string interesting = "\x1b\x1b[[[0123456789mmm;c\n\n\r\t \xe9";
  for (int round = 0; round < 400; round++) {
    std::string bytes;
    int length = int(random() % 600);
    for (int k = 0; k < length; k++)
      bytes += random() % 3 ? interesting[random() % interesting.size()] : char(random() % 256);
    feed(bytes);
    switch (random() % 16) {
    case 0:
      ansi.suspend_updates();
      break;
    case 1:
      if (ansi.get_updates_suspended())
        ansi.resume_updates();
      break;
    case 2:
      ansi.clear_display();
      break;
    case 3:
      store.set_width(int(random() % 50) - 5);
      break;
    case 4:
      ansi.set_word_wrap(int(random() % 2));
      break;
    case 5:
      trel_select_palette(int(random() % 5));
      ansi.force_color_reapply();
      break;
    case 6:
      ansi.process_ansi_code(int(random()));
      break;
    default:
      break;
    }
    ASSERT_LE(store.get_line_count(), 5);
    ASSERT_LE(store.get_text_bytes(), 4000);
    ASSERT_LE(ansi.render_list().line_count(), 5);
    ASSERT_LE(ansi.render_list().text_bytes(), 4000);
  }
  // Whatever came before, a reset and a colour still work.
  if (ansi.get_updates_suspended())
    ansi.resume_updates();
  feed("\n" ESC "c" ESC "[0m" ESC "[32mok");
  std::vector<colour_run_text> after = store_colour_runs(store);
  ASSERT_FALSE(after.empty());
  EXPECT_EQ(0x00aa00u, after.back().rgb);
}

} // namespace
