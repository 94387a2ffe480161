// Tests of base64 encoding into a bounded text.
#include <gtest/gtest.h>
#include <string>

#include "support/base64.h"

namespace {

TEST(Base64, EncodesTheRfc4648TestVectors) {
  struct {
    const char *input;
    const char *output;
  } cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
  };
  for (const auto &c : cases) {
    trel_bounded_text text;
    EXPECT_EQ(trel_base64_append_text(c.input, &text), 1);
    EXPECT_STREQ(text.text, c.output) << "'" << c.input << "'";
  }
}

TEST(Base64, EncodesHighBytesAndAppendsToWhatIsThere) {
  trel_bounded_text text;
  text.append("Basic ");
  const unsigned char bytes[] = {0xfb, 0xff, 0x00, 0x80};
  EXPECT_EQ(trel_base64_append(bytes, 4, &text), 1);
  EXPECT_STREQ(text.text, "Basic +/8AgA==");
}

TEST(Base64, StopsWhenTheTextIsFull) {
  trel_bounded_text text;
  std::string start(5990, 'a');
  text.append(start.c_str());
  EXPECT_EQ(trel_base64_append_text("foobarfoobar", &text), 0);
  EXPECT_EQ(text.length, TREL_TEXT_SIZE - 1);
  EXPECT_EQ(std::string(text.text + 5990), "Zm9vYmFyZ");
  EXPECT_EQ(trel_base64_append_text("more", &text), 0);
  EXPECT_EQ(text.length, TREL_TEXT_SIZE - 1);
}

} // namespace
