// Decoding of the built-in PNG images from the arrays embedded at build time.
#include "app/builtin_images.h"

#include "support/debug_log.h"
#include "widgets/wx_bitmap.h"

#include <wx/image.h>
#include <wx/mstream.h>

#include <cstddef>

extern const unsigned char asset_logo_png[];
extern const std::size_t asset_logo_png_size;
extern const unsigned char asset_lock_png[];
extern const std::size_t asset_lock_png_size;
extern const unsigned char asset_icon_unarmed_png[];
extern const std::size_t asset_icon_unarmed_png_size;
extern const unsigned char asset_icon_asleep_png[];
extern const std::size_t asset_icon_asleep_png_size;
extern const unsigned char asset_icon_burning_hands_png[];
extern const std::size_t asset_icon_burning_hands_png_size;
extern const unsigned char asset_icon_shocking_grasp_png[];
extern const std::size_t asset_icon_shocking_grasp_png_size;
extern const unsigned char asset_icon_sickening_touch_png[];
extern const std::size_t asset_icon_sickening_touch_png_size;

trel_bitmap *logo_image = nullptr;
trel_bitmap *lock_icon_image = nullptr;
trel_bitmap *status_icon_images[STATUS_ICON_COUNT] = {nullptr};

// Returns a new bitmap owned by the caller, or nullptr when the data is not a PNG.
static trel_bitmap *decode_png(const char *name, const unsigned char *data, std::size_t size) {
  wxMemoryInputStream stream(data, size);
  wxImage image;
  if (!image.LoadFile(stream, wxBITMAP_TYPE_PNG)) {
    trel_client_debug_printf("Error in decode_builtin_images(), unable to decode image '%s'.\n",
                             name);
    return nullptr;
  }
  auto *bitmap = new trel_bitmap(image.GetWidth(), image.GetHeight());
  trel_bitmap_from_image(image, *bitmap);
  return bitmap;
}

int decode_builtin_images() {
  struct source {
    const char *name;
    const unsigned char *data;
    std::size_t size;
    trel_bitmap **slot;
  };
  const source sources[] = {
      {"logo", asset_logo_png, asset_logo_png_size, &logo_image},
      {"lock", asset_lock_png, asset_lock_png_size, &lock_icon_image},
      {"unarmed", asset_icon_unarmed_png, asset_icon_unarmed_png_size, &status_icon_images[0]},
      {"asleep", asset_icon_asleep_png, asset_icon_asleep_png_size, &status_icon_images[1]},
      {"burning hands", asset_icon_burning_hands_png, asset_icon_burning_hands_png_size,
       &status_icon_images[2]},
      {"shocking grasp", asset_icon_shocking_grasp_png, asset_icon_shocking_grasp_png_size,
       &status_icon_images[3]},
      {"sickening touch", asset_icon_sickening_touch_png, asset_icon_sickening_touch_png_size,
       &status_icon_images[4]},
  };
  int decoded = 0;
  for (const source &s : sources) {
    *s.slot = decode_png(s.name, s.data, s.size);
    if (*s.slot)
      decoded++;
  }
  return decoded;
}
