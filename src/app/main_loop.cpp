// One tick of the main timer and the shutdown countdown.
#include "app/main_loop.h"

#include "support/debug_log.h"

#include <cstring>

void trel_main_loop::tick(trel_tick_target &target) {
  if (!constructed) {
    if (debug_level >= 2)
      trel_client_debug_printf("trel_mw::OnTimer() - constructor not finished?\n");
    return;
  }
  if (focus_requested) {
    target.give_input_focus();
    focus_requested = false;
  }
  target.socket_handler();
  target.animation_tick(TICK_MS);
  if (status_dirty && target.logged_in()) {
    // Cleared first: sending may itself mark the record dirty again.
    status_dirty = false;
    target.send_status_record();
  }
  if (deferred_pending) {
    target.show_deferred_message(deferred.text);
    deferred.clear();
    deferred_pending = false;
  }
  if (link_pending) {
    link_pending = false;
    target.open_link(link);
  }
  if (countdown > 0) {
    countdown--;
    if (countdown == 0) {
      if (debug_level >= 2)
        trel_client_debug_printf("trel_mw::shutdown - exit forced.\n");
      target.forced_exit();
      return;
    }
  }
  if (countdown == 1) {
    if (debug_level >= 2)
      trel_client_debug_printf("trel_mw::shutdown - requested exit\n");
    target.orderly_exit();
  }
}

void trel_main_loop::system_shutdown_handler() {
  if (debug_level >= 2)
    trel_client_debug_printf("trel_mw system_shutdown_handler.\n");
  countdown = SHUTDOWN_TICKS;
}

void trel_main_loop::defer_message(const char *text) {
  if (!text)
    return;
  deferred.append(text);
  deferred_pending = true;
}

void trel_main_loop::request_link(const char *url) {
  if (!url)
    return;
  size_t n = strnlen(url, LINK_SIZE - 1);
  memcpy(link, url, n);
  link[n] = 0;
  link_pending = true;
}
