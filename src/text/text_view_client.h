// The small interfaces through which the display-free text models report to
// the panes that show them. A pane implements the one of its model; a model
// with no client (as in tests and benchmarks) simply skips the reports.
#pragma once

// What the scrollback store needs from its pane.
class trel_textctrl_client {
public:
  virtual ~trel_textctrl_client() = default;
  // The display lines were rebuilt or cleared: any selection refers to lines
  // that no longer exist. Called without the store's mutex held.
  virtual void clear_selection() = 0;
  // The pane must be painted again (soon, not from inside this call).
  virtual void request_repaint() = 0;
};

// What the ANSI interpreter needs from its pane.
class trel_ansi_display_client {
public:
  virtual ~trel_ansi_display_client() = default;
  // Whole text lines that fit in the pane.
  virtual int get_visible_line_count() = 0;
  // Show the last line (after a rebuild).
  virtual void scroll_to_end() = 0;
  // The pane must be painted again.
  virtual void request_repaint() = 0;
};
