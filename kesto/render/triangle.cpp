// The four-corner draw as two textured triangles, their set-up in 14.18
// fixed point and the row walk that fills them.
#include "render/triangle.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "core/text_helpers.h"
#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/screen.h"
#include "graphics/software_draw_services.h"
#include "render/render_frame.h"
#include "render/texel_rules.h"

using platform::video::Rect;
using platform::video::Surface;
namespace pv = platform::video;

namespace render {

namespace {

bool InFixRange(int32_t v) { return v >= kFixMin && v <= kFixMax; }

// The single or two-segment edges of one side.
void SetSegment(EdgeSegment* s, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  s->x = x0;
  s->y = y0;
  (void)x1;
  s->dy = int64_t{y1} - y0;
  s->step = 0;
}

bool FinishSegment(EdgeSegment* s, int32_t end_x) {
  const int64_t rows = s->dy / kFixOne;
  if (rows == 0) return false;
  s->step = (int64_t{end_x} - s->x) / rows;
  return true;
}

struct Walk {
  Rect clip;
  int bpp;
  uint8_t* write;
  int write_pitch;
  const uint8_t* read;
  int read_pitch;
  const uint8_t* texels;
  int texel_pitch;
  const uint8_t* alpha;
  int alpha_pitch;
  uint32_t w, h;
  uint32_t key;
};

// Every row of the triangle; `row(x, n, y, u, v)` draws n pixels from x.
template <class Row>
void WalkRows(const TriangleEdges& e, const Rect& clip, Row&& row) {
  int side_seg[2] = {e.start[0], e.start[1]};
  int64_t x[2], step[2];
  int32_t rows[2];
  for (int s = 0; s < 2; ++s) {
    const EdgeSegment& g = e.seg[s][side_seg[s]];
    x[s] = g.x;
    step[s] = g.step;
    rows[s] = static_cast<int32_t>(g.dy / kFixOne);
  }
  int32_t y = e.seg[0][side_seg[0]].y / kFixOne;
  for (;;) {
    const int64_t xi = x[0] / kFixOne;
    const int64_t count = x[1] / kFixOne - xi;
    if (y >= clip.top && y < clip.bottom) {
      int64_t first = xi, n = count + 1;
      if (first < clip.left) {
        n -= clip.left - first;
        first = clip.left;
      }
      if (first < clip.right && n >= 1) {
        n = std::min<int64_t>(n, clip.right - first);
        const int32_t fx = static_cast<int32_t>(first);
        // 32-bit arithmetic that wraps, from the reference corner every row.
        const uint32_t u = static_cast<uint32_t>(e.u_ref) +
                           static_cast<uint32_t>(y - e.y_ref) * static_cast<uint32_t>(e.du_dy) +
                           static_cast<uint32_t>(fx - e.x_ref) * static_cast<uint32_t>(e.du_dx);
        const uint32_t v = static_cast<uint32_t>(e.v_ref) +
                           static_cast<uint32_t>(y - e.y_ref) * static_cast<uint32_t>(e.dv_dy) +
                           static_cast<uint32_t>(fx - e.x_ref) * static_cast<uint32_t>(e.dv_dx);
        row(fx, static_cast<int>(n), y, u, v);
      }
    }
    x[0] += step[0];
    x[1] += step[1];
    ++y;
    --rows[0];
    --rows[1];
    for (int s = 0; s < 2; ++s) {
      if (rows[s] > 0) continue;
      if (side_seg[s] == 1) return;
      side_seg[s] = 1;
      const EdgeSegment& g = e.seg[s][1];
      x[s] = g.x;
      step[s] = g.step;
      rows[s] = static_cast<int32_t>(g.dy / kFixOne);
      if (s == 0) y = g.y / kFixOne;
    }
  }
}

template <class Px, bool Keyed, bool Alpha, class Op>
void FillTriangle(const TriangleEdges& e, const Walk& k, Op op) {
  const int32_t du = e.du_dx, dv = e.dv_dx;
  WalkRows(e, k.clip, [&](int32_t x, int n, int32_t y, uint32_t u, uint32_t v) {
    Px* o = reinterpret_cast<Px*>(k.write + static_cast<ptrdiff_t>(y) * k.write_pitch) + x;
    const Px* r =
        reinterpret_cast<const Px*>(k.read + static_cast<ptrdiff_t>(y) * k.read_pitch) + x;
    for (int i = 0; i < n; ++i) {
      // Arithmetic shift, then an unsigned bound: negative positions are outside.
      const uint32_t tu = static_cast<uint32_t>(static_cast<int32_t>(u) >> kFixShift);
      const uint32_t tv = static_cast<uint32_t>(static_cast<int32_t>(v) >> kFixShift);
      u += static_cast<uint32_t>(du);
      v += static_cast<uint32_t>(dv);
      if (tu >= k.w || tv >= k.h) continue;
      const uint32_t s = reinterpret_cast<const Px*>(k.texels + static_cast<size_t>(tv) * k.texel_pitch)[tu];
      if (Keyed && s == k.key) continue;
      uint32_t a = 255;
      if constexpr (Alpha) {
        a = k.alpha[static_cast<size_t>(tv) * k.alpha_pitch + tu];
        if (a == 0) continue;
      }
      o[i] = static_cast<Px>(op(s, static_cast<uint32_t>(r[i]), a));
    }
  });
}

int RasterizeWithin(const TriangleVertex* v, const GraphicRecord* graphic, int transparent,
                    uint8_t* write, int write_pitch, const uint8_t* texels, int texel_pitch,
                    const uint8_t* read, int read_pitch, const Rect& clip) {
  if (!GetDirectDrawObject()) return -1;
  SourcePart sp;
  if (!FindGraphicPart(graphic, &sp)) return -1;
  const ScreenInfo screen = CurrentScreen();
  const DrawState& st = GetDrawState();
  TriangleEdges e;
  if (SetupTriangleEdges(v, &e) != 0) {
    SyncRenderStatesStub();
    return -1;
  }
  Walk k;
  k.clip = clip;
  k.bpp = screen.bits / 8;
  k.write = write;
  k.write_pitch = write_pitch;
  k.read = read;
  k.read_pitch = read_pitch;
  k.texels = texels;
  k.texel_pitch = texel_pitch;
  const bool alpha = sp.has_alpha();
  if (alpha) {
    k.alpha = sp.record->alpha_buffer +
              static_cast<size_t>(sp.part->surface_y) * sp.record->alpha_pitch +
              sp.part->surface_x;
    k.alpha_pitch = static_cast<int>(sp.record->alpha_pitch);
  }
  // Texels beyond the part are never read.
  k.w = std::min<uint32_t>(graphic->width, sp.part->width);
  k.h = std::min<uint32_t>(graphic->height, sp.part->height);
  k.key = ColorKeyOf(*sp.record, screen.bits);
  TexelChoice c;
  c.mode = st.blend_mode;
  c.param = st.blend_param;
  c.brightness = st.brightness;
  c.alpha = alpha;
  c.transparent = transparent;
  c.key = k.key;
  ChooseTexelRule(Mapper::kTriangle, screen.bits, screen.layout, c,
                  [&](auto keyed, auto alpha_read, auto px, auto op) {
                    FillTriangle<decltype(px), decltype(keyed)::value,
                                 decltype(alpha_read)::value>(e, k, op);
                  });
  SyncRenderStatesStub();
  return 0;
}

}  // namespace

int SetupTriangleEdges(const TriangleVertex* v, TriangleEdges* out) {
  for (int i = 0; i < 3; ++i) {
    if (!InFixRange(v[i].x) || !InFixRange(v[i].y) || !InFixRange(v[i].u) ||
        !InFixRange(v[i].v)) {
      return -1;
    }
  }
  int32_t X[3], Y[3], U[3], V[3];
  for (int i = 0; i < 3; ++i) {
    X[i] = v[i].x * kFixOne + kFixOne / 2;
    Y[i] = v[i].y * kFixOne + kFixOne / 2;
    U[i] = v[i].u * kFixOne;
    V[i] = v[i].v * kFixOne;
  }
  // A0: the smallest X, the lowest index among equals.
  int a0 = 0;
  for (int i = 1; i < 3; ++i)
    if (X[i] < X[a0]) a0 = i;
  const int a1 = a0 == 0 ? 1 : 0;
  const int a2 = 3 - a0 - a1;
  auto whole = [](int32_t a, int32_t b) {
    return static_cast<int32_t>((int64_t{a} - b) / kFixOne);
  };
  const int32_t dx01 = whole(X[a1], X[a0]), dx02 = whole(X[a2], X[a0]);
  const int32_t dy01 = whole(Y[a1], Y[a0]), dy02 = whole(Y[a2], Y[a0]);
  const int32_t du01 = whole(U[a1], U[a0]), du02 = whole(U[a2], U[a0]);
  const int32_t dv01 = whole(V[a1], V[a0]), dv02 = whole(V[a2], V[a0]);
  const int32_t det = dx02 * dy01 - dy02 * dx01;
  if (det == 0) return -1;
  // Numerators in 64 bits, the gradients in double precision.
  auto gradient = [det](int64_t numerator) {
    return RoundDoubleToInt(static_cast<double>(kFixOne) * static_cast<double>(numerator) /
                            static_cast<double>(det));
  };
  out->du_dx = gradient(int64_t{dy01} * du02 - int64_t{dy02} * du01);
  out->du_dy = gradient(int64_t{du01} * dx02 - int64_t{dx01} * du02);
  out->dv_dx = gradient(int64_t{dy01} * dv02 - int64_t{dv01} * dy02);
  out->dv_dy = gradient(int64_t{dv01} * dx02 - int64_t{dv02} * dx01);
  out->x_ref = X[a0] / kFixOne;
  out->y_ref = Y[a0] / kFixOne;
  out->u_ref = U[a0];
  out->v_ref = V[a0];

  int b[3] = {0, 1, 2};
  std::stable_sort(b, b + 3, [&](int i, int j) { return Y[i] < Y[j]; });
  EdgeSegment* left = out->seg[0];
  EdgeSegment* right = out->seg[1];
  if (Y[b[0]] == Y[b[1]]) {
    const bool first_left = X[b[0]] <= X[b[1]];
    const int l = first_left ? b[0] : b[1], r = first_left ? b[1] : b[0];
    out->start[0] = out->start[1] = 1;
    SetSegment(&left[1], X[l], Y[l], X[b[2]], Y[b[2]]);
    SetSegment(&right[1], X[r], Y[r], X[b[2]], Y[b[2]]);
    if (!FinishSegment(&left[1], X[b[2]]) || !FinishSegment(&right[1], X[b[2]])) return -1;
    return 0;
  }
  if (Y[b[1]] == Y[b[2]]) {
    const bool first_left = X[b[1]] <= X[b[2]];
    const int l = first_left ? b[1] : b[2], r = first_left ? b[2] : b[1];
    out->start[0] = out->start[1] = 1;
    SetSegment(&left[1], X[b[0]], Y[b[0]], X[l], Y[l]);
    SetSegment(&right[1], X[b[0]], Y[b[0]], X[r], Y[r]);
    if (!FinishSegment(&left[1], X[l]) || !FinishSegment(&right[1], X[r])) return -1;
    return 0;
  }
  const double s01 = (static_cast<double>(X[b[1]]) - X[b[0]]) /
                     (static_cast<double>(Y[b[1]]) - Y[b[0]]);
  const double s02 = (static_cast<double>(X[b[2]]) - X[b[0]]) /
                     (static_cast<double>(Y[b[2]]) - Y[b[0]]);
  bool ok = true;
  if (s02 <= s01) {
    // The middle corner lies on the right.
    out->start[0] = 1;
    out->start[1] = 0;
    SetSegment(&left[1], X[b[0]], Y[b[0]], X[b[2]], Y[b[2]]);
    ok = FinishSegment(&left[1], X[b[2]]);
    SetSegment(&right[0], X[b[0]], Y[b[0]], X[b[1]], Y[b[1]]);
    ok = ok && FinishSegment(&right[0], X[b[1]]);
    SetSegment(&right[1], X[b[1]] + 1, Y[b[1]], X[b[2]], Y[b[2]]);
    ok = ok && FinishSegment(&right[1], X[b[2]]);
  } else {
    out->start[0] = 0;
    out->start[1] = 1;
    SetSegment(&left[0], X[b[0]], Y[b[0]], X[b[1]], Y[b[1]]);
    ok = FinishSegment(&left[0], X[b[1]]);
    SetSegment(&left[1], X[b[1]], Y[b[1]], X[b[2]], Y[b[2]]);
    ok = ok && FinishSegment(&left[1], X[b[2]]);
    SetSegment(&right[1], X[b[0]], Y[b[0]], X[b[2]], Y[b[2]]);
    ok = ok && FinishSegment(&right[1], X[b[2]]);
  }
  return ok ? 0 : -1;
}

int RasterizeTexturedTriangle(const TriangleVertex* v, const GraphicRecord* graphic,
                              int transparent, uint8_t* write, int write_pitch,
                              const uint8_t* texels, int texel_pitch, const uint8_t* read,
                              int read_pitch) {
  Surface* dest = DestinationSurface();
  if (!dest) return -1;
  return RasterizeWithin(v, graphic, transparent, write, write_pitch, texels, texel_pitch, read,
                         read_pitch, DrawBounds(dest));
}

}  // namespace render

using namespace render;

int G_DDraw_DrawModiGraph(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                          GraphicRecord* graphic, int transparent) {
  static constexpr const char* kName = "G_DDraw_DrawModiGraph";
  if (!GetDirectDrawObject()) return -1;
  FlushCurrentVertexBatch();
  EndSceneIfBegun();
  Surface* dest = DestinationSurface();
  if (!dest) return -1;
  SourcePart sp;
  if (!FindGraphicPart(graphic, &sp)) return -1;
  const int xs[4] = {x1, x2, x3, x4}, ys[4] = {y1, y2, y3, y4};
  // Corners or sizes beyond the 14-bit range cannot be set up: nothing is drawn.
  bool in_range = graphic->width <= kFixMax && graphic->height <= kFixMax;
  for (int i = 0; i < 4; ++i) in_range = in_range && InFixRange(xs[i]) && InFixRange(ys[i]);
  Rect box;
  if (in_range) {
    box = Rect{*std::min_element(xs, xs + 4) - 2, *std::min_element(ys, ys + 4) - 2,
               *std::max_element(xs, xs + 4) + 4, *std::max_element(ys, ys + 4) + 4};
    ClipRect(&box, DrawBounds(dest));
  }
  if (!in_range || box.right <= box.left || box.bottom <= box.top) {
    SyncRenderStatesStub();
    return 0;
  }
  const DrawState& st = GetDrawState();
  const ScreenInfo screen = CurrentScreen();
  const int ox = OffsetX(), oy = OffsetY();
  Surface* work = DestinationWorkSurface();
  const bool copy = st.blend_mode != 0 && screen.bits != 8 &&
                    (DestinationInVideoMemory() || sp.has_alpha()) && work && box.left >= 0 &&
                    box.top >= 0 && box.right <= work->width() && box.bottom <= work->height();
  if (copy) {
    BlitSurfaceToSurface(work, dest, box.left, box.top,
                         Rect{box.left + ox, box.top + oy, box.right + ox, box.bottom + oy}, -1);
  }
  LockSet locks;
  uint8_t *dp = nullptr, *sptr = nullptr, *wp = nullptr;
  int dpitch = 0, spitch = 0, wpitch = 0;
  if (!LockDrawSurfaces(locks, kName, pv::kLockWait, dest, &dp, &dpitch, sp.record->surface, &sptr,
                        &spitch, copy ? work : nullptr, &wp, &wpitch)) {
    return -1;
  }
  const int bpp = screen.bits / 8;
  uint8_t* write = dp + static_cast<ptrdiff_t>(oy) * dpitch + static_cast<ptrdiff_t>(ox) * bpp;
  const uint8_t* read = copy ? wp : write;
  const int read_pitch = copy ? wpitch : dpitch;
  const uint8_t* texels = sptr + static_cast<ptrdiff_t>(sp.part->surface_y) * spitch +
                          static_cast<ptrdiff_t>(sp.part->surface_x) * bpp;
  const int w = graphic->width, h = graphic->height;
  const TriangleVertex quad[4] = {{x1, y1, 0, 0}, {x2, y2, w, 0}, {x3, y3, 0, h}, {x4, y4, w, h}};
  RasterizeWithin(&quad[0], graphic, transparent, write, dpitch, texels, spitch, read,
                  read_pitch, box);
  RasterizeWithin(&quad[1], graphic, transparent, write, dpitch, texels, spitch, read,
                  read_pitch, box);
  locks.Release();
  SyncRenderStatesStub();
  return 0;
}

int G_DDraw_DrawModiGraphFloat(float x1, float y1, float x2, float y2, float x3, float y3,
                               float x4, float y4, GraphicRecord* graphic, int transparent) {
  return G_DDraw_DrawModiGraph(RoundFloatToInt(x1), RoundFloatToInt(y1), RoundFloatToInt(x2),
                               RoundFloatToInt(y2), RoundFloatToInt(x3), RoundFloatToInt(y3),
                               RoundFloatToInt(x4), RoundFloatToInt(y4), graphic, transparent);
}
