// Line reading, word handling, bounded copies and the 6000-byte composed text.
#include "support/text_utils.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "support/debug_log.h"

namespace {

// Words are separated by blanks, tabs and line feeds only.
bool is_separator(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}
bool ends_word(char c) {
  return c == 0 || is_separator(c);
}

// Folds A to Z only; other bytes (such as "@" and "`") stay distinct.
char fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int first_word_length(const char *text) {
  int length = 0;
  while (!ends_word(text[length]))
    length++;
  return length;
}

// Word comparisons look at no more than this many characters.
constexpr int word_compare_limit = 400;

} // namespace

int fget_line(FILE *stream, char *buffer, int size) {
  if (!stream || !buffer || size <= 0)
    return 0;
  int stored = 0;
  bool read_any = false;
  for (;;) {
    int c = getc(stream);
    if (c == EOF) {
      if (!read_any)
        return 0;
      break;
    }
    read_any = true;
    if (c == '\r')
      continue;
    if (c == '\n' || c == 0)
      break;
    if (stored >= size - 1) {
      // This character is lost; the rest of the line is left for the next call.
      buffer[stored] = 0;
      trel_bounded_text message;
      message.append("Warning in fget_line(), string overflow.  String was:");
      message.append(buffer);
      trel_report(message.text, TREL_REPORT_WARNING, TREL_SOURCE_TEXT);
      return stored + 1;
    }
    buffer[stored++] = static_cast<char>(c);
  }
  buffer[stored] = 0;
  return stored + 1;
}

const char *next_arg(const char *text) {
  if (!text) {
    trel_report("Error in next_arg(), NULL pointer passed in.", TREL_REPORT_VERBOSE,
                TREL_SOURCE_TEXT);
    return nullptr;
  }
  while (is_separator(*text))
    text++;
  while (!ends_word(*text))
    text++;
  while (is_separator(*text))
    text++;
  return *text ? text : nullptr;
}

char *next_arg(char *text) {
  return const_cast<char *>(next_arg(static_cast<const char *>(text)));
}

int parse_number(const char *text, long *out) {
  if (!text || !out)
    return 0;
  bool digit_first = text[0] >= '0' && text[0] <= '9';
  bool signed_digit = (text[0] == '+' || text[0] == '-') && text[1] >= '0' && text[1] <= '9';
  if (!digit_first && !signed_digit)
    return 0;
  *out = strtol(text, nullptr, 10);
  return 1;
}

int word_equal(const char *a, const char *b) {
  if (!a || !b)
    return 0;
  for (int i = 0; i < word_compare_limit; i++) {
    bool a_ended = ends_word(a[i]);
    bool b_ended = ends_word(b[i]);
    if (a_ended || b_ended)
      return a_ended && b_ended;
    if (fold(a[i]) != fold(b[i]))
      return 0;
  }
  return 1;
}

int word_in_list(const char *word, const char *list) {
  if (!word || !list)
    return 0;
  const char *item = list;
  while (is_separator(*item))
    item++;
  while (item && *item) {
    if (word_equal(word, item))
      return 1;
    item = next_arg(item);
  }
  return 0;
}

int word_prefix(const char *typed, const char *name) {
  if (!typed || !name)
    return 0;
  int typed_length = first_word_length(typed);
  if (typed_length == 0 || typed_length > first_word_length(name))
    return 0;
  for (int i = 0; i < typed_length; i++) {
    if (fold(typed[i]) != fold(name[i]))
      return 0;
  }
  return typed_length;
}

int word_abbrev(const char *typed, const char *name, int minimum) {
  if (!typed || !name)
    return 0;
  int typed_length = first_word_length(typed);
  if (typed_length < minimum) {
    // Too short to abbreviate: only the whole word will do.
    if (typed_length > 0 && typed_length == first_word_length(name) && word_equal(typed, name))
      return typed_length;
    return 0;
  }
  return word_prefix(typed, name);
}

int safe_strcpy(char *destination, const char *source, int size) {
  if (!destination) {
    trel_report("Error in safe_strcpy(), NULL dest.", TREL_REPORT_ERROR, TREL_SOURCE_TEXT);
    return 0;
  }
  if (size <= 0) {
    trel_report("Error in safe_strcpy(), dest too short.", TREL_REPORT_ERROR, TREL_SOURCE_TEXT);
    return 0;
  }
  if (!source) {
    destination[0] = 0;
    trel_report("Error in safe_strcpy(), NULL src.", TREL_REPORT_ERROR, TREL_SOURCE_TEXT);
    return 0;
  }
  // Look no further than size characters: the source need not be short.
  size_t source_length = strnlen(source, static_cast<size_t>(size));
  if (source_length < static_cast<size_t>(size)) {
    memcpy(destination, source, source_length + 1);
    return 1;
  }
  memcpy(destination, source, static_cast<size_t>(size) - 1);
  destination[size - 1] = 0;
  trel_bounded_text message;
  message.append("Error in safe_strcpy(), src overflow. String was: ->");
  message.append(source);
  message.append("<-");
  trel_report(message.text, TREL_REPORT_ERROR, TREL_SOURCE_TEXT);
  return 0;
}

int trel_bounded_text::append(const char *s) {
  if (!s)
    return 1;
  // Counting stops past the largest room there can be; the rest cannot fit anyway.
  return append(s, static_cast<int>(strnlen(s, TREL_TEXT_SIZE)));
}

int trel_bounded_text::append(const char *s, int count) {
  if (!s || count <= 0)
    return 1;
  // A zero byte ends the text early, so that length always matches the text.
  const char *zero = static_cast<const char *>(memchr(s, 0, static_cast<size_t>(count)));
  if (zero)
    count = static_cast<int>(zero - s);
  int room = TREL_TEXT_SIZE - 1 - length;
  if (room < 0)
    room = 0;
  int taken = count < room ? count : room;
  memcpy(text + length, s, static_cast<size_t>(taken));
  length += taken;
  text[length] = 0;
  return taken == count;
}

int trel_bounded_text::appendf(const char *format, ...) {
  if (!format)
    return 1;
  // length never passes 5999, so there is always room for the terminator.
  int room = TREL_TEXT_SIZE - length;
  va_list arguments;
  va_start(arguments, format);
  int wanted = vsnprintf(text + length, static_cast<size_t>(room), format, arguments);
  va_end(arguments);
  if (wanted < 0) {
    text[length] = 0;
    return 0;
  }
  if (wanted >= room) {
    length = TREL_TEXT_SIZE - 1;
    return 0;
  }
  length += wanted;
  return 1;
}
