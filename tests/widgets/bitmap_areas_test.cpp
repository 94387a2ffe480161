// trel_bitmap area operations: filled and gradient rectangles, the filled
// circle and the polygon, with their clipping rules.
#include <climits>

#include "widgets/bitmap_test_util.h"

namespace {

const trel_colour background{10, 20, 30};
const trel_colour ink{1, 2, 3};
const trel_colour white{255, 255, 255};
const trel_colour black{0, 0, 0};
const trel_colour red{255, 0, 0};
const std::vector<std::string> untouched(6, "........");

trel_bitmap canvas() {
  trel_bitmap b(8, 6);
  b.Clear(background);
  return b;
}

struct rectangle_case {
  const char *name;
  int x0, y0, x1, y1;
  std::vector<std::string> expected;
};

TEST(BitmapRectangle, FillsTheClippedAreaWhateverTheCornerOrder) {
  const rectangle_case cases[] = {
      {"inside",
       1,
       1,
       3,
       2,
       {"........", ".###....", ".###....", "........", "........", "........"}},
      {"single pixel in the corner",
       7,
       5,
       7,
       5,
       {"........", "........", "........", "........", "........", ".......#"}},
      {"cut on the left",
       -2,
       1,
       1,
       1,
       {"........", "##......", "........", "........", "........", "........"}},
      {"cut on the right and bottom",
       6,
       4,
       12,
       9,
       {"........", "........", "........", "........", "......##", "......##"}},
      {"cut at the top",
       3,
       -4,
       3,
       0,
       {"...#....", "........", "........", "........", "........", "........"}},
      {"whole int range",
       INT_MIN,
       INT_MIN,
       INT_MAX,
       INT_MAX,
       {"########", "########", "########", "########", "########", "########"}},
      {"left of the bitmap", -5, 0, -1, 5, untouched},
      {"right of the bitmap", 8, 0, 9, 5, untouched},
      {"above the bitmap", 0, -3, 7, -1, untouched},
      {"below the bitmap", 0, 6, 7, 8, untouched},
  };
  for (const auto &c : cases) {
    const int orders[4][4] = {{c.x0, c.y0, c.x1, c.y1},
                              {c.x1, c.y1, c.x0, c.y0},
                              {c.x0, c.y1, c.x1, c.y0},
                              {c.x1, c.y0, c.x0, c.y1}};
    for (const auto &o : orders) {
      SCOPED_TRACE(testing::Message()
                   << c.name << ": " << o[0] << ", " << o[1] << ", " << o[2] << ", " << o[3]);
      trel_bitmap b = canvas();
      set_alpha_everywhere(b, 77);
      b.DrawFilledRectangle(o[0], o[1], o[2], o[3], ink);
      EXPECT_EQ(mask_of(b, ink), c.expected);
      EXPECT_EQ(alpha_at(b, 7, 5), 77);
    }
  }
}

struct gradient_case {
  const char *name;
  int x0, y0, x1, y1;
  trel_colour from, to;
  int first;                      // first column (X) or row (Y) that changes
  std::vector<trel_colour> bands; // colour of each changed column or row
};

// A horizontal gradient case mirrored to the vertical one: the same bands,
// down the rows instead of across the columns.
void check_gradient(bool across, const gradient_case &c) {
  trel_bitmap b(8, 8);
  b.Clear(background);
  set_alpha_everywhere(b, 33);
  if (across)
    b.DrawXGradientRectangle(c.x0, c.y0, c.x1, c.y1, c.from, c.to);
  else
    b.DrawYGradientRectangle(c.y0, c.x0, c.y1, c.x1, c.from, c.to);
  const int low = std::max(0, std::min(c.y0, c.y1)), high = std::min(7, std::max(c.y0, c.y1));
  for (int band = 0; band < 8; band++)
    for (int other = 0; other < 8; other++) {
      const int x = across ? band : other, y = across ? other : band;
      const int index = band - c.first;
      const bool inside =
          index >= 0 && index < static_cast<int>(c.bands.size()) && other >= low && other <= high;
      EXPECT_EQ(pixel_at(b, x, y), inside ? c.bands[index] : background)
          << "at (" << x << ", " << y << ")";
      ASSERT_EQ(alpha_at(b, x, y), 33);
    }
}

const gradient_case gradient_cases[] = {
    // 255 * 256 / (4 + 1) = 13056 per column, one step before the first.
    {"four columns",
     2,
     1,
     5,
     2,
     black,
     red,
     2,
     {{51, 0, 0}, {102, 0, 0}, {153, 0, 0}, {204, 0, 0}}},
    {"four columns, corners swapped",
     5,
     2,
     2,
     1,
     black,
     red,
     2,
     {{51, 0, 0}, {102, 0, 0}, {153, 0, 0}, {204, 0, 0}}},
    {"falling", 2, 0, 5, 7, red, black, 2, {{204, 0, 0}, {153, 0, 0}, {102, 0, 0}, {51, 0, 0}}},
    // The step comes from the whole width (65280 / 7 = 9325); columns cut
    // away on the left do not advance the colour.
    {"cut on the left",
     -2,
     3,
     3,
     3,
     black,
     red,
     0,
     {{36, 0, 0}, {72, 0, 0}, {109, 0, 0}, {145, 0, 0}}},
    {"cut on the right", 5, 3, 10, 4, black, red, 5, {{36, 0, 0}, {72, 0, 0}, {109, 0, 0}}},
    {"one column, every channel", 6, 6, 6, 6, {0, 100, 200}, {100, 100, 0}, 6, {{50, 100, 100}}},
    {"outside", 8, 0, 12, 7, black, red, 0, {}},
};

TEST(BitmapGradientRectangle, XStepsAcrossTheColumns) {
  for (const auto &c : gradient_cases) {
    SCOPED_TRACE(c.name);
    check_gradient(true, c);
  }
}

TEST(BitmapGradientRectangle, YStepsDownTheRows) {
  for (const auto &c : gradient_cases) {
    SCOPED_TRACE(c.name);
    check_gradient(false, c);
  }
}

TEST(BitmapCircle, FillsRowsOfTheTruncatedRootWidth) {
  struct circle_case {
    const char *name;
    int x, y, radius;
    std::vector<std::string> expected;
  };
  const circle_case cases[] = {
      {"radius 2",
       3,
       2,
       2,
       {"..###...", ".#####..", ".#####..", ".#####..", "..###...", "........"}},
      {"radius 1 is a square",
       4,
       3,
       1,
       {"........", "........", "...###..", "...###..", "...###..", "........"}},
      {"radius 0 is one pixel",
       7,
       5,
       0,
       {"........", "........", "........", "........", "........", ".......#"}},
      {"negative radius counts as 0",
       4,
       3,
       -4,
       {"........", "........", "........", "....#...", "........", "........"}},
      {"cut at the top left corner",
       0,
       0,
       1,
       {"##......", "##......", "........", "........", "........", "........"}},
      {"only the bottom row above the bitmap",
       3,
       -2,
       2,
       {"..###...", "........", "........", "........", "........", "........"}},
      {"entirely above", 3, -3, 2, untouched},
      {"entirely below", 3, 8, 2, untouched},
      {"entirely left", -100, 3, 2, untouched},
      {"entirely right", 10, 3, 2, untouched},
      {"huge radius",
       4,
       3,
       INT_MAX,
       {"########", "########", "########", "########", "########", "########"}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    trel_bitmap b = canvas();
    set_alpha_everywhere(b, 12);
    b.DrawFilledCircle(c.x, c.y, c.radius, ink);
    EXPECT_EQ(mask_of(b, ink), c.expected);
    EXPECT_EQ(alpha_at(b, 3, 2), 12);
  }
}

TEST(BitmapPolygon, RefusesTooFewOrTooManyPointsWithAMessage) {
  std::vector<trel_point> points(1001, trel_point{2, 2});
  points[1] = {5, 2};
  points[2] = {5, 5};
  struct count_case {
    int count, level;
    const char *message;
  };
  const count_case cases[] = {
      {2, 1, "Error in trel_bitmap::DrawPolygon(), only got 2 points, need a minimum of 3.\n"},
      {-1, 1, "Error in trel_bitmap::DrawPolygon(), only got -1 points, need a minimum of 3.\n"},
      {1001, 1, "Error in trel_bitmap::DrawPolygon(), got 1001 points, max is 1000.\n"},
      {2, 0, ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.count << " points at level " << c.level);
    log_capture log;
    debug_level = c.level;
    trel_bitmap b = canvas();
    EXPECT_EQ(b.DrawPolygon(c.count, points.data(), 0, 0, ink, white), 0);
    EXPECT_EQ(mask_of(b, background), std::vector<std::string>(6, "########"));
    EXPECT_EQ(log.text(), c.message);
  }
}

TEST(BitmapPolygon, FillsEvenOddAndOutlinesOnTop) {
  struct polygon_case {
    const char *name;
    std::vector<trel_point> points;
    int offset_x, offset_y;
    std::vector<std::string> outline, fill;
  };
  const polygon_case cases[] = {
      {"rectangle",
       {{1, 1}, {6, 1}, {6, 4}, {1, 4}},
       0,
       0,
       {"........", ".######.", ".#....#.", ".#....#.", ".######.", "........"},
       {"........", "........", "..####..", "..####..", "........", "........"}},
      {"rectangle placed by the offset",
       {{0, 0}, {5, 0}, {5, 3}, {0, 3}},
       1,
       1,
       {"........", ".######.", ".#....#.", ".#....#.", ".######.", "........"},
       {"........", "........", "..####..", "..####..", "........", "........"}},
      {"triangle",
       {{0, 0}, {7, 0}, {0, 5}},
       0,
       0,
       {"########", "#....##.", "#...#...", "#..#....", "###.....", "#......."},
       {"........", ".####...", ".###....", ".##.....", "........", "........"}},
      {"concave U keeps its notch empty",
       {{0, 0}, {2, 0}, {2, 3}, {5, 3}, {5, 0}, {7, 0}, {7, 5}, {0, 5}},
       0,
       0,
       {"###..###", "#.#..#.#", "#.#..#.#", "#.####.#", "#......#", "########"},
       {"........", ".#....#.", ".#....#.", ".#....#.", ".######.", "........"}},
      {"vertex in the middle of a side counts once",
       {{0, 0}, {7, 0}, {7, 5}, {0, 5}, {3, 2}},
       0,
       0,
       {"########", ".##....#", "...#...#", "..#....#", ".#.....#", "########"},
       {"........", "...####.", "....###.", "...####.", "..#####.", "........"}},
      {"covering the bitmap from far away",
       {{-1000000000, -1000000000},
        {1000000000, -1000000000},
        {1000000000, 1000000000},
        {-1000000000, 1000000000}},
       0,
       0,
       untouched,
       {"########", "########", "########", "########", "########", "########"}},
      {"offset far outside", {{0, 0}, {5, 0}, {5, 3}}, INT_MAX, INT_MIN, untouched, untouched},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    // A closed polygon pairs every crossing: no "unclosed" warning.
    log_capture log;
    debug_level = 2;
    trel_bitmap b = canvas();
    set_alpha_everywhere(b, 99);
    EXPECT_EQ(b.DrawPolygon(static_cast<int>(c.points.size()), c.points.data(), c.offset_x,
                            c.offset_y, ink, white),
              1);
    EXPECT_EQ(mask_of(b, ink), c.outline);
    EXPECT_EQ(mask_of(b, white), c.fill);
    EXPECT_EQ(alpha_at(b, 4, 3), 99);
    EXPECT_EQ(log.text(), "");
  }
}

} // namespace
