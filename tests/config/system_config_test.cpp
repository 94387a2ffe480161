// The system configuration file "quenmar.cfg": its exact layout, a full round
// trip, the identifier, the choice of the current set at start-up, obsolete
// files, older elements and system sound.
#include <cctype>
#include <ctime>

#include "config/config_store_test_support.h"

namespace {

class system_file_test : public config_store_test {
protected:
  static std::string system_file() { return config_path("quenmar.cfg"); }
};

const std::string header = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

// True for "DFLT" followed by 28 lowercase hexadecimal digits.
bool is_default_uuid(const std::string &uuid) {
  if (uuid.size() != 32 || uuid.compare(0, 4, "DFLT") != 0)
    return false;
  for (std::size_t i = 4; i < uuid.size(); i++)
    if (!isxdigit(static_cast<unsigned char>(uuid[i])) ||
        isupper(static_cast<unsigned char>(uuid[i])))
      return false;
  return true;
}

TEST_F(system_file_test, saved_file_has_the_exact_layout) {
  store.system.uuid = "0123456789abcdef0123456789abcdef";
  store.system.uuid_create_time = 1700000000;
  store.system.last_voting_time = 5;
  store.system.last_voting_reminder_time = 6;
  store.system.voting_reminders = 0;
  store.system.vote_menu[3] = {true, "Vote <here>", "http://example.org/?a=1&b=2"};
  store.system.vote_menu[1] = {false, "unused", "unused"};
  store.setup_default_config("");
  store.use_character_config("Aldo");

  ASSERT_EQ(store.save_system_config_file(), 1);

  EXPECT_EQ(read_file(system_file()),
            header + "<system_config_list>\n"
                     "  <uuid>0123456789abcdef0123456789abcdef</uuid>\n"
                     "  <uuid_create_time>1700000000</uuid_create_time>\n"
                     "  <curr_config>Aldo</curr_config>\n"
                     "  <system_audio_enable>1</system_audio_enable>\n"
                     "  <last_voting_time>5</last_voting_time>\n"
                     "  <last_voting_reminder_time>6</last_voting_reminder_time>\n"
                     "  <voting_reminders>0</voting_reminders>\n"
                     "  <vote_menu3_name>Vote &lt;here&gt;</vote_menu3_name>\n"
                     "  <vote_menu3_url>http://example.org/?a=1&amp;b=2</vote_menu3_url>\n"
                     "</system_config_list>\n"
                     "\n");
  EXPECT_TRUE(exists(char_file("Aldo"))) << "named sets are saved with the system file";
}

TEST_F(system_file_test, everything_survives_a_round_trip) {
  trel_system_config &saved = store.system;
  saved.system_audio_enable = 0;
  saved.uuid = "fedcba9876543210fedcba9876543210";
  saved.uuid_create_time = 1234;
  saved.last_voting_time = 2345;
  saved.last_voting_reminder_time = 3456;
  saved.voting_reminders = 0;
  saved.vote_menu[0] = {true, "First", "http://one"};
  saved.vote_menu[15] = {true, "Last", ""};
  store.add(make_full_set("Bert"));
  store.add(make_full_set("Aldo"));
  store.setup_default_config("Aldo");
  ASSERT_EQ(store.save_system_config_file(), 1);

  trel_config_store fresh;
  fresh.load_system_config_file();

  EXPECT_TRUE(fresh.system == saved) << read_file(system_file());
  ASSERT_NE(fresh.get_current_char_cfg(), nullptr);
  EXPECT_TRUE(*fresh.get_current_char_cfg() == make_full_set("Aldo"));
  EXPECT_TRUE(exists(char_file("Bert")));
  EXPECT_EQ(log_count("load_xml_system_config() - loaded uuid "
                      "'fedcba9876543210fedcba9876543210'.\n"),
            1);
}

TEST_F(system_file_test, without_a_file_the_defaults_apply) {
  store.load_system_config_file();

  EXPECT_TRUE(is_default_uuid(store.get_uuid())) << store.get_uuid();
  EXPECT_EQ(store.GetSystemAudio(), 1);
  EXPECT_EQ(store.get_voting_reminders(), 1);
  ASSERT_NE(store.get_current_char_cfg(), nullptr);
  EXPECT_FALSE(store.get_current_char_cfg()->is_named());
  EXPECT_EQ(log_count("Unable to load system config - cannot open config file '" + system_file() +
                      "'.\n"),
            1);
  EXPECT_FALSE(exists(system_file())) << "the default identifier waits for the next save";
}

TEST_F(system_file_test, file_without_a_declaration_is_not_read) {
  write_file(system_file(), "<system_config_list>\n  <uuid>0123456789abcdef</uuid>\n"
                            "  <system_audio_enable>0</system_audio_enable>\n"
                            "</system_config_list>\n");

  store.load_system_config_file();

  EXPECT_TRUE(is_default_uuid(store.get_uuid()));
  EXPECT_EQ(store.GetSystemAudio(), 1);
  EXPECT_EQ(log_count("Warning in load_system_config_file() - bad XML header, bailing.\n"), 1);
}

TEST_F(system_file_test, identifier_from_the_file_keeps_32_characters) {
  write_file(system_file(), header + "<system_config_list>\n  <uuid>" + std::string(32, 'a') +
                                "bbbbbbbb</uuid>\n</system_config_list>\n");

  store.load_system_config_file();

  EXPECT_EQ(std::string(store.get_uuid()), std::string(32, 'a'));
}

TEST_F(system_file_test, identifier_from_the_server_keeps_33_characters_and_is_saved_at_once) {
  store.setup_default_config("");
  const time_t before = time(nullptr);

  store.set_uuid((std::string(33, 'c') + "ddddddd").c_str());

  EXPECT_EQ(std::string(store.get_uuid()), std::string(33, 'c'));
  EXPECT_GE(store.system.uuid_create_time, before);
  EXPECT_EQ(store.system.last_voting_time, store.system.uuid_create_time);
  EXPECT_EQ(store.system.last_voting_reminder_time, store.system.uuid_create_time);
  EXPECT_NE(read_file(system_file()).find("<uuid>" + std::string(33, 'c') + "</uuid>"),
            std::string::npos);
}

TEST_F(system_file_test, empty_identifier_from_the_server_makes_a_default_one) {
  store.set_uuid("");
  EXPECT_TRUE(is_default_uuid(store.get_uuid()));
  EXPECT_EQ(log_count("Error in set_uuid(), null string?\n"), 1);
  store.set_uuid(nullptr);
  EXPECT_EQ(log_count("Error in set_uuid(), null string?\n"), 2);
  EXPECT_FALSE(exists(system_file())) << "nothing is saved";
}

TEST_F(system_file_test, unnamed_current_set_writes_no_last_used_name) {
  store.setup_default_config("");
  ASSERT_EQ(store.save_system_config_file(), 1);
  EXPECT_EQ(read_file(system_file()).find("curr_config"), std::string::npos);

  trel_config_store fresh;
  fresh.load_system_config_file();
  EXPECT_FALSE(fresh.get_current_char_cfg()->is_named());
  // Once for each store's start-up.
  EXPECT_EQ(log_count("ZConfig::setup_default_config() - no previous config specified, using "
                      "default.\n"),
            2);
}

TEST_F(system_file_test, older_elements_are_read_and_dropped_and_unknown_ones_skipped) {
  write_file(system_file(), header +
                                "<preamble><uuid>nope</uuid></preamble>\n"
                                "<system_config_list>\n"
                                "  <bootloader_version>1.2</bootloader_version>\n"
                                "  <autoupdate_executable1_state>3</autoupdate_executable1_state>\n"
                                "  <autoupdate_executable2_state>4</autoupdate_executable2_state>\n"
                                "  <future><uuid>nope</uuid></future>\n"
                                "  <single_config><name>Aldo</name><sky_bar>0</sky_bar>"
                                "</single_config>\n"
                                "  <UUID>abc</UUID>\n"
                                "  <curr_config>Aldo</curr_config>\n"
                                "</system_config_list>\n");

  store.load_system_config_file();

  EXPECT_EQ(log_count("ZConfig::load_system_config_file() got unknown tag 'preamble'\n"), 1);
  EXPECT_EQ(std::string(store.get_uuid()), "abc");
  ASSERT_NE(store.get_current_char_cfg(), nullptr);
  EXPECT_EQ(store.get_current_char_cfg()->name, "Aldo") << "the set kept in the system file";
  EXPECT_EQ(store.get_sky_bar(), 0);

  ASSERT_EQ(store.save_system_config_file(), 1);
  const std::string saved = read_file(system_file());
  EXPECT_EQ(saved.find("bootloader"), std::string::npos);
  EXPECT_EQ(saved.find("autoupdate"), std::string::npos);
  EXPECT_EQ(saved.find("single_config"), std::string::npos) << "sets go to their own files";
  EXPECT_TRUE(exists(char_file("Aldo")));
}

TEST_F(system_file_test, start_up_removes_obsolete_files) {
  write_file(config_path("sound_version.cfg"), "old");
  write_file(config_path("bootname.txt"), "old");

  store.load_system_config();

  EXPECT_FALSE(exists(config_path("sound_version.cfg")));
  EXPECT_FALSE(exists(config_path("bootname.txt")));
  EXPECT_EQ(log_count("load_system_config() - finished\n\n"), 1);
}

TEST_F(system_file_test, start_up_applies_the_fonts_of_the_chosen_set) {
  ASSERT_EQ(store.save_char_config(make_full_set("Aldo")), 1);
  write_file(system_file(),
             header + "<system_config_list><curr_config>Aldo</curr_config></system_config_list>\n");

  store.load_system_config_file();

  EXPECT_EQ(store.fonts.main_size_setting, 13);
  EXPECT_TRUE(window.saw("fonts 'Monospace <bold> & wide 13' 13 'Sans 5' 5"));
}

TEST_F(system_file_test, sound_that_cannot_start_is_switched_off_again) {
  store.system.system_audio_enable = 0;
  window.audio_starts = 0;

  store.SetSystemAudio(1);

  EXPECT_EQ(store.GetSystemAudio(), 0);
  EXPECT_EQ(window.calls.back(), "check Enable Sounds 0");
  EXPECT_FALSE(window.saw("check Enable Sounds 1"));
  EXPECT_TRUE(window.saw("status dirty"));
  EXPECT_EQ(log_count("ZConfig::SetSystemAudio() - unable to start audio.  Disabling.\n"), 1);
}

TEST_F(system_file_test, sound_switches_on_and_off) {
  store.SetSystemAudio(1);
  EXPECT_TRUE(window.calls.empty()) << "no change, nothing to do";

  store.SetSystemAudio(0);
  EXPECT_EQ(window.calls,
            (std::vector<std::string>{"status dirty", "stop audio", "check Enable Sounds 0"}));
  window.calls.clear();
  store.SetSystemAudio(1);
  EXPECT_EQ(window.calls,
            (std::vector<std::string>{"status dirty", "start audio", "check Enable Sounds 1"}));
  EXPECT_EQ(store.GetSystemAudio(), 1);
}

} // namespace
