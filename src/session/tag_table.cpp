// Tag and event classification.
#include "session/tag_table.h"

#include "support/text_utils.h"

#include <cstring>

namespace {

struct named_tag {
  const char *name;
  trel_tag tag;
};

// In the order the dispatcher tests them.
constexpr named_tag TAGS[] = {
    {"login", trel_tag::login},       {"map", trel_tag::map},
    {"walkfail", trel_tag::walkfail}, {"dirs", trel_tag::dirs},
    {"areaname", trel_tag::areaname}, {"combat", trel_tag::combat},
    {"ncombat", trel_tag::ncombat},   {"uuid", trel_tag::uuid},
    {"enemyhp", trel_tag::enemyhp},   {"group", trel_tag::group},
    {"xpp", trel_tag::xpp},           {"event", trel_tag::event},
    {"hp", trel_tag::hp},             {"sound", trel_tag::sound},
    {"bclear", trel_tag::bclear},     {"window_create", trel_tag::window_create},
    {"append", trel_tag::append},     {"unappend", trel_tag::unappend},
    {"chdiv", trel_tag::chdiv},       {"chudiv", trel_tag::chudiv},
    {"divert", trel_tag::divert},     {"undivert", trel_tag::undivert},
    {"config", trel_tag::config},     {"skystate", trel_tag::skystate},
    {"icons", trel_tag::icons},
};

// The leading decimal digits of text as a number (0 when there are none);
// large values are held at a bound instead of overflowing.
int leading_number(const char *text) {
  long value = 0;
  for (; *text >= '0' && *text <= '9'; text++) {
    value = value * 10 + (*text - '0');
    if (value > 1000000)
      value = 1000000;
  }
  return static_cast<int>(value);
}

} // namespace

trel_tag classify_tag(const char *name, int *button_number) {
  if (!name)
    return trel_tag::unknown;
  for (const named_tag &t : TAGS)
    if (strcmp(name, t.name) == 0)
      return t.tag;
  if (name[0] == 'b' && name[1] == 'f') {
    int n = leading_number(name + 2);
    if (n > 0) {
      if (button_number)
        *button_number = n;
      return trel_tag::fkey_button;
    }
  }
  if (name[0] == 'b') {
    int n = leading_number(name + 1);
    if (n > 0) {
      if (button_number)
        *button_number = n;
      return trel_tag::hint_button;
    }
  }
  return trel_tag::unknown;
}

trel_event classify_event(const char *data, const char **rest) {
  if (!data)
    return trel_event::unhandled;
  if (word_equal(data, "colorflash")) {
    if (rest)
      *rest = next_arg(data);
    return trel_event::colorflash;
  }
  if (strcmp(data, "zvpong") == 0)
    return trel_event::zvpong;
  if (strcmp(data, "newcreate") == 0)
    return trel_event::newcreate;
  if (strcmp(data, "logoff") == 0)
    return trel_event::logoff;
  return trel_event::unhandled;
}

int exits_code(const char *word) {
  if (!word || !word[0] || !word[1])
    return -1;
  return ((word[0] - 'A') * 32) + (word[1] - 'A');
}
