// A deterministic generator of realistic game output as the server sends it:
// room descriptions, combat rounds, chat and prompts, with a colour change
// every 10 to 30 characters, status records every few lines and now and then
// a very long line. The benchmarks and the end-to-end ingest run share it, so
// every figure is measured on the same kind of stream.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// What a generator has written so far.
struct trel_game_output_stats {
  int64_t bytes = 0;
  // Line feeds in the text.
  int64_t text_lines = 0;
  // Records between ";s" name and ";e" name ";".
  int64_t records = 0;
  // Bare tags, ";t" name ";".
  int64_t bare_tags = 0;
  // Escape sequences; each carries exactly one parameter.
  int64_t colour_sequences = 0;
  // Semicolons of the text, each sent doubled.
  int64_t literal_semicolons = 0;
  // Lines of more than TREL_GAME_OUTPUT_LONG_LINE visible characters.
  int64_t long_lines = 0;
};

// A line longer than this many visible characters counts as a long line.
constexpr int TREL_GAME_OUTPUT_LONG_LINE = 200;
// Visible characters between two colour changes.
constexpr int TREL_GAME_OUTPUT_MIN_COLOUR_GAP = 10;
constexpr int TREL_GAME_OUTPUT_MAX_COLOUR_GAP = 30;
// Text lines between two status records, at most.
constexpr int TREL_GAME_OUTPUT_MAX_RECORD_GAP = 5;

class trel_game_output {
public:
  // The same seed always gives the same bytes.
  explicit trel_game_output(uint64_t seed = 1);

  // Appends whole scenes to out until it has grown by at least min_bytes.
  // A scene never ends inside a record or an escape sequence. Returns the
  // number of bytes appended.
  size_t append(std::string &out, size_t min_bytes);
  // The same, until at least line_count more line feeds were written.
  size_t append_lines(std::string &out, int64_t line_count);

  const trel_game_output_stats &stats() const { return counts; }

private:
  // Random numbers: splitmix64, so the stream is the same on every
  // platform and library (the standard distributions are not).
  uint64_t next();
  int below(int bound);
  int between(int low, int high);
  const char *pick(const char *const *list, int count);

  void scene(std::string &out);
  void room(std::string &out);
  void combat(std::string &out);
  void chat(std::string &out);
  void long_line(std::string &out);
  void prompt(std::string &out);
  void misc(std::string &out);

  // Visible text, with its colour changes and doubled semicolons.
  void text(std::string &out, const char *s);
  void text(std::string &out, const std::string &s) { text(out, s.c_str()); }
  void word_run(std::string &out, int characters);
  void end_line(std::string &out);
  void colour_change(std::string &out);
  void record(std::string &out, const char *name, const std::string &data);
  void bare_tag(std::string &out, const char *name);
  void status_record(std::string &out);

  uint64_t state;
  trel_game_output_stats counts;
  int colour_countdown = 0;
  int line_length = 0;
  int lines_since_record = 0;
  int record_gap = 3;

  // The character and the fight, so the records tell a consistent story.
  int hp = 120, max_hp = 120, mana = 80, max_mana = 80, moves = 90, max_moves = 90;
  int enemy_percent = -1;
  std::string enemy;
  int experience = 250;
};

// min_bytes of output (a little more: whole scenes) from a fresh generator.
std::string trel_game_output_text(size_t min_bytes, uint64_t seed = 1);
