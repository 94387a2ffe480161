// The order of work in a tick and the shutdown countdown, without a display.
#include "app/main_loop.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

// Records what each tick asked for, one letter per call.
struct recording_target : trel_tick_target {
  std::string calls;
  bool logged = false;
  std::vector<std::string> messages, links;
  int orderly_tick = -1, forced_tick = -1, ticks = 0;

  void give_input_focus() override { calls += 'F'; }
  void socket_handler() override { calls += 'S'; }
  void animation_tick(int ms) override { calls += ms == 20 ? 'A' : '?'; }
  bool logged_in() override { return logged; }
  void send_status_record() override { calls += 'Z'; }
  void show_deferred_message(const char *text) override {
    calls += 'M';
    messages.push_back(text);
  }
  void open_link(const char *url) override {
    calls += 'L';
    links.push_back(url);
  }
  void orderly_exit() override { orderly_tick = ticks; }
  void forced_exit() override { forced_tick = ticks; }
};

void run_ticks(trel_main_loop &loop, recording_target &target, int n) {
  for (int i = 0; i < n; i++) {
    target.ticks++;
    loop.tick(target);
  }
}

TEST(MainLoop, DoesNothingBeforeConstructionFinished) {
  trel_main_loop loop;
  recording_target target;
  loop.request_focus();
  run_ticks(loop, target, 3);
  EXPECT_EQ(target.calls, "");
}

TEST(MainLoop, TickRunsItsStepsInOrder) {
  trel_main_loop loop;
  recording_target target;
  loop.set_constructed();
  target.logged = true;
  loop.request_focus();
  loop.mark_status_dirty();
  loop.defer_message("hello");
  loop.request_link("http://example.invalid/");
  run_ticks(loop, target, 1);
  EXPECT_EQ(target.calls, "FSAZML");
  run_ticks(loop, target, 1);
  EXPECT_EQ(target.calls, "FSAZMLSA") << "one-shot requests must not repeat";
}

TEST(MainLoop, StatusRecordWaitsForLoginAndIsSentOnce) {
  trel_main_loop loop;
  recording_target target;
  loop.set_constructed();
  loop.mark_status_dirty();
  loop.mark_status_dirty();
  run_ticks(loop, target, 2);
  EXPECT_EQ(target.calls.find('Z'), std::string::npos);
  target.logged = true;
  run_ticks(loop, target, 3);
  EXPECT_EQ(std::count(target.calls.begin(), target.calls.end(), 'Z'), 1);
  EXPECT_FALSE(loop.is_status_dirty());
}

TEST(MainLoop, DeferredMessagesAccumulateAndAreCut) {
  trel_main_loop loop;
  recording_target target;
  loop.set_constructed();
  loop.defer_message("one ");
  loop.defer_message("two");
  loop.defer_message(std::string(7000, 'x').c_str());
  run_ticks(loop, target, 1);
  ASSERT_EQ(target.messages.size(), 1u);
  EXPECT_EQ(target.messages[0].size(), 5999u);
  EXPECT_EQ(target.messages[0].substr(0, 7), "one two");
}

TEST(MainLoop, LinkIsCutAt1023Characters) {
  trel_main_loop loop;
  recording_target target;
  loop.set_constructed();
  loop.request_link(std::string(2000, 'u').c_str());
  run_ticks(loop, target, 1);
  ASSERT_EQ(target.links.size(), 1u);
  EXPECT_EQ(target.links[0].size(), 1023u);
}

TEST(MainLoop, ShutdownRunsOrderlyExitOnNinthTickThenForcesOneLater) {
  trel_main_loop loop;
  recording_target target;
  loop.set_constructed();
  loop.system_shutdown_handler();
  run_ticks(loop, target, 8);
  EXPECT_EQ(target.orderly_tick, -1);
  run_ticks(loop, target, 1);
  EXPECT_EQ(target.orderly_tick, 9);
  EXPECT_EQ(loop.exit_countdown(), 1);
  run_ticks(loop, target, 1);
  EXPECT_EQ(target.forced_tick, 10);
}

TEST(MainLoop, SecondShutdownRequestRestartsTheCountdown) {
  trel_main_loop loop;
  recording_target target;
  loop.set_constructed();
  loop.system_shutdown_handler();
  run_ticks(loop, target, 5);
  loop.system_shutdown_handler();
  int second_request_at = target.ticks;
  run_ticks(loop, target, 12);
  EXPECT_EQ(target.orderly_tick - second_request_at, 9);
  EXPECT_EQ(target.forced_tick - second_request_at, 10);
}

} // namespace
