// The one-step file replacement used for every configuration file: content
// arrives whole or not at all, no temporary file stays behind, and a link at
// the target is replaced rather than written through.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "config/config_store_test_support.h"
#include "support/debug_log.h"
#include "support/safe_file_write.h"

namespace {

namespace fs = std::filesystem;

class safe_file_write_test : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/quenmar_safe_write_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory = pattern;
    // The reports go to a log of the test's own, outside the directory.
    log_path = directory + ".log";
    if (trel_client_debug_logfile_is_open())
      trel_client_debug_logfile_close();
    trel_client_set_debug_logfile_name(log_path.c_str());
  }
  void TearDown() override {
    if (trel_client_debug_logfile_is_open())
      trel_client_debug_logfile_close();
    unlink(log_path.c_str());
    std::error_code ignored;
    fs::remove_all(directory, ignored);
  }

  std::string path(const std::string &name) const { return directory + "/" + name; }

  // The names in the directory, sorted.
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const fs::directory_entry &entry : fs::directory_iterator(directory))
      found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
  }

  int write(const std::string &name, const std::string &content) {
    return trel_safe_file_write(path(name).c_str(), content.data(), content.size());
  }

  std::string directory;
  std::string log_path;
};

TEST_F(safe_file_write_test, creates_and_replaces_a_file) {
  EXPECT_EQ(write("a.cfg", "first"), TREL_SAFE_WRITE_OK);
  EXPECT_EQ(read_file(path("a.cfg")), "first");
  EXPECT_EQ(write("a.cfg", std::string("second\0with a zero", 18)), TREL_SAFE_WRITE_OK);
  EXPECT_EQ(read_file(path("a.cfg")), std::string("second\0with a zero", 18));
  EXPECT_EQ(write("a.cfg", ""), TREL_SAFE_WRITE_OK);
  EXPECT_EQ(read_file(path("a.cfg")), "");
  EXPECT_EQ(names(), std::vector<std::string>{"a.cfg"});
}

TEST_F(safe_file_write_test, missing_directory_fails_to_open) {
  EXPECT_EQ(write("missing/a.cfg", "x"), TREL_SAFE_WRITE_OPEN_FAILED);
  EXPECT_TRUE(names().empty());
}

TEST_F(safe_file_write_test, directory_at_the_target_fails_to_rename_and_stays) {
  ASSERT_EQ(mkdir(path("a.cfg").c_str(), 0700), 0);
  write_file(path("a.cfg/inside"), "kept");

  EXPECT_EQ(write("a.cfg", "x"), TREL_SAFE_WRITE_RENAME_FAILED);

  EXPECT_EQ(names(), std::vector<std::string>{"a.cfg"});
  EXPECT_EQ(read_file(path("a.cfg/inside")), "kept");
  EXPECT_EQ(read_file(log_path), "Error in trel_safe_file_write(), unable to rename the temporary "
                                 "file over '" +
                                     path("a.cfg") + "': Is a directory\n");
}

int write_large(void *argument) {
  const std::string *target = static_cast<const std::string *>(argument);
  const std::string content(64 * 1024, 'z');
  return -trel_safe_file_write(target->c_str(), content.data(), content.size());
}

TEST_F(safe_file_write_test, write_that_runs_out_of_space_keeps_the_old_file) {
  ASSERT_EQ(write("a.cfg", "old content"), TREL_SAFE_WRITE_OK);
  std::string target = path("a.cfg");

  EXPECT_EQ(run_with_file_size_limit(4096, write_large, &target), -TREL_SAFE_WRITE_WRITE_FAILED);

  EXPECT_EQ(read_file(target), "old content");
  EXPECT_EQ(names(), std::vector<std::string>{"a.cfg"});
}

TEST_F(safe_file_write_test, link_at_the_target_is_replaced_not_followed) {
  write_file(path("elsewhere"), "untouched");
  ASSERT_EQ(symlink(path("elsewhere").c_str(), path("a.cfg").c_str()), 0);

  EXPECT_EQ(write("a.cfg", "new"), TREL_SAFE_WRITE_OK);

  struct stat info;
  ASSERT_EQ(lstat(path("a.cfg").c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
  EXPECT_EQ(read_file(path("a.cfg")), "new");
  EXPECT_EQ(read_file(path("elsewhere")), "untouched");
}

TEST_F(safe_file_write_test, null_arguments_are_refused) {
  EXPECT_EQ(trel_safe_file_write(nullptr, "x", 1), TREL_SAFE_WRITE_BAD_ARGUMENT);
  EXPECT_EQ(trel_safe_file_write(path("a.cfg").c_str(), nullptr, 1), TREL_SAFE_WRITE_BAD_ARGUMENT);
  EXPECT_TRUE(names().empty());
}

} // namespace
