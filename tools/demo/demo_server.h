// The demo game server: a TLS listener on the loopback address and one
// poll loop that serves every connected client in a single thread.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "demo_session.h"
#include "demo_world.h"
#include "tls_server.h"

class trel_demo_server : public trel_demo_hub {
public:
  trel_demo_server();
  ~trel_demo_server() override;
  trel_demo_server(const trel_demo_server &) = delete;
  trel_demo_server &operator=(const trel_demo_server &) = delete;

  // Makes a throwaway self-signed certificate and listens on 127.0.0.1:port
  // (0: any free port). 1 on success, 0 with a reason in *error.
  int start(int port, std::string *error);
  // The port listened on, 0 before start.
  int port() const { return listener.port(); }
  // Where connections and problems are noted; nullptr (the default) for silence.
  void set_log(FILE *log) { log_file = log; }
  // Serves clients until request_stop, then says goodbye to each and closes
  // the connections. Returns 1, or 0 when not started.
  int run();
  // Ends run soon. Safe to call from another thread or a signal handler.
  void request_stop();

  // trel_demo_hub
  const trel_demo_world &world() const override { return game_world; }
  std::vector<trel_demo_session *> players() override;
  int game_minute() const override;

private:
  struct client {
    int number = 0;
    trel_tls_connection connection;
    std::unique_ptr<trel_demo_session> session;
    std::string input;
    std::string output;
    long long accepted_at = 0;
    bool dead = false;
  };

  void note(const char *format, ...) __attribute__((format(printf, 2, 3)));
  void accept_clients(long long now);
  void service_input(client &c, long long now);
  void collect_output();
  void write_output(client &c);
  void remove_dead_clients();
  void say_goodbye_to_all();

  trel_demo_world game_world;
  trel_tls_listener listener;
  trel_tls_server_context context;
  std::vector<std::unique_ptr<client>> clients;
  int wake_pipe[2] = {-1, -1};
  long long started_at = 0;
  int next_client_number = 1;
  FILE *log_file = nullptr;
};
