// Fuzz target: the server byte stream through the framing parser, split into
// reads at places chosen by the input, checking what reaches the panes.
#include "session/stream_parser.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct checking_sink : trel_stream_sink {
  void deliver_text(const char *text, int length) override {
    if (!text || length <= 0 || length > trel_stream_parser::TEXT_PIECE)
      abort();
  }
  void dispatch_tag(const char *name, const char *data, int length) override {
    if (strlen(name) > static_cast<size_t>(trel_stream_parser::NAME_LIMIT))
      abort();
    if (length < 0 || length > trel_stream_parser::DATA_LIMIT || data[length] != 0)
      abort();
    if (memchr(data, ';', length) || memchr(data, '\r', length))
      abort();
  }
  void ring_bell() override {}
  void enter_password_mode() override {}
  void leave_password_mode() override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1)
    return 0;
  // The first byte chooses the read size, so records split across reads at
  // every offset get exercised.
  size_t chunk = 1 + data[0] % 64;
  trel_stream_parser parser;
  checking_sink sink;
  for (size_t at = 1; at < size; at += chunk) {
    size_t n = size - at < chunk ? size - at : chunk;
    parser.process(data + at, static_cast<int>(n), sink);
  }
  return 0;
}
