// The scripted-server fixture of the end-to-end tests.
#include "e2e/game_server_fixture.h"

#include <cstdio>
#include <cstdlib>

namespace e2e {

void game_session_test::SetUp() {
  ASSERT_TRUE(x.ok()) << "no X display";
  std::string certificate, key, error;
  ASSERT_EQ(trel_make_test_certificate(certificates.path(), &certificate, &key, &error), 1)
      << error;
  // Another program (a benchmark run, a demo server) may hold the game port
  // for a while: wait for it rather than fail.
  ASSERT_TRUE(wait_until([&] { return server.start(GAME_PORT, certificate, key) == 1; }, 120000))
      << server.error();
}

void game_session_test::TearDown() {
  if (HasFailure()) {
    std::string shot = std::string("/tmp/quenmar-e2e-failure-") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
    x_display::save_screenshot(shot);
    fprintf(stderr, "screenshot of the failure: %s\n", shot.c_str());
  }
  client.reset();
  server.stop();
}

void game_session_test::start_client(const std::vector<std::string> &args) {
  client = std::make_unique<client_process>(home.path(), args);
  ASSERT_TRUE(wait_until([&] { return (window = x.find_window(client->pid(), "Quenmar")) != 0; },
                         10000))
      << "no client window";
  ASSERT_EQ(server.wait_for_line([](const std::string &l) { return l.rfind("_Zolvent ", 0) == 0; },
                                 10000),
            1)
      << "no hello line";
}

bool game_session_test::server_gets(const std::string &line, int timeout_ms) {
  return server.expect_line(line, timeout_ms) == 1;
}

bool game_session_test::window_shows(unsigned long rgb, int timeout_ms) {
  return wait_until([&] { return x.count_pixels(window, rgb) > 0; }, timeout_ms);
}

static void run_xdotool(const std::string &arguments) {
  std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
  if (system(command.c_str()) != 0)
    fprintf(stderr, "xdotool failed: %s\n", command.c_str());
}

void game_session_test::type(const std::string &text) {
  std::string chunk;
  auto flush = [&] {
    if (chunk.empty())
      return;
    std::string quoted;
    for (char c : chunk)
      quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    run_xdotool("type --delay 20 -- '" + quoted + "'");
    chunk.clear();
  };
  for (char c : text) {
    if (c == '\n') {
      flush();
      press("Return");
    } else {
      chunk += c;
    }
  }
  flush();
}

void game_session_test::login_and_sync(const std::string &name) {
  server.send(";slogin;" + name + ";elogin;");
  ASSERT_EQ(server.wait_for_line([](const std::string &l) { return l.rfind("zvlstatus ", 0) == 0; },
                                 10000),
            1)
      << "no settings record after the login";
}

void game_session_test::press(const std::string &key) { run_xdotool("key " + key); }

} // namespace e2e
