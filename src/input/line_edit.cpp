// The input line's text control: key map, history, sending, paste and
// password mode.
#include "input/line_edit.h"

#include "input/clipboard.h"
#include "input/input_host.h"
#include "input/line_text.h"
#include "support/debug_log.h"

#include <wx/font.h>

// The key map names the toolkit's key codes itself so it needs no toolkit
// header; they must stay the toolkit's values.
static_assert(trel_keys::back == WXK_BACK && trel_keys::enter == WXK_RETURN &&
                  trel_keys::escape == WXK_ESCAPE && trel_keys::clear == WXK_CLEAR,
              "key codes");
static_assert(trel_keys::shift == WXK_SHIFT && trel_keys::alt == WXK_ALT &&
                  trel_keys::control == WXK_CONTROL && trel_keys::menu == WXK_MENU &&
                  trel_keys::capital == WXK_CAPITAL && trel_keys::numlock == WXK_NUMLOCK &&
                  trel_keys::scroll == WXK_SCROLL,
              "modifier key codes");
static_assert(trel_keys::home == WXK_HOME && trel_keys::left == WXK_LEFT &&
                  trel_keys::up == WXK_UP && trel_keys::down == WXK_DOWN &&
                  trel_keys::page_up == WXK_PAGEUP && trel_keys::page_down == WXK_PAGEDOWN,
              "navigation key codes");
static_assert(trel_keys::numpad0 == WXK_NUMPAD0 && trel_keys::numpad0 + 9 == WXK_NUMPAD9 &&
                  trel_keys::add == WXK_ADD && trel_keys::subtract == WXK_SUBTRACT,
              "keypad digit codes");
static_assert(trel_keys::f1 == WXK_F1 && trel_keys::f12 == WXK_F12, "function key codes");
static_assert(
    trel_keys::numpad_enter == WXK_NUMPAD_ENTER && trel_keys::numpad_home == WXK_NUMPAD_HOME &&
        trel_keys::numpad_left == WXK_NUMPAD_LEFT && trel_keys::numpad_up == WXK_NUMPAD_UP &&
        trel_keys::numpad_right == WXK_NUMPAD_RIGHT && trel_keys::numpad_down == WXK_NUMPAD_DOWN &&
        trel_keys::numpad_page_up == WXK_NUMPAD_PAGEUP &&
        trel_keys::numpad_page_down == WXK_NUMPAD_PAGEDOWN &&
        trel_keys::numpad_end == WXK_NUMPAD_END && trel_keys::numpad_begin == WXK_NUMPAD_BEGIN &&
        trel_keys::numpad_add == WXK_NUMPAD_ADD &&
        trel_keys::numpad_subtract == WXK_NUMPAD_SUBTRACT,
    "keypad navigation codes");
static_assert(trel_keys::windows_left == WXK_WINDOWS_LEFT &&
                  trel_keys::windows_right == WXK_WINDOWS_RIGHT &&
                  trel_keys::windows_menu == WXK_WINDOWS_MENU,
              "system key codes");

namespace {

// The client's single-byte text as the control's text.
wxString to_wx(const std::string &text) {
  return wxString(text.data(), wxConvISO8859_1, text.size());
}

std::string from_wx(const wxString &text, std::size_t limit = std::string::npos) {
  const std::wstring wide = text.ToStdWstring();
  return trel_single_byte_text(wide.data(), wide.size(), limit);
}

} // namespace

trel_line_edit::trel_line_edit(wxWindow *parent, const wxString &name, trel_input_host &input_host,
                               const wxFont *main_font)
    : wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, style_flags,
                 wxDefaultValidator, name),
      host(input_host), font(main_font) {
  apply_input_style();
  Bind(wxEVT_KEY_DOWN, &trel_line_edit::on_key_down, this);
  Bind(wxEVT_KEY_UP, &trel_line_edit::on_key_up, this);
  Bind(wxEVT_MOUSEWHEEL, &trel_line_edit::on_mouse_wheel, this);
  Bind(wxEVT_TEXT_PASTE, &trel_line_edit::on_paste, this);
  Bind(wxEVT_KILL_FOCUS, &trel_line_edit::on_kill_focus, this);
}

void trel_line_edit::apply_input_style() {
  // Password mode survives every restyle (a send, a history step, a font
  // change): the typed text stays invisible until the mode ends.
  const wxColour foreground = history.password_mode() ? *wxBLACK : *wxWHITE;
  SetBackgroundColour(*wxBLACK);
  SetForegroundColour(foreground);
  wxTextAttr style(foreground, *wxBLACK);
  if (font && font->IsOk()) {
    SetFont(*font);
    style.SetFont(*font);
  }
  SetDefaultStyle(style);
}

void trel_line_edit::enter_password_mode() {
  history.set_password_mode(true);
  apply_input_style();
  // Text already in the line is hidden too.
  const long last = GetLastPosition();
  if (last > 0)
    SetStyle(0, last, wxTextAttr(*wxBLACK, *wxBLACK));
}

void trel_line_edit::leave_password_mode() {
  history.set_password_mode(false);
  apply_input_style();
}

trel_edit_line trel_line_edit::current_line() const {
  trel_edit_line line;
  line.text = from_wx(GetValue());
  line.caret = GetInsertionPoint();
  return line;
}

void trel_line_edit::show_step(trel_history_step step, const trel_edit_line &line) {
  if (step == trel_history_step::caret_moved) {
    SetInsertionPoint(line.caret);
  } else if (step == trel_history_step::text_replaced) {
    Clear();
    apply_input_style();
    WriteText(to_wx(line.text));
    SetInsertionPointEnd();
    apply_input_style();
  }
}

void trel_line_edit::history_up() {
  trel_edit_line line = current_line();
  show_step(history.history_up(line), line);
}

void trel_line_edit::history_down() {
  trel_edit_line line = current_line();
  show_step(history.history_down(line), line);
}

void trel_line_edit::send_input_line() {
  const std::string text = from_wx(GetValue(), TREL_INPUT_LINE_LIMIT);
  // A hidden line never stays behind: it would show as soon as the server
  // ends password mode.
  if (!history.password_mode() && host.is_logged_in() && host.setting_enabled("cmd_pushthrough"))
    SetSelection(-1, -1);
  else
    erase_line();
  if (!text.empty())
    history.history_store(text);
  host.process_command(text.c_str(), true);
  apply_input_style();
}

void trel_line_edit::manual_clipboard_paste() {
  if (debug_level >= 2)
    trel_client_debug_printf("trel_line_edit::manual_clipboard_paste()\n");
  std::string text;
  if (!get_clipboard_data(text))
    return;
  long from = 0, to = 0;
  GetSelection(&from, &to);
  if (from != to) {
    Remove(from, to);
    SetInsertionPoint(from);
  }
  WriteText(to_wx(text));
}

void trel_line_edit::show_history() {
  host.main_reset_ansi_state();
  host.main_print_local("\n");
  host.main_print_local(history.show_history_text().c_str());
}

void trel_line_edit::erase_line() {
  Clear();
}

void trel_line_edit::send_control_byte(const char *byte) {
  erase_line();
  host.send_line(byte);
  host.main_ensure_following();
}

void trel_line_edit::unlock_main_if_locked() {
  if (host.main_is_locked())
    host.main_ensure_following();
}

void trel_line_edit::on_key_down(wxKeyEvent &event) {
  const int code = event.GetKeyCode();
  trel_key_context context;
  keys.press(code, event.ControlDown()).describe(context);
  context.keypad_walking = host.setting_enabled("keypad_walking");
  context.cmd_pushthrough = host.setting_enabled("cmd_pushthrough");
  context.locking_scrollback_enable = host.setting_enabled("locking_scrollback_enable");
  context.logged_in = host.is_logged_in();
  long from = 0, to = 0;
  GetSelection(&from, &to);
  const long last = GetLastPosition();
  context.line_has_selection = from != to;
  context.whole_text_selected = from == 0 && to == last && last > 0;
  context.main_locked = host.main_is_locked();
  context.main_has_selection = host.main_has_selection();
  context.channel_locked = host.channel_is_locked();

  trel_key_press press;
  press.code = code;
  press.ctrl = event.ControlDown();
  press.shift = event.ShiftDown();
  press.alt = event.AltDown();
  press.meta = event.MetaDown();
  run_action(trel_map_key(press, context), event);
}

void trel_line_edit::run_action(const trel_key_result &result, wxKeyEvent &event) {
  using action = trel_key_action;
  switch (result.action) {
  case action::pass_on:
    event.Skip();
    break;
  case action::pass_on_following:
    host.main_ensure_following();
    event.Skip();
    break;
  case action::swallow:
    break;
  case action::walk:
    unlock_main_if_locked();
    host.process_command(result.text.c_str(), true);
    break;
  case action::caret_to_start:
    SetInsertionPoint(0);
    break;
  case action::pushed_through_up:
    // The first step would only show the command that is already there.
    SetInsertionPointEnd();
    history_up();
    history_up();
    break;
  case action::font_size_step:
    host.step_font_size(result.amount);
    break;
  case action::step_setting:
    host.step_setting(result.text.c_str(), result.amount);
    break;
  case action::automap_size_step:
    host.step_automap_size(result.amount);
    break;
  case action::popup_toggle:
    host.toggle_popup_window(result.amount);
    break;
  case action::toggle_setting:
    host.toggle_setting(result.text.c_str());
    break;
  case action::copy_line_selection:
    set_clipboard_data(from_wx(GetStringSelection()).c_str());
    SetInsertionPoint(GetInsertionPoint());
    break;
  case action::erase_line:
    erase_line();
    break;
  case action::erase_clear_main_selection:
    erase_line();
    host.main_clear_selection();
    break;
  case action::erase_send_break:
    send_control_byte("\x03");
    break;
  case action::erase_send_abort:
    send_control_byte("\x1a");
    break;
  case action::unlock_main:
    host.main_ensure_following();
    break;
  case action::unlock_channel:
    host.channel_unlock();
    break;
  case action::lock_main:
    host.main_lock_if_following();
    break;
  case action::paste:
    manual_clipboard_paste();
    break;
  case action::insert_line_break:
    WriteText("\n");
    break;
  case action::send_line:
    unlock_main_if_locked();
    send_input_line();
    break;
  case action::escape_clear:
    erase_line();
    host.main_clear_selection();
    host.channel_clear_selection();
    break;
  case action::history_up:
    history_up();
    break;
  case action::history_down:
    history_down();
    break;
  case action::page_up:
    host.main_lock_if_following();
    host.main_page_up();
    break;
  case action::page_down_locking:
    host.main_lock_if_following();
    host.main_page_down();
    break;
  case action::page_down:
    host.main_page_down();
    break;
  case action::function_key:
    host.process_command(result.text.c_str(), false);
    host.main_ensure_following();
    break;
  }
}

void trel_line_edit::on_key_up(wxKeyEvent &event) {
  keys.release();
  event.Skip();
}

void trel_line_edit::on_kill_focus(wxFocusEvent &event) {
  // The release of a key held while the focus leaves never reaches us; a
  // stale "key down" would stop the next keypad walk.
  keys.release();
  event.Skip();
}

void trel_line_edit::on_mouse_wheel(wxMouseEvent &event) {
  // The wheel scrolls the main pane, never the line itself.
  if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL)
    return;
  const int step = trel_wheel_step(wheel_total, event.GetWheelRotation(), event.GetWheelDelta());
  if (step == 0)
    return;
  host.main_lock_if_following();
  if (step > 0)
    host.main_scroll_up(3);
  else
    host.main_scroll_down(3);
}

void trel_line_edit::on_paste(wxClipboardTextEvent &) {
  if (debug_level >= 2)
    trel_client_debug_printf("trel_line_edit::pasteEvent()\n");
  manual_clipboard_paste();
}
