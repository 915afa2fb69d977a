// Shared by the image fuzz targets: one loader over an input in memory, and
// a read of the pixel bytes the loader claims, so a buffer smaller than
// its pitch and height shows up under the address sanitizer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "graphics/graphics_host.h"
#include "graphics/image_decoders.h"
#include "graphics/image_record.h"

// Pixel buffers are allocated at their exact size, so reading the first and
// the last byte the record claims is enough for the address sanitizer.
inline void TouchClaimedPixels(const ImageRecord& image) {
  volatile uint8_t sink = 0;
  const size_t bytes = static_cast<size_t>(image.pitch) * static_cast<size_t>(image.height);
  sink = static_cast<uint8_t>(image.pixels[0] ^ image.pixels[bytes - 1]);
  (void)sink;
}

inline int FuzzOneLoader(ImageLoader loader, const uint8_t* data, size_t size) {
  ClearGfxLogLines();
  auto stream = OpenImageMemoryStream(data, size);
  ImageRecord image{};
  if (stream && loader(*stream, &image) == 0) {
    // The chain refuses records that fail the check; the loaders alone
    // must never make them.
    if (!IsImageRecordUsable(image)) std::abort();
    TouchClaimedPixels(image);
    ReleaseImageRecord(&image);
  }
  return 0;
}
