// trel_input_window: the pane of the input line below the main text pane. It
// paints a black field with the pane frame (flashing on request) and holds
// the line edit inside the frame.
#pragma once
#include "input/line_edit.h"
#include "widgets/embedded_window.h"

class trel_input_host;
class wxFont;

class trel_input_window : public trel_embedded_window {
public:
  // The line edit is named after the pane, followed by " input window".
  trel_input_window(wxWindow *parent, const wxString &name, trel_input_host &host,
                    const wxFont *font);

  // Places the line edit at (2, 1) with size (W - 4, H - 2), each at least 1.
  void size_changed(bool bitmap_replaced) override;
  // Black, with the pane frame on all four sides; while flashing the frame
  // is white on odd steps and black on even ones.
  void paint_to_bitmap(trel_bitmap &target) override;
  bool animation_callback(int elapsed_ms) override { return flash_step(elapsed_ms); }

  // The child is owned by the toolkit, like every child window.
  trel_line_edit &line_edit() { return *edit; }

private:
  trel_line_edit *edit;
};
