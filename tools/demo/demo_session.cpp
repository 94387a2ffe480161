// A demo player's session: hello and login, prompts, the records of the side
// panels, and the timed events of a player in the game.
#include "demo_session.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "demo_records.h"

namespace {

// A client that never sends its hello (someone trying the server with a
// plain TLS tool) is greeted after this long anyway.
constexpr long long greeting_delay_ms = 3000;
constexpr long long recovery_period_ms = 3000;
constexpr long long sky_period_ms = 20000;

constexpr size_t name_min = 2;
constexpr size_t name_max = 20;

const char *const name_prompt = "By what name do you wish to be known? ";
const char *const password_prompt = "Password: ";

// Each function key runs one command; the client sends "f01" to "f08".
const char *const fkey_labels[8] = {"Look",     "Score",      "Who",   "Help",
                                    "Kill rat", "Chat hello", "Sleep", "Wake"};

std::string lower_case(const std::string &text) {
  std::string lower;
  for (char c : text)
    lower += static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return lower;
}

} // namespace

trel_demo_session::trel_demo_session(trel_demo_hub &hub_, long long now_ms)
    : hub(hub_), now(now_ms), connected_at(now_ms), room_index(hub_.world().start_room()),
      random_source(std::random_device{}()) {}

// ---------------------------------------------------------------------------
// Output

void trel_demo_session::send_text(const std::string &text) {
  if (text.empty())
    return;
  output += trel_demo_escape_text(text);
  at_prompt = false;
}

void trel_demo_session::send_record(const std::string &tag, const std::string &data) {
  output += trel_demo_record(tag, data);
}

void trel_demo_session::send_bare_tag(const std::string &tag) {
  output += trel_demo_bare_tag(tag);
}

void trel_demo_session::begin_unasked_text() {
  if (at_prompt)
    send_text("\n");
}

void trel_demo_session::send_prompt(bool force) {
  if (!at_prompt || force) {
    char prompt[128];
    snprintf(prompt, sizeof prompt, "\n" TREL_ANSI_CYAN "%dH %dM %dV" TREL_ANSI_RESET "%s> ", hp,
             mana, move, in_combat ? TREL_ANSI_RED " [fighting]" TREL_ANSI_RESET : "");
    send_text(prompt);
    at_prompt = true;
  }
  send_status();
  send_group();
}

void trel_demo_session::send_stage_prompt() {
  if (stage == stage_name)
    send_text(name_prompt);
  else if (stage == stage_password)
    send_text(password_prompt);
  else if (stage == stage_playing)
    send_prompt(true);
}

std::string trel_demo_session::take_output() {
  std::string taken;
  taken.swap(output);
  return taken;
}

int trel_demo_session::random_between(int low, int high) {
  std::uniform_int_distribution<int> pick(low, high);
  return pick(random_source);
}

// ---------------------------------------------------------------------------
// Lines from the client

void trel_demo_session::handle_line(const std::string &raw_line, long long now_ms) {
  now = now_ms;
  std::string line = raw_line;
  // The client sends bare line feeds; a hand-driven terminal may add a
  // carriage return.
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  std::string first = line.substr(0, line.find(' '));

  // The client's own records come at any time and are never answered with
  // text: a ping gets its pong at once, settings and popup reports are noted.
  if (line == "zvping") {
    send_record("event", "zvpong");
    return;
  }
  if (first == "zvlstatus")
    return;
  if (first == "zvlwindow") {
    std::string rest = line.size() > first.size() ? line.substr(first.size() + 1) : "";
    std::string action = rest.substr(0, rest.find(' '));
    std::string popup = rest.size() > action.size() ? rest.substr(action.size() + 1) : "";
    if (action == "open") {
      open_popups.insert(popup);
      if (popup == "score")
        score_popup_just_opened = true;
    } else if (action == "close") {
      open_popups.erase(popup);
    }
    return;
  }
  if (first == "_Zolvent") {
    accept_hello(line);
    return;
  }
  if (stage == stage_hello) {
    // Not a hello: someone typing by hand. Greet and let them start over.
    greet();
    return;
  }
  if (line == "\x03") {
    if (stage == stage_leaving)
      return;
    begin_unasked_text();
    send_text("Interrupted.\n");
    send_stage_prompt();
    return;
  }
  switch (stage) {
  case stage_name:
    take_name(line);
    break;
  case stage_password:
    take_password(line);
    break;
  case stage_playing:
    run_command(line);
    break;
  default:
    break;
  }
}

void trel_demo_session::accept_hello(const std::string &line) {
  // "_Zolvent <uuid> <version>"; the uuid is empty for a client that has none
  // yet, which leaves two blanks in a row.
  std::string rest = line.size() > 9 ? line.substr(9) : "";
  std::string uuid = rest.substr(0, rest.find(' '));
  if (uuid.empty())
    send_record("uuid", trel_demo_new_uuid());
  if (stage == stage_hello)
    greet();
}

void trel_demo_session::greet() {
  stage = stage_name;
  send_text("\n" TREL_ANSI_BOLD TREL_ANSI_YELLOW
            "    +------------------------------------------+\n"
            "    |            Welcome to Quenmar            |\n"
            "    +------------------------------------------+" TREL_ANSI_RESET "\n\n" TREL_ANSI_CYAN
            "    A demonstration server for the Quenmar client." TREL_ANSI_RESET "\n"
            "    Walk the town, pick a fight in the woods, talk with the others;\n"
            "    every panel of the client has something to show.\n"
            "    Any name and any password will do.\n\n");
  send_text(name_prompt);
}

void trel_demo_session::take_name(const std::string &line) {
  std::string typed = line;
  while (!typed.empty() && typed.front() == ' ')
    typed.erase(typed.begin());
  while (!typed.empty() && typed.back() == ' ')
    typed.pop_back();
  if (typed.empty()) {
    send_text(name_prompt);
    return;
  }
  // Letters only: the client turns the name into a file name, and other
  // players see it in every line about this one.
  bool letters = typed.size() >= name_min && typed.size() <= name_max;
  for (char c : typed)
    if (!isalpha(static_cast<unsigned char>(c)))
      letters = false;
  if (!letters) {
    send_text("Names are 2 to 20 letters, with no blanks, digits or other signs.\n");
    send_text(name_prompt);
    return;
  }
  std::string name = lower_case(typed);
  name[0] = static_cast<char>(toupper(static_cast<unsigned char>(name[0])));
  for (trel_demo_session *other : hub.players())
    if (other != this && other->name() == name) {
      send_text("Someone by that name is already playing. Please choose another.\n");
      send_text(name_prompt);
      return;
    }
  player_name = name;
  stage = stage_password;
  // WILL ECHO and DONT ECHO make the client hide what is typed next.
  send_raw(trel_demo_hide_input());
  send_text(password_prompt);
}

void trel_demo_session::take_password(const std::string &line) {
  if (line.empty()) {
    send_text(password_prompt);
    return;
  }
  // Someone else may have taken the name while the password was typed.
  for (trel_demo_session *other : hub.players())
    if (other != this && other->name() == player_name) {
      send_raw(trel_demo_show_input());
      send_text("\nSomeone by that name has just come in. Please choose another.\n");
      stage = stage_name;
      send_text(name_prompt);
      return;
    }
  send_raw(trel_demo_show_input());
  send_text("\n");
  enter_game();
}

void trel_demo_session::enter_game() {
  const trel_demo_world &world = hub.world();
  stage = stage_playing;
  announced = true;
  entered_at = now;
  room_index = world.start_room();
  next_recovery_at = now + recovery_period_ms;
  next_sky_at = now + sky_period_ms;

  send_record("login", player_name);
  send_bare_tag("bclear");
  send_hint_buttons();
  send_function_keys();
  // The score sheet can be kept open in a popup; the client asks for it
  // with "score" whenever the player opens the window.
  send_record("window_create", "score\nCharacter sheet\n46 8\nscore\nnoscroll");
  send_text(TREL_ANSI_GREEN "Welcome to Quenmar, " TREL_ANSI_BOLD + player_name +
            TREL_ANSI_RESET TREL_ANSI_GREEN "! Type " TREL_ANSI_BOLD
                                            "help" TREL_ANSI_RESET TREL_ANSI_GREEN
                                            " for the list of commands." TREL_ANSI_RESET "\n");
  send_record("sound", "misc/welcome");
  send_experience();
  send_icons();
  // Point the newcomer at the buttons on the right.
  send_record("config", "hint_buttons flash");

  tell_room(TREL_ANSI_YELLOW + player_name +
            " appears in a shimmer of light." TREL_ANSI_RESET "\n");
  tell_channel("info", player_name + " has entered the realm.\n", true);
  do_look();
  send_room_records('@', 0);
  send_prompt(true);
}

// ---------------------------------------------------------------------------
// Records of the side panels

void trel_demo_session::send_status() {
  char data[96];
  snprintf(data, sizeof data, "%d %d %d %d %d %d", hp, max_hp, mana, max_mana, move, max_move);
  send_record("hp", data);
}

void trel_demo_session::send_experience() {
  // The bar stacks up to eight values; the second one shows the progress of
  // the rat hunt (ten kills fill it).
  int hunt = kills % 10 * 100;
  char data[64];
  snprintf(data, sizeof data, "%d %d", experience, hunt);
  send_record("xpp", data);
}

void trel_demo_session::send_icons() {
  std::string flags;
  flags += wielding ? '0' : '1';
  flags += asleep ? '1' : '0';
  for (int spell = 0; spell < 3; spell++)
    flags += spell_active(spell) ? '1' : '0';
  send_record("icons", flags);
}

void trel_demo_session::send_sky() {
  send_record("skystate",
              trel_demo_sky_record_data(hub.world().room(room_index), hub.game_minute()));
}

void trel_demo_session::send_group() {
  std::string data;
  if (grouped) {
    char text[256];
    snprintf(text, sizeof text,
             "%d %d %d %d %d %d %s\n"
             "95 110 140 150 70 90 Mira the bard\n"
             "30 40 0 0 55 60 -Tibbs the cat",
             hp, max_hp, mana, max_mana, move, max_move, player_name.c_str());
    data = text;
  }
  // Only changes are sent; an empty record hides the group display.
  if (data == last_group_data)
    return;
  last_group_data = data;
  send_record("group", data);
}

void trel_demo_session::send_room_records(char move_letter, char transition) {
  const trel_demo_world &world = hub.world();
  send_record("dirs", world.dirs_record_data(room_index));
  send_record("map", world.map_record_data(room_index, move_letter, transition));
  send_record("areaname", world.room(room_index).area);
  send_sky();
  send_context_buttons();
}

void trel_demo_session::send_hint_buttons() {
  send_record("b1", "Look\nlook");
  send_record("b2", "Score\nscore");
  send_record("b3", "Who\nwho");
  send_record("b4", "Help\nhelp");
  send_context_buttons();
}

void trel_demo_session::send_context_buttons() {
  // The fifth button follows the situation; a label without a command
  // clears it.
  if (in_combat)
    send_record("b5", "Flee\nflee");
  else if (rat_here())
    send_record("b5", "Kill rat\nkill rat");
  else
    send_record("b5", "");
  send_record("b6", asleep ? "Wake\nwake" : "Sleep\nsleep");
}

void trel_demo_session::send_function_keys() {
  for (int key = 0; key < 8; key++)
    send_record("bf" + std::to_string(key + 1), fkey_labels[key]);
}

void trel_demo_session::refresh_score_popup() {
  if (!open_popups.count("score"))
    return;
  // Divert the sheet into the popup: its old content is replaced. The main
  // pane sees none of it, so a prompt shown there is still the last thing.
  bool prompt_shown = at_prompt;
  send_record("divert", "score");
  send_text(score_text());
  send_bare_tag("undivert");
  at_prompt = prompt_shown;
}

// ---------------------------------------------------------------------------
// Time

void trel_demo_session::tick(long long now_ms) {
  now = now_ms;
  if (stage == stage_hello && now - connected_at >= greeting_delay_ms) {
    greet();
    return;
  }
  if (stage != stage_playing)
    return;

  if (in_combat && now >= next_round_at)
    combat_round();

  if (!rat_alive && now >= rat_returns_at) {
    rat_alive = true;
    if (hub.world().room(room_index).has_rat) {
      begin_unasked_text();
      send_text(TREL_ANSI_YELLOW "A giant rat scurries out of the undergrowth." TREL_ANSI_RESET
                                 "\n");
      send_context_buttons();
      send_prompt();
    }
  }

  static const char *const spell_names[3] = {"burning hands", "shocking grasp", "sickening touch"};
  for (int spell = 0; spell < 3; spell++)
    if (spell_until[spell] && now >= spell_until[spell]) {
      spell_until[spell] = 0;
      begin_unasked_text();
      send_text(std::string("Your ") + spell_names[spell] + " spell wears off.\n");
      send_icons();
      send_prompt();
    }

  if (now >= next_recovery_at) {
    next_recovery_at = now + recovery_period_ms;
    if (!in_combat) {
      int factor = asleep ? 2 : 1;
      int old_hp = hp, old_mana = mana, old_move = move;
      hp = std::min(max_hp, hp + 3 * factor);
      mana = std::min(max_mana, mana + 2 * factor);
      move = std::min(max_move, move + 5 * factor);
      if (hp != old_hp || mana != old_mana || move != old_move) {
        send_status();
        send_group();
      }
    }
  }

  if (now >= next_sky_at) {
    next_sky_at = now + sky_period_ms;
    send_sky();
  }
}

void trel_demo_session::connection_ended() {
  if (!announced)
    return;
  announced = false;
  stage_kind was = stage;
  // Out of the player list first, so the goodbyes go only to the others.
  stage = stage_leaving;
  if (was == stage_playing)
    tell_room(TREL_ANSI_YELLOW + player_name + " fades from view." TREL_ANSI_RESET "\n");
  tell_channel("info", player_name + " has left the realm.\n", false);
}

// ---------------------------------------------------------------------------
// Others

void trel_demo_session::hear(const std::string &text) {
  if (stage != stage_playing)
    return;
  begin_unasked_text();
  send_text(text);
  send_prompt();
}

void trel_demo_session::hear_channel(const std::string &channel, const std::string &text) {
  if (stage != stage_playing)
    return;
  // Between chdiv and chudiv the client routes the text to the channel's tab,
  // so a prompt shown in the main pane is still the last thing there.
  bool prompt_shown = at_prompt;
  send_record("chdiv", channel);
  send_text(text);
  send_bare_tag("chudiv");
  at_prompt = prompt_shown;
}

void trel_demo_session::tell_room(const std::string &text) {
  for (trel_demo_session *other : hub.players())
    if (other != this && other->room() == room_index)
      other->hear(text);
}

void trel_demo_session::tell_channel(const std::string &channel, const std::string &text,
                                     bool include_self) {
  for (trel_demo_session *other : hub.players())
    if (include_self || other != this)
      other->hear_channel(channel, text);
}

bool trel_demo_session::rat_here() const {
  return rat_alive && hub.world().room(room_index).has_rat;
}
