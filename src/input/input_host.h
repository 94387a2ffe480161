// trel_input_host: everything the input line needs from the window around
// it: the main pane's scrolling and selection, the display shown in the
// channel window, the command path, the settings its shortcuts read and
// change, and the popup windows. The main window implements it.
#pragma once

class trel_input_host {
public:
  virtual ~trel_input_host() = default;

  // The main pane: scroll lock, paging, scrolling and its text selection.
  virtual bool main_is_locked() = 0;
  virtual void main_lock_if_following() = 0;
  virtual void main_ensure_following() = 0;
  virtual void main_page_up() = 0;
  virtual void main_page_down() = 0;
  virtual void main_scroll_up(int lines) = 0;
  virtual void main_scroll_down(int lines) = 0;
  virtual bool main_has_selection() = 0;
  virtual void main_clear_selection() = 0;
  // The main pane's own messages ("//history").
  virtual void main_reset_ansi_state() = 0;
  virtual void main_print_local(const char *text) = 0;

  // The display shown in the channel window.
  virtual bool channel_is_locked() = 0;
  virtual void channel_unlock() = 0;
  virtual void channel_clear_selection() = 0;

  // The command path (client commands, local echo, sending), and a raw line
  // straight to the server (the break and abort bytes).
  virtual void process_command(const char *line, bool echo) = 0;
  virtual void send_line(const char *text) = 0;

  // Connected and playing.
  virtual bool is_logged_in() = 0;
  // On/off settings by key: keypad_walking, cmd_pushthrough,
  // locking_scrollback_enable.
  virtual bool setting_enabled(const char *key) = 0;
  // Shortcut changes through the configuration store's setters; the host
  // keeps each setting within its limits (channel_window_height 10 to 80,
  // input_height at least 24, font size at least 3).
  virtual void toggle_setting(const char *key) = 0;
  virtual void step_setting(const char *key, int delta) = 0;
  virtual void step_font_size(int delta) = 0;
  // The docked automap: +1 larger, -1 smaller.
  virtual void step_automap_size(int delta) = 0;
  // Quick open or close of popup window 1 to 10.
  virtual void toggle_popup_window(int number) = 0;
};
