// The input line's command history: storing, browsing and bank switching.
#include "input/command_history.h"

#include "support/debug_log.h"

#include <cstdio>

namespace {

// A caret the control reports outside the text is treated as the nearest end.
long clamp_caret(const trel_edit_line &line) {
  const long length = static_cast<long>(line.text.size());
  if (line.caret < 0)
    return 0;
  return line.caret > length ? length : line.caret;
}

} // namespace

trel_command_history::trel_command_history() {
  for (bank_slots &slots : banks) {
    slots[0] = std::string();
    slots[edited_slot] = std::string();
  }
  // Typing Up at the very start offers the one command that works while
  // disconnected.
  banks[0][newest_slot] = std::string("connect");
}

bool trel_command_history::filled(int index) const {
  return index >= 0 && index < slot_count && current()[index].has_value();
}

const std::string *trel_command_history::slot(int index) const {
  return filled(index) ? &*current()[index] : nullptr;
}

int trel_command_history::saved_position(int bank) const {
  return bank >= 0 && bank < bank_count ? saved_positions[bank] : -1;
}

int trel_command_history::command_count() const {
  int count = 0;
  for (int i = newest_slot; i < slot_count; i++)
    count += filled(i) ? 1 : 0;
  return count;
}

int trel_command_history::history_store(const std::string &text) {
  if (password)
    return 0;
  bank_slots &slots = current();
  int added = 0;
  if (!(slots[newest_slot] && *slots[newest_slot] == text)) {
    // The oldest command (slot 99) falls out; the rest move one place back.
    for (int i = slot_count - 1; i > newest_slot; i--)
      slots[i] = std::move(slots[i - 1]);
    slots[newest_slot] = text;
    added = 1;
  }
  history_position = 1;
  slots[edited_slot] = std::string();
  return added;
}

void trel_command_history::save_edited_line(const trel_edit_line &line) {
  // A hidden line (a password) is never kept, not even while browsing.
  current()[edited_slot] = password ? std::string() : line.text;
}

void trel_command_history::show_slot(int index, trel_edit_line &line) const {
  line.text = *current()[index];
  line.caret = static_cast<long>(line.text.size());
}

trel_history_step trel_command_history::history_up(trel_edit_line &line) {
  const long caret = clamp_caret(line);
  if (caret < static_cast<long>(line.text.size())) {
    // Inside a multi-line entry Up first walks back over its line breaks.
    const std::string::size_type found =
        caret == 0 ? std::string::npos : line.text.rfind('\n', static_cast<size_t>(caret - 1));
    line.caret = found == std::string::npos ? 0 : static_cast<long>(found);
    return trel_history_step::caret_moved;
  }
  const int p = history_position;
  if (p < 0 || p > slot_count - 2 || !filled(p) || !filled(p + 1))
    return trel_history_step::nothing;
  if (p == edited_slot)
    save_edited_line(line);
  history_position = p + 1;
  show_slot(history_position, line);
  return trel_history_step::text_replaced;
}

trel_history_step trel_command_history::history_down(trel_edit_line &line) {
  const long caret = clamp_caret(line);
  const long length = static_cast<long>(line.text.size());
  if (caret < length) {
    // Search strictly after the caret: a caret standing on a line break
    // must still move on, or Down would never leave it.
    const std::string::size_type found = line.text.find('\n', static_cast<size_t>(caret + 1));
    line.caret = found == std::string::npos ? length : static_cast<long>(found);
    return trel_history_step::caret_moved;
  }
  const int p = history_position;
  if (p < 1) {
    line.text.clear();
    line.caret = 0;
    return trel_history_step::text_replaced;
  }
  if (!filled(p))
    return trel_history_step::nothing;
  if (p == edited_slot)
    save_edited_line(line);
  history_position = p - 1;
  if (!filled(history_position))
    return trel_history_step::nothing;
  show_slot(history_position, line);
  return trel_history_step::text_replaced;
}

int trel_command_history::set_history_bank(int bank) {
  if (bank < 0 || bank >= bank_count) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in trel_command_history::set_history_bank(), no bank %d.\n",
                               bank);
    return 0;
  }
  if (bank == history_bank)
    return 1;
  saved_positions[history_bank] = history_position;
  history_bank = bank;
  history_position = saved_positions[bank];
  return 1;
}

std::string trel_command_history::show_history_text() const {
  std::string text = "\nRecent Command History:";
  for (int n = listed_commands; n >= 1; n--) {
    const std::string *command = slot(n + 1);
    if (!command)
      continue;
    char number[16];
    snprintf(number, sizeof number, "\n%2d - ", n);
    text += number;
    text += *command;
  }
  text += "\n";
  return text;
}
