// The streaming XML reader: blocks between brackets, entities, the tag stack,
// skipping of unknown elements and the declaration line check.
#include "config/xml_reader.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "support/debug_log.h"

namespace {

// Normal-class reports of the configuration files' XML code.
constexpr int xml_report_category = 4;
constexpr int xml_report_source = 9;

// Sizes of the reader's own buffers for closing tags, skipped tags and numbers.
constexpr int closing_tag_size = 1000;
constexpr int number_size = 100;

void report(const char *message) {
  trel_report(message, xml_report_category, xml_report_source);
}

void report(const std::string &message) {
  report(message.c_str());
}

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

bool is_line_end(char c) {
  return c == 0 || c == '\n' || c == '\r';
}

const char *skip_blanks(const char *p) {
  while (is_blank(*p))
    p++;
  return p;
}

// Parses one attribute of the declaration: name, optional blanks, "=", optional
// blanks and a double-quoted value. Returns the position after the value and
// its trailing blanks, or nullptr after reporting what was missing.
const char *parse_header_attribute(const char *p, const char *name) {
  const std::string prefix =
      std::string("Warning in trel_xml_reader::check_xml_header_string(), '") + name +
      "' tag found, but no ";
  p = skip_blanks(p + strlen(name));
  if (*p != '=') {
    report(prefix + name + ".");
    return nullptr;
  }
  p = skip_blanks(p + 1);
  if (*p != '"') {
    report(prefix + "opening " + name + " quote.");
    return nullptr;
  }
  p++;
  while (!is_line_end(*p) && *p != '"')
    p++;
  if (*p != '"') {
    report(prefix + "closing " + name + " quote.");
    return nullptr;
  }
  return skip_blanks(p + 1);
}

// The first word of line compared with "<?xml", letters without regard to case.
bool starts_with_xml_word(const char *line) {
  const char *word = "<?xml";
  const char *p = line;
  for (; *word; word++, p++) {
    char c = *p;
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != *word)
      return false;
  }
  return is_line_end(*p) || is_blank(*p);
}

// The start of the second word of line, or nullptr when there is none.
const char *second_word(const char *line) {
  const char *p = line;
  while (!is_line_end(*p) && !is_blank(*p))
    p++;
  while (is_blank(*p) || *p == '\n' || *p == '\r')
    p++;
  return *p ? p : nullptr;
}

} // namespace

int trel_xml_reader::check_xml_header_string(const char *line) {
  static const char *const where = "Warning in trel_xml_reader::check_xml_header_string(), ";
  if (!line || !starts_with_xml_word(line)) {
    report(std::string(where) + "missing opening '<?xml' tag.");
    return 0;
  }
  const char *p = second_word(line);
  if (!p) {
    report(std::string(where) + "didn't get either version or encoding.");
    return 0;
  }
  bool got_version = false;
  bool got_encoding = false;
  while (!is_line_end(*p) && !(p[0] == '?' && p[1] == '>')) {
    if (strncmp(p, "version", 7) == 0) {
      p = parse_header_attribute(p, "version");
      got_version = true;
    } else if (strncmp(p, "encoding", 8) == 0) {
      p = parse_header_attribute(p, "encoding");
      got_encoding = true;
    } else {
      report(std::string(where) + "unknown tag found.");
      return 0;
    }
    if (!p)
      return 0;
  }
  if (got_version && got_encoding)
    return 1;
  if (got_version)
    report(std::string(where) + "didn't get encoding.");
  else if (got_encoding)
    report(std::string(where) + "didn't get version.");
  else
    report(std::string(where) + "didn't get either version or encoding.");
  return 0;
}

int trel_xml_reader::read_block(char *dest, int capacity, int expect_closing) {
  if (!dest) {
    report("Error in trel_xml_reader::read_block(), NULL dest?");
    return 0;
  }
  if (capacity <= 0) {
    report("Error in trel_xml_reader::read_block(), dest is too small?");
    return 0;
  }
  int stored = 0;
  int unprintable = 0;
  int c;
  for (;;) {
    c = read_byte();
    if (c < 0) {
      report("Warning in trel_xml_reader::read_block(), file corruption - got EOF before "
             "trailing bracket.");
      dest[stored] = 0;
      return 0;
    }
    if (c == '<' || c == '>')
      break;
    // Bytes past the destination are read and dropped, so an overlong value is
    // cut without losing the reader's place in the file.
    if (stored < capacity - 1) {
      dest[stored++] = static_cast<char>(c);
      if (c < 32 || c > 126)
        unprintable++;
    }
  }
  if (expect_closing && c == '<')
    report("Warning in trel_xml_reader::read_block(), got second open bracket?");
  else if (!expect_closing && c == '>')
    report("Warning in trel_xml_reader::read_block(), got second closing bracket?");
  dest[stored] = 0;
  if (unprintable)
    return 0;
  compact_string(dest);
  return 1;
}

void trel_xml_reader::compact_string(char *text) {
  static const struct {
    const char *entity;
    std::size_t length;
    char character;
  } entities[] = {{"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&amp;", 5, '&'}};

  // Decoding only ever shortens the text, so it is done in place.
  char *out = text;
  const char *in = text;
  while (*in) {
    if (*in == '&') {
      bool decoded = false;
      for (const auto &e : entities) {
        if (strncmp(in, e.entity, e.length) == 0) {
          *out++ = e.character;
          in += e.length;
          decoded = true;
          break;
        }
      }
      if (decoded)
        continue;
      report("Warning in trel_xml_reader::compact_string(), unknown '&' conversion found?");
    }
    *out++ = *in++;
  }
  *out = 0;
}

void trel_xml_reader::pop_stack_entry(const char *closing_tag) {
  const char *name = closing_tag;
  if (closing_tag[0] == '/')
    name = closing_tag + 1;
  else
    report(std::string("Warning in trel_xml_reader::pop_stack_entry() - got bad closing tag '") +
           closing_tag + "'?");
  std::string expected;
  if (!stack.pop(expected)) {
    // Nothing is open: the stray closing tag is reported and otherwise ignored.
    report(std::string("Warning in trel_xml_reader::pop_stack_entry() - closing tag '") + name +
           "' found with no open tag.");
    return;
  }
  if (expected != name)
    report(std::string("Warning in trel_xml_reader::pop_stack_entry() - popped tag '") + name +
           "' did not match expected tag '" + expected + "'.");
}

int trel_xml_reader::read_tag(char *dest, int capacity) {
  if (!dest) {
    report("Error in trel_xml_reader::read_tag(), NULL dest?");
    return 0;
  }
  if (capacity <= 0) {
    report("Error in trel_xml_reader::read_tag(), dest is too small?");
    return 0;
  }
  int c;
  do {
    c = read_byte();
    if (c < 0)
      return 0;
  } while (c != '<');
  if (!read_block(dest, capacity, 1))
    return 0;
  if (dest[0] == '/') {
    pop_stack_entry(dest);
    return 0;
  }
  stack.push(dest);
  return 1;
}

int trel_xml_reader::read_data(char *dest, int capacity) {
  if (!dest) {
    report("Error in trel_xml_reader::read_data(char[]), NULL dest?");
    return 0;
  }
  if (capacity <= 0) {
    report("Error in trel_xml_reader::read_data(char[]), dest is too small?");
    return 0;
  }
  if (!read_block(dest, capacity, 0))
    return 0;
  char closing[closing_tag_size];
  read_block(closing, closing_tag_size, 1);
  pop_stack_entry(closing);
  return 1;
}

int trel_xml_reader::read_data(int *dest) {
  if (!dest) {
    report("Error in trel_xml_reader::read_data(int), NULL dest?");
    return 0;
  }
  char value[number_size];
  if (!read_block(value, number_size, 0))
    return 0;
  const bool is_number =
      (value[0] >= '0' && value[0] <= '9') ||
      ((value[0] == '+' || value[0] == '-') && value[1] >= '0' && value[1] <= '9');
  if (is_number) {
    long number = strtol(value, nullptr, 10);
    // A value too large for an int is clamped rather than wrapped into some
    // unrelated number.
    if (number > INT_MAX)
      number = INT_MAX;
    else if (number < INT_MIN)
      number = INT_MIN;
    *dest = static_cast<int>(number);
  } else {
    report(std::string("Warning in trel_xml_reader::read_data(int) - got non-number'") + value +
           "'.");
  }
  char closing[number_size];
  read_block(closing, number_size, 1);
  pop_stack_entry(closing);
  return is_number ? 1 : 0;
}

int trel_xml_reader::skip_chunk() {
  for (;;) {
    int c = read_byte();
    if (c < 0)
      return 0;
    if (c == '<')
      return 1;
    if (c == '>')
      report("Warning in trel_xml_reader::skip_chunk(), got closing bracket?");
  }
}

int trel_xml_reader::skip_data() {
  if (stack.empty()) {
    report("Error in trel_xml_reader::skip_data() - you must read at least the opening tag "
           "before skipping data.");
    return 0;
  }
  // The element being skipped is the one at this depth; it is closed when a
  // pop takes the stack below it, whatever the closing tag's name.
  const std::size_t skipped_depth = stack.size();
  char block[closing_tag_size];
  while (skip_chunk()) {
    if (!read_block(block, closing_tag_size, 1)) {
      report("Warning in trel_xml_reader::skip_data() - unable to read block?");
      return 0;
    }
    if (block[0] == '!')
      continue;
    if (block[0] == '/') {
      pop_stack_entry(block);
      if (stack.size() < skipped_depth)
        return 1;
      continue;
    }
    stack.push(block);
  }
  report("Warning in trel_xml_reader::skip_data() - unable to read chunk?");
  return 0;
}

trel_xml_file_reader::trel_xml_file_reader(FILE *file_handle) : file_handle(file_handle) {
  if (!file_handle)
    report("Error in trel_xml_file_reader::trel_xml_file_reader(), NULL file handle.");
}

int trel_xml_file_reader::read_byte() {
  if (!file_handle)
    return -1;
  int c = fgetc(file_handle);
  return c == EOF ? -1 : c;
}
