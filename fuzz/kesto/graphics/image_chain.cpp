// The whole loader chain over arbitrary bytes, then conversion into the
// screen's 5-6-5 and a texture's 8-8-8-8 layouts, the image serving as its
// own alpha companion: bad format blocks would crash only there.
#include <vector>

#include "graphics/image_load.h"
#include "loader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ClearGfxLogLines();
  ImageRecord image{};
  if (LoadImageToRecord(nullptr, data, size, 1, 0, 0, &image, nullptr, nullptr) != 0) return 0;
  TouchClaimedPixels(image);
  ColorFormatBlock f565{}, f8888{};
  BuildColorFormatFromMasks(&f565.header, 16, 0xF800, 0x07E0, 0x1F, 0);
  BuildColorFormatFromMasks(&f8888.header, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u);
  // Keep the work per input small: convert at most a 64 x 64 corner.
  const int w = image.width < 64 ? image.width : 64;
  const int h = image.height < 64 ? image.height : 64;
  const platform::video::Rect rect{0, 0, w, h};
  std::vector<uint8_t> dst(static_cast<size_t>(w) * h * 4);
  const int flags = static_cast<int>(size & 7);
  ConvertPixelRect(dst.data(), w * 2, &f565, image.pixels, image.pitch, &image.format, nullptr,
                   0, nullptr, 0, 0, &rect, flags & 1, (flags >> 1) & 1, 0xFF00FF, flags >> 2, 0);
  ConvertPixelRect(dst.data(), w * 4, &f8888, image.pixels, image.pitch, &image.format,
                   image.pixels, image.pitch, &image.format, 0, 0, &rect, flags & 1,
                   (flags >> 1) & 1, 0xFF00FF, flags >> 2, flags & 1);
  ReleaseImageRecord(&image);
  return 0;
}
