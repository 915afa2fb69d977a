// The library's raw format: "BGRA", a channel code (8 or 16 bits a
// channel), width and height, then the pixels top down, blue, green, red,
// alpha. The image is always 32 bits with alpha.
#include <cstring>
#include <vector>

#include "graphics/decode_bytes.h"
#include "graphics/image_decoders.h"
#include "graphics/image_record.h"

namespace {
constexpr uint32_t kEightBitChannels = 0x08080808u;
constexpr uint32_t kSixteenBitChannels = 0x10101010u;
}  // namespace

int LoadBgraImage(ImageStream& s, ImageRecord* image) {
  uint8_t header[16];
  if (!s.ReadExact(header, 16) || std::memcmp(header, "BGRA", 4) != 0) return -1;
  const uint32_t channels = ReadLe32(header + 4);
  if (channels != kEightBitChannels && channels != kSixteenBitChannels) return -1;
  const int64_t width = ReadLe32(header + 8), height = ReadLe32(header + 12);
  if (!ImageSizeAllowed(width, height, width * 4)) return -1;
  const uint64_t in_bytes = static_cast<uint64_t>(width * height) * (channels == kEightBitChannels ? 4 : 8);
  // A file too short for its picture is refused before anything is allocated.
  if (static_cast<uint64_t>(s.Remaining()) < in_bytes) return -1;
  const uint64_t bytes = static_cast<uint64_t>(width * height) * 4;
  uint8_t* pixels = AllocImagePixels(bytes, kGraphicsSource);
  if (!pixels) return -1;
  bool ok = true;
  if (channels == kEightBitChannels) {
    ok = s.ReadExact(pixels, static_cast<size_t>(bytes));
  } else {
    // Each channel a little-endian u16 of which the high byte is kept.
    std::vector<uint8_t> row(static_cast<size_t>(width) * 8);
    for (int64_t y = 0; ok && y < height; ++y) {
      ok = s.ReadExact(row.data(), row.size());
      uint8_t* out = pixels + y * width * 4;
      for (int64_t i = 0; ok && i < width * 4; ++i) out[i] = row[static_cast<size_t>(i) * 2 + 1];
    }
  }
  if (!ok) {
    FreeImagePixels(pixels);
    return -1;
  }
  SetArgb32ImageFormat(&image->format.header);
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->pitch = static_cast<int>(width * 4);
  image->pixels = pixels;
  return 0;
}
