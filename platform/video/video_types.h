// Result codes, pixel formats, capabilities and rectangles of the in-memory
// display stand-in. Only the codes and flags the library tests are named.
#pragma once

#include <cstdint>

namespace platform::video {

using Result = int32_t;

constexpr Result kOk = 0;
constexpr Result kErrGeneric = static_cast<Result>(0x80004005u);
constexpr Result kErrInvalidParams = static_cast<Result>(0x80070057u);
constexpr Result kErrUnsupported = static_cast<Result>(0x80004001u);
constexpr Result kErrOutOfVideoMemory = static_cast<Result>(0x8876017Cu);
constexpr Result kErrSurfaceLost = static_cast<Result>(0x887601C2u);
constexpr Result kErrSurfaceBusy = static_cast<Result>(0x887601CCu);
constexpr Result kErrNotLocked = static_cast<Result>(0x887601E6u);
constexpr Result kErrWrongMode = static_cast<Result>(0x8876024Bu);
constexpr Result kErrNoOverlayHardware = static_cast<Result>(0x88760118u);
constexpr Result kErrInvalidMode = static_cast<Result>(0x88760078u);
constexpr Result kErrNotInitialized = static_cast<Result>(0x8876002Eu);
// Cooperative-level results that callers tolerate.
constexpr Result kErrHwndSubclassed = static_cast<Result>(0x8876023Au);
constexpr Result kErrHwndAlreadySet = static_cast<Result>(0x8876023Bu);
constexpr Result kErrExclusiveModeAlreadySet = static_cast<Result>(0x88760245u);

inline bool Failed(Result r) { return r < 0; }

// Pixel-format flags.
constexpr uint32_t kPfAlphaPixels = 0x1;
constexpr uint32_t kPfFourCC = 0x4;
constexpr uint32_t kPfRgb = 0x40;
constexpr uint32_t kPfZBuffer = 0x400;

struct PixelFormat {
  uint32_t flags = 0;
  uint32_t fourcc = 0;
  uint32_t bits = 0;  // bits per pixel (Z depth for a Z format)
  uint32_t red_mask = 0;
  uint32_t green_mask = 0;
  uint32_t blue_mask = 0;
  uint32_t alpha_mask = 0;
};

bool SameFormat(const PixelFormat& a, const PixelFormat& b);

// The formats the stand-in can hold.
PixelFormat Format565();
PixelFormat Format555();
PixelFormat FormatX8R8G8B8();
PixelFormat FormatA8R8G8B8();
PixelFormat FormatA4R4G4B4();
PixelFormat FormatA1R5G5B5();
PixelFormat FormatZ16();
// The display format of a colour depth: 16 -> 565, 32 -> X8R8G8B8.
PixelFormat DisplayFormatForBits(int bits);

constexpr uint32_t FourCC(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
         (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
         (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}

// Surface capabilities.
constexpr uint32_t kCapsBackBuffer = 0x4;
constexpr uint32_t kCapsComplex = 0x8;
constexpr uint32_t kCapsFlip = 0x10;
constexpr uint32_t kCapsOffscreenPlain = 0x40;
constexpr uint32_t kCapsOverlay = 0x80;
constexpr uint32_t kCapsPrimary = 0x200;
constexpr uint32_t kCapsSystemMemory = 0x800;
constexpr uint32_t kCapsTexture = 0x1000;
constexpr uint32_t kCaps3DDevice = 0x2000;
constexpr uint32_t kCapsVideoMemory = 0x4000;
constexpr uint32_t kCapsZBuffer = 0x20000;
// Second capability word.
constexpr uint32_t kCaps2TextureManage = 0x10;

// Lock flags.
constexpr uint32_t kLockWait = 0x1;
constexpr uint32_t kLockReadOnly = 0x10;
constexpr uint32_t kLockWriteOnly = 0x20;

// Blt flags.
constexpr uint32_t kBltColorFill = 0x400;
constexpr uint32_t kBltDepthFill = 0x2000000;
constexpr uint32_t kBltWait = 0x1000000;
// BltFast flags.
constexpr uint32_t kBltFastNoColorKey = 0x0;
constexpr uint32_t kBltFastSrcColorKey = 0x1;
constexpr uint32_t kBltFastWait = 0x10;
// Flip flags.
constexpr uint32_t kFlipWait = 0x1;
constexpr uint32_t kFlipNoVsync = 0x8;

// Cooperative levels.
constexpr uint32_t kCoopFullscreen = 0x1;
constexpr uint32_t kCoopNormal = 0x8;
constexpr uint32_t kCoopExclusive = 0x10;

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
};

Rect Intersect(const Rect& a, const Rect& b);

// An opaque window identity: the window layer maps it to its own window.
using WindowId = void*;

struct SurfaceDesc {
  uint32_t caps = 0;
  uint32_t caps2 = 0;
  int width = 0;   // 0: the screen size (primary only)
  int height = 0;
  bool has_format = false;
  PixelFormat format;
  int back_buffer_count = 0;
};

}  // namespace platform::video
