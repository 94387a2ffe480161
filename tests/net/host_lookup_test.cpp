// Host lookup: which texts are taken as dotted decimal addresses, and what
// the resolver path does with the rest.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstring>

#include "net/host_lookup.h"

namespace {

sockaddr_in record_with_port(int port) {
  sockaddr_in record;
  memset(&record, 0xAB, sizeof record);
  record.sin_port = htons(static_cast<uint16_t>(port));
  return record;
}

std::string address_text(const sockaddr_in &record) {
  char text[INET_ADDRSTRLEN] = "";
  inet_ntop(AF_INET, &record.sin_addr, text, sizeof text);
  return text;
}

struct numeric_case {
  const char *text;
  const char *address; // nullptr: not a numeric address
};

TEST(lookup_host_address, numeric_texts_are_read_as_decimal_and_the_rest_are_not) {
  const numeric_case cases[] = {
      {"10.0.0.1", "10.0.0.1"},
      {"255.255.255.255", "255.255.255.255"}, // 12 digits, and not an error value
      {"0.0.0.0", "0.0.0.0"},
      {"127.0.0.1", "127.0.0.1"},
      // Leading zeros are decimal, never octal.
      {"010.001.000.009", "10.1.0.9"},
      {"10.0.0", nullptr},    // two dots
      {"1.2.3.4.5", nullptr}, // four dots
      {"1.2.3.256", nullptr}, // a number over 255
      {"256.1.1.1", nullptr},
      {"1..2.3", nullptr}, // a dot not followed by a number
      {".1.2.3", nullptr},
      {"1.2.3.", nullptr},
      {"0001.002.003.004", nullptr}, // 13 digits
      {"1.2.3.4 ", nullptr},         // anything but digits and dots
      {"1.2.3.x", nullptr},
      {"localhost", nullptr},
      {"", nullptr},
  };
  for (const numeric_case &c : cases) {
    in_addr_t parsed = 0;
    int numeric = trel_parse_numeric_ipv4(c.text, &parsed);
    EXPECT_EQ(c.address != nullptr, numeric == 1) << "'" << c.text << "'";
    if (c.address && numeric) {
      sockaddr_in record = record_with_port(3102);
      ASSERT_EQ(1, lookup_host_address(c.text, &record)) << c.text;
      EXPECT_EQ(AF_INET, record.sin_family);
      EXPECT_EQ(c.address, address_text(record)) << c.text;
      EXPECT_EQ(htons(3102), record.sin_port) << "the port must not be touched";
    }
  }
}

TEST(lookup_host_address, host_names_go_through_the_resolver) {
  sockaddr_in record = record_with_port(4000);
  ASSERT_EQ(1, lookup_host_address("localhost", &record));
  EXPECT_EQ(AF_INET, record.sin_family);
  EXPECT_EQ("127.0.0.1", address_text(record));
  EXPECT_EQ(htons(4000), record.sin_port);

  // Two dots fail our numeric rule; the system resolver reads the short form
  // itself (the last number fills the remaining bytes), which shows the text
  // went that way.
  record = record_with_port(4000);
  ASSERT_EQ(1, lookup_host_address("10.0.0", &record));
  EXPECT_EQ("10.0.0.0", address_text(record));
}

TEST(lookup_host_address, a_text_the_resolver_rejects_is_not_found_and_leaves_the_record) {
  sockaddr_in record = record_with_port(4000);
  sockaddr_in before = record;
  // Not numeric by our rule (256), and no resolver takes it either.
  EXPECT_EQ(0, lookup_host_address("1.2.3.256", &record));
  EXPECT_EQ(0, lookup_host_address("", &record));
  EXPECT_EQ(0, memcmp(&before, &record, sizeof record));
}

TEST(lookup_host_address, null_arguments_are_not_found) {
  sockaddr_in record = record_with_port(1);
  EXPECT_EQ(0, lookup_host_address(nullptr, &record));
  EXPECT_EQ(0, lookup_host_address("10.0.0.1", nullptr));
}

} // namespace
