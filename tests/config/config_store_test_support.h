// Shared pieces of the configuration store tests: a fixture with an empty
// configuration directory under a temporary HOME, a fresh store, a debug log
// of its own, and an observer that records what the store asked of the window.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config_store.h"

// Writes down every call as one line of text, e.g. "check &Status Bar 1",
// "choice layout 2", "relayout", "status dirty".
class recording_observer : public trel_config_observer {
public:
  std::vector<std::string> calls;
  bool logged_in = false;
  int audio_starts = 1;

  void check_menu_item(trel_menu_check item, int on) override;
  void check_menu_choice(trel_menu_choice group, int value) override;
  bool is_logged_in() override { return logged_in; }
  void relayout() override { calls.push_back("relayout"); }
  void mark_status_dirty() override { calls.push_back("status dirty"); }
  void apply_main_font() override { calls.push_back("apply_main_font"); }
  void apply_button_fonts() override { calls.push_back("apply_button_fonts"); }
  void apply_font_descriptions(const char *font, int font_size, const char *button_font,
                               int button_font_size) override;
  void show_status_bar(int on) override;
  void show_sky_bar(int on) override;
  void show_status_display(int on) override;
  void set_status_display_bars(int exp, int hp, int enemy) override;
  void show_main_scrollbar(int on) override;
  void hide_group_display() override { calls.push_back("hide group display"); }
  void enable_channel_window(int on) override;
  void set_automap_size(int size) override;
  void update_dependent_panes() override { calls.push_back("update dependent panes"); }
  void apply_layout_change() override { calls.push_back("apply_layout_change"); }
  void apply_theme_change(int force_background) override;
  void stop_audio() override { calls.push_back("stop audio"); }
  int start_audio() override;

  // How often call was made.
  int count(const std::string &call) const;
  bool saw(const std::string &call) const { return count(call) > 0; }
};

class config_store_test : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The temporary tree that holds HOME; "../" paths out of the configuration
  // directory still land inside it.
  static std::string root();
  // The configuration directory (HOME + "/.Quenmar"), empty at the start of
  // each test.
  static std::string config_dir();
  // config_dir() + "/" + relative.
  static std::string config_path(const std::string &relative);
  static std::string char_file(const std::string &name) {
    return config_path("char_configs/" + name + ".cfg");
  }

  // Every path under root(), relative to it, sorted ("home/.Quenmar/quenmar.cfg").
  static std::vector<std::string> tree();

  // Everything written to the debug log since the test began.
  std::string log() const;
  int log_count(const std::string &text) const;

  trel_config_store store;
  recording_observer window;

private:
  std::string log_directory;
};

std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &content);
bool exists(const std::string &path);
void make_directory(const std::string &path);

// A set with every option away from its default and two popup records, so
// that a field the file forgets shows up in a comparison.
ZConfig make_full_set(const std::string &name);

// Runs body in a child process whose files may grow to at most limit bytes
// (a full disk, as far as the writer can tell) and returns body's result, or
// -1 when the child did not finish normally.
int run_with_file_size_limit(long limit, int (*body)(void *), void *argument);
