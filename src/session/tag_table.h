// The server's tag vocabulary and its event words, matched in a fixed order.
#pragma once

enum class trel_tag {
  login,
  map,
  walkfail,
  dirs,
  areaname,
  combat,
  ncombat,
  uuid,
  enemyhp,
  group,
  xpp,
  event,
  hp,
  sound,
  bclear,
  window_create,
  append,
  unappend,
  chdiv,
  chudiv,
  divert,
  undivert,
  config,
  skystate,
  icons,
  fkey_button, // "bf" and a positive number
  hint_button, // "b" and a positive number
  unknown
};

// Exact, case-sensitive match of the whole name; for the two button rows the
// number is stored in *button_number when it is given.
trel_tag classify_tag(const char *name, int *button_number = nullptr);

enum class trel_event { colorflash, zvpong, newcreate, logoff, unhandled };

// The event record's meaning; for a colour flash *rest points after the first word.
trel_event classify_event(const char *data, const char **rest = nullptr);

// The exits code of a "dirs" word: ((c0 - 'A') * 32) + (c1 - 'A'), or -1 when
// the word has fewer than two characters.
int exits_code(const char *word);
