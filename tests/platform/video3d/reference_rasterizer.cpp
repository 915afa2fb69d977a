// The triangle rasteriser as it was before its fast paths, kept as the model
// the fast paths must match pixel for pixel.
#include "reference_rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::video3d::reference {

using video::PixelFormat;

namespace {

enum class TexKind { kNone, k565, k555, k1555, k4444, k8888, kX888 };
enum class DstKind { k565, k555, k8888, kUnsupported };
enum class BlendKind { kOff, kAlpha, kGeneric };

TexKind KindOfTexture(const PixelFormat& f) {
  if (f.bits == 16) {
    if (f.red_mask == 0xF800 && f.green_mask == 0x07E0 && f.blue_mask == 0x001F)
      return TexKind::k565;
    if (f.red_mask == 0x7C00 && f.green_mask == 0x03E0 && f.blue_mask == 0x001F) {
      return f.alpha_mask == 0x8000 ? TexKind::k1555 : TexKind::k555;
    }
    if (f.red_mask == 0x0F00 && f.green_mask == 0x00F0 && f.blue_mask == 0x000F &&
        f.alpha_mask == 0xF000) {
      return TexKind::k4444;
    }
  } else if (f.bits == 32 && f.red_mask == 0xFF0000 && f.green_mask == 0xFF00 &&
             f.blue_mask == 0xFF) {
    return f.alpha_mask == 0xFF000000u ? TexKind::k8888 : TexKind::kX888;
  }
  return TexKind::kNone;
}

DstKind KindOfTarget(const PixelFormat& f) {
  switch (KindOfTexture(f)) {
    case TexKind::k565:
      return DstKind::k565;
    case TexKind::k555:
      return DstKind::k555;
    case TexKind::kX888:
    case TexKind::k8888:
      return DstKind::k8888;
    default:
      return DstKind::kUnsupported;
  }
}

// The per-pixel helpers must inline into the span loops.
#define KESTO_PIXEL inline __attribute__((always_inline))

// round(a * b / 255) for bytes, exactly.
KESTO_PIXEL int Mul8(int a, int b) {
  const int t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

struct Argb {
  int a, r, g, b;
};

template <TexKind T>
KESTO_PIXEL uint32_t FetchRaw(const uint8_t* row, int x) {
  if constexpr (T == TexKind::k8888 || T == TexKind::kX888) {
    uint32_t v;
    std::memcpy(&v, row + static_cast<size_t>(x) * 4, 4);
    return v;
  } else {
    uint16_t v;
    std::memcpy(&v, row + static_cast<size_t>(x) * 2, 2);
    return v;
  }
}

template <TexKind T>
KESTO_PIXEL Argb Decode(uint32_t v) {
  if constexpr (T == TexKind::k565) {
    const int r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
    return {255, (r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
  } else if constexpr (T == TexKind::k555 || T == TexKind::k1555) {
    const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
    const int a = T == TexKind::k1555 ? ((v & 0x8000) ? 255 : 0) : 255;
    return {a, (r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2)};
  } else if constexpr (T == TexKind::k4444) {
    return {static_cast<int>((v >> 12) & 15) * 17, static_cast<int>((v >> 8) & 15) * 17,
            static_cast<int>((v >> 4) & 15) * 17, static_cast<int>(v & 15) * 17};
  } else if constexpr (T == TexKind::k8888) {
    return {static_cast<int>(v >> 24), static_cast<int>((v >> 16) & 255),
            static_cast<int>((v >> 8) & 255), static_cast<int>(v & 255)};
  } else if constexpr (T == TexKind::kX888) {
    return {255, static_cast<int>((v >> 16) & 255), static_cast<int>((v >> 8) & 255),
            static_cast<int>(v & 255)};
  } else {
    return {255, 255, 255, 255};
  }
}

template <DstKind D>
KESTO_PIXEL uint32_t LoadDst(const uint8_t* p) {
  if constexpr (D == DstKind::k8888) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  } else {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
  }
}

template <DstKind D>
KESTO_PIXEL Argb UnpackDst(uint32_t v) {
  if constexpr (D == DstKind::k565) return Decode<TexKind::k565>(v);
  if constexpr (D == DstKind::k555) return Decode<TexKind::k555>(v);
  return Decode<TexKind::kX888>(v);
}

template <DstKind D>
KESTO_PIXEL void StoreDst(uint8_t* p, int r, int g, int b) {
  if constexpr (D == DstKind::k565) {
    const uint16_t v = static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    std::memcpy(p, &v, 2);
  } else if constexpr (D == DstKind::k555) {
    const uint16_t v = static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    std::memcpy(p, &v, 2);
  } else {
    const uint32_t v = (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
                       static_cast<uint32_t>(b);
    std::memcpy(p, &v, 4);
  }
}

KESTO_PIXEL int Factor(uint32_t sel, int src_c, int src_a, int dst_c) {
  switch (sel) {
    case kBlendZero:
      return 0;
    case kBlendOne:
      return 255;
    case kBlendSrcColor:
      return src_c;
    case kBlendInvSrcColor:
      return 255 - src_c;
    case kBlendSrcAlpha:
      return src_a;
    case kBlendInvSrcAlpha:
      return 255 - src_a;
    case kBlendDestAlpha:
      return 255;  // targets carry no alpha: read as opaque
    case kBlendInvDestAlpha:
      return 0;
    case kBlendDestColor:
      return dst_c;
    case kBlendInvDestColor:
      return 255 - dst_c;
    default:
      return 0;
  }
}

// How a stage combines texel and diffuse for one channel group.
enum class Combine { kTexture, kDiffuse, kModulate, kTextureSquared, kDiffuseSquared };

Combine CombineOf(uint32_t op, uint32_t arg1, uint32_t arg2) {
  const bool t1 = arg1 == kTaTexture, t2 = arg2 == kTaTexture;
  switch (op) {
    case kTopSelectArg1:
      return t1 ? Combine::kTexture : Combine::kDiffuse;
    case kTopSelectArg2:
      return t2 ? Combine::kTexture : Combine::kDiffuse;
    case kTopModulate:
      if (t1 != t2) return Combine::kModulate;
      return t1 ? Combine::kTextureSquared : Combine::kDiffuseSquared;
    default:
      return Combine::kDiffuse;  // a disabled stage passes the diffuse colour on
  }
}

KESTO_PIXEL int Apply(Combine c, int tex, int dif) {
  switch (c) {
    case Combine::kTexture:
      return tex;
    case Combine::kDiffuse:
      return dif;
    case Combine::kModulate:
      return Mul8(tex, dif);
    case Combine::kTextureSquared:
      return Mul8(tex, tex);
    default:
      return Mul8(dif, dif);
  }
}

struct SpanContext {
  const uint8_t* tex_base = nullptr;
  int tex_pitch = 0;
  int tex_w = 1, tex_h = 1;
  bool wrap = false;
  bool key_on = false;
  uint32_t key = 0;
  uint32_t key_mask = 0;
  Combine color, alpha;
  Argb diffuse;
  uint32_t src_blend, dest_blend;
};

KESTO_PIXEL int Wrap(int64_t fixed, int size) {
  int64_t i = (fixed >> 16) % size;
  return static_cast<int>(i < 0 ? i + size : i);
}

KESTO_PIXEL int Clamp(int64_t fixed, int64_t last) {
  const int64_t i = fixed >> 16;
  return static_cast<int>(i < 0 ? 0 : (i > last ? last : i));
}

// The stage combinations the library sets get their own loops: colour is
// texture x diffuse, alpha the diffuse's or texture x diffuse.
enum class StageKind { kModulate, kGeneric };

// One span of pixels. Everything the loop reads is copied to locals first so
// that the pixel stores cannot make the compiler reload it.
template <TexKind T, DstKind D, BlendKind B, StageKind S>
uint64_t DrawSpan(const SpanContext& c, uint8_t* dst, int count, int64_t s, int64_t t, int64_t ds,
                  int64_t dt) {
  constexpr int kBytes = D == DstKind::k8888 ? 4 : 2;
  const uint8_t* const base = c.tex_base;
  const size_t pitch = static_cast<size_t>(c.tex_pitch);
  const int w = c.tex_w, h = c.tex_h;
  const int64_t w_last = w - 1, h_last = h - 1;
  const bool wrap = c.wrap, key_on = c.key_on;
  const uint32_t key = c.key, key_mask = c.key_mask;
  const int dr = c.diffuse.r, dg = c.diffuse.g, db = c.diffuse.b, da = c.diffuse.a;
  const bool white = dr == 255 && dg == 255 && db == 255;
  const bool alpha_modulate = c.alpha == Combine::kModulate;
  const Combine color_combine = c.color, alpha_combine = c.alpha;
  const uint32_t src_blend = c.src_blend, dest_blend = c.dest_blend;
  uint64_t written = 0;
  // Colours one pixel from its texel; false when nothing is written.
  auto shade = [&](uint8_t * out, const Argb& tex) __attribute__((always_inline)) {
    int a, r, g, b;
    if constexpr (S == StageKind::kModulate) {
      a = alpha_modulate ? Mul8(tex.a, da) : da;
      if (white) {
        r = tex.r, g = tex.g, b = tex.b;
      } else {
        r = Mul8(tex.r, dr), g = Mul8(tex.g, dg), b = Mul8(tex.b, db);
      }
    } else {
      a = Apply(alpha_combine, tex.a, da);
      r = Apply(color_combine, tex.r, dr);
      g = Apply(color_combine, tex.g, dg);
      b = Apply(color_combine, tex.b, db);
    }
    if constexpr (B == BlendKind::kAlpha) {
      if (a == 0) return false;
      if (a != 255) {
        const Argb d = UnpackDst<D>(LoadDst<D>(out));
        const int ia = 255 - a;
        r = Mul8(r, a) + Mul8(d.r, ia);
        g = Mul8(g, a) + Mul8(d.g, ia);
        b = Mul8(b, a) + Mul8(d.b, ia);
      }
    } else if constexpr (B == BlendKind::kGeneric) {
      const Argb d = UnpackDst<D>(LoadDst<D>(out));
      r = std::min(
          255, Mul8(r, Factor(src_blend, r, a, d.r)) + Mul8(d.r, Factor(dest_blend, r, a, d.r)));
      g = std::min(
          255, Mul8(g, Factor(src_blend, g, a, d.g)) + Mul8(d.g, Factor(dest_blend, g, a, d.g)));
      b = std::min(
          255, Mul8(b, Factor(src_blend, b, a, d.b)) + Mul8(d.b, Factor(dest_blend, b, a, d.b)));
    }
    StoreDst<D>(out, r, g, b);
    return true;
  };
  if constexpr (T == TexKind::k1555 && D == DstKind::k565 && S == StageKind::kModulate &&
                B != BlendKind::kGeneric) {
    // The game's sprites: 1-bit alpha texels copied or skipped, white and
    // opaque diffuse. The bits move straight from 1-5-5-5 to 5-6-5, as
    // widening to 8 bits and narrowing again would give.
    if (white && da == 255) {
      auto put = [&](uint8_t * out, uint32_t raw) __attribute__((always_inline)) {
        if (key_on && (raw & key_mask) == key) return false;
        if (B == BlendKind::kAlpha && alpha_modulate && !(raw & 0x8000u)) return false;
        const uint16_t v = static_cast<uint16_t>(((raw & 0x7C00u) << 1) | ((raw & 0x03E0u) << 1) |
                                                 ((raw >> 4) & 0x20u) | (raw & 0x1Fu));
        std::memcpy(out, &v, 2);
        return true;
      };
      const int64_t first = s >> 16, row = t >> 16;
      if (ds == 65536 && dt == 0 && first >= 0 && first + count - 1 <= w_last && row >= 0 &&
          row <= h_last) {
        const uint8_t* texels = base + static_cast<size_t>(row) * pitch;
        for (int i = 0; i < count; ++i, dst += kBytes) {
          written += put(dst, FetchRaw<T>(texels, static_cast<int>(first) + i));
        }
        return written;
      }
      for (int i = 0; i < count; ++i, dst += kBytes, s += ds, t += dt) {
        const int tx = wrap ? Wrap(s, w) : Clamp(s, w_last);
        const int ty = wrap ? Wrap(t, h) : Clamp(t, h_last);
        written += put(dst, FetchRaw<T>(base + static_cast<size_t>(ty) * pitch, tx));
      }
      return written;
    }
  }
  if constexpr (T == TexKind::kNone) {
    for (int i = 0; i < count; ++i, dst += kBytes) written += shade(dst, Argb{255, 255, 255, 255});
    return written;
  } else {
    // Upright copies at scale 1 walk one texel row with no addressing.
    const int64_t first = s >> 16, row = t >> 16;
    if (ds == 65536 && dt == 0 && first >= 0 && first + count - 1 <= w_last && row >= 0 &&
        row <= h_last) {
      const uint8_t* texels = base + static_cast<size_t>(row) * pitch;
      for (int i = 0; i < count; ++i, dst += kBytes) {
        const uint32_t raw = FetchRaw<T>(texels, static_cast<int>(first) + i);
        if (key_on && (raw & key_mask) == key) continue;
        written += shade(dst, Decode<T>(raw));
      }
      return written;
    }
    for (int i = 0; i < count; ++i, dst += kBytes, s += ds, t += dt) {
      const int tx = wrap ? Wrap(s, w) : Clamp(s, w_last);
      const int ty = wrap ? Wrap(t, h) : Clamp(t, h_last);
      const uint32_t raw = FetchRaw<T>(base + static_cast<size_t>(ty) * pitch, tx);
      if (key_on && (raw & key_mask) == key) continue;
      written += shade(dst, Decode<T>(raw));
    }
    return written;
  }
}

using SpanFn = uint64_t (*)(const SpanContext&, uint8_t*, int, int64_t, int64_t, int64_t, int64_t);

template <TexKind T, DstKind D, BlendKind B>
SpanFn PickStage(StageKind s) {
  return s == StageKind::kModulate ? &DrawSpan<T, D, B, StageKind::kModulate>
                                   : &DrawSpan<T, D, B, StageKind::kGeneric>;
}

template <TexKind T, DstKind D>
SpanFn PickBlend(BlendKind b, StageKind s) {
  switch (b) {
    case BlendKind::kOff:
      return PickStage<T, D, BlendKind::kOff>(s);
    case BlendKind::kAlpha:
      return PickStage<T, D, BlendKind::kAlpha>(s);
    default:
      return PickStage<T, D, BlendKind::kGeneric>(s);
  }
}

template <TexKind T>
SpanFn PickTarget(DstKind d, BlendKind b, StageKind s) {
  switch (d) {
    case DstKind::k565:
      return PickBlend<T, DstKind::k565>(b, s);
    case DstKind::k555:
      return PickBlend<T, DstKind::k555>(b, s);
    default:
      return PickBlend<T, DstKind::k8888>(b, s);
  }
}

SpanFn PickSpan(TexKind t, DstKind d, BlendKind b, StageKind s) {
  switch (t) {
    case TexKind::k565:
      return PickTarget<TexKind::k565>(d, b, s);
    case TexKind::k555:
      return PickTarget<TexKind::k555>(d, b, s);
    case TexKind::k1555:
      return PickTarget<TexKind::k1555>(d, b, s);
    case TexKind::k4444:
      return PickTarget<TexKind::k4444>(d, b, s);
    case TexKind::k8888:
      return PickTarget<TexKind::k8888>(d, b, s);
    case TexKind::kX888:
      return PickTarget<TexKind::kX888>(d, b, s);
    default:
      return PickTarget<TexKind::kNone>(d, b, s);
  }
}

inline int64_t FloorDiv(int64_t n, int64_t d) {  // d > 0
  int64_t q = n / d;
  if ((n % d != 0) && (n < 0)) --q;
  return q;
}
inline int64_t CeilDiv(int64_t n, int64_t d) { return -FloorDiv(-n, d); }

// Positions beyond this many pixels are refused rather than overflow.
constexpr float kMaxCoordinate = 1 << 20;

bool Snap(float v, int64_t* out) {
  if (!(v > -kMaxCoordinate && v < kMaxCoordinate)) return false;  // also NaN
  *out = static_cast<int64_t>(std::lrint(static_cast<double>(v) * 16.0));
  return true;
}

// 16.16 fixed point of a texel coordinate, bounded so that steps cannot overflow.
int64_t ToFixed(double v) {
  constexpr double kLimit = 1099511627776.0;  // 2^40
  if (!(v > -kLimit)) v = -kLimit;
  if (!(v < kLimit)) v = kLimit;
  const double f = v * 65536.0;
  const int64_t i = static_cast<int64_t>(f);
  return static_cast<double>(i) > f ? i - 1 : i;
}

// Texel coordinates with 32 fractional bits, bounded so that a row's
// stepping cannot overflow: positions are below 2^20 texels, gradients below
// 2^14 texels per pixel and targets below 2^15 pixels wide.
int64_t ToFine(double v) {
  constexpr double kLimit = 1048576.0;  // 2^20
  if (!(v > -kLimit)) v = -kLimit;
  if (!(v < kLimit)) v = kLimit;
  const double f = v * 4294967296.0;
  const int64_t i = static_cast<int64_t>(f);
  return static_cast<double>(i) > f ? i - 1 : i;
}

int64_t ToFineStep(double v) {
  constexpr double kLimit = 16384.0;  // 2^14
  if (!(v > -kLimit)) v = -kLimit;
  if (!(v < kLimit)) v = kLimit;
  return static_cast<int64_t>(std::llround(v * 4294967296.0));
}

struct Edge {
  int64_t a, b, c;  // E(x, y) = a*x + b*y + c, in 1/256 pixel^2
  int64_t bias;     // 0 on a top or left edge, else 1
};

Edge MakeEdge(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  const int64_t dx = x1 - x0, dy = y1 - y0;
  Edge e;
  e.a = -16 * dy;
  e.b = 16 * dx;
  e.c = dy * x0 - dx * y0;
  const bool top_left = dy < 0 || (dy == 0 && dx > 0);
  e.bias = top_left ? 0 : 1;
  return e;
}

// floor(m / den) for m stepping by a constant per row, without dividing
// in the row loop.
struct Stepper {
  int64_t q = 0, r = 0, dq = 0, dr = 0, den = 1;
  void Init(int64_t m, int64_t step, int64_t divisor) {
    den = divisor;
    q = FloorDiv(m, den);
    r = m - q * den;
    dq = FloorDiv(step, den);
    dr = step - dq * den;
  }
  void Next() {
    q += dq;
    r += dr;
    if (r >= den) {
      r -= den;
      ++q;
    }
  }
};

// The pixels of one row an edge allows: x >= bound on a left edge, x <= bound
// on a right edge, all or nothing on a horizontal one.
struct EdgeWalk {
  enum Kind { kLeft, kRight, kFlat } kind;
  Stepper step;
  int64_t k, dk, bias;
  void Init(const Edge& e, int64_t y) {
    const int64_t k0 = e.b * y + e.c;
    bias = e.bias;
    if (e.a > 0) {
      kind = kLeft;  // x >= ceil((bias - K) / a)
      step.Init(bias - k0 + e.a - 1, -e.b, e.a);
    } else if (e.a < 0) {
      kind = kRight;  // x <= floor((K - bias) / -a)
      step.Init(k0 - bias, e.b, -e.a);
    } else {
      kind = kFlat;
      k = k0;
      dk = e.b;
    }
  }
  void Next() {
    if (kind == kFlat) {
      k += dk;
    } else {
      step.Next();
    }
  }
  void Limit(int64_t* left, int64_t* right) const {
    if (kind == kLeft) {
      *left = std::max(*left, step.q);
    } else if (kind == kRight) {
      *right = std::min(*right, step.q);
    } else if (k < bias) {
      *left = *right + 1;
    }
  }
};

}  // namespace

namespace {
bool IsSampleableFormat(const PixelFormat& f) { return KindOfTexture(f) != TexKind::kNone; }
}  // namespace

uint64_t ReferenceDrawTriangle(const RasterState& st, const TLVertex& va, const TLVertex& vb,
                               const TLVertex& vc, uint32_t flat_color) {
  if (!st.target) return 0;
  const DstKind dk = KindOfTarget(st.target->format());
  if (dk == DstKind::kUnsupported) return 0;
  video::Rect clip =
      video::Intersect(st.clip, video::Rect{0, 0, st.target->width(), st.target->height()});
  if (clip.Empty()) return 0;

  int64_t X[3], Y[3];
  const TLVertex* v[3] = {&va, &vb, &vc};
  for (int i = 0; i < 3; ++i) {
    if (!Snap(v[i]->x, &X[i]) || !Snap(v[i]->y, &Y[i])) return 0;
  }
  int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
  if (area == 0) return 0;
  // Positive area is clockwise on a screen whose y grows downwards.
  if ((st.cull == kCullCcw && area < 0) || (st.cull == kCullCw && area > 0)) return 0;
  if (area < 0) {
    std::swap(X[1], X[2]);
    std::swap(Y[1], Y[2]);
    std::swap(v[1], v[2]);
    area = -area;
  }
  const Edge edges[3] = {MakeEdge(X[0], Y[0], X[1], Y[1]), MakeEdge(X[1], Y[1], X[2], Y[2]),
                         MakeEdge(X[2], Y[2], X[0], Y[0])};

  const int64_t min_y = std::min({Y[0], Y[1], Y[2]});
  const int64_t max_y = std::max({Y[0], Y[1], Y[2]});
  const int64_t row_first = std::max<int64_t>(CeilDiv(min_y, 16), clip.top);
  const int64_t row_last = std::min<int64_t>(FloorDiv(max_y, 16), clip.bottom - 1);
  if (row_first > row_last) return 0;

  SpanContext c;
  TexKind tk = TexKind::kNone;
  if (st.texture && IsSampleableFormat(st.texture->format())) {
    tk = KindOfTexture(st.texture->format());
    c.tex_base = st.texture->Row(0);
    c.tex_pitch = st.texture->pitch();
    c.tex_w = st.texture->width();
    c.tex_h = st.texture->height();
    c.wrap = st.address == kAddressWrap;
    if (st.color_key && st.texture->has_color_key()) {
      const PixelFormat& f = st.texture->format();
      c.key_on = true;
      c.key_mask = f.red_mask | f.green_mask | f.blue_mask;
      c.key = st.texture->color_key() & c.key_mask;
    }
  }
  c.color = CombineOf(st.color_op, st.color_arg1, st.color_arg2);
  c.alpha = CombineOf(st.alpha_op, st.alpha_arg1, st.alpha_arg2);
  c.diffuse = {static_cast<int>(flat_color >> 24), static_cast<int>((flat_color >> 16) & 255),
               static_cast<int>((flat_color >> 8) & 255), static_cast<int>(flat_color & 255)};
  c.src_blend = st.src_blend;
  c.dest_blend = st.dest_blend;
  BlendKind bk = BlendKind::kOff;
  if (st.blend) {
    bk = (st.src_blend == kBlendSrcAlpha && st.dest_blend == kBlendInvSrcAlpha)
             ? BlendKind::kAlpha
             : BlendKind::kGeneric;
    if (st.src_blend == kBlendOne && st.dest_blend == kBlendZero) bk = BlendKind::kOff;
  }
  const bool stage_modulate = c.color == Combine::kModulate &&
                              (c.alpha == Combine::kModulate || c.alpha == Combine::kDiffuse);
  const SpanFn span =
      PickSpan(tk, dk, bk, stage_modulate ? StageKind::kModulate : StageKind::kGeneric);

  // Texel coordinates as planes over the snapped positions.
  const double x0 = X[0] / 16.0, y0 = Y[0] / 16.0;
  const double e1x = (X[1] - X[0]) / 16.0, e1y = (Y[1] - Y[0]) / 16.0;
  const double e2x = (X[2] - X[0]) / 16.0, e2y = (Y[2] - Y[0]) / 16.0;
  const double det = static_cast<double>(area) / 256.0;
  auto plane = [&](double q0, double q1, double q2, double scale, double* dx, double* dy) {
    const double d1 = (q1 - q0) * scale, d2 = (q2 - q0) * scale;
    *dx = (d1 * e2y - d2 * e1y) / det;
    *dy = (d2 * e1x - d1 * e2x) / det;
  };
  auto finite = [](float f) { return std::isfinite(f) ? static_cast<double>(f) : 0.0; };
  const double u[3] = {finite(v[0]->u), finite(v[1]->u), finite(v[2]->u)};
  const double w[3] = {finite(v[0]->v), finite(v[1]->v), finite(v[2]->v)};
  double dsdx, dsdy, dtdx, dtdy;
  plane(u[0], u[1], u[2], c.tex_w, &dsdx, &dsdy);
  plane(w[0], w[1], w[2], c.tex_h, &dtdx, &dtdy);
  const double s0 = u[0] * c.tex_w, t0 = w[0] * c.tex_h;
  const int64_t ds = ToFixed(dsdx + 0.5 / 65536.0), dt = ToFixed(dtdx + 0.5 / 65536.0);

  // Texel coordinates in 32.32 fixed point, stepped per row from the first
  // row's value at the clip's left edge.
  const int64_t left0 = clip.left;
  const double px0 = static_cast<double>(left0) - x0, py0 = static_cast<double>(row_first) - y0;
  int64_t s_row = ToFine(s0 + dsdx * px0 + dsdy * py0);
  int64_t t_row = ToFine(t0 + dtdx * px0 + dtdy * py0);
  const int64_t dsdx_fine = ToFineStep(dsdx), dsdy_fine = ToFineStep(dsdy);
  const int64_t dtdx_fine = ToFineStep(dtdx), dtdy_fine = ToFineStep(dtdy);
  uint64_t written = 0;
  EdgeWalk walks[3];
  for (int i = 0; i < 3; ++i) walks[i].Init(edges[i], row_first);
  const size_t bpp = static_cast<size_t>(st.target->bytes_per_pixel());
  for (int64_t y = row_first; y <= row_last; ++y, s_row += dsdy_fine, t_row += dtdy_fine) {
    int64_t left = clip.left, right = clip.right - 1;
    for (EdgeWalk& w : walks) {
      w.Limit(&left, &right);
      w.Next();
    }
    if (left > right) continue;
    const int64_t s = (s_row + dsdx_fine * (left - left0)) >> 16;
    const int64_t t = (t_row + dtdx_fine * (left - left0)) >> 16;
    uint8_t* row = st.target->Row(static_cast<int>(y)) + static_cast<size_t>(left) * bpp;
    written += span(c, row, static_cast<int>(right - left + 1), s, t, ds, dt);
  }
  return written;
}

}  // namespace platform::video3d::reference
