// The placement of the main window's panes: right column, left column, bottom
// strip and the stack of the middle column, from the bottom up.
#include "app/layout_placement.h"

#include <algorithm>

namespace {

int clamp_side(int value, int low) {
  return std::clamp(value, low, TREL_LAYOUT_MAX_SIDE);
}

// Every pane that is placed is at least one pixel each way.
trel_pane_place placed(int host, int x, int y, int width, int height) {
  trel_pane_place p;
  p.host = host;
  p.rect.x = x;
  p.rect.y = y;
  p.rect.width = std::max(width, 1);
  p.rect.height = std::max(height, 1);
  return p;
}

trel_pane_place in_main_window(int x, int y, int width, int height) {
  return placed(TREL_HOST_MAIN_WINDOW, x, y, width, height);
}

trel_pane_place in_main_pane() {
  trel_pane_place p;
  p.host = TREL_HOST_MAIN_PANE;
  return p;
}

// The settings with every value the arithmetic below depends on brought into
// range, so that a damaged configuration file cannot overflow a sum.
trel_layout_input sanitised(const trel_layout_input &in) {
  trel_layout_input s = in;
  s.client_width = clamp_side(in.client_width, 0);
  s.client_height = clamp_side(in.client_height, 0);
  s.current_layout = trel_layout_mode(in.current_layout);
  s.input_height = clamp_side(in.input_height, 1);
  s.channel_window_height = std::clamp(in.channel_window_height, 0, 100);
  s.automap_width = clamp_side(in.automap_width, 1);
  s.automap_height = clamp_side(in.automap_height, 1);
  s.group_display_height = clamp_side(in.group_display_height, 1);
  s.fkey_bar_width = clamp_side(in.fkey_bar_width, 1);
  return s;
}

// The direction pad and the hint bar; returns the width left for the rest.
int place_right_column(const trel_layout_input &in, trel_layout_result &out) {
  const int W = in.client_width, H = in.client_height;
  if (!in.direction_button_enable && !in.hint_button_enable)
    return W;
  const int x = W - TREL_RIGHT_COLUMN_X_FROM_RIGHT;
  if (in.direction_button_enable)
    out.direction_pad = in_main_window(x, 2, TREL_DIRECTION_PAD_WIDTH, TREL_DIRECTION_PAD_HEIGHT);
  if (in.hint_button_enable) {
    const int y = in.direction_button_enable ? 2 + TREL_DIRECTION_PAD_HEIGHT + 2 : 2;
    out.hint_bar = in_main_window(x, y, TREL_DIRECTION_PAD_WIDTH, H - y);
  }
  return W - TREL_RIGHT_COLUMN_TAKES;
}

// The automap and the group display in layouts 1 and 2, their hosts in the
// embedded layout and while the map floats; returns the left column width.
int place_left_column(const trel_layout_input &in, bool strip, trel_layout_result &out) {
  const bool docked_map = trel_layout_map_docked_and_shown(in);
  const bool group = in.group_status_display != 0;
  const int mw = in.automap_width, mh = in.automap_height;
  const int gh = in.group_display_height;

  if (in.automap_display && !in.automap_docked) {
    out.automap = placed(TREL_HOST_AUTOMAP_FRAME, 0, 0, mw, mh);
    out.automap_frame = placed(TREL_HOST_OWN_FRAME, 0, 0, mw, mh);
  }

  if (in.current_layout == TREL_LAYOUT_EMBEDDED) {
    out.group_display_mode = 2;
    if (docked_map)
      out.automap = in_main_pane();
    if (group)
      out.group_display = in_main_pane();
    return 0;
  }

  out.group_display_mode = 1;
  const int H = in.client_height;
  if (in.current_layout == TREL_LAYOUT_LEFT_TOP) {
    if (docked_map) {
      out.automap = in_main_window(2, 2, mw, mh);
      if (group)
        out.group_display = in_main_window(2, 2 + mh + 10, mw, gh);
    } else if (group) {
      out.group_display = in_main_window(2, 2, TREL_GROUP_COLUMN_WIDTH, gh);
    }
  } else {
    if (docked_map) {
      const int map_y = H - mh - 2;
      out.automap = in_main_window(2, map_y, mw, mh);
      if (group)
        out.group_display = in_main_window(2, map_y - 10 - gh, mw, gh);
    } else if (group) {
      const int bottom = strip ? H - TREL_BOTTOM_STRIP_HEIGHT - 2 : H - 2;
      out.group_display = in_main_window(2, bottom - gh, TREL_GROUP_COLUMN_WIDTH, gh);
    }
  }
  if (docked_map)
    return mw + 4;
  return group ? TREL_GROUP_COLUMN_WIDTH + 4 : 0;
}

} // namespace

int trel_layout_mode(int current_layout) {
  if (current_layout == TREL_LAYOUT_LEFT_TOP || current_layout == TREL_LAYOUT_LEFT_BOTTOM)
    return current_layout;
  return TREL_LAYOUT_EMBEDDED;
}

bool trel_layout_map_docked_and_shown(const trel_layout_input &in) {
  return in.automap_display && in.automap_docked;
}

trel_layout_result trel_layout_place(const trel_layout_input &raw) {
  const trel_layout_input in = sanitised(raw);
  trel_layout_result out;
  out.width = in.client_width;
  out.height = in.client_height;
  out.layout = in.current_layout;

  const int G = place_right_column(in, out);
  const bool strip = in.fkey_button_display || in.popup_display;
  const int L = place_left_column(in, strip, out);
  const int M = std::max(G - L, 1);
  out.left_width = L;
  out.middle_width = M;

  // The bottom strip: function keys, then the popup buttons up to the middle
  // column's right edge. (Reaching the window's right edge would lay the
  // popup buttons over the foot of the hint bar.)
  int Hm = in.client_height;
  if (strip) {
    Hm -= TREL_BOTTOM_STRIP_HEIGHT;
    int x = L;
    if (in.fkey_button_display) {
      out.fkey_bar = in_main_window(L, Hm, in.fkey_bar_width, TREL_BOTTOM_STRIP_HEIGHT);
      x += in.fkey_bar_width;
    }
    if (in.popup_display)
      out.popup_bar = in_main_window(x, Hm, L + M - x, TREL_BOTTOM_STRIP_HEIGHT);
  }

  if (in.status_bar) {
    Hm -= TREL_STATUS_BAR_HEIGHT;
    out.status_bar = in_main_window(L, Hm, M, TREL_STATUS_BAR_HEIGHT);
  }

  Hm -= in.input_height;
  out.input = in_main_window(L, Hm, M, in.input_height);

  out.show_health_bars = in.hpbar_enable ? 1 : 0;
  out.show_exp_bar = in.exp_display ? 1 : 0;
  out.show_enemy_bar = in.enemy_hpbar_enable ? 1 : 0;
  int bars_height = 0;
  if (out.show_enemy_bar && out.show_health_bars)
    bars_height = 2 * TREL_STATUS_BARS_ROW_HEIGHT;
  else if (out.show_enemy_bar || out.show_health_bars || out.show_exp_bar)
    bars_height = TREL_STATUS_BARS_ROW_HEIGHT;
  if (bars_height > 0) {
    Hm -= bars_height;
    out.status_bars = in_main_window(L, Hm, M, bars_height);
  }

  int channel_height = 0;
  if (in.session_state == TREL_SESSION_LOGGED_IN && in.channel_window_enable) {
    channel_height = std::max(Hm * in.channel_window_height / 100, 1);
    out.channel_window = in_main_window(L, 0, M, channel_height);
  }

  out.main_pane = in_main_window(L, channel_height, M, Hm - channel_height);
  return out;
}
