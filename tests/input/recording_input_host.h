// A trel_input_host for the pane tests: it keeps the main pane's scroll lock
// and the settings as plain state and records every call as a line of text.
#pragma once
#include "input/input_host.h"

#include <map>
#include <string>
#include <vector>

class recording_input_host : public trel_input_host {
public:
  std::vector<std::string> calls;
  bool main_locked = false;
  bool main_selection = false;
  bool channel_locked = false;
  bool logged_in = false;
  std::map<std::string, bool> settings;

  // Calls recorded since the last take(), and a fresh start.
  std::vector<std::string> take() {
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
  }

  bool main_is_locked() override { return main_locked; }
  void main_lock_if_following() override {
    main_locked = true;
    calls.push_back("lock");
  }
  void main_ensure_following() override {
    main_locked = false;
    calls.push_back("follow");
  }
  void main_page_up() override { calls.push_back("page up"); }
  void main_page_down() override { calls.push_back("page down"); }
  void main_scroll_up(int lines) override { calls.push_back("scroll up " + std::to_string(lines)); }
  void main_scroll_down(int lines) override {
    calls.push_back("scroll down " + std::to_string(lines));
  }
  bool main_has_selection() override { return main_selection; }
  void main_clear_selection() override {
    main_selection = false;
    calls.push_back("clear main selection");
  }
  void main_reset_ansi_state() override { calls.push_back("reset ansi"); }
  void main_print_local(const char *text) override {
    calls.push_back("print " + std::string(text));
  }

  bool channel_is_locked() override { return channel_locked; }
  void channel_unlock() override {
    channel_locked = false;
    calls.push_back("channel follow");
  }
  void channel_clear_selection() override { calls.push_back("clear channel selection"); }

  void process_command(const char *line, bool echo) override {
    calls.push_back(std::string(echo ? "command echo " : "command quiet ") + line);
  }
  void send_line(const char *text) override { calls.push_back("line " + std::string(text)); }

  bool is_logged_in() override { return logged_in; }
  bool setting_enabled(const char *key) override {
    auto found = settings.find(key);
    return found != settings.end() && found->second;
  }
  void toggle_setting(const char *key) override { calls.push_back("toggle " + std::string(key)); }
  void step_setting(const char *key, int delta) override {
    calls.push_back("step " + std::string(key) + " " + std::to_string(delta));
  }
  void step_font_size(int delta) override { calls.push_back("font " + std::to_string(delta)); }
  void step_automap_size(int delta) override {
    calls.push_back("automap " + std::to_string(delta));
  }
  void toggle_popup_window(int number) override {
    calls.push_back("popup " + std::to_string(number));
  }
};
