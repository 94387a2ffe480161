// The commands a demo player can type, and the rat fight in the forest.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "demo_records.h"
#include "demo_session.h"

namespace {

// Longest text a player can say or chat; the rest is cut.
constexpr size_t spoken_text_max = 300;

constexpr int rat_health = 30;
constexpr long long first_round_delay_ms = 1000;
constexpr long long round_period_ms = 2000;
constexpr long long rat_return_delay_ms = 20000;
constexpr long long spell_duration_ms = 30000;
constexpr int spell_mana = 10;
constexpr int rat_experience = 150; // tenths of a percent
constexpr int forest_move_cost = 2;

const char *const spell_names[3] = {"burning hands", "shocking grasp", "sickening touch"};

// What the keys F1 to F8 run (the client sends "f01" to "f08").
const char *const fkey_commands[8] = {
    "look", "score", "who", "help", "kill rat", "chat Hello, everyone!", "sleep", "wake"};

// Targets of the client's "config" record that know the word "flash".
const char *const flash_targets[] = {"automap",       "hint_buttons", "status_bar",
                                     "popup_buttons", "main_window",  "input_window"};

std::string lower_case(const std::string &text) {
  std::string lower;
  for (char c : text)
    lower += static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string trimmed(const std::string &text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos)
    return std::string();
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

} // namespace

void trel_demo_session::run_command(const std::string &line) {
  std::string command = trimmed(line);
  if (command.empty()) {
    send_prompt(true);
    return;
  }
  size_t blank = command.find_first_of(" \t");
  std::string word = lower_case(command.substr(0, blank));
  std::string args = blank == std::string::npos ? std::string() : trimmed(command.substr(blank));

  if (word.size() == 3 && word[0] == 'f' && word[1] == '0' && word[2] >= '1' && word[2] <= '8') {
    run_command(fkey_commands[word[2] - '1']);
    return;
  }

  bool quiet = false;
  trel_demo_walk_word walk = trel_demo_world::parse_walk_word(word);
  // A reply starts on a line of its own, below the prompt and the client's
  // echo of the command; room descriptions bring their own blank line.
  bool room_reply = walk.direction != -1 || word == "l" || word == "look";
  bool silent_score = (word == "score" || word == "sc") && score_popup_just_opened &&
                      open_popups.count("score");
  if (!room_reply && !silent_score && word != "quit")
    send_text("\n");
  if (walk.direction != -1) {
    do_walk(walk.direction, walk.bump);
  } else if (word == "l" || word == "look") {
    do_look();
    send_room_records('@', 0);
  } else if (word == "say") {
    do_say(args);
  } else if (word == "chat") {
    do_chat(args);
  } else if (word == "who") {
    do_who();
  } else if (word == "help") {
    do_help();
  } else if (word == "score" || word == "sc") {
    // The client asks for the sheet by itself right after the player opens
    // its popup; that request needs no words in the main pane.
    quiet = score_popup_just_opened && open_popups.count("score");
    score_popup_just_opened = false;
    do_score();
    if (quiet) {
      send_prompt(false);
      return;
    }
  } else if (word == "quit") {
    do_quit();
    return;
  } else if (word == "kill" || word == "k") {
    do_kill(args);
  } else if (word == "flee") {
    do_flee();
  } else if (word == "sleep") {
    do_sleep();
  } else if (word == "wake") {
    do_wake();
  } else if (word == "wield") {
    do_wield();
  } else if (word == "remove") {
    do_remove();
  } else if (word == "cast") {
    do_cast(args);
  } else if (word == "group") {
    do_group();
  } else if (word == "flash") {
    do_flash(args);
  } else if (word == "version") {
    do_version();
  } else {
    send_text("Huh?\n");
  }
  send_prompt(true);
}

void trel_demo_session::do_look() {
  const trel_demo_world &world = hub.world();
  const trel_demo_room &here = world.room(room_index);
  send_text("\n" TREL_ANSI_BOLD TREL_ANSI_CYAN + here.name + TREL_ANSI_RESET "\n");
  send_text(here.description);
  std::string exits;
  for (int d = 0; d < trel_demo_direction_count; d++)
    if (here.exits[d].target >= 0) {
      if (!exits.empty())
        exits += ' ';
      exits += trel_demo_world::direction_name(d);
    }
  send_text(TREL_ANSI_GREEN "[Exits: " + exits + "]" TREL_ANSI_RESET "\n");
  for (trel_demo_session *other : hub.players())
    if (other != this && other->room() == room_index)
      send_text(TREL_ANSI_YELLOW + other->name() + " is standing here." TREL_ANSI_RESET "\n");
  if (rat_here())
    send_text(in_combat ? TREL_ANSI_RED "A giant rat is here, fighting you!" TREL_ANSI_RESET "\n"
                        : TREL_ANSI_RED "A giant rat is here, gnawing on a root." TREL_ANSI_RESET
                                        "\n");
}

void trel_demo_session::do_walk(int direction, int bump) {
  const trel_demo_world &world = hub.world();
  if (asleep) {
    send_text("You cannot walk in your sleep. Type " TREL_ANSI_BOLD "wake" TREL_ANSI_RESET
              " first.\n");
    return;
  }
  if (direction < 0 || world.room(room_index).exits[direction].target < 0) {
    send_text("Alas, you cannot go that way.\n");
    if (bump >= 0)
      send_record("walkfail", std::to_string(bump));
    return;
  }
  const trel_demo_exit &exit = world.room(room_index).exits[direction];
  int cost = world.room(exit.target).has_rat ? forest_move_cost : 1;
  if (move < cost) {
    send_text("You are too exhausted to walk any further. Rest a while.\n");
    return;
  }
  if (in_combat)
    do_flee();
  tell_room(TREL_ANSI_YELLOW + player_name + " leaves " +
            trel_demo_world::direction_name(direction) + "." TREL_ANSI_RESET "\n");
  room_index = exit.target;
  move -= cost;
  tell_room(TREL_ANSI_YELLOW + player_name + " arrives from " +
            trel_demo_world::arrival_from(direction) + "." TREL_ANSI_RESET "\n");
  if (exit.link != 0)
    send_record("sound", "doors/creak");
  do_look();
  // The map scrolls in from the direction of the step; a change of level
  // zooms instead.
  if (direction == trel_demo_up)
    send_room_records('@', 'B');
  else if (direction == trel_demo_down)
    send_room_records('@', 'A');
  else
    send_room_records(static_cast<char>('A' + direction), 0);
}

void trel_demo_session::do_say(const std::string &text) {
  std::string said = trel_demo_clean_player_text(text, spoken_text_max);
  if (said.empty()) {
    send_text("Say what?\n");
    return;
  }
  send_text(TREL_ANSI_GREEN "You say '" + said + "'" TREL_ANSI_RESET "\n");
  tell_room(TREL_ANSI_GREEN + player_name + " says '" + said + "'" TREL_ANSI_RESET "\n");
}

void trel_demo_session::do_chat(const std::string &text) {
  std::string said = trel_demo_clean_player_text(text, spoken_text_max);
  if (said.empty()) {
    send_text("Chat what?\n");
    return;
  }
  for (trel_demo_session *other : hub.players()) {
    std::string who = other == this ? std::string("You chat") : player_name + " chats";
    other->hear_channel("chat", TREL_ANSI_MAGENTA + who + " '" + said + "'" TREL_ANSI_RESET "\n");
  }
}

void trel_demo_session::do_who() {
  std::vector<trel_demo_session *> everyone = hub.players();
  send_text(TREL_ANSI_BOLD "Players in the realm:" TREL_ANSI_RESET "\n");
  for (trel_demo_session *other : everyone) {
    char line[128];
    snprintf(line, sizeof line, "  %-20s %s\n", other->name().c_str(),
             hub.world().room(other->room()).name.c_str());
    send_text(line);
  }
  send_text(std::to_string(everyone.size()) + (everyone.size() == 1 ? " player" : " players") +
            " online.\n");
}

void trel_demo_session::do_help() {
  send_text(TREL_ANSI_BOLD
            "Commands of the demo:" TREL_ANSI_RESET "\n"
            "  look (l)               look around\n"
            "  north east south west up down (n e s w u d)\n"
            "                         walk; the map follows you\n"
            "  say <text>             talk to everyone in the room\n"
            "  chat <text>            talk on the chat channel (see the channel window)\n"
            "  who                    list the players online\n"
            "  score                  your character sheet (also a popup window)\n"
            "  kill rat, flee         pick a fight in the forest, or run from it\n"
            "  cast <spell>           burning hands, shocking grasp or sickening touch\n"
            "  sleep, wake            rest to recover faster\n"
            "  wield, remove          take up or put away your dagger\n"
            "  group                  join or leave a group with Mira and Tibbs\n"
            "  flash <part>           make a part of the window blink: automap,\n"
            "                         hint_buttons, status_bar, popup_buttons,\n"
            "                         main_window, input_window or colour\n"
            "  version                which server this is\n"
            "  quit                   leave the game\n"
            "The buttons on the right and the keys F1 to F8 run common commands.\n");
}

std::string trel_demo_session::score_text() const {
  long long minutes = (now - entered_at) / 60000;
  char text[512];
  snprintf(text, sizeof text,
           TREL_ANSI_BOLD TREL_ANSI_YELLOW "%s" TREL_ANSI_RESET ", a level %d adventurer\n"
                                           "Health    %4d/%-4d    Mana       %4d/%d\n"
                                           "Movement  %4d/%-4d    Experience %d.%d%% to level %d\n"
                                           "Rats slain %-12d  Time online %lld minute%s\n",
           player_name.c_str(), level, hp, max_hp, mana, max_mana, move, max_move, experience / 10,
           experience % 10, level + 1, kills, minutes, minutes == 1 ? "" : "s");
  return text;
}

void trel_demo_session::do_score() {
  if (open_popups.count("score")) {
    refresh_score_popup();
    return;
  }
  send_text(score_text());
  send_text(TREL_ANSI_CYAN "The score button at the bottom of the window keeps this sheet open "
                           "in a popup." TREL_ANSI_RESET "\n");
}

void trel_demo_session::do_quit() {
  send_text("Goodbye, " + player_name + ". Come back soon!\n");
  send_record("event", "logoff");
  tell_room(TREL_ANSI_YELLOW + player_name + " leaves the realm." TREL_ANSI_RESET "\n");
  in_combat = false;
  stage = stage_leaving;
}

void trel_demo_session::do_kill(const std::string &target) {
  std::string wanted = lower_case(target);
  if (wanted.empty()) {
    send_text("Kill what?\n");
    return;
  }
  if (wanted != "rat" && wanted != "giant rat" && wanted != "giant") {
    send_text("You do not see that here.\n");
    return;
  }
  if (!hub.world().room(room_index).has_rat) {
    send_text("There is no rat here. Try the forest north of the town gate.\n");
    return;
  }
  if (!rat_alive) {
    send_text("The rat is gone. Another will turn up soon enough.\n");
    return;
  }
  if (asleep) {
    send_text("You dream of fighting a rat.\n");
    return;
  }
  if (in_combat) {
    send_text("You are already fighting!\n");
    return;
  }
  in_combat = true;
  rat_hp = rat_health;
  next_round_at = now + first_round_delay_ms;
  send_text(TREL_ANSI_RED "You leap at the giant rat!" TREL_ANSI_RESET "\n");
  send_bare_tag("combat");
  send_record("enemyhp", "100 a giant rat");
  send_record("sound", "combat/battlecry");
  send_context_buttons();
  tell_room(TREL_ANSI_YELLOW + player_name + " attacks a giant rat!" TREL_ANSI_RESET "\n");
}

void trel_demo_session::combat_round() {
  next_round_at = now + round_period_ms;
  begin_unasked_text();
  int damage = random_between(4, 9) + (spell_active(0) ? 4 : 0) + (wielding ? 2 : 0);
  rat_hp -= damage;
  if (rat_hp <= 0) {
    send_text(TREL_ANSI_BOLD TREL_ANSI_RED "The giant rat squeals and dies!" TREL_ANSI_RESET "\n");
    send_record("sound", "combat/death");
    rat_alive = false;
    rat_returns_at = now + rat_return_delay_ms;
    kills++;
    end_combat();
    gain_experience(rat_experience);
    refresh_score_popup();
    send_prompt();
    return;
  }
  send_text(TREL_ANSI_GREEN "You hit the giant rat." TREL_ANSI_RESET "\n");
  int bite = random_between(2, 7);
  hp -= bite;
  send_text(TREL_ANSI_RED "The giant rat bites you!" TREL_ANSI_RESET "\n");
  if (hp < 1) {
    // Nobody dies in the demo.
    hp = 1;
    send_text(TREL_ANSI_BOLD "You are badly hurt. Flee while you can!" TREL_ANSI_RESET "\n");
  }
  send_record("event", "colorflash 800000 000000 20");
  send_record("sound", "combat/hit");
  send_record("enemyhp", std::to_string(rat_hp * 100 / rat_health) + " a giant rat");
  send_prompt();
}

void trel_demo_session::end_combat() {
  in_combat = false;
  send_bare_tag("ncombat");
  send_context_buttons();
}

void trel_demo_session::gain_experience(int tenths) {
  experience += tenths;
  while (experience >= 1000) {
    experience -= 1000;
    level++;
    max_hp += 10;
    max_mana += 5;
    max_move += 5;
    hp = max_hp;
    mana = max_mana;
    move = max_move;
    send_text(TREL_ANSI_BOLD TREL_ANSI_YELLOW "You rise to level " + std::to_string(level) +
              "!" TREL_ANSI_RESET "\n");
    send_record("event", "colorflash 000000 806000 10 000000 30");
    send_record("sound", "misc/levelup");
  }
  send_experience();
}

void trel_demo_session::do_flee() {
  if (!in_combat) {
    send_text("You are not fighting anyone.\n");
    return;
  }
  send_text(TREL_ANSI_YELLOW "You flee from the giant rat!" TREL_ANSI_RESET "\n");
  end_combat();
}

void trel_demo_session::do_sleep() {
  if (asleep) {
    send_text("You are already asleep.\n");
    return;
  }
  if (in_combat) {
    send_text("Not while you are fighting!\n");
    return;
  }
  asleep = true;
  send_text("You lie down and drift off to sleep.\n");
  send_icons();
  send_context_buttons();
  tell_room(player_name + " lies down and falls asleep.\n");
}

void trel_demo_session::do_wake() {
  if (!asleep) {
    send_text("You are already awake.\n");
    return;
  }
  asleep = false;
  send_text("You wake and stand up.\n");
  send_icons();
  send_context_buttons();
  tell_room(player_name + " wakes and stands up.\n");
}

void trel_demo_session::do_wield() {
  if (wielding) {
    send_text("You already hold your dagger.\n");
    return;
  }
  wielding = true;
  send_text("You draw your trusty dagger.\n");
  send_icons();
}

void trel_demo_session::do_remove() {
  if (!wielding) {
    send_text("You are not wielding anything.\n");
    return;
  }
  wielding = false;
  send_text("You put your dagger away.\n");
  send_icons();
}

void trel_demo_session::do_cast(const std::string &spell) {
  std::string wanted = lower_case(spell);
  int found = -1;
  for (int i = 0; i < 3 && !wanted.empty(); i++)
    if (std::string(spell_names[i]).compare(0, wanted.size(), wanted) == 0)
      found = i;
  if (found < 0) {
    send_text("Cast which spell? You know burning hands, shocking grasp and sickening touch.\n");
    return;
  }
  if (asleep) {
    send_text("You mumble a spell in your sleep. Nothing happens.\n");
    return;
  }
  if (mana < spell_mana) {
    send_text("You are too tired to cast that.\n");
    return;
  }
  mana -= spell_mana;
  spell_until[found] = now + spell_duration_ms;
  send_text(TREL_ANSI_MAGENTA "You utter the words of " + std::string(spell_names[found]) +
            " and your hands begin to glow." TREL_ANSI_RESET "\n");
  send_record("sound", "magic/cast");
  send_icons();
}

void trel_demo_session::do_group() {
  grouped = !grouped;
  if (grouped)
    send_text("Mira the bard and Tibbs the cat join your group.\n");
  else
    send_text("You leave the group. Tibbs looks offended.\n");
  send_group();
}

void trel_demo_session::do_flash(const std::string &target) {
  std::string wanted = lower_case(target);
  if (wanted == "colour" || wanted == "color") {
    send_text("The window glows blue for a moment.\n");
    send_record("event", "colorflash 000000 0030a0 15 000000 30");
    return;
  }
  for (const char *known : flash_targets)
    if (wanted == known) {
      send_text("Look: the " + wanted + " blinks.\n");
      send_record("config", wanted + " flash");
      return;
    }
  send_text("Flash what? Try automap, hint_buttons, status_bar, popup_buttons, main_window,\n"
            "input_window or colour.\n");
}

void trel_demo_session::do_version() {
  send_text("Quenmar demo server 1.0, a small world for trying out the Quenmar client.\n");
}
