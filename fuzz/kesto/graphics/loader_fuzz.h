// Shared by the image fuzz targets: one loader over an input in memory, and
// a read of every pixel byte the loader claims, so a buffer smaller than
// its pitch and height shows up under the address sanitizer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "graphics/graphics_host.h"
#include "graphics/image_decoders.h"
#include "graphics/image_record.h"

inline void TouchEveryPixelByte(const ImageRecord& image) {
  volatile uint8_t sink = 0;
  const size_t bytes = static_cast<size_t>(image.pitch) * static_cast<size_t>(image.height);
  for (size_t i = 0; i < bytes; ++i) sink = sink ^ image.pixels[i];
  (void)sink;
}

inline int FuzzOneLoader(ImageLoader loader, const uint8_t* data, size_t size) {
  ClearGfxLogLines();
  auto stream = OpenImageMemoryStream(data, size);
  ImageRecord image{};
  if (loader(*stream, &image) == 0) {
    // The chain refuses records that fail the check; the loaders alone
    // must never make them.
    if (!IsImageRecordUsable(image)) std::abort();
    TouchEveryPixelByte(image);
    ReleaseImageRecord(&image);
  }
  return 0;
}
