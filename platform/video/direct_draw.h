// The DirectDraw-like object: cooperative level, display mode, surface
// creation with video-memory placement, clipper, palette, blank and scan line,
// device identifier. Created through CreateDirectDraw (the class registry of
// the original platform reduced to one factory).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/video/display.h"
#include "platform/video/surface.h"
#include "platform/video/video_types.h"

namespace platform::video {

// Shared between an object and its surfaces: once the object is released,
// every surface it made fails with kErrSurfaceLost.
struct ObjectLife {
  bool released = false;
};

class Clipper {
 public:
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();
  Result SetWindow(WindowId window) {
    window_ = window;
    bound_ = true;
    return kOk;
  }
  WindowId window() const { return window_; }
  bool bound() const { return bound_; }

 private:
  uint32_t refs_ = 1;
  WindowId window_ = nullptr;
  bool bound_ = false;
};

struct PaletteEntry {
  uint8_t red, green, blue, flags;
};

class Palette {
 public:
  explicit Palette(const PaletteEntry* entries);
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();
  Result SetEntries(int first, int count, const PaletteEntry* entries);
  Result GetEntries(int first, int count, PaletteEntry* out) const;

 private:
  uint32_t refs_ = 1;
  std::array<PaletteEntry, 256> entries_{};
};

struct DeviceIdentifier {
  std::string driver;
  std::string description;
  uint64_t driver_version = 0;
};

class DirectDraw {
 public:
  DirectDraw();
  ~DirectDraw();
  DirectDraw(const DirectDraw&) = delete;
  DirectDraw& operator=(const DirectDraw&) = delete;

  uint32_t AddRef() { return ++refs_; }
  // The last release marks every surface of this object dead.
  uint32_t Release();

  Result Initialize();
  Result SetCooperativeLevel(WindowId window, uint32_t flags);
  uint32_t cooperative_level() const { return level_; }
  // Full screen only (exclusive level); refused for modes not offered.
  Result SetDisplayMode(int width, int height, int bits, int refresh);
  Result RestoreDisplayMode();
  // The set mode in full screen, the desktop otherwise.
  Result GetDisplayMode(int* width, int* height, PixelFormat* format) const;

  Result CreateSurface(const SurfaceDesc& desc, Surface** out);
  Result CreateClipper(Clipper** out);
  Result CreatePalette(const PaletteEntry* entries, Palette** out);

  Result GetDeviceIdentifier(DeviceIdentifier* out) const;
  Result GetAvailableVidMem(uint32_t* total, uint32_t* free) const;

  Result GetVerticalBlankStatus(bool* in_blank) const;
  Result GetScanLine(int* line) const;
  // Sleeps until the next blank begins, then shows a primary that was
  // written directly.
  Result WaitForVerticalBlank();

  bool full_screen() const { return (level_ & kCoopExclusive) != 0; }
  bool mode_set() const { return mode_set_; }
  // Height of what the beam scans: the mode in full screen, else the desktop.
  int visible_height() const;
  Surface* primary() const { return primary_; }
  void ForgetPrimary(Surface* s) {
    if (primary_ == s) primary_ = nullptr;
  }

 private:
  uint32_t refs_ = 1;
  std::shared_ptr<ObjectLife> life_;
  bool initialized_ = false;
  uint32_t level_ = 0;
  WindowId window_ = nullptr;
  bool mode_set_ = false;
  DisplayMode mode_{};
  Surface* primary_ = nullptr;  // weak
};

// Creates an object (nullptr result with an error when the display refuses).
Result CreateDirectDraw(DirectDraw** out);

// Copies pixels between two surfaces through the stand-in's device
// contexts, converting through the channel masks when formats differ.
Result GdiCopy(Surface* dst, int x, int y, int width, int height, Surface* src, int src_x,
               int src_y);

}  // namespace platform::video
