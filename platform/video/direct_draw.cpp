#include "platform/video/direct_draw.h"

#include <algorithm>
#include <cstring>

#include "platform/clock.h"
#include "platform/video/presenter.h"

namespace platform::video {

uint32_t Clipper::Release() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

Palette::Palette(const PaletteEntry* entries) {
  std::copy(entries, entries + 256, entries_.begin());
}

uint32_t Palette::Release() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

Result Palette::SetEntries(int first, int count, const PaletteEntry* entries) {
  if (first < 0 || count < 0 || first + count > 256 || !entries) return kErrInvalidParams;
  std::copy(entries, entries + count, entries_.begin() + first);
  return kOk;
}

Result Palette::GetEntries(int first, int count, PaletteEntry* out) const {
  if (first < 0 || count < 0 || first + count > 256 || !out) return kErrInvalidParams;
  std::copy(entries_.begin() + first, entries_.begin() + first + count, out);
  return kOk;
}

DirectDraw::DirectDraw() : life_(std::make_shared<ObjectLife>()) {}

DirectDraw::~DirectDraw() { life_->released = true; }

uint32_t DirectDraw::Release() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

Result DirectDraw::Initialize() {
  if (initialized_) return kErrGeneric;
  initialized_ = true;
  return kOk;
}

Result DirectDraw::SetCooperativeLevel(WindowId window, uint32_t flags) {
  if (!initialized_) return kErrNotInitialized;
  const bool exclusive = (flags & kCoopExclusive) != 0;
  if (exclusive != ((flags & kCoopFullscreen) != 0)) return kErrInvalidParams;
  if (exclusive && !window) return kErrInvalidParams;
  if (!exclusive) mode_set_ = false;
  level_ = flags;
  window_ = window;
  return kOk;
}

Result DirectDraw::SetDisplayMode(int width, int height, int bits, int refresh) {
  if (!initialized_) return kErrNotInitialized;
  if (!full_screen()) return kErrWrongMode;
  const DisplayConfig& cfg = Config();
  const bool refresh_ok = refresh == 0 || refresh == cfg.refresh_hz;
  for (const DisplayMode& m : cfg.modes) {
    if (m.width == width && m.height == height && m.bits == bits && bits != 8 &&
        (m.refresh == 0 ? refresh_ok : m.refresh == refresh || refresh == 0)) {
      mode_ = {width, height, bits, refresh};
      mode_set_ = true;
      return kOk;
    }
  }
  return kErrInvalidMode;
}

Result DirectDraw::RestoreDisplayMode() {
  mode_set_ = false;
  return kOk;
}

Result DirectDraw::GetDisplayMode(int* width, int* height, PixelFormat* format) const {
  const DisplayConfig& cfg = Config();
  const bool fs = full_screen() && mode_set_;
  if (width) *width = fs ? mode_.width : cfg.desktop_width;
  if (height) *height = fs ? mode_.height : cfg.desktop_height;
  if (format) *format = DisplayFormatForBits(fs ? mode_.bits : cfg.desktop_bits);
  return kOk;
}

int DirectDraw::visible_height() const {
  return full_screen() && mode_set_ ? mode_.height : Config().desktop_height;
}

Result DirectDraw::CreateSurface(const SurfaceDesc& desc, Surface** out) {
  if (!out) return kErrInvalidParams;
  *out = nullptr;
  if (!initialized_) return kErrNotInitialized;
  if (desc.caps & kCapsOverlay) return kErrNoOverlayHardware;
  const DisplayConfig& cfg = Config();
  uint32_t caps = desc.caps;
  int width = desc.width;
  int height = desc.height;
  PixelFormat format;
  if (caps & kCapsPrimary) {
    if (primary_) return kErrGeneric;
    if (level_ == 0) return kErrWrongMode;
    GetDisplayMode(&width, &height, &format);
  } else if (caps & kCapsZBuffer) {
    format = desc.has_format ? desc.format : FormatZ16();
    if (!(format.flags & kPfZBuffer)) return kErrInvalidParams;
  } else {
    int w = 0, h = 0;
    GetDisplayMode(&w, &h, &format);
    if (desc.has_format) format = desc.format;
  }
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return kErrInvalidParams;
  if (format.flags & kPfFourCC) return kErrUnsupported;
  if (format.bits != 16 && format.bits != 32 && !(format.bits == 24 && (caps & kCapsPrimary))) {
    return kErrUnsupported;
  }
  const bool managed = (desc.caps2 & kCaps2TextureManage) != 0;
  if (!(caps & kCapsSystemMemory)) {
    caps |= kCapsVideoMemory;
    const uint64_t bytes = static_cast<uint64_t>((width * (format.bits / 8) + 3) & ~3u) *
                           static_cast<uint64_t>(height) *
                           (desc.back_buffer_count > 0 ? 2u : 1u);
    if (!managed && VideoMemoryUsed() + bytes > cfg.video_memory_bytes) {
      return kErrOutOfVideoMemory;
    }
  }
  const bool chain = (caps & kCapsPrimary) && desc.back_buffer_count > 0;
  if (chain && (!full_screen() || !(caps & kCapsFlip) || !(caps & kCapsComplex) ||
                desc.back_buffer_count != 1 || (caps & kCapsSystemMemory))) {
    return kErrInvalidParams;
  }
  Surface* s = new Surface(life_, this, desc, format, width, height, caps);
  if (chain) {
    SurfaceDesc back_desc;
    const uint32_t back_caps =
        kCapsBackBuffer | kCapsFlip | kCapsComplex | kCapsVideoMemory | (caps & kCaps3DDevice);
    s->back_ = new Surface(life_, this, back_desc, format, width, height, back_caps);
    s->back_->front_ = s;
  }
  if (caps & kCapsPrimary) primary_ = s;
  *out = s;
  return kOk;
}

Result DirectDraw::CreateClipper(Clipper** out) {
  if (!out) return kErrInvalidParams;
  *out = new Clipper();
  return kOk;
}

Result DirectDraw::CreatePalette(const PaletteEntry* entries, Palette** out) {
  if (!out || !entries) return kErrInvalidParams;
  *out = new Palette(entries);
  return kOk;
}

Result DirectDraw::GetDeviceIdentifier(DeviceIdentifier* out) const {
  if (!out) return kErrInvalidParams;
  const DisplayConfig& cfg = Config();
  out->driver = cfg.driver_name;
  out->description = cfg.driver_description;
  out->driver_version = cfg.driver_version;
  return kOk;
}

Result DirectDraw::GetAvailableVidMem(uint32_t* total, uint32_t* free) const {
  const uint32_t budget = Config().video_memory_bytes;
  if (total) *total = budget;
  if (free) *free = budget - std::min(budget, VideoMemoryUsed());
  return kOk;
}

// Polling the beam gives up the processor, as a poll of real hardware takes
// time; a manual clock's hook can advance time there.
Result DirectDraw::GetVerticalBlankStatus(bool* in_blank) const {
  CurrentClock().YieldProcessor();
  const bool blank = ReadBeam(visible_height()).in_blank;
  // A primary drawn into directly becomes visible at the blank.
  if (blank && primary_ && primary_->primary_dirty() && !Failed(primary_->IsLost())) {
    primary_->ShowIfPrimary();
  }
  if (in_blank) *in_blank = blank;
  return kOk;
}

Result DirectDraw::GetScanLine(int* line) const {
  CurrentClock().YieldProcessor();
  if (line) *line = ReadBeam(visible_height()).scan_line;
  return kOk;
}

Result DirectDraw::WaitForVerticalBlank() {
  CurrentClock().SleepNanoseconds(NanosecondsToNextBlank(visible_height()));
  if (primary_ && primary_->primary_dirty() && !Failed(primary_->IsLost())) {
    primary_->ShowIfPrimary();
  }
  return kOk;
}

Result CreateDirectDraw(DirectDraw** out) {
  if (!out) return kErrInvalidParams;
  *out = new DirectDraw();
  return kOk;
}

Result GdiCopy(Surface* dst, int x, int y, int width, int height, Surface* src, int src_x,
               int src_y) {
  if (!dst || !src) return kErrInvalidParams;
  if (Result r = dst->IsLost(); Failed(r)) return r;
  if (Result r = src->IsLost(); Failed(r)) return r;
  const PixelFormat& df = dst->format();
  const PixelFormat& sf = src->format();
  auto channel = [](uint32_t v, uint32_t mask) -> uint32_t {
    if (!mask) return 0;
    const int shift = __builtin_ctz(mask);
    const uint32_t max = mask >> shift;
    return ((v & mask) >> shift) * 255u / max;
  };
  auto pack = [](uint32_t c, uint32_t mask) -> uint32_t {
    if (!mask) return 0;
    const int shift = __builtin_ctz(mask);
    const uint32_t max = mask >> shift;
    return ((c * max + 127u) / 255u) << shift;
  };
  const bool same = SameFormat(df, sf);
  for (int row = 0; row < height; ++row) {
    const int sy = src_y + row, dy = y + row;
    if (sy < 0 || sy >= src->height() || dy < 0 || dy >= dst->height()) continue;
    for (int col = 0; col < width; ++col) {
      const int sx = src_x + col, dx = x + col;
      if (sx < 0 || sx >= src->width() || dx < 0 || dx >= dst->width()) continue;
      const uint32_t v = src->ReadPixel(sx, sy);
      if (same) {
        dst->WritePixel(dx, dy, v);
      } else {
        dst->WritePixel(dx, dy,
                        pack(channel(v, sf.red_mask), df.red_mask) |
                            pack(channel(v, sf.green_mask), df.green_mask) |
                            pack(channel(v, sf.blue_mask), df.blue_mask));
      }
    }
  }
  if (dst->is_primary()) dst->set_primary_dirty(true);
  return kOk;
}

}  // namespace platform::video
