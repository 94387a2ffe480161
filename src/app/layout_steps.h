// The small decisions around the main window's layout: the keyboard size
// steps of the input line and the channel window, the client size to lay out
// when the toolkit reports none, and the guard that lets only a real resize
// through to a relayout.
#pragma once

// Lowest input line height shrink_input leaves, and its step.
constexpr int TREL_INPUT_HEIGHT_MIN = 24;
constexpr int TREL_INPUT_HEIGHT_STEP = 12;
// channel_window_height limits (percent) of the channel size steps.
constexpr int TREL_CHANNEL_HEIGHT_MIN = 10;
constexpr int TREL_CHANNEL_HEIGHT_MAX = 80;
constexpr int TREL_CHANNEL_HEIGHT_STEP = 5;

// input_height after shrink_input: 12 less, but 24 when that would be 23 or less.
int trel_shrink_input_height(int input_height);
// input_height after grow_input: 12 more. The only ceiling is the largest
// window side, which no real window reaches but which keeps the sum from
// overflowing after endless presses.
int trel_grow_input_height(int input_height);
// channel_window_height after grow_channel_window: 5 more, at most 80.
int trel_grow_channel_window_height(int channel_window_height);
// channel_window_height after shrink_channel_window: 5 less when that is more
// than 9, otherwise 10.
int trel_shrink_channel_window_height(int channel_window_height);

// What OnResize does with a size event.
enum trel_resize_action {
  // The constructor has not finished: ignored (logged).
  TREL_RESIZE_NOT_CONSTRUCTED = 0,
  // Same size as last time: ignored (logged).
  TREL_RESIZE_DOUBLE = 1,
  // A real change: relayout and repaint.
  TREL_RESIZE_RELAYOUT = 2,
};

// The last client size of the main window and the decisions made from it.
class trel_resize_guard {
public:
  // Decides what a size event of the given client size does, writes the
  // messages of the two ignored cases (debug level 2 and up), and remembers
  // the size of a real change when both sides are non-zero.
  trel_resize_action on_resize(bool constructed, int width, int height);

  // The client size to lay out: the reported one, or the last real one when
  // the toolkit reports a zero side and a last size is known.
  void client_size(int reported_width, int reported_height, int *width, int *height) const;

  // Both -1 until the first real resize.
  int last_width() const { return last_width_; }
  int last_height() const { return last_height_; }

private:
  int last_width_ = -1;
  int last_height_ = -1;
};
