// The streaming XML writer of the configuration files: indented elements with
// escaped text, on any output that can take raw text.
#pragma once
#include <cstdio>

#include "config/xml_tag_stack.h"

// Writes the XML subset that trel_xml_reader reads back. The output itself is
// supplied by a derived class through write_raw.
class trel_xml_writer {
public:
  trel_xml_writer() = default;
  trel_xml_writer(const trel_xml_writer &) = delete;
  trel_xml_writer &operator=(const trel_xml_writer &) = delete;

  // Outputs text unchanged; returns the number of characters written, or a
  // negative number when the output failed.
  virtual int write_raw(const char *text) = 0;
  virtual ~trel_xml_writer() = default;

  // Writes the declaration line; returns write_raw's result (0 or less is a failure).
  int write_header();
  // Opens an element named name, indented by its depth. attributes, when not
  // null, follows the name after one blank, unescaped. With line_break set the
  // opening tag ends its line (a container); otherwise a value follows on the
  // same line.
  void write_tag(const char *name, int line_break, const char *attributes = nullptr);
  // Writes text with "<", ">" and "&" replaced by their entities.
  void write_string(const char *text);
  // Closes the innermost open element. expected, when given, is only checked
  // against it; indent puts the closing tag at the element's indentation.
  void end_tag(const char *expected, int indent);
  void write_newline();

  // Number of elements open.
  int get_depth() const { return depth; }

private:
  void write_indent(int levels);

  int depth = 0;
  trel_xml_tag_stack stack;
};

// A writer onto a C stream that the caller opens and closes.
class trel_xml_file_writer : public trel_xml_writer {
public:
  explicit trel_xml_file_writer(FILE *file_handle);
  // Prints text to the stream; a writer built on a null stream writes nothing
  // and returns -1.
  int write_raw(const char *text) override;

private:
  FILE *file_handle;
};

// One element holding a value: <key>value</key> on a line of its own.
void trel_xml_write_value(trel_xml_writer &writer, const char *key, const char *value);
void trel_xml_write_value(trel_xml_writer &writer, const char *key, int value);
