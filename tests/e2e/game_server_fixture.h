// A scripted TLS game server on the client's fixed port 3102 and a client
// started against it with a fresh HOME, for end-to-end tests.
#pragma once
#include "e2e/harness.h"
#include "scripted_server.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace e2e {

class game_session_test : public ::testing::Test {
protected:
  static constexpr int GAME_PORT = 3102;

  void SetUp() override;
  void TearDown() override;

  // Starts the client and waits for its window and its hello line.
  void start_client(const std::vector<std::string> &args = {});
  // Waits for a line from the client at the server.
  bool server_gets(const std::string &line, int timeout_ms = 10000);
  // Waits until the client's window shows at least one pixel of this colour.
  bool window_shows(unsigned long rgb, int timeout_ms = 10000);
  // Types text into the focused window with xdotool (a "\n" presses Return).
  void type(const std::string &text);
  // Sends a login record and waits for the settings record it triggers: by
  // then the client has processed everything sent before.
  void login_and_sync(const std::string &name = "Bob");
  void press(const std::string &key);

  temp_dir certificates;
  temp_dir home;
  x_display x;
  trel_scripted_server server;
  std::unique_ptr<client_process> client;
  unsigned long window = 0;
};

} // namespace e2e
