// The input line's text as the rest of the client sees it: single-byte
// characters, one byte per character of the edit control, so that caret
// offsets in the control and in the byte text agree.
#pragma once
#include <cstddef>
#include <string>

// The most characters of a typed line that are sent (and remembered).
constexpr std::size_t TREL_INPUT_LINE_LIMIT = 4999;

// Converts count wide characters to single-byte text, one byte each: codes 1
// to 255 become that byte (Latin-1), anything else (NUL, codes above 255)
// becomes '?'. Stops after limit characters. Returns the new string.
std::string trel_single_byte_text(const wchar_t *text, std::size_t count,
                                  std::size_t limit = std::string::npos);
