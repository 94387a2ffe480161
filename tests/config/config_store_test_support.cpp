// The configuration store fixture: one temporary HOME per test process with
// the configuration directory emptied before every test, a debug log per test,
// and the recording observer.
#include "config/config_store_test_support.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/config_dir.h"
#include "support/debug_log.h"

namespace fs = std::filesystem;

namespace {

// The configuration directory is chosen once per process, so the process gets
// one temporary HOME and each test starts from an emptied directory in it.
class temporary_home : public ::testing::Environment {
public:
  void SetUp() override {
    char pattern[] = "/tmp/quenmar_cfgstore_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr) << "could not create a temporary directory";
    root_path() = pattern;
    const std::string home = root_path() + "/home";
    ASSERT_EQ(mkdir(home.c_str(), 0700), 0);
    ASSERT_EQ(setenv("HOME", home.c_str(), 1), 0);
    const int saved_level = debug_level;
    debug_level = 0;
    ASSERT_TRUE(trel_client_set_up_config_directory("Quenmar"));
    debug_level = saved_level;
    ASSERT_EQ(std::string(trel_client_get_config_directory()), home + "/.Quenmar");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_path(), ignored);
  }

  static std::string &root_path() {
    static std::string path;
    return path;
  }
};

::testing::Environment *const home_environment =
    ::testing::AddGlobalTestEnvironment(new temporary_home);

std::string menu_name(trel_menu_choice group) {
  switch (group) {
  case trel_menu_choice::layout:
    return "layout";
  case trel_menu_choice::group_display:
    return "group";
  case trel_menu_choice::button_colors:
    return "button colors";
  case trel_menu_choice::background_colors:
    return "background colors";
  case trel_menu_choice::background_styles:
    return "background styles";
  }
  return "?";
}

} // namespace

void recording_observer::check_menu_item(trel_menu_check item, int on) {
  calls.push_back(std::string("check ") + trel_menu_check_label(item) + " " + std::to_string(on));
}

void recording_observer::check_menu_choice(trel_menu_choice group, int value) {
  calls.push_back("choice " + menu_name(group) + " " + std::to_string(value));
}

void recording_observer::apply_font_descriptions(const char *font, int font_size,
                                                 const char *button_font, int button_font_size) {
  calls.push_back(std::string("fonts '") + font + "' " + std::to_string(font_size) + " '" +
                  button_font + "' " + std::to_string(button_font_size));
}

void recording_observer::show_status_bar(int on) {
  calls.push_back("show status bar " + std::to_string(on));
}

void recording_observer::show_sky_bar(int on) {
  calls.push_back("show sky bar " + std::to_string(on));
}

void recording_observer::show_status_display(int on) {
  calls.push_back("show status display " + std::to_string(on));
}

void recording_observer::set_status_display_bars(int exp, int hp, int enemy) {
  calls.push_back("status display bars " + std::to_string(exp) + std::to_string(hp) +
                  std::to_string(enemy));
}

void recording_observer::show_main_scrollbar(int on) {
  calls.push_back("show main scrollbar " + std::to_string(on));
}

void recording_observer::enable_channel_window(int on) {
  calls.push_back("channel window " + std::to_string(on));
}

void recording_observer::set_automap_size(int size) {
  calls.push_back("automap size " + std::to_string(size));
}

void recording_observer::apply_theme_change(int force_background) {
  calls.push_back("apply_theme_change " + std::to_string(force_background));
}

int recording_observer::start_audio() {
  calls.push_back("start audio");
  return audio_starts;
}

int recording_observer::count(const std::string &call) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

std::string config_store_test::root() {
  return std::string(getenv("HOME")) + "/..";
}

std::string config_store_test::config_dir() {
  return trel_client_get_config_directory();
}

std::string config_store_test::config_path(const std::string &relative) {
  return config_dir() + "/" + relative;
}

void config_store_test::SetUp() {
  std::error_code ignored;
  // Anything a previous test left, inside or beside HOME, goes.
  for (const fs::directory_entry &entry : fs::directory_iterator(root()))
    if (entry.path().filename() != "home")
      fs::remove_all(entry.path(), ignored);
  for (const fs::directory_entry &entry : fs::directory_iterator(getenv("HOME")))
    fs::remove_all(entry.path(), ignored);
  ASSERT_TRUE(fs::create_directory(config_dir()));

  char pattern[] = "/tmp/quenmar_cfgstore_log_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  log_directory = pattern;
  if (trel_client_debug_logfile_is_open())
    trel_client_debug_logfile_close();
  trel_client_set_debug_logfile_name((log_directory + "/debug.log").c_str());
  debug_level = 0;
  trel_client_try_open_debug_logfile();
  // Every message of the store is written, so a test can look for any of them.
  debug_level = 3;
  store.set_observer(&window);
}

void config_store_test::TearDown() {
  if (trel_client_debug_logfile_is_open())
    trel_client_debug_logfile_close();
  debug_level = 1;
  std::error_code ignored;
  fs::remove_all(log_directory, ignored);
}

std::vector<std::string> config_store_test::tree() {
  std::vector<std::string> paths;
  const fs::path base = fs::canonical(root());
  for (const fs::directory_entry &entry : fs::recursive_directory_iterator(base))
    paths.push_back(fs::relative(entry.path(), base).string());
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::string config_store_test::log() const {
  return read_file(log_directory + "/debug.log");
}

int config_store_test::log_count(const std::string &text) const {
  const std::string all = log();
  int found = 0;
  for (std::size_t at = all.find(text); at != std::string::npos;
       at = all.find(text, at + text.size()))
    found++;
  return found;
}

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void write_file(const std::string &path, const std::string &content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
  ASSERT_TRUE(out.good()) << "could not write " << path;
}

bool exists(const std::string &path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

void make_directory(const std::string &path) {
  ASSERT_EQ(mkdir(path.c_str(), 0700), 0) << "could not create " << path;
}

ZConfig make_full_set(const std::string &name) {
  trel_font_state fonts;
  fonts.main_description = "DejaVu Sans Mono 9";
  fonts.small_description = "DejaVu Sans 7";
  ZConfig set(fonts);
  set.name = name;
  set.font = "Monospace <bold> & wide 13";
  set.font_size = 13;
  set.button_font = "Sans 5";
  set.button_font_size = 5;
  // Every on/off option flipped from its default.
  set.keypad_walking = 0;
  set.url_hotlinking = 0;
  set.compact_mode = 1;
  set.cmd_pushthrough = 1;
  set.local_echo = 0;
  set.cmd_separator = 0;
  set.button_tooltips = 1;
  set.direction_button_enable = 1;
  set.hint_button_enable = 0;
  set.fkey_button_display = 1;
  set.status_bar = 0;
  set.sky_bar = 0;
  set.exp_display = 0;
  set.hp_display = 1;
  set.hpbar_enable = 0;
  set.enemy_hp_display = 0;
  set.enemy_hpbar_enable = 0;
  set.popup_display = 0;
  set.mw_scrollbar_enable = 0;
  set.locking_scrollback_enable = 1;
  set.group_status_display = 2;
  set.group_status_inverted_bars = 0;
  set.current_layout = 1;
  set.current_theme = 70;
  set.current_background_theme = -5;
  set.font_colors_setting = 3;
  set.theme_bg_setting = 5;
  set.automap_docked = 0;
  set.automap_display = 0;
  set.automap_size = 400;
  set.input_height = 24;
  set.channel_window_enable = 1;
  set.channel_window_height = 80;
  set.channel_window_dupe = 0;
  set.colorflash_enable = 0;
  trel_popup_window_record inventory;
  inventory.set_name("Inventory");
  inventory.x = -20;
  inventory.y = 300;
  inventory.width = 640;
  inventory.height = 480;
  trel_popup_window_record score;
  score.set_name("Score & <stats>");
  score.x = 0;
  score.y = 0;
  set.popup_windows = {inventory, score};
  return set;
}

int run_with_file_size_limit(long limit, int (*body)(void *), void *argument) {
  pid_t child = fork();
  if (child < 0)
    return -1;
  if (child == 0) {
    // Past the limit a write fails with EFBIG instead of killing the process.
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit size_limit;
    getrlimit(RLIMIT_FSIZE, &size_limit);
    size_limit.rlim_cur = static_cast<rlim_t>(limit);
    if (setrlimit(RLIMIT_FSIZE, &size_limit) != 0)
      _exit(100);
    _exit(body(argument) & 0x7f);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
    return -1;
  return WEXITSTATUS(status);
}
