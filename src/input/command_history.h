// trel_command_history: the commands the player sent, kept in three banks
// (one per connection phase) of 100 slots, with the browsing position of
// each bank and the Up/Down stepping of the input line, worked out on a plain
// text-and-caret model of the line so it runs without a display.
#pragma once
#include <array>
#include <optional>
#include <string>

// The input line as the history sees it: single-byte text and the caret as a
// character offset from 0 to text.size().
struct trel_edit_line {
  std::string text;
  long caret = 0;
};

// What a history step did to the line.
enum class trel_history_step {
  nothing,       // the line is unchanged
  caret_moved,   // only the caret moved (within a multi-line entry)
  text_replaced, // the line now shows another entry, caret at its end
};

class trel_command_history {
public:
  static constexpr int bank_count = 3;
  static constexpr int slot_count = 100;
  // Slot 0 is always empty text, slot 1 holds the line being edited while
  // browsing, slots 2 to 99 the commands, newest first.
  static constexpr int edited_slot = 1;
  static constexpr int newest_slot = 2;
  static constexpr int max_commands = slot_count - newest_slot;
  // How many commands "//history" lists at most.
  static constexpr int listed_commands = 19;

  trel_command_history();

  // Remembers a sent command in the current bank. Returns 1 when it was
  // added, 0 when not (password mode, or equal to the newest command).
  // Browsing starts over in both of the last two cases.
  int history_store(const std::string &text);
  // One step back (Up) or forward (Down) through the current bank, or a caret
  // move between the lines of a multi-line entry when the caret is not at the
  // end. The line is updated in place; the result says what changed.
  trel_history_step history_up(trel_edit_line &line);
  trel_history_step history_down(trel_edit_line &line);
  // Makes bank 0, 1 or 2 current, keeping each bank's browsing position.
  // Returns 1 for a valid bank (also when it is current already), 0 otherwise
  // (reported).
  int set_history_bank(int bank);
  // The text "//history" prints: up to 19 commands, oldest first.
  std::string show_history_text() const;

  // While on, nothing typed is remembered: not as a command, and not as the
  // line being edited when browsing starts.
  void set_password_mode(bool on) { password = on; }
  bool password_mode() const { return password; }

  int bank() const { return history_bank; }
  int position() const { return history_position; }
  // The saved browsing position of a bank (meaningful for banks not
  // current), -1 for a bank out of range.
  int saved_position(int bank) const;
  // The text of a slot of the current bank, nullptr when the slot is empty or
  // out of range. The pointer is valid until the next change.
  const std::string *slot(int index) const;
  // Number of commands in the current bank.
  int command_count() const;

private:
  using bank_slots = std::array<std::optional<std::string>, slot_count>;

  bank_slots &current() { return banks[history_bank]; }
  const bank_slots &current() const { return banks[history_bank]; }
  bool filled(int index) const;
  void save_edited_line(const trel_edit_line &line);
  void show_slot(int index, trel_edit_line &line) const;

  std::array<bank_slots, bank_count> banks;
  std::array<int, bank_count> saved_positions{{1, 1, 1}};
  int history_position = 1;
  int history_bank = 0;
  bool password = false;
};
