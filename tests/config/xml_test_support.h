// Shared pieces of the XML reader and writer tests: a fixture with a fresh
// directory, real files and the debug log routed into that directory, and a
// loader that walks a document the way the configuration code does.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "config/xml_reader.h"
#include "config/xml_writer.h"
#include "support/debug_log.h"

// Each test gets its own directory and its own debug log file in it, so the
// messages a test provokes can be read back and counted.
class xml_test : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/quenmar_xml_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr) << "could not create a temporary directory";
    directory = pattern;
    if (trel_client_debug_logfile_is_open())
      trel_client_debug_logfile_close();
    debug_level = 1;
    trel_client_set_debug_logfile_name(path("debug.log").c_str());
  }

  void TearDown() override {
    close_reader();
    for (FILE *f : open_files)
      fclose(f);
    open_files.clear();
    if (trel_client_debug_logfile_is_open())
      trel_client_debug_logfile_close();
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
  }

  std::string path(const std::string &name) const { return directory + "/" + name; }

  void write_text(const std::string &name, const std::string &content) {
    std::ofstream out(path(name), std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    ASSERT_TRUE(out.good()) << "could not write " << name;
  }

  std::string read_text(const std::string &name) const {
    std::ifstream in(path(name), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }

  // A stream the fixture closes at the end of the test.
  FILE *open_file(const std::string &name, const char *mode) {
    FILE *f = fopen(path(name).c_str(), mode);
    EXPECT_NE(f, nullptr) << "could not open " << name;
    if (f)
      open_files.push_back(f);
    return f;
  }

  // Puts content in a file and returns a reader on it; the reader and its
  // stream last until the next call or the end of the test.
  trel_xml_file_reader &reader_on(const std::string &content) {
    close_reader();
    write_text("input.xml", content);
    reader_file = fopen(path("input.xml").c_str(), "rb");
    EXPECT_NE(reader_file, nullptr) << "could not open input.xml";
    reader = std::make_unique<trel_xml_file_reader>(reader_file);
    return *reader;
  }

  void close_reader() {
    reader.reset();
    if (reader_file)
      fclose(reader_file);
    reader_file = nullptr;
  }

  // Everything written to the debug log since the test began.
  std::string log() const { return read_text("debug.log"); }

  // A position in the debug log, and what was written after it.
  std::size_t log_mark() const { return log().size(); }
  std::string log_since(std::size_t mark) const {
    const std::string all = log();
    return mark < all.size() ? all.substr(mark) : std::string();
  }

  // How often text occurs in the debug log after mark.
  int log_count(const std::string &text, std::size_t mark = 0) const {
    const std::string all = log_since(mark);
    int count = 0;
    for (std::size_t at = all.find(text); at != std::string::npos;
         at = all.find(text, at + text.size()))
      count++;
    return count;
  }

  std::string directory;
  std::vector<FILE *> open_files;
  std::unique_ptr<trel_xml_file_reader> reader;
  FILE *reader_file = nullptr;
};

// An element as the loader below saw it.
struct xml_test_node {
  std::string tag;
  std::string value;
  int number = 0;
  std::vector<xml_test_node> children;

  bool operator==(const xml_test_node &o) const {
    return tag == o.tag && value == o.value && number == o.number && children == o.children;
  }
};

// Walks the children of the current element as the configuration loaders do:
// a tag starting with "list" is a container, "num" an integer value, "skip" an
// element of no interest, anything else a text value. Containers deeper than
// max_depth are skipped, as a careful caller would, so the walk itself never
// recurses without bound. Text values use a buffer of value_size bytes. Only
// values that were read are kept.
inline void xml_test_load_children(trel_xml_reader &reader, std::vector<xml_test_node> &out,
                                   int depth, int max_depth = 64, int value_size = 10000) {
  std::vector<char> tag(1000);
  std::vector<char> value(static_cast<std::size_t>(value_size));
  while (reader.read_tag(tag.data(), static_cast<int>(tag.size()))) {
    xml_test_node node;
    node.tag = tag.data();
    if (node.tag.rfind("list", 0) == 0 && depth < max_depth) {
      xml_test_load_children(reader, node.children, depth + 1, max_depth, value_size);
    } else if (node.tag.rfind("num", 0) == 0) {
      if (!reader.read_data(&node.number))
        continue;
    } else if (node.tag.rfind("skip", 0) == 0 || node.tag.rfind("list", 0) == 0) {
      reader.skip_data();
      continue;
    } else if (reader.read_data(value.data(), value_size)) {
      node.value = value.data();
    } else {
      continue;
    }
    out.push_back(std::move(node));
  }
}

// Writes nodes with the layout of the configuration files: containers (a
// "list" tag, or any node with children) on lines of their own, values on one
// line with their tags.
inline void xml_test_write_nodes(trel_xml_writer &writer, const std::vector<xml_test_node> &nodes) {
  for (const xml_test_node &n : nodes) {
    if (n.tag.rfind("list", 0) == 0 || !n.children.empty()) {
      writer.write_tag(n.tag.c_str(), 1);
      xml_test_write_nodes(writer, n.children);
      writer.end_tag(nullptr, 1);
    } else if (n.tag.rfind("num", 0) == 0) {
      writer.write_tag(n.tag.c_str(), 0);
      writer.write_string(std::to_string(n.number).c_str());
      writer.end_tag(nullptr, 0);
    } else {
      writer.write_tag(n.tag.c_str(), 0);
      writer.write_string(n.value.c_str());
      writer.end_tag(nullptr, 0);
    }
  }
}
