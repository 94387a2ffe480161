// Client command matching: abbreviations with minimum lengths, word-equal and any-prefix.
#include "session/client_commands.h"

#include "support/text_utils.h"

namespace {

struct command_rule {
  const char *word;
  int minimum; // 0: the whole word must be typed (word-equal)
  trel_client_command command;
  bool needs_login;
};

// In the order they are tested; the first match wins.
constexpr command_rule RULES[] = {
    {"//commands", 3, trel_client_command::commands, false},
    {"//help", 3, trel_client_command::help, false},
    {"//version", 3, trel_client_command::version, false},
    {"//break", 3, trel_client_command::break_line, false},
    {"//history", 3, trel_client_command::history, false},
    {"//quit", 6, trel_client_command::quit, false},
    {"//exit", 6, trel_client_command::quit, false},
    {"//disconnect", 6, trel_client_command::disconnect, false},
    {"//clear", 4, trel_client_command::clear, false},
    {"//chanclear", 4, trel_client_command::chanclear, false},
    {"//cclear", 4, trel_client_command::chanclear, false},
    {"zvping", 0, trel_client_command::ping, true},
    {"//ping", 3, trel_client_command::ping, true},
    {"//echo", 3, trel_client_command::echo, false},
    {"//debuglevel", 5, trel_client_command::debuglevel, false},
    {"//debugfilename", 8, trel_client_command::debugfilename, false},
    {"//debugfill", 0, trel_client_command::debugfill, false},
    {"//icons", 0, trel_client_command::icons, false},
    {"//soundtest", 0, trel_client_command::soundtest, false},
};

bool rule_matches(const char *line, const command_rule &rule) {
  if (rule.minimum == 0)
    return word_equal(line, rule.word) != 0;
  return word_abbrev(line, rule.word, rule.minimum) > 0;
}

} // namespace

trel_client_command match_client_command(const char *line, bool logged_in) {
  if (!line)
    return trel_client_command::none;
  for (const command_rule &rule : RULES) {
    if (rule.needs_login && !logged_in)
      continue;
    if (rule_matches(line, rule))
      return rule.command;
  }
  return trel_client_command::none;
}

trel_offline_word match_offline_word(const char *line, int *port) {
  if (!line)
    return trel_offline_word::none;
  if (word_prefix(line, "connect") > 0 || word_abbrev(line, "restart", 2) > 0 ||
      word_abbrev(line, "start", 2) > 0 || word_abbrev(line, "login", 4) > 0) {
    long number = 0;
    const char *second = next_arg(line);
    if (!second || !parse_number(second, &number) || number < 0 || number > 65535)
      number = 0;
    if (port)
      *port = static_cast<int>(number);
    return trel_offline_word::connect;
  }
  if (word_abbrev(line, "quit", 3) > 0 || word_abbrev(line, "exit", 2) > 0)
    return trel_offline_word::quit;
  return trel_offline_word::none;
}
