// The input line's key map, key memory and wheel accumulator.
#include "input/key_map.h"

#include <cstdio>

namespace {

using action = trel_key_action;

trel_key_result make(action a, const std::string &text = std::string(), int amount = 0) {
  trel_key_result result;
  result.action = a;
  result.text = text;
  result.amount = amount;
  return result;
}

// The command a keypad key walks, or nullptr. Both the NumLock forms (digits)
// and the navigation forms of the keypad count.
const char *keypad_direction(int code) {
  using namespace trel_keys;
  switch (code) {
  case numpad0 + 7:
  case numpad_home:
    return "northwest";
  case numpad0 + 8:
  case numpad_up:
    return "north";
  case numpad0 + 9:
  case numpad_page_up:
    return "northeast";
  case numpad0 + 4:
  case numpad_left:
    return "west";
  case numpad0 + 5:
  case numpad_begin:
  case clear:
    return "scan -zv";
  case numpad0 + 6:
  case numpad_right:
    return "east";
  case numpad0 + 1:
  case numpad_end:
    return "southwest";
  case numpad0 + 2:
  case numpad_down:
    return "south";
  case numpad0 + 3:
  case numpad_page_down:
    return "southeast";
  case numpad_add:
  case add:
    return "up";
  case numpad_subtract:
  case subtract:
    return "down";
  default:
    return nullptr;
  }
}

// Keys that only change the meaning of others. Pressing one alone must not
// count as typing: otherwise the Ctrl of Ctrl+Up would return a scrolled-back
// main pane to the end before every page.
bool is_modifier(int code) {
  using namespace trel_keys;
  return code == shift || code == alt || code == control || code == menu || code == capital ||
         code == numlock || code == scroll || code == windows_left || code == windows_right ||
         code == windows_menu;
}

// Letters arrive as capitals from the toolkit's key-down event; small ones
// are accepted too.
int fold_letter(int code) {
  return code >= 'a' && code <= 'z' ? code - 'a' + 'A' : code;
}

// Escape and Ctrl-Q: the first locked display of main pane and channel window
// returns to following.
trel_key_result unlock_first(const trel_key_context &c, action otherwise) {
  if (c.main_locked)
    return make(action::unlock_main);
  if (c.channel_locked)
    return make(action::unlock_channel);
  return make(otherwise);
}

// The settings that Ctrl+Shift+1 to 9 toggle; nullptr where the digit does nothing.
const char *shifted_digit_setting(int digit) {
  static const char *const settings[10] = {nullptr,
                                           "automap_display",
                                           "group_status_display",
                                           "hpbar_enable",
                                           "enemy_hpbar_enable",
                                           "exp_display",
                                           nullptr,
                                           "fkey_button_display",
                                           "popup_display",
                                           "mw_scrollbar_enable"};
  return digit >= 0 && digit <= 9 ? settings[digit] : nullptr;
}

// The Ctrl table. Returns false when the key is not in it (then the ordinary
// keys decide).
bool ctrl_key(const trel_key_press &k, const trel_key_context &c, trel_key_result &out) {
  const int code = fold_letter(k.code);
  if (code == '+' || code == '=' || code == trel_keys::numpad_add) {
    out = k.shift ? make(action::step_setting, "channel_window_height", 5)
                  : make(action::font_size_step, std::string(), 1);
    return true;
  }
  if (code == '-' || code == '_' || code == trel_keys::numpad_subtract) {
    out = k.shift ? make(action::step_setting, "channel_window_height", -5)
                  : make(action::font_size_step, std::string(), -1);
    return true;
  }
  if (code >= '0' && code <= '9') {
    const int digit = code - '0';
    if (k.shift) {
      const char *setting = shifted_digit_setting(digit);
      out = setting ? make(action::toggle_setting, setting) : make(action::swallow);
    } else {
      // Popup windows exist only for a character in the game.
      out = c.logged_in ? make(action::popup_toggle, std::string(), digit == 0 ? 10 : digit)
                        : make(action::swallow);
    }
    return true;
  }
  switch (code) {
  case 'M':
    out = make(action::toggle_setting, "automap_display");
    return true;
  case 'P':
    out = make(action::toggle_setting, "hpbar_enable");
    return true;
  case 'C':
    if (c.line_has_selection)
      out = make(action::copy_line_selection);
    else if (c.main_has_selection)
      out = make(action::erase_clear_main_selection);
    else
      out = make(action::erase_send_break);
    return true;
  case 'D':
    out = make(action::erase_send_break);
    return true;
  case 'K':
    out = make(action::erase_line);
    return true;
  case 'Q':
    out = unlock_first(c, action::swallow);
    return true;
  case 'S':
  case 'Z':
    out = make(action::lock_main);
    return true;
  case 'V':
    out = make(action::paste);
    return true;
  case '[':
    out = k.shift ? make(action::step_setting, "input_height", -12)
                  : make(action::automap_size_step, std::string(), -1);
    return true;
  case ']':
    out = k.shift ? make(action::step_setting, "input_height", 12)
                  : make(action::automap_size_step, std::string(), 1);
    return true;
  case '\\':
    out = make(action::erase_send_abort);
    return true;
  default:
    return false;
  }
}

trel_key_result ordinary_key(const trel_key_press &k, const trel_key_context &c) {
  using namespace trel_keys;
  const int code = k.code;
  if (code == enter || code == numpad_enter)
    return make(k.ctrl ? action::insert_line_break : action::send_line);
  if (code == escape)
    return unlock_first(c, action::escape_clear);
  if (code == up || code == numpad_up)
    return make(k.ctrl ? action::page_up : action::history_up);
  if (code == page_up || code == numpad_page_up)
    return make(action::page_up);
  if (code == down || code == numpad_down)
    return make(k.ctrl ? action::page_down_locking : action::history_down);
  if (code == page_down || code == numpad_page_down)
    return make(action::page_down);
  if (code >= f1 && code <= f12) {
    if (k.alt)
      return make(action::pass_on);
    if (!c.logged_in)
      return make(action::swallow);
    const char *prefix = (k.ctrl || k.meta) ? "c" : k.shift ? "s" : "";
    char command[8];
    snprintf(command, sizeof command, "%sf%02d", prefix, code - f1 + 1);
    return make(action::function_key, command);
  }
  if (is_modifier(code))
    return make(action::pass_on);
  if (c.main_locked && !c.locking_scrollback_enable)
    return make(action::pass_on_following);
  return make(action::pass_on);
}

} // namespace

trel_key_result trel_map_key(const trel_key_press &k, const trel_key_context &c) {
  using namespace trel_keys;
  // Keypad walking: holding a key walks once, however long the key repeats.
  if (c.keypad_walking && !k.ctrl && !k.shift) {
    if (const char *direction = keypad_direction(k.code))
      return c.key_was_down ? make(action::swallow) : make(action::walk, direction);
  }
  // A line left selected after a send (cmd_pushthrough): keys that start
  // editing or browsing it.
  if (c.whole_text_selected && c.cmd_pushthrough) {
    if (k.code == home || k.code == numpad_home || k.code == left)
      return make(action::caret_to_start);
    if ((k.code == up || k.code == numpad_up) && !k.ctrl && !k.shift)
      return make(action::pushed_through_up);
  }
  if (k.ctrl) {
    // Auto-repeat of a Ctrl shortcut would toggle or resize over and over;
    // only Backspace (delete a word) may repeat.
    if (c.key_was_down && c.previous_ctrl && c.previous_key == k.code && k.code != back)
      return make(action::swallow);
    trel_key_result result;
    if (ctrl_key(k, c, result))
      return result;
  }
  return ordinary_key(k, c);
}

trel_key_memory trel_key_memory::press(int code, bool ctrl) {
  const trel_key_memory before = *this;
  key_down = 1;
  last_key = code;
  last_ctrl = ctrl ? 1 : 0;
  return before;
}

void trel_key_memory::describe(trel_key_context &context) const {
  context.key_was_down = key_down != 0;
  context.previous_key = last_key;
  context.previous_ctrl = last_ctrl == 1;
}

int trel_wheel_step(int &wheel_total, int rotation, int delta) {
  const long long d = delta < 1 ? 1 : delta;
  // Whole steps either way, counted from where the last step left off, so
  // a smooth-scrolling device needs a full step up or down alike.
  long long total = static_cast<long long>(wheel_total) + rotation;
  const long long steps = total / d;
  total -= steps * d;
  // Only the part of a step matters for the next event.
  wheel_total = static_cast<int>(total);
  if (steps > 0)
    return 1;
  if (steps < 0)
    return -1;
  return 0;
}
