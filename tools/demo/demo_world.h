// The demo's little world: six rooms on a grid, their exits, the automap
// record of the rooms around a player, and the game clock's sky record.
#pragma once

#include <string>
#include <vector>

// The six directions a player can walk in the demo.
enum trel_demo_direction {
  trel_demo_north = 0,
  trel_demo_east = 1,
  trel_demo_south = 2,
  trel_demo_west = 3,
  trel_demo_up = 4,
  trel_demo_down = 5,
  trel_demo_direction_count = 6
};

// What a typed word names as a way to walk.
struct trel_demo_walk_word {
  // -1 when the word is no direction at all; otherwise the demo direction,
  // or -2 for a direction the demo has no exits in (diagonals, "out").
  int direction = -1;
  // The wall-bump number of the "walkfail" record for the word's direction
  // (0 north ... 7 northwest), or -1 when there is none (up, down, out).
  int bump = -1;
};

struct trel_demo_exit {
  int target = -1; // room index, -1 for no exit
  int link = 0;    // how the map draws the passage: 0 open, 2 a door
};

struct trel_demo_room {
  std::string name;
  std::string area;
  std::string description; // already wrapped, each line ended by "\n"
  int x = 0, y = 0, z = 0; // grid position: x grows east, y south, z up
  int terrain = 0;         // the automap's terrain colour index
  int flags = 0;           // the automap's room marks (road, trail, up, down, star)
  std::string sky_flags;   // outdoors, sky visible, overcast: three "0"/"1"
  bool has_rat = false;    // the fight of the demo takes place here
  trel_demo_exit exits[trel_demo_direction_count];
};

class trel_demo_world {
public:
  trel_demo_world();

  int room_count() const { return static_cast<int>(rooms.size()); }
  // The room with that index; indexes come from start_room and the exits.
  const trel_demo_room &room(int index) const { return rooms[static_cast<size_t>(index)]; }
  int start_room() const { return 0; }
  // The index of the room at a grid position, or -1.
  int room_at(int x, int y, int z) const;

  // The "dirs" payload for a room: "on" and the two-letter exits code.
  std::string dirs_record_data(int index) const;
  // The automap record for the 11 by 11 rooms around room index on its level.
  // move is the direction letter of the step that led here ('A' north ... 'D'
  // west) or '@' for none; transition is 'A' (zoom in), 'B' (zoom out) or 0.
  std::string map_record_data(int index, char move, char transition) const;

  // Parses a typed word ("n", "north", "ne", "out", ...), ignoring case.
  static trel_demo_walk_word parse_walk_word(const std::string &word);
  static const char *direction_name(int direction);
  // Where someone arriving by direction comes from: "the south", "below".
  static const char *arrival_from(int direction);
  static int opposite(int direction);

private:
  // The map's link value between two grid positions on one level: 0 when
  // both rooms are missing or an exit joins them, the exit's link kind for a
  // door, 1 (a wall) otherwise.
  int link_between(int x, int y, int z, int direction) const;

  std::vector<trel_demo_room> rooms;
};

// The game's time of day as the status bar shows it: "7:05 am", "12:30 pm".
std::string trel_demo_time_text(int minute_of_day);
// The "skystate" payload for a room at a minute of the game day.
std::string trel_demo_sky_record_data(const trel_demo_room &room, int minute_of_day);
