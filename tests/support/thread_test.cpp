// Tests of detached thread start and the millisecond sleep.
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

#include "support/support_test_helpers.h"
#include "support/thread.h"

namespace {

// Static, so that the detached thread never outlives what it touches.
std::mutex guard;
std::condition_variable changed;
int received = 0;

void worker(void *argument) {
  trel_sleep_ms(1);
  std::lock_guard<std::mutex> lock(guard);
  received = *static_cast<int *>(argument);
  changed.notify_all();
}

TEST(Thread, RunsTheFunctionWithItsArgumentDetached) {
  static int value = 7;
  ASSERT_EQ(trel_thread_create("test worker", worker, &value), 1);
  std::unique_lock<std::mutex> lock(guard);
  EXPECT_TRUE(changed.wait_for(lock, std::chrono::seconds(60), [] { return received == 7; }));
}

TEST(Thread, RefusesAMissingFunction) {
  debug_log_capture log;
  EXPECT_EQ(trel_thread_create("nothing", nullptr, nullptr), 0);
  EXPECT_EQ(log.text(), "Error in trel_thread_create(), thread create failed?\n");
}

TEST(Thread, SleepOfNothingReturns) {
  trel_sleep_ms(0);
  trel_sleep_ms(-5);
  trel_sleep_ms(2);
}

} // namespace
