// Standard base64 (RFC 4648 alphabet, "=" padding) appended to a bounded text.
#pragma once
#include "support/text_utils.h"

// Appends the encoding of length bytes; 1 while text still has room (fewer
// than 5999 characters), 0 once it is full (the rest of the encoding is dropped).
int trel_base64_append(const unsigned char *bytes, int length, trel_bounded_text *text);
// The same for the bytes of a zero-terminated text.
int trel_base64_append_text(const char *source, trel_bounded_text *text);
