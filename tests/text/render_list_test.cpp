// The render list on its own: runs and the pending run, its limits, and the
// moves of its buffer over a long session.
#include <gtest/gtest.h>

#include <string>

#include "text/render_list.h"

namespace {

std::string all_text(const trel_render_list &list) {
  std::string text;
  list.for_each_run([&](const trel_render_run &run) { text.append(run.text, size_t(run.length)); });
  return text;
}

TEST(render_list_test, pending_text_becomes_a_run_with_the_state_given_at_flush) {
  trel_render_list list;
  EXPECT_TRUE(list.pending_empty());
  EXPECT_EQ(0, list.flush(0x123456, 4, 0x31)); // nothing pending, no run
  list.append_pending("ab", 2);
  list.append_pending("c", 1);
  list.append_pending(nullptr, 3);
  list.append_pending("zz", -1);
  EXPECT_EQ(3, list.pending_length());
  EXPECT_EQ(0, list.run_count());
  EXPECT_EQ(1, list.flush(0x123456, 4, 0x31));
  EXPECT_TRUE(list.pending_empty());
  list.append_pending("d", 1);
  list.flush(0xa0a0a0, 0, 0);

  trel_render_run run;
  ASSERT_EQ(2, list.run_count());
  ASSERT_TRUE(list.get_run(0, &run));
  EXPECT_EQ("abc", std::string(run.text, size_t(run.length)));
  EXPECT_EQ(0x12, run.red);
  EXPECT_EQ(0x34, run.green);
  EXPECT_EQ(0x56, run.blue);
  EXPECT_EQ(4, run.attribute);
  EXPECT_EQ(0x31, run.color_code);
  ASSERT_TRUE(list.get_run(1, &run));
  EXPECT_EQ("d", std::string(run.text, size_t(run.length)));
  EXPECT_FALSE(list.get_run(2, &run));
  EXPECT_FALSE(list.get_run(-1, &run));
  EXPECT_FALSE(list.get_run(0, nullptr));

  list.clear();
  EXPECT_EQ(0, list.run_count());
  EXPECT_TRUE(list.pending_empty());
  EXPECT_EQ(0, list.text_bytes());
}

TEST(render_list_test, the_line_limit_drops_whole_old_lines) {
  trel_text_limits limits;
  limits.max_lines = 3;
  trel_render_list list(limits);
  list.append_pending("one\ntwo\n", 8);
  list.flush(1, 0, 0);
  list.append_pending("three\nfour\nfi", 13);
  list.flush(2, 0, 0);
  list.append_pending("ve", 2);
  EXPECT_EQ(3, list.line_count());
  EXPECT_EQ("two\nthree\nfour\nfi", all_text(list));
  ASSERT_EQ(2, list.run_count());
  trel_render_run run;
  list.get_run(0, &run);
  EXPECT_EQ("two\n", std::string(run.text, size_t(run.length)));
  EXPECT_EQ(1, run.blue);
  // The pending run counts too.
  list.append_pending("\n", 1);
  EXPECT_EQ("three\nfour\nfi", all_text(list));
  list.flush(3, 0, 0);
  EXPECT_EQ("three\nfour\nfive\n", all_text(list));
}

TEST(render_list_test, the_byte_limit_cuts_a_flood_without_line_feeds) {
  trel_text_limits limits;
  limits.max_bytes = 10;
  trel_render_list list(limits);
  list.append_pending("0123456789abcdef", 16);
  list.flush(1, 0, 0);
  EXPECT_EQ("6789abcdef", all_text(list));
  list.append_pending("XYZ", 3);
  list.flush(2, 0, 0);
  EXPECT_EQ("9abcdefXYZ", all_text(list));
  // A run entirely cut away is gone.
  list.append_pending("0123456789", 10);
  list.flush(3, 0, 0);
  EXPECT_EQ(1, list.run_count());
  EXPECT_EQ(10, list.text_bytes());
}

TEST(render_list_test, a_long_session_stays_bounded_and_keeps_its_newest_runs) {
  trel_text_limits limits;
  limits.max_lines = 1000;
  limits.max_bytes = 1 << 20;
  trel_render_list list(limits);
  size_t peak = 0;
  for (int i = 0; i < 100000; i++) {
    std::string line = "line " + std::to_string(i) + "\n";
    list.append_pending(line.data(), int(line.size()));
    list.flush(uint32_t(i), i % 5, 0x31 + i % 7);
    peak = std::max(peak, list.memory_usage());
  }
  EXPECT_EQ(1000, list.line_count());
  EXPECT_EQ(1000, list.run_count());
  EXPECT_LT(peak, size_t(256 * 1024));
  trel_render_run run;
  ASSERT_TRUE(list.get_run(999, &run));
  EXPECT_EQ("line 99999\n", std::string(run.text, size_t(run.length)));
  EXPECT_EQ(99999 & 255, run.blue);
  EXPECT_EQ(99999 % 5, run.attribute);
  ASSERT_TRUE(list.get_run(0, &run));
  EXPECT_EQ("line 99000\n", std::string(run.text, size_t(run.length)));
}

} // namespace
