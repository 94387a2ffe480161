// The scripted test server's little script language, so that the server can
// be driven from the shell as well as from C++ tests. One command a line:
//   send <text>       queue bytes for the client; \e \n \r \t \\ and \xNN escapes
//   expect <line>     wait for the next line from the client equal to <line> (same escapes)
//   wait_client       wait for the next client to connect
//   wait_disconnect   wait until the client has gone
//   close             send what is queued, then close in an orderly way
//   reset             end the connection with a reset
//   stall             from now on never answer a new connection's handshake
//   sleep_ms <n>      pause for n milliseconds (for pacing a demonstration only)
// Blank lines and lines starting with "#" are ignored.
#pragma once

#include <string>
#include <vector>

class trel_scripted_server;

struct trel_script_step {
  enum kind_t { send, expect, wait_client, wait_disconnect, close, reset, stall, sleep_ms } kind;
  // The decoded bytes of send and expect.
  std::string text;
  // The pause of sleep_ms.
  int number = 0;
  // Where the step stands in the script, for messages.
  int line_number = 0;
};

// Decodes the escapes of a send or expect text. 1 with the bytes, or 0 with a reason.
int trel_decode_script_escapes(const std::string &text, std::string *bytes, std::string *error);

// Parses a whole script. 1 with the steps, or 0 with "line N: reason" in *error.
int trel_parse_server_script(const std::string &script, std::vector<trel_script_step> *steps,
                             std::string *error);

// Carries out the steps in order; waits (expect, wait_client,
// wait_disconnect) give up after timeout_ms. 1 when every step succeeded, or
// 0 with "line N: reason" for the first that did not.
int trel_run_server_script(trel_scripted_server &server, const std::vector<trel_script_step> &steps,
                           int timeout_ms, std::string *error);
