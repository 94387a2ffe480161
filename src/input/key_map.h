// The input line's key map: one pure function from a key press (its code and
// modifiers) and the state the map depends on (settings, login, the line's
// selection, the panes' scroll locks) to the action the line takes. Key codes
// are the toolkit's own values as plain ints, so the line edit passes event
// codes straight in; the few this map needs are named here (the line edit
// checks that they match the toolkit's). Also the key-held memory and the
// mouse wheel accumulator.
#pragma once
#include <string>

namespace trel_keys {
constexpr int back = 8;
constexpr int enter = 13;
constexpr int escape = 27;
constexpr int clear = 305;
constexpr int shift = 306;
constexpr int alt = 307;
constexpr int control = 308;
constexpr int menu = 309;
constexpr int capital = 311;
constexpr int home = 313;
constexpr int left = 314;
constexpr int up = 315;
constexpr int down = 317;
constexpr int numpad0 = 324; // numpad1 .. numpad9 follow
constexpr int add = 335;
constexpr int subtract = 337;
constexpr int f1 = 340; // f2 .. f12 follow
constexpr int f12 = 351;
constexpr int numlock = 364;
constexpr int scroll = 365;
constexpr int page_up = 366;
constexpr int page_down = 367;
constexpr int numpad_enter = 370;
constexpr int numpad_home = 375;
constexpr int numpad_left = 376;
constexpr int numpad_up = 377;
constexpr int numpad_right = 378;
constexpr int numpad_down = 379;
constexpr int numpad_page_up = 380;
constexpr int numpad_page_down = 381;
constexpr int numpad_end = 382;
constexpr int numpad_begin = 383;
constexpr int numpad_add = 388;
constexpr int numpad_subtract = 390;
constexpr int windows_left = 393;
constexpr int windows_right = 394;
constexpr int windows_menu = 395;
} // namespace trel_keys

// One key press.
struct trel_key_press {
  int code = 0;
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  bool meta = false;
};

// Everything the map looks at besides the key itself.
struct trel_key_context {
  // The key memory as it was before this press.
  bool key_was_down = false;
  int previous_key = -1;
  bool previous_ctrl = false;
  // Settings and session.
  bool keypad_walking = false;
  bool cmd_pushthrough = false;
  bool locking_scrollback_enable = false;
  bool logged_in = false; // connected and playing
  // The input line.
  bool whole_text_selected = false; // all of a non-empty line is selected
  bool line_has_selection = false;  // any of the line is selected
  // The main pane and the display shown in the channel window.
  bool main_locked = false;
  bool main_has_selection = false;
  bool channel_locked = false;
};

enum class trel_key_action {
  pass_on,             // the text control handles the key
  pass_on_following,   // main pane back to following, then the text control
  swallow,             // consumed, nothing happens
  walk,                // text: direction; main pane unlocked, sent with echo
  caret_to_start,      // pushed-through line: selection dropped, caret at start
  pushed_through_up,   // pushed-through line: caret at end, history_up twice
  font_size_step,      // amount: +1 or -1
  step_setting,        // text: setting key, amount: signed step
  automap_size_step,   // amount: +1 larger, -1 smaller
  popup_toggle,        // amount: popup window 1 to 10
  toggle_setting,      // text: setting key
  copy_line_selection, // selected text to the clipboard, selection dropped
  erase_line,
  erase_clear_main_selection, // line erased, main pane's selection cleared
  erase_send_break,           // line erased, byte 3 sent, main pane following
  erase_send_abort,           // line erased, byte 26 sent, main pane following
  unlock_main,                // main pane back to following
  unlock_channel,             // channel window's display back to following
  lock_main,                  // main pane locked if following
  paste,                      // manual_clipboard_paste
  insert_line_break,          // a line break at the caret
  send_line,                  // main pane unlocked if locked, send_input_line
  escape_clear,               // line erased, main and channel selections cleared
  history_up,
  history_down,
  page_up,           // main pane locked if following, then page up
  page_down_locking, // main pane locked if following, then page down
  page_down,         // page down (unlocks at the end)
  function_key,      // text: "f01".."f12" with "c" or "s"; no echo, then following
};

struct trel_key_result {
  trel_key_action action = trel_key_action::pass_on;
  std::string text;
  int amount = 0;
};

// The action for one key press. Never fails: keys the map does not know are
// passed on to the text control.
trel_key_result trel_map_key(const trel_key_press &press, const trel_key_context &context);

// The key-held memory of the line edit: whether a key is down, and the code
// and Ctrl state of the last press.
struct trel_key_memory {
  int key_down = 0;
  int last_ctrl = -1;
  int last_key = -1;

  // Records a press and returns the memory as it was before it.
  trel_key_memory press(int code, bool ctrl);
  void release() { key_down = 0; }
  // Fills the memory fields of a key context from this (earlier) memory.
  void describe(trel_key_context &context) const;
};

// The mouse wheel over the line edit: adds rotation to the running total and
// returns +1 when a whole step (delta) upwards was completed, -1 for a whole
// step downwards, 0 while a partial step builds up. A delta below 1 counts as
// 1. The total is kept within one step so it cannot overflow.
int trel_wheel_step(int &wheel_total, int rotation, int delta);
