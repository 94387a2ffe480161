// Per-character settings end to end: the character file written at the next
// save, the last character and the uuid remembered across runs, the settings
// record sent once after login, and login names that must not become paths.
#include "e2e/game_server_fixture.h"

#include <algorithm>
#include <filesystem>

namespace e2e {
namespace {

// Closes the client the way the window manager does and waits for its exit.
void close_client(x_display &x, client_process &client, unsigned long window) {
  x.request_close(window);
  ASSERT_TRUE(client.wait_exit(15000)) << "the client did not end after a close request";
  EXPECT_EQ(client.exit_status(), 0);
}

std::vector<std::string> files_under(const std::string &root) {
  std::vector<std::string> found;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(root))
    found.push_back(entry.path().string().substr(root.size()));
  std::sort(found.begin(), found.end());
  return found;
}

TEST_F(game_session_test, LoginSendsOneSettingsRecordAndSavesTheCharacter) {
  start_client();
  std::string first_hello = server.lines()[0].raw;
  login_and_sync("Bob");
  type("look\n");
  ASSERT_TRUE(server_gets("look"));
  int records = 0;
  std::string record;
  for (const trel_received_line &l : server.lines())
    if (l.text.rfind("zvlstatus ", 0) == 0) {
      records++;
      record = l.raw;
    }
  EXPECT_EQ(records, 1);
  EXPECT_EQ(record, "zvlstatus 11010111111121101101  1  2  3\n");

  close_client(x, *client, window);
  const std::string config = home.path() + "/.Quenmar/";
  EXPECT_TRUE(std::filesystem::exists(config + "char_configs/Bob.cfg"));
  std::string system = read_file(config + "quenmar.cfg");
  EXPECT_NE(system.find("<curr_config>Bob</curr_config>"), std::string::npos) << system;

  // A second run remembers the character and keeps the same identifier.
  server.close();
  client = std::make_unique<client_process>(home.path());
  trel_received_line hello;
  ASSERT_EQ(server.wait_for_line([](const std::string &l) { return l.rfind("_Zolvent ", 0) == 0; },
                                 10000, &hello),
            1);
  ASSERT_TRUE(wait_until([&] { return (window = x.find_window(client->pid(), "Quenmar")) != 0; },
                         10000));
  EXPECT_EQ(hello.raw, first_hello) << "the uuid is kept in quenmar.cfg";
  close_client(x, *client, window);
  system = read_file(config + "quenmar.cfg");
  EXPECT_NE(system.find("<curr_config>Bob</curr_config>"), std::string::npos) << system;
}

TEST_F(game_session_test, UnsafeLoginNamesWriteNothingOutsideCharConfigs) {
  start_client();
  login_and_sync("../../x");
  server.send(";slogin;.hidden;elogin;");
  server.send(";slogin;a/b;elogin;");
  login_and_sync("Carol");
  close_client(x, *client, window);
  std::vector<std::string> expected = {"/.Quenmar", "/.Quenmar/char_configs",
                                       "/.Quenmar/char_configs/Carol.cfg", "/.Quenmar/quenmar.cfg"};
  EXPECT_EQ(files_under(home.path()), expected);
}

} // namespace
} // namespace e2e
