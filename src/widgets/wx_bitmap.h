// Conversions between trel_bitmap and the toolkit's images and bitmaps: the
// one place where a pane's pixels meet the display.
#pragma once
#include <wx/bitmap.h>
#include <wx/image.h>

#include "widgets/bitmap.h"

// Resizes out to the image's size and copies its colours and alpha (255 where
// the image has no alpha). Returns false, leaving out unchanged, for an
// invalid image.
bool trel_bitmap_from_image(const wxImage &image, trel_bitmap &out);

// A toolkit bitmap with the same pixels, ready to be drawn on a device
// context: 24-bit when every pixel is opaque, else 32-bit with alpha. An
// empty bitmap gives an invalid wxBitmap.
wxBitmap trel_bitmap_to_wx(const trel_bitmap &bitmap);

// The same into an existing toolkit bitmap, which is refilled in place when
// it already has the size (and is opaque, 24-bit) and replaced otherwise; a
// pane that keeps one between paints saves the allocation. Returns false,
// leaving target invalid, for an empty bitmap or when the toolkit gives no
// pixel access (reported).
bool trel_bitmap_copy_to_wx(const trel_bitmap &bitmap, wxBitmap &target);
