// Base64 encoding into a bounded text (used for HTTP credentials).
#include "support/base64.h"

#include <cstring>

namespace {

const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

int trel_base64_append(const unsigned char *bytes, int length, trel_bounded_text *text) {
  if (!text)
    return 0;
  if (!bytes)
    length = 0;
  for (int i = 0; i < length && !text->full(); i += 3) {
    int left = length - i;
    unsigned int group = static_cast<unsigned int>(bytes[i]) << 16;
    if (left > 1)
      group |= static_cast<unsigned int>(bytes[i + 1]) << 8;
    if (left > 2)
      group |= bytes[i + 2];
    char quad[4];
    quad[0] = alphabet[(group >> 18) & 63];
    quad[1] = alphabet[(group >> 12) & 63];
    quad[2] = left > 1 ? alphabet[(group >> 6) & 63] : '=';
    quad[3] = left > 2 ? alphabet[group & 63] : '=';
    text->append(quad, 4);
  }
  return text->full() ? 0 : 1;
}

int trel_base64_append_text(const char *source, trel_bounded_text *text) {
  if (!source)
    return trel_base64_append(nullptr, 0, text);
  return trel_base64_append(reinterpret_cast<const unsigned char *>(source),
                            static_cast<int>(strlen(source)), text);
}
