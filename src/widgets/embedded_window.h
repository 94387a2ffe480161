// trel_embedded_window: the base of every custom-painted pane. It draws its
// whole content into an offscreen bitmap and copies that to the screen, takes
// its place only from the layout, and can join the cooperative animation that
// the main timer drives. Also trel_transparent_window (a window-less group of
// child panes) and trel_frame (the base of the top-level frames).
#pragma once
#include "widgets/bitmap.h"

#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/window.h>

#include <memory>

class trel_embedded_window : public wxWindow {
public:
  trel_embedded_window(wxWindow *parent, wxWindowID id, const wxString &name,
                       const wxPoint &position = wxDefaultPosition,
                       const wxSize &size = wxDefaultSize, long style = wxBORDER_NONE);
  ~trel_embedded_window() override;

  // Lays out children and rebuilds size-dependent images; bitmap_replaced is
  // true when the offscreen bitmap now has a new size.
  virtual void size_changed(bool bitmap_replaced) = 0;
  // Draws the complete content into target (always offscreen_bitmap).
  virtual void paint_to_bitmap(trel_bitmap &target) = 0;
  // One animation step; false leaves the animation list.
  virtual bool animation_callback(int elapsed_ms);
  virtual void set_geometry(int x, int y, int width, int height);
  virtual void set_size(int width, int height);
  virtual void force_layout() { size_changed(true); }

  // Repaint the whole pane later, without erasing.
  void request_repaint() { Refresh(false); }
  void start_animation();
  // The standard 16-step border flash.
  void flash();
  // The countdown step shared by flashing panes; true while the count is positive.
  bool flash_step(int elapsed_ms);
  // Paints into the offscreen bitmap now and returns it (pane tests use this).
  trel_bitmap &render();

  // Advances every registered pane; called by the main timer with 20.
  static void animation_tick(int elapsed_ms);
  static bool in_animation_list(const trel_embedded_window *pane);
  // Unlinks a pane that is about to be destroyed while still registered.
  static void stop_animation(trel_embedded_window *pane);

  trel_bitmap &bitmap() { return *offscreen_bitmap; }

protected:
  std::unique_ptr<trel_bitmap> offscreen_bitmap;
  trel_embedded_window *anim_next = nullptr;
  int anim_shown = 0;
  int anim_count = 0;
  int anim_elapsed = 0;
  int anim_period = 200;

private:
  void on_paint(wxPaintEvent &event);
  // Replaces the bitmap when the size differs from the window's; true if it did.
  bool resize_bitmap(int width, int height);

  // The toolkit bitmap the offscreen bitmap is copied into, kept between
  // paints so a repaint allocates nothing.
  wxBitmap screen_bitmap;

  static trel_embedded_window *animation_head;
};

// A group of child panes inside a rectangle of its parent, with no window of its own.
class trel_transparent_window {
public:
  explicit trel_transparent_window(wxWindow *parent_window) : parent(parent_window) {}
  virtual ~trel_transparent_window() = default;

  virtual void show(bool flag) = 0;
  virtual void layout() = 0;
  virtual void rebuild_images() = 0;

  void set_position(int new_x, int new_y, int new_width, int new_height);
  void set_shown(bool flag);

protected:
  int x = 0;
  int y = 0;
  int width = 10;
  int height = 10;
  int shown = 1;
  wxWindow *parent;
};

// The base of the client's top-level frames.
class trel_frame : public wxFrame {
public:
  trel_frame(wxWindow *parent, wxWindowID id, const wxString &title,
             const wxPoint &position = wxDefaultPosition, const wxSize &size = wxDefaultSize,
             long style = wxDEFAULT_FRAME_STYLE);
};
