// The single-byte conversion table and the TAB expansion of appended text.
#include "text/text_conversion.h"

#include <cstring>

#include "text/byte_scan.h"

namespace {

// Rows 0x80 to 0xFF, sixteen to a row.
const char high_bytes[129] = "E 'f\"-tt^%S<O Z "  // 8x
                             " ''\"\"*--~ s>o zY" // 9x
                             " !cLoY|S-Ca<!-R-"   // Ax
                             "ox23'uP..1o>   ?"   // Bx
                             "AAAAAAACEEEEIIII"   // Cx
                             "DNOOOOOxOUUUUYPS"   // Dx
                             "aaaaaaaceeeeiiii"   // Ex
                             "onooooo/ouuuuypy";  // Fx
static_assert(sizeof high_bytes == 129, "one replacement for each byte from 128 to 255");

enum byte_class : unsigned char { copy_byte = 0, high_byte, tab_byte, line_byte, dropped_byte };

struct class_table {
  unsigned char of[256];
  class_table() {
    for (int i = 0; i < 256; i++)
      of[i] = i >= 128 ? high_byte : copy_byte;
    of[0] = dropped_byte;
    of[int('\t')] = tab_byte;
    of[int('\n')] = line_byte;
    of[int('\r')] = line_byte;
  }
};

const class_table classes;

} // namespace

char trel_textctrl_convert_byte(unsigned char byte) {
  return byte >= 128 ? high_bytes[byte - 128] : char(byte);
}

int trel_textctrl_convert(const unsigned char *input, int length, char *output, int output_size,
                          int64_t *column) {
  if (!input || length <= 0 || !output || output_size < 0 || !column)
    return 0;
  int written = 0;
  int64_t col = *column;
  int i = 0;
  while (i < length) {
    // Most text is plain: copy the whole stretch in one go.
    int start = i;
    for (;;) {
      i += int(trel_printable_prefix(input + i, size_t(length - i)));
      if (i < length && classes.of[input[i]] == copy_byte)
        i++; // another control byte that passes unchanged
      else
        break;
    }
    if (i > start) {
      int count = i - start;
      int room = output_size - written;
      int take = count < room ? count : room;
      std::memcpy(output + written, input + start, size_t(take));
      written += take;
      col += count;
      continue;
    }
    unsigned char byte = input[i++];
    switch (classes.of[byte]) {
    case high_byte:
      if (written < output_size)
        output[written++] = high_bytes[byte - 128];
      col++;
      break;
    case tab_byte: {
      int spaces = 8 - int(col % 8);
      for (int s = 0; s < spaces && written < output_size; s++)
        output[written++] = ' ';
      col += spaces;
      break;
    }
    case line_byte:
      if (written < output_size)
        output[written++] = char(byte);
      col = 0;
      break;
    default: // NUL
      break;
    }
  }
  *column = col;
  return written;
}
