// The tag dispatcher: login, session events, directions, text redirection,
// and hand-over of every other record to the panel that owns it.
#include "session/session.h"

#include "support/debug_log.h"
#include "support/text_utils.h"

#include <cstring>
#include <string>

void trel_session::process_tagged_data(const char *name, const char *data, int length) {
  if (!name)
    return;
  if (!data)
    data = "";
  trel_tag tag = classify_tag(name);
  switch (tag) {
  case trel_tag::login:
    login(data);
    break;
  case trel_tag::dirs:
    dirs(data);
    break;
  case trel_tag::uuid:
    host.set_client_uuid(data);
    break;
  case trel_tag::event:
    event(data);
    break;
  case trel_tag::sound:
    if (host.system_audio_enabled())
      host.panel_record(tag, name, data, length);
    break;
  case trel_tag::append:
    redirect(data, false);
    break;
  case trel_tag::divert:
    redirect(data, true);
    break;
  case trel_tag::unappend:
    host.end_redirection(false);
    break;
  case trel_tag::undivert:
    host.end_redirection(true);
    break;
  case trel_tag::chdiv:
    host.channel_diversion(true, data);
    break;
  case trel_tag::chudiv:
    host.channel_diversion(false, data);
    break;
  case trel_tag::unknown:
    if (debug_level >= 2)
      trel_client_debug_printf(
          "Warning in trel_mw::process_tagged_data(), no handler for tag '%s'.\n", name);
    break;
  default:
    host.panel_record(tag, name, data, length);
    break;
  }
}

void trel_session::login(const char *data) {
  if (data[0]) {
    const char *end = strchr(data, '\n');
    size_t length = end ? static_cast<size_t>(end - data) : strlen(data);
    if (length > TREL_TEXT_SIZE - 1)
      length = TREL_TEXT_SIZE - 1;
    std::string name(data, length);
    host.set_title(("Quenmar - Player " + name).c_str());
    host.character_logged_in(name.c_str());
  } else {
    host.character_logged_in(nullptr);
  }
  session = logged_in;
  host.set_history_bank(2);
  host.leave_password_mode();
  host.mark_status_dirty();
}

void trel_session::dirs(const char *data) {
  int enable = -1;
  if (word_equal(data, "on"))
    enable = 1;
  else if (word_equal(data, "off"))
    enable = 0;
  else if (debug_level >= 2)
    trel_client_debug_printf("Warning in trel_mw::process_tagged_data(), bad dirs string '%s'.\n",
                             data);
  host.direction_buttons(enable, exits_code(next_arg(data)));
}

void trel_session::event(const char *data) {
  const char *rest = nullptr;
  switch (classify_event(data, &rest)) {
  case trel_event::colorflash:
    host.colour_flash(rest ? rest : "");
    break;
  case trel_event::zvpong:
    ping_reply();
    break;
  case trel_event::newcreate:
    session = creating;
    break;
  case trel_event::logoff:
    session = logged_off;
    break;
  case trel_event::unhandled:
    if (debug_level >= 2)
      trel_client_debug_printf(
          "Warning in trel_mw::process_tagged_data(), got unhandled event '%s'.\n", data);
    break;
  }
}

void trel_session::redirect(const char *name, bool replace) {
  if (host.redirect_to_popup(name, replace))
    return;
  // The text that follows lands in the main pane instead of being lost.
  host.main_reset_ansi_state();
  print_local("\n");
  print_local("Sorry, no popup window by that name has been defined.\n");
  print_local("\n");
  host.main_refresh();
}
