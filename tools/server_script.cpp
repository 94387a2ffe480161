// Parsing and running the scripted test server's scripts.
#include "server_script.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "scripted_server.h"

namespace {

constexpr int longest_sleep_ms = 600000;

int hex_value(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

std::string at_line(int line_number, const std::string &reason) {
  return "line " + std::to_string(line_number) + ": " + reason;
}

} // namespace

int trel_decode_script_escapes(const std::string &text, std::string *bytes, std::string *error) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      decoded += text[i];
      continue;
    }
    if (i + 1 >= text.size()) {
      *error = "a backslash ends the text";
      return 0;
    }
    char kind = text[++i];
    switch (kind) {
    case 'e':
      decoded += '\x1b';
      break;
    case 'n':
      decoded += '\n';
      break;
    case 'r':
      decoded += '\r';
      break;
    case 't':
      decoded += '\t';
      break;
    case '\\':
      decoded += '\\';
      break;
    case 'x': {
      int high = i + 1 < text.size() ? hex_value(text[i + 1]) : -1;
      int low = i + 2 < text.size() ? hex_value(text[i + 2]) : -1;
      if (high < 0 || low < 0) {
        *error = "\\x needs two hexadecimal digits";
        return 0;
      }
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
      break;
    }
    default:
      *error = std::string("unknown escape \\") + kind;
      return 0;
    }
  }
  *bytes = decoded;
  return 1;
}

int trel_parse_server_script(const std::string &script, std::vector<trel_script_step> *steps,
                             std::string *error) {
  std::vector<trel_script_step> parsed;
  size_t start = 0;
  int line_number = 0;
  while (start < script.size()) {
    size_t end = script.find('\n', start);
    if (end == std::string::npos)
      end = script.size();
    std::string line = script.substr(start, end - start);
    start = end + 1;
    ++line_number;
    // A script saved with CRLF line ends must not send stray carriage returns.
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.empty() || line[0] == '#')
      continue;
    size_t blank = line.find(' ');
    std::string word = line.substr(0, blank);
    bool has_argument = blank != std::string::npos;
    // The argument is everything after the first blank, kept as written so
    // that leading and trailing blanks of a send are sent.
    std::string argument = has_argument ? line.substr(blank + 1) : std::string();

    trel_script_step step;
    step.line_number = line_number;
    std::string reason;
    if (word == "send" || word == "expect") {
      step.kind = word == "send" ? trel_script_step::send : trel_script_step::expect;
      if (word == "send" && argument.empty()) {
        *error = at_line(line_number, "send needs text");
        return 0;
      }
      if (!trel_decode_script_escapes(argument, &step.text, &reason)) {
        *error = at_line(line_number, reason);
        return 0;
      }
      if (step.kind == trel_script_step::expect && step.text.find('\n') != std::string::npos) {
        *error = at_line(line_number, "an expected line cannot hold a line feed");
        return 0;
      }
    } else if (word == "sleep_ms") {
      step.kind = trel_script_step::sleep_ms;
      char *rest = nullptr;
      long value = strtol(argument.c_str(), &rest, 10);
      if (argument.empty() || *rest != 0 || value < 0 || value > longest_sleep_ms) {
        *error = at_line(line_number, "sleep_ms needs a number from 0 to 600000");
        return 0;
      }
      step.number = static_cast<int>(value);
    } else {
      static const struct {
        const char *name;
        trel_script_step::kind_t kind;
      } bare_commands[] = {
          {"wait_client", trel_script_step::wait_client},
          {"wait_disconnect", trel_script_step::wait_disconnect},
          {"close", trel_script_step::close},
          {"reset", trel_script_step::reset},
          {"stall", trel_script_step::stall},
      };
      bool known = false;
      for (const auto &bare : bare_commands) {
        if (word == bare.name) {
          step.kind = bare.kind;
          known = true;
        }
      }
      if (!known) {
        *error = at_line(line_number, "unknown command '" + word + "'");
        return 0;
      }
      if (has_argument) {
        *error = at_line(line_number, word + " takes no argument");
        return 0;
      }
    }
    parsed.push_back(step);
  }
  *steps = parsed;
  return 1;
}

int trel_run_server_script(trel_scripted_server &server, const std::vector<trel_script_step> &steps,
                           int timeout_ms, std::string *error) {
  for (const trel_script_step &step : steps) {
    bool ok = true;
    std::string reason;
    switch (step.kind) {
    case trel_script_step::send:
      ok = server.send(step.text);
      reason = "no client to send to";
      break;
    case trel_script_step::expect:
      ok = server.expect_line(step.text, timeout_ms);
      reason = "the line '" + step.text + "' did not arrive";
      break;
    case trel_script_step::wait_client:
      ok = server.wait_for_client(timeout_ms);
      reason = "no client connected";
      break;
    case trel_script_step::wait_disconnect:
      ok = server.wait_for_disconnect(timeout_ms);
      reason = "the client did not disconnect";
      break;
    case trel_script_step::close:
      ok = server.close();
      reason = "no client to close";
      break;
    case trel_script_step::reset:
      ok = server.reset();
      reason = "no client to reset";
      break;
    case trel_script_step::stall:
      server.stall();
      break;
    case trel_script_step::sleep_ms:
      std::this_thread::sleep_for(std::chrono::milliseconds(step.number));
      break;
    }
    if (!ok) {
      *error = at_line(step.line_number, reason);
      return 0;
    }
  }
  return 1;
}
