// Tagged records, escaped text, telnet echo bytes and identifiers for the
// demo server's stream.
#include "demo_records.h"

#include <openssl/rand.h>

#include <random>

namespace {

bool valid_tag_name(const std::string &tag) {
  return !tag.empty() && tag.size() <= TREL_DEMO_TAG_NAME_MAX && tag.find(';') == std::string::npos;
}

} // namespace

std::string trel_demo_escape_text(const std::string &text) {
  std::string escaped;
  escaped.reserve(text.size() + 8);
  for (char c : text) {
    escaped += c;
    if (c == ';')
      escaped += ';';
  }
  return escaped;
}

std::string trel_demo_record(const std::string &tag, const std::string &data) {
  if (!valid_tag_name(tag))
    return std::string();
  std::string body = data.substr(0, TREL_DEMO_TAG_DATA_MAX);
  for (char &c : body)
    if (c == ';')
      c = ',';
  return ";s" + tag + ";" + body + ";e" + tag + ";";
}

std::string trel_demo_bare_tag(const std::string &tag) {
  if (!valid_tag_name(tag))
    return std::string();
  return ";t" + tag + ";";
}

std::string trel_demo_hide_input() {
  return std::string("\xff\xfb\x01\xff\xfe\x01", 6);
}

std::string trel_demo_show_input() {
  return std::string("\xff\xfc\x01\xff\xfd\x01", 6);
}

std::string trel_demo_clean_player_text(const std::string &text, size_t limit) {
  std::string clean;
  for (char c : text) {
    if (clean.size() >= limit)
      break;
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127 || byte == 255)
      continue;
    clean += c;
  }
  return clean;
}

std::string trel_demo_new_uuid() {
  unsigned char bytes[16];
  if (RAND_bytes(bytes, sizeof bytes) != 1) {
    // Uniqueness matters here, secrecy does not: any decent source will do.
    std::random_device device;
    for (unsigned char &b : bytes)
      b = static_cast<unsigned char>(device() & 0xff);
  }
  static const char digits[] = "0123456789abcdef";
  std::string uuid;
  for (unsigned char b : bytes) {
    uuid += digits[b >> 4];
    uuid += digits[b & 15];
  }
  return uuid;
}
