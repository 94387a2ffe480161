// The size steps of the input line and the channel window, and the resize guard.
#include "app/layout_steps.h"

#include "app/layout_placement.h"
#include "support/debug_log.h"

#include <algorithm>

int trel_shrink_input_height(int input_height) {
  // Compared before subtracting, so that no stored value can underflow.
  if (input_height <= TREL_INPUT_HEIGHT_MIN + TREL_INPUT_HEIGHT_STEP - 1)
    return TREL_INPUT_HEIGHT_MIN;
  return input_height - TREL_INPUT_HEIGHT_STEP;
}

int trel_grow_input_height(int input_height) {
  if (input_height >= TREL_LAYOUT_MAX_SIDE - TREL_INPUT_HEIGHT_STEP)
    return TREL_LAYOUT_MAX_SIDE;
  return input_height + TREL_INPUT_HEIGHT_STEP;
}

int trel_grow_channel_window_height(int channel_window_height) {
  if (channel_window_height >= TREL_CHANNEL_HEIGHT_MAX - TREL_CHANNEL_HEIGHT_STEP)
    return TREL_CHANNEL_HEIGHT_MAX;
  return channel_window_height + TREL_CHANNEL_HEIGHT_STEP;
}

int trel_shrink_channel_window_height(int channel_window_height) {
  // "5 less is more than 9", compared without subtracting.
  if (channel_window_height > 9 + TREL_CHANNEL_HEIGHT_STEP)
    return channel_window_height - TREL_CHANNEL_HEIGHT_STEP;
  return TREL_CHANNEL_HEIGHT_MIN;
}

trel_resize_action trel_resize_guard::on_resize(bool constructed, int width, int height) {
  if (!constructed) {
    if (debug_level >= 2)
      trel_client_debug_printf("trel_mw::OnResize() - windows bug triggered, constructor not yet "
                               "finished.  Ignoring.\n");
    return TREL_RESIZE_NOT_CONSTRUCTED;
  }
  if (width == last_width_ && height == last_height_) {
    if (debug_level >= 2)
      trel_client_debug_printf("trel_mw::OnResize() - ignoring double resize.\n");
    return TREL_RESIZE_DOUBLE;
  }
  if (width != 0 && height != 0) {
    last_width_ = width;
    last_height_ = height;
  }
  return TREL_RESIZE_RELAYOUT;
}

void trel_resize_guard::client_size(int reported_width, int reported_height, int *width,
                                    int *height) const {
  int w = reported_width, h = reported_height;
  if ((w <= 0 || h <= 0) && last_width_ > 0 && last_height_ > 0) {
    w = last_width_;
    h = last_height_;
  }
  if (width)
    *width = std::max(w, 0);
  if (height)
    *height = std::max(h, 0);
}
