// The seven images compiled into the program: the logo, the lock icon and the
// five status icons, decoded once at start-up and kept for the process's life.
#pragma once
#include "widgets/bitmap.h"

constexpr int STATUS_ICON_COUNT = 5;

extern trel_bitmap *logo_image;
extern trel_bitmap *lock_icon_image;
extern trel_bitmap *status_icon_images[STATUS_ICON_COUNT];

// Decodes all seven through the PNG handler; returns how many decoded.
int decode_builtin_images();
