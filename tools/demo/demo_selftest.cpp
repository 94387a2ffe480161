// Self-test of the demo server: the record helpers and the map layout on
// their own, then a real server on a loopback port with real TLS clients
// that log in, walk, talk, ping and quit.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cctype>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "demo_records.h"
#include "demo_server.h"
#include "demo_world.h"
#include "tls_server.h"

namespace {

// Generous: a loaded machine slows the tests down but never fails them.
constexpr int wait_limit_ms = 20000;

long long clock_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Checks a received stream against the wire syntax the client parses:
// ";;" for a literal semicolon, ";s" name ";" data ";e" name ";" records,
// ";t" name ";" bare tags and three-byte telnet commands. Returns an empty
// text when the stream is sound, else what is wrong and where.
std::string framing_problem(const std::string &stream) {
  size_t i = 0;
  auto read_name = [&](std::string *name) {
    size_t end = stream.find(';', i);
    if (end == std::string::npos)
      return false;
    *name = stream.substr(i, end - i);
    i = end + 1;
    return !name->empty() && name->size() <= TREL_DEMO_TAG_NAME_MAX;
  };
  while (i < stream.size()) {
    unsigned char byte = static_cast<unsigned char>(stream[i]);
    if (byte == 255) {
      if (i + 2 >= stream.size() || static_cast<unsigned char>(stream[i + 1]) < 251)
        return "bad telnet command at " + std::to_string(i);
      i += 3;
      continue;
    }
    if (byte != ';') {
      i++;
      continue;
    }
    if (i + 1 >= stream.size())
      return "stream ends in a semicolon";
    char kind = stream[i + 1];
    size_t at = i;
    i += 2;
    if (kind == ';')
      continue;
    std::string name, data, end_name;
    if (kind == 't') {
      if (!read_name(&name))
        return "bad bare tag at " + std::to_string(at);
      continue;
    }
    if (kind != 's')
      return "stray semicolon at " + std::to_string(at) + ": " + stream.substr(at, 20);
    if (!read_name(&name))
      return "bad tag name at " + std::to_string(at);
    size_t data_end = stream.find(';', i);
    if (data_end == std::string::npos || data_end - i > TREL_DEMO_TAG_DATA_MAX)
      return "bad data of tag '" + name + "'";
    i = data_end + 1;
    if (stream.compare(i, 1, "e") != 0)
      return "tag '" + name + "' has no end tag";
    i++;
    if (!read_name(&end_name) || end_name != name)
      return "tag '" + name + "' closed by '" + end_name + "'";
  }
  return std::string();
}

// The plain text of a piece of stream, with every record and bare tag taken out.
std::string without_records(const std::string &stream) {
  std::string text;
  size_t i = 0;
  while (i < stream.size()) {
    if (stream.compare(i, 2, ";s") == 0) {
      size_t name_end = stream.find(';', i + 2);
      std::string name = stream.substr(i + 2, name_end - i - 2);
      size_t end = stream.find(";e" + name + ";", name_end);
      if (name_end == std::string::npos || end == std::string::npos)
        return text + stream.substr(i);
      i = end + name.size() + 3;
    } else if (stream.compare(i, 2, ";t") == 0) {
      size_t end = stream.find(';', i + 2);
      if (end == std::string::npos)
        return text + stream.substr(i);
      i = end + 1;
    } else {
      text += stream[i++];
    }
  }
  return text;
}

// Splits map record data after its move byte into its lines.
std::vector<std::string> map_lines(const std::string &data) {
  std::vector<std::string> lines;
  size_t start = 1;
  for (;;) {
    size_t end = data.find('\n', start);
    if (end == std::string::npos)
      break;
    lines.push_back(data.substr(start, end - start));
    start = end + 1;
  }
  lines.push_back(data.substr(start)); // what follows the last line feed
  return lines;
}

// A game client: TLS over a loopback socket, keeping everything it received.
class test_client {
public:
  ~test_client() {
    if (ssl)
      SSL_free(ssl);
    if (context)
      SSL_CTX_free(context);
    if (fd != -1)
      close(fd);
  }

  bool connect_to(int port) {
    context = SSL_CTX_new(TLS_client_method());
    if (!context)
      return false;
    SSL_CTX_set_verify(context, SSL_VERIFY_NONE, nullptr);
    fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd == -1 || connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
      return false;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
    ssl = SSL_new(context);
    SSL_set_fd(ssl, fd);
    long long deadline = clock_ms() + wait_limit_ms;
    for (;;) {
      int result = SSL_connect(ssl);
      if (result == 1)
        return true;
      int kind = SSL_get_error(ssl, result);
      if (kind != SSL_ERROR_WANT_READ && kind != SSL_ERROR_WANT_WRITE)
        return false;
      if (!wait(kind == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN, deadline))
        return false;
    }
  }

  bool send_line(const std::string &line) {
    std::string bytes = line + "\n";
    size_t done = 0;
    long long deadline = clock_ms() + wait_limit_ms;
    while (done < bytes.size()) {
      int written = SSL_write(ssl, bytes.data() + done, static_cast<int>(bytes.size() - done));
      if (written > 0) {
        done += static_cast<size_t>(written);
        continue;
      }
      int kind = SSL_get_error(ssl, written);
      if (kind != SSL_ERROR_WANT_READ && kind != SSL_ERROR_WANT_WRITE)
        return false;
      if (!wait(kind == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN, deadline))
        return false;
    }
    return true;
  }

  // Waits until needle arrives after everything matched so far; the match
  // then becomes the new starting point, so waits are checked in order.
  bool wait_for(const std::string &needle) {
    long long deadline = clock_ms() + wait_limit_ms;
    for (;;) {
      size_t found = received.find(needle, cursor);
      if (found != std::string::npos) {
        cursor = found + needle.size();
        return true;
      }
      if (!read_more(deadline))
        return false;
    }
  }

  // Waits until the server ends the connection; true when it closed in an
  // orderly way (end of stream or TLS close notification, no reset).
  bool wait_for_close() {
    long long deadline = clock_ms() + wait_limit_ms;
    while (read_more(deadline)) {
    }
    return closed_cleanly;
  }

  // Everything received between the previous wait's match and this one's.
  std::string text_since(size_t mark) const { return received.substr(mark, cursor - mark); }
  size_t mark() const { return cursor; }
  const std::string &all() const { return received; }

private:
  bool wait(short events, long long deadline) {
    long long left = deadline - clock_ms();
    if (left <= 0)
      return false;
    pollfd entry = {fd, events, 0};
    return poll(&entry, 1, static_cast<int>(left)) > 0;
  }

  // Reads what arrives before deadline; false when the connection ended or
  // nothing came in time.
  bool read_more(long long deadline) {
    if (ended)
      return false;
    for (;;) {
      char buffer[16384];
      int got = SSL_read(ssl, buffer, sizeof buffer);
      if (got > 0) {
        received.append(buffer, static_cast<size_t>(got));
        return true;
      }
      int kind = SSL_get_error(ssl, got);
      if (kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE) {
        if (!wait(kind == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN, deadline))
          return false;
        continue;
      }
      ended = true;
      closed_cleanly = kind == SSL_ERROR_ZERO_RETURN || (kind == SSL_ERROR_SYSCALL && errno == 0);
      return false;
    }
  }

  SSL_CTX *context = nullptr;
  SSL *ssl = nullptr;
  int fd = -1;
  std::string received;
  size_t cursor = 0;
  bool ended = false;
  bool closed_cleanly = false;
};

// A demo server on a free loopback port, served by a background thread.
class demo_server_test : public ::testing::Test {
protected:
  void SetUp() override {
    trel_ignore_broken_pipe();
    std::string error;
    ASSERT_EQ(server.start(0, &error), 1) << error;
    serving = std::thread([this] { server.run(); });
  }
  void TearDown() override {
    server.request_stop();
    if (serving.joinable())
      serving.join();
  }

  // Connects, says hello without a uuid and logs in as name.
  std::unique_ptr<test_client> log_in(const std::string &name) {
    std::unique_ptr<test_client> client(new test_client);
    EXPECT_TRUE(client->connect_to(server.port()));
    EXPECT_TRUE(client->send_line("_Zolvent  1.095-gtk-rc5"));
    EXPECT_TRUE(client->wait_for("By what name do you wish to be known? "));
    EXPECT_TRUE(client->send_line(name));
    EXPECT_TRUE(client->wait_for("Password: "));
    EXPECT_TRUE(client->send_line("secret"));
    EXPECT_TRUE(client->wait_for(";slogin;" + name + ";elogin;"));
    EXPECT_TRUE(client->wait_for(";ehp;"));
    return client;
  }

  trel_demo_server server;
  std::thread serving;
};

} // namespace

TEST(demo_records, text_and_records_keep_the_wire_syntax) {
  EXPECT_EQ(trel_demo_escape_text("a;b;;"), "a;;b;;;;");
  EXPECT_EQ(trel_demo_escape_text("\x1b[31mred"), "\x1b[31mred");
  // A semicolon in data would end the record early.
  EXPECT_EQ(trel_demo_record("hp", "1;2"), ";shp;1,2;ehp;");
  EXPECT_EQ(trel_demo_record("group", ""), ";sgroup;;egroup;");
  EXPECT_EQ(trel_demo_bare_tag("combat"), ";tcombat;");
  // Names the client would discard are never sent.
  EXPECT_EQ(trel_demo_record(std::string(64, 'x'), "data"), "");
  EXPECT_EQ(trel_demo_record("a;b", "data"), "");
  EXPECT_EQ(trel_demo_bare_tag(""), "");
  EXPECT_EQ(trel_demo_record("big", std::string(20000, 'x')).size(),
            std::string(";sbig;;ebig;").size() + TREL_DEMO_TAG_DATA_MAX);
  EXPECT_EQ(trel_demo_clean_player_text("hi\x1b[31m\xff\a there", 100), "hi[31m there");
  EXPECT_EQ(trel_demo_clean_player_text("abcdef", 3), "abc");
  std::string uuid = trel_demo_new_uuid();
  EXPECT_EQ(uuid.size(), 32u);
  EXPECT_EQ(uuid.find_first_not_of("0123456789abcdef"), std::string::npos);
}

TEST(demo_world, dirs_record_codes_each_rooms_exits) {
  trel_demo_world world;
  struct expected {
    const char *room;
    const char *dirs;
  };
  // Exit bits: north 1, east 4, south 16, west 64, up 256, down 512; the
  // high five bits and the low five bits each added to 'A'.
  const expected cases[] = {
      {"Town Square", "on AV"},       // north, east, south = 21
      {"North Gate", "on AR"},        // north, south = 17
      {"Forest Path", "on AQ"},       // south = 16
      {"The Rusty Tankard", "on KA"}, // west, up = 320
      {"Tavern Loft", "on QA"},       // down = 512
      {"Riverbank", "on AB"},         // north = 1
  };
  ASSERT_EQ(world.room_count(), 6);
  for (const expected &e : cases) {
    int found = -1;
    for (int i = 0; i < world.room_count(); i++)
      if (world.room(i).name == e.room)
        found = i;
    ASSERT_NE(found, -1) << e.room;
    EXPECT_EQ(world.dirs_record_data(found), e.dirs) << e.room;
  }
}

TEST(demo_world, map_records_have_the_sections_the_client_reads) {
  trel_demo_world world;
  for (int room = 0; room < world.room_count(); room++) {
    std::string data = world.map_record_data(room, 'A', 0);
    ASSERT_EQ(data[0], 'A');
    std::vector<std::string> lines = map_lines(data);
    // 12 + 11 + 12 + 12 + 11 lines, then nothing after the last line feed.
    ASSERT_EQ(lines.size(), 59u) << world.room(room).name;
    for (size_t k = 0; k < 58; k++) {
      size_t expected = k < 12 ? 11 : k < 23 ? 12 : k < 47 ? 12 : 44;
      EXPECT_EQ(lines[k].size(), expected) << "line " << k << " of " << world.room(room).name;
      EXPECT_EQ(lines[k].find(';'), std::string::npos);
    }
    EXPECT_EQ(lines[58], "");
    // The player's room stands in the middle of section 3 with its id.
    const std::string &middle = lines[47 + 5];
    EXPECT_EQ(middle[5 * 4 + 2] - 64, room + 1);
    EXPECT_EQ(middle[5 * 4] - 64, world.room(room).terrain);
  }
  EXPECT_EQ(world.map_record_data(1, '@', 'B').back(), 'B');

  // Around the town square: the passage north is open, the tavern door to
  // the east is a door, and the west side (no room) is a wall.
  std::vector<std::string> lines = map_lines(world.map_record_data(world.start_room(), '@', 0));
  EXPECT_EQ(lines[5][5], '@');      // section 1, above the middle room
  EXPECT_EQ(lines[12 + 5][6], 'B'); // section 2, east of the middle room
  EXPECT_EQ(lines[12 + 5][5], 'A'); // section 2, west of the middle room
}

TEST_F(demo_server_test, logs_in_and_walks_north) {
  test_client client;
  ASSERT_TRUE(client.connect_to(server.port()));
  ASSERT_TRUE(client.send_line("_Zolvent  1.095-gtk-rc5"));
  // A client without an identifier gets a new one.
  ASSERT_TRUE(client.wait_for(";suuid;"));
  size_t uuid_start = client.mark();
  ASSERT_TRUE(client.wait_for(";euuid;"));
  std::string uuid = client.text_since(uuid_start);
  uuid.resize(uuid.size() - 7);
  EXPECT_EQ(uuid.size(), 32u);
  EXPECT_EQ(uuid.find_first_not_of("0123456789abcdef"), std::string::npos) << uuid;

  ASSERT_TRUE(client.wait_for("Welcome to Quenmar"));
  ASSERT_TRUE(client.wait_for("By what name do you wish to be known? "));
  ASSERT_TRUE(client.send_line("tester"));
  // Input is hidden for the password and shown again after it.
  ASSERT_TRUE(client.wait_for(trel_demo_hide_input() + "Password: "));
  ASSERT_TRUE(client.send_line("secret"));
  ASSERT_TRUE(client.wait_for(trel_demo_show_input()));
  ASSERT_TRUE(client.wait_for(";slogin;Tester;elogin;"));
  ASSERT_TRUE(client.wait_for("Town Square"));
  ASSERT_TRUE(client.wait_for(";sdirs;on AV;edirs;"));
  ASSERT_TRUE(client.wait_for(";smap;@"));
  ASSERT_TRUE(client.wait_for(";shp;120 120 80 80 90 90;ehp;"));

  ASSERT_TRUE(client.send_line("north"));
  ASSERT_TRUE(client.wait_for("North Gate"));
  ASSERT_TRUE(client.wait_for(";sdirs;on AR;edirs;"));
  // The map scrolls in from the south: the move letter is 'A' (north).
  ASSERT_TRUE(client.wait_for(";smap;A"));
  ASSERT_TRUE(client.wait_for(";sareaname;Quenmar Town;eareaname;"));
  ASSERT_TRUE(client.wait_for(";sskystate;110 11 "));
  // One step costs one movement point.
  ASSERT_TRUE(client.wait_for(";shp;120 120 80 80 89 90;ehp;"));

  ASSERT_TRUE(client.send_line("quit"));
  ASSERT_TRUE(client.wait_for("Goodbye, Tester."));
  EXPECT_TRUE(client.wait_for_close());
  EXPECT_EQ(framing_problem(client.all()), "") << client.all();
}

TEST_F(demo_server_test, a_client_with_an_identifier_keeps_it) {
  test_client client;
  ASSERT_TRUE(client.connect_to(server.port()));
  ASSERT_TRUE(client.send_line("_Zolvent 0123456789abcdef0123456789abcdef 1.095-gtk-rc5"));
  ASSERT_TRUE(client.wait_for("By what name do you wish to be known? "));
  EXPECT_EQ(client.all().find(";suuid;"), std::string::npos);
}

TEST_F(demo_server_test, answers_pings_ignores_status_and_rejects_unknown_commands) {
  std::unique_ptr<test_client> client = log_in("Pinger");
  size_t before = client->mark();
  ASSERT_TRUE(client->send_line("zvlstatus 1 0 1 1"));
  ASSERT_TRUE(client->send_line("zvlwindow close nothing"));
  ASSERT_TRUE(client->send_line("zvping"));
  ASSERT_TRUE(client->wait_for(";sevent;zvpong;eevent;"));
  // The settings and popup reports got no answer of any kind (a timed sky
  // record may come in between; it carries no text).
  EXPECT_EQ(without_records(client->text_since(before)), "");

  ASSERT_TRUE(client->send_line("dance wildly"));
  ASSERT_TRUE(client->wait_for("Huh?"));
  ASSERT_TRUE(client->send_line("\x03"));
  ASSERT_TRUE(client->wait_for("Interrupted."));
  ASSERT_TRUE(client->send_line("west"));
  ASSERT_TRUE(client->wait_for("Alas, you cannot go that way."));
  ASSERT_TRUE(client->wait_for(";swalkfail;3;ewalkfail;"));
}

TEST_F(demo_server_test, players_hear_each_other_in_the_room_and_on_the_channel) {
  std::unique_ptr<test_client> alice = log_in("Alice");
  std::unique_ptr<test_client> bob = log_in("Bob");

  ASSERT_TRUE(alice->send_line("say hello; anyone?"));
  ASSERT_TRUE(alice->wait_for("You say 'hello;; anyone?'"));
  ASSERT_TRUE(bob->wait_for("Alice says 'hello;; anyone?'"));

  ASSERT_TRUE(bob->send_line("chat Hi all"));
  for (test_client *listener : {alice.get(), bob.get()}) {
    ASSERT_TRUE(listener->wait_for(";schdiv;chat;echdiv;"));
    size_t start = listener->mark();
    ASSERT_TRUE(listener->wait_for(";tchudiv;"));
    EXPECT_NE(listener->text_since(start).find(" 'Hi all'"), std::string::npos);
  }

  ASSERT_TRUE(alice->send_line("who"));
  ASSERT_TRUE(alice->wait_for("2 players online."));

  // A name in use is refused; the room hears about arrivals and departures.
  test_client third;
  ASSERT_TRUE(third.connect_to(server.port()));
  ASSERT_TRUE(third.send_line("_Zolvent  1.095-gtk-rc5"));
  ASSERT_TRUE(third.wait_for("known? "));
  ASSERT_TRUE(third.send_line("alice"));
  ASSERT_TRUE(third.wait_for("already playing"));

  ASSERT_TRUE(bob->send_line("north"));
  ASSERT_TRUE(alice->wait_for("Bob leaves north."));
  ASSERT_TRUE(bob->send_line("quit"));
  EXPECT_TRUE(bob->wait_for_close());
  ASSERT_TRUE(alice->wait_for("Bob has left the realm."));
}

TEST_F(demo_server_test, score_goes_into_its_popup_once_the_popup_is_open) {
  std::unique_ptr<test_client> client = log_in("Scorer");
  ASSERT_NE(client->all().find(";swindow_create;score\nCharacter sheet\n"), std::string::npos);

  ASSERT_TRUE(client->send_line("score"));
  ASSERT_TRUE(client->wait_for("a level 1 adventurer"));
  ASSERT_TRUE(client->wait_for(";ehp;"));
  EXPECT_EQ(client->all().find(";sdivert;"), std::string::npos);

  // Opening the popup: the client reports it and asks for its command.
  ASSERT_TRUE(client->send_line("zvlwindow open score"));
  ASSERT_TRUE(client->send_line("score"));
  ASSERT_TRUE(client->wait_for(";sdivert;score;edivert;"));
  size_t start = client->mark();
  ASSERT_TRUE(client->wait_for(";tundivert;"));
  EXPECT_NE(client->text_since(start).find("a level 1 adventurer"), std::string::npos);
}

TEST_F(demo_server_test, the_rat_fight_runs_in_rounds_until_the_player_flees) {
  std::unique_ptr<test_client> client = log_in("Hunter");
  ASSERT_TRUE(client->send_line("kill rat"));
  ASSERT_TRUE(client->wait_for("There is no rat here."));
  ASSERT_TRUE(client->send_line("north"));
  ASSERT_TRUE(client->send_line("north"));
  ASSERT_TRUE(client->wait_for("A giant rat is here"));
  ASSERT_TRUE(client->wait_for(";sb5;Kill rat\nkill rat;eb5;"));
  ASSERT_TRUE(client->send_line("kill rat"));
  ASSERT_TRUE(client->wait_for(";tcombat;;senemyhp;100 a giant rat;eenemyhp;"));
  // The first round comes by itself a moment later.
  ASSERT_TRUE(client->wait_for("You hit the giant rat."));
  ASSERT_TRUE(client->wait_for(";sevent;colorflash 800000 000000 20;eevent;"));
  ASSERT_TRUE(client->wait_for(";senemyhp;"));
  ASSERT_TRUE(client->send_line("flee"));
  ASSERT_TRUE(client->wait_for("You flee from the giant rat!"));
  ASSERT_TRUE(client->wait_for(";tncombat;"));
  ASSERT_TRUE(client->wait_for(";sb5;Kill rat\nkill rat;eb5;"));
}
