#include "render/render_frame.h"

#include "graphics/color_format.h"
#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/present.h"
#include "graphics/screen.h"

namespace render {

using platform::video::Rect;
using platform::video::Surface;

namespace {

uint32_t Above(int shift, int width) { return shift + width < 32 ? 1u << (shift + width) : 0u; }

int ShiftOf(uint32_t mask) {
  if (mask == 0) return 0;
  int s = 0;
  while (!(mask & 1u)) {
    mask >>= 1;
    ++s;
  }
  return s;
}

int WidthOf(uint32_t mask) {
  int w = 0;
  for (; mask; mask &= mask - 1) ++w;
  return w;
}

Layout FromMasks(int cls, uint32_t red, uint32_t green, uint32_t blue) {
  Layout l;
  l.format_class = cls;
  l.red_mask = red;
  l.green_mask = green;
  l.blue_mask = blue;
  l.red_shift = ShiftOf(red);
  l.green_shift = ShiftOf(green);
  l.blue_shift = ShiftOf(blue);
  l.red_width = WidthOf(red);
  l.green_width = WidthOf(green);
  l.blue_width = WidthOf(blue);
  l.carry = Above(l.red_shift, l.red_width) | Above(l.green_shift, l.green_width) |
            Above(l.blue_shift, l.blue_width);
  l.keep = (red | green | blue) & ~l.carry;
  l.low = (1u << l.red_shift) | (1u << l.green_shift) | (1u << l.blue_shift);
  return l;
}

}  // namespace

Layout Layout565() { return FromMasks(0, 0xF800, 0x07E0, 0x001F); }
Layout Layout555() { return FromMasks(1, 0x7C00, 0x03E0, 0x001F); }
Layout Layout8888() { return FromMasks(2, 0xFF0000, 0xFF00, 0xFF); }

Layout Layout16FromMasks(uint32_t red, uint32_t green, uint32_t blue) {
  if (red == 0xF800 && green == 0x07E0 && blue == 0x1F) return Layout565();
  if (red == 0x7C00 && green == 0x03E0 && blue == 0x1F) return Layout555();
  return FromMasks(3, red, green, blue);
}

ScreenInfo CurrentScreen() {
  ScreenInfo info;
  info.bits = GetScreenColorBits();
  info.width = Screen().width;
  info.height = Screen().height;
  if (info.bits == 32) {
    info.layout = Layout8888();
  } else {
    const ColorFormatHeader& h = ScreenFormat().block.header;
    info.layout = Layout16FromMasks(h.red_mask, h.green_mask, h.blue_mask);
  }
  return info;
}

bool PackedRegisterLoops() { return DDState().cpu_probe_flag; }
bool GdiCopyPreferred() { return GetPresentState().bitblt_preferred; }

// There is no mask screen in this library: drawing always goes to the
// selected draw target.
Surface* DestinationSurface() {
  if (GetDrawState().target_invalid) return nullptr;
  return GetDrawTargetSurface();
}

bool DestinationInVideoMemory() { return GetDrawState().target_in_video_memory != 0; }
Surface* DestinationWorkSurface() { return GetWorkSurface(1); }
Surface* SourceWorkSurface() { return GetWorkSurface(2); }

Rect DrawBounds(const Surface* dest) {
  const DrawState& st = GetDrawState();
  Rect b = st.area;
  const int ox = st.front_screen_rect.left, oy = st.front_screen_rect.top;
  ClipRect(&b, Rect{-ox, -oy, dest->width() - ox, dest->height() - oy});
  return b;
}

int OffsetX() { return GetDrawState().front_screen_rect.left; }
int OffsetY() { return GetDrawState().front_screen_rect.top; }

bool FindPart(int surface2d, SourcePart* out) {
  Surface2D* part = GetSurface2D(surface2d);
  if (!part) return false;
  SurfaceRecord* record = GetSurfaceRecord(part->surface_record);
  if (!record || !record->surface) return false;
  out->part = part;
  out->record = record;
  return true;
}

bool FindGraphicPart(const GraphicRecord* graphic, SourcePart* out) {
  if (!graphic || graphic->part_count < 1) return false;
  return FindPart(graphic->parts[0], out);
}

uint32_t ColorKeyOf(const SurfaceRecord& record, int bits) {
  if (bits == 8) return 0;
  const uint32_t c = record.transparent_color;
  return static_cast<uint32_t>(PackRgbColorBody((c >> 16) & 255, (c >> 8) & 255, c & 255));
}

uint32_t BrightenedFillColor(int color, int brightness) {
  int r = 0, g = 0, b = 0;
  GetColorComponents(color, &r, &g, &b);
  const uint32_t v = static_cast<uint32_t>(brightness);
  r = r * static_cast<int>((v >> 16) & 255) / 255;
  g = g * static_cast<int>((v >> 8) & 255) / 255;
  b = b * static_cast<int>(v & 255) / 255;
  return static_cast<uint32_t>(PackRgbColorBody(r, g, b));
}

bool LockSet::Lock(Surface* s, uint32_t flags, uint8_t** pixels, int* pitch) {
  if (!s || platform::video::Failed(s->Lock(nullptr, flags, pixels, pitch))) return false;
  held_[count_++] = s;
  return true;
}

void LockSet::Release() {
  for (int i = 0; i < count_; ++i) held_[i]->Unlock();
  count_ = 0;
}

void LogLockFailure(const char* surface, const char* blitter) {
  GfxLog("%sのロックに失敗しました in %s ", surface, blitter);
}

bool LockDrawSurfaces(LockSet& locks, const char* blitter, uint32_t read_flags,
                      platform::video::Surface* dest, uint8_t** dp, int* dpitch,
                      platform::video::Surface* source, uint8_t** sp, int* spitch,
                      platform::video::Surface* work, uint8_t** wp, int* wpitch) {
  const char* failed = nullptr;
  if (!locks.Lock(dest, platform::video::kLockWait, dp, dpitch)) {
    failed = "転送先サーフェス";
  } else if (!locks.Lock(source, read_flags, sp, spitch)) {
    failed = "転送元サーフェス１";
  } else if (work && !locks.Lock(work, read_flags, wp, wpitch)) {
    failed = "転送元サーフェス２";
  }
  if (!failed) return true;
  SyncRenderStatesStub();
  locks.Release();
  LogLockFailure(failed, blitter);
  return false;
}

}  // namespace render
