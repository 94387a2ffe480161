// The cached background: 256-pixel rounding, keeping the bitmap while the
// window shrinks, rebuilding on a change of style or theme, and patterns that
// are the same in every run and every rebuild.
#include "app/background_cache.h"

#include "support/random.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <tuple>

namespace {

const trel_background_colours theme_colours{{80, 0, 0}, {56, 0, 0}, {32, 0, 0}};

trel_background_request request(int width, int height, int style = TREL_BACKGROUND_MAZE1,
                                int theme = 2) {
  trel_background_request r;
  r.client_width = width;
  r.client_height = height;
  r.theme_bg_setting = style;
  r.current_background_theme = theme;
  r.colours = theme_colours;
  return r;
}

bool same_bytes(const trel_bitmap &a, const trel_bitmap &b) {
  return a.width() == b.width() && a.height() == b.height() &&
         std::memcmp(a.data(), b.data(), static_cast<size_t>(a.stride()) * a.height()) == 0;
}

std::tuple<int, int, int> rgb(const trel_bitmap &b, int x, int y) {
  const uint8_t *p = b.row(y) + x * 4;
  return {p[0], p[1], p[2]};
}

std::tuple<int, int, int> rgb(const trel_colour &c) {
  return {c.r, c.g, c.b};
}

std::set<std::tuple<int, int, int>> colours_in(const trel_bitmap &b) {
  std::set<std::tuple<int, int, int>> seen;
  for (int y = 0; y < b.height(); y++)
    for (int x = 0; x < b.width(); x++)
      seen.insert(rgb(b, x, y));
  return seen;
}

TEST(BackgroundSide, RoundsUpPast256AndNeverShrinks) {
  const struct {
    int client, previous, side;
  } cases[] = {
      {984, -1, 1024},    {1024, -1, 1280},
      {1100, 1024, 1280}, {984, 1280, 1280},
      {700, -1, 768},     {0, -1, 256},
      {-20, -1, 256},     {1280, 1280, 1280},
      {1281, 1280, 1536}, {40000, -1, trel_bitmap::max_side},
  };
  for (const auto &c : cases)
    EXPECT_EQ(trel_background_side(c.client, c.previous), c.side)
        << "client " << c.client << ", previous " << c.previous;
}

TEST(Background, GrowingRebuildsAndShrinkingKeeps) {
  trel_background bg;
  EXPECT_EQ(bg.bitmap(), nullptr);
  EXPECT_EQ(bg.width(), -1);
  EXPECT_EQ(bg.drawn_style(), -1);

  EXPECT_EQ(bg.rebuild_background(0, request(984, 700)), 1);
  EXPECT_EQ(bg.width(), 1024);
  EXPECT_EQ(bg.height(), 768);
  EXPECT_EQ(bg.rebuild_background(0, request(984, 700)), 0);

  EXPECT_EQ(bg.rebuild_background(0, request(1100, 700)), 1);
  EXPECT_EQ(bg.width(), 1280);
  EXPECT_EQ(bg.height(), 768);
  const trel_bitmap *grown = bg.bitmap();

  EXPECT_EQ(bg.rebuild_background(0, request(984, 700)), 0);
  EXPECT_EQ(bg.bitmap(), grown) << "shrinking must keep the bitmap";
  EXPECT_EQ(bg.width(), 1280);
  EXPECT_EQ(bg.rebuild_background(0, request(1280, 768)), 0) << "an exact fit is still covered";
}

// A rebuild for a new style, a new theme or by force paints afresh but keeps
// the size: the bitmap must not creep up by 256 pixels on every theme change.
TEST(Background, StyleThemeOrForceRebuildAtTheSameSize) {
  trel_background bg;
  bg.rebuild_background(0, request(984, 700, TREL_BACKGROUND_MAZE1, 2));
  const struct {
    const char *what;
    int force, style, theme;
  } steps[] = {
      {"style change", 0, TREL_BACKGROUND_BUBBLES, 2},
      {"theme change", 0, TREL_BACKGROUND_BUBBLES, 40},
      {"forced", 1, TREL_BACKGROUND_BUBBLES, 40},
      {"forced again", 1, TREL_BACKGROUND_BUBBLES, 40},
  };
  for (const auto &s : steps) {
    EXPECT_EQ(bg.rebuild_background(s.force, request(984, 700, s.style, s.theme)), 1) << s.what;
    EXPECT_EQ(bg.width(), 1024) << s.what;
    EXPECT_EQ(bg.height(), 768) << s.what;
    EXPECT_EQ(bg.drawn_style(), s.style) << s.what;
    EXPECT_EQ(bg.drawn_theme(), s.theme) << s.what;
  }
}

const int all_styles[] = {TREL_BACKGROUND_NONE,  TREL_BACKGROUND_SOLID,   TREL_BACKGROUND_MAZE1,
                          TREL_BACKGROUND_MAZE2, TREL_BACKGROUND_BUBBLES, TREL_BACKGROUND_MAZE3};

TEST(Background, SameStyleGivesTheSameBytesInEveryRun) {
  for (int style : all_styles) {
    trel_background first, second;
    first.rebuild_background(0, request(984, 700, style));
    // Whatever else draws random numbers in between must not matter.
    trel_process_random().stir(12345);
    trel_process_random().next();
    second.rebuild_background(0, request(984, 700, style));
    ASSERT_TRUE(same_bytes(*first.bitmap(), *second.bitmap())) << "style " << style;

    trel_bitmap before;
    before.copy_from(*first.bitmap());
    first.rebuild_background(1, request(984, 700, style));
    EXPECT_TRUE(same_bytes(before, *first.bitmap())) << "style " << style << " after a rebuild";
  }
}

TEST(Background, DifferentStylesGiveDifferentPictures) {
  trel_background painted[6];
  for (int i = 0; i < 6; i++)
    painted[i].rebuild_background(0, request(300, 200, all_styles[i]));
  for (int i = 0; i < 6; i++)
    for (int j = i + 1; j < 6; j++)
      EXPECT_FALSE(same_bytes(*painted[i].bitmap(), *painted[j].bitmap()))
          << "styles " << all_styles[i] << " and " << all_styles[j];
}

TEST(Background, UnknownStylePaintsMaze2) {
  trel_background unknown, maze2;
  unknown.rebuild_background(0, request(300, 200, 9));
  maze2.rebuild_background(0, request(300, 200, TREL_BACKGROUND_MAZE2));
  EXPECT_TRUE(same_bytes(*unknown.bitmap(), *maze2.bitmap()));
}

// Which theme colours each pattern uses: all of the required ones and
// nothing but those and black.
TEST(Background, PatternsUseTheirThemeColours) {
  const auto black = std::make_tuple(0, 0, 0);
  const auto first = rgb(theme_colours.first), second = rgb(theme_colours.second),
             third = rgb(theme_colours.third);
  using colour_set = std::set<std::tuple<int, int, int>>;
  const struct {
    int style;
    colour_set exactly;
  } cases[] = {
      {TREL_BACKGROUND_NONE, {black}},
      {TREL_BACKGROUND_SOLID, {third}},
      {TREL_BACKGROUND_MAZE1, {black, second}},
      {TREL_BACKGROUND_MAZE2, {black, first, second}},
      {TREL_BACKGROUND_MAZE3, {black, first, second}},
      {TREL_BACKGROUND_BUBBLES, {black, first, second, third}},
  };
  for (const auto &c : cases) {
    trel_background bg;
    bg.rebuild_background(0, request(400, 300, c.style));
    EXPECT_EQ(colours_in(*bg.bitmap()), c.exactly) << "style " << c.style;
    EXPECT_EQ(bg.bitmap()->row(0)[3], 255) << "the background is opaque";
  }
}

// Maze2 draws one cell line in eight in the first colour.
TEST(Background, Maze2UsesTheFirstColourSparingly) {
  trel_background bg;
  bg.rebuild_background(0, request(1000, 700, TREL_BACKGROUND_MAZE2));
  long first = 0, second = 0;
  const auto f = rgb(theme_colours.first), s = rgb(theme_colours.second);
  for (int y = 0; y < bg.height(); y++)
    for (int x = 0; x < bg.width(); x++) {
      const auto c = rgb(*bg.bitmap(), x, y);
      first += c == f;
      second += c == s;
    }
  ASSERT_GT(first, 0);
  const double share = static_cast<double>(first) / (first + second);
  EXPECT_GT(share, 0.05);
  EXPECT_LT(share, 0.25);
}

// Growing the window must not shuffle the pattern under the panes: the larger
// bitmap shows the smaller one's picture except next to its far edges.
TEST(Background, LargerBitmapKeepsThePatternInPlace) {
  const int margin = 24;
  for (int style : all_styles) {
    trel_background small, large;
    small.rebuild_background(0, request(984, 700, style));
    large.rebuild_background(0, request(1100, 800, style));
    ASSERT_GT(large.width(), small.width());
    int differing = 0;
    for (int y = 0; y < small.height() - margin; y++)
      differing += std::memcmp(small.bitmap()->row(y), large.bitmap()->row(y),
                               static_cast<size_t>(small.width() - margin) * 4) != 0;
    EXPECT_EQ(differing, 0) << "style " << style;
  }
}

} // namespace
