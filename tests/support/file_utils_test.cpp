// Tests of directory creation, the writable-directory probe and the lock file.
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/debug_log.h"
#include "support/file_utils.h"
#include "support/support_test_helpers.h"

namespace {

bool is_directory(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int permission_bits(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

struct mkdir_case {
  const char *path; // relative to a fresh directory
  std::vector<const char *> created;
  std::vector<const char *> absent;
};

TEST(RecursiveMkdir, CreatesEverythingUpToTheLastSeparator) {
  const mkdir_case cases[] = {
      {"a/b/c", {"a", "a/b"}, {"a/b/c"}},
      {"a/b/c/", {"a", "a/b", "a/b/c"}, {}},
      {"a\\b\\c\\", {"a", "a/b", "a/b/c"}, {"a\\b"}},
      {"a\\b/c", {"a", "a/b"}, {"a/b/c"}},
      {"a//b///c/", {"a", "a/b", "a/b/c"}, {}},
      {"plain_file_name", {}, {"plain_file_name"}},
  };
  for (const mkdir_case &c : cases) {
    scoped_temp_dir root;
    std::string path = root.path() + "/" + c.path;
    EXPECT_EQ(trel_recursive_mkdir(path.c_str(), 0755, nullptr), 1) << c.path;
    for (const char *name : c.created)
      EXPECT_TRUE(is_directory(root.file(name))) << c.path << ": " << name;
    for (const char *name : c.absent)
      EXPECT_FALSE(path_exists(root.file(name))) << c.path << ": " << name;
    // Running it again over existing directories is fine.
    EXPECT_EQ(trel_recursive_mkdir(path.c_str(), 0755, nullptr), 1) << c.path;
  }
}

TEST(RecursiveMkdir, RelativePathsStartInTheCurrentDirectory) {
  scoped_temp_dir root;
  char *previous = getcwd(nullptr, 0);
  ASSERT_NE(previous, nullptr);
  ASSERT_EQ(chdir(root.path().c_str()), 0);
  int result = trel_recursive_mkdir("x/y/", 0700, nullptr);
  EXPECT_EQ(chdir(previous), 0);
  free(previous);
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(is_directory(root.file("x/y")));
}

TEST(RecursiveMkdir, StopsAtAFileAndNamesThePathBuiltSoFar) {
  scoped_temp_dir root;
  write_whole_file(root.file("f"), "not a directory");
  trel_bounded_text error;
  error.append("cannot create ");
  std::string path = root.file("f/g/h");
  EXPECT_EQ(trel_recursive_mkdir(path.c_str(), 0700, &error), 0);
  EXPECT_EQ(std::string(error.text), "cannot create " + root.file("f"));
  EXPECT_FALSE(path_exists(root.file("f/g")));
  // Without an error text the result is the same.
  EXPECT_EQ(trel_recursive_mkdir(path.c_str(), 0700, nullptr), 0);
}

TEST(RecursiveMkdir, NullPathIsReported) {
  debug_log_capture log;
  EXPECT_EQ(trel_recursive_mkdir(nullptr, 0700, nullptr), 0);
  EXPECT_EQ(log.text(), "Error in trel_recursive_mkdir(), NULL path.\n");
}

TEST(WriteableDirectory, CreatesTheDirectoryPrivateAndLeavesNoProbe) {
  scoped_temp_dir root;
  std::string directory = root.file("p/q/r");
  trel_bounded_text error;
  // The mode asked for is ignored: a configuration directory is always private.
  EXPECT_EQ(trel_create_and_check_writeable_directory(directory.c_str(), 0777, &error), 1);
  EXPECT_TRUE(is_directory(directory));
  EXPECT_EQ(permission_bits(directory), 0700);
  EXPECT_EQ(permission_bits(root.file("p")), 0700);
  EXPECT_FALSE(path_exists(directory + "/xx-rw-test.qqq"));
  EXPECT_EQ(error.length, 0);
  // An existing directory with a trailing separator passes too.
  EXPECT_EQ(trel_create_and_check_writeable_directory((directory + "/").c_str(), 0700, nullptr), 1);
}

TEST(WriteableDirectory, FailsWhenItCannotBeCreatedOrWritten) {
  scoped_temp_dir root;
  write_whole_file(root.file("file"), "x");
  trel_bounded_text error;
  EXPECT_EQ(trel_create_and_check_writeable_directory(root.file("file/sub").c_str(), 0700, &error),
            0);
  EXPECT_EQ(std::string(error.text), root.file("file"));

  // The probe name is taken by a directory: the probe cannot be written
  // (this holds even for root, for whom permissions prove nothing).
  ASSERT_EQ(mkdir(root.file("blocked").c_str(), 0700), 0);
  ASSERT_EQ(mkdir(root.file("blocked/xx-rw-test.qqq").c_str(), 0700), 0);
  error.clear();
  EXPECT_EQ(trel_create_and_check_writeable_directory(root.file("blocked").c_str(), 0700, &error),
            0);
  EXPECT_EQ(std::string(error.text), root.file("blocked/xx-rw-test.qqq"));

  EXPECT_EQ(trel_create_and_check_writeable_directory("", 0700, nullptr), 0);
}

TEST(WriteableDirectory, NullDirectoryIsReported) {
  debug_log_capture log;
  EXPECT_EQ(trel_create_and_check_writeable_directory(nullptr, 0700, nullptr), 0);
  EXPECT_EQ(log.text(), "Error in trel_create_and_check_writeable_directory(), NULL path.\n");
}

// lockf locks belong to the process, so a second holder must be another process.
int lock_result_in_child(const std::string &path) {
  pid_t child = fork();
  if (child == 0) {
    int fd = lock_file(path.c_str());
    _exit(fd >= 0 ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
    return -2;
  return WEXITSTATUS(status) == 0 ? 1 : -1;
}

TEST(LockFile, ASecondHolderIsRefusedUntilUnlocked) {
  scoped_temp_dir root;
  std::string path = root.file("download.lck");
  int fd = lock_file(path.c_str());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(permission_bits(path), 0600);
  EXPECT_EQ(lock_result_in_child(path), -1);
  EXPECT_EQ(unlock_file(fd), 1);
  EXPECT_EQ(lock_result_in_child(path), 1);
}

TEST(LockFile, BadPathsAndDescriptors) {
  scoped_temp_dir root;
  EXPECT_EQ(lock_file(root.file("missing/dir.lck").c_str()), -1);
  EXPECT_EQ(lock_file(nullptr), -1);
  EXPECT_EQ(unlock_file(-1), 0);
}

} // namespace
