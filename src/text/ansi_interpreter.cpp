// The ANSI interpreter: escape sequences, colour state, render list and the
// add, reset, clear, suspend and rebuild operations of a text pane.
#include "text/ansi_interpreter.h"

#include <algorithm>
#include <cstring>

#include "support/debug_log.h"
#include "text/byte_scan.h"

namespace {

constexpr unsigned char escape_byte = 27;

// What plain-text mode does with each byte.
enum plain_class : unsigned char { dropped = 0, copied, dotted, line_feed, escape };

struct plain_table {
  unsigned char of[256];
  plain_table() {
    for (int i = 0; i < 256; i++) {
      if (i == '\t' || (i >= 28 && i <= 126))
        of[i] = copied;
      else if (i >= 128)
        of[i] = dotted;
      else
        of[i] = dropped; // 0 to 8, 11 to 26 (carriage return among them) and 127
    }
    of[int('\n')] = line_feed;
    of[escape_byte] = escape;
  }
};

const plain_table plain;

const trel_text_colour reverse_background{64, 64, 64};
const trel_text_colour normal_background{0, 0, 0};

} // namespace

trel_ansi_interpreter::trel_ansi_interpreter(trel_textctrl_store &store, trel_text_limits limits)
    : store_(store), render_list_(limits) {
  reset_ansi_state();
}

void trel_ansi_interpreter::process_ansi_text(const char *bytes, int length) {
  if (!bytes || length <= 0)
    return;
  text_received_ = 1;
  const unsigned char *in = reinterpret_cast<const unsigned char *>(bytes);
  char piece[TREL_ANSI_PIECE_SIZE];
  int filled = 0;
  int i = 0;
  while (i < length) {
    unsigned char byte = in[i];
    if (parse_mode_ != mode_plain) {
      i++;
      if (in_csi_)
        handle_csi_byte(byte);
      else
        handle_escape_byte(byte);
      continue;
    }
    switch (plain.of[byte]) {
    case copied: {
      // The whole stretch of plain characters that fits the piece.
      int stop = std::min(length, i + (TREL_ANSI_PIECE_SIZE - filled));
      int j = i + 1;
      for (;;) {
        j += int(trel_printable_prefix(in + j, size_t(stop - j)));
        if (j < stop && plain.of[in[j]] == copied)
          j++; // a TAB or a byte from 28 to 31
        else
          break;
      }
      if (filled == 0) {
        // Most pieces are such a stretch alone, ended by an escape, a line
        // feed, the piece size or the input: they go out without a copy.
        if (j < length && in[j] == '\n') {
          add_text(bytes + i, j + 1 - i);
          i = j + 1;
          process_ansi_color();
          continue;
        }
        if (j == length || in[j] == escape_byte || j - i == TREL_ANSI_PIECE_SIZE) {
          add_text(bytes + i, j - i);
          i = j;
          continue;
        }
      }
      std::memcpy(piece + filled, in + i, size_t(j - i));
      filled += j - i;
      i = j;
      break;
    }
    case dotted:
      piece[filled++] = '.';
      i++;
      break;
    case line_feed:
      piece[filled++] = '\n';
      i++;
      add_text(piece, filled);
      filled = 0;
      process_ansi_color();
      continue;
    case escape:
      if (filled) {
        add_text(piece, filled);
        filled = 0;
      }
      i++;
      {
        // The usual sequence, "[", a few digits and "m", wholly inside this
        // input: applied at once. Anything else goes through the byte-wise
        // states below, which give the same result.
        int k = i + 1;
        int value = 0;
        if (i < length && in[i] == '[') {
          while (k < length && k - i <= 4 && in[k] >= '0' && in[k] <= '9')
            value = value * 16 + (in[k++] - '0');
          if (k < length && in[k] == 'm') {
            process_ansi_code(value);
            i = k + 1;
            continue;
          }
        }
      }
      parse_mode_ = mode_escape;
      in_csi_ = 0;
      csi_value_ = 0;
      csi_overflow_ = 0;
      continue;
    default:
      i++;
      continue;
    }
    if (filled == TREL_ANSI_PIECE_SIZE) {
      add_text(piece, filled);
      filled = 0;
    }
  }
  if (filled)
    add_text(piece, filled);
}

void trel_ansi_interpreter::handle_escape_byte(unsigned char byte) {
  if (byte == '[') {
    in_csi_ = 1;
    return;
  }
  parse_mode_ = mode_plain;
  if (byte == 'c') {
    reset_ansi_state();
    add_reset_lines();
    return;
  }
  if (debug_level >= 2)
    trel_client_debug_printf("process_ansi_code(1) - got unhandled code %d.\n", int(byte));
}

void trel_ansi_interpreter::handle_csi_byte(unsigned char byte) {
  if (byte >= '0' && byte <= '9') {
    // Each decimal digit counts as a hexadecimal one, so 31 becomes 0x31.
    int digit = byte - '0';
    if (csi_overflow_ || csi_value_ > (TREL_ANSI_MAX_CSI_VALUE - digit) / 16)
      csi_overflow_ = 1;
    else
      csi_value_ = csi_value_ * 16 + digit;
    return;
  }
  parse_mode_ = mode_plain;
  in_csi_ = 0;
  if (csi_overflow_) {
    csi_overflow_ = 0;
    if (debug_level >= 2)
      trel_client_debug_printf(
          "Warning in trel_ansi_display::process_ansi_text(), over-long control sequence "
          "ignored.\n");
    return;
  }
  if (byte == 'm') {
    process_ansi_code(csi_value_);
    return;
  }
  // Any other final byte, the semicolon of a combined sequence included,
  // ends the sequence unapplied; the server sends one parameter per sequence.
  if (debug_level >= 2)
    trel_client_debug_printf("process_ansi_code(2) - ignoring unhandled code %d.\n", int(byte));
}

void trel_ansi_interpreter::add_reset_lines() {
  int visible = client_ ? client_->get_visible_line_count() : TREL_ANSI_DEFAULT_VISIBLE_LINES;
  visible = std::clamp(visible, 0, TREL_ANSI_MAX_RESET_LINES);
  // One line feed per call: only the first of them may be skipped by a
  // freshly cleared store.
  for (int n = 0; n < 2 * visible + 1; n++)
    add_text("\n", 1);
}

void trel_ansi_interpreter::process_ansi_code(int value) {
  switch (value) {
  case 0:
    attribute_ = TREL_ATTRIBUTE_NORMAL;
    color_code_ = TREL_COLOR_DEFAULT;
    break;
  case TREL_COLOR_RED:
  case TREL_COLOR_GREEN:
  case TREL_COLOR_YELLOW:
  case TREL_COLOR_BLUE:
  case TREL_COLOR_PURPLE:
  case TREL_COLOR_CYAN:
  case TREL_COLOR_WHITE:
    color_code_ = value;
    break;
  case 1:
    attribute_ = TREL_ATTRIBUTE_BRIGHT;
    break;
  case 2:
    attribute_ = TREL_ATTRIBUTE_DIM;
    break;
  case 5:
    attribute_ = TREL_ATTRIBUTE_BLINK;
    break;
  case 7:
    attribute_ = TREL_ATTRIBUTE_REVERSE;
    break;
  case 0x22:
    attribute_ = TREL_ATTRIBUTE_NORMAL;
    break;
  default:
    if (debug_level >= 2)
      trel_client_debug_printf(
          "error in trel_ansi_display::process_ansi_code() - bad value '%d'.\n", value);
    break;
  }
  process_ansi_color();
}

void trel_ansi_interpreter::apply_colour_to_store(uint32_t rgb, int attribute) {
  // Reverse video darkens the background of the whole pane, not of the run.
  store_.set_text_colors(trel_rgb_to_colour(rgb), attribute == TREL_ATTRIBUTE_REVERSE
                                                      ? reverse_background
                                                      : normal_background);
}

void trel_ansi_interpreter::process_ansi_color() {
  if (attribute_ == applied_attribute_ && color_code_ == applied_color_code_)
    return;
  uint32_t rgb = trel_palette_lookup(nullptr, color_code_, attribute_);
  current_rgb_ = rgb;
  current_color_code_ = color_code_;
  current_attribute_ = attribute_;
  if (render_list_.pending_empty()) {
    pending_rgb_ = rgb;
    pending_color_code_ = color_code_;
    pending_attribute_ = attribute_;
  }
  if (!updates_suspended_)
    apply_colour_to_store(rgb, attribute_);
  applied_attribute_ = attribute_;
  applied_color_code_ = color_code_;
}

void trel_ansi_interpreter::reset_ansi_state() {
  // The step through yellow makes white apply even when it was applied last.
  attribute_ = TREL_ATTRIBUTE_NORMAL;
  color_code_ = TREL_COLOR_YELLOW;
  process_ansi_color();
  color_code_ = TREL_COLOR_WHITE;
  process_ansi_color();
}

void trel_ansi_interpreter::force_color_reapply() {
  applied_attribute_ = -1;
  process_ansi_color();
}

void trel_ansi_interpreter::add_text(const char *text) {
  if (!text)
    return;
  add_text(text, int(std::strlen(text)));
}

void trel_ansi_interpreter::add_text(const char *text, int length) {
  if (!text)
    return;
  if (length < 0)
    length = 0;
  if (length > 0) {
    // An empty pending run simply takes the colour in force; a non-empty one
    // is closed first when the colour moved on.
    if (render_list_.pending_empty()) {
      pending_rgb_ = current_rgb_;
      pending_color_code_ = current_color_code_;
      pending_attribute_ = current_attribute_;
    } else if (current_attribute_ != pending_attribute_ || current_rgb_ != pending_rgb_) {
      rerender_flush();
    }
    render_list_.append_pending(text, length);
  }
  if (!updates_suspended_)
    store_.append_text(text, length);
}

void trel_ansi_interpreter::rerender_flush() {
  if (render_list_.pending_empty()) {
    if (debug_level >= 2)
      trel_client_debug_printf(
          "trel_ansi_display - rerender_flush() - temp space was empty, WTF?\n");
    return;
  }
  render_list_.flush(pending_rgb_, pending_attribute_, pending_color_code_);
  pending_rgb_ = current_rgb_;
  pending_color_code_ = current_color_code_;
  pending_attribute_ = current_attribute_;
}

const trel_render_list &trel_ansi_interpreter::flushed_render_list() {
  if (!render_list_.pending_empty())
    rerender_flush();
  return render_list_;
}

void trel_ansi_interpreter::clear_display() {
  if (!render_list_.pending_empty())
    rerender_flush();
  render_list_.clear();
  if (!updates_suspended_)
    store_.clear_text();
  pending_attribute_ = 0;
  current_attribute_ = 0;
  current_color_code_ = 0;
  pending_rgb_ = 0;
  current_rgb_ = 0;
  reset_ansi_state();
}

int trel_ansi_interpreter::resume_updates() {
  if (!updates_suspended_) {
    if (debug_level >= 1)
      trel_client_debug_printf(
          "Error in trel_ansi_display::resume_updates(), updates were not suspended?\n");
    return 0;
  }
  updates_suspended_ = 0;
  rebuild_from_render_list();
  if (client_)
    client_->request_repaint();
  return 1;
}

void trel_ansi_interpreter::set_word_wrap(int flag) {
  store_.set_word_wrap(flag);
  rebuild_from_render_list();
}

void trel_ansi_interpreter::rebuild_from_render_list() {
  if (!render_list_.pending_empty())
    rerender_flush();
  store_.clear_text();
  render_list_.for_each_run([this](const trel_render_run &run) {
    apply_colour_to_store(trel_colour_to_rgb(trel_text_colour{run.red, run.green, run.blue}),
                          run.attribute);
    // A run can be longer than one append keeps; it goes in pieces.
    for (int offset = 0; offset < run.length; offset += TREL_ANSI_REBUILD_PIECE)
      store_.append_text(run.text + offset, std::min(TREL_ANSI_REBUILD_PIECE, run.length - offset));
  });
  // The store now holds the last run's colour; text that follows must get
  // the colour in force, which may have changed since that run.
  force_color_reapply();
  if (client_)
    client_->scroll_to_end();
}
