// Line, word and bounded-text helpers shared by the command and configuration parsers.
#pragma once
#include <cstdio>

// The size of the system's composed-text buffers: 5999 characters and a terminator.
constexpr int TREL_TEXT_SIZE = 6000;

// Reads one line (CR dropped; ends at LF, NUL or end of input). Returns 0 at
// end of input, else the number of characters stored plus 1.
int fget_line(FILE *stream, char *buffer, int size);
// Start of the second word of text, or nullptr when there is none.
const char *next_arg(const char *text);
char *next_arg(char *text);
// 1 and the value when text starts with a decimal number, else 0.
int parse_number(const char *text, long *out);
// 1 when the first words of a and b are equal, ignoring the case of A to Z.
int word_equal(const char *a, const char *b);
// 1 when word equals any word of the list.
int word_in_list(const char *word, const char *list);
// Length of the typed first word when it prefixes name's first word, else 0.
int word_prefix(const char *typed, const char *name);
// Like word_prefix, but a typed word shorter than minimum must be the whole name.
int word_abbrev(const char *typed, const char *name, int minimum);
// Bounded copy; returns 1 when the whole source fit, 0 otherwise (reported).
int safe_strcpy(char *destination, const char *source, int size);

// A 6000-byte text with its length; appends past 5999 characters are dropped.
struct trel_bounded_text {
  char text[TREL_TEXT_SIZE] = {0};
  int length = 0;

  // Appends as much of s as fits; returns 1 when all of it fit.
  int append(const char *s);
  int append(const char *s, int count);
  // printf-style append, cut silently at the end of the buffer.
  int appendf(const char *format, ...) __attribute__((format(printf, 2, 3)));
  void clear() {
    text[0] = 0;
    length = 0;
  }
  bool full() const { return length >= TREL_TEXT_SIZE - 1; }
};
