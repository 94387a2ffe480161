// The settings that belong to the installation rather than to a character:
// the client identifier, system sound, voting reminders and the vote menu.
#pragma once
#include <string>

constexpr int TREL_VOTE_MENU_ENTRIES = 16;
// The identifier keeps at most 33 characters when the server sets it and 32
// when it is read from the file.
constexpr std::size_t TREL_UUID_MAX = 33;
constexpr std::size_t TREL_UUID_FILE_MAX = 32;

// One entry of the vote menu; an entry whose name was never set is not in use.
struct trel_vote_menu_entry {
  bool in_use = false;
  std::string name;
  std::string url;

  bool operator==(const trel_vote_menu_entry &o) const {
    return in_use == o.in_use && name == o.name && url == o.url;
  }
};

// The system settings as "quenmar.cfg" holds them (apart from the name of the
// last used character set, which is the current set's name).
struct trel_system_config {
  int system_audio_enable = 1;
  std::string uuid;
  int uuid_create_time = 0;
  int last_voting_time = 0;
  int last_voting_reminder_time = 0;
  int voting_reminders = 1;
  trel_vote_menu_entry vote_menu[TREL_VOTE_MENU_ENTRIES];

  bool operator==(const trel_system_config &o) const;
  bool operator!=(const trel_system_config &o) const { return !(*this == o); }
};
