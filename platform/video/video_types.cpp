#include "platform/video/video_types.h"

#include <algorithm>

namespace platform::video {
namespace {
PixelFormat Rgb(uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  PixelFormat f;
  f.flags = kPfRgb | (a ? kPfAlphaPixels : 0);
  f.bits = bits;
  f.red_mask = r;
  f.green_mask = g;
  f.blue_mask = b;
  f.alpha_mask = a;
  return f;
}
}  // namespace

bool SameFormat(const PixelFormat& a, const PixelFormat& b) {
  if ((a.flags & kPfFourCC) || (b.flags & kPfFourCC)) return a.fourcc == b.fourcc;
  return a.bits == b.bits && a.red_mask == b.red_mask && a.green_mask == b.green_mask &&
         a.blue_mask == b.blue_mask && a.alpha_mask == b.alpha_mask &&
         (a.flags & kPfZBuffer) == (b.flags & kPfZBuffer);
}

PixelFormat Format565() { return Rgb(16, 0xF800, 0x07E0, 0x001F, 0); }
PixelFormat Format555() { return Rgb(16, 0x7C00, 0x03E0, 0x001F, 0); }
PixelFormat FormatX8R8G8B8() { return Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0); }
PixelFormat FormatA8R8G8B8() { return Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u); }
PixelFormat FormatA4R4G4B4() { return Rgb(16, 0x0F00, 0x00F0, 0x000F, 0xF000); }
PixelFormat FormatA1R5G5B5() { return Rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000); }
PixelFormat FormatZ16() {
  PixelFormat f;
  f.flags = kPfZBuffer;
  f.bits = 16;
  return f;
}

PixelFormat DisplayFormatForBits(int bits) {
  switch (bits) {
    case 16: return Format565();
    case 24: return Rgb(24, 0xFF0000, 0xFF00, 0xFF, 0);
    case 32: return FormatX8R8G8B8();
    default: {
      PixelFormat f;
      f.flags = kPfRgb;
      f.bits = static_cast<uint32_t>(bits);
      return f;
    }
  }
}

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

}  // namespace platform::video
