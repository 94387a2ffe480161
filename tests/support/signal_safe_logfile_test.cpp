// Tests of the debug log's file writer: its nesting limit and write failures.
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include "support/debug_log.h"
#include "support/signal_safe_logfile.h"
#include "support/support_test_helpers.h"

namespace {

int count_of(const std::string &text, const std::string &part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    count++;
  return count;
}

TEST(SignalSafeLogfile, WritesAndAppends) {
  scoped_temp_dir directory;
  std::string path = directory.file("writer.log");
  write_whole_file(path, "old\n");
  trel_signal_safe_logfile writer;
  EXPECT_FALSE(writer.is_open());
  ASSERT_EQ(writer.open(path.c_str()), 1);
  EXPECT_EQ(writer.write("new\n"), 1);
  EXPECT_EQ(writer.write(nullptr), 1);
  writer.close();
  EXPECT_FALSE(writer.is_open());
  EXPECT_EQ(read_whole_file(path), "old\nnew\n(null)");
  EXPECT_EQ(writer.open(directory.file("no/such/dir.log").c_str()), 0);
  EXPECT_FALSE(writer.is_open());
}

TEST(SignalSafeLogfile, RecursionLimitReportsOnceAndRefusesDeeperWrites) {
  debug_log_capture log;
  scoped_temp_dir directory;
  std::string path = directory.file("nested.log");
  trel_signal_safe_logfile writer;
  ASSERT_EQ(writer.open(path.c_str()), 1);

  writer.set_nesting_depth(trel_signal_safe_logfile::recursion_limit);
  EXPECT_EQ(writer.write("at the limit\n"), 0);
  EXPECT_EQ(writer.nesting_depth(), trel_signal_safe_logfile::recursion_limit);
  EXPECT_EQ(log.text(),
            "Error in trel_signal_safe_logfile::write(), recursion limiter triggered.\n");

  writer.set_nesting_depth(trel_signal_safe_logfile::recursion_limit + 1);
  EXPECT_EQ(writer.write("past the limit\n"), 0);
  EXPECT_EQ(count_of(log.text(), "recursion limiter triggered"), 1);
  EXPECT_EQ(read_whole_file(path), "");

  writer.set_nesting_depth(0);
  EXPECT_EQ(writer.write("back to normal\n"), 1);
  EXPECT_EQ(writer.nesting_depth(), 0);
  EXPECT_EQ(read_whole_file(path), "back to normal\n");
}

TEST(SignalSafeLogfile, AWriteFailureIsReportedOncePerRun) {
  // /dev/full refuses every write with "no space left".
  if (access("/dev/full", W_OK) != 0)
    GTEST_SKIP() << "/dev/full is not available";
  debug_log_capture log;
  scoped_temp_dir directory;
  const std::string failed = "Error in trel_signal_safe_logfile::write(), write failed.";
  trel_signal_safe_logfile writer;
  ASSERT_EQ(writer.open("/dev/full"), 1);
  EXPECT_EQ(writer.write("lost\n"), 0);
  EXPECT_EQ(writer.write("lost again\n"), 0);
  EXPECT_EQ(log.text(), failed + "\n");

  // A good write ends the run of failures; the next failure is reported again.
  ASSERT_EQ(writer.open(directory.file("good.log").c_str()), 1);
  EXPECT_EQ(writer.write("kept\n"), 1);
  ASSERT_EQ(writer.open("/dev/full"), 1);
  EXPECT_EQ(writer.write("lost\n"), 0);
  EXPECT_EQ(count_of(log.text(), failed), 2);
  EXPECT_EQ(writer.nesting_depth(), 0);
}

TEST(SignalSafeLogfile, PrivateOpenRefusesLinksButNotPlainFiles) {
  scoped_temp_dir directory;
  std::string target = directory.file("target");
  std::string link = directory.file("link");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  trel_signal_safe_logfile writer;
  EXPECT_EQ(writer.open_private(link.c_str()), 0);
  EXPECT_FALSE(path_exists(target));
  ASSERT_EQ(writer.open_private(directory.file("plain").c_str()), 1);
  EXPECT_EQ(writer.write("x"), 1);
  EXPECT_EQ(read_whole_file(directory.file("plain")), "x");
}

} // namespace
