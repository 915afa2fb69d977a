// The plain draw: a graphic's part unscaled at a position, by a DirectDraw
// copy when no pixel needs computing, else through the locked surfaces.
#include <cstddef>
#include <algorithm>
#include <climits>

#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/screen.h"
#include "graphics/software_draw_services.h"
#include "render/plain_loops.h"
#include "render/render_frame.h"

using platform::video::Rect;
using platform::video::Surface;
namespace pv = platform::video;

namespace render {
namespace {

constexpr const char* kName = "G_DDraw_DrawGraph";

int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

bool Fits(const Surface* s, int width, int height) {
  return s && width <= s->width() && height <= s->height();
}

// The DirectDraw copy of the visible part (no lock).
void FastCopy(Surface* dest, const SourcePart& sp, int x, int y, const Rect& src_rect,
              int transparent) {
  const int w = src_rect.Width(), h = src_rect.Height();
  if (!DestinationInVideoMemory() && !sp.in_system_memory() && GdiCopyPreferred()) {
    if (!transparent) {
      BlitSurfaceToSurface(dest, sp.record->surface, x, y, src_rect, -1);
      return;
    }
    Surface* work = DestinationWorkSurface();
    const ScreenInfo screen = CurrentScreen();
    if (w >= screen.width && h >= screen.height && Fits(work, w, h)) {
      // Keyed on the work surface's own key, 0.
      BlitSurfaceToSurface(work, sp.record->surface, 0, 0, src_rect, -1);
      const Rect whole{0, 0, w, h};
      dest->BltFast(x, y, work, &whole, pv::kBltFastSrcColorKey);
      return;
    }
  }
  dest->BltFast(x, y, sp.record->surface, &src_rect,
                transparent ? pv::kBltFastSrcColorKey : pv::kBltFastNoColorKey);
}

}  // namespace
}  // namespace render

using namespace render;

int G_DDraw_DrawGraph(int x, int y, int surface2d, int transparent) {
  Surface* dest = DestinationSurface();
  if (!GetDirectDrawObject() || !dest) return -1;
  EndSceneIfBegun();
  FlushCurrentVertexBatch();
  SourcePart sp;
  if (!FindPart(surface2d, &sp)) return -1;
  const ScreenInfo screen = CurrentScreen();
  const uint32_t key = ColorKeyOf(*sp.record, screen.bits);
  const DrawState& st = GetDrawState();

  Rect r{x, y, ClampToInt(int64_t{x} + sp.part->width), ClampToInt(int64_t{y} + sp.part->height)};
  ClipRect(&r, st.area);
  if (r.bottom <= r.top || r.right <= r.left) return 0;
  r = Rect{r.left - x, r.top - y, r.right - x, r.bottom - y};
  if (r.left > 0) x += r.left;
  if (r.top > 0) y += r.top;
  x += st.front_screen_rect.left;
  y += st.front_screen_rect.top;
  // Never outside the destination's memory, whatever the draw area says.
  if (x < 0) r.left -= x, x = 0;
  if (y < 0) r.top -= y, y = 0;
  r.right = std::min<int64_t>(r.right, int64_t{r.left} + dest->width() - x);
  r.bottom = std::min<int64_t>(r.bottom, int64_t{r.top} + dest->height() - y);
  if (r.bottom <= r.top || r.right <= r.left) return 0;
  const int width = r.Width(), height = r.Height();
  const Rect src_rect{r.left + sp.part->surface_x, r.top + sp.part->surface_y,
                      r.right + sp.part->surface_x, r.bottom + sp.part->surface_y};

  const bool alpha = sp.has_alpha();
  if ((st.blend_mode == 0 && st.brightness == -1 && !alpha) || screen.bits == 8) {
    FastCopy(dest, sp, x, y, src_rect, transparent);
    return 0;
  }

  // Blends that read the destination read video memory through a copy.
  Surface* dwork = DestinationWorkSurface();
  const bool dest_copy = (alpha || (DestinationInVideoMemory() && st.blend_mode != 0)) &&
                         Fits(dwork, width, height);
  if (dest_copy) BlitSurfaceToSurface(dwork, dest, 0, 0, Rect{x, y, x + width, y + height}, -1);
  Surface* swork = SourceWorkSurface();
  const bool src_copy = !sp.in_system_memory() && Fits(swork, width, height);
  if (src_copy) BlitSurfaceToSurface(swork, sp.record->surface, 0, 0, src_rect, -1);
  Surface* src = src_copy ? swork : sp.record->surface;

  LockSet locks;
  uint8_t *dp = nullptr, *sptr = nullptr, *wp = nullptr;
  int dpitch = 0, spitch = 0, wpitch = 0;
  if (!locks.Lock(dest, pv::kLockWait, &dp, &dpitch)) {
    LogLockFailure("転送先サーフェス", kName);
    return -1;
  }
  if (!locks.Lock(src, pv::kLockWait | pv::kLockReadOnly, &sptr, &spitch)) {
    locks.Release();
    LogLockFailure("転送元１サーフェス", kName);
    return -1;
  }
  if (dest_copy && !locks.Lock(dwork, pv::kLockWait | pv::kLockReadOnly, &wp, &wpitch)) {
    locks.Release();
    LogLockFailure("転送元２サーフェス", kName);
    return -1;
  }
  const int bpp = screen.bits / 8;
  RectRows rows;
  rows.dst = dp + static_cast<ptrdiff_t>(y) * dpitch + static_cast<ptrdiff_t>(x) * bpp;
  rows.dst_pitch = dpitch;
  rows.read = dest_copy ? wp : rows.dst;
  rows.read_pitch = dest_copy ? wpitch : dpitch;
  rows.src = src_copy ? sptr
                      : sptr + static_cast<ptrdiff_t>(src_rect.top) * spitch +
                            static_cast<ptrdiff_t>(src_rect.left) * bpp;
  rows.src_pitch = spitch;
  if (alpha) {
    rows.alpha = sp.record->alpha_buffer +
                 static_cast<size_t>(src_rect.top) * sp.record->alpha_pitch + src_rect.left;
    rows.alpha_pitch = static_cast<int>(sp.record->alpha_pitch);
  }
  rows.width = width;
  rows.height = height;
  PlainChoice c;
  c.mode = st.blend_mode;
  c.param = st.blend_param;
  c.brightness = st.brightness;
  c.alpha = alpha;
  c.keyed = transparent != 0;
  c.key = key;
  c.packed = PackedRegisterLoops();
  const Pick pick = DrawPlainPixels(screen.bits, screen.layout, rows, c);
  locks.Release();
  if (pick == Pick::kFastPath) FastCopy(dest, sp, x, y, src_rect, transparent);
  return 0;
}
