// The text pane as a player sees it: colours, wrapping, the newest line at the
// bottom, the scroll lock and its border, painted into the panes' bitmaps.
#include "text/ansi_display.h"
#include "widgets/font.h"

#include <gtest/gtest.h>

#include <wx/frame.h>

#include <memory>
#include <string>

namespace {

bool near(const uint8_t *pixel, unsigned long rgb, int tolerance = 4) {
  int want[3] = {int(rgb >> 16) & 0xff, int(rgb >> 8) & 0xff, int(rgb) & 0xff};
  for (int i = 0; i < 3; i++)
    if (std::abs(pixel[i] - want[i]) > tolerance)
      return false;
  return true;
}

long count_colour(const trel_bitmap &bitmap, unsigned long rgb) {
  long count = 0;
  for (int y = 0; y < bitmap.height(); y++)
    for (int x = 0; x < bitmap.width(); x++)
      if (near(bitmap.row(y) + 4 * x, rgb))
        count++;
  return count;
}

// Rows of the bitmap that hold any pixel other than the background.
bool row_has_ink(const trel_bitmap &bitmap, int y) {
  for (int x = 0; x < bitmap.width(); x++)
    if (!near(bitmap.row(y) + 4 * x, 0x000000, 40))
      return true;
  return false;
}

class TextPaneTest : public ::testing::Test {
protected:
  void SetUp() override {
    frame = new wxFrame(nullptr, wxID_ANY, "test");
    font = std::make_unique<trel_font>(10, wxFONTFAMILY_MODERN, wxFONTSTYLE_NORMAL,
                                       wxFONTWEIGHT_NORMAL);
    pane = new trel_main_window(frame);
    pane->set_text_font(font.get());
    pane->set_geometry(0, 0, 400, 200);
  }
  void TearDown() override { frame->Destroy(); }

  void server(const std::string &text) {
    pane->process_ansi_text(text.data(), static_cast<int>(text.size()));
    pane->refresh_display();
  }
  trel_bitmap &text_pixels() { return pane->text_window().render(); }
  trel_textctrl_store &store() { return pane->text_window().store(); }

  wxFrame *frame = nullptr;
  std::unique_ptr<trel_font> font;
  trel_main_window *pane = nullptr;
};

TEST_F(TextPaneTest, ColourCodesDrawInThePaletteColours) {
  struct row {
    const char *codes;
    unsigned long rgb;
  } rows[] = {
      {"\x1b[31m", 0xaa0000}, {"\x1b[32m", 0x00aa00}, {"\x1b[33m", 0xaa8800},
      {"\x1b[34m", 0x0000cc}, {"\x1b[35m", 0xaa00cc}, {"\x1b[36m", 0x0080aa},
      {"\x1b[37m", 0xa0a0a0}, {"\x1b[1m\x1b[31m", 0xff5555}, {"\x1b[2m\x1b[31m", 0x550000},
      {"\x1b[31m\x1b[1m", 0xff5555}, {"\x1b[0m", 0xa0a0a0},
  };
  for (const row &r : rows) {
    pane->clear_display();
    server(std::string(r.codes) + "MMMMMMMM\x1b[0m\n");
    EXPECT_GT(count_colour(text_pixels(), r.rgb), 10) << "codes " << (r.codes + 1);
  }
}

TEST_F(TextPaneTest, LongLineWrapsAtABlankAndRewrapsAfterAWidthChange) {
  std::string words;
  for (int i = 0; i < 12; i++)
    words += "word" + std::to_string(i) + " ";
  server(words + "\n");
  int narrow_lines = store().get_line_count();
  EXPECT_GE(narrow_lines, 3) << "a 400-pixel pane cannot hold 70 characters on one line";
  {
    trel_textctrl_reader reader(store());
    trel_text_line line;
    ASSERT_EQ(reader.get_line(0, &line), 1);
    std::string first(line.text, line.length);
    EXPECT_EQ(first.back() == ' ' || first.back() == '\n' || first.find(' ') != std::string::npos,
              true);
    EXPECT_NE(first.substr(first.find_last_not_of(' ') - 4, 4).find("word"), std::string::npos)
        << "the line ends with a whole word: '" << first << "'";
  }
  pane->set_geometry(0, 0, 900, 200);
  EXPECT_LT(store().get_line_count(), narrow_lines) << "a wider pane re-wraps into fewer lines";
}

TEST_F(TextPaneTest, NewestLineIsDrawnAtTheBottom) {
  for (int i = 0; i < 50; i++)
    server("line " + std::to_string(i) + "\n");
  EXPECT_EQ(store().get_bottom_line(), store().get_current_line());
  server("last words");
  trel_bitmap &pixels = text_pixels();
  int line_height = store().get_line_height();
  ASSERT_GT(line_height, 0);
  int bottom_top = pixels.height() - line_height - 1;
  bool ink = false;
  for (int y = bottom_top; y < pixels.height(); y++)
    ink = ink || row_has_ink(pixels, y);
  EXPECT_TRUE(ink) << "the line being filled sits at the bottom";
}

TEST_F(TextPaneTest, ScrollLockHoldsTheViewUntilEnsureFollowing) {
  for (int i = 0; i < 60; i++)
    server("old line " + std::to_string(i) + "\n");
  pane->lock_if_following();
  pane->scroll_up(3);
  EXPECT_EQ(pane->is_following(), 0);
  int held = store().get_bottom_line();
  EXPECT_LT(held, store().get_current_line());
  for (int i = 0; i < 20; i++)
    server("new line " + std::to_string(i) + "\n");
  EXPECT_EQ(store().get_bottom_line(), held) << "the view stays while locked";
  trel_bitmap &border = pane->render();
  EXPECT_TRUE(near(border.row(0), 0xff0000, 0)) << "a locked pane has a red border";

  pane->ensure_following();
  EXPECT_EQ(pane->is_following(), 1);
  EXPECT_EQ(store().get_bottom_line(), store().get_current_line());
  trel_bitmap &normal = pane->render();
  EXPECT_TRUE(near(normal.row(0), 0xffffff, 0));
}

TEST_F(TextPaneTest, PagingMovesHalfAPage) {
  for (int i = 0; i < 100; i++)
    server("line " + std::to_string(i) + "\n");
  int visible = pane->get_visible_line_count();
  int end = store().get_bottom_line();
  pane->lock_if_following();
  pane->page_up();
  EXPECT_EQ(store().get_bottom_line(), end - visible / 2);
  pane->page_down();
  pane->page_down();
  EXPECT_EQ(store().get_bottom_line(), end);
  EXPECT_EQ(pane->is_following(), 1) << "reaching the end unlocks";
}

TEST_F(TextPaneTest, FlashAlternatesTheBorderAndEnds) {
  pane->flash();
  int changes = 0;
  bool saw_white = false, saw_black = false;
  for (int tick = 0; tick < 200 && trel_embedded_window::in_animation_list(pane); tick++) {
    trel_embedded_window::animation_tick(20);
    const uint8_t *corner = pane->render().row(0);
    saw_white = saw_white || near(corner, 0xffffff, 0);
    saw_black = saw_black || near(corner, 0x000000, 0);
    changes++;
  }
  EXPECT_FALSE(trel_embedded_window::in_animation_list(pane));
  EXPECT_EQ(changes, 160) << "16 steps of 200 ms at 20 ms a tick";
  EXPECT_TRUE(saw_white && saw_black);
}

TEST_F(TextPaneTest, DebugFillWritesItsSummaryLastAndKeepsTheColourState) {
  testing::internal::CaptureStdout();
  pane->fill_debug_text();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("entries in render list"), std::string::npos);
  trel_textctrl_reader reader(store());
  trel_text_line line;
  int last = reader.current_line();
  ASSERT_EQ(reader.get_line(last - 1, &line), 1);
  std::string summary(line.text, line.length);
  EXPECT_NE(summary.find(" characters written ("), std::string::npos) << summary;
  EXPECT_EQ(pane->interpreter().render_list().run_count(), 0) << "the fill bypasses the render list";
}

} // namespace
