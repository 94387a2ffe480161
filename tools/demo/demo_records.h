// Byte-level helpers of the demo server: tagged records, escaped text, ANSI
// colour codes and the telnet echo bytes the client watches for.
#pragma once

#include <string>

// ANSI codes with a single parameter each. Codes with several parameters
// (ESC[1;31m) would carry a semicolon, which the client's framing treats as
// the start of a tag; single-parameter codes need no escaping at all.
#define TREL_ANSI_RESET "\x1b[0m"
#define TREL_ANSI_BOLD "\x1b[1m"
#define TREL_ANSI_RED "\x1b[31m"
#define TREL_ANSI_GREEN "\x1b[32m"
#define TREL_ANSI_YELLOW "\x1b[33m"
#define TREL_ANSI_BLUE "\x1b[34m"
#define TREL_ANSI_MAGENTA "\x1b[35m"
#define TREL_ANSI_CYAN "\x1b[36m"
#define TREL_ANSI_WHITE "\x1b[37m"

// The longest tag name and tag data the client accepts; longer ones are
// discarded whole on the client side, so the server never sends them.
constexpr size_t TREL_DEMO_TAG_NAME_MAX = 63;
constexpr size_t TREL_DEMO_TAG_DATA_MAX = 14999;

// Text for the stream: every literal semicolon doubled, so the client shows
// it instead of taking it for the start of a tag.
std::string trel_demo_escape_text(const std::string &text);

// A tagged record ";s<tag>;<data>;e<tag>;". Data cannot hold a semicolon on
// the wire (it would end the data early), so each one becomes a comma; data
// longer than the client takes is cut. A tag name that is empty, too long or
// holds a semicolon gives an empty result.
std::string trel_demo_record(const std::string &tag, const std::string &data);

// A bare tag ";t<tag>;" (dispatched by the client with empty data), or an
// empty result for a bad name as above.
std::string trel_demo_bare_tag(const std::string &tag);

// IAC WILL ECHO, IAC DONT ECHO: the client hides what the player types
// (the password). IAC WONT ECHO, IAC DO ECHO: it shows it again.
std::string trel_demo_hide_input();
std::string trel_demo_show_input();

// Player text made safe to repeat to other players: control bytes (escape
// codes, bells, telnet IAC) are dropped and the result is cut to at most
// limit bytes.
std::string trel_demo_clean_player_text(const std::string &text, size_t limit);

// A fresh 32-character lower-case hexadecimal identifier for a client
// that introduced itself without one.
std::string trel_demo_new_uuid();
