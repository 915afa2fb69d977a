// What every software blitter reads of the graphics layer before its loops,
// and the locks it holds for one call (released on every way out).
#pragma once

#include <cstdint>

#include "graphics/surface_2d.h"
#include "graphics/surface_record.h"
#include "platform/video/surface.h"
#include "render/pixel_ops.h"

struct GraphicRecord;

namespace render {

// The screen as the loops see it.
struct ScreenInfo {
  int bits = 0;
  int width = 0;   // the stored settings (0 stands for 640 x 480)
  int height = 0;
  Layout layout;   // the 16-bit layout, or the fixed 32-bit one
};
ScreenInfo CurrentScreen();

// The processor's packed-register flag as start-up recorded it.
bool PackedRegisterLoops();
// Surface copies go through the device contexts (measured at mode switch).
bool GdiCopyPreferred();

// The surface drawing goes to, or null when no target is usable.
platform::video::Surface* DestinationSurface();
bool DestinationInVideoMemory();
platform::video::Surface* DestinationWorkSurface();
platform::video::Surface* SourceWorkSurface();

// The draw area, cut to what the destination's memory holds (in draw
// coordinates, before the front-buffer offset).
platform::video::Rect DrawBounds(const platform::video::Surface* dest);
// The front-buffer offset added to every destination position.
int OffsetX();
int OffsetY();

// A graphic's first part and its surface record; false when either is gone.
struct SourcePart {
  Surface2D* part = nullptr;
  SurfaceRecord* record = nullptr;
  // A record that claims an alpha plane it does not hold is drawn without one.
  bool has_alpha() const {
    return record->settings.alpha_channel != 0 && record->alpha_buffer != nullptr;
  }
  bool in_system_memory() const { return record->settings.system_memory != 0; }
};
bool FindPart(int surface2d, SourcePart* out);
bool FindGraphicPart(const GraphicRecord* graphic, SourcePart* out);

// The record's transparent colour packed for the screen (0 at 8 bits).
uint32_t ColorKeyOf(const SurfaceRecord& record, int bits);

// The fill colour c': split to 0-255, scaled by the brightness, packed again.
uint32_t BrightenedFillColor(int color, int brightness);

// Locks taken in order and released in the same order on destruction.
class LockSet {
 public:
  LockSet() = default;
  LockSet(const LockSet&) = delete;
  LockSet& operator=(const LockSet&) = delete;
  ~LockSet() { Release(); }
  // Locks the whole surface; false (nothing held for it) on failure.
  bool Lock(platform::video::Surface* s, uint32_t flags, uint8_t** pixels, int* pitch);
  void Release();

 private:
  platform::video::Surface* held_[3] = {nullptr, nullptr, nullptr};
  int count_ = 0;
};

// "<surface>のロックに失敗しました in <blitter> ".
void LogLockFailure(const char* surface, const char* blitter);

// Locks a draw's destination (for writing), its source and, when `work` is
// given, the work copy of the destination (both with `read_flags`), in that
// order. On a failure the render states are synced, everything is released,
// the failed lock is logged for `blitter` and false returned.
bool LockDrawSurfaces(LockSet& locks, const char* blitter, uint32_t read_flags,
                      platform::video::Surface* dest, uint8_t** dp, int* dpitch,
                      platform::video::Surface* source, uint8_t** sp, int* spitch,
                      platform::video::Surface* work, uint8_t** wp, int* wpitch);

}  // namespace render
