// The streaming XML writer: indentation, escaping and the tag stack.
#include "config/xml_writer.h"

#include <cstdio>
#include <string>

#include "support/debug_log.h"

namespace {

// Normal-class reports of the configuration files' XML code.
constexpr int xml_report_category = 4;
constexpr int xml_report_source = 9;

void report(const char *message) {
  trel_report(message, xml_report_category, xml_report_source);
}

// Appends text to out with the three characters the reader decodes escaped.
void append_escaped(std::string &out, const char *text) {
  for (const char *p = text; *p; p++) {
    switch (*p) {
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '&':
      out += "&amp;";
      break;
    default:
      out += *p;
    }
  }
}

} // namespace

int trel_xml_writer::write_header() {
  return write_raw("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n");
}

void trel_xml_writer::write_indent(int levels) {
  if (levels <= 0)
    return;
  std::string spaces(static_cast<std::size_t>(levels) * 2, ' ');
  write_raw(spaces.c_str());
}

void trel_xml_writer::write_tag(const char *name, int line_break, const char *attributes) {
  if (!name) {
    report("Error in trel_xml_writer::write_tag(), NULL tag.\n");
    return;
  }
  stack.push(name);
  write_indent(depth);
  std::string text = "<";
  append_escaped(text, name);
  if (attributes) {
    text += ' ';
    text += attributes;
  }
  text += line_break ? ">\n" : ">";
  write_raw(text.c_str());
  depth++;
}

void trel_xml_writer::write_string(const char *text) {
  if (!text) {
    report("Error in trel_xml_writer::write_string(), NULL data.\n");
    return;
  }
  std::string escaped;
  append_escaped(escaped, text);
  write_raw(escaped.c_str());
}

void trel_xml_writer::end_tag(const char *expected, int indent) {
  // The depth never goes below zero, so that a stray end_tag does not take the
  // indentation of every later element with it.
  if (depth > 0)
    depth--;
  if (indent && depth >= 1)
    write_indent(depth);
  std::string text = "</";
  std::string name;
  if (!stack.pop(name)) {
    report("Error in trel_xml_writer::end_tag(), tag stack empty.\n");
    text += "_BOGUS_ENDING_TAG_";
  } else {
    if (expected && name != expected)
      report("Warning in trel_xml_writer::end_tag(), tried to close wrong tag.\n");
    append_escaped(text, name.c_str());
  }
  text += ">\n";
  write_raw(text.c_str());
}

void trel_xml_writer::write_newline() {
  write_raw("\n");
}

trel_xml_file_writer::trel_xml_file_writer(FILE *file_handle) : file_handle(file_handle) {
  if (!file_handle)
    report("Error in trel_xml_file_writer::trel_xml_file_writer(), NULL file handle.\n");
}

int trel_xml_file_writer::write_raw(const char *text) {
  if (!file_handle || !text)
    return -1;
  return fprintf(file_handle, "%s", text);
}

void trel_xml_write_value(trel_xml_writer &writer, const char *key, const char *value) {
  writer.write_tag(key, 0);
  writer.write_string(value);
  writer.end_tag(nullptr, 0);
}

void trel_xml_write_value(trel_xml_writer &writer, const char *key, int value) {
  char text[16];
  snprintf(text, sizeof text, "%d", value);
  trel_xml_write_value(writer, key, text);
}
