// Filled boxes, lines and box outlines in one colour: a DirectDraw colour
// fill where nothing is blended, else the locked target pixel by pixel. A
// failed lock here ends the program.
#include <cstddef>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "core/text_helpers.h"
#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "graphics/software_draw_services.h"
#include "render/render_frame.h"
#include "render/solid_loops.h"

using platform::video::Rect;
using platform::video::Surface;
namespace pv = platform::video;
using namespace render;

namespace {

bool Within(const Surface* s, const Rect& r) {
  return s && r.left >= 0 && r.top >= 0 && r.right <= s->width() && r.bottom <= s->height();
}

SolidChoice ChoiceFor(const DrawState& st, int color) {
  SolidChoice c;
  c.mode = st.blend_mode;
  c.param = st.blend_param;
  c.fill = BrightenedFillColor(color, st.brightness);
  c.color = static_cast<uint32_t>(color);
  return c;
}

}  // namespace

int G_DDraw_DrawFillBox(int x1, int y1, int x2, int y2, int color) {
  FlushCurrentVertexBatch();
  Surface* dest = DestinationSurface();
  if (!GetDirectDrawObject() || !dest) return -1;
  EndSceneIfBegun();
  const DrawState& st = GetDrawState();
  const SolidChoice c = ChoiceFor(st, color);
  Rect r{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  ClipRect(&r, st.area);
  const int ox = st.front_screen_rect.left, oy = st.front_screen_rect.top;
  // Never outside the destination's memory, whatever the draw area says.
  ClipRect(&r, Rect{-ox, -oy, dest->width() - ox, dest->height() - oy});
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return 0;
  const Rect target{r.left + ox, r.top + oy, r.right + ox, r.bottom + oy};
  const ScreenInfo screen = CurrentScreen();
  auto colour_fill = [&] {
    dest->Blt(&target, nullptr, nullptr, pv::kBltColorFill, c.fill);
    return 0;
  };
  if (c.mode == 0 || screen.bits == 8) return colour_fill();

  Surface* work = DestinationWorkSurface();
  const bool copy = DestinationInVideoMemory() && Within(work, r);
  if (copy) BlitSurfaceToSurface(work, dest, r.left, r.top, target, -1);
  LockSet locks;
  uint8_t *dp = nullptr, *wp = nullptr;
  int dpitch = 0, wpitch = 0;
  if (!locks.Lock(dest, pv::kLockWait, &dp, &dpitch)) {
    GfxFatal("転送先サーフェスのロックに失敗しました in G_DDraw_DrawFillBox ");
  }
  if (copy && !locks.Lock(work, pv::kLockWait, &wp, &wpitch)) {
    locks.Release();
    GfxFatal("転送元サーフェスのロックに失敗しました in G_DDraw_DrawFillBox ");
  }
  if (c.mode == 1 && (c.param & 255) == 255) {
    locks.Release();
    return colour_fill();
  }
  const int bpp = screen.bits / 8;
  uint8_t* out = dp + static_cast<ptrdiff_t>(target.top) * dpitch +
                 static_cast<ptrdiff_t>(target.left) * bpp;
  const uint8_t* read = copy ? wp + static_cast<ptrdiff_t>(r.top) * wpitch +
                                   static_cast<ptrdiff_t>(r.left) * bpp
                             : out;
  BlendSolidRows(SolidKind::kBox, screen.bits, screen.layout, c, out, dpitch, read,
                 copy ? wpitch : dpitch, width, height);
  return 0;
}

int G_DDraw_DrawLine(int x1, int y1, int x2, int y2, int color) {
  FlushCurrentVertexBatch();
  const DrawState& st = GetDrawState();
  const Rect area = st.area;
  const bool x_in = (x1 >= area.left && x1 < area.right) || (x2 >= area.left && x2 < area.right);
  const bool y_in = (y1 >= area.top && y1 < area.bottom) || (y2 >= area.top && y2 < area.bottom);
  if (!x_in && !y_in) return 0;
  Surface* dest = DestinationSurface();
  if (!GetDirectDrawObject() || !dest) return -1;
  EndSceneIfBegun();
  const SolidChoice c = ChoiceFor(st, color);

  // The line equations from the unclipped endpoints.
  const double kx = y1 == y2 ? 0.0 : (static_cast<double>(x2) - x1) / (static_cast<double>(y2) - y1);
  const double cx = x1 - kx * y1;
  const double ky = x1 == x2 ? 0.0 : (static_cast<double>(y2) - y1) / (static_cast<double>(x2) - x1);
  const double cy = y1 - ky * x1;
  if (area.left > std::max(x1, x2) || area.top > std::max(y1, y2) ||
      area.right <= std::min(x1, x2) || area.bottom <= std::min(y1, y2)) {
    return 0;
  }
  const int ox = st.front_screen_rect.left, oy = st.front_screen_rect.top;
  // Clipping bounds: the area, kept inside the destination's memory.
  Rect b = area;
  ClipRect(&b, Rect{-ox, -oy, dest->width() - ox, dest->height() - oy});
  if (b.right <= b.left || b.bottom <= b.top) return 0;
  const int left = b.left, top = b.top, right = b.right, bottom = b.bottom;
  auto ry = [&](double x) { return RoundDoubleToInt(ky * x + cy); };
  auto rx = [&](double y) { return RoundDoubleToInt(kx * y + cx); };
  if (left > x1) x1 = left, y1 = ry(left);
  if (right <= x1) x1 = right - 1, y1 = ry(right - 1.0);
  if (left > x2) x2 = left - 1, y2 = ry(left - 1.0);
  if (right <= x2) x2 = right, y2 = ry(right);
  if (top > y1) y1 = top, x1 = rx(top);
  if (bottom <= y1) y1 = bottom - 1, x1 = rx(bottom - 1.0);
  if (top > y2) y2 = top - 1, x2 = rx(top - 1.0);
  if (bottom <= y2) y2 = bottom, x2 = rx(bottom);
  x1 = std::clamp(x1, left, right - 1);
  x2 = std::clamp(x2, left - 1, right);
  y1 = std::clamp(y1, top, bottom - 1);
  y2 = std::clamp(y2, top - 1, bottom);
  int dx = x2 - x1, dy = y2 - y1;
  if (dx == 0 && dy == 0) return 0;
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  dx = std::abs(dx);
  dy = std::abs(dy);
  const bool x_major = dx >= dy;
  const int n = x_major ? dx : dy;
  const int last_minor = static_cast<int>(int64_t{n - 1} * (x_major ? dy : dx) / n);
  const int lx = x1 + sx * (x_major ? n - 1 : last_minor);
  const int ly = y1 + sy * (x_major ? last_minor : n - 1);
  const Rect span{std::min(x1, lx), std::min(y1, ly), std::max(x1, lx) + 1,
                  std::max(y1, ly) + 1};

  const ScreenInfo screen = CurrentScreen();
  Surface* work = DestinationWorkSurface();
  const bool copy = c.mode != 0 && screen.bits != 8 && DestinationInVideoMemory() &&
                    Within(work, span);
  if (copy) {
    BlitSurfaceToSurface(work, dest, span.left, span.top,
                         Rect{span.left + ox, span.top + oy, span.right + ox, span.bottom + oy},
                         -1);
  }
  LockSet locks;
  uint8_t *dp = nullptr, *wp = nullptr;
  int dpitch = 0, wpitch = 0;
  if (!locks.Lock(dest, pv::kLockWait, &dp, &dpitch)) {
    GfxFatal("転送先サーフェスのロックに失敗しました in G_DDraw_DrawLine ");
  }
  if (copy && !locks.Lock(work, pv::kLockWait, &wp, &wpitch)) {
    locks.Release();
    GfxFatal("転送元サーフェスのロックに失敗しました in G_DDraw_DrawLine");
  }
  const int bpp = screen.bits / 8;
  uint8_t* out = dp + static_cast<ptrdiff_t>(y1 + oy) * dpitch +
                 static_cast<ptrdiff_t>(x1 + ox) * bpp;
  const uint8_t* read =
      copy ? wp + static_cast<ptrdiff_t>(y1) * wpitch + static_cast<ptrdiff_t>(x1) * bpp : out;
  const int rpitch = copy ? wpitch : dpitch;
  LineWalk w;
  w.count = n;
  w.major = n;
  w.minor = x_major ? dy : dx;
  w.dst_major = x_major ? sx * bpp : sy * dpitch;
  w.dst_minor = x_major ? sy * dpitch : sx * bpp;
  w.read_major = x_major ? sx * bpp : sy * rpitch;
  w.read_minor = x_major ? sy * rpitch : sx * bpp;
  SolidChoice lc = c;
  if (lc.mode == 1 && (lc.param & 255) == 255) lc.mode = 0;  // c' written pixel by pixel
  if (screen.bits == 8 || screen.bits == 16 || screen.bits == 32) {
    BlendSolidLine(screen.bits, screen.layout, lc, out, read, w);
  }
  return 0;
}

int G_DDraw_DrawBoxOutline(int x1, int y1, int x2, int y2, int color) {
  if (!GetDirectDrawObject()) return -1;
  EndSceneIfBegun();
  // One pixel in, saturating at the ends of the int range.
  auto in = [](int v, int step) {
    return static_cast<int>(std::clamp<int64_t>(int64_t{v} + step, INT_MIN, INT_MAX));
  };
  G_DDraw_DrawLine(x1, y1, x2, y1, color);
  G_DDraw_DrawLine(in(x2, -1), in(y1, 1), in(x2, -1), y2, color);
  G_DDraw_DrawLine(x1, in(y2, -1), in(x2, -1), in(y2, -1), color);
  G_DDraw_DrawLine(x1, in(y1, 1), x1, in(y2, -1), color);
  return 0;
}
