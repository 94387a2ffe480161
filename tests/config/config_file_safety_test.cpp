// Faults the configuration files must survive: a save that fails part way
// (a full disk) or cannot replace the file, a directory or file in the way,
// truncated and garbage files, and character names that try to leave
// "char_configs".
#include <algorithm>
#include <random>

#include "config/config_store_test_support.h"

namespace {

class file_safety_test : public config_store_test {
protected:
  static std::string system_file() { return config_path("quenmar.cfg"); }

  // Every path under the configuration directory, relative to root().
  static std::vector<std::string> config_tree() {
    std::vector<std::string> paths;
    for (const std::string &path : tree())
      if (path.rfind("home/.Quenmar/", 0) == 0)
        paths.push_back(path.substr(14));
    return paths;
  }
};

// What the child process of a failing save works on.
struct save_job {
  trel_config_store *store;
  const ZConfig *set;
};

int save_char_config_job(void *argument) {
  save_job *job = static_cast<save_job *>(argument);
  return job->store->save_char_config(*job->set);
}

int save_system_config_job(void *argument) {
  return static_cast<trel_config_store *>(argument)->save_system_config_file();
}

// A set whose file is far larger than the limit the failing saves run under.
ZConfig make_large_set(const std::string &name) {
  ZConfig set = make_full_set(name);
  set.font = std::string(8000, 'f');
  set.sky_bar = 0;
  return set;
}

constexpr long small_file_limit = 1024;
constexpr long large_file_limit = 1 << 20;

TEST_F(file_safety_test, character_file_survives_a_save_that_runs_out_of_space) {
  ZConfig before = make_full_set("Aldo");
  ASSERT_EQ(store.save_char_config(before), 1);
  const std::string old_text = read_file(char_file("Aldo"));
  const ZConfig large = make_large_set("Aldo");
  save_job job{&store, &large};

  EXPECT_EQ(run_with_file_size_limit(small_file_limit, save_char_config_job, &job), 0)
      << "the save reports its failure";

  EXPECT_EQ(read_file(char_file("Aldo")), old_text);
  EXPECT_EQ(config_tree(), (std::vector<std::string>{"char_configs", "char_configs/Aldo.cfg"}))
      << "no temporary file is left behind";
  trel_config_store fresh;
  ZConfig *loaded = fresh.get_or_load("Aldo");
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(*loaded == before);

  // With room enough the same save goes through: it was the space that failed.
  EXPECT_EQ(run_with_file_size_limit(large_file_limit, save_char_config_job, &job), 1);
  trel_config_store after;
  ASSERT_NE(after.get_or_load("Aldo"), nullptr);
  EXPECT_TRUE(*after.get_or_load("Aldo") == large);
}

TEST_F(file_safety_test, system_file_survives_a_save_that_runs_out_of_space) {
  store.system.uuid = "11112222333344445555666677778888";
  ASSERT_EQ(store.save_system_config_file(), 1);
  const std::string old_text = read_file(system_file());
  store.system.uuid = "99990000999900009999000099990000";
  store.system.vote_menu[2] = {true, "Vote", std::string(4000, 'u')};

  EXPECT_EQ(run_with_file_size_limit(small_file_limit, save_system_config_job, &store), 0);

  EXPECT_EQ(read_file(system_file()), old_text);
  EXPECT_EQ(config_tree(), (std::vector<std::string>{"quenmar.cfg"}));
  trel_config_store fresh;
  fresh.load_system_config_file();
  EXPECT_EQ(std::string(fresh.get_uuid()), "11112222333344445555666677778888");

  EXPECT_EQ(run_with_file_size_limit(large_file_limit, save_system_config_job, &store), 1);
  trel_config_store after;
  after.load_system_config_file();
  EXPECT_EQ(std::string(after.get_uuid()), "99990000999900009999000099990000");
}

TEST_F(file_safety_test, directory_where_the_system_file_should_be_is_reported_and_kept) {
  make_directory(system_file());
  write_file(system_file() + "/keep", "x");
  store.add(make_full_set("Aldo"));

  EXPECT_EQ(store.save_system_config_file(), 0);

  EXPECT_EQ(log_count("Error in ZConfig::save_system_config_file(), unable to write to system "
                      "config file '" +
                      system_file() + "'.\n"),
            1);
  EXPECT_EQ(config_tree(), (std::vector<std::string>{"char_configs", "char_configs/Aldo.cfg",
                                                     "quenmar.cfg", "quenmar.cfg/keep"}))
      << "the character file is still saved and no temporary file is left";
}

TEST_F(file_safety_test, directory_where_a_character_file_should_be_is_reported_and_kept) {
  make_directory(config_path("char_configs"));
  make_directory(char_file("Aldo"));
  write_file(char_file("Aldo") + "/keep", "x");

  EXPECT_EQ(store.save_char_config(make_full_set("Aldo")), 0);

  EXPECT_EQ(log_count("Unable to save config file '" + char_file("Aldo") + "'.\n"), 1);
  EXPECT_EQ(config_tree(), (std::vector<std::string>{"char_configs", "char_configs/Aldo.cfg",
                                                     "char_configs/Aldo.cfg/keep"}));
}

TEST_F(file_safety_test, file_where_the_configuration_directory_should_be_is_reported) {
  ASSERT_EQ(rmdir(config_dir().c_str()), 0);
  write_file(config_dir(), "not a directory");
  store.add(make_full_set("Aldo"));

  EXPECT_EQ(store.save_system_config_file(), 0);

  EXPECT_EQ(log_count("Unable to save system config - cannot open config file '" + system_file() +
                      "'.\n"),
            1);
  EXPECT_EQ(log_count("Unable to create directory for config file '" + config_path("char_configs") +
                      "'.\n"),
            1);
  EXPECT_EQ(read_file(config_dir()), "not a directory");
}

struct unsafe_name_case {
  std::string name;
  // The name as the debug log shows it.
  std::string shown;
};

void PrintTo(const unsafe_name_case &c, std::ostream *out) {
  *out << c.shown.substr(0, 20);
}

class unsafe_name_test : public file_safety_test,
                         public ::testing::WithParamInterface<unsafe_name_case> {};

TEST_P(unsafe_name_test, set_lives_in_memory_and_nothing_leaves_char_configs) {
  const unsafe_name_case &c = GetParam();
  // A file that a careless loader would read (and delete, as an old-style
  // file) for "../../x", at both places such a path leads.
  const std::string planted = "<single_config><name>" + c.name + "</name></single_config>\n";
  write_file(root() + "/x.cfg", planted);
  write_file(root() + "/home/x.cfg", planted);
  const std::vector<std::string> planted_tree = tree();
  store.setup_default_config("");

  store.use_character_config(c.name.c_str());
  store.set_sky_bar(0);
  EXPECT_EQ(store.save_system_config_file(), 1);

  ASSERT_NE(store.get_current_char_cfg(), nullptr);
  EXPECT_EQ(store.get_current_char_cfg()->name, c.name);
  EXPECT_EQ(store.get_sky_bar(), 0) << "the set works in memory";
  std::vector<std::string> expected = planted_tree;
  expected.push_back("home/.Quenmar/quenmar.cfg");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(tree(), expected);
  EXPECT_EQ(read_file(root() + "/x.cfg"), planted);
  EXPECT_EQ(read_file(root() + "/home/x.cfg"), planted);
  EXPECT_EQ(log_count("Error in ZConfig::get_or_load(), config name '" + c.shown +
                      "' is not a safe file name, not looking for a config file.\n"),
            1)
      << log();
  EXPECT_EQ(log_count("Error in ZConfig::save_char_config(), config name '" + c.shown +
                      "' is not a safe file name, keeping it in memory only.\n"),
            1);
}

INSTANTIATE_TEST_SUITE_P(
    names, unsafe_name_test,
    ::testing::Values(unsafe_name_case{"../../x", "../../x"}, unsafe_name_case{"a/b", "a/b"},
                      unsafe_name_case{"/tmp/x", "/tmp/x"}, unsafe_name_case{".hidden", ".hidden"},
                      unsafe_name_case{"..", ".."}, unsafe_name_case{"x\n", "x?"},
                      unsafe_name_case{"a\\b", "a\\b"}, unsafe_name_case{"tab\there", "tab?here"},
                      unsafe_name_case{"del\x7f", "del?"}, unsafe_name_case{"caf\xc3\xa9", "caf??"},
                      unsafe_name_case{std::string(300, 'n'), std::string(300, 'n')}));

TEST_F(file_safety_test, last_used_name_from_the_system_file_cannot_leave_the_directory) {
  const std::string planted = "<single_config><name>../../x</name><sky_bar>0</sky_bar>"
                              "</single_config>\n";
  write_file(root() + "/x.cfg", planted);
  write_file(root() + "/home/x.cfg", planted);
  write_file(system_file(), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                            "<system_config_list><curr_config>../../x</curr_config>"
                            "<single_config><name>../evil</name></single_config>"
                            "</system_config_list>\n");

  store.load_system_config_file();
  ASSERT_EQ(store.save_system_config_file(), 1);

  ASSERT_NE(store.get_current_char_cfg(), nullptr);
  EXPECT_FALSE(store.get_current_char_cfg()->is_named());
  EXPECT_NE(store.find("../evil"), nullptr) << "kept in memory";
  EXPECT_EQ(read_file(root() + "/x.cfg"), planted);
  EXPECT_EQ(read_file(root() + "/home/x.cfg"), planted);
  EXPECT_EQ(tree(), (std::vector<std::string>{"home", "home/.Quenmar", "home/.Quenmar/quenmar.cfg",
                                              "home/x.cfg", "x.cfg"}));
}

// Bytes from a fixed seed, so that a failure can be repeated.
std::string noise(std::size_t length, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(length, '\0');
  for (char &c : bytes)
    c = static_cast<char>(generator() & 0xff);
  return bytes;
}

const std::string declaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

struct damaged_system_file {
  const char *what;
  std::string content;
  // A message the load must write ("" when any or none will do).
  std::string message;
  // The identifier that survives, or "" when a default one must be made.
  std::string uuid;
  int system_audio_enable;
};

void PrintTo(const damaged_system_file &c, std::ostream *out) {
  *out << c.what;
}

class damaged_system_file_test : public file_safety_test,
                                 public ::testing::WithParamInterface<damaged_system_file> {};

TEST_P(damaged_system_file_test, is_reported_and_the_defaults_fill_in) {
  const damaged_system_file &c = GetParam();
  write_file(system_file(), c.content);

  store.load_system_config_file();

  if (!c.message.empty()) {
    EXPECT_GE(log_count(c.message), 1) << c.what << "\n" << log();
  }
  if (c.uuid.empty())
    EXPECT_EQ(std::string(store.get_uuid()).substr(0, 4), "DFLT") << c.what;
  else
    EXPECT_EQ(std::string(store.get_uuid()), c.uuid) << c.what;
  EXPECT_EQ(store.GetSystemAudio(), c.system_audio_enable) << c.what;
  EXPECT_EQ(store.get_voting_reminders(), 1) << c.what;
  ASSERT_NE(store.get_current_char_cfg(), nullptr) << c.what;

  // The next save writes a whole file again.
  ASSERT_EQ(store.save_system_config_file(), 1);
  trel_config_store fresh;
  fresh.load_system_config_file();
  EXPECT_EQ(std::string(fresh.get_uuid()), std::string(store.get_uuid()));
}

const std::string truncated_message = "ends inside an element, truncated?\n";
const std::string bad_header_message =
    "Warning in load_system_config_file() - bad XML header, bailing.\n";

INSTANTIATE_TEST_SUITE_P(
    files, damaged_system_file_test,
    ::testing::Values(
        damaged_system_file{"empty", "", bad_header_message, "", 1},
        damaged_system_file{"text", "hello world\n<<<>>>&&&\n", bad_header_message, "", 1},
        damaged_system_file{"binary", std::string("\0\xff\xfe<\x01>\n\x80", 8), bad_header_message,
                            "", 1},
        damaged_system_file{"cut inside a value",
                            declaration + "<system_config_list>\n  <uuid>0123", truncated_message,
                            "", 1},
        damaged_system_file{"cut inside a tag",
                            declaration + "<system_config_list>\n  <uuid>0123abcd</uuid>\n"
                                          "  <system_audio_enable>0</system_audio_enable>\n"
                                          "  <voting_rem",
                            truncated_message, "0123abcd", 0},
        damaged_system_file{"cut between elements",
                            declaration + "<system_config_list>\n  <uuid>77</uuid>\n",
                            truncated_message, "77", 1},
        damaged_system_file{"noise after the declaration", declaration + noise(4096, 7), "", "", 1},
        damaged_system_file{"noise inside the list",
                            declaration + "<system_config_list>\n" + noise(4096, 11), "", "", 1}));

struct damaged_char_file {
  const char *what;
  std::string content;
  std::string message;
  // font_size of the loaded set, 0 when no set may come from the file, -1
  // when either will do.
  int font_size;
};

void PrintTo(const damaged_char_file &c, std::ostream *out) {
  *out << c.what;
}

class damaged_char_file_test : public file_safety_test,
                               public ::testing::WithParamInterface<damaged_char_file> {};

TEST_P(damaged_char_file_test, is_reported_and_the_character_still_gets_a_set) {
  const damaged_char_file &c = GetParam();
  make_directory(config_path("char_configs"));
  write_file(char_file("Aldo"), c.content);
  store.setup_default_config("");

  ZConfig *loaded = store.get_or_load("Aldo");
  if (!c.message.empty()) {
    EXPECT_GE(log_count(c.message), 1) << c.what << "\n" << log();
  }
  if (c.font_size == 0) {
    EXPECT_EQ(loaded, nullptr) << c.what;
  } else if (c.font_size > 0) {
    ASSERT_NE(loaded, nullptr) << c.what;
    EXPECT_EQ(loaded->font_size, c.font_size) << c.what;
    EXPECT_EQ(loaded->keypad_walking, 1) << c.what << ": what was cut off keeps its default";
  }

  store.use_character_config("Aldo");
  ASSERT_NE(store.get_current_char_cfg(), nullptr);
  EXPECT_EQ(store.get_current_char_cfg()->name, "Aldo");
  EXPECT_EQ(store.save_char_config(*store.get_current_char_cfg()), 1);
  trel_config_store fresh;
  EXPECT_NE(fresh.get_or_load("Aldo"), nullptr) << "the rewritten file is whole";
}

INSTANTIATE_TEST_SUITE_P(
    files, damaged_char_file_test,
    ::testing::Values(
        damaged_char_file{"empty", "", "no single_config element in config file", 0},
        damaged_char_file{"text", std::string("\x01\x02garbage\xff no tags", 19),
                          "no single_config element in config file", 0},
        damaged_char_file{"cut inside a tag",
                          "<single_config>\n  <name>Aldo</name>\n  <font_size>20</font_size>\n"
                          "  <keypad_wal",
                          truncated_message, 20},
        damaged_char_file{"cut between elements",
                          "<single_config>\n  <name>Aldo</name>\n  <font_size>21</font_size>\n",
                          truncated_message, 21},
        damaged_char_file{"noise", noise(4096, 3), "", 0},
        damaged_char_file{"noise after the name",
                          "<single_config>\n  <name>Aldo</name>\n  <font_size>22</font_size>\n" +
                              noise(4096, 5),
                          "", -1}));

} // namespace
