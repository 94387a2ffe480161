// trel_bitmap: construction, whole-bitmap operations, single pixels, lines,
// the outline and the pane frame.
#include <climits>
#include <random>

#include "widgets/bitmap_test_util.h"

namespace {

const trel_colour background{10, 20, 30};
const trel_colour ink{1, 2, 3};
const trel_colour white{255, 255, 255};
const trel_colour grey{128, 128, 128};
const trel_colour black{0, 0, 0};

trel_bitmap canvas(int width = 8, int height = 6) {
  trel_bitmap b(width, height);
  b.Clear(background);
  return b;
}

TEST(BitmapConstruction, NewBitmapIsOpaqueBlackWithPackedRows) {
  struct size_case {
    int width, height, expected_width, expected_height;
  };
  const size_case cases[] = {
      {8, 6, 8, 6}, {1, 1, 1, 1}, {3, 0, 3, 0}, {-3, 5, 0, 5}, {-1, -1, 0, 0}};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    trel_bitmap b(c.width, c.height);
    EXPECT_EQ(b.width(), c.expected_width);
    EXPECT_EQ(b.height(), c.expected_height);
    EXPECT_EQ(b.stride(), c.expected_width * 4);
    for (int y = 0; y < b.height(); y++)
      for (int x = 0; x < b.width(); x++) {
        ASSERT_EQ(pixel_at(b, x, y), black);
        ASSERT_EQ(alpha_at(b, x, y), 255);
      }
  }
  trel_bitmap standard;
  EXPECT_EQ(standard.width(), 16);
  EXPECT_EQ(standard.height(), 16);
  EXPECT_EQ(standard.stride(), 64);
}

TEST(BitmapConstruction, OversizedSideIsCutAndReported) {
  log_capture log;
  trel_bitmap b(trel_bitmap::max_side + 1000, 2);
  EXPECT_EQ(b.width(), trel_bitmap::max_side);
  EXPECT_EQ(b.height(), 2);
  EXPECT_NE(log.text().find("Error in trel_bitmap::resize(), "), std::string::npos) << log.text();
}

TEST(BitmapConstruction, ResizeKeepsContentOnlyWhenTheSizeStays) {
  trel_bitmap b = canvas();
  b.resize(8, 6);
  EXPECT_EQ(pixel_at(b, 7, 5), background);
  b.resize(4, 9);
  EXPECT_EQ(b.width(), 4);
  EXPECT_EQ(b.height(), 9);
  EXPECT_EQ(pixel_at(b, 3, 8), black);
  EXPECT_EQ(alpha_at(b, 3, 8), 255);
}

TEST(BitmapConstruction, CopyFromIsDeepAndTakesTheSize) {
  trel_bitmap original = canvas(5, 3);
  original.set_pixel(4, 2, ink);
  trel_bitmap copy;
  copy.copy_from(original);
  ASSERT_TRUE(same_pixels(copy, original));
  copy.set_pixel(0, 0, white);
  EXPECT_EQ(pixel_at(original, 0, 0), background);
  copy.copy_from(copy);
  EXPECT_EQ(pixel_at(copy, 0, 0), white);
}

TEST(BitmapWhole, ClearAlphaTouchesOnlyAlpha) {
  trel_bitmap b = canvas();
  b.set_pixel(2, 3, ink);
  set_alpha_everywhere(b, 7);
  b.ClearAlpha();
  EXPECT_EQ(pixel_at(b, 2, 3), ink);
  EXPECT_EQ(pixel_at(b, 0, 0), background);
  for (int y = 0; y < b.height(); y++)
    for (int x = 0; x < b.width(); x++)
      ASSERT_EQ(alpha_at(b, x, y), 255);
}

TEST(BitmapWhole, ClearWritesColourLowBytesAndOpaqueAlpha) {
  trel_bitmap b(8, 6);
  set_alpha_everywhere(b, 0);
  b.Clear(trel_colour{300, -1, 66});
  for (int y = 0; y < b.height(); y++)
    for (int x = 0; x < b.width(); x++) {
      ASSERT_EQ(pixel_at(b, x, y), (trel_colour{44, 255, 66}));
      ASSERT_EQ(alpha_at(b, x, y), 255);
    }
}

TEST(BitmapWhole, EveryOperationIsHarmlessOnAnEmptyBitmap) {
  trel_glyph_table font;
  font.set_glyph('A', std::make_unique<trel_bitmap>(2, 2));
  const trel_point triangle[] = {{0, 0}, {5, 0}, {0, 5}};
  for (auto size : {std::make_pair(0, 0), std::make_pair(0, 4), std::make_pair(4, 0)}) {
    trel_bitmap b(size.first, size.second);
    trel_bitmap source(3, 3);
    b.Clear(ink);
    b.ClearAlpha();
    b.set_pixel(0, 0, ink);
    b.draw_line(0, 0, 3, 3, ink);
    b.draw_gradient_line(0, 0, 3, 3, ink, white);
    b.draw_outline(ink, 4, 4);
    b.draw_pane_frame(15);
    b.DrawFilledRectangle(0, 0, 3, 3, ink);
    b.DrawXGradientRectangle(0, 0, 3, 3, ink, white);
    b.DrawYGradientRectangle(0, 0, 3, 3, ink, white);
    b.DrawFilledCircle(1, 1, 2, ink);
    b.DrawPolygon(3, triangle, 0, 0, ink, white);
    b.DrawBitmap(source, 0, 0);
    b.DrawBitmapNukeAlpha(source, 0, 0);
    b.DrawTextGlyph(source, 0, 0, ink, white);
    b.DrawTextGlyphTransparent(source, 0, 0, ink);
    EXPECT_EQ(b.draw_text(font, "AA", 0, 0, ink, white), 4);
    EXPECT_EQ(b.draw_text_transparent(font, "AA", 0, 0, ink), 4);
    source.DrawBitmap(b, 0, 0);
    EXPECT_EQ(pixel_at(source, 0, 0), black);
  }
}

TEST(BitmapPixel, WritesColourInsideAndKeepsAlpha) {
  struct pixel_case {
    int x, y;
    bool inside;
  };
  const pixel_case cases[] = {{0, 0, true},        {7, 0, true},       {0, 5, true},
                              {7, 5, true},        {-1, 0, false},     {0, -1, false},
                              {8, 0, false},       {0, 6, false},      {8, 6, false},
                              {INT_MIN, 2, false}, {2, INT_MAX, false}};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
    trel_bitmap b = canvas();
    set_alpha_everywhere(b, 9);
    b.set_pixel(c.x, c.y, 257, 2, -253);
    std::vector<std::string> expected(6, "........");
    if (c.inside)
      expected[c.y][c.x] = '#';
    EXPECT_EQ(mask_of(b, trel_colour{1, 2, 3}), expected);
    for (int y = 0; y < 6; y++)
      for (int x = 0; x < 8; x++)
        ASSERT_EQ(alpha_at(b, x, y), 9);
  }
}

// The line walk exactly as it is defined, one step per pixel and clipped per
// pixel: the fast clipped version must match it everywhere.
void reference_line(trel_bitmap &b, int x0, int y0, int x1, int y1, const trel_colour &c) {
  if (x0 == x1 && y0 == y1) {
    b.set_pixel(x0, y0, c);
    return;
  }
  const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  if (dy < dx) {
    if (x0 > x1) {
      std::swap(x0, x1);
      std::swap(y0, y1);
    }
    int err = dx >> 1, y = y0;
    for (int x = x0; x <= x1; x++) {
      b.set_pixel(x, y, c);
      err -= dy;
      if (err < 0) {
        y += y1 > y0 ? 1 : -1;
        err += dx;
      }
    }
  } else {
    if (y0 > y1) {
      std::swap(x0, x1);
      std::swap(y0, y1);
    }
    int err = dy >> 1, x = x0;
    for (int y = y0; y <= y1; y++) {
      b.set_pixel(x, y, c);
      err -= dx;
      if (err < 0) {
        x += x1 > x0 ? 1 : -1;
        err += dy;
      }
    }
  }
}

void reference_gradient_line(trel_bitmap &b, int x0, int y0, int x1, int y1,
                             const trel_colour &from, const trel_colour &to) {
  const int dx = x1 - x0, dy = y1 - y0;
  const bool horizontal = std::abs(dy) < std::abs(dx);
  const int major = horizontal ? std::abs(dx) : std::abs(dy);
  const int minor = horizontal ? std::abs(dy) : std::abs(dx);
  auto sign = [](int v) { return (v > 0) - (v < 0); };
  const int a_step = sign(horizontal ? dx : dy), b_step = sign(horizontal ? dy : dx);
  int a = horizontal ? x0 : y0, m = horizontal ? y0 : x0;
  int r = from.r * 256, g = from.g * 256, bl = from.b * 256;
  const int sr = ((to.r - from.r) * 256) / (major + 1);
  const int sg = ((to.g - from.g) * 256) / (major + 1);
  const int sb = ((to.b - from.b) * 256) / (major + 1);
  int error = -(major / 2);
  for (int i = 0; i <= major; i++) {
    const trel_colour c{(r >> 8) & 255, (g >> 8) & 255, (bl >> 8) & 255};
    if (horizontal)
      b.set_pixel(a, m, c);
    else
      b.set_pixel(m, a, c);
    error += minor;
    if (error >= 0) {
      m += b_step;
      error -= major;
    }
    r += sr;
    g += sg;
    bl += sb;
    a += a_step;
  }
}

struct line_case {
  const char *name;
  int x0, y0, x1, y1;
  std::vector<std::string> expected;
};

TEST(BitmapLine, DrawsTheExpectedPixels) {
  const line_case cases[] = {
      {"single point",
       5,
       5,
       5,
       5,
       {"........", "........", "........", "........", "........", ".....#.."}},
      {"shallow",
       0,
       0,
       3,
       1,
       {"##......", "..##....", "........", "........", "........", "........"}},
      {"shallow reversed",
       3,
       1,
       0,
       0,
       {"##......", "..##....", "........", "........", "........", "........"}},
      {"steep",
       0,
       0,
       1,
       5,
       {"#.......", "#.......", "#.......", ".#......", ".#......", ".#......"}},
      {"vertical",
       2,
       5,
       2,
       0,
       {"..#.....", "..#.....", "..#.....", "..#.....", "..#.....", "..#....."}},
      {"diagonal clipped at both ends",
       -3,
       -3,
       10,
       10,
       {"#.......", ".#......", "..#.....", "...#....", "....#...", ".....#.."}},
      {"rising beyond the right edge",
       4,
       5,
       9,
       0,
       {"........", "........", ".......#", "......#.", ".....#..", "....#..."}},
      {"entirely above",
       -5,
       -1,
       20,
       -1,
       {"........", "........", "........", "........", "........", "........"}},
      {"entirely right",
       8,
       0,
       30,
       5,
       {"........", "........", "........", "........", "........", "........"}},
      {"whole int range, horizontal",
       INT_MIN,
       2,
       INT_MAX,
       2,
       {"........", "........", "########", "........", "........", "........"}},
      {"whole int range, diagonal",
       INT_MIN,
       INT_MIN,
       INT_MAX,
       INT_MAX,
       {"#.......", ".#......", "..#.....", "...#....", "....#...", ".....#.."}},
      {"whole int range, vertical",
       6,
       INT_MAX,
       6,
       INT_MIN,
       {"......#.", "......#.", "......#.", "......#.", "......#.", "......#."}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    trel_bitmap b = canvas();
    set_alpha_everywhere(b, 40);
    b.draw_line(c.x0, c.y0, c.x1, c.y1, ink);
    EXPECT_EQ(mask_of(b, ink), c.expected);
    EXPECT_EQ(alpha_at(b, 0, 0), 40);
  }
}

TEST(BitmapLine, ClippedWalkMatchesTheStepByStepWalk) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-25, 32);
  for (int i = 0; i < 4000; i++) {
    const int x0 = coordinate(random), y0 = coordinate(random);
    const int x1 = coordinate(random), y1 = coordinate(random);
    trel_bitmap fast = canvas(), slow = canvas();
    fast.draw_line(x0, y0, x1, y1, ink);
    reference_line(slow, x0, y0, x1, y1, ink);
    ASSERT_TRUE(same_pixels(fast, slow))
        << "(" << x0 << ", " << y0 << ") - (" << x1 << ", " << y1 << ")";
  }
}

TEST(BitmapGradientLine, BlendsAlongTheWalkAndStopsShortOfTheEnd) {
  const trel_colour red{255, 0, 0};
  struct gradient_case {
    const char *name;
    int x0, y0, x1, y1;
    std::vector<std::pair<int, int>> pixels;
    std::vector<int> reds;
  };
  // 255 * 256 / 4 = 16320 per step over 4 pixels, 10880 over 6.
  const gradient_case cases[] = {
      {"left to right", 0, 0, 3, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, {0, 63, 127, 191}},
      {"right to left", 3, 0, 0, 0, {{3, 0}, {2, 0}, {1, 0}, {0, 0}}, {0, 63, 127, 191}},
      {"two pixels stay on their row", 1, 2, 2, 2, {{1, 2}, {2, 2}}, {0, 127}},
      {"upwards",
       4,
       5,
       4,
       0,
       {{4, 5}, {4, 4}, {4, 3}, {4, 2}, {4, 1}, {4, 0}},
       {0, 42, 85, 127, 170, 212}},
      {"diagonal", 0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}, {0, 63, 127, 191}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    trel_bitmap b = canvas();
    b.draw_gradient_line(c.x0, c.y0, c.x1, c.y1, black, red);
    int drawn = 0;
    for (int y = 0; y < 6; y++)
      for (int x = 0; x < 8; x++)
        drawn += pixel_at(b, x, y) == background ? 0 : 1;
    EXPECT_EQ(drawn, static_cast<int>(c.pixels.size()));
    for (size_t i = 0; i < c.pixels.size(); i++)
      EXPECT_EQ(pixel_at(b, c.pixels[i].first, c.pixels[i].second), (trel_colour{c.reds[i], 0, 0}))
          << "pixel " << i;
  }
}

TEST(BitmapGradientLine, ClippedWalkMatchesTheStepByStepWalk) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> coordinate(-25, 32);
  std::uniform_int_distribution<int> channel(0, 255);
  for (int i = 0; i < 4000; i++) {
    const int x0 = coordinate(random), y0 = coordinate(random);
    const int x1 = coordinate(random), y1 = coordinate(random);
    const trel_colour from{channel(random), channel(random), channel(random)};
    const trel_colour to{channel(random), channel(random), channel(random)};
    trel_bitmap fast = canvas(), slow = canvas();
    fast.draw_gradient_line(x0, y0, x1, y1, from, to);
    reference_gradient_line(slow, x0, y0, x1, y1, from, to);
    ASSERT_TRUE(same_pixels(fast, slow))
        << "(" << x0 << ", " << y0 << ") - (" << x1 << ", " << y1 << ")";
  }
}

TEST(BitmapGradientLine, FarEndPointsMatchTheWalkAndFinish) {
  // Far-away starts: the visible part must carry the colour the full walk
  // reaches there.
  std::mt19937 random(5);
  std::uniform_int_distribution<int> coordinate(-5000, 5000);
  for (int i = 0; i < 300; i++) {
    const int x0 = coordinate(random), y0 = coordinate(random) / 1000;
    const int x1 = coordinate(random), y1 = coordinate(random) / 1000 + 3;
    trel_bitmap fast = canvas(), slow = canvas();
    fast.draw_gradient_line(x0, y0, x1, y1, white, ink);
    reference_gradient_line(slow, x0, y0, x1, y1, white, ink);
    ASSERT_TRUE(same_pixels(fast, slow))
        << "(" << x0 << ", " << y0 << ") - (" << x1 << ", " << y1 << ")";
  }
  // Over the whole int range the step rounds to 0: a plain line in "from".
  trel_bitmap b = canvas();
  b.draw_gradient_line(INT_MAX, 3, INT_MIN, 3, white, black);
  b.draw_gradient_line(2, INT_MIN, 2, INT_MAX, white, black);
  EXPECT_EQ(mask_of(b, white), (std::vector<std::string>{"..#.....", "..#.....", "..#.....",
                                                         "########", "..#.....", "..#....."}));
}

TEST(BitmapOutline, BordersTheAreaWithBlackCorners) {
  struct outline_case {
    const char *name;
    int width, height;
    std::vector<std::string> colour, corners;
  };
  const outline_case cases[] = {
      {"inside the bitmap",
       5,
       4,
       {".###....", "#...#...", "#...#...", ".###....", "........", "........"},
       {"#...#...", "........", "........", "#...#...", "........", "........"}},
      {"larger than the bitmap",
       10,
       9,
       {".#######", "#.......", "#.......", "#.......", "#.......", "#......."},
       {"#.......", "........", "........", "........", "........", "........"}},
      {"one by one",
       1,
       1,
       {"........", "........", "........", "........", "........", "........"},
       {"#.......", "........", "........", "........", "........", "........"}},
      {"one column stays inside its area",
       1,
       3,
       {"........", "#.......", "........", "........", "........", "........"},
       {"#.......", "........", "#.......", "........", "........", "........"}},
      {"empty area",
       0,
       3,
       {"........", "........", "........", "........", "........", "........"},
       {"........", "........", "........", "........", "........", "........"}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    trel_bitmap b = canvas();
    b.draw_outline(ink, c.width, c.height);
    EXPECT_EQ(mask_of(b, ink), c.colour);
    EXPECT_EQ(mask_of(b, black), c.corners);
  }
}

TEST(BitmapPaneFrame, FlagsSelectTheSides) {
  const trel_colour custom{9, 8, 7};
  struct frame_case {
    int flags;
    bool with_colour;
    std::vector<std::string> main, inner_grey;
  };
  const std::vector<std::string> none(6, "........");
  const frame_case cases[] = {
      {15,
       false,
       {"########", "#.....##", "#.....##", "#.....##", "#.....##", "########"},
       {"........", ".#......", ".#......", ".#......", ".#......", "........"}},
      {8,
       false,
       {"#.......", "#.......", "#.......", "#.......", "#.......", "#......."},
       {".#......", ".#......", ".#......", ".#......", ".#......", ".#......"}},
      {2, false, {"......##", "......##", "......##", "......##", "......##", "......##"}, none},
      {1 | 4,
       false,
       {"########", "........", "........", "........", "........", "########"},
       none},
      {0, false, none, none},
      {15, true, {"########", "##....##", "##....##", "##....##", "##....##", "########"}, none},
      {8, true, {"##......", "##......", "##......", "##......", "##......", "##......"}, none},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << c.flags << (c.with_colour ? " coloured" : ""));
    trel_bitmap b = canvas();
    set_alpha_everywhere(b, 5);
    if (c.with_colour)
      b.draw_pane_frame(c.flags, custom);
    else
      b.draw_pane_frame(c.flags);
    EXPECT_EQ(mask_of(b, c.with_colour ? custom : white), c.main);
    EXPECT_EQ(mask_of(b, grey), c.inner_grey);
    EXPECT_EQ(alpha_at(b, 0, 0), 5);
  }
}

} // namespace
