// The stretched draw: a whole graphic scaled into a rectangle given by two
// corners, mirrored on an axis whose corners come in reverse order.
#include <cstddef>
#include <algorithm>
#include <utility>

#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/screen.h"
#include "graphics/software_draw_services.h"
#include "render/render_frame.h"
#include "render/stretch_loops.h"

using platform::video::Rect;
using platform::video::Surface;
namespace pv = platform::video;
using namespace render;

namespace {

constexpr const char* kName = "G_DDraw_DrawExtendGraph";
// Wider or taller destinations no longer fit the signed 16.16 counters.
constexpr int64_t kMaxExtent = 32767;

int Refuse() {
  SyncRenderStatesStub();
  return -1;
}

}  // namespace

int G_DDraw_DrawExtendGraph(int x1, int y1, int x2, int y2, GraphicRecord* graphic,
                            int transparent) {
  FlushCurrentVertexBatch();
  Surface* dest = DestinationSurface();
  if (!GetDirectDrawObject() || !dest) return -1;
  EndSceneIfBegun();
  bool mirror_x = false, mirror_y = false;
  if (x1 > x2) std::swap(x1, x2), mirror_x = true;
  if (y1 > y2) std::swap(y1, y2), mirror_y = true;
  SourcePart sp;
  if (!FindGraphicPart(graphic, &sp)) return -1;
  const int64_t w = int64_t{x2} - x1, h = int64_t{y2} - y1;
  if (w == 0 || h == 0 || w > kMaxExtent || h > kMaxExtent) return Refuse();
  const int gw = graphic->width, gh = graphic->height;
  if (gw == 0 || gh == 0) return Refuse();
  if (w == gw && h == gh && !mirror_x && !mirror_y) {
    SyncRenderStatesStub();
    FlushCurrentVertexBatch();
    return G_DDraw_DrawGraph(x1, y1, graphic->parts[0], transparent);
  }
  const uint32_t step_x = static_cast<uint32_t>(w * 65536 / gw);
  const uint32_t step_y = static_cast<uint32_t>(h * 65536 / gh);
  Rect r{x1, y1, x2, y2};
  ClipRect(&r, DrawBounds(dest));
  const int cw = r.right - r.left, ch = r.bottom - r.top;
  if (cw <= 0 || ch <= 0) return Refuse();
  auto clip_start = [](int from, int edge, uint32_t step, int* skip, int* start) {
    if (from < edge) {
      const int64_t hidden = (int64_t{edge} - from) * 65536;
      *skip = static_cast<int>(hidden / step);
      *start = static_cast<int>(step - hidden % step);
    } else {
      *skip = 0;
      *start = static_cast<int>(step);
    }
  };
  int skip_x, start_x, skip_y, start_y;
  clip_start(x1, r.left, step_x, &skip_x, &start_x);
  clip_start(y1, r.top, step_y, &skip_y, &start_y);
  // The source pixels each destination column and row shows, inside the part.
  const int pw = sp.part->width, ph = sp.part->height;
  const std::vector<int> cols = StretchMap(mirror_x ? gw - 1 - skip_x : skip_x, mirror_x ? -1 : 1,
                                           start_x, step_x, cw, std::min(pw, gw));
  const std::vector<int> rows = StretchMap(mirror_y ? gh - 1 - skip_y : skip_y, mirror_y ? -1 : 1,
                                           start_y, step_y, ch, std::min(ph, gh));

  const DrawState& st = GetDrawState();
  const ScreenInfo screen = CurrentScreen();
  const bool alpha = sp.has_alpha();
  const int ox = OffsetX(), oy = OffsetY();
  const Rect target{r.left + ox, r.top + oy, r.right + ox, r.bottom + oy};
  Surface* work = DestinationWorkSurface();
  const bool copy = st.blend_mode != 0 && screen.bits != 8 &&
                    (DestinationInVideoMemory() || alpha) && work && cw <= work->width() &&
                    ch <= work->height();
  if (copy) BlitSurfaceToSurface(work, dest, 0, 0, target, -1);

  LockSet locks;
  uint8_t *dp = nullptr, *sptr = nullptr, *wp = nullptr;
  int dpitch = 0, spitch = 0, wpitch = 0;
  if (!LockDrawSurfaces(locks, kName, pv::kLockWait, dest, &dp, &dpitch, sp.record->surface, &sptr,
                        &spitch, copy ? work : nullptr, &wp, &wpitch)) {
    return -1;
  }
  const int bpp = screen.bits / 8;
  StretchRows g;
  g.dst = dp + static_cast<ptrdiff_t>(target.top) * dpitch +
          static_cast<ptrdiff_t>(target.left) * bpp;
  g.dst_pitch = dpitch;
  g.read = copy ? wp : g.dst;
  g.read_pitch = copy ? wpitch : dpitch;
  g.src = sptr + static_cast<ptrdiff_t>(sp.part->surface_y) * spitch +
          static_cast<ptrdiff_t>(sp.part->surface_x) * bpp;
  g.src_pitch = spitch;
  if (alpha) {
    g.alpha = sp.record->alpha_buffer +
              static_cast<size_t>(sp.part->surface_y) * sp.record->alpha_pitch +
              sp.part->surface_x;
    g.alpha_pitch = static_cast<int>(sp.record->alpha_pitch);
  }
  g.cols = cols.data();
  g.width = cw;
  g.rows = rows.data();
  g.height = ch;
  StretchChoice c;
  c.mode = st.blend_mode;
  c.param = st.blend_param;
  c.brightness = st.brightness;
  c.alpha = alpha;
  c.transparent = transparent;
  c.key = ColorKeyOf(*sp.record, screen.bits);
  DrawStretchPixels(screen.bits, screen.layout, g, c);
  locks.Release();
  SyncRenderStatesStub();
  return 0;
}
