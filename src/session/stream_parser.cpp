// The stream framing state machine.
#include "session/stream_parser.h"

#include "support/debug_log.h"

#include <cstring>

namespace {

constexpr unsigned char IAC = 255;
constexpr unsigned char WILL = 251;
constexpr unsigned char DO = 253;
constexpr unsigned char DONT = 254;
constexpr unsigned char ECHO_OPTION = 1;
constexpr unsigned char BEL = 7;
constexpr unsigned char CR = 13;

} // namespace

// Text gathered during one call, handed over in runs of at most TEXT_PIECE bytes.
struct trel_stream_parser::piece {
  trel_stream_sink &sink;
  char buffer[TEXT_PIECE + 1];
  int count = 0;

  explicit piece(trel_stream_sink &s) : sink(s) {}
  void flush() {
    if (count > 0) {
      buffer[count] = 0;
      sink.deliver_text(buffer, count);
      count = 0;
    }
  }
  void add(unsigned char byte) {
    buffer[count++] = static_cast<char>(byte);
    if (count == TEXT_PIECE)
      flush();
  }
};

void trel_stream_parser::reset_with_names() {
  state = text;
  start_name[0] = 0;
  end_name[0] = 0;
  fill = 0;
}

void trel_stream_parser::start_tag() {
  if (start_name[0] && debug_level >= 2)
    trel_client_debug_printf(
        "Warning in trel_mw::process_socket_data(), double start tags?  Previous was '%s'.\n",
        start_name);
  start_name[0] = 0;
  end_name[0] = 0;
  fill = 0;
}

void trel_stream_parser::end_tag() {
  if (end_name[0] && debug_level >= 2)
    trel_client_debug_printf(
        "Warning in trel_mw::process_socket_data(), double end tags?  Previous was '%s'.\n",
        end_name);
  if (!start_name[0] && debug_level >= 2)
    trel_client_debug_printf(
        "Warning in trel_mw::process_socket_data(), end tag '%s' without start tag.\n", end_name);
  end_name[0] = 0;
  fill = 0;
}

void trel_stream_parser::semicolon_warning(const unsigned char *bytes, int length) {
  if (debug_level < 2)
    return;
  trel_client_debug_printf("Warning in trel_mw::process_socket_data(), semicolon found?\n");
  int shown = length < 5999 ? length : 5999;
  trel_client_debug_printf("Current string data ->%.*s<-\n", shown,
                           reinterpret_cast<const char *>(bytes));
}

// Appends one byte to a name; true when the name reached its limit (the
// caller then warns and drops it).
static bool append_name(char *name, int &fill, unsigned char byte) {
  name[fill++] = static_cast<char>(byte);
  name[fill] = 0;
  if (fill > trel_stream_parser::NAME_LIMIT) {
    name[trel_stream_parser::NAME_LIMIT] = 0;
    return true;
  }
  return false;
}

void trel_stream_parser::process(const unsigned char *bytes, int length, trel_stream_sink &sink) {
  if (!bytes || length <= 0)
    return;
  piece pending(sink);
  for (int i = 0; i < length; i++) {
    unsigned char byte = bytes[i];
    switch (state) {
    case text:
      if (byte == IAC) {
        pending.flush();
        state = telnet_command;
      } else if (byte == BEL) {
        sink.ring_bell();
      } else if (byte == ';') {
        pending.flush();
        state = tag_intro;
      } else {
        pending.add(byte);
      }
      break;

    case telnet_command:
      if (byte >= WILL && byte <= DONT) {
        command = byte;
        state = telnet_option;
      } else {
        state = text;
      }
      break;

    case telnet_option:
      if (byte == ECHO_OPTION) {
        pending.flush();
        if (command == DONT) {
          sink.deliver_text("\n", 1);
          sink.enter_password_mode();
        } else if (command == DO) {
          sink.leave_password_mode();
        }
      }
      state = text;
      break;

    case tag_intro:
      if (byte == ';') {
        pending.add(';');
        state = text;
      } else if (byte == 's') {
        start_tag();
        state = start_tag_name;
      } else if (byte == 't') {
        start_tag();
        state = bare_tag_name;
      } else if (byte == 'e') {
        end_tag();
        state = end_tag_name;
      } else {
        semicolon_warning(bytes, length);
        pending.add(';');
        pending.add(byte);
        state = text;
      }
      break;

    case start_tag_name:
      if (byte == ';') {
        start_name[fill] = 0;
        fill = 0;
        data[0] = 0;
        state = tag_data;
      } else if (append_name(start_name, fill, byte)) {
        if (debug_level >= 2)
          trel_client_debug_printf(
              "Warning in trel_mw::process_socket_data(), zvs tag '%s' too long?\n", start_name);
        start_name[0] = 0;
        fill = 0;
        state = text;
      }
      break;

    case tag_data:
      if (byte == ';') {
        data[fill] = 0;
        sink.dispatch_tag(start_name, data, fill);
        fill = 0;
        state = tag_intro;
      } else if (byte != CR) {
        data[fill++] = static_cast<char>(byte);
        if (fill > DATA_LIMIT) {
          if (debug_level >= 2)
            trel_client_debug_printf(
                "Warning in trel_mw::process_socket_data(), tagged data was too long, "
                "discarding.\n");
          data[0] = 0;
          fill = 0;
          end_name[0] = 0;
          state = text;
        }
      }
      break;

    case end_tag_name:
      if (byte == ';') {
        end_name[fill] = 0;
        if (strcmp(end_name, start_name) != 0 && debug_level >= 2)
          trel_client_debug_printf(
              "Warning trel_mw::process_socket_data(), zve tag '%s' does not match zvs tag "
              "'%s'.\n",
              end_name, start_name);
        start_name[0] = 0;
        end_name[0] = 0;
        fill = 0;
        state = text;
      } else if (append_name(end_name, fill, byte)) {
        if (debug_level >= 2)
          trel_client_debug_printf(
              "Warning in trel_mw::process_socket_data(), zve tag '%s' too long?\n", end_name);
        end_name[0] = 0;
        fill = 0;
        state = text;
      }
      break;

    case bare_tag_name:
      if (byte == ';') {
        start_name[fill] = 0;
        sink.dispatch_tag(start_name, "", 0);
        start_name[0] = 0;
        fill = 0;
        state = text;
      } else if (append_name(start_name, fill, byte)) {
        if (debug_level >= 2)
          trel_client_debug_printf(
              "Warning in trel_mw::process_socket_data(), zvt tag '%s' too long?\n", start_name);
        start_name[0] = 0;
        fill = 0;
        state = text;
      }
      break;
    }
  }
  pending.flush();
}
