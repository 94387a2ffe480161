// Tests of the debug log: its destinations, the failed flag, the message cut
// and the trel_report filter.
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "support/debug_log.h"
#include "support/support_test_helpers.h"

namespace {

// Every test starts and ends with the log closed, no names and level 1.
class DebugLog : public ::testing::Test {
protected:
  void SetUp() override {
    reset_debug_log();
    debug_level = 1;
  }
  void TearDown() override {
    reset_debug_log();
    debug_level = 1;
  }
  scoped_temp_dir directory;
};

TEST_F(DebugLog, ExplicitPathIsOpenedOnTheFirstMessageAndAppended) {
  std::string path = directory.file("explicit.log");
  write_whole_file(path, "earlier run\n");
  trel_client_set_debug_logfile_name(path.c_str());
  EXPECT_FALSE(trel_client_debug_logfile_is_open());
  EXPECT_FALSE(path_exists(directory.file("nothing_else")));
  trel_client_debug_printf("value %d\n", 42);
  EXPECT_TRUE(trel_client_debug_logfile_is_open());
  EXPECT_STREQ(trel_client_get_debug_logfile_path(), path.c_str());
  EXPECT_FALSE(trel_client_debug_logfile_failed());
  trel_client_debug_printf("%s", "no line feed added");
  EXPECT_EQ(read_whole_file(path), "earlier run\nvalue 42\nno line feed added");
}

TEST_F(DebugLog, NamesCannotChangeWhileOpen) {
  std::string path = directory.file("open.log");
  trel_client_set_debug_logfile_name(path.c_str());
  trel_client_try_open_debug_logfile();
  ASSERT_TRUE(trel_client_debug_logfile_is_open());
  trel_client_set_debug_logfile_name(directory.file("other.log").c_str());
  trel_client_set_autoopen_debug_logfile_name("other.txt");
  trel_client_try_open_debug_logfile();
  EXPECT_STREQ(trel_client_get_debug_logfile_path(), path.c_str());
  EXPECT_EQ(trel_client_get_autoopen_debug_logfile_name(), nullptr);
  EXPECT_EQ(read_whole_file(path),
            "Error in trel_client_set_debug_logfile_name(), logfile already open.\n"
            "Error in trel_client_set_autoopen_debug_logfile_name(), logfile already open.\n"
            "Error in trel_client_try_open_debug_logfile(), logfile already open.\n");
  EXPECT_FALSE(path_exists(directory.file("other.log")));
}

TEST_F(DebugLog, AMissingDirectoryDropsMessagesUntilANewName) {
  std::string missing = directory.file("missing/debug.log");
  trel_client_set_debug_logfile_name(missing.c_str());
  trel_client_debug_printf("first\n");
  EXPECT_TRUE(trel_client_debug_logfile_failed());
  EXPECT_FALSE(trel_client_debug_logfile_is_open());
  // The flag stays even once the directory exists: no further attempt is made.
  ASSERT_EQ(mkdir(directory.file("missing").c_str(), 0700), 0);
  trel_client_debug_printf("second\n");
  EXPECT_FALSE(path_exists(missing));
  // A new name clears the flag.
  trel_client_set_debug_logfile_name(missing.c_str());
  EXPECT_FALSE(trel_client_debug_logfile_failed());
  trel_client_debug_printf("third\n");
  EXPECT_EQ(read_whole_file(missing), "third\n");
}

TEST_F(DebugLog, AutomaticNameIsCreatedInTheAutomaticDirectory) {
  std::string prefix = directory.path() + "/";
  trel_client_set_autoopen_debug_logfile_directory(prefix.c_str());
  trel_client_set_autoopen_debug_logfile_name("quenmar_zolvent.txt");
  EXPECT_STREQ(trel_client_get_autoopen_debug_logfile_name(), "quenmar_zolvent.txt");
  std::string expected = prefix + "quenmar_zolvent.txt";
  // Asking for the path makes the open attempt and fills the path in.
  EXPECT_STREQ(trel_client_get_debug_logfile_path(), expected.c_str());
  EXPECT_TRUE(trel_client_debug_logfile_is_open());
  trel_client_debug_printf("first run\n");
  trel_client_debug_logfile_close();
  EXPECT_EQ(trel_client_get_autoopen_debug_logfile_name(), nullptr);

  // A later run appends.
  trel_client_set_autoopen_debug_logfile_name("quenmar_zolvent.txt");
  trel_client_debug_printf("second run\n");
  EXPECT_EQ(read_whole_file(expected), "first run\nsecond run\n");
  struct stat info;
  ASSERT_EQ(stat(expected.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(DebugLog, ALinkPlantedAtTheAutomaticNameIsNotFollowed) {
  struct {
    const char *name;
    bool target_exists;
  } cases[] = {{"link_to_existing_file", true}, {"dangling_link", false}};
  std::string prefix = directory.path() + "/";
  for (const auto &c : cases) {
    std::string target = directory.file(std::string(c.name) + ".target");
    if (c.target_exists)
      write_whole_file(target, "");
    std::string planted = prefix + c.name;
    ASSERT_EQ(symlink(target.c_str(), planted.c_str()), 0);

    trel_client_set_autoopen_debug_logfile_directory(prefix.c_str());
    trel_client_set_autoopen_debug_logfile_name(c.name);
    trel_client_debug_printf("secret\n");
    EXPECT_TRUE(trel_client_debug_logfile_failed()) << c.name;
    EXPECT_FALSE(trel_client_debug_logfile_is_open()) << c.name;
    trel_client_debug_printf("more\n");
    EXPECT_EQ(path_exists(target), c.target_exists) << c.name;
    EXPECT_EQ(read_whole_file(target), "") << c.name;
    reset_debug_log();
  }
}

TEST_F(DebugLog, AFifoPlantedAtTheAutomaticNameNeitherHangsNorTakesTheLog) {
  std::string prefix = directory.path() + "/";
  std::string planted = prefix + "fifo";
  ASSERT_EQ(mkfifo(planted.c_str(), 0666), 0);
  // A reader is present, so an ordinary open would succeed.
  int reader = open(planted.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  trel_client_set_autoopen_debug_logfile_directory(prefix.c_str());
  trel_client_set_autoopen_debug_logfile_name("fifo");
  trel_client_debug_printf("secret\n");
  EXPECT_TRUE(trel_client_debug_logfile_failed());
  char buffer[16];
  EXPECT_LE(read(reader, buffer, sizeof buffer), 0);
  close(reader);
}

TEST_F(DebugLog, AnExplicitPathMayBeALink) {
  // The player chose this path; only the automatic file in the shared
  // directory refuses links.
  std::string target = directory.file("real.log");
  std::string link = directory.file("link.log");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  trel_client_set_debug_logfile_name(link.c_str());
  trel_client_debug_printf("through the link\n");
  EXPECT_EQ(read_whole_file(target), "through the link\n");
}

TEST_F(DebugLog, WithoutNamesMessagesGoToStandardOutput) {
  std::string captured = directory.file("stdout.txt");
  fflush(stdout);
  int saved_stdout = dup(1);
  ASSERT_GE(saved_stdout, 0);
  int file = open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(file, 0);
  ASSERT_EQ(dup2(file, 1), 1);
  close(file);
  debug_level = 3;
  trel_client_debug_printf("to stdout\n");
  bool was_open = trel_client_debug_logfile_is_open();
  const char *path = trel_client_get_debug_logfile_path();
  reset_debug_log();
  dup2(saved_stdout, 1);
  close(saved_stdout);
  EXPECT_TRUE(was_open);
  EXPECT_EQ(path, nullptr);
  EXPECT_EQ(read_whole_file(captured),
            "trel_client_try_open_debug_logfile() - using STDOUT.\nto stdout\n");
}

TEST_F(DebugLog, VerboseOpenReportLandsInTheNewFile) {
  std::string path = directory.file("verbose.log");
  debug_level = 3;
  trel_client_set_debug_logfile_name(path.c_str());
  trel_client_debug_printf("hello\n");
  EXPECT_EQ(read_whole_file(path),
            "trel_client_try_open_debug_logfile() opened logfile '" + path + "'\nhello\n");
}

TEST_F(DebugLog, ALongMessageIsCutAt10239Characters) {
  std::string path = directory.file("long.log");
  trel_client_set_debug_logfile_name(path.c_str());
  std::string message(20000, 'm');
  message[10238] = 'L';
  trel_client_debug_printf("%s", message.c_str());
  std::string written = read_whole_file(path);
  EXPECT_EQ(written.size(), 10239u);
  EXPECT_EQ(written, message.substr(0, 10239));
}

TEST_F(DebugLog, ReportFilterFollowsTheLevel) {
  struct {
    int category;
    int level;
    bool written;
  } cases[] = {
      {256, 2, false}, {256, 3, true}, {4, 1, true},        {4, 0, false},      {2, 1, true},
      {16, 1, true},   {0, 3, false},  {2 | 256, 2, false}, {2 | 256, 3, true},
  };
  for (const auto &c : cases) {
    debug_log_capture log(c.level);
    trel_report("reported text", c.category, TREL_SOURCE_LOG);
    EXPECT_EQ(log.text(), c.written ? "reported text\n" : "")
        << "category " << c.category << " level " << c.level;
  }
}

TEST_F(DebugLog, CloseForgetsNamesAndReportsWhenNothingIsOpen) {
  std::string path = directory.file("close.log");
  trel_client_set_debug_logfile_name(path.c_str());
  trel_client_debug_printf("one\n");
  trel_client_debug_logfile_close();
  EXPECT_FALSE(trel_client_debug_logfile_is_open());

  // Closing with nothing open reports; the report itself opens the pending
  // destination, as any message does.
  std::string second = directory.file("second.log");
  trel_client_set_debug_logfile_name(second.c_str());
  trel_client_debug_logfile_close();
  EXPECT_EQ(read_whole_file(path), "one\n");
  EXPECT_EQ(read_whole_file(second),
            "Error in trel_client_debug_logfile_close(), no logfile open.\n");
}

} // namespace
