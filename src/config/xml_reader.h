// The streaming XML reader of the configuration files: it walks the input tag
// by tag with a stack of open elements and decodes the three entities.
#pragma once
#include <cstdio>
#include <string>

#include "config/xml_tag_stack.h"

// Reads the XML subset that trel_xml_writer produces: nested elements, values
// on one line of printable ASCII with "&lt;", "&gt;" and "&amp;". There is no
// document tree; the caller loops over tags and reads or skips each one. The
// input comes from a derived class through read_byte. Every operation returns
// 1 on success and 0 otherwise, reports problems and leaves the reader usable.
class trel_xml_reader {
public:
  trel_xml_reader() = default;
  trel_xml_reader(const trel_xml_reader &) = delete;
  trel_xml_reader &operator=(const trel_xml_reader &) = delete;

  // The next input byte (0 to 255), or -1 at the end of input.
  virtual int read_byte() = 0;
  virtual ~trel_xml_reader() = default;

  // Validates the declaration line (read by the caller, before any tag): an
  // "<?xml" word followed by both a version and an encoding attribute.
  int check_xml_header_string(const char *line);
  // Finds the next tag. An opening tag is copied into dest, becomes the
  // innermost open element and gives 1. A closing tag closes the innermost
  // element and gives 0, as do the end of input and a refused tag, so a loop
  // "while (read_tag(...))" walks the children of the current element.
  int read_tag(char *dest, int capacity);
  // Reads the value of the element just opened (cut to capacity - 1
  // characters) and consumes its closing tag. A value holding a byte outside
  // 32 to 126 is refused and its element stays open.
  int read_data(char *dest, int capacity);
  // The same for a decimal value; dest is left unchanged unless the value is a
  // number. Values beyond the range of int are clamped to it.
  int read_data(int *dest);
  // Skips the rest of the element just opened, nested elements included, up
  // to and including its closing tag. Returns 1 when that closing tag was found.
  int skip_data();

  // Number of open elements, and the innermost one's text (nullptr when none).
  std::size_t get_depth() const { return stack.size(); }
  const char *get_current_tag() const { return stack.top(); }

private:
  int read_block(char *dest, int capacity, int expect_closing);
  void compact_string(char *text);
  void pop_stack_entry(const char *closing_tag);
  int skip_chunk();

  trel_xml_tag_stack stack;
};

// A reader on a C stream that the caller opens and closes.
class trel_xml_file_reader : public trel_xml_reader {
public:
  explicit trel_xml_file_reader(FILE *file_handle);
  // One byte of the stream; a reader built on a null stream is always at its end.
  int read_byte() override;

private:
  FILE *file_handle;
};
