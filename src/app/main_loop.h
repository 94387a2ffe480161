// The order of work in one 20 ms tick of the main timer, the deferred client
// message, the link request and the 10-tick orderly shutdown. Display-free:
// the main window implements trel_tick_target and owns one trel_main_loop.
#pragma once
#include "support/text_utils.h"

// What a tick asks of the main window, in the order the tick asks it.
class trel_tick_target {
public:
  virtual ~trel_tick_target() = default;
  virtual void give_input_focus() = 0;
  virtual void socket_handler() = 0;
  virtual void animation_tick(int milliseconds) = 0;
  virtual bool logged_in() = 0;
  virtual void send_status_record() = 0;
  virtual void show_deferred_message(const char *text) = 0;
  virtual void open_link(const char *url) = 0;
  // The orderly exit: stop audio, close popups, save, destroy the main window.
  virtual void orderly_exit() = 0;
  // The process is still alive one tick after the orderly exit: end it now.
  virtual void forced_exit() = 0;
};

class trel_main_loop {
public:
  static constexpr int TICK_MS = 20;
  static constexpr int PING_MS = 15000;
  static constexpr int SAVE_MS = 300000;
  static constexpr int SHUTDOWN_TICKS = 10;
  static constexpr int LINK_SIZE = 1024;

  // Runs one tick against the target; does nothing until construction is finished.
  void tick(trel_tick_target &target);

  void set_constructed() { constructed = true; }
  bool is_constructed() const { return constructed; }
  void request_focus() { focus_requested = true; }
  void mark_status_dirty() { status_dirty = true; }
  bool is_status_dirty() const { return status_dirty; }

  // Starts (or restarts) the 10-tick countdown to the orderly exit.
  void system_shutdown_handler();
  int exit_countdown() const { return countdown; }

  // Queues text for the main pane at the next tick (cut at 5999 characters).
  void defer_message(const char *text);
  // Asks the next tick to open a link (cut at 1023 characters).
  void request_link(const char *url);

private:
  bool constructed = false;
  bool focus_requested = false;
  bool status_dirty = false;
  int countdown = 0;
  trel_bounded_text deferred;
  bool deferred_pending = false;
  char link[LINK_SIZE] = {0};
  bool link_pending = false;
};
