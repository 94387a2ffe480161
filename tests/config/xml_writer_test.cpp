// Tests of trel_xml_writer: the layout of the configuration files, escaping,
// the tag stack deciding closing names, and misuse that must not derail output.
#include <cstring>
#include <functional>

#include "config/xml_test_support.h"

namespace {

class xml_writer_test : public xml_test {
protected:
  // Runs body on a file writer and returns what reached the file.
  std::string write_with(const std::function<void(trel_xml_writer &)> &body) {
    FILE *f = open_file("out.xml", "wb");
    if (!f)
      return std::string();
    {
      trel_xml_file_writer writer(f);
      body(writer);
    }
    fflush(f);
    return read_text("out.xml");
  }
};

TEST_F(xml_writer_test, writes_containers_and_values_in_the_configuration_layout) {
  int header_result = 0;
  const std::string text = write_with([&](trel_xml_writer &w) {
    header_result = w.write_header();
    w.write_tag("system_config_list", 1);
    w.write_tag("uuid", 0);
    w.write_string("0123abcd");
    w.end_tag("uuid", 0);
    w.write_tag("single_config", 1);
    w.write_tag("name", 0);
    w.write_string("Bob & <Co>");
    w.end_tag(nullptr, 0);
    w.write_tag("single_popup_window", 1, "id=\"3\" a<b");
    w.write_tag("x", 0);
    w.write_string("-12");
    w.end_tag(nullptr, 0);
    w.end_tag("single_popup_window", 1);
    w.end_tag(nullptr, 1);
    w.end_tag("system_config_list", 1);
    w.write_newline();
  });
  const char *declaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
  EXPECT_EQ(header_result, static_cast<int>(strlen(declaration)));
  EXPECT_EQ(text, std::string(declaration) + "<system_config_list>\n"
                                             "  <uuid>0123abcd</uuid>\n"
                                             "  <single_config>\n"
                                             "    <name>Bob &amp; &lt;Co&gt;</name>\n"
                                             "    <single_popup_window id=\"3\" a<b>\n"
                                             "      <x>-12</x>\n"
                                             "    </single_popup_window>\n"
                                             "  </single_config>\n"
                                             "</system_config_list>\n"
                                             "\n");
  EXPECT_EQ(log(), "") << "a well-formed write reports nothing";
}

TEST_F(xml_writer_test, escapes_exactly_the_three_entity_characters) {
  struct escape_case {
    const char *text;
    const char *written;
  };
  const escape_case cases[] = {
      {"a<b&c", "a&lt;b&amp;c"},
      {"x > y", "x &gt; y"},
      {"&amp;", "&amp;amp;"},
      {"<<>>", "&lt;&lt;&gt;&gt;"},
      {"tab\tnewline\nhigh\x80\xff", "tab\tnewline\nhigh\x80\xff"},
      {"\"quotes' stay;", "\"quotes' stay;"},
      {"", ""},
  };
  for (const escape_case &c : cases) {
    EXPECT_EQ(write_with([&](trel_xml_writer &w) { w.write_string(c.text); }), c.written)
        << "writing \"" << c.text << "\"";
  }
}

TEST_F(xml_writer_test, escapes_element_names_but_not_attribute_text) {
  const std::string text = write_with([](trel_xml_writer &w) {
    w.write_tag("a&b", 0, "k=\"<&>\"");
    w.end_tag(nullptr, 0);
  });
  EXPECT_EQ(text, "<a&amp;b k=\"<&>\"></a&amp;b>\n");
}

TEST_F(xml_writer_test, end_tag_with_nothing_open_writes_a_bogus_tag_and_keeps_indentation_sane) {
  const std::string text = write_with([](trel_xml_writer &w) {
    w.end_tag(nullptr, 1);
    EXPECT_EQ(w.get_depth(), 0);
    w.write_tag("a", 1);
    w.write_tag("b", 0);
    w.end_tag(nullptr, 0);
    w.end_tag(nullptr, 1);
  });
  EXPECT_EQ(text, "</_BOGUS_ENDING_TAG_>\n"
                  "<a>\n"
                  "  <b></b>\n"
                  "</a>\n");
  EXPECT_EQ(log_count("Error in trel_xml_writer::end_tag(), tag stack empty.\n"), 1);
}

TEST_F(xml_writer_test, the_stack_decides_the_closing_name_even_when_the_caller_expects_another) {
  const std::string text = write_with([](trel_xml_writer &w) {
    w.write_tag("outer", 1);
    w.write_tag("inner", 0);
    w.end_tag("outer", 0);
    w.end_tag("outer", 1);
  });
  EXPECT_EQ(text, "<outer>\n  <inner></inner>\n</outer>\n");
  EXPECT_EQ(log_count("Warning in trel_xml_writer::end_tag(), tried to close wrong tag.\n"), 1);
}

TEST_F(xml_writer_test, null_name_and_null_text_are_reported_and_write_nothing) {
  int depth_after = -1;
  const std::string text = write_with([&](trel_xml_writer &w) {
    w.write_tag(nullptr, 1);
    w.write_string(nullptr);
    depth_after = w.get_depth();
  });
  EXPECT_EQ(text, "");
  EXPECT_EQ(depth_after, 0);
  EXPECT_EQ(log_count("Error in trel_xml_writer::write_tag(), NULL tag.\n"), 1);
  EXPECT_EQ(log_count("Error in trel_xml_writer::write_string(), NULL data.\n"), 1);
}

TEST_F(xml_writer_test, a_name_over_999_characters_is_written_whole_but_closed_as_cut) {
  const std::string name(1500, 'n');
  const std::string text = write_with([&](trel_xml_writer &w) {
    w.write_tag(name.c_str(), 0);
    w.end_tag(nullptr, 0);
  });
  EXPECT_EQ(text, "<" + name + "></" + name.substr(0, 999) + ">\n");
}

TEST_F(xml_writer_test, a_writer_on_a_null_stream_reports_and_fails_without_crashing) {
  trel_xml_file_writer writer(nullptr);
  EXPECT_EQ(log_count("Error in trel_xml_file_writer::trel_xml_file_writer(), NULL file handle.\n"),
            1);
  EXPECT_LT(writer.write_header(), 1) << "callers treat a header result below 1 as failure";
  writer.write_tag("a", 1);
  writer.write_string("x");
  writer.end_tag(nullptr, 1);
  writer.write_newline();
  EXPECT_EQ(writer.get_depth(), 0);
}

} // namespace
