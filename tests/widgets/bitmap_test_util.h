// Helpers shared by the bitmap tests: reading pixels back, drawing a bitmap's
// pixels of one colour as text rows, and catching what goes to the debug log.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "support/debug_log.h"
#include "widgets/bitmap.h"

inline bool operator==(const trel_colour &a, const trel_colour &b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

inline std::ostream &operator<<(std::ostream &out, const trel_colour &c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

inline trel_colour pixel_at(const trel_bitmap &b, int x, int y) {
  const uint8_t *p = b.row(y) + x * 4;
  return trel_colour{p[0], p[1], p[2]};
}

inline int alpha_at(const trel_bitmap &b, int x, int y) {
  return b.row(y)[x * 4 + 3];
}

inline void set_alpha_everywhere(trel_bitmap &b, int alpha) {
  for (int y = 0; y < b.height(); y++)
    for (int x = 0; x < b.width(); x++)
      b.row(y)[x * 4 + 3] = static_cast<uint8_t>(alpha);
}

// One string per row: '#' where the pixel has colour c, '.' elsewhere.
inline std::vector<std::string> mask_of(const trel_bitmap &b, const trel_colour &c) {
  std::vector<std::string> rows;
  for (int y = 0; y < b.height(); y++) {
    std::string row;
    for (int x = 0; x < b.width(); x++)
      row += pixel_at(b, x, y) == c ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

// True when every pixel of a and b has the same four bytes.
inline bool same_pixels(const trel_bitmap &a, const trel_bitmap &b) {
  if (a.width() != b.width() || a.height() != b.height())
    return false;
  for (int y = 0; y < a.height(); y++)
    for (int x = 0; x < a.width() * 4; x++)
      if (a.row(y)[x] != b.row(y)[x])
        return false;
  return true;
}

// Sends the debug log to a fresh file for the life of the object and reads
// back what was written to it.
class log_capture {
public:
  log_capture() {
    char pattern[] = "/tmp/quenmar_bitmap_log_XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd >= 0)
      close(fd);
    path_ = pattern;
    if (trel_client_debug_logfile_is_open())
      trel_client_debug_logfile_close();
    trel_client_set_debug_logfile_name(path_.c_str());
    saved_level_ = debug_level;
  }
  ~log_capture() {
    debug_level = saved_level_;
    if (trel_client_debug_logfile_is_open())
      trel_client_debug_logfile_close();
    std::remove(path_.c_str());
  }
  std::string text() const {
    std::ifstream in(path_);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }

private:
  std::string path_;
  int saved_level_ = 1;
};
