// The game output generator: scenes of a plausible session written as the
// server frames them (CR LF line ends, one parameter per escape sequence,
// ";;" for a semicolon of the text, records between ";s" and ";e").
#include "game_output.h"

#include <cstdio>

namespace {

constexpr int count_of_words = 96;
const char *const words[count_of_words] = {
    "the",     "a",        "of",        "and",     "to",       "in",      "is",      "you",
    "that",    "it",       "with",      "as",      "for",      "on",      "are",     "stone",
    "old",     "dark",     "narrow",    "wide",    "ancient",  "cold",    "damp",    "bright",
    "torch",   "wall",     "floor",     "ceiling", "door",     "gate",    "road",    "path",
    "forest",  "river",    "bridge",    "tower",   "market",   "square",  "tavern",  "temple",
    "moss",    "shadow",   "light",     "wind",    "rain",     "smoke",   "iron",    "wooden",
    "carved",  "worn",     "broken",    "heavy",   "silent",   "distant", "echoes",  "hangs",
    "leads",   "stands",   "covers",    "smells",  "flickers", "rises",   "falls",   "north",
    "south",   "east",     "west",      "above",   "below",    "beyond",  "through", "between",
    "banner",  "statue",   "fountain",  "barrel",  "crate",    "lantern", "rope",    "chain",
    "guard",   "merchant", "traveller", "beggar",  "priest",   "scholar", "child",   "dog",
    "Quenmar", "king's",   "harbour",   "walls",   "crowd",    "bells",   "gulls",   "ships"};

const char *const areas[] = {"Quenmar Town",     "The Old Harbour", "Greywood Forest",
                             "The Sunken Crypt", "Ashen Hills",     "Temple District"};
const char *const room_names[] = {"Market Square",   "A Narrow Alley",    "The Rusty Anchor",
                                  "Before the Gate", "A Mossy Clearing",  "The Crypt Stairs",
                                  "On the Bridge",   "Inside the Temple", "A Windy Ridge"};
const char *const exit_names[] = {"north", "east", "south", "west", "up", "down"};
const char *const enemies[] = {"a goblin warrior", "a giant rat",    "a skeleton",
                               "the harbour thug", "a hungry wolf",  "a cave troll",
                               "a bandit archer",  "the crypt ghoul"};
const char *const hits[] = {"slash", "pierce", "bash", "claw", "bite", "smite", "scratch"};
const char *const strengths[] = {"barely",           "hard",  "very hard",
                                 "with great force", "badly", "*** MASSACRES ***"};
const char *const names[] = {"Aldric", "Brenna", "Corvin", "Dalia", "Eryk",
                             "Fenna",  "Garrit", "Hilde",  "Ivo",   "Jessa"};
const char *const channels[] = {"[gossip]", "[newbie]", "[trade]", "[clan]", "[auction]"};
const char *const smileys[] = {" ;)", " ;-)", " :)", " :D", " ;P", "", "", ""};
const char *const happenings[] = {"The sun rises slowly in the east.",
                                  "A cold wind blows through the streets.",
                                  "You hear the bells of the temple ringing.",
                                  "It starts to rain.",
                                  "A merchant arrives from the south.",
                                  "You are hungry.",
                                  "You feel refreshed.",
                                  "The guard yawns and looks around."};

template <typename T, int N> constexpr int size_of(T (&)[N]) {
  return N;
}

} // namespace

trel_game_output::trel_game_output(uint64_t seed) : state(seed) {}

uint64_t trel_game_output::next() {
  uint64_t z = (state += 0x9e3779b97f4a7c15ull);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

int trel_game_output::below(int bound) {
  return bound <= 1 ? 0 : int(next() % uint64_t(bound));
}

int trel_game_output::between(int low, int high) {
  return low + below(high - low + 1);
}

const char *trel_game_output::pick(const char *const *list, int count) {
  return list[below(count)];
}

size_t trel_game_output::append(std::string &out, size_t min_bytes) {
  const size_t start = out.size();
  while (out.size() - start < min_bytes)
    scene(out);
  counts.bytes += int64_t(out.size() - start);
  return out.size() - start;
}

size_t trel_game_output::append_lines(std::string &out, int64_t line_count) {
  const size_t start = out.size();
  const int64_t target = counts.text_lines + line_count;
  while (counts.text_lines < target)
    scene(out);
  counts.bytes += int64_t(out.size() - start);
  return out.size() - start;
}

void trel_game_output::scene(std::string &out) {
  const int roll = below(100);
  if (roll < 20)
    room(out);
  else if (roll < 55)
    combat(out);
  else if (roll < 80)
    chat(out);
  else if (roll < 95)
    misc(out);
  else
    long_line(out);
  // Most scenes end at a prompt; some prompts take the next scene on their line.
  if (below(3) != 0)
    prompt(out);
}

void trel_game_output::colour_change(std::string &out) {
  // One parameter per sequence: a semicolon would start a record on this wire.
  static const char *const leads[] = {"", "\x1b[0m", "\x1b[1m", "\x1b[2m", "\x1b[22m"};
  const char *lead = leads[below(size_of(leads))];
  if (*lead) {
    out += lead;
    counts.colour_sequences++;
  }
  if (*lead == 0 || below(4) != 0) {
    out += "\x1b[3";
    out += char('1' + below(7));
    out += 'm';
    counts.colour_sequences++;
  }
  colour_countdown = between(TREL_GAME_OUTPUT_MIN_COLOUR_GAP, TREL_GAME_OUTPUT_MAX_COLOUR_GAP);
}

void trel_game_output::text(std::string &out, const char *s) {
  for (; *s; s++) {
    if (colour_countdown <= 0)
      colour_change(out);
    if (*s == ';') {
      out += ";;";
      counts.literal_semicolons++;
    } else {
      out += *s;
    }
    colour_countdown--;
    line_length++;
  }
}

void trel_game_output::word_run(std::string &out, int characters) {
  int written = 0;
  while (written < characters) {
    const char *word = pick(words, count_of_words);
    text(out, word);
    text(out, " ");
    written += int(std::char_traits<char>::length(word)) + 1;
  }
}

void trel_game_output::end_line(std::string &out) {
  out += "\r\n";
  counts.text_lines++;
  if (line_length > TREL_GAME_OUTPUT_LONG_LINE)
    counts.long_lines++;
  line_length = 0;
  if (++lines_since_record >= record_gap)
    status_record(out);
}

void trel_game_output::record(std::string &out, const char *name, const std::string &data) {
  out += ";s";
  out += name;
  out += ';';
  // A semicolon would end the data early; the payloads here never hold one.
  for (char c : data)
    if (c != ';')
      out += c;
  out += ";e";
  out += name;
  out += ';';
  counts.records++;
  lines_since_record = 0;
  record_gap = between(2, TREL_GAME_OUTPUT_MAX_RECORD_GAP);
}

void trel_game_output::bare_tag(std::string &out, const char *name) {
  out += ";t";
  out += name;
  out += ';';
  counts.bare_tags++;
}

void trel_game_output::status_record(std::string &out) {
  char data[96];
  if (below(4) != 0) {
    snprintf(data, sizeof data, "%d %d %d %d %d %d", hp, max_hp, mana, max_mana, moves, max_moves);
    record(out, "hp", data);
  } else {
    snprintf(data, sizeof data, "%d %d", experience % 1001, (experience * 7) % 1001);
    record(out, "xpp", data);
  }
}

void trel_game_output::prompt(std::string &out) {
  char line[96];
  snprintf(line, sizeof line, "<%dhp %dm %dmv> ", hp, mana, moves);
  text(out, line);
  if (below(2) == 0)
    end_line(out);
}

void trel_game_output::room(std::string &out) {
  if (below(4) == 0)
    record(out, "areaname", pick(areas, size_of(areas)));
  text(out, pick(room_names, size_of(room_names)));
  end_line(out);
  // The description, filled to the server's own wrap column.
  const int lines = between(3, 6);
  const int width = between(70, 79);
  for (int line = 0; line < lines; line++) {
    int length = 0;
    for (;;) {
      const char *word = pick(words, count_of_words);
      const int word_length = int(std::char_traits<char>::length(word));
      if (length > 0 && length + 1 + word_length > width)
        break;
      if (length > 0)
        text(out, " ");
      text(out, word);
      length += word_length + (length > 0);
    }
    end_line(out);
  }
  std::string exits = "Obvious exits:";
  const int exit_count = between(1, 4);
  for (int i = 0; i < exit_count; i++) {
    exits += ' ';
    exits += pick(exit_names, size_of(exit_names));
  }
  text(out, exits + ".");
  end_line(out);
  for (int i = below(4); i > 0; i--) {
    std::string who = pick(enemies, size_of(enemies));
    who[0] = char(who[0] - 'a' + 'A');
    text(out, who + " is here.");
    end_line(out);
  }
  std::string dirs = "on ";
  dirs += char('A' + below(26));
  dirs += char('A' + below(26));
  record(out, "dirs", dirs);
  moves = moves > 2 ? moves - between(1, 2) : max_moves;
}

void trel_game_output::combat(std::string &out) {
  char line[200];
  if (enemy_percent <= 0) {
    enemy = pick(enemies, size_of(enemies));
    enemy_percent = 100;
    bare_tag(out, "combat");
    snprintf(line, sizeof line, "You attack %s!", enemy.c_str());
    text(out, line);
    end_line(out);
  }
  for (int round = between(2, 4); round > 0; round--) {
    snprintf(line, sizeof line, "Your %s hits %s %s.", pick(hits, size_of(hits)), enemy.c_str(),
             pick(strengths, size_of(strengths)));
    text(out, line);
    end_line(out);
    enemy_percent -= between(3, 20);
    if (below(2) == 0) {
      snprintf(line, sizeof line, "%c%s's %s hits you %s.", enemy[0] - 'a' + 'A', enemy.c_str() + 1,
               pick(hits, size_of(hits)), pick(strengths, size_of(strengths)));
      text(out, line);
      end_line(out);
      hp = hp > 10 ? hp - between(1, 9) : max_hp;
    }
  }
  if (enemy_percent > 0) {
    snprintf(line, sizeof line, "%d %s", enemy_percent, enemy.c_str());
    record(out, "enemyhp", line);
    return;
  }
  snprintf(line, sizeof line, "%c%s is DEAD!!", enemy[0] - 'a' + 'A', enemy.c_str() + 1);
  text(out, line);
  end_line(out);
  const int gained = between(20, 400);
  experience += gained;
  snprintf(line, sizeof line, "You receive %d experience points.", gained);
  text(out, line);
  end_line(out);
  bare_tag(out, "ncombat");
  status_record(out);
  hp = hp + 20 < max_hp ? hp + 20 : max_hp;
  mana = mana > 5 ? mana - between(0, 5) : max_mana;
}

void trel_game_output::chat(std::string &out) {
  for (int message = between(1, 3); message > 0; message--) {
    const char *who = pick(names, size_of(names));
    if (below(3) == 0) {
      text(out, who);
      text(out, " tells you, '");
      word_run(out, between(10, 60));
      text(out, pick(smileys, size_of(smileys)));
      text(out, "'");
    } else {
      text(out, pick(channels, size_of(channels)));
      text(out, " ");
      text(out, who);
      text(out, ": ");
      word_run(out, between(10, 90));
      text(out, pick(smileys, size_of(smileys)));
    }
    end_line(out);
  }
}

void trel_game_output::long_line(std::string &out) {
  // A long chat message or listing that the pane has to wrap many times.
  text(out, pick(channels, size_of(channels)));
  text(out, " ");
  text(out, pick(names, size_of(names)));
  text(out, ": ");
  word_run(out, between(TREL_GAME_OUTPUT_LONG_LINE + 100, 3000));
  end_line(out);
}

void trel_game_output::misc(std::string &out) {
  text(out, pick(happenings, size_of(happenings)));
  end_line(out);
  if (below(2) == 0) {
    char line[160];
    snprintf(line, sizeof line, "%s arrives from the %s.", pick(names, size_of(names)),
             pick(exit_names, size_of(exit_names)));
    text(out, line);
    end_line(out);
  }
}

std::string trel_game_output_text(size_t min_bytes, uint64_t seed) {
  std::string out;
  out.reserve(min_bytes + 8192);
  trel_game_output generator(seed);
  generator.append(out, min_bytes);
  return out;
}
