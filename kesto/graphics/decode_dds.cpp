// DirectDraw surface files: "DDS" and the 124-byte surface description;
// only uncompressed RGB pictures with an alpha-pixels flag are read, top
// level only. Block-compressed (four-character-code) pictures are refused:
// no decoder for them exists here.
#include <cstring>

#include "graphics/decode_bytes.h"
#include "graphics/image_decoders.h"
#include "graphics/image_record.h"

namespace {
constexpr uint32_t kDescriptionSize = 124;
constexpr uint32_t kPixelFormatSize = 32;
constexpr uint32_t kPitchFlag = 0x8;
constexpr uint32_t kRgbWithAlpha = 0x41;  // RGB | alpha pixels
constexpr uint32_t kFourCCFlag = 0x4;
}  // namespace

int LoadDdsImage(ImageStream& s, ImageRecord* image) {
  uint8_t magic[4];
  if (!s.ReadExact(magic, 4) || std::memcmp(magic, "DDS", 3) != 0) return -1;
  uint8_t d[kDescriptionSize];
  if (!s.ReadExact(d, sizeof d)) return -1;
  if (ReadLe32(d) != kDescriptionSize || ReadLe32(d + 72) != kPixelFormatSize) return -1;
  const uint32_t flags = ReadLe32(d + 4);
  const int64_t height = ReadLe32(d + 8), width = ReadLe32(d + 12);
  const uint32_t pf_flags = ReadLe32(d + 76);
  const uint32_t bits = ReadLe32(d + 84);
  if ((pf_flags & kRgbWithAlpha) != kRgbWithAlpha || (pf_flags & kFourCCFlag)) return -1;
  if (bits != 16 && bits != 32) return -1;
  ColorFormatHeader& f = image->format.header;
  BuildColorFormatFromMasks(&f, static_cast<int>(bits), ReadLe32(d + 88), ReadLe32(d + 92),
                            ReadLe32(d + 96), ReadLe32(d + 100));
  const int64_t row = width * (bits / 8);
  const int64_t pitch = (flags & kPitchFlag) ? static_cast<int64_t>(ReadLe32(d + 16)) : row;
  if (pitch < row || !ImageSizeAllowed(width, height, pitch)) return -1;
  const uint64_t bytes = static_cast<uint64_t>(pitch) * height;
  if (static_cast<uint64_t>(s.Remaining()) < bytes) return -1;
  uint8_t* pixels = AllocImagePixels(bytes, kGraphicsSource);
  if (!pixels) return -1;
  if (!s.ReadExact(pixels, static_cast<size_t>(bytes))) {
    FreeImagePixels(pixels);
    return -1;
  }
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->pitch = static_cast<int>(pitch);
  image->pixels = pixels;
  // The masks come from the file: ones that leave the pixel or have gaps
  // are refused.
  if (!IsImageRecordUsable(*image)) {
    ReleaseImageRecord(image);
    return -1;
  }
  return 0;
}
