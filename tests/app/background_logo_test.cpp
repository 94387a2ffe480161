// The logo and the web site line in their three corners, the logo click area,
// and the composition of the client area over the cached background.
#include "app/background_cache.h"
#include "app/background_logo.h"

#include "support/support_test_helpers.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <tuple>

std::ostream &operator<<(std::ostream &out, const trel_rect &r) {
  return out << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}

namespace {

constexpr int logo_w = 192, logo_h = 43;

struct logo_case {
  const char *what;
  int layout;
  int text_w, text_h;
  int logo_x, logo_y, text_x, text_y;
  trel_rect click;
};

// A 984 x 700 client area with the 192 x 43 logo.
TEST(LogoPlacement, CornersAndClickAreaPerLayout) {
  const logo_case cases[] = {
      {"layout 2: top left", 2, 90, 12, 0, 0, 51, 38, {0, 0, 192, 50}},
      {"layout 1: bottom left", 1, 90, 12, 0, 655, 51, 688, {0, 650, 192, 50}},
      {"layout 0: bottom right", 0, 90, 12, 792, 655, 843, 688, {792, 650, 192, 50}},
      {"unknown layout: bottom right", 6, 90, 12, 792, 655, 843, 688, {792, 650, 192, 50}},
      {"text wider than the logo", 2, 300, 14, 54, 0, 0, 38, {0, 0, 300, 52}},
      {"text wider, bottom right", 0, 300, 14, 738, 653, 684, 686, {684, 648, 300, 52}},
      {"no text, top left", 2, 0, 0, 0, 0, 96, 43, {0, 0, 192, 43}},
      {"no text, bottom right", 0, 0, 0, 792, 657, 888, 700, {792, 657, 192, 43}},
  };
  for (const logo_case &c : cases) {
    const trel_logo_place p =
        trel_place_logo(c.layout, 984, 700, logo_w, logo_h, c.text_w, c.text_h);
    EXPECT_EQ(p.logo_x, c.logo_x) << c.what;
    EXPECT_EQ(p.logo_y, c.logo_y) << c.what;
    EXPECT_EQ(p.text_x, c.text_x) << c.what;
    EXPECT_EQ(p.text_y, c.text_y) << c.what;
    EXPECT_EQ(p.click_area, c.click) << c.what;
  }
}

TEST(LogoPlacement, TextAloneAndNothingAtAll) {
  const trel_logo_place text_only = trel_place_logo(1, 984, 700, 0, 0, 90, 12);
  EXPECT_EQ(text_only.click_area, (trel_rect{0, 688, 90, 12}));
  EXPECT_EQ(text_only.text_y, 688);

  for (int layout = 0; layout <= 2; layout++) {
    const trel_logo_place none = trel_place_logo(layout, 984, 700, 0, 0, 0, 0);
    EXPECT_EQ(none.click_area, trel_rect{}) << "layout " << layout;
  }
}

// A hand-made font: every lower-case letter and the dot are solid 6 x 12 blocks.
class block_font : public trel_glyph_table {
public:
  block_font() {
    line_height = 12;
    for (int code = 'a'; code <= 'z'; code++)
      add(code);
    add('.');
  }

private:
  void add(int code) {
    auto glyph = std::make_unique<trel_bitmap>(6, 12);
    glyph->Clear(trel_colour{0, 255, 0});
    set_glyph(code, std::move(glyph));
  }
};

std::tuple<int, int, int> rgb(const trel_bitmap &b, int x, int y) {
  const uint8_t *p = b.row(y) + x * 4;
  return {p[0], p[1], p[2]};
}

// Glyph blending works in 1/256 steps, so full coverage in white comes out as
// 254 or 255.
bool near_white(const std::tuple<int, int, int> &c) {
  return std::get<0>(c) >= 254 && std::get<1>(c) >= 254 && std::get<2>(c) >= 254;
}

class ClientAreaPaint : public ::testing::Test {
protected:
  void SetUp() override {
    trel_background_request r;
    r.client_width = 984;
    r.client_height = 700;
    r.theme_bg_setting = TREL_BACKGROUND_SOLID;
    r.colours.third = trel_colour{32, 0, 0};
    background.rebuild_background(0, r);

    // An opaque blue logo with a transparent first column and a half-covered
    // second column.
    logo.Clear(trel_colour{0, 0, 200});
    for (int y = 0; y < logo.height(); y++) {
      logo.row(y)[3] = 0;
      logo.row(y)[4 + 3] = 128;
    }
  }

  trel_background background;
  trel_bitmap logo{logo_w, logo_h};
  block_font font;
  trel_bitmap client{984, 700};
};

TEST_F(ClientAreaPaint, DrawsBackgroundLogoAndTextAndRemembersTheClickArea) {
  const char site[] = "quenmar.example"; // 15 glyphs, 90 pixels
  ASSERT_EQ(background.paint_client_area(client, 0, &logo, &font, site), 1);
  EXPECT_EQ(background.logo_click_area(), (trel_rect{792, 650, 192, 50}));

  const auto back = std::make_tuple(32, 0, 0);
  EXPECT_EQ(rgb(client, 0, 0), back);
  EXPECT_EQ(rgb(client, 791, 660), back);
  EXPECT_EQ(rgb(client, 792, 660), back) << "transparent logo pixels show the background";
  EXPECT_EQ(rgb(client, 793, 660), std::make_tuple(16, 0, 100)) << "half alpha blends";
  EXPECT_EQ(rgb(client, 800, 660), std::make_tuple(0, 0, 200));
  EXPECT_TRUE(near_white(rgb(client, 843, 690))) << "the web site line";
  EXPECT_EQ(rgb(client, 842, 690), std::make_tuple(0, 0, 200)) << "left of the text: logo";
  EXPECT_TRUE(near_white(rgb(client, 932, 699)));
  EXPECT_EQ(rgb(client, 933, 699), back) << "right of the text";
}

TEST_F(ClientAreaPaint, TopLeftInLayoutTwo) {
  ASSERT_EQ(background.paint_client_area(client, 2, &logo, &font, "ab"), 1);
  EXPECT_EQ(background.logo_click_area(), (trel_rect{0, 0, 192, 50}));
  EXPECT_EQ(rgb(client, 10, 10), std::make_tuple(0, 0, 200));
  EXPECT_TRUE(near_white(rgb(client, 90, 38)));
  EXPECT_EQ(rgb(client, 10, 699), std::make_tuple(32, 0, 0));
}

TEST_F(ClientAreaPaint, NullLogoAndFontLeaveTheBackground) {
  ASSERT_EQ(background.paint_client_area(client, 1, nullptr, nullptr, "quenmar.example"), 1);
  EXPECT_EQ(background.logo_click_area(), trel_rect{});
  EXPECT_EQ(rgb(client, 5, 695), std::make_tuple(32, 0, 0));
}

TEST(ClientAreaPaintWithoutBackground, ReportsAndDrawsNothing) {
  debug_log_capture log(2);
  trel_background background;
  trel_bitmap client(50, 40);
  client.Clear(trel_colour{1, 2, 3});
  EXPECT_EQ(background.paint_client_area(client, 0, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(log.text(), "Error in trel_mw::repaint_handler() - no background image?\n");
  EXPECT_EQ(rgb(client, 0, 0), std::make_tuple(1, 2, 3));
  EXPECT_EQ(background.logo_click_area(), trel_rect{});
}

} // namespace
