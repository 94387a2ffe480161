// Conversions between trel_bitmap and the toolkit's images and bitmaps.
#include <gtest/gtest.h>

#include <wx/dcmemory.h>

#include "widgets/bitmap_test_util.h"
#include "widgets/wx_bitmap.h"

namespace {

// A 3 by 2 image whose colours tell the pixel's position.
wxImage numbered_image() {
  wxImage image(3, 2);
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 3; x++)
      image.SetRGB(x, y, static_cast<unsigned char>(x * 40 + 1),
                   static_cast<unsigned char>(y * 90 + 2), static_cast<unsigned char>(x + y + 3));
  return image;
}

TEST(BitmapFromImage, CopiesColoursAndAlpha) {
  struct image_case {
    const char *name;
    bool with_alpha, with_mask;
  };
  const image_case cases[] = {
      {"no alpha", false, false}, {"alpha", true, false}, {"mask colour", false, true}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    wxImage image = numbered_image();
    if (c.with_alpha) {
      image.InitAlpha();
      for (int y = 0; y < 2; y++)
        for (int x = 0; x < 3; x++)
          image.SetAlpha(x, y, static_cast<unsigned char>(x * 100 + y));
    }
    if (c.with_mask)
      image.SetMaskColour(41, 92, 5); // the pixel at (1, 1)
    trel_bitmap out(7, 7);
    ASSERT_TRUE(trel_bitmap_from_image(image, out));
    ASSERT_EQ(out.width(), 3);
    ASSERT_EQ(out.height(), 2);
    for (int y = 0; y < 2; y++)
      for (int x = 0; x < 3; x++) {
        EXPECT_EQ(pixel_at(out, x, y),
                  (trel_colour{image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)}));
        int alpha = 255;
        if (c.with_alpha)
          alpha = x * 100 + y;
        else if (c.with_mask && x == 1 && y == 1)
          alpha = 0;
        EXPECT_EQ(alpha_at(out, x, y), alpha) << "at (" << x << ", " << y << ")";
      }
  }
}

TEST(BitmapFromImage, InvalidImageLeavesTheBitmapAlone) {
  trel_bitmap out(4, 4);
  out.Clear(trel_colour{9, 9, 9});
  EXPECT_FALSE(trel_bitmap_from_image(wxImage(), out));
  EXPECT_EQ(out.width(), 4);
  EXPECT_EQ(pixel_at(out, 3, 3), (trel_colour{9, 9, 9}));
}

TEST(BitmapToWx, KeepsEveryOpaquePixel) {
  trel_bitmap b(37, 21);
  for (int y = 0; y < b.height(); y++)
    for (int x = 0; x < b.width(); x++)
      b.set_pixel(x, y, x * 7, y * 12, x ^ y);
  const wxBitmap converted = trel_bitmap_to_wx(b);
  ASSERT_TRUE(converted.IsOk());
  EXPECT_EQ(converted.GetWidth(), 37);
  EXPECT_EQ(converted.GetHeight(), 21);
  const wxImage back = converted.ConvertToImage();
  for (int y = 0; y < b.height(); y++)
    for (int x = 0; x < b.width(); x++) {
      ASSERT_EQ((trel_colour{back.GetRed(x, y), back.GetGreen(x, y), back.GetBlue(x, y)}),
                pixel_at(b, x, y))
          << "at (" << x << ", " << y << ")";
      if (back.HasAlpha()) {
        ASSERT_EQ(back.GetAlpha(x, y), 255);
      }
    }
}

TEST(BitmapToWx, KeepsTransparency) {
  trel_bitmap b(4, 1);
  b.Clear(trel_colour{200, 100, 50});
  b.row(0)[1 * 4 + 3] = 0;
  b.row(0)[2 * 4 + 3] = 128;
  const wxImage back = trel_bitmap_to_wx(b).ConvertToImage();
  ASSERT_TRUE(back.HasAlpha());
  EXPECT_EQ(back.GetAlpha(0, 0), 255);
  EXPECT_EQ(back.GetAlpha(1, 0), 0);
  EXPECT_NEAR(back.GetAlpha(2, 0), 128, 1);
  EXPECT_EQ(back.GetAlpha(3, 0), 255);
  EXPECT_EQ((trel_colour{back.GetRed(3, 0), back.GetGreen(3, 0), back.GetBlue(3, 0)}),
            (trel_colour{200, 100, 50}));
}

TEST(BitmapToWx, EmptyBitmapGivesAnInvalidOne) {
  EXPECT_FALSE(trel_bitmap_to_wx(trel_bitmap(0, 5)).IsOk());
  wxBitmap target(3, 3, 24);
  EXPECT_FALSE(trel_bitmap_copy_to_wx(trel_bitmap(4, 0), target));
  EXPECT_FALSE(target.IsOk());
}

// What a pane does on every paint: refill the same toolkit bitmap and draw
// it. The second paint must show the new pixels, not a cached first image.
TEST(BitmapToWx, RefilledTargetDrawsItsNewPixels) {
  trel_bitmap frame(6, 4);
  wxBitmap target;
  wxBitmap screen(6, 4, 24);
  const trel_colour colours[] = {{200, 10, 10}, {10, 200, 10}, {10, 10, 200}};
  for (const auto &colour : colours) {
    frame.Clear(colour);
    frame.set_pixel(5, 3, 1, 2, 3);
    ASSERT_TRUE(trel_bitmap_copy_to_wx(frame, target));
    EXPECT_EQ(target.GetWidth(), 6);
    {
      wxMemoryDC dc(screen);
      dc.DrawBitmap(target, 0, 0, false);
    }
    const wxImage shown = screen.ConvertToImage();
    EXPECT_EQ((trel_colour{shown.GetRed(0, 0), shown.GetGreen(0, 0), shown.GetBlue(0, 0)}), colour);
    EXPECT_EQ((trel_colour{shown.GetRed(5, 3), shown.GetGreen(5, 3), shown.GetBlue(5, 3)}),
              (trel_colour{1, 2, 3}));
  }
  // A new size or transparency replaces the target.
  trel_bitmap wider(9, 4);
  ASSERT_TRUE(trel_bitmap_copy_to_wx(wider, target));
  EXPECT_EQ(target.GetWidth(), 9);
  wider.row(0)[3] = 0;
  ASSERT_TRUE(trel_bitmap_copy_to_wx(wider, target));
  const wxImage back = target.ConvertToImage();
  ASSERT_TRUE(back.HasAlpha());
  EXPECT_EQ(back.GetAlpha(0, 0), 0);
  EXPECT_EQ(back.GetAlpha(1, 0), 255);
}

} // namespace
