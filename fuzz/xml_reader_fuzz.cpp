// libFuzzer target for the configuration XML reader: the input is a whole
// configuration file, read the way the loaders read it; then the input is
// also written as a value and read back, which must give it back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/xml_reader.h"
#include "config/xml_writer.h"
#include "support/debug_log.h"

namespace {

// A reader over the fuzzer's bytes.
class memory_reader : public trel_xml_reader {
public:
  memory_reader(const uint8_t *data, size_t size) : data(data), size(size) {}
  int read_byte() override { return position < size ? data[position++] : -1; }
  bool at_end() const { return position >= size; }
  size_t position = 0;

private:
  const uint8_t *data;
  size_t size;
};

// A writer that collects its output in memory.
class memory_writer : public trel_xml_writer {
public:
  int write_raw(const char *text) override {
    const size_t length = strlen(text);
    output.append(text, length);
    return static_cast<int>(length);
  }
  std::string output;
};

constexpr char guard_byte = 0x5a;
constexpr size_t guard_size = 16;

// A buffer with guard bytes behind its capacity; a write past the capacity or
// an accepted text that is not clean printable ASCII stops the fuzzer.
struct guarded_buffer {
  std::vector<char> bytes;
  int capacity;

  explicit guarded_buffer(int capacity)
      : bytes(static_cast<size_t>(capacity) + guard_size, guard_byte), capacity(capacity) {}

  void check_guards() const {
    for (size_t i = static_cast<size_t>(capacity); i < bytes.size(); i++)
      if (bytes[i] != guard_byte)
        abort();
  }
  void check_clean_text() const {
    for (int i = 0; i < capacity; i++) {
      const unsigned char c = static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
      if (c == 0)
        return;
      if (c < 32 || c > 126)
        abort();
    }
    abort(); // not terminated inside the capacity
  }
};

bool starts_with(const char *text, const char *prefix) {
  return strncmp(text, prefix, strlen(prefix)) == 0;
}

// Walks the children of the current element like a configuration loader: the
// tag's name says what to do with it, and the buffer sizes vary with it.
void walk(trel_xml_reader &reader, int depth) {
  for (;;) {
    guarded_buffer tag(depth % 2 ? 1000 : 24);
    const int got_tag = reader.read_tag(tag.bytes.data(), tag.capacity);
    tag.check_guards();
    if (!got_tag)
      return;
    tag.check_clean_text();
    const char *name = tag.bytes.data();
    if (starts_with(name, "list") && depth < 32) {
      walk(reader, depth + 1);
    } else if (starts_with(name, "num")) {
      int number = 0;
      reader.read_data(&number);
    } else if (starts_with(name, "skip") || starts_with(name, "list")) {
      reader.skip_data();
    } else {
      guarded_buffer value(1 + static_cast<int>(strlen(name) % 40) * 250);
      const int got = reader.read_data(value.bytes.data(), value.capacity);
      value.check_guards();
      if (got)
        value.check_clean_text();
    }
  }
}

void read_as_configuration_file(const uint8_t *data, size_t size) {
  // The loaders read the declaration line themselves before any tag.
  size_t line_end = 0;
  while (line_end < size && data[line_end] != '\n' && data[line_end] != 0)
    line_end++;
  std::string line(reinterpret_cast<const char *>(data), line_end < 9999 ? line_end : 9999);
  const size_t body = line_end < size ? line_end + 1 : size;

  memory_reader reader(data + body, size - body);
  reader.check_xml_header_string(line.c_str());
  // Like the loaders, go on past stray closing tags until the input is used up.
  size_t last = static_cast<size_t>(-1);
  while (!reader.at_end()) {
    walk(reader, 0);
    if (reader.position == last)
      abort(); // no progress: a loop that could hang a loader
    last = reader.position;
  }
}

void round_trip_as_value(const uint8_t *data, size_t size) {
  std::string value(reinterpret_cast<const char *>(data), size);
  value = value.substr(0, strlen(value.c_str())); // a value is a C text
  memory_writer writer;
  writer.write_tag("list", 1);
  writer.write_tag("v", 0);
  writer.write_string(value.c_str());
  writer.end_tag("v", 0);
  writer.end_tag("list", 1);

  bool printable = true;
  for (unsigned char c : value)
    printable = printable && c >= 32 && c <= 126;

  memory_reader reader(reinterpret_cast<const uint8_t *>(writer.output.data()),
                       writer.output.size());
  std::vector<char> tag(100);
  std::vector<char> read(writer.output.size() + 1);
  if (reader.read_tag(tag.data(), 100) != 1 || reader.read_tag(tag.data(), 100) != 1)
    abort();
  const int got = reader.read_data(read.data(), static_cast<int>(read.size()));
  // Printable text must come back exactly; anything else must be refused.
  if (printable && (got != 1 || value != read.data()))
    abort();
  if (!printable && got != 0)
    abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  // Messages are formatted and written as usual, into nothing.
  debug_level = 1;
  trel_client_set_debug_logfile_name("/dev/null");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  read_as_configuration_file(data, size);
  round_trip_as_value(data, size < 4000 ? size : 4000);
  return 0;
}
