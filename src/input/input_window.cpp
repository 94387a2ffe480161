// The input pane: frame painting, flash and the placement of the line edit.
#include "input/input_window.h"

#include <algorithm>

namespace {
// All four sides of the pane frame.
constexpr int frame_flags = 15;
} // namespace

trel_input_window::trel_input_window(wxWindow *parent, const wxString &name, trel_input_host &host,
                                     const wxFont *font)
    : trel_embedded_window(parent, wxID_ANY, name, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE),
      edit(new trel_line_edit(this, name + " input window", host, font)) {}

void trel_input_window::size_changed(bool) {
  const int width = offscreen_bitmap->width();
  const int height = offscreen_bitmap->height();
  edit->SetSize(2, 1, std::max(1, width - 4), std::max(1, height - 2));
  request_repaint();
}

void trel_input_window::paint_to_bitmap(trel_bitmap &target) {
  target.Clear(trel_colour{0, 0, 0});
  if (anim_count > 0) {
    const int level = (anim_count & 1) ? 255 : 0;
    target.draw_pane_frame(frame_flags, trel_colour{level, level, level});
  } else {
    target.draw_pane_frame(frame_flags);
  }
}
