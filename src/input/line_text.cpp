// Wide-to-single-byte conversion of the input line's text.
#include "input/line_text.h"

std::string trel_single_byte_text(const wchar_t *text, std::size_t count, std::size_t limit) {
  std::string result;
  if (!text)
    return result;
  const std::size_t used = count < limit ? count : limit;
  result.reserve(used);
  for (std::size_t i = 0; i < used; i++) {
    // wchar_t is signed on some targets: compare as an unsigned code.
    const unsigned long code = static_cast<unsigned long>(text[i]);
    // A NUL would end the line early for every C-string reader downstream.
    result.push_back(code >= 1 && code <= 255 ? static_cast<char>(code) : '?');
  }
  return result;
}
