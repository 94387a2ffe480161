// trel_line_edit: the text control of the input line. It applies the key map
// to every key press, browses and stores the command history, sends the
// typed line through the host's command path, pastes from the primary
// selection and hides typed text in password mode.
#pragma once
#include "input/command_history.h"
#include "input/key_map.h"

#include <wx/textctrl.h>

#include <string>

class trel_input_host;
class wxFont;

class trel_line_edit : public wxTextCtrl {
public:
  // Multi-line, rich, Enter processed here, selection kept visible, no border.
  static constexpr long style_flags =
      wxTE_MULTILINE | wxTE_RICH | wxTE_PROCESS_ENTER | wxTE_NOHIDESEL | wxBORDER_NONE;

  // font is the shared main font (not owned; may be null until it exists);
  // apply_input_style reads it again each time, so a new size shows after
  // the next apply_input_style.
  trel_line_edit(wxWindow *parent, const wxString &name, trel_input_host &host, const wxFont *font);

  void history_store(const std::string &text) { history.history_store(text); }
  void history_up();
  void history_down();
  // Enter: sends the current text with echo and stores it.
  void send_input_line();
  // Writes the primary selection's text at the caret, or over the selection.
  void manual_clipboard_paste();
  void set_history_bank(int bank) { history.set_history_bank(bank); }
  void enter_password_mode();
  void leave_password_mode();
  bool is_echo_allowed() const { return !history.password_mode(); }
  // "//history": the recent commands into the main pane.
  void show_history();
  // Colours and font back to normal (black in password mode).
  void apply_input_style();
  void set_font(const wxFont *new_font) { font = new_font; }

  bool password_mode() const { return history.password_mode(); }
  const trel_command_history &command_history() const { return history; }

  // Event handlers; the pane tests call them with constructed events.
  void on_key_down(wxKeyEvent &event);
  void on_key_up(wxKeyEvent &event);
  void on_mouse_wheel(wxMouseEvent &event);
  void on_paste(wxClipboardTextEvent &event);
  void on_kill_focus(wxFocusEvent &event);

private:
  trel_edit_line current_line() const;
  void show_step(trel_history_step step, const trel_edit_line &line);
  void run_action(const trel_key_result &result, wxKeyEvent &event);
  void erase_line();
  // Erases the line, sends one control byte as a line and returns the main
  // pane to following.
  void send_control_byte(const char *byte);
  void unlock_main_if_locked();

  trel_input_host &host;
  const wxFont *font;
  trel_command_history history;
  trel_key_memory keys;
  int wheel_total = 0;
};
