// trel_ansi_interpreter: the display-free heart of an ANSI text pane. It
// interprets the small subset of escape sequences the server sends, keeps
// the colour state, records every coloured run in the render list and hands
// coloured text to the pane's scrollback store. The pane around it only
// paints and forwards events, reaching back through trel_ansi_display_client.
#pragma once
#include <cstdint>

#include "text/palette.h"
#include "text/render_list.h"
#include "text/text_view_client.h"
#include "text/textctrl_store.h"

// Displayable text reaches the store in pieces of at most this many characters.
constexpr int TREL_ANSI_PIECE_SIZE = 256;
// A control sequence whose accumulated value grows beyond this is consumed
// to its end and ignored; no meaningful code comes near it, and the
// accumulation can never overflow.
constexpr int TREL_ANSI_MAX_CSI_VALUE = 0xFFFFF;
// The reset code adds 2n + 1 empty lines for n visible lines; n is capped here.
constexpr int TREL_ANSI_MAX_RESET_LINES = 4096;
// Visible lines assumed when there is no pane to ask.
constexpr int TREL_ANSI_DEFAULT_VISIBLE_LINES = 20;
// Rebuilt runs go to the store in pieces this long, so even a piece of TABs
// stays within what one append keeps.
constexpr int TREL_ANSI_REBUILD_PIECE = 512;

class trel_ansi_interpreter {
public:
  // The store is not owned and must outlive the interpreter. Performs the
  // initial reset, so the first text is white.
  explicit trel_ansi_interpreter(trel_textctrl_store &store,
                                 trel_text_limits limits = trel_text_limits());
  trel_ansi_interpreter(const trel_ansi_interpreter &) = delete;
  trel_ansi_interpreter &operator=(const trel_ansi_interpreter &) = delete;

  // The pane to report to, or null; not owned.
  void set_client(trel_ansi_display_client *client) { client_ = client; }

  // Interprets a piece of server text; the parser state carries over, so a
  // sequence split across calls completes in the next one.
  void process_ansi_text(const char *bytes, int length);
  // Appends NUL-terminated text in the current colour, bypassing the
  // interpreter (the client's own messages). Null does nothing.
  void add_text(const char *text);
  void add_text(const char *text, int length);
  // Applies one parameter value as if it had ended a sequence with "m", in
  // the accumulated form (0x33 for yellow).
  void process_ansi_code(int value);
  // Applies the attribute and colour code to the store if they differ from
  // the pair applied last.
  void process_ansi_color();
  // Attribute 0 and colour white, applied even when white was applied last.
  void reset_ansi_state();
  void force_color_reapply();
  // Discards all text (render list and, unless suspended, the store) and
  // resets the colour state.
  void clear_display();
  // While suspended text only enters the render list; resuming rebuilds the
  // store from it. resume_updates returns 0 (and reports) when not suspended.
  void suspend_updates() { updates_suspended_ = 1; }
  int resume_updates();
  // Word wrap for the store, then a rebuild from the render list.
  void set_word_wrap(int flag);
  // Replaces the store's content by the runs of the render list, each in its
  // recorded colour, and shows the end.
  void rebuild_from_render_list();

  // Closes the pending run into a run of its own (when it holds text).
  void rerender_flush();
  // The render list with its pending run closed, for the log writers.
  const trel_render_list &flushed_render_list();
  const trel_render_list &render_list() const { return render_list_; }
  trel_textctrl_store &store() { return store_; }

  // Set when server text arrived; the framing clears it at each batch.
  int get_text_received() const { return text_received_; }
  void clear_text_received() { text_received_ = 0; }
  int get_updates_suspended() const { return updates_suspended_; }
  int get_attribute() const { return attribute_; }
  int get_color_code() const { return color_code_; }
  uint32_t get_current_rgb() const { return current_rgb_; }
  int get_current_attribute() const { return current_attribute_; }
  int get_current_color_code() const { return current_color_code_; }

  // Bytes the interpreter and its render list have allocated.
  size_t memory_usage() const {
    return sizeof(*this) - sizeof(render_list_) + render_list_.memory_usage();
  }

private:
  enum parse_mode_value { mode_plain = 1, mode_escape = 2 };

  void apply_colour_to_store(uint32_t rgb, int attribute);
  void handle_escape_byte(unsigned char byte);
  void handle_csi_byte(unsigned char byte);
  void add_reset_lines();

  trel_textctrl_store &store_;
  trel_ansi_display_client *client_ = nullptr;
  trel_render_list render_list_;

  int text_received_ = 0;
  int parse_mode_ = mode_plain;
  int in_csi_ = 0;
  int csi_value_ = 0;
  // Set when the current sequence went over TREL_ANSI_MAX_CSI_VALUE.
  int csi_overflow_ = 0;
  int attribute_ = 0;
  int applied_attribute_ = 0;
  int color_code_ = 0;
  int applied_color_code_ = 0;
  int updates_suspended_ = 0;
  int pending_attribute_ = 0;
  int pending_color_code_ = 0;
  uint32_t pending_rgb_ = 0;
  int current_attribute_ = 0;
  int current_color_code_ = 0;
  uint32_t current_rgb_ = 0;
};
