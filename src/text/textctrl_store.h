// trel_textctrl_store: the display-free scrollback store of a text pane. It
// keeps the converted text of every append in one contiguous buffer with its
// foreground colours as runs, breaks it into display lines as it arrives
// (and again when the width, the font or word wrap changes), drops the
// oldest lines beyond its limits, and gives the painter a locked view of the
// lines with their coloured runs and pixel widths.
//
// Threads: every operation is meant for the GUI thread. The mutex guards the
// text, the runs and the lines; append_text, rebreak_all, clear_text and a
// trel_textctrl_reader hold it, and none of them may be called while a
// reader is alive on the same thread (the mutex is not recursive). The small
// getters read without locking, which is safe on the one writing thread.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "text/line_breaker.h"
#include "text/palette.h"
#include "text/text_buffer.h"
#include "text/text_limits.h"
#include "text/text_view_client.h"

// Characters beyond this in one append are dropped (the column still counts them).
constexpr int TREL_TEXTCTRL_APPEND_LIMIT = 5999;
// Entries of the width table: one per byte value.
constexpr int TREL_TEXTCTRL_CHAR_COUNT = 256;
// A glyph wider than this is taken as this wide (a defence against a broken
// width table; real glyphs are a few dozen pixels).
constexpr int TREL_TEXTCTRL_MAX_CHAR_WIDTH = 4096;

// A change of foreground colour at offset start of the store's text.
struct trel_textctrl_colour_run {
  uint32_t start;
  uint32_t rgb;
};

// One stretch of a display line in one colour, ready to draw. text is not
// NUL-terminated and stays valid while the reader that produced it lives.
struct trel_text_run {
  const char *text = nullptr;
  int length = 0;
  trel_text_colour colour;
  // Pixels, from the width table.
  int width = 0;
};

// One display line. Like a run, valid while its reader lives.
struct trel_text_line {
  const char *text = nullptr;
  int length = 0;
  // 1 when a line feed ended it, 0 when it wrapped or is still being filled.
  int complete = 0;
  int width = 0;
};

// Walks the coloured runs of one display line, left to right.
class trel_text_run_cursor {
public:
  // 1 and the next run, or 0 when the line has no more.
  int next(trel_text_run *run);

private:
  friend class trel_textctrl_reader;
  const char *text_ = nullptr;
  uint32_t position_ = 0;
  uint32_t end_ = 0;
  const trel_textctrl_colour_run *runs_ = nullptr;
  size_t run_ = 0;
  size_t run_count_ = 0;
  const int *widths_ = nullptr;
};

class trel_textctrl_store {
public:
  explicit trel_textctrl_store(trel_text_limits limits = trel_text_limits());
  trel_textctrl_store(const trel_textctrl_store &) = delete;
  trel_textctrl_store &operator=(const trel_textctrl_store &) = delete;

  // The pane to report to, or null; not owned.
  void set_client(trel_textctrl_client *client) { client_ = client; }

  // Converts and stores text (NUL-terminated) in the current foreground
  // colour and breaks it into lines; the owner requests the repaint. Returns
  // the number of bytes stored (at most TREL_TEXTCTRL_APPEND_LIMIT).
  int append_text(const char *text);
  // The same for length bytes (a NUL among them is dropped).
  int append_text(const char *text, int length);

  // The foreground for text appended from now on, and the background of the
  // whole pane (also the one a colour flash returns to).
  void set_text_colors(const trel_text_colour &foreground, const trel_text_colour &background) {
    foreground_ = foreground;
    background_ = background;
    base_background_ = background;
  }
  // A colour flash moves the background alone.
  void set_background(const trel_text_colour &background) { background_ = background; }

  // Adopts a font's measurements: the pixel width of each byte value (256
  // entries; only bytes 32 to 126 have glyphs, all others measure 0) and the
  // line height. Re-breaks everything.
  void set_font_metrics(const int *char_widths, int line_height);
  // The pane's client width changed: re-breaks everything when it differs
  // from the width of the last re-break. Returns 1 when it re-broke.
  int set_width(int width);
  // Word wrap on or off; re-breaks everything when it changes.
  void set_word_wrap(int flag);

  // Rebuilds every display line from the stored text.
  void rebreak_all();
  // Forgets all text; the next append skips its leading line feeds.
  void clear_text();

  // The largest width among bytes 32 to 126 and the line height; either may be null.
  void get_font_metrics(int *max_char_width, int *line_height) const;

  // Scroll state (the pane's scrolling moves it; appends follow the last
  // line while not locked).
  int get_current_line() const { return int(lines_.size() - line_head_) - 1; }
  int get_line_count() const { return int(lines_.size() - line_head_); }
  int get_bottom_line() const { return bottom_line_; }
  // bottom_line = line, but not below 0 and not above current_line + visible_count.
  void set_bottom_line(int line, int visible_count);
  int is_scroll_locked() const { return scroll_locked_; }
  void set_scroll_locked(int flag) { scroll_locked_ = flag ? 1 : 0; }

  int get_last_width() const { return last_width_; }
  int get_word_wrap() const { return word_wrap_; }
  int get_line_height() const { return line_height_; }
  const int *get_char_widths() const { return char_width_; }
  const trel_text_colour &get_foreground() const { return foreground_; }
  const trel_text_colour &get_background() const { return background_; }
  const trel_text_colour &get_base_background() const { return base_background_; }

  // Display lines dropped by the limits since the store was made: a pane
  // that keeps line numbers (a selection) subtracts the growth of this.
  uint64_t get_dropped_line_count() const { return dropped_lines_; }
  // Bytes of stored text.
  int64_t get_text_bytes() const { return text_.live(); }
  // Bytes this store has allocated, its own object included.
  size_t memory_usage() const;
  const trel_text_limits &limits() const { return limits_; }

private:
  friend class trel_textctrl_reader;

  int append_locked(const unsigned char *text, int length);
  void rebreak_locked();
  void enforce_limits_locked();
  void drop_lines_locked(size_t count);
  void cut_open_line_locked(uint32_t new_start);
  void advance_run_head_locked();
  void compact_locked();
  uint32_t line_end_locked(size_t record) const;

  mutable std::mutex mutex_;
  trel_text_limits limits_;
  trel_textctrl_client *client_ = nullptr;

  int last_width_ = -1;
  int char_width_[TREL_TEXTCTRL_CHAR_COUNT] = {0};
  int line_height_ = 0;
  trel_text_colour background_{0, 0, 0};
  trel_text_colour base_background_{0, 0, 0};
  trel_text_colour foreground_{255, 255, 255};
  int bottom_line_ = 0;
  int scroll_locked_ = 0;
  int64_t column_ = 0;
  int skip_leading_newlines_ = 1;
  int word_wrap_ = 1;

  // The source text of every append since the last clear (the master copy),
  // its colour runs, and the display lines cut from it. Each keeps a dead
  // prefix that the limits dropped until compaction moves it away.
  trel_text_buffer text_;
  std::vector<trel_textctrl_colour_run> runs_;
  size_t run_head_ = 0;
  std::vector<trel_text_line_record> lines_;
  size_t line_head_ = 0;
  trel_line_breaker breaker_;
  uint64_t dropped_lines_ = 0;
};

// A locked, read-only view of a store for painting and selection: holds the
// store's mutex for its whole life, so keep it short (one paint).
class trel_textctrl_reader {
public:
  explicit trel_textctrl_reader(const trel_textctrl_store &store);
  trel_textctrl_reader(const trel_textctrl_reader &) = delete;
  trel_textctrl_reader &operator=(const trel_textctrl_reader &) = delete;

  int current_line() const { return store_.get_current_line(); }
  int bottom_line() const { return store_.bottom_line_; }
  int line_height() const { return store_.line_height_; }
  const int *char_widths() const { return store_.char_width_; }

  // 1 and display line index (0 is the oldest kept), or 0 outside 0 to current_line().
  int get_line(int index, trel_text_line *line) const;
  // The runs of line index; a cursor that yields nothing outside the range.
  trel_text_run_cursor runs(int index) const;

  // Calls visit(int index, trel_text_run_cursor &runs) for the lines shown
  // from the bottom up: bottom, bottom - 1, ... for at most count slots and
  // never below line 0. A slot above current_line() (the view scrolled past
  // the end) holds no line and is skipped, though it still uses up a slot; a
  // painter places line index at (bottom - index) lines above the bottom.
  // Returns the number of lines visited.
  template <typename Visitor>
  int for_each_line_bottom_up(int bottom, int count, Visitor &&visit) const {
    int last = current_line();
    int visited = 0;
    for (int slot = 0, index = bottom; slot < count && index >= 0; slot++, index--) {
      if (index > last)
        continue;
      trel_text_run_cursor cursor = runs(index);
      visit(index, cursor);
      visited++;
    }
    return visited;
  }

private:
  const trel_textctrl_store &store_;
  std::lock_guard<std::mutex> lock_;
};
