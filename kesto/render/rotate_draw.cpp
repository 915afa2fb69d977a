// The rotated and scaled draw: with the turn flag, the four-corner draw of
// the mirrored corners; otherwise every pixel of the corners' bounding box
// maps back into the graphic in 14.18 fixed point.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <type_traits>
#include <utility>

#include "core/text_helpers.h"
#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/screen.h"
#include "graphics/software_draw_services.h"
#include "render/render_frame.h"
#include "render/rotate_columns.h"
#include "render/texel_rules.h"
#include "render/triangle.h"

using platform::video::Rect;
using platform::video::Surface;
namespace pv = platform::video;
using namespace render;

namespace {

constexpr const char* kName = "G_DDraw_DrawRotaGraph";

// 14.18 to whole pixels, toward zero.
inline int64_t ToPixel(int64_t v) { return v / kFixOne; }

struct Mapping {
  int64_t u_top, v_top;  // at the box's top-left pixel
  int64_t du_dx, dv_dx;  // per column
  int64_t du_dy, dv_dy;  // per row
};

struct RotWalk {
  uint8_t* write;
  int write_pitch;
  const uint8_t* read;
  int read_pitch;
  const uint8_t* src;
  int src_pitch;
  const uint8_t* alpha;
  int alpha_pitch;
  uint32_t w, h;
  uint32_t key;
  int width, height;  // the box
};

// Columns [first, end) of one row, every position inside the graphic. `Pos`
// holds a position: 32 bits do wherever the graphic is under 8192 texels.
// Steps wrap in the unsigned type (past the run's end nothing is read).
// Texels are fetched into a small block first, then blended into the row in
// a loop free of address arithmetic that the compiler vectorises; skipped
// pixels keep what they hold through a select, not a branch, since keyed
// texels come in no pattern the processor could predict.
template <class Px, bool Keyed, bool Alpha, class Pos, class Op>
inline void Run(const RotWalk& k, Px* o, const Px* rd, int first, int end, int64_t u0, int64_t v0,
                int64_t du_dx, int64_t dv_dx, Op op) {
  using UPos = std::make_unsigned_t<Pos>;
  UPos u = static_cast<UPos>(u0), v = static_cast<UPos>(v0);
  const UPos du = static_cast<UPos>(du_dx), dv = static_cast<UPos>(dv_dx);
  constexpr int kBlock = 64;
  Px texel[kBlock];
  uint8_t alpha[kBlock];
  for (int x0 = first; x0 < end; x0 += kBlock) {
    const int n = std::min(kBlock, end - x0);
    for (int i = 0; i < n; ++i, u += du, v += dv) {
      // Toward zero is the shift of the position clamped at 0.
      const size_t col = static_cast<size_t>(std::max<Pos>(static_cast<Pos>(u), 0) >> kFixShift);
      const size_t row = static_cast<size_t>(std::max<Pos>(static_cast<Pos>(v), 0) >> kFixShift);
      texel[i] = reinterpret_cast<const Px*>(k.src + row * k.src_pitch)[col];
      if constexpr (Alpha) alpha[i] = k.alpha[row * k.alpha_pitch + col];
    }
    auto blend = [&](Px* out, const Px* old, auto in_place) {
      for (int i = 0; i < n; ++i) {
        const uint32_t d = decltype(in_place)::value ? out[i] : old[i];
        const uint32_t s = texel[i];
        uint32_t a = 255;
        if constexpr (Alpha) a = alpha[i];
        bool keep = false;
        if constexpr (Keyed) keep = s == k.key;
        if constexpr (Alpha) keep = keep || a == 0;
        out[i] = KeepOr(keep, out[i], static_cast<Px>(op(s, d, a)));
      }
    };
    // Reading the row it writes, the loop needs no overlap check.
    if (rd == o) {
      blend(o + x0, nullptr, std::true_type{});
    } else {
      blend(o + x0, rd + x0, std::false_type{});
    }
  }
}

template <class Px, bool Keyed, bool Alpha, class Op>
KESTO_PIXEL_LOOP void Walk(const RotWalk& k, const Mapping& m, Op op) {
  int64_t u_row = m.u_top, v_row = m.v_top;
  const int64_t u_hi = int64_t{k.w} * kFixOne, v_hi = int64_t{k.h} * kFixOne;
  const double u_inverse = m.du_dx != 0 ? 1.0 / static_cast<double>(m.du_dx) : 0.0;
  const double v_inverse = m.dv_dx != 0 ? 1.0 / static_cast<double>(m.dv_dx) : 0.0;
  const bool narrow = u_hi <= INT32_MAX && v_hi <= INT32_MAX;
  for (int r = 0; r < k.height; ++r, u_row += m.du_dy, v_row += m.dv_dy) {
    // The columns whose positions lie in the graphic form one run: found
    // exactly, so the pixel loop tests no bounds.
    int first = 0, end = k.width;
    NarrowColumns(u_row, m.du_dx, u_inverse, u_hi, k.width, &first, &end);
    NarrowColumns(v_row, m.dv_dx, v_inverse, v_hi, k.width, &first, &end);
    if (first >= end) continue;
    Px* o = reinterpret_cast<Px*>(k.write + static_cast<ptrdiff_t>(r) * k.write_pitch);
    const Px* rd = reinterpret_cast<const Px*>(k.read + static_cast<ptrdiff_t>(r) * k.read_pitch);
    if (narrow) {
      Run<Px, Keyed, Alpha, int32_t>(k, o, rd, first, end, u_row + first * m.du_dx,
                                     v_row + first * m.dv_dx, m.du_dx, m.dv_dx, op);
    } else {
      Run<Px, Keyed, Alpha, int64_t>(k, o, rd, first, end, u_row + first * m.du_dx,
                                     v_row + first * m.dv_dx, m.du_dx, m.dv_dx, op);
    }
  }
}

}  // namespace

int G_DDraw_DrawRotaGraph(int center_x, int center_y, double scale, double angle,
                          GraphicRecord* graphic, int transparent, int turn) {
  if (!GetDirectDrawObject()) return -1;
  EndSceneIfBegun();
  FlushCurrentVertexBatch();
  Surface* dest = DestinationSurface();
  if (!dest) return -1;
  SourcePart sp;
  if (!FindGraphicPart(graphic, &sp)) return -1;
  // A scale of 0 or below (or none at all) is refused, as the Direct3D draw does.
  if (!(scale > 0.0) || !std::isfinite(scale) || !std::isfinite(angle)) return -1;
  const ScreenInfo screen = CurrentScreen();
  const uint32_t key = ColorKeyOf(*sp.record, screen.bits);
  const DrawState& st = GetDrawState();

  float sin_a, cos_a, sin_neg, cos_neg;
  SinCos(static_cast<float>(angle), &sin_a, &cos_a);
  SinCos(-static_cast<float>(angle), &sin_neg, &cos_neg);
  const int32_t c = RoundFloatToInt(cos_a * 262144.0f);
  const int32_t s = RoundFloatToInt(sin_a * 262144.0f);
  const int32_t n = RoundFloatToInt(sin_neg * 262144.0f);
  const int gw = graphic->width, gh = graphic->height;
  const float hw = static_cast<float>(gw * scale * 0.5);
  const float hh = static_cast<float>(gh * scale * 0.5);
  const float fc = static_cast<float>(c), fs = static_cast<float>(s);
  const int64_t cx = int64_t{center_x} * kFixOne, cy = int64_t{center_y} * kFixOne;
  // P0 top left, P1 bottom left, P2 bottom right, P3 top right.
  const int64_t px[4] = {
      cx + RoundFloatToInt(-fc * hw + fs * hh), cx + RoundFloatToInt(-fc * hw - fs * hh),
      cx + RoundFloatToInt(fc * hw - fs * hh), cx + RoundFloatToInt(fc * hw + fs * hh)};
  const int64_t py[4] = {
      cy + RoundFloatToInt(-(fs * hw + fc * hh)), cy + RoundFloatToInt(fc * hh - fs * hw),
      cy + RoundFloatToInt(fs * hw + fc * hh), cy + RoundFloatToInt(fs * hw - fc * hh)};
  auto pixel = [](int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(ToPixel(v), INT32_MIN, INT32_MAX));
  };

  if (turn) {
    SyncRenderStatesStub();
    return G_DDraw_DrawModiGraph(pixel(px[3]), pixel(py[3]), pixel(px[0]), pixel(py[0]),
                                 pixel(px[2]), pixel(py[2]), pixel(px[1]), pixel(py[1]), graphic,
                                 transparent);
  }

  const double inverse = 1.0 / scale;
  Mapping m;
  m.du_dx = RoundDoubleToInt(c * inverse);
  m.dv_dx = RoundDoubleToInt(n * inverse);
  const int64_t min_x = *std::min_element(px, px + 4), max_x = *std::max_element(px, px + 4);
  const int64_t min_y = *std::min_element(py, py + 4), max_y = *std::max_element(py, py + 4);
  const Rect bounds = DrawBounds(dest);
  const int64_t left = std::max<int64_t>(ToPixel(min_x) - 2, bounds.left);
  const int64_t top = std::max<int64_t>(ToPixel(min_y) - 2, bounds.top);
  const int64_t right = std::min<int64_t>(ToPixel(max_x) + 4, bounds.right);
  const int64_t bottom = std::min<int64_t>(ToPixel(max_y) + 4, bounds.bottom);
  if (right <= left || bottom <= top) {
    SyncRenderStatesStub();
    return 0;
  }
  const Rect box{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                 static_cast<int>(bottom)};
  auto source_at = [&](int64_t dx, int64_t dy, int64_t* u, int64_t* v) {
    *u = RoundDoubleToInt(static_cast<double>(dx * c - dy * n) * inverse) +
         int64_t{gw >> 1} * kFixOne;
    *v = RoundDoubleToInt(static_cast<double>(dy * c + dx * n) * inverse) +
         int64_t{gh >> 1} * kFixOne;
  };
  int64_t u_bottom, v_bottom;
  source_at(box.left - int64_t{center_x}, box.top - int64_t{center_y}, &m.u_top, &m.v_top);
  source_at(box.left - int64_t{center_x}, box.bottom - int64_t{center_y}, &u_bottom, &v_bottom);
  m.du_dy = (u_bottom - m.u_top) / (box.bottom - box.top);
  m.dv_dy = (v_bottom - m.v_top) / (box.bottom - box.top);

  const bool alpha = sp.has_alpha();
  const int ox = OffsetX(), oy = OffsetY();
  Surface* work = DestinationWorkSurface();
  const bool copy = st.blend_mode != 0 && screen.bits != 8 &&
                    (DestinationInVideoMemory() || alpha) && work && box.left >= 0 &&
                    box.top >= 0 && box.right <= work->width() && box.bottom <= work->height();
  if (copy) {
    BlitSurfaceToSurface(work, dest, box.left, box.top,
                         Rect{box.left + ox, box.top + oy, box.right + ox, box.bottom + oy}, -1);
  }
  // The destination is read as well as written where no copy was made, so it
  // is locked for both.
  LockSet locks;
  uint8_t *dp = nullptr, *sptr = nullptr, *wp = nullptr;
  int dpitch = 0, spitch = 0, wpitch = 0;
  if (!LockDrawSurfaces(locks, kName, pv::kLockWait | pv::kLockReadOnly, dest, &dp, &dpitch,
                        sp.record->surface, &sptr, &spitch, copy ? work : nullptr, &wp, &wpitch)) {
    return -1;
  }
  const int bpp = screen.bits / 8;
  RotWalk k;
  k.write = dp + static_cast<ptrdiff_t>(box.top + oy) * dpitch +
            static_cast<ptrdiff_t>(box.left + ox) * bpp;
  k.write_pitch = dpitch;
  k.read =
      copy ? wp + static_cast<ptrdiff_t>(box.top) * wpitch + static_cast<ptrdiff_t>(box.left) * bpp
           : k.write;
  k.read_pitch = copy ? wpitch : dpitch;
  k.src = sptr + static_cast<ptrdiff_t>(sp.part->surface_y) * spitch +
          static_cast<ptrdiff_t>(sp.part->surface_x) * bpp;
  k.src_pitch = spitch;
  if (alpha) {
    k.alpha = sp.record->alpha_buffer +
              static_cast<size_t>(sp.part->surface_y) * sp.record->alpha_pitch + sp.part->surface_x;
    k.alpha_pitch = static_cast<int>(sp.record->alpha_pitch);
  }
  k.w = std::min<uint32_t>(static_cast<uint32_t>(gw), sp.part->width);
  k.h = std::min<uint32_t>(static_cast<uint32_t>(gh), sp.part->height);
  k.key = key;
  k.width = box.right - box.left;
  k.height = box.bottom - box.top;
  TexelChoice choice;
  choice.mode = st.blend_mode;
  choice.param = st.blend_param;
  choice.brightness = st.brightness;
  choice.alpha = alpha;
  choice.transparent = transparent;
  choice.key = key;
  ChooseTexelRule(Mapper::kRotated, screen.bits, screen.layout, choice,
                  [&](auto keyed, auto alpha_read, auto px_type, auto op) {
                    Walk<decltype(px_type), decltype(keyed)::value, decltype(alpha_read)::value>(
                        k, m, op);
                  });
  locks.Release();
  SyncRenderStatesStub();
  return 0;
}
