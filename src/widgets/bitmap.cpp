// The pixel operations of trel_bitmap and the display-free glyph table.
// Everything here runs on every repaint of every pane, so the loops work on
// row pointers, clip once per call and keep function calls out of the
// per-pixel paths.
#include "widgets/bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "support/debug_log.h"

namespace {

using i64 = long long;

inline uint8_t low_byte(int value) {
  return static_cast<uint8_t>(value & 255);
}

// A pixel of the given bytes as one 32-bit word in memory order, so whole
// pixels move with single loads and stores whatever the byte order.
inline uint32_t pack(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  const uint8_t bytes[4] = {r, g, b, a};
  uint32_t word;
  std::memcpy(&word, bytes, 4);
  return word;
}

inline uint32_t pack_rgb(const trel_colour &c) {
  return pack(low_byte(c.r), low_byte(c.g), low_byte(c.b), 0);
}

const uint32_t alpha_mask = pack(0, 0, 0, 255);

inline uint32_t load(const uint8_t *p) {
  uint32_t word;
  std::memcpy(&word, p, 4);
  return word;
}

inline void store(uint8_t *p, uint32_t word) {
  std::memcpy(p, &word, 4);
}

// Writes the colour bits (alpha byte zero) into count pixels, keeping alpha.
inline void fill_rgb_span(uint8_t *p, int count, uint32_t rgb) {
  for (int i = 0; i < count; i++, p += 4)
    store(p, (load(p) & alpha_mask) | rgb);
}

// An inclusive rectangle already clipped to a bitmap.
struct clip_box {
  int x0, y0, x1, y1;
};

// Orders the corners and clips the area to a width by height bitmap; false
// when nothing of it lies inside.
bool clip_area(i64 x0, i64 y0, i64 x1, i64 y1, int width, int height, clip_box *out) {
  if (x0 > x1)
    std::swap(x0, x1);
  if (y0 > y1)
    std::swap(y0, y1);
  if (x1 < 0 || y1 < 0 || x0 >= width || y0 >= height)
    return false;
  out->x0 = static_cast<int>(std::max<i64>(x0, 0));
  out->y0 = static_cast<int>(std::max<i64>(y0, 0));
  out->x1 = static_cast<int>(std::min<i64>(x1, width - 1));
  out->y1 = static_cast<int>(std::min<i64>(y1, height - 1));
  return true;
}

// The part of a source of sw by sh pixels placed at (x, y) that falls inside
// a width by height destination: destination corner, source corner, size.
struct blit_area {
  int dx, dy, sx, sy, w, h;
};

bool clip_blit(int x, int y, int sw, int sh, int width, int height, blit_area *out) {
  const i64 left = std::max<i64>(x, 0);
  const i64 top = std::max<i64>(y, 0);
  const i64 right = std::min<i64>(static_cast<i64>(x) + sw, width);
  const i64 bottom = std::min<i64>(static_cast<i64>(y) + sh, height);
  if (left >= right || top >= bottom)
    return false;
  out->dx = static_cast<int>(left);
  out->dy = static_cast<int>(top);
  out->sx = static_cast<int>(left - x);
  out->sy = static_cast<int>(top - y);
  out->w = static_cast<int>(right - left);
  out->h = static_cast<int>(bottom - top);
  return true;
}

inline i64 sign(i64 v) {
  return (v > 0) - (v < 0);
}

// Largest s with s * s <= d, for 0 <= d < 2^62.
i64 isqrt(i64 d) {
  i64 s = static_cast<i64>(std::sqrt(static_cast<double>(d)));
  while (s > 0 && s * s > d)
    s--;
  while ((s + 1) * (s + 1) <= d)
    s++;
  return s;
}

// Clamps a coordinate computed in 64 bits back into int range, so absurd
// polygon offsets stay absurd without overflowing.
inline int clamp_int(i64 v) {
  return static_cast<int>(std::min<i64>(std::max<i64>(v, -2147483647LL - 1), 2147483647LL));
}

// A colour moving from one colour towards another in fixed-point steps (8
// fractional bits) of 1 / span of the difference, one step per advance.
struct colour_ramp {
  i64 r, g, b, step_r, step_g, step_b;

  colour_ramp(const trel_colour &from, const trel_colour &to, i64 span)
      : r(low_byte(from.r) * 256), g(low_byte(from.g) * 256), b(low_byte(from.b) * 256),
        step_r((static_cast<i64>(low_byte(to.r) - low_byte(from.r)) * 256) / span),
        step_g((static_cast<i64>(low_byte(to.g) - low_byte(from.g)) * 256) / span),
        step_b((static_cast<i64>(low_byte(to.b) - low_byte(from.b)) * 256) / span) {}
  void advance(i64 steps = 1) {
    r += steps * step_r;
    g += steps * step_g;
    b += steps * step_b;
  }
  uint8_t red() const { return static_cast<uint8_t>((r >> 8) & 255); }
  uint8_t green() const { return static_cast<uint8_t>((g >> 8) & 255); }
  uint8_t blue() const { return static_cast<uint8_t>((b >> 8) & 255); }
  uint32_t packed() const { return pack(red(), green(), blue(), 0); }
};

} // namespace

// ---------------------------------------------------------------------------
// Construction and whole-bitmap operations

trel_bitmap::trel_bitmap(int width, int height) {
  resize(width, height);
}

void trel_bitmap::resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width > max_side || height > max_side) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in trel_bitmap::resize(), %d x %d is too large, "
                               "cut to at most %d.\n",
                               width, height, max_side);
    width = std::min(width, max_side);
    height = std::min(height, max_side);
  }
  if (width == width_ && height == height_ && !pixels_.empty())
    return;
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  try {
    std::vector<uint8_t> fresh(bytes, 0);
    pixels_.swap(fresh);
  } catch (const std::bad_alloc &) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in trel_bitmap::resize(), no memory for %d x %d.\n", width,
                               height);
    width = 0;
    height = 0;
    std::vector<uint8_t>().swap(pixels_);
  }
  width_ = width;
  height_ = height;
  ClearAlpha();
}

void trel_bitmap::copy_from(const trel_bitmap &other) {
  if (&other == this)
    return;
  pixels_ = other.pixels_;
  width_ = other.width_;
  height_ = other.height_;
}

void trel_bitmap::ClearAlpha() {
  uint8_t *p = pixels_.data();
  const size_t count = pixels_.size() / 4;
  for (size_t i = 0; i < count; i++)
    p[i * 4 + 3] = 255;
}

void trel_bitmap::Clear(const trel_colour &colour) {
  if (pixels_.empty())
    return;
  const uint32_t word = pack_rgb(colour) | alpha_mask;
  uint8_t *first = pixels_.data();
  for (int x = 0; x < width_; x++)
    store(first + x * 4, word);
  for (int y = 1; y < height_; y++)
    std::memcpy(row(y), first, static_cast<size_t>(stride()));
}

// ---------------------------------------------------------------------------
// Pixels and lines

void trel_bitmap::set_pixel(int x, int y, int red, int green, int blue) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_)
    return;
  uint8_t *p = row(y) + x * 4;
  p[0] = low_byte(red);
  p[1] = low_byte(green);
  p[2] = low_byte(blue);
}

void trel_bitmap::set_pixel(int x, int y, const trel_colour &colour) {
  set_pixel(x, y, colour.r, colour.g, colour.b);
}

// The classic integer line walked one pixel per major step. The walk starts
// at the first major coordinate inside the bitmap, with the error term and
// minor coordinate it would have reached there, so a line reaching far
// outside costs no more than its visible part and every pixel equals the
// unclipped walk's.
void trel_bitmap::draw_line(int x0, int y0, int x1, int y1, const trel_colour &colour) {
  if (width_ == 0 || height_ == 0)
    return;
  if (x0 == x1 && y0 == y1) {
    set_pixel(x0, y0, colour);
    return;
  }
  const uint32_t rgb = pack_rgb(colour);
  const i64 dx = std::llabs(static_cast<i64>(x1) - x0);
  const i64 dy = std::llabs(static_cast<i64>(y1) - y0);
  // Major axis a (grows), minor axis b; limits are the bitmap's sides.
  const bool horizontal = dy < dx;
  i64 a0, b0, b1, major, minor;
  int a_limit, b_limit;
  if (horizontal) {
    if (x0 > x1) {
      std::swap(x0, x1);
      std::swap(y0, y1);
    }
    a0 = x0, b0 = y0, b1 = y1, major = dx, minor = dy;
    a_limit = width_, b_limit = height_;
  } else {
    if (y0 > y1) {
      std::swap(x0, x1);
      std::swap(y0, y1);
    }
    a0 = y0, b0 = x0, b1 = x1, major = dy, minor = dx;
    a_limit = height_, b_limit = width_;
  }
  const i64 b_step = sign(b1 - b0);
  const i64 first = std::max<i64>(0, -a0);
  const i64 last = std::min<i64>(major, a_limit - 1 - a0);
  if (first > last)
    return;
  // After n steps the error is e0 - n * minor + moves * major and lies in
  // 0..major-1, which fixes the number of moves: moves is owed / major
  // rounded up, owed being n * minor - e0. The products stay below 2^63
  // because the skipped part n is at most 2^31 and minor below 2^32.
  const i64 e0 = major >> 1;
  const i64 owed = first * minor - e0;
  i64 moves = 0, err = -owed;
  if (owed > 0) {
    const i64 rest = owed % major;
    moves = owed / major + (rest != 0);
    err = rest == 0 ? 0 : major - rest;
  }
  const int row_bytes = stride();
  uint8_t *base = pixels_.data();
  for (i64 n = first; n <= last; n++) {
    const i64 a = a0 + n;
    const i64 b = b0 + b_step * moves;
    if (b >= 0 && b < b_limit) {
      const i64 px = horizontal ? a : b;
      const i64 py = horizontal ? b : a;
      uint8_t *p = base + py * row_bytes + px * 4;
      store(p, (load(p) & alpha_mask) | rgb);
    }
    err -= minor;
    if (err < 0) {
      moves++;
      err += major;
    }
  }
}

// Walks from (x0, y0) to (x1, y1) in the given direction, blending each
// channel in 8.8 fixed point. Like draw_line it starts at the first visible
// major coordinate with the state the full walk would have there.
void trel_bitmap::draw_gradient_line(int x0, int y0, int x1, int y1, const trel_colour &from,
                                     const trel_colour &to) {
  if (width_ == 0 || height_ == 0)
    return;
  const i64 ddx = static_cast<i64>(x1) - x0;
  const i64 ddy = static_cast<i64>(y1) - y0;
  const i64 dx = std::llabs(ddx), dy = std::llabs(ddy);
  const bool horizontal = dy < dx;
  const i64 major = horizontal ? dx : dy;
  const i64 minor = horizontal ? dy : dx;
  const i64 a0 = horizontal ? x0 : y0;
  const i64 b0 = horizontal ? y0 : x0;
  const i64 a_step = sign(horizontal ? ddx : ddy);
  const i64 b_step = sign(horizontal ? ddy : ddx);
  const int a_limit = horizontal ? width_ : height_;
  const int b_limit = horizontal ? height_ : width_;

  colour_ramp ramp(from, to, major + 1);

  // Pixel k lies at major coordinate a0 + k * a_step, k in 0..major.
  i64 first, last;
  if (a_step >= 0) {
    first = std::max<i64>(0, -a0);
    last = std::min<i64>(major, a_limit - 1 - a0);
  } else {
    first = std::max<i64>(0, a0 - (a_limit - 1));
    last = std::min<i64>(major, a0);
  }
  if (first > last)
    return;
  // The error starts at -(major / 2) and gains minor per pixel; each time it
  // reaches 0 the minor coordinate moves and it loses major. Before pixel k
  // it has moved min(k, (e0 + k * minor) / major + 1) times, or not at all
  // while e0 + k * minor is negative.
  const i64 e0 = -(major / 2);
  const i64 t = e0 + first * minor;
  i64 moves = 0, error = t;
  if (first > 0 && t >= 0) {
    moves = std::min<i64>(first, t / major + 1);
    error = moves == first ? t - first * major : t % major - major;
  }
  ramp.advance(first);
  const int row_bytes = stride();
  uint8_t *base = pixels_.data();
  for (i64 k = first; k <= last; k++) {
    const i64 a = a0 + a_step * k;
    const i64 b = b0 + b_step * moves;
    if (b >= 0 && b < b_limit) {
      const i64 px = horizontal ? a : b;
      const i64 py = horizontal ? b : a;
      uint8_t *p = base + py * row_bytes + px * 4;
      p[0] = ramp.red();
      p[1] = ramp.green();
      p[2] = ramp.blue();
    }
    error += minor;
    if (error >= 0) {
      moves++;
      error -= major;
    }
    ramp.advance();
  }
}

void trel_bitmap::draw_outline(const trel_colour &colour, int width, int height) {
  // An empty area has no border, and an area one pixel wide or high has no
  // side edges running along it: drawn as written they would run backwards
  // out of the area.
  if (width < 1 || height < 1)
    return;
  if (height >= 2) {
    DrawFilledRectangle(0, 1, 0, height - 1, colour);
    DrawFilledRectangle(width - 1, 1, width - 1, height - 1, colour);
  }
  if (width >= 2) {
    DrawFilledRectangle(1, 0, width - 1, 0, colour);
    DrawFilledRectangle(1, height - 1, width - 1, height - 1, colour);
  }
  const trel_colour black{0, 0, 0};
  set_pixel(0, 0, black);
  set_pixel(width - 1, 0, black);
  set_pixel(0, height - 1, black);
  set_pixel(width - 1, height - 1, black);
}

namespace {

// The pane frame with its three colours: outer lines, the inner left line.
void pane_frame(trel_bitmap &bitmap, int flags, const trel_colour &outer,
                const trel_colour &inner_left) {
  const int w = bitmap.width(), h = bitmap.height();
  if (w == 0 || h == 0)
    return;
  if (flags & 8) {
    bitmap.DrawFilledRectangle(0, 0, 0, h - 1, outer);
    bitmap.DrawFilledRectangle(1, 0, 1, h - 1, inner_left);
  }
  if (flags & 2)
    bitmap.DrawFilledRectangle(w - 2, 0, w - 1, h - 1, outer);
  if (flags & 1)
    bitmap.DrawFilledRectangle(0, 0, w - 1, 0, outer);
  if (flags & 4)
    bitmap.DrawFilledRectangle(0, h - 1, w - 1, h - 1, outer);
}

} // namespace

void trel_bitmap::draw_pane_frame(int flags) {
  pane_frame(*this, flags, trel_colour{255, 255, 255}, trel_colour{128, 128, 128});
}

void trel_bitmap::draw_pane_frame(int flags, const trel_colour &colour) {
  pane_frame(*this, flags, colour, colour);
}

// ---------------------------------------------------------------------------
// Areas

void trel_bitmap::DrawFilledRectangle(int x0, int y0, int x1, int y1, const trel_colour &colour) {
  clip_box box;
  if (!clip_area(x0, y0, x1, y1, width_, height_, &box))
    return;
  const uint32_t rgb = pack_rgb(colour);
  const int count = box.x1 - box.x0 + 1;
  for (int y = box.y0; y <= box.y1; y++)
    fill_rgb_span(row(y) + box.x0 * 4, count, rgb);
}

void trel_bitmap::DrawXGradientRectangle(int x0, int y0, int x1, int y1, const trel_colour &from,
                                         const trel_colour &to) {
  clip_box box;
  if (!clip_area(x0, y0, x1, y1, width_, height_, &box))
    return;
  // The step comes from the whole (unclipped) width; the first column
  // already carries one step, so "to" is never quite reached.
  colour_ramp ramp(from, to, std::llabs(static_cast<i64>(x1) - x0) + 2);
  // One colour per visible column, then plain row fills.
  const int count = box.x1 - box.x0 + 1;
  std::vector<uint32_t> columns(static_cast<size_t>(count));
  for (int i = 0; i < count; i++) {
    ramp.advance();
    columns[i] = ramp.packed();
  }
  const uint32_t *colours = columns.data();
  for (int y = box.y0; y <= box.y1; y++) {
    uint8_t *p = row(y) + box.x0 * 4;
    for (int i = 0; i < count; i++, p += 4)
      store(p, (load(p) & alpha_mask) | colours[i]);
  }
}

void trel_bitmap::DrawYGradientRectangle(int x0, int y0, int x1, int y1, const trel_colour &from,
                                         const trel_colour &to) {
  clip_box box;
  if (!clip_area(x0, y0, x1, y1, width_, height_, &box))
    return;
  colour_ramp ramp(from, to, std::llabs(static_cast<i64>(y1) - y0) + 2);
  const int count = box.x1 - box.x0 + 1;
  for (int y = box.y0; y <= box.y1; y++) {
    ramp.advance();
    fill_rgb_span(row(y) + box.x0 * 4, count, ramp.packed());
  }
}

void trel_bitmap::DrawFilledCircle(int x, int y, int radius, const trel_colour &colour) {
  const i64 r = std::max(radius, 0);
  const i64 cy = y, cx = x;
  const i64 top = std::max<i64>(0, cy - r);
  const i64 bottom = std::min<i64>(height_ - 1, cy + r);
  const uint32_t rgb = pack_rgb(colour);
  for (i64 v = top; v <= bottom; v++) {
    const i64 d = std::max<i64>(0, r * (r + 1) - (v - cy) * (v - cy));
    const i64 h = isqrt(d);
    const i64 left = std::max<i64>(0, cx - h);
    const i64 right = std::min<i64>(width_ - 1, cx + h);
    if (left > right)
      continue;
    fill_rgb_span(row(static_cast<int>(v)) + left * 4, static_cast<int>(right - left + 1), rgb);
  }
}

// Even-odd scanline fill: on each row the crossings of the edges that span it
// (upper end included, lower end excluded, so a shared vertex counts once)
// are sorted and filled in pairs; then the outline is drawn over the fill.
// Only the rows inside the bitmap are scanned, however far the points reach.
int trel_bitmap::DrawPolygon(int count, const trel_point *points, int offset_x, int offset_y,
                             const trel_colour &outline, const trel_colour &fill) {
  if (count < 3) {
    if (debug_level >= 1)
      trel_client_debug_printf(
          "Error in trel_bitmap::DrawPolygon(), only got %d points, need a minimum of 3.\n", count);
    return 0;
  }
  if (count > max_polygon_points) {
    if (debug_level >= 1)
      trel_client_debug_printf("Error in trel_bitmap::DrawPolygon(), got %d points, max is %d.\n",
                               count, max_polygon_points);
    return 0;
  }
  if (!points)
    return 0;

  struct edge {
    i64 ymin, ymax;
    double x_at_ymin, inverse_slope;
  };
  std::vector<trel_point> at(static_cast<size_t>(count));
  for (int i = 0; i < count; i++)
    at[i] = trel_point{clamp_int(static_cast<i64>(points[i].x) + offset_x),
                       clamp_int(static_cast<i64>(points[i].y) + offset_y)};
  std::vector<edge> edges;
  edges.reserve(static_cast<size_t>(count));
  i64 scan_top = 0, scan_bottom = -1;
  for (int i = 0; i < count; i++) {
    const trel_point &p = at[(i + count - 1) % count];
    const trel_point &q = at[i];
    if (p.y == q.y)
      continue;
    const trel_point &upper = p.y < q.y ? p : q;
    const trel_point &lower = p.y < q.y ? q : p;
    edge e;
    e.ymin = upper.y;
    e.ymax = lower.y;
    e.x_at_ymin = upper.x;
    e.inverse_slope = static_cast<double>(static_cast<i64>(lower.x) - upper.x) /
                      static_cast<double>(static_cast<i64>(lower.y) - upper.y);
    if (edges.empty() || e.ymin < scan_top)
      scan_top = e.ymin;
    if (edges.empty() || e.ymax > scan_bottom)
      scan_bottom = e.ymax;
    edges.push_back(e);
  }
  scan_top = std::max<i64>(scan_top, 0);
  scan_bottom = std::min<i64>(scan_bottom, height_ - 1);
  const uint32_t rgb = pack_rgb(fill);
  std::vector<double> crossings;
  crossings.reserve(edges.size());
  for (i64 y = scan_top; y <= scan_bottom; y++) {
    crossings.clear();
    for (const edge &e : edges)
      if (e.ymin <= y && y < e.ymax)
        crossings.push_back(e.x_at_ymin + static_cast<double>(y - e.ymin) * e.inverse_slope);
    std::sort(crossings.begin(), crossings.end());
    if (crossings.size() % 2 != 0 && debug_level >= 2)
      trel_client_debug_printf("Error in DrawPolygon(), unclosed poly for draw line?\n");
    for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
      // Truncated toward zero, as the span's end points always were.
      const double a = std::trunc(crossings[i]), b = std::trunc(crossings[i + 1]);
      const double left = std::max(a, 0.0);
      const double right = std::min(b, static_cast<double>(width_ - 1));
      if (left > right)
        continue;
      fill_rgb_span(row(static_cast<int>(y)) + static_cast<i64>(left) * 4,
                    static_cast<int>(right - left) + 1, rgb);
    }
  }
  for (int i = 0; i < count; i++) {
    const trel_point &p = at[(i + count - 1) % count];
    draw_line(p.x, p.y, at[i].x, at[i].y, outline);
  }
  return 1;
}

// ---------------------------------------------------------------------------
// Bitmaps and glyphs

void trel_bitmap::DrawBitmap(const trel_bitmap &source, int x, int y) {
  if (&source == this) {
    // Copying onto itself would read rows already overwritten.
    trel_bitmap copy;
    copy.copy_from(source);
    DrawBitmap(copy, x, y);
    return;
  }
  blit_area area;
  if (!clip_blit(x, y, source.width(), source.height(), width_, height_, &area))
    return;
  const size_t bytes = static_cast<size_t>(area.w) * 4;
  for (int j = 0; j < area.h; j++)
    std::memcpy(row(area.dy + j) + area.dx * 4, source.row(area.sy + j) + area.sx * 4, bytes);
}

void trel_bitmap::DrawBitmapNukeAlpha(const trel_bitmap &source, int x, int y) {
  blit_area area;
  if (!clip_blit(x, y, source.width(), source.height(), width_, height_, &area))
    return;
  // Each source pixel is read before its destination is written, so a
  // bitmap drawn onto itself at (0, 0) is still correct; other self-overlaps
  // go through a copy.
  if (&source == this && (x != 0 || y != 0)) {
    trel_bitmap copy;
    copy.copy_from(source);
    DrawBitmapNukeAlpha(copy, x, y);
    return;
  }
  for (int j = 0; j < area.h; j++) {
    const uint8_t *s = source.row(area.sy + j) + area.sx * 4;
    uint8_t *d = row(area.dy + j) + area.dx * 4;
    for (int i = 0; i < area.w; i++, s += 4, d += 4) {
      const unsigned a = s[3];
      d[0] = static_cast<uint8_t>((s[0] * a) >> 8);
      d[1] = static_cast<uint8_t>((s[1] * a) >> 8);
      d[2] = static_cast<uint8_t>((s[2] * a) >> 8);
    }
  }
}

namespace {

// The colour of every coverage value of an opaque glyph, alpha byte zero:
// background where a glyph pixel is 0, else the blend shifted right by 8.
struct coverage_palette {
  uint32_t colour[256];
};

void make_palette(const trel_colour &foreground, const trel_colour &background,
                  coverage_palette *out) {
  const unsigned fr = low_byte(foreground.r), fg = low_byte(foreground.g),
                 fb = low_byte(foreground.b);
  const unsigned br = low_byte(background.r), bg = low_byte(background.g),
                 bb = low_byte(background.b);
  out->colour[0] =
      pack(static_cast<uint8_t>(br), static_cast<uint8_t>(bg), static_cast<uint8_t>(bb), 0);
  for (unsigned a = 1; a < 256; a++) {
    const unsigned na = 255 - a;
    out->colour[a] = pack(static_cast<uint8_t>((fr * a + br * na) >> 8),
                          static_cast<uint8_t>((fg * a + bg * na) >> 8),
                          static_cast<uint8_t>((fb * a + bb * na) >> 8), 0);
  }
}

// One glyph through the palette: one table look-up per pixel, alpha kept.
void blit_glyph(trel_bitmap &target, const trel_bitmap &glyph, int x, int y,
                const coverage_palette &palette) {
  blit_area area;
  if (&glyph == &target ||
      !clip_blit(x, y, glyph.width(), glyph.height(), target.width(), target.height(), &area))
    return;
  for (int j = 0; j < area.h; j++) {
    const uint8_t *s = glyph.row(area.sy + j) + area.sx * 4 + 1;
    uint8_t *d = target.row(area.dy + j) + area.dx * 4;
    for (int i = 0; i < area.w; i++, s += 4, d += 4)
      store(d, (load(d) & alpha_mask) | palette.colour[*s]);
  }
}

} // namespace

void trel_bitmap::DrawTextGlyph(const trel_bitmap &glyph, int x, int y,
                                const trel_colour &foreground, const trel_colour &background) {
  coverage_palette palette;
  make_palette(foreground, background, &palette);
  blit_glyph(*this, glyph, x, y, palette);
}

void trel_bitmap::DrawTextGlyphTransparent(const trel_bitmap &glyph, int x, int y,
                                           const trel_colour &colour) {
  blit_area area;
  if (&glyph == this || !clip_blit(x, y, glyph.width(), glyph.height(), width_, height_, &area))
    return;
  const unsigned cr = low_byte(colour.r), cg = low_byte(colour.g), cb = low_byte(colour.b);
  for (int j = 0; j < area.h; j++) {
    const uint8_t *s = glyph.row(area.sy + j) + area.sx * 4;
    uint8_t *d = row(area.dy + j) + area.dx * 4;
    for (int i = 0; i < area.w; i++, s += 4, d += 4) {
      const unsigned a = s[1];
      if (a == 0)
        continue;
      const unsigned na = 255 - a;
      d[0] = static_cast<uint8_t>((d[0] * na + cr * a) >> 8);
      d[1] = static_cast<uint8_t>((d[1] * na + cg * a) >> 8);
      d[2] = static_cast<uint8_t>((d[2] * na + cb * a) >> 8);
    }
  }
}

namespace {

// The x after a run of glyphs, kept in int range for absurdly long texts.
inline int advance(i64 x) {
  return clamp_int(x);
}

} // namespace

int trel_bitmap::draw_text(const trel_glyph_table &font, const char *text, int x, int y,
                           const trel_colour &foreground, const trel_colour &background) {
  if (!text || x > width_ || y > height_)
    return x;
  coverage_palette palette;
  make_palette(foreground, background, &palette);
  i64 pen = x;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; p++) {
    const trel_bitmap *glyph = font.glyph(*p);
    if (!glyph)
      continue;
    // Glyphs past the right edge are measured, not drawn.
    if (pen < width_ && pen > -static_cast<i64>(glyph->width()))
      blit_glyph(*this, *glyph, static_cast<int>(pen), y, palette);
    pen += glyph->width();
  }
  return advance(pen);
}

int trel_bitmap::draw_text_transparent(const trel_glyph_table &font, const char *text, int x, int y,
                                       const trel_colour &colour) {
  if (!text || x > width_ || y > height_)
    return x;
  i64 pen = x;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; p++) {
    const trel_bitmap *glyph = font.glyph(*p);
    if (!glyph)
      continue;
    if (pen < width_ && pen > -static_cast<i64>(glyph->width()))
      DrawTextGlyphTransparent(*glyph, static_cast<int>(pen), y, colour);
    pen += glyph->width();
  }
  return advance(pen);
}

// ---------------------------------------------------------------------------
// The glyph table

void trel_glyph_table::glyph_size(int code, int *width, int *height) const {
  const trel_bitmap *g =
      (code >= first_printable && code <= last_printable) ? glyphs_[code].get() : nullptr;
  if (width)
    *width = g ? g->width() : 0;
  if (height)
    *height = g ? g->height() : 0;
}

void trel_glyph_table::text_extent(const char *text, int *width, int *height) const {
  if (!text)
    return;
  i64 total = 0;
  int last_height = 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; p++) {
    const trel_bitmap *g = glyphs_[*p & 127].get();
    if (!g)
      continue;
    total += g->width();
    last_height = g->height();
  }
  if (width)
    *width = clamp_int(total);
  if (height)
    *height = last_height;
}

int trel_glyph_table::text_width(const char *text, int length) const {
  if (!text)
    return 0;
  i64 total = 0;
  for (int i = 0; i < length && text[i]; i++)
    total += widths_[static_cast<unsigned char>(text[i]) & 127];
  return clamp_int(total);
}

int trel_glyph_table::glyph_count() const {
  int count = 0;
  for (const auto &g : glyphs_)
    count += g ? 1 : 0;
  return count;
}

int trel_glyph_table::set_glyph(int code, std::unique_ptr<trel_bitmap> glyph) {
  if (code < 0 || code >= slot_count)
    return 0;
  widths_[code] = glyph ? glyph->width() : 0;
  glyphs_[code] = std::move(glyph);
  return 1;
}

void trel_glyph_table::clear_glyphs() {
  for (int i = 0; i < slot_count; i++) {
    glyphs_[i].reset();
    widths_[i] = 0;
  }
  line_height = 0;
  ascent = 0;
  descent = 0;
}
