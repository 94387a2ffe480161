// Where the main window's panes go: a table of layouts checked pane by pane,
// small and absurd sizes, and a sweep over every combination of the settings
// that proves the panes never overlap and the middle column is filled.
#include "app/layout_placement.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

std::ostream &operator<<(std::ostream &out, const trel_rect &r) {
  return out << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}

namespace {

using pane_member = trel_pane_place trel_layout_result::*;

struct named_pane {
  const char *name;
  pane_member member;
};

const named_pane all_panes[] = {
    {"main_pane", &trel_layout_result::main_pane},
    {"input", &trel_layout_result::input},
    {"status_bar", &trel_layout_result::status_bar},
    {"status_bars", &trel_layout_result::status_bars},
    {"channel_window", &trel_layout_result::channel_window},
    {"group_display", &trel_layout_result::group_display},
    {"automap", &trel_layout_result::automap},
    {"automap_frame", &trel_layout_result::automap_frame},
    {"direction_pad", &trel_layout_result::direction_pad},
    {"hint_bar", &trel_layout_result::hint_bar},
    {"fkey_bar", &trel_layout_result::fkey_bar},
    {"popup_bar", &trel_layout_result::popup_bar},
};

// A 984 x 700 client area with every optional pane off and a 36-pixel input line.
trel_layout_input plain_window() {
  trel_layout_input in;
  in.client_width = 984;
  in.client_height = 700;
  in.input_height = 36;
  in.automap_width = 200;
  in.automap_height = 150;
  in.group_display_height = 80;
  in.fkey_bar_width = 358;
  return in;
}

struct expected_pane {
  pane_member member;
  int host;
  trel_rect rect;
};

struct placement_case {
  const char *name;
  std::function<void(trel_layout_input &)> setup;
  int left_width;
  int middle_width;
  // Panes not listed must be hidden.
  std::vector<expected_pane> panes;
};

constexpr int MW = TREL_HOST_MAIN_WINDOW;
constexpr int MP = TREL_HOST_MAIN_PANE;

const placement_case placement_cases[] = {
    {"right column at 984 x 700 leaves 883 pixels",
     [](trel_layout_input &in) {
       in.direction_button_enable = 1;
       in.hint_button_enable = 1;
     },
     0,
     883,
     {{&trel_layout_result::direction_pad, MW, {885, 2, 97, 130}},
      {&trel_layout_result::hint_bar, MW, {885, 134, 97, 566}},
      {&trel_layout_result::input, MW, {0, 664, 883, 36}},
      {&trel_layout_result::main_pane, MW, {0, 0, 883, 664}}}},
    {"hint bar alone starts at the top",
     [](trel_layout_input &in) { in.hint_button_enable = 1; },
     0,
     883,
     {{&trel_layout_result::hint_bar, MW, {885, 2, 97, 698}},
      {&trel_layout_result::input, MW, {0, 664, 883, 36}},
      {&trel_layout_result::main_pane, MW, {0, 0, 883, 664}}}},
    {"direction pad alone still takes the column",
     [](trel_layout_input &in) { in.direction_button_enable = 1; },
     0,
     883,
     {{&trel_layout_result::direction_pad, MW, {885, 2, 97, 130}},
      {&trel_layout_result::input, MW, {0, 664, 883, 36}},
      {&trel_layout_result::main_pane, MW, {0, 0, 883, 664}}}},
    {"layout 1 puts the group display at the top left beside a floating map",
     [](trel_layout_input &in) {
       in.current_layout = 1;
       in.automap_display = 1;
       in.group_status_display = 1;
     },
     164,
     820,
     {{&trel_layout_result::group_display, MW, {2, 2, 160, 80}},
      {&trel_layout_result::automap, TREL_HOST_AUTOMAP_FRAME, {0, 0, 200, 150}},
      {&trel_layout_result::automap_frame, TREL_HOST_OWN_FRAME, {0, 0, 200, 150}},
      {&trel_layout_result::input, MW, {164, 664, 820, 36}},
      {&trel_layout_result::main_pane, MW, {164, 0, 820, 664}}}},
    {"layout 1 puts the group display 10 pixels under the docked map",
     [](trel_layout_input &in) {
       in.current_layout = 1;
       in.automap_display = 1;
       in.automap_docked = 1;
       in.group_status_display = 2;
     },
     204,
     780,
     {{&trel_layout_result::automap, MW, {2, 2, 200, 150}},
      {&trel_layout_result::group_display, MW, {2, 162, 200, 80}},
      {&trel_layout_result::input, MW, {204, 664, 780, 36}},
      {&trel_layout_result::main_pane, MW, {204, 0, 780, 664}}}},
    {"layout 1 with the map docked but switched off leaves no left column",
     [](trel_layout_input &in) {
       in.current_layout = 1;
       in.automap_docked = 1;
     },
     0,
     984,
     {{&trel_layout_result::input, MW, {0, 664, 984, 36}},
      {&trel_layout_result::main_pane, MW, {0, 0, 984, 664}}}},
    {"layout 2 puts the docked map at the bottom and the group above it",
     [](trel_layout_input &in) {
       in.current_layout = 2;
       in.automap_display = 1;
       in.automap_docked = 1;
       in.group_status_display = 1;
     },
     204,
     780,
     {{&trel_layout_result::automap, MW, {2, 548, 200, 150}},
      {&trel_layout_result::group_display, MW, {2, 458, 200, 80}},
      {&trel_layout_result::input, MW, {204, 664, 780, 36}},
      {&trel_layout_result::main_pane, MW, {204, 0, 780, 664}}}},
    {"layout 2 ends the group display 2 pixels above the bottom",
     [](trel_layout_input &in) {
       in.current_layout = 2;
       in.group_status_display = 1;
     },
     164,
     820,
     {{&trel_layout_result::group_display, MW, {2, 618, 160, 80}},
      {&trel_layout_result::input, MW, {164, 664, 820, 36}},
      {&trel_layout_result::main_pane, MW, {164, 0, 820, 664}}}},
    {"layout 2 ends the group display 2 pixels above the bottom strip",
     [](trel_layout_input &in) {
       in.current_layout = 2;
       in.group_status_display = 1;
       in.fkey_button_display = 1;
     },
     164,
     820,
     {{&trel_layout_result::group_display, MW, {2, 572, 160, 80}},
      {&trel_layout_result::fkey_bar, MW, {164, 654, 358, 46}},
      {&trel_layout_result::input, MW, {164, 618, 820, 36}},
      {&trel_layout_result::main_pane, MW, {164, 0, 820, 618}}}},
    {"layout 0 leaves the docked map and the group display to the main pane",
     [](trel_layout_input &in) {
       in.automap_display = 1;
       in.automap_docked = 1;
       in.group_status_display = 1;
     },
     0,
     984,
     {{&trel_layout_result::automap, MP, {}},
      {&trel_layout_result::group_display, MP, {}},
      {&trel_layout_result::input, MW, {0, 664, 984, 36}},
      {&trel_layout_result::main_pane, MW, {0, 0, 984, 664}}}},
    {"an unknown layout value is laid out as layout 0",
     [](trel_layout_input &in) {
       in.current_layout = 7;
       in.automap_display = 1;
       in.automap_docked = 1;
       in.group_status_display = 1;
     },
     0,
     984,
     {{&trel_layout_result::automap, MP, {}},
      {&trel_layout_result::group_display, MP, {}},
      {&trel_layout_result::input, MW, {0, 664, 984, 36}},
      {&trel_layout_result::main_pane, MW, {0, 0, 984, 664}}}},
    {"the popup buttons follow the function keys up to the middle column's edge",
     [](trel_layout_input &in) {
       in.direction_button_enable = 1;
       in.hint_button_enable = 1;
       in.fkey_button_display = 1;
       in.popup_display = 1;
     },
     0,
     883,
     {{&trel_layout_result::direction_pad, MW, {885, 2, 97, 130}},
      {&trel_layout_result::hint_bar, MW, {885, 134, 97, 566}},
      {&trel_layout_result::fkey_bar, MW, {0, 654, 358, 46}},
      {&trel_layout_result::popup_bar, MW, {358, 654, 525, 46}},
      {&trel_layout_result::input, MW, {0, 618, 883, 36}},
      {&trel_layout_result::main_pane, MW, {0, 0, 883, 618}}}},
    {"the popup buttons alone take the whole strip",
     [](trel_layout_input &in) { in.popup_display = 1; },
     0,
     984,
     {{&trel_layout_result::popup_bar, MW, {0, 654, 984, 46}},
      {&trel_layout_result::input, MW, {0, 618, 984, 36}},
      {&trel_layout_result::main_pane, MW, {0, 0, 984, 618}}}},
    {"status bar, input line and two rows of bars stack from the bottom",
     [](trel_layout_input &in) {
       in.status_bar = 1;
       in.hpbar_enable = 1;
       in.enemy_hpbar_enable = 1;
     },
     0,
     984,
     {{&trel_layout_result::status_bar, MW, {0, 679, 984, 21}},
      {&trel_layout_result::input, MW, {0, 643, 984, 36}},
      {&trel_layout_result::status_bars, MW, {0, 601, 984, 42}},
      {&trel_layout_result::main_pane, MW, {0, 0, 984, 601}}}},
    {"the experience bar alone takes one row",
     [](trel_layout_input &in) { in.exp_display = 1; },
     0,
     984,
     {{&trel_layout_result::input, MW, {0, 664, 984, 36}},
      {&trel_layout_result::status_bars, MW, {0, 643, 984, 21}},
      {&trel_layout_result::main_pane, MW, {0, 0, 984, 643}}}},
    {"a 30 percent channel window over 500 pixels is 150 high",
     [](trel_layout_input &in) {
       in.client_height = 536;
       in.session_state = TREL_SESSION_LOGGED_IN;
       in.channel_window_enable = 1;
       in.channel_window_height = 30;
     },
     0,
     984,
     {{&trel_layout_result::channel_window, MW, {0, 0, 984, 150}},
      {&trel_layout_result::input, MW, {0, 500, 984, 36}},
      {&trel_layout_result::main_pane, MW, {0, 150, 984, 350}}}},
    {"the channel window waits for the login",
     [](trel_layout_input &in) {
       in.client_height = 536;
       in.session_state = 1;
       in.channel_window_enable = 1;
     },
     0,
     984,
     {{&trel_layout_result::input, MW, {0, 500, 984, 36}},
      {&trel_layout_result::main_pane, MW, {0, 0, 984, 500}}}},
};

void PrintTo(const placement_case &c, std::ostream *out) {
  *out << c.name;
}

class PlacementTable : public ::testing::TestWithParam<placement_case> {};

TEST_P(PlacementTable, PlacesEveryPaneAsExpected) {
  const placement_case &c = GetParam();
  trel_layout_input in = plain_window();
  c.setup(in);
  const trel_layout_result r = trel_layout_place(in);
  EXPECT_EQ(r.left_width, c.left_width);
  EXPECT_EQ(r.middle_width, c.middle_width);
  for (const named_pane &p : all_panes) {
    const trel_pane_place &got = r.*p.member;
    const expected_pane *want = nullptr;
    for (const expected_pane &e : c.panes)
      if (e.member == p.member)
        want = &e;
    if (!want) {
      EXPECT_FALSE(got.shown()) << p.name << " should be hidden, is at " << got.rect;
      continue;
    }
    EXPECT_EQ(got.host, want->host) << p.name;
    EXPECT_EQ(got.rect, want->rect) << p.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PlacementTable, ::testing::ValuesIn(placement_cases),
                         [](const ::testing::TestParamInfo<placement_case> &info) {
                           std::string name;
                           for (const char *p = info.param.name; *p; p++)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

TEST(Placement, TellsTheStatusBarsPaneItsBarsAndLayout) {
  trel_layout_input in = plain_window();
  in.hpbar_enable = 1;
  in.exp_display = 1;
  const trel_layout_result r = trel_layout_place(in);
  EXPECT_EQ(r.show_health_bars, 1);
  EXPECT_EQ(r.show_exp_bar, 1);
  EXPECT_EQ(r.show_enemy_bar, 0);
  EXPECT_EQ(r.status_bars_layout, 15);
  EXPECT_EQ(r.status_bars.rect.height, 21);
}

TEST(Placement, GroupDisplayModeFollowsTheLayout) {
  const struct {
    int layout;
    int mode;
  } cases[] = {{0, 2}, {1, 1}, {2, 1}, {-3, 2}, {9, 2}};
  for (const auto &c : cases) {
    trel_layout_input in = plain_window();
    in.current_layout = c.layout;
    in.group_status_display = 1;
    const trel_layout_result r = trel_layout_place(in);
    EXPECT_EQ(r.group_display_mode, c.mode) << "layout " << c.layout;
    EXPECT_EQ(r.layout, trel_layout_mode(c.layout));
  }
}

TEST(Placement, FloatingMapIsHiddenWithItsFrameWhenSwitchedOff) {
  for (int layout = 0; layout <= 2; layout++) {
    trel_layout_input in = plain_window();
    in.current_layout = layout;
    in.automap_docked = 0;
    in.automap_display = 0;
    const trel_layout_result r = trel_layout_place(in);
    EXPECT_FALSE(r.automap.shown()) << "layout " << layout;
    EXPECT_FALSE(r.automap_frame.shown()) << "layout " << layout;
  }
}

// Every pane that is placed must be at least a pixel each way, however small
// the window or however wild the stored settings.
void expect_every_shown_pane_has_area(const trel_layout_result &r, const std::string &what) {
  for (const named_pane &p : all_panes) {
    const trel_pane_place &place = r.*p.member;
    if (place.host == TREL_HOST_MAIN_WINDOW || place.host == TREL_HOST_AUTOMAP_FRAME ||
        place.host == TREL_HOST_OWN_FRAME) {
      EXPECT_GE(place.rect.width, 1) << what << ": " << p.name;
      EXPECT_GE(place.rect.height, 1) << what << ": " << p.name;
    }
  }
}

trel_layout_input everything_on(int layout, int width, int height) {
  trel_layout_input in = plain_window();
  in.client_width = width;
  in.client_height = height;
  in.current_layout = layout;
  in.automap_display = in.automap_docked = 1;
  in.group_status_display = 1;
  in.direction_button_enable = in.hint_button_enable = 1;
  in.fkey_button_display = in.popup_display = 1;
  in.status_bar = 1;
  in.hpbar_enable = in.exp_display = in.enemy_hpbar_enable = 1;
  in.session_state = TREL_SESSION_LOGGED_IN;
  in.channel_window_enable = 1;
  return in;
}

TEST(Placement, TinyWindowsClampEverySizeToOnePixel) {
  const struct { int width, height; } sizes[] = {{0, 0}, {1, 1}, {10, 10}, {100, 40}, {-5, -5}};
  for (int layout = 0; layout <= 2; layout++) {
    for (const auto &s : sizes) {
      const std::string what = "layout " + std::to_string(layout) + " at " +
                               std::to_string(s.width) + " x " + std::to_string(s.height);
      const trel_layout_result r = trel_layout_place(everything_on(layout, s.width, s.height));
      expect_every_shown_pane_has_area(r, what);
      EXPECT_GE(r.middle_width, 1) << what;
      EXPECT_TRUE(r.main_pane.shown()) << what;
      EXPECT_TRUE(r.input.shown()) << what;
    }
  }
}

TEST(Placement, AbsurdStoredSettingsStayInRange) {
  const int wild[] = {INT_MIN, -1, 0, INT_MAX};
  for (int value : wild) {
    trel_layout_input in = everything_on(1, 984, 700);
    in.input_height = value;
    in.channel_window_height = value;
    in.automap_width = in.automap_height = value;
    in.group_display_height = value;
    in.fkey_bar_width = value;
    const trel_layout_result r = trel_layout_place(in);
    const std::string what = "value " + std::to_string(value);
    expect_every_shown_pane_has_area(r, what);
    EXPECT_LE(r.input.rect.height, TREL_LAYOUT_MAX_SIDE) << what;
    EXPECT_LE(r.channel_window.rect.height, 700) << what;
  }
}

bool overlap(const trel_rect &a, const trel_rect &b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// Every combination of the twelve switches in every layout, in a window large
// enough for all of them: no two panes of the main window overlap, all lie
// inside the client area, and the middle column is filled from top to bottom.
TEST(Placement, NoCombinationOfSettingsOverlapsPanes) {
  const int W = 1600, H = 1200;
  for (int layout = 0; layout <= 2; layout++) {
    for (int bits = 0; bits < (1 << 12); bits++) {
      trel_layout_input in = plain_window();
      in.client_width = W;
      in.client_height = H;
      in.current_layout = layout;
      in.direction_button_enable = bits & 1;
      in.hint_button_enable = (bits >> 1) & 1;
      in.fkey_button_display = (bits >> 2) & 1;
      in.popup_display = (bits >> 3) & 1;
      in.status_bar = (bits >> 4) & 1;
      in.hpbar_enable = (bits >> 5) & 1;
      in.exp_display = (bits >> 6) & 1;
      in.enemy_hpbar_enable = (bits >> 7) & 1;
      in.channel_window_enable = (bits >> 8) & 1;
      in.session_state = TREL_SESSION_LOGGED_IN;
      in.group_status_display = (bits >> 9) & 1;
      in.automap_display = (bits >> 10) & 1;
      in.automap_docked = (bits >> 11) & 1;
      const trel_layout_result r = trel_layout_place(in);
      const std::string what = "layout " + std::to_string(layout) + " bits " + std::to_string(bits);

      std::vector<const named_pane *> placed;
      for (const named_pane &p : all_panes)
        if ((r.*p.member).host == TREL_HOST_MAIN_WINDOW)
          placed.push_back(&p);
      for (size_t i = 0; i < placed.size(); i++) {
        const trel_rect &a = (r.*(placed[i]->member)).rect;
        EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.width <= W && a.y + a.height <= H)
            << what << ": " << placed[i]->name << " at " << a;
        for (size_t j = i + 1; j < placed.size(); j++) {
          const trel_rect &b = (r.*(placed[j]->member)).rect;
          EXPECT_FALSE(overlap(a, b)) << what << ": " << placed[i]->name << " " << a << " and "
                                      << placed[j]->name << " " << b;
        }
      }

      int column = r.main_pane.rect.height + r.input.rect.height;
      for (const trel_pane_place *p : {&r.channel_window, &r.status_bars, &r.status_bar})
        column += p->shown() ? p->rect.height : 0;
      if (in.fkey_button_display || in.popup_display)
        column += TREL_BOTTOM_STRIP_HEIGHT;
      EXPECT_EQ(column, H) << what;
      if (::testing::Test::HasFailure())
        return;
    }
  }
}

} // namespace
