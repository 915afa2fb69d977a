#include "core/pause_picture.h"

#include <algorithm>
#include <bit>

#include "core/window_state.h"
#include "graphics/screen.h"
#include "platform/gdi/dib.h"
#include "platform/video/direct_draw.h"
#include "platform/video/surface.h"

namespace pv = platform::video;

namespace {

uint32_t Channel(uint32_t value8, uint32_t mask) {
  if (!mask) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  return ((value8 >> (8 - std::min(bits, 8))) << shift) & mask;
}

uint32_t Pack(uint32_t rgb, const pv::PixelFormat& f) {
  return Channel((rgb >> 16) & 0xFF, f.red_mask) | Channel((rgb >> 8) & 0xFF, f.green_mask) |
         Channel(rgb & 0xFF, f.blue_mask);
}

}  // namespace

int DrawPauseGraphic() {
  const WindowCoreState& s = CoreState();
  const platform::gdi::DibSection* picture = s.pause_picture;
  pv::DirectDraw* dd = GetDirectDrawObject();
  pv::Surface* primary = GetPrimarySurface();
  if (!picture || !dd || !primary) return 0;
  pv::SurfaceDesc desc;
  desc.caps = pv::kCapsOffscreenPlain | pv::kCapsSystemMemory;
  desc.width = picture->width();
  desc.height = picture->height();
  desc.has_format = true;
  desc.format = primary->format();
  pv::Surface* copy = nullptr;
  if (pv::Failed(dd->CreateSurface(desc, &copy)) || !copy) return 0;
  for (int y = 0; y < picture->height(); ++y) {
    for (int x = 0; x < picture->width(); ++x) {
      copy->WritePixel(x, y, Pack(picture->GetPixel(x, y), desc.format));
    }
  }
  // The visible area: the client area of a window, else the whole screen.
  int left = 0, top = 0, width = 0, height = 0;
  GetScreenResolution(&width, &height);
  if (s.kept.window_mode) {
    left = s.client_left;
    top = s.client_top;
    width = s.client_right - s.client_left;
    height = s.client_bottom - s.client_top;
  }
  primary->BltFast(left + (width - picture->width()) / 2, top + (height - picture->height()) / 2,
                   copy, nullptr, pv::kBltFastWait);
  copy->Release();
  return 0;
}

int DeletePauseGraphic() {
  WindowCoreState& s = CoreState();
  delete s.pause_picture;
  s.pause_picture = nullptr;
  return 0;
}
