// trel_bitmap: the client's own 32-bit RGBA pixel buffer and every drawing
// operation the panes use on it, plus the colour triple, the polygon point
// and the glyph table that the text operations read. Needs no display.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// The colour currency of all drawing code: red, green and blue as ints; only
// the low 8 bits of each are used.
struct trel_colour {
  int r = 0;
  int g = 0;
  int b = 0;
};

// One corner of a polygon, relative to the offset given to DrawPolygon.
struct trel_point {
  int x = 0;
  int y = 0;
};

class trel_glyph_table;

// Pixels are 4 bytes each in the order red, green, blue, alpha; rows are
// stride bytes apart. A new bitmap is opaque black.
class trel_bitmap {
public:
  // Neither side may exceed this: it is also the largest X11 pixmap.
  static constexpr int max_side = 32767;
  // DrawPolygon refuses more points than this.
  static constexpr int max_polygon_points = 1000;

  trel_bitmap() : trel_bitmap(16, 16) {}
  // Sides below 0 count as 0; sides above max_side are cut to it (reported).
  trel_bitmap(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  int stride() const { return width_ * 4; }
  uint8_t *data() { return pixels_.data(); }
  const uint8_t *data() const { return pixels_.data(); }
  // Start of row y; y must lie in 0..height-1.
  uint8_t *row(int y) { return pixels_.data() + static_cast<size_t>(y) * stride(); }
  const uint8_t *row(int y) const { return pixels_.data() + static_cast<size_t>(y) * stride(); }

  // Gives the bitmap a new size with opaque black content (same rules as the
  // constructor); keeps the content when the size is unchanged.
  void resize(int width, int height);

  // Deep copy of another bitmap, size included.
  void copy_from(const trel_bitmap &other);
  // Alpha of every pixel becomes 255; colours stay.
  void ClearAlpha();
  // Every pixel becomes the colour with alpha 255.
  void Clear(const trel_colour &colour);

  // Writes red, green and blue of one pixel (alpha stays); nothing outside.
  void set_pixel(int x, int y, const trel_colour &colour);
  void set_pixel(int x, int y, int red, int green, int blue);
  // A one-pixel line including both end points.
  void draw_line(int x0, int y0, int x1, int y1, const trel_colour &colour);
  // A line from (x0, y0) to (x1, y1) whose colour blends from "from" towards "to".
  void draw_gradient_line(int x0, int y0, int x1, int y1, const trel_colour &from,
                          const trel_colour &to);
  // Border of the width by height area at (0, 0) in the colour, with the four
  // corners black.
  void draw_outline(const trel_colour &colour, int width, int height);
  // The pane frame: flag 1 top, 2 right (two lines), 4 bottom, 8 left (two
  // lines). Without a colour the lines are white, and the inner left line grey.
  void draw_pane_frame(int flags);
  void draw_pane_frame(int flags, const trel_colour &colour);

  // Area operations: the corners are both included and may come in any order.
  void DrawFilledRectangle(int x0, int y0, int x1, int y1, const trel_colour &colour);
  void DrawXGradientRectangle(int x0, int y0, int x1, int y1, const trel_colour &from,
                              const trel_colour &to);
  void DrawYGradientRectangle(int x0, int y0, int x1, int y1, const trel_colour &from,
                              const trel_colour &to);
  void DrawFilledCircle(int x, int y, int radius, const trel_colour &colour);
  // Fills and outlines the polygon of count points placed at the offset.
  // Returns 1 when drawn, 0 when the point count is refused (reported).
  int DrawPolygon(int count, const trel_point *points, int offset_x, int offset_y,
                  const trel_colour &outline, const trel_colour &fill);

  // Copies all four bytes of the source's pixels with its top left at (x, y).
  void DrawBitmap(const trel_bitmap &source, int x, int y);
  // Copies the source's colours multiplied by its alpha; alpha here stays.
  void DrawBitmapNukeAlpha(const trel_bitmap &source, int x, int y);
  // One glyph, its green channel being the coverage of the foreground over
  // the background.
  void DrawTextGlyph(const trel_bitmap &glyph, int x, int y, const trel_colour &foreground,
                     const trel_colour &background);
  // One glyph blended over the pixels already here.
  void DrawTextGlyphTransparent(const trel_bitmap &glyph, int x, int y, const trel_colour &colour);
  // A NUL-terminated byte string, glyph by glyph, each byte selecting the
  // glyph of its low 7 bits (empty slots are skipped without advancing).
  // Returns the x after the last glyph; x unchanged when nothing is drawn
  // (null text, or a start beyond the right or bottom edge).
  int draw_text(const trel_glyph_table &font, const char *text, int x, int y,
                const trel_colour &foreground, const trel_colour &background);
  int draw_text_transparent(const trel_glyph_table &font, const char *text, int x, int y,
                            const trel_colour &colour);

private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> pixels_;
};

// The display-free half of a font: one optional glyph bitmap per 7-bit code
// (codes 32 to 126 are the ones a font fills), the glyph widths, and the
// line metrics text panes need. Tests and benchmarks fill it by hand;
// trel_font fills it by rendering a toolkit font.
class trel_glyph_table {
public:
  static constexpr int slot_count = 128;
  static constexpr int first_printable = 32;
  static constexpr int last_printable = 126;

  trel_glyph_table() = default;
  trel_glyph_table(const trel_glyph_table &) = delete;
  trel_glyph_table &operator=(const trel_glyph_table &) = delete;
  virtual ~trel_glyph_table() = default;

  // The glyph of a code (looked up by its low 7 bits), or nullptr when empty.
  const trel_bitmap *glyph(int code) const { return glyphs_[code & 127].get(); }
  // Width of the glyph of a code's low 7 bits, 0 when the slot is empty.
  int glyph_width(int code) const { return widths_[code & 127]; }
  // Width and height of the glyph for code, or 0 and 0 when the code lies
  // outside 32..126 or its slot is empty.
  void glyph_size(int code, int *width, int *height) const;
  // Sum of the glyph widths of every byte of text, and the height of the last
  // glyph found (0 when none); outputs untouched when text is null. Either
  // output may be null.
  void text_extent(const char *text, int *width, int *height) const;
  // Width of the first length bytes of text (stops early at a NUL).
  int text_width(const char *text, int length) const;
  // Number of filled slots.
  int glyph_count() const;

  // Puts a glyph into the slot of code (0..127), replacing what was there;
  // a null glyph empties the slot. Returns 0 for a code outside 0..127.
  int set_glyph(int code, std::unique_ptr<trel_bitmap> glyph);
  // Empties every slot and zeroes the metrics.
  void clear_glyphs();

  // Height of a text line in pixels (the glyph height), its ascent above the
  // baseline and its descent below it.
  int line_height = 0;
  int ascent = 0;
  int descent = 0;

private:
  std::unique_ptr<trel_bitmap> glyphs_[slot_count];
  int widths_[slot_count] = {0};
};
