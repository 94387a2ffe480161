// Tests of trel_xml_reader on real files: the declaration check, walking
// tags, entities, values and numbers, skipping, and the reports of bad input.
#include <climits>
#include <cstring>
#include <functional>

#include "config/xml_test_support.h"

namespace {

using xml_reader_test = xml_test;

const std::string header_warning = "Warning in trel_xml_reader::check_xml_header_string(), ";

TEST_F(xml_reader_test, declaration_line_check) {
  struct header_case {
    const char *line;
    int result;
    const char *message; // after the common prefix; "" when nothing is reported
  };
  const header_case cases[] = {
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", 1, ""},
      {"<?XML encoding=\"UTF-8\" version=\"1.1\"?>", 1, ""},
      {"<?xml version = \"1.0\"  encoding=\t\"x\" ?>", 1, ""},
      {"<?xml version=\"1.0\" encoding=\"x\"?>\n", 1, ""},
      {"<?xml version=\"1.0\" encoding=\"x\"", 1, ""},
      {"<?xml version=\"1.0\" encoding=\"x\"?> anything after the end", 1, ""},
      {"<?xml version=\"1.0\"?>", 0, "didn't get encoding."},
      {"<?xml encoding=\"x\"?>", 0, "didn't get version."},
      {"<?xml", 0, "didn't get either version or encoding."},
      {"<?xml ?>", 0, "didn't get either version or encoding."},
      {"<xml version=\"1.0\" encoding=\"x\"?>", 0, "missing opening '<?xml' tag."},
      {"<?xmlversion=\"1.0\" encoding=\"x\"?>", 0, "missing opening '<?xml' tag."},
      {"", 0, "missing opening '<?xml' tag."},
      {"<?xml version\"1.0\" encoding=\"x\"?>", 0, "'version' tag found, but no version."},
      {"<?xml version=1.0 encoding=\"x\"?>", 0,
       "'version' tag found, but no opening version quote."},
      {"<?xml version=\"1.0 encoding=x?>", 0, "'version' tag found, but no closing version quote."},
      {"<?xml version=\"1\" encoding", 0, "'encoding' tag found, but no encoding."},
      {"<?xml version=\"1\" encoding=x", 0, "'encoding' tag found, but no opening encoding quote."},
      {"<?xml version=\"1\" encoding=\"x", 0,
       "'encoding' tag found, but no closing encoding quote."},
      {"<?xml version=\"1.0\" standalone=\"yes\" encoding=\"x\"?>", 0, "unknown tag found."},
  };
  trel_xml_file_reader &reader = reader_on("");
  for (const header_case &c : cases) {
    const std::size_t mark = log_mark();
    EXPECT_EQ(reader.check_xml_header_string(c.line), c.result) << "line: " << c.line;
    const std::string expected = *c.message ? header_warning + c.message + "\n" : "";
    EXPECT_EQ(log_since(mark), expected) << "line: " << c.line;
  }
  const std::size_t mark = log_mark();
  EXPECT_EQ(reader.check_xml_header_string(nullptr), 0);
  EXPECT_EQ(log_since(mark), header_warning + "missing opening '<?xml' tag.\n");
}

TEST_F(xml_reader_test, walks_nested_elements_tag_by_tag) {
  trel_xml_file_reader &r = reader_on("<config>\n"
                                      "  <name>Bob</name>\n"
                                      "  <list_inner>\n"
                                      "    <num>42</num>\n"
                                      "  </list_inner>\n"
                                      "</config>\n");
  char tag[100];
  char value[100];
  int number = 0;
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  EXPECT_STREQ(tag, "config");
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  EXPECT_STREQ(tag, "name");
  ASSERT_EQ(r.read_data(value, sizeof value), 1);
  EXPECT_STREQ(value, "Bob");
  EXPECT_EQ(r.get_depth(), 1u) << "read_data consumes the value's closing tag";
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  EXPECT_STREQ(tag, "list_inner");
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  EXPECT_STREQ(tag, "num");
  ASSERT_EQ(r.read_data(&number), 1);
  EXPECT_EQ(number, 42);
  EXPECT_EQ(r.read_tag(tag, sizeof tag), 0) << "the closing tag of list_inner ends its loop";
  EXPECT_STREQ(r.get_current_tag(), "config");
  EXPECT_EQ(r.read_tag(tag, sizeof tag), 0) << "the closing tag of config ends its loop";
  EXPECT_EQ(r.get_depth(), 0u);
  EXPECT_EQ(r.read_tag(tag, sizeof tag), 0) << "end of input";
  EXPECT_EQ(log(), "");
}

TEST_F(xml_reader_test, decodes_the_three_entities_and_keeps_unknown_ampersands) {
  struct entity_case {
    const char *raw;
    const char *decoded;
    int warnings;
  };
  const entity_case cases[] = {
      {"a&lt;b&amp;c", "a<b&c", 0},
      {"&gt;&gt;", ">>", 0},
      {"&amp;lt;", "&lt;", 0},
      {"&quot;x", "&quot;x", 1},
      {"a & b", "a & b", 1},
      {"&lt", "&lt", 1},
      {"&", "&", 1},
      {"&&amp;", "&&", 1},
      {"&#60;&apos;", "&#60;&apos;", 2},
  };
  const std::string unknown =
      "Warning in trel_xml_reader::compact_string(), unknown '&' conversion found?\n";
  for (const entity_case &c : cases) {
    trel_xml_file_reader &r = reader_on(std::string("<v>") + c.raw + "</v>");
    const std::size_t mark = log_mark();
    char tag[16];
    char value[64];
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    ASSERT_EQ(r.read_data(value, sizeof value), 1) << c.raw;
    EXPECT_STREQ(value, c.decoded) << c.raw;
    EXPECT_EQ(log_count(unknown, mark), c.warnings) << c.raw;
    EXPECT_EQ(log_since(mark).size(), c.warnings * unknown.size()) << "nothing else reported";
  }
  // Tag text is decoded the same way, so an escaped name closes itself.
  trel_xml_file_reader &r = reader_on("<a&amp;b>1</a&amp;b>");
  char tag[16];
  char value[16];
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  EXPECT_STREQ(tag, "a&b");
  EXPECT_EQ(r.read_data(value, sizeof value), 1);
  EXPECT_EQ(r.get_depth(), 0u);
}

TEST_F(xml_reader_test, a_value_with_a_byte_outside_printable_ascii_is_refused_silently) {
  const std::string bad_values[] = {"a\tb", "line\nbreak", "\r",      std::string("a\0b", 3),
                                    "\x01", "\x7f",        "caf\xe9", "\x80\xff"};
  for (const std::string &bad : bad_values) {
    trel_xml_file_reader &r =
        reader_on("<list><v>" + bad + "</v>\n<w>still read</w></list><after>1</after>");
    char tag[16];
    char value[64];
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    const std::size_t mark = log_mark();
    EXPECT_EQ(r.read_data(value, sizeof value), 0);
    EXPECT_EQ(log_since(mark), "") << "a refused value is not reported";
    EXPECT_STREQ(r.get_current_tag(), "v") << "a refused value leaves its element open";
    // The caller's loop goes on with the siblings that follow.
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    EXPECT_STREQ(tag, "w");
    ASSERT_EQ(r.read_data(value, sizeof value), 1);
    EXPECT_STREQ(value, "still read");
  }
}

TEST_F(xml_reader_test, values_longer_than_the_destination_are_cut_without_losing_the_place) {
  struct cut_case {
    const char *raw;
    int capacity;
    const char *value;
  };
  const cut_case cases[] = {
      {"0123456789", 5, "0123"},
      {"0123", 5, "0123"},
      {"0123\t56", 5, "0123"}, // the byte past the cut is dropped unseen
      {"x", 1, ""},
      {"a&amp;bcdef", 8, "a&b"}, // the cut counts bytes as written, before decoding
      {"a&amp;bcdef", 4, "a&a"}, // a cut inside an entity keeps its start as text
  };
  for (const cut_case &c : cases) {
    trel_xml_file_reader &r = reader_on(std::string("<v>") + c.raw + "</v><w>next</w>");
    char tag[16];
    char value[64];
    memset(value, 'Z', sizeof value);
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    ASSERT_EQ(r.read_data(value, c.capacity), 1) << c.raw;
    EXPECT_STREQ(value, c.value) << c.raw;
    for (std::size_t i = static_cast<std::size_t>(c.capacity); i < sizeof value; i++)
      ASSERT_EQ(value[i], 'Z') << "byte " << i << " past the capacity was written, " << c.raw;
    EXPECT_EQ(r.get_depth(), 0u);
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    EXPECT_STREQ(tag, "w");
  }
}

TEST_F(xml_reader_test, reads_integer_values) {
  struct number_case {
    const char *raw;
    int result;
    int value; // 777 means left unchanged
  };
  const number_case cases[] = {
      {"42", 1, 42},
      {"12abc", 1, 12},
      {"-5", 1, -5},
      {"+7", 1, 7},
      {"007", 1, 7},
      {"2147483647", 1, INT_MAX},
      {"-2147483648", 1, INT_MIN},
      {"99999999999999999999", 1, INT_MAX},
      {"-99999999999999999999", 1, INT_MIN},
      {"abc", 0, 777},
      {"", 0, 777},
      {"-x", 0, 777},
      {"+", 0, 777},
      {" 5", 0, 777},
  };
  for (const number_case &c : cases) {
    trel_xml_file_reader &r = reader_on(std::string("<n>") + c.raw + "</n><m>next</m>");
    char tag[16];
    int value = 777;
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    const std::size_t mark = log_mark();
    EXPECT_EQ(r.read_data(&value), c.result) << c.raw;
    EXPECT_EQ(value, c.value) << c.raw;
    const std::string expected =
        c.result ? ""
                 : std::string("Warning in trel_xml_reader::read_data(int) - got non-number'") +
                       c.raw + "'.\n";
    EXPECT_EQ(log_since(mark), expected) << c.raw;
    EXPECT_EQ(r.get_depth(), 0u) << "the closing tag is consumed either way, " << c.raw;
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    EXPECT_STREQ(tag, "m");
  }
}

TEST_F(xml_reader_test, bad_arguments_are_reported_and_leave_the_input_untouched) {
  struct misuse_case {
    const char *message;
    std::function<int(trel_xml_reader &)> call;
  };
  char buffer[16];
  const misuse_case cases[] = {
      {"Error in trel_xml_reader::read_tag(), NULL dest?",
       [](trel_xml_reader &r) { return r.read_tag(nullptr, 10); }},
      {"Error in trel_xml_reader::read_tag(), dest is too small?",
       [&](trel_xml_reader &r) { return r.read_tag(buffer, 0); }},
      {"Error in trel_xml_reader::read_data(char[]), NULL dest?",
       [](trel_xml_reader &r) { return r.read_data(nullptr, 10); }},
      {"Error in trel_xml_reader::read_data(char[]), dest is too small?",
       [&](trel_xml_reader &r) { return r.read_data(buffer, -1); }},
      {"Error in trel_xml_reader::read_data(int), NULL dest?",
       [](trel_xml_reader &r) { return r.read_data(static_cast<int *>(nullptr)); }},
      {"Error in trel_xml_reader::skip_data() - you must read at least the opening tag before "
       "skipping data.",
       [](trel_xml_reader &r) { return r.skip_data(); }},
  };
  for (const misuse_case &c : cases) {
    trel_xml_file_reader &r = reader_on("<a>1</a>");
    const std::size_t mark = log_mark();
    EXPECT_EQ(c.call(r), 0) << c.message;
    EXPECT_EQ(log_since(mark), std::string(c.message) + "\n");
    ASSERT_EQ(r.read_tag(buffer, sizeof buffer), 1) << "input was consumed by: " << c.message;
    EXPECT_STREQ(buffer, "a");
  }
}

TEST_F(xml_reader_test, a_mismatched_closing_tag_is_reported_and_still_closes) {
  trel_xml_file_reader &r = reader_on("<a><b></c></a>");
  char tag[16];
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  EXPECT_EQ(r.read_tag(tag, sizeof tag), 0);
  EXPECT_EQ(log(), "Warning in trel_xml_reader::pop_stack_entry() - popped tag 'c' did not match "
                   "expected tag 'b'.\n");
  EXPECT_STREQ(r.get_current_tag(), "a");
  EXPECT_EQ(r.read_tag(tag, sizeof tag), 0);
  EXPECT_EQ(r.get_depth(), 0u);
}

TEST_F(xml_reader_test, a_tag_with_attributes_closes_with_a_mismatch_warning) {
  trel_xml_file_reader &r = reader_on("<single_popup_window id=\"3\">x</single_popup_window>");
  char tag[64];
  char value[16];
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  EXPECT_STREQ(tag, "single_popup_window id=\"3\"");
  ASSERT_EQ(r.read_data(value, sizeof value), 1);
  EXPECT_STREQ(value, "x");
  EXPECT_EQ(r.get_depth(), 0u);
  EXPECT_EQ(log(), "Warning in trel_xml_reader::pop_stack_entry() - popped tag "
                   "'single_popup_window' did not match expected tag 'single_popup_window "
                   "id=\"3\"'.\n");
}

TEST_F(xml_reader_test, a_closing_tag_with_nothing_open_is_reported_and_ignored) {
  trel_xml_file_reader &r = reader_on("</x><a>1</a>");
  char tag[16];
  EXPECT_EQ(r.read_tag(tag, sizeof tag), 0);
  EXPECT_EQ(log(), "Warning in trel_xml_reader::pop_stack_entry() - closing tag 'x' found with no "
                   "open tag.\n");
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1) << "the reader stays usable";
  EXPECT_STREQ(tag, "a");
}

TEST_F(xml_reader_test, a_closing_tag_without_slash_is_reported_and_closes) {
  trel_xml_file_reader &r = reader_on("<a>1<b>");
  char tag[16];
  char value[16];
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  ASSERT_EQ(r.read_data(value, sizeof value), 1);
  EXPECT_STREQ(value, "1");
  EXPECT_EQ(r.get_depth(), 0u);
  EXPECT_EQ(log(), "Warning in trel_xml_reader::pop_stack_entry() - got bad closing tag 'b'?\n"
                   "Warning in trel_xml_reader::pop_stack_entry() - popped tag 'b' did not match "
                   "expected tag 'a'.\n");
}

TEST_F(xml_reader_test, stray_brackets_are_reported) {
  char tag[16];
  char value[16];
  {
    trel_xml_file_reader &r = reader_on("<a<b>");
    const std::size_t mark = log_mark();
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    EXPECT_STREQ(tag, "a");
    EXPECT_EQ(log_since(mark),
              "Warning in trel_xml_reader::read_block(), got second open bracket?\n");
  }
  {
    trel_xml_file_reader &r = reader_on("<a>x>y</a>");
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    const std::size_t mark = log_mark();
    ASSERT_EQ(r.read_data(value, sizeof value), 1);
    EXPECT_STREQ(value, "x");
    EXPECT_EQ(
        log_count("Warning in trel_xml_reader::read_block(), got second closing bracket?\n", mark),
        1);
  }
}

TEST_F(xml_reader_test, a_file_ending_inside_a_block_is_reported) {
  const std::string eof_warning = "Warning in trel_xml_reader::read_block(), file corruption - got "
                                  "EOF before trailing bracket.\n";
  char tag[16];
  char value[16];
  {
    trel_xml_file_reader &r = reader_on("<abc");
    EXPECT_EQ(r.read_tag(tag, sizeof tag), 0);
    EXPECT_EQ(log_count(eof_warning), 1);
  }
  {
    trel_xml_file_reader &r = reader_on("<a>value");
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    EXPECT_EQ(r.read_data(value, sizeof value), 0);
    EXPECT_EQ(log_count(eof_warning), 2);
  }
  {
    // Only the closing tag is cut short: the value itself arrived whole.
    trel_xml_file_reader &r = reader_on("<a>value</a");
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    EXPECT_EQ(r.read_data(value, sizeof value), 1);
    EXPECT_STREQ(value, "value");
    EXPECT_EQ(r.get_depth(), 0u);
    EXPECT_EQ(log_count(eof_warning), 3);
  }
}

TEST_F(xml_reader_test, skip_data_passes_over_a_whole_element) {
  trel_xml_file_reader &r = reader_on("<root>\n"
                                      "  <unknown>\n"
                                      "    <x>1</x>\n"
                                      "    <!-- a note -->\n"
                                      "    <deeper><y>a</y><z></z></deeper>\n"
                                      "  </unknown>\n"
                                      "  <after>ok</after>\n"
                                      "</root>\n");
  char tag[16];
  char value[16];
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  EXPECT_STREQ(tag, "unknown");
  EXPECT_EQ(r.skip_data(), 1);
  EXPECT_STREQ(r.get_current_tag(), "root");
  ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
  EXPECT_STREQ(tag, "after");
  ASSERT_EQ(r.read_data(value, sizeof value), 1);
  EXPECT_STREQ(value, "ok");
  EXPECT_EQ(r.read_tag(tag, sizeof tag), 0);
  EXPECT_EQ(r.get_depth(), 0u);
  EXPECT_EQ(log(), "");
}

TEST_F(xml_reader_test, skip_data_on_damaged_elements) {
  struct skip_case {
    const char *input;
    int result;
    const char *message;  // "" when nothing is reported
    const char *next_tag; // the tag read after skipping, "" for none
  };
  const skip_case cases[] = {
      {"<s>a>b</s><n>1</n>", 1, "Warning in trel_xml_reader::skip_chunk(), got closing bracket?",
       "n"},
      {"<s><x></y></s><n>1</n>", 1,
       "Warning in trel_xml_reader::pop_stack_entry() - popped tag 'y' did not match expected tag "
       "'x'.",
       "n"},
      {"<s></other><n>1</n>", 1,
       "Warning in trel_xml_reader::pop_stack_entry() - popped tag 'other' did not match expected "
       "tag 's'.",
       "n"},
      {"<s><x>1</x>", 0, "Warning in trel_xml_reader::skip_data() - unable to read chunk?", ""},
      {"<s><x\ty>1</x\ty></s>", 0,
       "Warning in trel_xml_reader::skip_data() - unable to read block?", ""},
  };
  for (const skip_case &c : cases) {
    trel_xml_file_reader &r = reader_on(c.input);
    char tag[16];
    ASSERT_EQ(r.read_tag(tag, sizeof tag), 1);
    const std::size_t mark = log_mark();
    EXPECT_EQ(r.skip_data(), c.result) << c.input;
    EXPECT_EQ(log_since(mark), *c.message ? std::string(c.message) + "\n" : "") << c.input;
    if (*c.next_tag) {
      EXPECT_EQ(r.get_depth(), 0u) << c.input;
      ASSERT_EQ(r.read_tag(tag, sizeof tag), 1) << c.input;
      EXPECT_STREQ(tag, c.next_tag) << c.input;
    }
  }
}

TEST_F(xml_reader_test, a_tag_over_999_characters_is_cut_on_the_stack) {
  const std::string name(1500, 't');
  trel_xml_file_reader &r = reader_on("<" + name + ">v</" + name + ">");
  std::vector<char> tag(2000);
  char value[16];
  ASSERT_EQ(r.read_tag(tag.data(), static_cast<int>(tag.size())), 1);
  EXPECT_EQ(std::string(tag.data()), name) << "the caller gets the whole tag text";
  EXPECT_EQ(std::string(r.get_current_tag()), name.substr(0, 999));
  ASSERT_EQ(r.read_data(value, sizeof value), 1);
  EXPECT_EQ(r.get_depth(), 0u);
  // The closing tag is read into 1000 bytes: "/" and 998 characters of the name.
  EXPECT_EQ(log(), "Warning in trel_xml_reader::pop_stack_entry() - popped tag '" +
                       name.substr(0, 998) + "' did not match expected tag '" +
                       name.substr(0, 999) + "'.\n");
}

TEST_F(xml_reader_test, a_reader_on_a_null_stream_reports_and_reads_nothing) {
  trel_xml_file_reader r(nullptr);
  EXPECT_EQ(log(), "Error in trel_xml_file_reader::trel_xml_file_reader(), NULL file handle.\n");
  char tag[16];
  EXPECT_EQ(r.read_byte(), -1);
  EXPECT_EQ(r.read_tag(tag, sizeof tag), 0);
}

} // namespace
