// The system configuration file "quenmar.cfg": loading it at start-up (which
// also chooses the current character set), saving it with every named set,
// the client identifier and system sound.
#include "config/system_config.h"

#include <cstdio>
#include <ctime>
#include <unistd.h>
#include <vector>

#include "config/config_store.h"
#include "config/xml_reader.h"
#include "config/xml_string_writer.h"
#include "support/config_dir.h"
#include "support/debug_log.h"
#include "support/random.h"
#include "support/safe_file_write.h"
#include "support/text_utils.h"

namespace {

constexpr int tag_size = 1000;
// Text values of the system file are read into buffers of this size.
constexpr int text_value_size = 1000;
// The declaration line is read with a line buffer of this size.
constexpr int header_line_size = 10000;

// The numeric children of system_config_list, in file order.
struct number_entry {
  const char *key;
  int trel_system_config::*field;
};

const number_entry leading_numbers[] = {
    {"uuid_create_time", &trel_system_config::uuid_create_time},
};

const number_entry trailing_numbers[] = {
    {"system_audio_enable", &trel_system_config::system_audio_enable},
    {"last_voting_time", &trel_system_config::last_voting_time},
    {"last_voting_reminder_time", &trel_system_config::last_voting_reminder_time},
    {"voting_reminders", &trel_system_config::voting_reminders},
};

std::string vote_menu_key(int index, const char *part) {
  char key[40];
  snprintf(key, sizeof key, "vote_menu%d_%s", index, part);
  return key;
}

// The field of the vote menu element named by tag, or nullptr. Reading a
// name puts its entry in use.
std::string *find_vote_menu_field(const char *tag, trel_system_config &system) {
  for (int i = 0; i < TREL_VOTE_MENU_ENTRIES; i++) {
    if (word_equal(tag, vote_menu_key(i, "name").c_str())) {
      system.vote_menu[i].in_use = true;
      return &system.vote_menu[i].name;
    }
    if (word_equal(tag, vote_menu_key(i, "url").c_str()))
      return &system.vote_menu[i].url;
  }
  return nullptr;
}

// The numeric setting named by tag, or nullptr.
int *find_number(const char *tag, trel_system_config &system) {
  for (const number_entry &entry : leading_numbers)
    if (word_equal(tag, entry.key))
      return &(system.*entry.field);
  for (const number_entry &entry : trailing_numbers)
    if (word_equal(tag, entry.key))
      return &(system.*entry.field);
  return nullptr;
}

} // namespace

bool trel_system_config::operator==(const trel_system_config &o) const {
  if (system_audio_enable != o.system_audio_enable || uuid != o.uuid ||
      uuid_create_time != o.uuid_create_time || last_voting_time != o.last_voting_time ||
      last_voting_reminder_time != o.last_voting_reminder_time ||
      voting_reminders != o.voting_reminders)
    return false;
  for (int i = 0; i < TREL_VOTE_MENU_ENTRIES; i++)
    if (!(vote_menu[i] == o.vote_menu[i]))
      return false;
  return true;
}

namespace {

// Reads the children of system_config_list into the store's system settings;
// the name of the last used set goes to last_used.
void load_system_config_list(trel_config_store &store, trel_xml_reader &reader,
                             std::string &last_used) {
  trel_system_config &system = store.system;
  char tag[tag_size];
  std::vector<char> value(text_value_size);
  while (reader.read_tag(tag, sizeof tag)) {
    int *number = nullptr;
    std::string *vote_field = nullptr;
    if (word_equal(tag, "uuid")) {
      if (reader.read_data(value.data(), text_value_size)) {
        system.uuid = value.data();
        if (system.uuid.size() > TREL_UUID_FILE_MAX)
          system.uuid.resize(TREL_UUID_FILE_MAX);
        if (debug_level >= 3)
          trel_client_debug_printf("load_xml_system_config() - loaded uuid '%s'.\n",
                                   system.uuid.c_str());
      }
    } else if ((number = find_number(tag, system))) {
      reader.read_data(number);
    } else if (word_equal(tag, "curr_config")) {
      if (reader.read_data(value.data(), text_value_size))
        last_used = value.data();
    } else if ((vote_field = find_vote_menu_field(tag, system))) {
      if (reader.read_data(value.data(), text_value_size))
        *vote_field = value.data();
    } else if (word_equal(tag, "single_config")) {
      // A character set kept in this file by older clients.
      store.load_xml_single_system_config(reader, nullptr);
    } else if (word_equal(tag, "bootloader_version")) {
      reader.read_data(value.data(), text_value_size);
    } else if (word_equal(tag, "autoupdate_executable1_state") ||
               word_equal(tag, "autoupdate_executable2_state")) {
      int dropped = 0;
      reader.read_data(&dropped);
    } else {
      reader.skip_data();
    }
  }
}

} // namespace

void trel_config_store::load_system_config() {
  load_system_config_file();
  if (debug_level >= 3) {
    trel_client_debug_printf("load_system_config() - finished\n");
    trel_client_debug_printf("\n");
  }
  // Nothing creates or reads this file any more.
  if (const char *directory = trel_client_get_config_directory())
    unlink((std::string(directory) + "/bootname.txt").c_str());
}

void trel_config_store::load_system_config_file() {
  const char *directory = trel_client_get_config_directory();
  if (!directory) {
    if (debug_level >= 1)
      trel_client_debug_printf("Unable to load system config - no config file directory.\n");
    return;
  }
  unlink((std::string(directory) + "/sound_version.cfg").c_str());
  const std::string path = std::string(directory) + "/quenmar.cfg";
  if (debug_level >= 3)
    trel_client_debug_printf("load_system_config_file() - using core config file name '%s'.\n",
                             path.c_str());

  std::string last_used;
  FILE *file = fopen(path.c_str(), "r");
  if (!file) {
    if (debug_level >= 1)
      trel_client_debug_printf("Unable to load system config - cannot open config file '%s'.\n",
                               path.c_str());
  } else {
    std::vector<char> line(header_line_size);
    line[0] = 0;
    const int got = fget_line(file, line.data(), header_line_size);
    trel_xml_file_reader reader(file);
    if (got == 0 || !reader.check_xml_header_string(line.data())) {
      if (debug_level >= 1)
        trel_client_debug_printf("Warning in load_system_config_file() - bad XML header, "
                                 "bailing.\n");
    } else {
      char tag[tag_size];
      while (reader.read_tag(tag, sizeof tag)) {
        if (word_equal(tag, "system_config_list")) {
          load_system_config_list(*this, reader, last_used);
        } else {
          if (debug_level >= 1)
            trel_client_debug_printf("ZConfig::load_system_config_file() got unknown tag '%s'\n",
                                     tag);
          reader.skip_data();
        }
      }
      // What was read before the cut stays; the rest keeps its defaults.
      if (reader.get_depth() > 0 && debug_level >= 1)
        trel_client_debug_printf("Error in ZConfig::load_system_config_file(), config file "
                                 "'%s' ends inside an element, truncated?\n",
                                 path.c_str());
    }
    fclose(file);
  }

  if (system.uuid.empty()) {
    create_default_uuid();
    if (debug_level >= 3)
      trel_client_debug_printf("load_system_config_file() - created default uuid '%s'.\n",
                               system.uuid.c_str());
  }
  setup_default_config(last_used.c_str());
  apply_font();
}

int trel_config_store::save_system_config_file() {
  const char *directory = trel_client_get_config_directory();
  if (!directory) {
    if (debug_level >= 1)
      trel_client_debug_printf("Unable to save system config - no config file directory.\n");
    return 0;
  }
  const std::string path = std::string(directory) + "/quenmar.cfg";

  trel_xml_string_writer writer;
  writer.write_header();
  writer.write_tag("system_config_list", 1);
  trel_xml_write_value(writer, "uuid", system.uuid.c_str());
  for (const number_entry &entry : leading_numbers)
    trel_xml_write_value(writer, entry.key, system.*entry.field);
  if (current_char_cfg && current_char_cfg->is_named())
    trel_xml_write_value(writer, "curr_config", current_char_cfg->name.c_str());
  for (const number_entry &entry : trailing_numbers)
    trel_xml_write_value(writer, entry.key, system.*entry.field);
  for (int i = 0; i < TREL_VOTE_MENU_ENTRIES; i++) {
    const trel_vote_menu_entry &entry = system.vote_menu[i];
    if (!entry.in_use)
      continue;
    trel_xml_write_value(writer, vote_menu_key(i, "name").c_str(), entry.name.c_str());
    trel_xml_write_value(writer, vote_menu_key(i, "url").c_str(), entry.url.c_str());
  }
  writer.end_tag(nullptr, 1);
  writer.write_newline();

  // Every named set goes to its own file, in list order. They are saved even
  // when the system file cannot be, since each file stands on its own.
  for (const std::unique_ptr<ZConfig> &set : config_list)
    if (set->is_named())
      save_char_config(*set);

  const std::string &text = writer.text();
  const int result = trel_safe_file_write(path.c_str(), text.data(), text.size());
  if (result == TREL_SAFE_WRITE_OPEN_FAILED) {
    if (debug_level >= 1)
      trel_client_debug_printf("Unable to save system config - cannot open config file '%s'.\n",
                               path.c_str());
    return 0;
  }
  if (result != TREL_SAFE_WRITE_OK) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in ZConfig::save_system_config_file(), unable to write to "
                               "system config file '%s'.\n",
                               path.c_str());
    return 0;
  }
  return 1;
}

void trel_config_store::set_uuid(const char *text) {
  if (!text || !*text) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in set_uuid(), null string?\n");
    create_default_uuid();
    return;
  }
  system.uuid = text;
  if (system.uuid.size() > TREL_UUID_MAX)
    system.uuid.resize(TREL_UUID_MAX);
  if (debug_level >= 3)
    trel_client_debug_printf("Changed uuid to '%s'.\n", system.uuid.c_str());
  const int now = static_cast<int>(time(nullptr));
  system.uuid_create_time = now;
  system.last_voting_reminder_time = now;
  system.last_voting_time = now;
  save_system_config_file();
}

void trel_config_store::create_default_uuid() {
  static const char hex_digits[] = "0123456789abcdef";
  std::string uuid(TREL_UUID_FILE_MAX, '0');
  for (char &digit : uuid)
    digit = hex_digits[trel_process_random().next() & 15];
  uuid.replace(0, 4, "DFLT");
  system.uuid = uuid;
  if (debug_level >= 3)
    trel_client_debug_printf("create_default_uuid() - created default uuid '%s'.\n",
                             system.uuid.c_str());
}

void trel_config_store::SetSystemAudio(int on) {
  if (on == system.system_audio_enable)
    return;
  system.system_audio_enable = on;
  window().mark_status_dirty();
  if (!on) {
    window().stop_audio();
  } else if (!window().start_audio()) {
    if (debug_level >= 1)
      trel_client_debug_printf("ZConfig::SetSystemAudio() - unable to start audio.  Disabling.\n");
    SetSystemAudio(0);
  }
  window().check_menu_item(trel_menu_check::enable_sounds, system.system_audio_enable != 0);
}
