// Helpers for the support library's tests, and the environment that runs
// every test in a fresh temporary working directory (some configuration
// directory candidates are relative to the current directory).
#include "support/support_test_helpers.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "support/debug_log.h"

scoped_temp_dir::scoped_temp_dir() {
  char pattern[] = "/tmp/quenmar_support_test_XXXXXX";
  const char *made = mkdtemp(pattern);
  if (!made) {
    ADD_FAILURE() << "mkdtemp failed";
    return;
  }
  root = made;
}

scoped_temp_dir::~scoped_temp_dir() {
  if (root.empty())
    return;
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}

std::string read_whole_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool path_exists(const std::string &path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

void write_whole_file(const std::string &path, const std::string &content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

void reset_debug_log() {
  if (trel_client_debug_logfile_is_open())
    trel_client_debug_logfile_close();
  // Clears any names and the failed flag without opening anything.
  trel_client_set_debug_logfile_name(nullptr);
  trel_client_set_autoopen_debug_logfile_directory(nullptr);
}

debug_log_capture::debug_log_capture(int level) : saved_level(debug_level) {
  reset_debug_log();
  log_path = directory.file("debug.log");
  trel_client_set_debug_logfile_name(log_path.c_str());
  // Opened quietly now, so that the verbose "opened logfile" report does not
  // land in the capture at level 3.
  debug_level = 0;
  trel_client_try_open_debug_logfile();
  debug_level = level;
}

debug_log_capture::~debug_log_capture() {
  debug_level = saved_level;
  reset_debug_log();
}

std::string debug_log_capture::text() const {
  return read_whole_file(log_path);
}

namespace {

class fresh_working_directory : public ::testing::Environment {
public:
  void SetUp() override {
    char *previous = getcwd(nullptr, 0);
    if (previous) {
      original = previous;
      free(previous);
    }
    directory = new scoped_temp_dir;
    ASSERT_EQ(chdir(directory->path().c_str()), 0);
  }
  void TearDown() override {
    if (!original.empty() && chdir(original.c_str()) != 0)
      ADD_FAILURE() << "cannot return to " << original;
    delete directory;
    directory = nullptr;
  }

private:
  std::string original;
  scoped_temp_dir *directory = nullptr;
};

// Registered before main runs; gtest owns and deletes the environment.
::testing::Environment *const working_directory_environment =
    ::testing::AddGlobalTestEnvironment(new fresh_working_directory);

} // namespace
