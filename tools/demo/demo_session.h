// One player's conversation with the demo server: the hello line, the login
// dialogue, the commands of the game, timed events (combat rounds, recovery,
// the sky) and the text and records that go back to the client.
#pragma once

#include <random>
#include <set>
#include <string>
#include <vector>

#include "demo_world.h"

class trel_demo_session;

// What a session needs from the server around it.
class trel_demo_hub {
public:
  virtual ~trel_demo_hub() = default;
  virtual const trel_demo_world &world() const = 0;
  // Every session whose player is in the game, in connection order.
  virtual std::vector<trel_demo_session *> players() = 0;
  // The minute of the game day (0 to 1439).
  virtual int game_minute() const = 0;
};

class trel_demo_session {
public:
  // A client that has just finished its TLS handshake at now_ms.
  trel_demo_session(trel_demo_hub &hub, long long now_ms);

  // One line the client sent, without its line feed.
  void handle_line(const std::string &line, long long now_ms);
  // Runs whatever is due at now_ms: the greeting for a client that never
  // says hello, combat rounds, recovery, spells wearing off, the sky.
  void tick(long long now_ms);
  // The connection has ended, however it ended: the others hear of it.
  void connection_ended();

  // The bytes waiting to be sent; the caller takes them over.
  std::string take_output();
  // True once the player quit: close the connection when the output is sent.
  bool wants_close() const { return stage == stage_leaving; }
  bool playing() const { return stage == stage_playing; }
  const std::string &name() const { return player_name; }
  int room() const { return room_index; }

  // A line from the player's surroundings for the main pane, followed by a
  // fresh prompt.
  void hear(const std::string &text);
  // A line diverted to a channel of the client's channel window.
  void hear_channel(const std::string &channel, const std::string &text);

private:
  enum stage_kind { stage_hello, stage_name, stage_password, stage_playing, stage_leaving };

  // Output helpers.
  void send_raw(const std::string &bytes) { output += bytes; }
  void send_text(const std::string &text);
  void send_record(const std::string &tag, const std::string &data);
  void send_bare_tag(const std::string &tag);
  // Ends a prompt line before text that arrives unasked.
  void begin_unasked_text();
  // The prompt and the "hp" record; the prompt text is left out when nothing
  // was printed since the last one, unless forced.
  void send_prompt(bool force = false);
  void send_stage_prompt();

  // The way in.
  void accept_hello(const std::string &line);
  void greet();
  void take_name(const std::string &line);
  void take_password(const std::string &line);
  void enter_game();

  // Records of the side panels.
  void send_status();
  void send_experience();
  void send_icons();
  void send_sky();
  // The "group" record when the group changed since the last one sent.
  void send_group();
  void send_room_records(char move, char transition);
  // All hint buttons, or only the two that follow the situation.
  void send_hint_buttons();
  void send_context_buttons();
  void send_function_keys();
  void refresh_score_popup();

  // Commands (demo_commands.cpp).
  void run_command(const std::string &line);
  void do_look();
  void do_walk(int direction, int bump);
  void do_say(const std::string &text);
  void do_chat(const std::string &text);
  void do_who();
  void do_help();
  void do_score();
  void do_quit();
  void do_kill(const std::string &target);
  void do_flee();
  void do_sleep();
  void do_wake();
  void do_wield();
  void do_remove();
  void do_cast(const std::string &spell);
  void do_group();
  void do_flash(const std::string &target);
  void do_version();
  std::string score_text() const;

  // Combat (demo_commands.cpp).
  void combat_round();
  void end_combat();
  void gain_experience(int tenths);

  // The others in the same room, or everyone in the game.
  void tell_room(const std::string &text);
  void tell_channel(const std::string &channel, const std::string &text, bool include_self);

  int random_between(int low, int high);
  bool rat_here() const;
  bool spell_active(int spell) const { return spell_until[spell] > now; }

  trel_demo_hub &hub;
  stage_kind stage = stage_hello;
  long long now = 0;
  long long connected_at = 0;
  std::string output;
  bool at_prompt = false;

  std::string player_name;
  bool announced = false;
  long long entered_at = 0;
  int room_index = 0;

  int hp = 120, max_hp = 120;
  int mana = 80, max_mana = 80;
  int move = 90, max_move = 90;
  int level = 1;
  int experience = 0; // tenths of a percent of the way to the next level
  int kills = 0;
  bool asleep = false;
  bool wielding = false;
  bool grouped = false;
  std::string last_group_data;
  long long spell_until[3] = {0, 0, 0};

  bool in_combat = false;
  bool rat_alive = true;
  int rat_hp = 0;
  long long next_round_at = 0;
  long long rat_returns_at = 0;
  long long next_recovery_at = 0;
  long long next_sky_at = 0;

  std::set<std::string> open_popups;
  bool score_popup_just_opened = false;
  std::mt19937 random_source;
};
