// The framing of the server's byte stream: plain text, tagged records between
// semicolons, telnet echo negotiation and the bell. A byte-at-a-time state
// machine, so records may be split across any number of reads.
#pragma once

// Where the parser's results go; the session implements it.
class trel_stream_sink {
public:
  virtual ~trel_stream_sink() = default;
  // A run of text (never holds the bytes the parser consumed).
  virtual void deliver_text(const char *text, int length) = 0;
  // A complete record; data is zero-terminated, length excludes the terminator.
  virtual void dispatch_tag(const char *name, const char *data, int length) = 0;
  virtual void ring_bell() = 0;
  virtual void enter_password_mode() = 0;
  virtual void leave_password_mode() = 0;
};

class trel_stream_parser {
public:
  static constexpr int NAME_LIMIT = 63;
  static constexpr int DATA_LIMIT = 14999;
  static constexpr int TEXT_PIECE = 2560;

  enum parser_state {
    text,
    telnet_command,
    telnet_option,
    tag_intro,
    start_tag_name,
    end_tag_name,
    tag_data,
    bare_tag_name
  };

  // Parses one piece of received data; pending text is handed over at its end.
  void process(const unsigned char *bytes, int length, trel_stream_sink &sink);
  // Back to plain text (connect and disconnect).
  void reset() { state = text; }
  // Back to plain text with both names forgotten (a client message).
  void reset_with_names();
  parser_state current_state() const { return state; }

private:
  struct piece; // the per-call pending text

  void start_tag();
  void end_tag();
  void semicolon_warning(const unsigned char *bytes, int length);

  parser_state state = text;
  unsigned char command = 0;
  char start_name[NAME_LIMIT + 1] = {0};
  char end_name[NAME_LIMIT + 1] = {0};
  int fill = 0;
  char data[DATA_LIMIT + 1] = {0};
};
