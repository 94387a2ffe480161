// The scrollback store's byte conversion: bytes 128 to 255 become a plain
// 7-bit look-alike, TABs become spaces up to the next stop of 8 columns, and
// the column count follows along for the next TAB.
#pragma once
#include <cstdint>

// The replacement of a byte from 128 to 255 (a space for those with no
// sensible look-alike); bytes below 128 are returned unchanged.
char trel_textctrl_convert_byte(unsigned char byte);

// Converts length bytes of input into output, writing at most output_size
// bytes; what would go beyond is dropped but still moves *column, which
// counts characters since the last line feed or carriage return. NUL bytes
// are dropped (they would end the text for any C-string reader). Returns the
// number of bytes written.
int trel_textctrl_convert(const unsigned char *input, int length, char *output, int output_size,
                          int64_t *column);
