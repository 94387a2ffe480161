// Tests of the choice of the configuration directory among its four candidates.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "support/config_dir.h"
#include "support/debug_log.h"
#include "support/support_test_helpers.h"

namespace {

// Sets HOME (or unsets it for nullptr) and puts the old value back afterwards.
class scoped_home {
public:
  explicit scoped_home(const char *value) {
    const char *old = getenv("HOME");
    had_home = old != nullptr;
    if (old)
      saved = old;
    if (value)
      setenv("HOME", value, 1);
    else
      unsetenv("HOME");
  }
  ~scoped_home() {
    if (had_home)
      setenv("HOME", saved.c_str(), 1);
    else
      unsetenv("HOME");
  }

private:
  bool had_home = false;
  std::string saved;
};

// Runs in a fresh working directory, since two candidates are relative to it.
class scoped_working_directory {
public:
  explicit scoped_working_directory(const std::string &path) {
    char *old = getcwd(nullptr, 0);
    if (old) {
      saved = old;
      free(old);
    }
    EXPECT_EQ(chdir(path.c_str()), 0);
  }
  ~scoped_working_directory() {
    if (!saved.empty()) {
      EXPECT_EQ(chdir(saved.c_str()), 0);
    }
  }

private:
  std::string saved;
};

bool is_directory(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A base name no other run shares, since one candidate lives in /tmp/.
std::string unique_base(const char *tag) {
  return std::string("quenmar_cfgtest_") + tag + "_" + std::to_string(getpid());
}

TEST(ConfigDirectory, UsesTheHiddenDirectoryInHome) {
  scoped_temp_dir home;
  scoped_temp_dir work;
  scoped_working_directory in(work.path());
  scoped_home set(home.path().c_str());
  debug_log_capture log(3);
  ASSERT_TRUE(trel_client_set_up_config_directory("Quenmar"));
  std::string expected = home.path() + "/.Quenmar";
  EXPECT_STREQ(trel_client_get_config_directory(), expected.c_str());
  EXPECT_TRUE(is_directory(expected));
  struct stat info;
  ASSERT_EQ(stat(expected.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_FALSE(path_exists(work.file(".Quenmar")));
  std::string text = log.text();
  EXPECT_NE(text.find("Checking config directory: " + expected + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("trel_client_set_up_config_directory() - got final config directory '" +
                      expected + "'\n"),
            std::string::npos)
      << text;
}

TEST(ConfigDirectory, HomeUnsetFailsAtOnce) {
  scoped_temp_dir work;
  scoped_working_directory in(work.path());
  scoped_home unset(nullptr);
  debug_log_capture log(3);
  EXPECT_FALSE(trel_client_set_up_config_directory("Quenmar"));
  std::string text = log.text();
  EXPECT_NE(text.find("Error in trel_client_set_up_config_directory(), unable to fetch home "
                      "directory - please set HOME environment variable and restart.\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("Checking config directory"), std::string::npos) << text;
  EXPECT_FALSE(path_exists(work.file(".Quenmar")));
  EXPECT_FALSE(path_exists(work.file("Quenmar")));
}

TEST(ConfigDirectory, NullBaseNameFailsAtOnce) {
  EXPECT_FALSE(trel_client_set_up_config_directory(nullptr));
}

// Which candidates are blocked by a plain file planted at their path.
struct fallback_case {
  const char *name;
  bool block_dotted_in_cwd;
  bool block_tmp;
  bool block_plain_in_cwd;
  int expected; // 2, 3, 4: the winning candidate; 0: none
};

class ConfigDirectoryFallback : public ::testing::TestWithParam<fallback_case> {};

TEST_P(ConfigDirectoryFallback, TriesTheCandidatesInOrder) {
  const fallback_case &c = GetParam();
  const std::string base = unique_base(c.name);
  const std::string tmp_candidate = "/tmp/" + base;
  scoped_temp_dir work;
  scoped_working_directory in(work.path());
  // HOME names a regular file: nothing can be made under it, even as root.
  write_whole_file(work.file("home_is_a_file"), "x");
  scoped_home set(work.file("home_is_a_file").c_str());
  if (c.block_dotted_in_cwd)
    write_whole_file(work.file("." + base), "x");
  if (c.block_tmp)
    write_whole_file(tmp_candidate, "x");
  if (c.block_plain_in_cwd)
    write_whole_file(work.file(base), "x");

  debug_log_capture log(3);
  bool chosen = trel_client_set_up_config_directory(base.c_str());
  std::string text = log.text();
  EXPECT_NE(text.find("Checking config directory: " + work.file("home_is_a_file") + "/." + base +
                      " [FAIL]\n"),
            std::string::npos)
      << text;
  switch (c.expected) {
  case 2:
    ASSERT_TRUE(chosen);
    EXPECT_EQ(std::string(trel_client_get_config_directory()), "." + base);
    EXPECT_TRUE(is_directory(work.file("." + base)));
    break;
  case 3:
    ASSERT_TRUE(chosen);
    EXPECT_EQ(std::string(trel_client_get_config_directory()), tmp_candidate);
    EXPECT_TRUE(is_directory(tmp_candidate));
    EXPECT_NE(text.find("Checking config directory: ." + base + " [FAIL]\n"), std::string::npos);
    break;
  case 4:
    ASSERT_TRUE(chosen);
    EXPECT_EQ(std::string(trel_client_get_config_directory()), base);
    EXPECT_TRUE(is_directory(work.file(base)));
    EXPECT_NE(text.find("Checking config directory: " + tmp_candidate + " [FAIL]\n"),
              std::string::npos);
    break;
  default:
    EXPECT_FALSE(chosen);
    EXPECT_NE(text.find("trel_client_set_up_config_directory() - Giving up.  Cannot create "
                        "config directory.\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Checking config directory: " + base + " [FAIL]\n"), std::string::npos);
  }
  unlink(tmp_candidate.c_str());
  rmdir(tmp_candidate.c_str());
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfigDirectoryFallback,
                         ::testing::Values(fallback_case{"dotted", false, false, false, 2},
                                           fallback_case{"tmp", true, false, false, 3},
                                           fallback_case{"plain", true, true, false, 4},
                                           fallback_case{"none", true, true, true, 0}),
                         [](const ::testing::TestParamInfo<fallback_case> &info) {
                           return info.param.name;
                         });

TEST(ConfigDirectory, AHomeTooLongToComposeIsSkippedNotCut) {
  scoped_temp_dir work;
  scoped_working_directory in(work.path());
  std::string long_home = work.path() + "/" + std::string(6000, 'h');
  scoped_home set(long_home.c_str());
  ASSERT_TRUE(trel_client_set_up_config_directory("Quenmar"));
  EXPECT_STREQ(trel_client_get_config_directory(), ".Quenmar");
}

TEST(ConfigDirectory, ASecondSetUpIsReportedAndObeyed) {
  scoped_temp_dir first_home;
  scoped_temp_dir second_home;
  scoped_temp_dir work;
  scoped_working_directory in(work.path());
  {
    scoped_home set(first_home.path().c_str());
    ASSERT_TRUE(trel_client_set_up_config_directory("Quenmar"));
  }
  std::string old_path = trel_client_get_config_directory();
  scoped_home set(second_home.path().c_str());
  debug_log_capture log(3);
  ASSERT_TRUE(trel_client_set_up_config_directory("Other"));
  std::string text = log.text();
  EXPECT_EQ(text.rfind("Error in trel_client_set_up_config_directory(), attempt to change config "
                       "directory path after initial configuration.\nOld path '" +
                           old_path + "', new base name 'Other'\n",
                       0),
            0u)
      << text;
  EXPECT_EQ(std::string(trel_client_get_config_directory()), second_home.path() + "/.Other");
}

} // namespace
