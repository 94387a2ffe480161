// The demo's rooms, exits, automap records and sky records.
#include "demo_world.h"

#include <cctype>
#include <cstdio>

namespace {

// Room marks of the automap.
constexpr int mark_star = 1;
constexpr int mark_road = 2;
constexpr int mark_trail = 4;
constexpr int mark_up = 8;
constexpr int mark_down = 16;

// The automap's terrain colours used here.
constexpr int terrain_city = 10;
constexpr int terrain_wood_floor = 2;
constexpr int terrain_stone = 11;
constexpr int terrain_forest = 5;
constexpr int terrain_attic = 28;
constexpr int terrain_meadow = 15;

// A door: the map draws a green line across the passage.
constexpr int link_door = 2;
constexpr int link_wall = 1;
// A diagonal kind of 4 suppresses the diagonal band: the demo has no
// diagonal passages.
constexpr int corner_none = 4;

// Map grid: 11 by 11 rooms around the player, who stands in the middle.
constexpr int map_rooms = 11;
constexpr int map_half = 5;

const int step_x[trel_demo_direction_count] = {0, 1, 0, -1, 0, 0};
const int step_y[trel_demo_direction_count] = {-1, 0, 1, 0, 0, 0};
const int step_z[trel_demo_direction_count] = {0, 0, 0, 0, 1, -1};
// Exit bits of the "dirs" record: north 1, east 4, south 16, west 64, up
// 256, down 512.
const int exit_bit[trel_demo_direction_count] = {1, 4, 16, 64, 256, 512};

char map_byte(int value) {
  return static_cast<char>(64 + value);
}

void add_exit(trel_demo_room &room, int direction, int target, int link = 0) {
  room.exits[direction].target = target;
  room.exits[direction].link = link;
}

} // namespace

trel_demo_world::trel_demo_world() {
  rooms.resize(6);

  trel_demo_room &square = rooms[0];
  square.name = "Town Square";
  square.area = "Quenmar Town";
  square.description = "Cobbles worn smooth by a thousand boots ring the old fountain, whose\n"
                       "stone fish spits a thin stream into a mossy basin. The town gate lies\n"
                       "to the north, the Rusty Tankard's door to the east, and a lane runs\n"
                       "south towards the river.\n";
  square.terrain = terrain_city;
  square.flags = mark_star | mark_road;
  square.sky_flags = "110";
  add_exit(square, trel_demo_north, 2);
  add_exit(square, trel_demo_east, 1, link_door);
  add_exit(square, trel_demo_south, 5);

  trel_demo_room &tavern = rooms[1];
  tavern.name = "The Rusty Tankard";
  tavern.area = "Quenmar Town";
  tavern.description = "Low beams, a crackling hearth and the smell of spilled ale. The\n"
                       "innkeeper polishes the same mug she has polished all week. A narrow\n"
                       "stair climbs to the loft; the door west opens onto the square.\n";
  tavern.x = 1;
  tavern.terrain = terrain_wood_floor;
  tavern.flags = mark_up;
  tavern.sky_flags = "000";
  add_exit(tavern, trel_demo_west, 0, link_door);
  add_exit(tavern, trel_demo_up, 4);

  trel_demo_room &gate = rooms[2];
  gate.name = "North Gate";
  gate.area = "Quenmar Town";
  gate.description = "Two squat towers flank an iron-bound gate that has not been closed\n"
                     "in living memory. A bored guard leans on his spear. Beyond the gate a\n"
                     "path disappears into the dark of the woods.\n";
  gate.y = -1;
  gate.terrain = terrain_stone;
  gate.flags = mark_road;
  gate.sky_flags = "110";
  add_exit(gate, trel_demo_south, 0);
  add_exit(gate, trel_demo_north, 3);

  trel_demo_room &forest = rooms[3];
  forest.name = "Forest Path";
  forest.area = "Whispering Wood";
  forest.description = "Old oaks lean over the path and knit their branches into a roof that\n"
                       "lets hardly any light through. Something rustles in the undergrowth.\n"
                       "The town gate is back to the south.\n";
  forest.y = -2;
  forest.terrain = terrain_forest;
  forest.flags = mark_trail;
  forest.sky_flags = "100";
  forest.has_rat = true;
  add_exit(forest, trel_demo_south, 2);

  trel_demo_room &loft = rooms[4];
  loft.name = "Tavern Loft";
  loft.area = "Quenmar Town";
  loft.description = "A cramped attic full of straw mattresses and snoring travellers. A\n"
                     "round window looks out over the rooftops at the sky. The stair leads\n"
                     "back down to the tavern.\n";
  loft.x = 1;
  loft.z = 1;
  loft.terrain = terrain_attic;
  loft.flags = mark_down;
  loft.sky_flags = "010";
  add_exit(loft, trel_demo_down, 1);

  trel_demo_room &river = rooms[5];
  river.name = "Riverbank";
  river.area = "Silverrun River";
  river.description = "Reeds whisper along the muddy bank of the Silverrun, and a heron\n"
                      "watches the water with great patience. Grey clouds hang low over the\n"
                      "far shore. The lane leads north to the square.\n";
  river.y = 1;
  river.terrain = terrain_meadow;
  river.flags = mark_trail;
  river.sky_flags = "111";
  add_exit(river, trel_demo_north, 0);
}

int trel_demo_world::room_at(int x, int y, int z) const {
  for (size_t i = 0; i < rooms.size(); i++)
    if (rooms[i].x == x && rooms[i].y == y && rooms[i].z == z)
      return static_cast<int>(i);
  return -1;
}

std::string trel_demo_world::dirs_record_data(int index) const {
  int mask = 0;
  for (int d = 0; d < trel_demo_direction_count; d++)
    if (room(index).exits[d].target >= 0)
      mask |= exit_bit[d];
  // Two letters: the high five bits and the low five bits, each added to 'A'.
  std::string data = "on ";
  data += static_cast<char>('A' + ((mask >> 5) & 31));
  data += static_cast<char>('A' + (mask & 31));
  return data;
}

int trel_demo_world::link_between(int x, int y, int z, int direction) const {
  int first = room_at(x, y, z);
  int second = room_at(x + step_x[direction], y + step_y[direction], z);
  if (first < 0 && second < 0)
    return 0;
  if (first >= 0 && second >= 0) {
    const trel_demo_exit &out = room(first).exits[direction];
    if (out.target == second)
      return out.link;
    const trel_demo_exit &back = room(second).exits[opposite(direction)];
    if (back.target == first)
      return back.link;
  }
  return link_wall;
}

std::string trel_demo_world::map_record_data(int index, char move, char transition) const {
  const trel_demo_room &here = room(index);
  // Grid column c and row k (0 to 10) hold the room at these coordinates.
  const int left = here.x - map_half;
  const int top = here.y - map_half;
  const int z = here.z;
  std::string data(1, move);

  // Section 1: 12 lines of north-south passages; line k lies above room row k.
  for (int k = 0; k <= map_rooms; k++) {
    for (int c = 0; c < map_rooms; c++)
      data += map_byte(link_between(left + c, top + k - 1, z, trel_demo_south));
    data += '\n';
  }
  // Section 2: 11 lines of east-west passages; item c lies left of room column c.
  for (int k = 0; k < map_rooms; k++) {
    for (int c = 0; c <= map_rooms; c++)
      data += map_byte(link_between(left + c - 1, top + k, z, trel_demo_east));
    data += '\n';
  }
  // Sections 2a and 2b: the two diagonals through every corner.
  for (int half = 0; half < 2; half++)
    for (int k = 0; k <= map_rooms; k++)
      data += std::string(map_rooms + 1, map_byte(corner_none)) + "\n";
  // Section 3: four bytes per room: terrain, marks, id, extra.
  for (int k = 0; k < map_rooms; k++) {
    for (int c = 0; c < map_rooms; c++) {
      int found = room_at(left + c, top + k, z);
      if (found < 0) {
        data += std::string(4, map_byte(0));
        continue;
      }
      data += map_byte(room(found).terrain);
      data += map_byte(room(found).flags);
      data += map_byte(found + 1); // non-zero exactly when the room exists
      data += map_byte(0);
    }
    data += '\n';
  }
  if (transition)
    data += transition;
  return data;
}

trel_demo_walk_word trel_demo_world::parse_walk_word(const std::string &word) {
  struct entry {
    const char *short_word;
    const char *long_word;
    int direction;
    int bump;
  };
  static const entry table[] = {
      {"n", "north", trel_demo_north, 0},
      {"e", "east", trel_demo_east, 1},
      {"s", "south", trel_demo_south, 2},
      {"w", "west", trel_demo_west, 3},
      {"u", "up", trel_demo_up, -1},
      {"d", "down", trel_demo_down, -1},
      {"ne", "northeast", -2, 4},
      {"se", "southeast", -2, 5},
      {"sw", "southwest", -2, 6},
      {"nw", "northwest", -2, 7},
      // The client's direction pad sends these words.
      {"neast", "neast", -2, 4},
      {"seast", "seast", -2, 5},
      {"swest", "swest", -2, 6},
      {"nwest", "nwest", -2, 7},
      {"out", "out", -2, -1},
  };
  std::string lower;
  for (char c : word)
    lower += static_cast<char>(tolower(static_cast<unsigned char>(c)));
  trel_demo_walk_word result;
  for (const entry &e : table)
    if (lower == e.short_word || lower == e.long_word) {
      result.direction = e.direction;
      result.bump = e.bump;
      break;
    }
  return result;
}

const char *trel_demo_world::direction_name(int direction) {
  static const char *const names[trel_demo_direction_count] = {"north", "east", "south",
                                                               "west",  "up",   "down"};
  if (direction < 0 || direction >= trel_demo_direction_count)
    return "somewhere";
  return names[direction];
}

const char *trel_demo_world::arrival_from(int direction) {
  static const char *const names[trel_demo_direction_count] = {"the south", "the west", "the north",
                                                               "the east",  "below",    "above"};
  if (direction < 0 || direction >= trel_demo_direction_count)
    return "somewhere";
  return names[direction];
}

int trel_demo_world::opposite(int direction) {
  static const int opposites[trel_demo_direction_count] = {trel_demo_south, trel_demo_west,
                                                           trel_demo_north, trel_demo_east,
                                                           trel_demo_down,  trel_demo_up};
  if (direction < 0 || direction >= trel_demo_direction_count)
    return direction;
  return opposites[direction];
}

std::string trel_demo_time_text(int minute_of_day) {
  int minute = ((minute_of_day % 1440) + 1440) % 1440;
  int hour = minute / 60;
  int shown_hour = hour % 12 == 0 ? 12 : hour % 12;
  char text[32];
  snprintf(text, sizeof text, "%d:%02d %s", shown_hour, minute % 60, hour < 12 ? "am" : "pm");
  return text;
}

std::string trel_demo_sky_record_data(const trel_demo_room &room, int minute_of_day) {
  int minute = ((minute_of_day % 1440) + 1440) % 1440;
  char text[96];
  snprintf(text, sizeof text, "%s %d %d %s", room.sky_flags.c_str(), room.terrain, minute,
           trel_demo_time_text(minute).c_str());
  return text;
}
