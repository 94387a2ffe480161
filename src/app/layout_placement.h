// Where the main window puts its panes: the placement behind trel_mw::relayout
// and the decisions of place_automap and place_group_display, as plain data
// in and plain data out. Needs no display; the main window applies the result.
#pragma once

// The three layout modes of current_layout. Any other value is laid out as
// the embedded layout.
constexpr int TREL_LAYOUT_EMBEDDED = 0;
constexpr int TREL_LAYOUT_LEFT_TOP = 1;
constexpr int TREL_LAYOUT_LEFT_BOTTOM = 2;

// Session state 2: only then does the channel window get room.
constexpr int TREL_SESSION_LOGGED_IN = 2;

// Fixed sizes of the main window's furniture.
constexpr int TREL_RIGHT_COLUMN_X_FROM_RIGHT = 99; // the right column starts at W - 99
constexpr int TREL_RIGHT_COLUMN_TAKES = 101;       // width left for the rest: W - 101
constexpr int TREL_DIRECTION_PAD_WIDTH = 97;
constexpr int TREL_DIRECTION_PAD_HEIGHT = 130;
constexpr int TREL_BOTTOM_STRIP_HEIGHT = 46;
constexpr int TREL_STATUS_BAR_HEIGHT = 21;
constexpr int TREL_STATUS_BARS_ROW_HEIGHT = 21;
constexpr int TREL_GROUP_COLUMN_WIDTH = 160;
// The status bars pane is always given this layout value by the main window.
constexpr int TREL_STATUS_BARS_LAYOUT = 15;
// No side or setting is taken larger than this (the largest X11 pixmap side),
// which keeps every sum of the placement far from int overflow.
constexpr int TREL_LAYOUT_MAX_SIDE = 32767;

// A rectangle in some window's client coordinates.
struct trel_rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

inline bool operator==(const trel_rect &a, const trel_rect &b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
inline bool operator!=(const trel_rect &a, const trel_rect &b) {
  return !(a == b);
}

// Who holds a pane and therefore whose coordinates its rectangle is in.
enum trel_pane_host {
  // Hidden; the rectangle is empty.
  TREL_HOST_HIDDEN = 0,
  // A child of the main window, at the rectangle (frame client coordinates).
  TREL_HOST_MAIN_WINDOW = 1,
  // A child of the main pane's text control, placed by the main pane itself
  // (the embedded layout); the rectangle is empty.
  TREL_HOST_MAIN_PANE = 2,
  // Inside the floating automap frame, at the rectangle (frame client
  // coordinates).
  TREL_HOST_AUTOMAP_FRAME = 3,
  // A top-level frame of its own (the floating automap frame): only the
  // rectangle's size counts, as the frame's client size.
  TREL_HOST_OWN_FRAME = 4,
};

// One pane's placement.
struct trel_pane_place {
  int host = TREL_HOST_HIDDEN;
  trel_rect rect;

  bool shown() const { return host != TREL_HOST_HIDDEN; }
};

// Everything the placement reads: the settings of the current character
// configuration under their own names, the session state, the client size
// and the sizes the panes ask for.
struct trel_layout_input {
  // Client area of the frame (see trel_layout_client_size for a reported 0).
  int client_width = 0;
  int client_height = 0;

  int current_layout = TREL_LAYOUT_EMBEDDED;
  int automap_display = 0;
  int automap_docked = 0;
  int group_status_display = 0; // 0 off, 1 or 2 on
  int direction_button_enable = 0;
  int hint_button_enable = 0;
  int fkey_button_display = 0;
  int popup_display = 0;
  int status_bar = 0;
  int hpbar_enable = 0;
  int exp_display = 0;
  int enemy_hpbar_enable = 0;
  int input_height = 24; // pixels
  int channel_window_enable = 0;
  int channel_window_height = 30; // percent of the room left in the middle column
  int session_state = 0;          // 2 is logged in

  // The automap pane's preferred size (its current size).
  int automap_width = 1;
  int automap_height = 1;
  // The height the group display asks for (its compute_height).
  int group_display_height = 1;
  // The width the function-key bar needs for a height of 46 (8 * 46 - 10).
  int fkey_bar_width = 8 * TREL_BOTTOM_STRIP_HEIGHT - 10;
};

// Where every pane goes. Rectangles of main-window children are in the
// frame's client coordinates; every shown rectangle is at least 1 by 1.
struct trel_layout_result {
  // The client size the placement used.
  int width = 0;
  int height = 0;
  // The current_layout value acted on (0, 1 or 2).
  int layout = TREL_LAYOUT_EMBEDDED;
  // Left column width L, middle column width M (x of the middle column is L).
  int left_width = 0;
  int middle_width = 1;

  trel_pane_place main_pane;
  trel_pane_place input;
  trel_pane_place status_bar;
  trel_pane_place status_bars; // the health, mana, movement, experience and enemy bars
  trel_pane_place channel_window;
  trel_pane_place group_display;
  trel_pane_place automap;
  // The floating automap frame: shown only while the map is undocked and on;
  // the rectangle's size is the client size to give it (position 0, 0: the
  // frame keeps wherever the player put it).
  trel_pane_place automap_frame;
  trel_pane_place direction_pad;
  trel_pane_place hint_bar;
  trel_pane_place fkey_bar;
  trel_pane_place popup_bar;

  // What the status bars pane is told to show, and its layout value.
  int show_health_bars = 0;
  int show_exp_bar = 0;
  int show_enemy_bar = 0;
  int status_bars_layout = TREL_STATUS_BARS_LAYOUT;
  // Placement mode of the group display: 1 in a side column of the main
  // window, 2 embedded in the main pane.
  int group_display_mode = 2;
};

// The layout mode acted on for a current_layout value: 1 and 2 as they are,
// anything else 0.
int trel_layout_mode(int current_layout);

// True when the automap is docked and shown (it then takes part in the
// layout of the main window or of the main pane).
bool trel_layout_map_docked_and_shown(const trel_layout_input &in);

// Places every pane for the settings and client size in `in`. Never fails:
// settings out of range are brought into range first (percent 0..100, sizes
// 1..TREL_LAYOUT_MAX_SIDE) and every placed size is at least 1.
trel_layout_result trel_layout_place(const trel_layout_input &in);
