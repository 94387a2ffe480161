// The keyboard size steps of the input line and the channel window, and the
// resize guard that lets only a real size change through to a relayout.
#include "app/layout_steps.h"

#include "app/layout_placement.h"
#include "support/support_test_helpers.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct step_case {
  int before;
  int after;
};

TEST(SizeSteps, ShrinkInputStopsAt24) {
  const step_case cases[] = {{60, 48}, {36, 24}, {35, 24},     {30, 24},
                             {24, 24}, {10, 24}, {INT_MIN, 24}};
  for (const step_case &c : cases)
    EXPECT_EQ(trel_shrink_input_height(c.before), c.after) << "from " << c.before;
}

TEST(SizeSteps, GrowInputAddsTwelveWithoutOverflowing) {
  const step_case cases[] = {{24, 36}, {36, 48}, {1000, 1012}, {INT_MAX, TREL_LAYOUT_MAX_SIDE}};
  for (const step_case &c : cases)
    EXPECT_EQ(trel_grow_input_height(c.before), c.after) << "from " << c.before;
}

TEST(SizeSteps, ChannelWindowGrowsToAtMost80) {
  const step_case cases[] = {{30, 35}, {75, 80}, {78, 80}, {80, 80}, {100, 80}, {INT_MAX, 80}};
  for (const step_case &c : cases)
    EXPECT_EQ(trel_grow_channel_window_height(c.before), c.after) << "from " << c.before;
}

TEST(SizeSteps, ChannelWindowShrinksToAtLeast10) {
  const step_case cases[] = {{30, 25}, {15, 10}, {14, 10}, {10, 10}, {3, 10}, {INT_MIN, 10}};
  for (const step_case &c : cases)
    EXPECT_EQ(trel_shrink_channel_window_height(c.before), c.after) << "from " << c.before;
}

const char not_constructed_message[] =
    "trel_mw::OnResize() - windows bug triggered, constructor not yet finished.  Ignoring.\n";
const char double_resize_message[] = "trel_mw::OnResize() - ignoring double resize.\n";

TEST(ResizeGuard, IgnoresSizeEventsBeforeConstruction) {
  debug_log_capture log(2);
  trel_resize_guard guard;
  EXPECT_EQ(guard.on_resize(false, 984, 700), TREL_RESIZE_NOT_CONSTRUCTED);
  EXPECT_EQ(log.text(), not_constructed_message);
  EXPECT_EQ(guard.last_width(), -1);
  EXPECT_EQ(guard.last_height(), -1);
}

TEST(ResizeGuard, SameSizeTwiceRelaysOutOnce) {
  debug_log_capture log(2);
  trel_resize_guard guard;
  EXPECT_EQ(guard.on_resize(true, 984, 700), TREL_RESIZE_RELAYOUT);
  EXPECT_EQ(log.text(), "");
  EXPECT_EQ(guard.on_resize(true, 984, 700), TREL_RESIZE_DOUBLE);
  EXPECT_EQ(log.text(), double_resize_message);
  EXPECT_EQ(guard.on_resize(true, 985, 700), TREL_RESIZE_RELAYOUT);
  EXPECT_EQ(guard.last_width(), 985);
}

TEST(ResizeGuard, MessagesNeedDebugLevelTwo) {
  debug_log_capture log(1);
  trel_resize_guard guard;
  guard.on_resize(false, 10, 10);
  guard.on_resize(true, 10, 10);
  EXPECT_EQ(guard.on_resize(true, 10, 10), TREL_RESIZE_DOUBLE);
  EXPECT_EQ(log.text(), "");
}

TEST(ResizeGuard, ZeroSizeRelaysOutWithTheLastRealSize) {
  trel_resize_guard guard;
  int w = -7, h = -7;
  guard.client_size(0, 0, &w, &h);
  EXPECT_EQ(w, 0) << "no last size yet";
  EXPECT_EQ(h, 0);

  guard.on_resize(true, 984, 700);
  EXPECT_EQ(guard.on_resize(true, 0, 0), TREL_RESIZE_RELAYOUT);
  EXPECT_EQ(guard.last_width(), 984) << "a zero size is not remembered";
  EXPECT_EQ(guard.last_height(), 700);
  guard.client_size(0, 0, &w, &h);
  EXPECT_EQ(w, 984);
  EXPECT_EQ(h, 700);
  guard.client_size(500, 0, &w, &h);
  EXPECT_EQ(w, 984);
  EXPECT_EQ(h, 700);
  guard.client_size(640, 480, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
}

} // namespace
