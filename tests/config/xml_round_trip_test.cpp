// Write-then-read tests: what trel_xml_writer puts in a file, trel_xml_reader
// gives back, including every entity, values at the buffer limits and unknown
// elements that a loader skips.
#include <climits>

#include "config/xml_test_support.h"
#include "support/text_utils.h"

namespace {

class xml_round_trip_test : public xml_test {
protected:
  // Writes the declaration and nodes to "round.xml".
  void write_document(const std::vector<xml_test_node> &nodes) {
    FILE *f = fopen(path("round.xml").c_str(), "wb");
    ASSERT_NE(f, nullptr) << "could not create round.xml";
    {
      trel_xml_file_writer writer(f);
      EXPECT_GT(writer.write_header(), 0);
      xml_test_write_nodes(writer, nodes);
    }
    ASSERT_EQ(fclose(f), 0);
  }

  // Reads "round.xml" back as the configuration loaders do: the declaration
  // line first, then the top-level elements.
  std::vector<xml_test_node> read_document(int value_size = 10000) {
    std::vector<xml_test_node> nodes;
    FILE *f = open_file("round.xml", "rb");
    if (!f)
      return nodes;
    char line[10000];
    EXPECT_GT(fget_line(f, line, sizeof line), 0);
    trel_xml_file_reader reader(f);
    EXPECT_EQ(reader.check_xml_header_string(line), 1) << line;
    xml_test_load_children(reader, nodes, 0, 64, value_size);
    EXPECT_EQ(reader.get_depth(), 0u) << "every element was closed";
    return nodes;
  }

  static xml_test_node value(const std::string &tag, const std::string &text) {
    xml_test_node n;
    n.tag = tag;
    n.value = text;
    return n;
  }
  static xml_test_node number(const std::string &tag, int v) {
    xml_test_node n;
    n.tag = tag;
    n.number = v;
    return n;
  }
  static xml_test_node list(const std::string &tag, std::vector<xml_test_node> children) {
    xml_test_node n;
    n.tag = tag;
    n.children = std::move(children);
    return n;
  }
};

std::string all_printable_ascii() {
  std::string s;
  for (int c = 32; c <= 126; c++)
    s += static_cast<char>(c);
  return s;
}

TEST_F(xml_round_trip_test, nested_elements_with_every_entity_come_back_unchanged) {
  const std::vector<xml_test_node> document = {
      list("list_config",
           {value("name", "Bob"), value("entities", "a<b&c > &lt; &amp;amp; &&"),
            value("printable", all_printable_ascii()), value("empty", ""), number("num_zero", 0),
            number("num_negative", -17), number("num_max", INT_MAX), number("num_min", INT_MIN),
            list("list_popup", {value("title", "<Who> & <What>"), number("num_x", 120)}),
            list("list_empty", {}), value("tag&name>odd", "escaped names round-trip too")})};
  write_document(document);
  EXPECT_EQ(read_document(), document);
  EXPECT_EQ(log(), "");
}

TEST_F(xml_round_trip_test, values_at_the_buffer_limit) {
  const std::string full(9999, 'v');
  std::string escaped_full(9994, 'e');
  escaped_full += "&"; // five bytes on disk: 9999 raw characters in all
  write_document({value("fits", full), value("fits_escaped", escaped_full),
                  value("over", full + "w"), value("far_over", std::string(50000, 'f')),
                  number("num_after", 5)});
  const std::vector<xml_test_node> read = read_document();
  ASSERT_EQ(read.size(), 5u);
  EXPECT_EQ(read[0].value, full);
  EXPECT_EQ(read[1].value, escaped_full);
  EXPECT_EQ(read[2].value, full) << "a value one over the limit loses its last character";
  EXPECT_EQ(read[3].value, std::string(9999, 'f'));
  EXPECT_EQ(read[4].number, 5) << "the cut values did not throw the reader off";
  EXPECT_EQ(log(), "");
}

TEST_F(xml_round_trip_test, long_names_always_close_and_only_overlong_ones_draw_a_warning) {
  // The reader takes a value's closing tag into 1000 bytes: "/" and up to 998
  // characters of the name, so a 998-character name is the longest that closes
  // without a warning. Longer names still close the element they opened.
  const std::string longest_clean(998, 'k');
  write_document({value(longest_clean, "clean"), value(longest_clean + "9", "warned"),
                  value(longest_clean + "99", "cut"), number("num_after", 9)});
  const std::vector<xml_test_node> read = read_document();
  ASSERT_EQ(read.size(), 4u);
  EXPECT_EQ(read[0].tag, longest_clean);
  EXPECT_EQ(read[0].value, "clean");
  EXPECT_EQ(read[1].tag, longest_clean + "9");
  EXPECT_EQ(read[1].value, "warned");
  EXPECT_EQ(read[2].tag, longest_clean + "9") << "the loader's 1000-byte tag buffer cuts the name";
  EXPECT_EQ(read[2].value, "cut");
  EXPECT_EQ(read[3].number, 9) << "the elements after them are read in place";
  EXPECT_EQ(log_count("did not match expected tag"), 2);
}

TEST_F(xml_round_trip_test, unknown_elements_are_skipped_and_the_rest_is_read) {
  const xml_test_node unknown_tree =
      list("list_skip_me_inside", {value("deep", "x"), list("list_deeper", {number("num_y", 1)})});
  const std::vector<xml_test_node> written = {
      list("list_config",
           {value("before", "1"), value("skip_value", "ignored <&>"),
            list("skip_container", {unknown_tree, value("more", "text")}), value("between", "2"),
            list("skip_empty", {}), list("list_kept", {list("skip_x", {}), value("inside", "3")}),
            value("after", "4")})};
  const std::vector<xml_test_node> expected = {
      list("list_config", {value("before", "1"), value("between", "2"),
                           list("list_kept", {value("inside", "3")}), value("after", "4")})};
  write_document(written);
  EXPECT_EQ(read_document(), expected);
  EXPECT_EQ(log(), "");
}

} // namespace
