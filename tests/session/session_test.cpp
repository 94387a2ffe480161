// The connection lifecycle, the dispatcher and the command path of the
// session, against a real TLS server on loopback.
#include "session/session.h"

#include "net/ssl_startup.h"
#include "scripted_server.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// The window side of the session, recording what it is asked to do.
struct recording_host : trel_session_host {
  std::string main_text;   // what was printed into the main pane
  std::string server_seen; // server text routed to the output pane
  std::vector<std::string> calls;
  std::string title = "Quenmar";
  std::string uuid;
  int history_bank = -1;
  bool password = false;
  bool echo_setting = true, separator_setting = false, audio = true;
  int shutdowns = 0, dirty = 0, ping_ms = -1;
  std::vector<std::string> records;

  void main_print_local(const char *text) override { main_text += text; }
  void main_ansi_code(int code) override { main_text += "{" + std::to_string(code) + "}"; }
  void main_reset_ansi_state() override { main_text += "{reset}"; }
  void main_refresh() override {}
  void main_ensure_following() override {}
  void main_clear() override { calls.push_back("clear"); }
  void begin_piece() override {}
  void end_piece() override {}
  void server_text(const char *text, int length) override { server_seen.append(text, length); }
  void ring_bell() override { calls.push_back("bell"); }
  void enter_password_mode() override { password = true; }
  void leave_password_mode() override { password = false; }
  bool is_echo_allowed() override { return !password; }
  void set_history_bank(int bank) override { history_bank = bank; }
  void show_history() override { calls.push_back("history"); }
  bool local_echo_enabled() override { return echo_setting; }
  bool command_separator_enabled() override { return separator_setting; }
  bool system_audio_enabled() override { return audio; }
  void set_title(const char *t) override { title = t; }
  void connect_started() override {}
  void connection_ended() override { calls.push_back("ended"); }
  void reconnect_buttons() override {}
  void character_logged_in(const char *name) override {
    calls.push_back(std::string("login:") + (name ? name : "(none)"));
  }
  void system_shutdown() override { shutdowns++; }
  void show_keyboard_help() override { calls.push_back("keyhelp"); }
  void show_version() override { calls.push_back("version"); }
  void fill_debug_text() override {}
  void clear_channels() override {}
  void ping_measured(int ms) override { ping_ms = ms; }
  void mark_status_dirty() override { dirty++; }
  const char *client_uuid() override { return uuid.c_str(); }
  void set_client_uuid(const char *u) override { uuid = u; }
  void panel_record(trel_tag, const char *name, const char *data, int) override {
    records.push_back(std::string(name) + "=" + data);
  }
  void colour_flash(const char *data) override { records.push_back(std::string("flash=") + data); }
  void direction_buttons(int enable, int exits) override {
    records.push_back("dirs=" + std::to_string(enable) + "," + std::to_string(exits));
  }
  bool redirect_to_popup(const char *, bool) override { return false; }
  void end_redirection(bool) override {}
  void channel_diversion(bool, const char *) override {}
};

class SessionTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(trel_ssl_startup(), 1);
    char pattern[] = "/tmp/quenmar-session-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    certificate_dir = pattern;
    std::string error;
    ASSERT_EQ(trel_make_test_certificate(certificate_dir, &certificate, &key, &error), 1) << error;
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(certificate_dir); }

  void SetUp() override {
    ASSERT_EQ(server.start(0, certificate, key), 1) << server.error();
    session = std::make_unique<trel_session>(host, "127.0.0.1", server.port());
  }

  // Ticks the session until the predicate holds (or 10 seconds pass).
  bool tick_until(const std::function<bool()> &predicate) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      session->socket_handler();
      if (predicate())
        return true;
      usleep(5000);
    }
    return false;
  }

  // Connects and waits for the hello line at the server.
  void connect() {
    ASSERT_TRUE(tick_until([&] { return session->is_up(); }));
    ASSERT_TRUE(tick_until([&] {
      return server.wait_for_line(
                 [](const std::string &l) { return l.rfind("_Zolvent", 0) == 0; }, 20) == 1;
    }));
  }

  // Waits at the server for a line while the session keeps ticking.
  bool server_gets(const std::string &line) {
    bool found = false;
    tick_until([&] {
      found = server.expect_line(line, 20) == 1;
      return found;
    });
    return found;
  }

  static std::string certificate_dir, certificate, key;
  trel_scripted_server server;
  recording_host host;
  std::unique_ptr<trel_session> session;
};

std::string SessionTest::certificate_dir, SessionTest::certificate, SessionTest::key;

TEST_F(SessionTest, FirstTickConnectsAndSendsHelloWithEmptyUuid) {
  trel_received_line hello;
  ASSERT_TRUE(tick_until([&] {
    return server.wait_for_line([](const std::string &l) { return l.rfind("_Zolvent", 0) == 0; },
                                20, &hello) == 1;
  }));
  EXPECT_EQ(hello.raw, "_Zolvent  1.095-gtk-rc5\n");
  EXPECT_EQ(host.history_bank, 1);
}

TEST_F(SessionTest, HelloLineCarriesTheUuid) {
  host.uuid = "0123456789abcdef";
  connect();
  auto lines = server.lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].raw, "_Zolvent 0123456789abcdef 1.095-gtk-rc5\n");
}

TEST_F(SessionTest, TextAndRecordsAreSeparated) {
  connect();
  server.send("\x1b[31mred;;text\n;shp;1 2 3 4 5 6;ehp;;tcombat;after\n");
  ASSERT_TRUE(tick_until([&] { return host.server_seen.find("after\n") != std::string::npos; }));
  EXPECT_EQ(host.server_seen, "\x1b[31mred;text\nafter\n");
  ASSERT_EQ(host.records.size(), 2u);
  EXPECT_EQ(host.records[0], "hp=1 2 3 4 5 6");
  EXPECT_EQ(host.records[1], "combat=");
}

TEST_F(SessionTest, OrderlyCloseAndResetGiveTheirMessages) {
  connect();
  server.close();
  ASSERT_TRUE(tick_until([&] { return !session->is_up(); }));
  EXPECT_NE(host.main_text.find("Connection closed by server."), std::string::npos);
  EXPECT_NE(host.main_text.find("To log in again, type '{1}{51}connect{0}{55}' or use the "
                                "{1}{51}File / Connect{0}{55} menu option.\n"),
            std::string::npos);
  EXPECT_EQ(host.history_bank, 0);
  EXPECT_EQ(session->state(), 0);

  host.main_text.clear();
  session->process_command(("connect " + std::to_string(server.port())).c_str(), true);
  ASSERT_TRUE(tick_until([&] { return session->is_up(); }));
  ASSERT_TRUE(server_gets("_Zolvent  1.095-gtk-rc5")) << "the second connection says hello too";
  server.reset();
  ASSERT_TRUE(tick_until([&] { return !session->is_up(); }));
  EXPECT_NE(host.main_text.find("Connection to server lost."), std::string::npos);
}

TEST_F(SessionTest, LoginEventsAndPing) {
  connect();
  server.send(";slogin;Bob\nmore;elogin;");
  ASSERT_TRUE(tick_until([&] { return session->state() == 2; }));
  EXPECT_EQ(host.title, "Quenmar - Player Bob");
  EXPECT_EQ(host.calls.back(), "login:Bob");
  EXPECT_EQ(host.history_bank, 2);
  EXPECT_EQ(host.dirty, 1);

  session->process_command("//ping", true);
  ASSERT_TRUE(server_gets("zvping"));
  server.send(";sevent;zvpong;eevent;");
  ASSERT_TRUE(tick_until([&] { return host.ping_ms >= 0; }));
  EXPECT_LT(host.ping_ms, 10000);

  server.send(";sevent;logoff;eevent;");
  ASSERT_TRUE(tick_until([&] { return session->state() == 3; }));
  session->process_command("//ping", true);
  EXPECT_TRUE(server_gets("//ping")) << "while logged off //ping goes to the server as text";
}

TEST_F(SessionTest, LocalEchoFramesTheLineAndSendsItWithALineFeed) {
  connect();
  host.main_text.clear();
  session->process_command("look", true);
  EXPECT_EQ(host.main_text, "{reset}\n{1}{51}>{reset}look{1}{51}<{reset}");
  trel_received_line line;
  ASSERT_TRUE(tick_until([&] {
    return server.wait_for_line([](const std::string &l) { return l == "look"; }, 20, &line) == 1;
  }));
  EXPECT_EQ(line.raw, "look\n");

  host.separator_setting = true;
  host.main_text.clear();
  session->process_command("kill rat", true);
  EXPECT_EQ(host.main_text, "{reset}\n\n{1}{51}>{reset}kill rat{1}{51}<{1}{55}\n" +
                                std::string(73, '-') + "{reset}");
  host.main_text.clear();
  session->process_command("", true);
  EXPECT_EQ(host.main_text, "{reset}\n{1}{51}>{reset}{1}{51}<{reset}");

  host.password = true;
  host.main_text.clear();
  session->process_command("secret", true);
  EXPECT_EQ(host.main_text, "") << "a password is never echoed";
  EXPECT_TRUE(server_gets("secret"));
}

TEST_F(SessionTest, PasswordModeFollowsTelnetEcho) {
  connect();
  server.send("Password: \xff\xfe\x01");
  ASSERT_TRUE(tick_until([&] { return host.password; }));
  server.send("\xff\xfd\x01");
  ASSERT_TRUE(tick_until([&] { return !host.password; }));
}

TEST_F(SessionTest, UnknownClientCommandGoesToServerWhenConnected) {
  connect();
  session->process_command("//x", false);
  EXPECT_TRUE(server_gets("//x"));
  session->process_command("//exi", false);
  EXPECT_TRUE(server_gets("//exi"));
  session->process_command("//break", false);
  EXPECT_TRUE(server_gets("\x03"));
}

TEST_F(SessionTest, WordsWhileDisconnected) {
  connect();
  session->process_command("//disconnect", false);
  EXPECT_NE(host.main_text.find("Disconnecting."), std::string::npos);
  session->process_command("q", false);
  session->process_command("log", false);
  EXPECT_EQ(host.shutdowns, 0);
  EXPECT_FALSE(session->is_up());
  session->process_command("qui", false);
  EXPECT_EQ(host.shutdowns, 1);
  session->process_command(("co " + std::to_string(server.port())).c_str(), false);
  EXPECT_TRUE(tick_until([&] { return session->is_up(); }));
}

TEST_F(SessionTest, AFloodIsReadInBoundedTicksAndArrivesWhole) {
  connect();
  // Enough that one tick cannot read it within its budget on this machine.
  std::string flood;
  for (int i = 0; flood.size() < 8 * 1024 * 1024; i++)
    flood += "line " + std::to_string(i) + " of a long flood of text\n";
  server.send(flood);
  int ticks_with_text = 0;
  size_t seen = 0;
  ASSERT_TRUE(tick_until([&] {
    if (host.server_seen.size() > seen)
      ticks_with_text++;
    seen = host.server_seen.size();
    return seen >= flood.size();
  }));
  EXPECT_EQ(host.server_seen, flood) << "every byte, in order";
  EXPECT_GT(ticks_with_text, 1) << "the flood was spread over several ticks";
}

TEST_F(SessionTest, OutgoingBufferKeepsAtMost10000Bytes) {
  session->append_outgoing_string(std::string(10000, 'a').c_str());
  EXPECT_EQ(session->outgoing_length(), 10000);
  session->send_line("more");
  EXPECT_EQ(session->outgoing_length(), 10000);
}

TEST_F(SessionTest, DispatcherRowsReachTheirReceivers) {
  session->process_tagged_data("dirs", "on BC", 5);
  session->process_tagged_data("dirs", "sideways BC", 11);
  session->process_tagged_data("event", "ColorFlash red", 14);
  session->process_tagged_data("Login", "x", 1);
  session->process_tagged_data("uuid", "abc", 3);
  host.audio = false;
  session->process_tagged_data("sound", "x", 1);
  host.audio = true;
  session->process_tagged_data("sound", "y", 1);
  session->process_tagged_data("b3", "x", 1);
  session->process_tagged_data("event", "newcreate", 9);
  EXPECT_EQ(session->state(), 1);
  std::vector<std::string> expected = {"dirs=1,34", "dirs=-1,34", "flash=red", "sound=y", "b3=x"};
  EXPECT_EQ(host.records, expected);
  EXPECT_EQ(host.uuid, "abc");

  session->process_tagged_data("login", "", 0);
  EXPECT_EQ(session->state(), 2);
  EXPECT_EQ(host.title, "Quenmar") << "an empty login keeps the title";
  EXPECT_EQ(host.calls.back(), "login:(none)");
}

TEST_F(SessionTest, DivertToUnknownPopupFallsBackToMainPane) {
  session->process_tagged_data("divert", "nosuch", 6);
  EXPECT_NE(host.main_text.find("Sorry, no popup window by that name has been defined.\n"),
            std::string::npos);
}

TEST_F(SessionTest, StalledHandshakeIsBoundedByTheConnectLimit) {
  server.stall();
  auto start = std::chrono::steady_clock::now();
  session->socket_handler();
  auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
  EXPECT_LE(seconds.count(), 8);
  EXPECT_FALSE(session->is_connected());
  EXPECT_NE(host.main_text.find("Unable to connect to server."), std::string::npos);
}

} // namespace
