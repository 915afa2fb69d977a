#include "platform/video3d/rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/video3d/span_argb.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define KESTO_RASTER_X86 1
#endif

namespace platform::video3d {

using video::PixelFormat;

namespace {

// kAny: a texture format read through a per-texel switch, for the formats
// the game does not draw with, so their loops are not built once each (the
// specialised set already takes most of the build).
enum class TexKind { kNone, k565, k555, k1555, k4444, k8888, kX888, kAny };
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

// Texel reads of a loop built for kind T; a kAny loop reads the kind it
// was given, with the same conversions.
template <TexKind T>
KESTO_PIXEL uint32_t FetchTexel(TexKind kind, const uint8_t* row, int x) {
  if constexpr (T == TexKind::kAny) {
    return kind == TexKind::k8888 || kind == TexKind::kX888 ? FetchRaw<TexKind::k8888>(row, x)
                                                            : FetchRaw<TexKind::k565>(row, x);
  } else {
    return FetchRaw<T>(row, x);
  }
}

template <TexKind T>
KESTO_PIXEL Argb DecodeTexel(TexKind kind, uint32_t v) {
  if constexpr (T == TexKind::kAny) {
    switch (kind) {
      case TexKind::k565:
        return Decode<TexKind::k565>(v);
      case TexKind::k555:
        return Decode<TexKind::k555>(v);
      case TexKind::k1555:
        return Decode<TexKind::k1555>(v);
      case TexKind::k4444:
        return Decode<TexKind::k4444>(v);
      case TexKind::k8888:
        return Decode<TexKind::k8888>(v);
      case TexKind::kX888:
        return Decode<TexKind::kX888>(v);
      default:
        return Decode<TexKind::kNone>(v);
    }
  } else {
    return Decode<T>(v);
  }
}

struct SpanContext {
  TexKind tex_kind = TexKind::kNone;  // the texture's own kind, read by kAny loops
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

// The game's sprites (1-5-5-5 texels into a 5-6-5 target, white opaque
// diffuse) are copies: a texel is written or skipped, its bits moved straight
// from 1-5-5-5 to 5-6-5 as widening to 8 bits and narrowing again would give.
struct SpriteRule {
  bool key_on;
  uint16_t key, key_mask;
  bool alpha_test;  // texels without their alpha bit are skipped
};

struct SpriteTexture {
  const uint8_t* base;
  size_t pitch;
  int w, h;
  bool wrap;
};

KESTO_PIXEL bool SpriteKeeps(const SpriteRule& r, uint32_t raw) {
  if (r.key_on && (raw & r.key_mask) == r.key) return false;
  return !(r.alpha_test && !(raw & 0x8000u));
}

KESTO_PIXEL uint16_t Sprite565(uint32_t raw) {
  return static_cast<uint16_t>(((raw & 0x7FE0u) << 1) | ((raw >> 4) & 0x20u) | (raw & 0x1Fu));
}

KESTO_PIXEL uint64_t SpritePut(const SpriteRule& r, uint8_t* out, uint32_t raw) {
  if (!SpriteKeeps(r, raw)) return 0;
  const uint16_t v = Sprite565(raw);
  std::memcpy(out, &v, 2);
  return 1;
}

// Whether the vector paths may run; tests switch them off to check the
// plain loops against the same model.
bool g_simd_allowed = true;

#if KESTO_RASTER_X86
bool CpuHasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}
bool UseSimd() { return g_simd_allowed && CpuHasAvx2(); }

// Eight texels into eight target pixels; `lanes` marks the pixels this call
// may write (all ones or zero per 16-bit lane). Returns the lanes written.
KESTO_PIXEL __m128i SpriteStore8(const SpriteRule& r, uint8_t* dst, __m128i raw, __m128i lanes) {
  __m128i keep = lanes;
  if (r.alpha_test) keep = _mm_and_si128(keep, _mm_srai_epi16(raw, 15));
  if (r.key_on) {
    const __m128i keyed =
        _mm_cmpeq_epi16(_mm_and_si128(raw, _mm_set1_epi16(static_cast<int16_t>(r.key_mask))),
                        _mm_set1_epi16(static_cast<int16_t>(r.key)));
    keep = _mm_andnot_si128(keyed, keep);
  }
  const __m128i v =
      _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_and_si128(raw, _mm_set1_epi16(0x7FE0)), 1),
                                _mm_and_si128(_mm_srli_epi16(raw, 4), _mm_set1_epi16(0x20))),
                   _mm_and_si128(raw, _mm_set1_epi16(0x1F)));
  const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                   _mm_or_si128(_mm_and_si128(keep, v), _mm_andnot_si128(keep, old)));
  return keep;
}

// Pixels written, from the written lanes subtracted from zero per vector.
KESTO_PIXEL uint64_t SumLanes(__m128i tally) {
  __m128i sum = _mm_madd_epi16(tally, _mm_set1_epi16(1));
  sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
  sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(2, 3, 0, 1)));
  return static_cast<uint32_t>(_mm_cvtsi128_si32(sum));
}

// Lanes k >= from of eight 16-bit lanes.
KESTO_PIXEL __m128i LanesFrom(int from) {
  return _mm_cmpgt_epi16(_mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7),
                         _mm_set1_epi16(static_cast<int16_t>(from - 1)));
}
#else
bool UseSimd() { return false; }
#endif

#if KESTO_RASTER_X86
// SpriteStore8 on sixteen pixels.
__attribute__((target("avx2"), always_inline)) inline __m256i SpriteStore16(const SpriteRule& r,
                                                                            uint8_t* dst,
                                                                            __m256i raw,
                                                                            __m256i lanes) {
  __m256i keep = lanes;
  if (r.alpha_test) keep = _mm256_and_si256(keep, _mm256_srai_epi16(raw, 15));
  if (r.key_on) {
    const __m256i keyed = _mm256_cmpeq_epi16(
        _mm256_and_si256(raw, _mm256_set1_epi16(static_cast<int16_t>(r.key_mask))),
        _mm256_set1_epi16(static_cast<int16_t>(r.key)));
    keep = _mm256_andnot_si256(keyed, keep);
  }
  const __m256i v = _mm256_or_si256(
      _mm256_or_si256(_mm256_slli_epi16(_mm256_and_si256(raw, _mm256_set1_epi16(0x7FE0)), 1),
                      _mm256_and_si256(_mm256_srli_epi16(raw, 4), _mm256_set1_epi16(0x20))),
      _mm256_and_si256(raw, _mm256_set1_epi16(0x1F)));
  const __m256i old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_blendv_epi8(old, v, keep));
  return keep;
}

// An upright sprite row of sixteen pixels or more, sixteen at a time.
__attribute__((target("avx2"))) uint64_t SpriteRowUprightAvx2(const SpriteRule& r,
                                                              const uint8_t* texels, uint8_t* dst,
                                                              int count) {
  const __m256i all = _mm256_set1_epi16(-1);
  __m256i tally = _mm256_setzero_si256();
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + 2 * i));
    tally = _mm256_sub_epi16(tally, SpriteStore16(r, dst + 2 * i, raw, all));
  }
  if (i < count) {
    const int j = count - 16;
    const __m256i from = _mm256_set1_epi16(static_cast<int16_t>(i - j - 1));
    const __m256i lanes = _mm256_cmpgt_epi16(
        _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15), from);
    const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + 2 * j));
    tally = _mm256_sub_epi16(tally, SpriteStore16(r, dst + 2 * j, raw, lanes));
  }
  return SumLanes(_mm_add_epi16(_mm256_castsi256_si128(tally), _mm256_extracti128_si256(tally, 1)));
}
#endif

// An upright sprite row at scale 1: `texels` is the row's first texel. A
// row of eight or more ends with a vector overlapping the one before it; the
// pixels already done are left alone.
uint64_t SpriteRowUpright(const SpriteRule& r, const uint8_t* texels, uint8_t* dst, int count) {
  uint64_t written = 0;
  int i = 0;
#if KESTO_RASTER_X86
  if (count >= 16 && UseSimd()) return SpriteRowUprightAvx2(r, texels, dst, count);
  if (count >= 8 && g_simd_allowed) {
    const __m128i all = _mm_set1_epi16(-1);
    __m128i tally = _mm_setzero_si128();
    for (; i + 8 <= count; i += 8) {
      const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + 2 * i));
      tally = _mm_sub_epi16(tally, SpriteStore8(r, dst + 2 * i, raw, all));
    }
    if (i < count) {
      const int j = count - 8;
      const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + 2 * j));
      tally = _mm_sub_epi16(tally, SpriteStore8(r, dst + 2 * j, raw, LanesFrom(i - j)));
    }
    return SumLanes(tally);
  }
#endif
  for (; i < count; ++i) {
    uint16_t raw;
    std::memcpy(&raw, texels + 2 * i, 2);
    written += SpritePut(r, dst + 2 * i, raw);
  }
  return written;
}

uint64_t SpriteRowTurned(const SpriteRule& r, const SpriteTexture& tex, uint8_t* dst, int count,
                         int64_t s, int64_t t, int64_t ds, int64_t dt) {
  uint64_t written = 0;
  const int64_t w_last = tex.w - 1, h_last = tex.h - 1;
  for (int i = 0; i < count; ++i, dst += 2, s += ds, t += dt) {
    const int tx = tex.wrap ? Wrap(s, tex.w) : Clamp(s, w_last);
    const int ty = tex.wrap ? Wrap(t, tex.h) : Clamp(t, h_last);
    uint16_t raw;
    std::memcpy(&raw, tex.base + static_cast<size_t>(ty) * tex.pitch + static_cast<size_t>(tx) * 2,
                2);
    written += SpritePut(r, dst, raw);
  }
  return written;
}

// Texel coordinates along a row: 16.16 at the run's first pixel, and their
// steps per pixel.
struct TexelLine {
  int64_t s, t, ds, dt;
};

#if KESTO_RASTER_X86
// Eight clamped texels at 16.16 coordinates S, T.
__attribute__((target("avx2"), always_inline)) inline __m128i GatherSprite8(
    const SpriteTexture& tex, __m256i S, __m256i T) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i tx = _mm256_min_epi32(_mm256_max_epi32(_mm256_srai_epi32(S, 16), zero),
                                      _mm256_set1_epi32(tex.w - 1));
  const __m256i ty = _mm256_min_epi32(_mm256_max_epi32(_mm256_srai_epi32(T, 16), zero),
                                      _mm256_set1_epi32(tex.h - 1));
  const __m256i index = _mm256_add_epi32(
      _mm256_mullo_epi32(ty, _mm256_set1_epi32(static_cast<int32_t>(tex.pitch / 2))), tx);
  // Eight loads of their own, which the processors here do faster than a
  // gather; the indices come out two at a time.
  const uint16_t* const texels = reinterpret_cast<const uint16_t*>(tex.base);
  const __m128i lo = _mm256_castsi256_si128(index), hi = _mm256_extracti128_si256(index, 1);
  const uint64_t pairs[4] = {static_cast<uint64_t>(_mm_cvtsi128_si64(lo)),
                             static_cast<uint64_t>(_mm_extract_epi64(lo, 1)),
                             static_cast<uint64_t>(_mm_cvtsi128_si64(hi)),
                             static_cast<uint64_t>(_mm_extract_epi64(hi, 1))};
  __m128i v = _mm_cvtsi32_si128(texels[static_cast<uint32_t>(pairs[0])]);
  v = _mm_insert_epi16(v, texels[pairs[0] >> 32], 1);
  v = _mm_insert_epi16(v, texels[static_cast<uint32_t>(pairs[1])], 2);
  v = _mm_insert_epi16(v, texels[pairs[1] >> 32], 3);
  v = _mm_insert_epi16(v, texels[static_cast<uint32_t>(pairs[2])], 4);
  v = _mm_insert_epi16(v, texels[pairs[2] >> 32], 5);
  v = _mm_insert_epi16(v, texels[static_cast<uint32_t>(pairs[3])], 6);
  v = _mm_insert_epi16(v, texels[pairs[3] >> 32], 7);
  return v;
}

// Whether a line's coordinates at pixels first..last (relative to its
// origin) fit 32-bit lanes with room to spare. Steps are linear, so the
// ends bound every pixel between.
inline bool FitsLanes(const TexelLine& l, int64_t first, int64_t last) {
  constexpr int64_t kLimit = int64_t{1} << 30;
  const int64_t v[4] = {l.s + l.ds * first, l.s + l.ds * last, l.t + l.dt * first,
                        l.t + l.dt * last};
  for (int64_t x : v)
    if (x >= kLimit || x <= -kLimit) return false;
  return true;
}

// Per-lane offsets k*ds, k*dt of two lines.
struct TexelRamps {
  __m256i as, at, bs, bt;
};

__attribute__((target("avx2"), always_inline)) inline TexelRamps MakeRamps(const TexelLine& a,
                                                                           const TexelLine& b) {
  const __m256i k = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  return TexelRamps{_mm256_mullo_epi32(k, _mm256_set1_epi32(static_cast<int32_t>(a.ds))),
                    _mm256_mullo_epi32(k, _mm256_set1_epi32(static_cast<int32_t>(a.dt))),
                    _mm256_mullo_epi32(k, _mm256_set1_epi32(static_cast<int32_t>(b.ds))),
                    _mm256_mullo_epi32(k, _mm256_set1_epi32(static_cast<int32_t>(b.dt)))};
}

// The texels of pixels i..i+7 of a run (see SpriteRowTurnedAvx2).
template <bool kPair>
__attribute__((target("avx2"), always_inline)) inline __m128i TexelsAt(const SpriteTexture& tex,
                                                                       const TexelRamps& ramps,
                                                                       const TexelLine& a,
                                                                       int split,
                                                                       const TexelLine& b, int i) {
  __m256i S = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(a.s + a.ds * i)), ramps.as);
  __m256i T = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(a.t + a.dt * i)), ramps.at);
  if (kPair) {
    const int64_t j = i - split;
    const __m256i Sb =
        _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(b.s + b.ds * j)), ramps.bs);
    const __m256i Tb =
        _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(b.t + b.dt * j)), ramps.bt);
    const __m256i on_a =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(split - i), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    S = _mm256_blendv_epi8(Sb, S, on_a);
    T = _mm256_blendv_epi8(Tb, T, on_a);
  }
  return GatherSprite8(tex, S, T);
}

// The vector loop of SpriteRowTurnedAvx2, for pixels whose coordinates fit
// 32-bit lanes. Lanes past the row may wrap around: clamping keeps their
// reads in the texture, and they are never stored.
template <bool kPair>
__attribute__((target("avx2"), always_inline)) inline uint64_t SpriteLanesAvx2(
    const SpriteRule& r, const SpriteTexture& tex, const TexelRamps& ramps, uint8_t* dst, int count,
    const TexelLine& a, int split, const TexelLine& b) {
  if (count < 8) {
    alignas(16) uint16_t texels[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(texels),
                    TexelsAt<kPair>(tex, ramps, a, split, b, 0));
    uint64_t written = 0;
    for (int i = 0; i < count; ++i) written += SpritePut(r, dst + 2 * i, texels[i]);
    return written;
  }
  const __m128i all = _mm_set1_epi16(-1);
  __m128i tally = _mm_setzero_si128();
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    tally = _mm_sub_epi16(
        tally, SpriteStore8(r, dst + 2 * i, TexelsAt<kPair>(tex, ramps, a, split, b, i), all));
  }
  if (i < count) {
    const int j = count - 8;
    tally = _mm_sub_epi16(tally,
                          SpriteStore8(r, dst + 2 * j, TexelsAt<kPair>(tex, ramps, a, split, b, j),
                                       LanesFrom(i - j)));
  }
  return SumLanes(tally);
}

// A turned or scaled sprite row with clamped addressing, eight pixels at a
// time in 32-bit lanes. Pixels before `split` follow line `a` (from pixel
// 0), the others line `b` (from pixel `split`): the two triangles of a quad.
template <bool kPair>
__attribute__((target("avx2"), always_inline)) inline uint64_t SpriteRowTurnedAvx2(
    const SpriteRule& r, const SpriteTexture& tex, uint8_t* dst, int count, const TexelLine& a,
    int split, const TexelLine& b) {
  if (!FitsLanes(a, 0, (kPair ? split : count) - 1) ||
      (kPair && !FitsLanes(b, 0, count - split - 1)) ||
      tex.pitch / 2 * static_cast<size_t>(tex.h) >= (size_t{1} << 30)) {
    if (!kPair) return SpriteRowTurned(r, tex, dst, count, a.s, a.t, a.ds, a.dt);
    return SpriteRowTurned(r, tex, dst, split, a.s, a.t, a.ds, a.dt) +
           SpriteRowTurned(r, tex, dst + 2 * split, count - split, b.s, b.t, b.ds, b.dt);
  }
  return SpriteLanesAvx2<kPair>(r, tex, MakeRamps(a, b), dst, count, a, split, b);
}

__attribute__((target("avx2"))) uint64_t SpriteRunAvx2(const SpriteRule& r,
                                                       const SpriteTexture& tex, uint8_t* dst,
                                                       int count, const TexelLine& a) {
  return SpriteRowTurnedAvx2<false>(r, tex, dst, count, a, count, a);
}

__attribute__((target("avx2"))) uint64_t SpriteRunPairAvx2(const SpriteRule& r,
                                                           const SpriteTexture& tex, uint8_t* dst,
                                                           int count, const TexelLine& a, int split,
                                                           const TexelLine& b) {
  return SpriteRowTurnedAvx2<true>(r, tex, dst, count, a, split, b);
}
#endif

// One span of pixels. Everything the loop reads is copied to locals first so
// that the pixel stores cannot make the compiler reload it.
template <TexKind T, DstKind D, BlendKind B, StageKind S>
KESTO_PIXEL uint64_t DrawSpan(const SpanContext& c, uint8_t* dst, int count, int64_t s, int64_t t,
                              int64_t ds, int64_t dt) {
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
    // opaque diffuse.
    if (white && da == 255) {
      const SpriteRule rule{key_on, static_cast<uint16_t>(key), static_cast<uint16_t>(key_mask),
                            B == BlendKind::kAlpha && alpha_modulate};
      const int64_t first = s >> 16, row = t >> 16;
      if (ds == 65536 && dt == 0 && first >= 0 && first + count - 1 <= w_last && row >= 0 &&
          row <= h_last) {
        return SpriteRowUpright(rule, base + static_cast<size_t>(row) * pitch + first * 2, dst,
                                count);
      }
      const SpriteTexture tex{base, pitch, w, h, wrap};
#if KESTO_RASTER_X86
      if (!wrap && UseSimd()) return SpriteRunAvx2(rule, tex, dst, count, TexelLine{s, t, ds, dt});
#endif
      return SpriteRowTurned(rule, tex, dst, count, s, t, ds, dt);
    }
  }
#if KESTO_RASTER_X86
  if constexpr (T == TexKind::kNone && D == DstKind::k8888 && S == StageKind::kModulate &&
                B != BlendKind::kGeneric) {
    if (UseSimd()) {
      const ArgbSpanRule rule{false, 0,  0, B == BlendKind::kAlpha, alpha_modulate, false, dr,
                              dg,    db, da};
      return ArgbRowSolid(rule, dst, count);
    }
  }
  if constexpr ((T == TexKind::k8888 || T == TexKind::kX888) && D == DstKind::k8888 &&
                S == StageKind::kModulate && B != BlendKind::kGeneric) {
    // The game's sprites in a window: eight pixels at a time.
    if (UseSimd()) {
      const ArgbSpanRule rule{
          key_on, key, key_mask, B == BlendKind::kAlpha, alpha_modulate, T == TexKind::kX888, dr,
          dg,     db,  da};
      const int64_t first = s >> 16, row = t >> 16;
      if (ds == 65536 && dt == 0 && first >= 0 && first + count - 1 <= w_last && row >= 0 &&
          row <= h_last) {
        return ArgbRowUpright(rule, base + static_cast<size_t>(row) * pitch + first * 4, dst,
                              count);
      }
      if (!wrap && ArgbRowStepped(rule, ArgbTexture{base, pitch, w, h}, dst, count, s, t, ds, dt,
                                  &written)) {
        return written;
      }
    }
  }
#endif
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
        const uint32_t raw = FetchTexel<T>(c.tex_kind, texels, static_cast<int>(first) + i);
        if (key_on && (raw & key_mask) == key) continue;
        written += shade(dst, DecodeTexel<T>(c.tex_kind, raw));
      }
      return written;
    }
    for (int i = 0; i < count; ++i, dst += kBytes, s += ds, t += dt) {
      const int tx = wrap ? Wrap(s, w) : Clamp(s, w_last);
      const int ty = wrap ? Wrap(t, h) : Clamp(t, h_last);
      const uint32_t raw = FetchTexel<T>(c.tex_kind, base + static_cast<size_t>(ty) * pitch, tx);
      if (key_on && (raw & key_mask) == key) continue;
      written += shade(dst, DecodeTexel<T>(c.tex_kind, raw));
    }
    return written;
  }
}

// Two adjacent spans of one row, from the two triangles of a quad: `count_a`
// pixels at dst following line `a`, then `count_b` following line `b`. The
// sprite loops run them as one row; the others one after the other.
template <TexKind T, DstKind D, BlendKind B, StageKind S>
KESTO_PIXEL uint64_t DrawSpanPair(const SpanContext& c, uint8_t* dst, int count_a,
                                  const TexelLine& a, int count_b, const TexelLine& b) {
  constexpr int kBytes = D == DstKind::k8888 ? 4 : 2;
  if constexpr (T == TexKind::k1555 && D == DstKind::k565 && S == StageKind::kModulate &&
                B != BlendKind::kGeneric) {
    if (c.diffuse.r == 255 && c.diffuse.g == 255 && c.diffuse.b == 255 && c.diffuse.a == 255) {
      const SpriteRule rule{c.key_on, static_cast<uint16_t>(c.key),
                            static_cast<uint16_t>(c.key_mask),
                            B == BlendKind::kAlpha && c.alpha == Combine::kModulate};
      const int64_t first = a.s >> 16, row = a.t >> 16;
      const int count = count_a + count_b;
      // One upright row when the second span's texels continue the first's.
      if (a.ds == 65536 && a.dt == 0 && b.ds == 65536 && b.dt == 0 && (b.t >> 16) == row &&
          (b.s >> 16) == first + count_a && first >= 0 && first + count - 1 <= c.tex_w - 1 &&
          row >= 0 && row <= c.tex_h - 1) {
        return SpriteRowUpright(
            rule,
            c.tex_base + static_cast<size_t>(row) * static_cast<size_t>(c.tex_pitch) + first * 2,
            dst, count);
      }
#if KESTO_RASTER_X86
      const bool upright_a = a.ds == 65536 && a.dt == 0, upright_b = b.ds == 65536 && b.dt == 0;
      if (!c.wrap && !upright_a && !upright_b && UseSimd()) {
        const SpriteTexture tex{c.tex_base, static_cast<size_t>(c.tex_pitch), c.tex_w, c.tex_h,
                                false};
        return SpriteRunPairAvx2(rule, tex, dst, count, a, count_a, b);
      }
#endif
    }
  }
  return DrawSpan<T, D, B, S>(c, dst, count_a, a.s, a.t, a.ds, a.dt) +
         DrawSpan<T, D, B, S>(c, dst + count_a * kBytes, count_b, b.s, b.t, b.ds, b.dt);
}

inline int64_t FloorDiv(int64_t n, int64_t d) {  // d > 0
  int64_t q = n / d;
  if ((n % d != 0) && (n < 0)) --q;
  return q;
}
inline int64_t CeilDiv(int64_t n, int64_t d) { return -FloorDiv(-n, d); }

// Positions beyond this many pixels are refused rather than overflow.
constexpr float kMaxCoordinate = 1 << 20;

// The nearest integer, ties to even (the default rounding mode), as lrint.
inline int64_t RoundToEven(double v) {
#if KESTO_RASTER_X86
  return _mm_cvtsd_si64(_mm_set_sd(v));
#else
  return static_cast<int64_t>(std::lrint(v));
#endif
}

// The nearest integer, ties away from zero, as llround, for |v| < 2^62.
inline int64_t RoundHalfAway(double v) {
  const int64_t i = static_cast<int64_t>(v);       // towards zero
  const double frac = v - static_cast<double>(i);  // exact
  return frac >= 0.5 ? i + 1 : (frac <= -0.5 ? i - 1 : i);
}

bool Snap(float v, int64_t* out) {
  if (!(v > -kMaxCoordinate && v < kMaxCoordinate)) return false;  // also NaN
  *out = RoundToEven(static_cast<double>(v) * 16.0);
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
  return RoundHalfAway(v * 4294967296.0);
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
// in the row loop. A stepper that never moves stands in for a missing edge.
struct Stepper {
  int64_t q = 0, r = 0, dq = 0, dr = 0, den = 1;
  void Init(int64_t m, int64_t step, int64_t divisor) {
    den = divisor;
    q = FloorDiv(m, den);
    r = m - q * den;
    dq = FloorDiv(step, den);
    dr = step - dq * den;
  }
  void Fixed(int64_t value) { *this = Stepper{value, 0, 0, 0, 1}; }
  KESTO_PIXEL void Next() {
    q += dq;
    r += dr;
    const bool carry = r >= den;
    r -= carry ? den : 0;
    q += carry;
  }
};

// Everything one triangle's rows need. A triangle has one or two left edges
// (x >= bound), one or two right edges (x <= bound) and at most one
// horizontal edge, which allows a row wholly or not at all.
struct TriangleSetup {
  SpanContext c;
  uint8_t* rows;  // the target's first row
  size_t pitch, bpp;
  int64_t row_first, row_last;
  int64_t clip_left, clip_right;  // inclusive
  Stepper left[2], right[2];
  int64_t flat_k, flat_dk, flat_bias;
  int64_t s_row, t_row, dsdx_fine, dsdy_fine, dtdx_fine, dtdy_fine;
  int64_t ds, dt;
  int64_t col_first, col_last;  // no pixel lies outside these columns
  int64_t X[3], Y[3];           // the snapped corners, in the order given
};

constexpr int64_t kFarAway = int64_t{1} << 60;

// A triangle's flat edge and texel lines at the clip's left edge, row by
// row from a given row, in locals that the pixel stores cannot make stale.
struct RowLines {
  int64_t flat, flat_dk, flat_bias;
  int64_t s, t, dsdy, dtdy, dsdx, dtdx, clip_left;
  RowLines(const TriangleSetup& ts, int64_t y)
      : flat(ts.flat_k + ts.flat_dk * (y - ts.row_first)),
        flat_dk(ts.flat_dk),
        flat_bias(ts.flat_bias),
        s(ts.s_row + ts.dsdy_fine * (y - ts.row_first)),
        t(ts.t_row + ts.dtdy_fine * (y - ts.row_first)),
        dsdy(ts.dsdy_fine),
        dtdy(ts.dtdy_fine),
        dsdx(ts.dsdx_fine),
        dtdx(ts.dtdx_fine),
        clip_left(ts.clip_left) {}
  KESTO_PIXEL void Next() {
    flat += flat_dk;
    s += dsdy;
    t += dtdy;
  }
  // The row's texel coordinates at pixel `left` (16.16).
  KESTO_PIXEL void At(int64_t left, TexelLine* line) const {
    line->s = (s + dsdx * (left - clip_left)) >> 16;
    line->t = (t + dtdx * (left - clip_left)) >> 16;
  }
};

// A triangle's rows one after the other: its bounds and texel line at
// each row, from the steppers set up for its first row.
struct RowWalker {
  Stepper l0, l1, r0, r1;
  RowLines lines;
  int64_t clip_right;
  explicit KESTO_PIXEL RowWalker(const TriangleSetup& ts)
      : l0(ts.left[0]),
        l1(ts.left[1]),
        r0(ts.right[0]),
        r1(ts.right[1]),
        lines(ts, ts.row_first),
        clip_right(ts.clip_right) {}
  // The current row's pixels [*left, *right] and its texel coordinates at
  // *left (16.16); false when the row has none. Moves to the next row.
  KESTO_PIXEL bool Next(int64_t* left, int64_t* right, TexelLine* line) {
    const int64_t l = std::max({lines.clip_left, l0.q, l1.q});
    const int64_t r = std::min({clip_right, r0.q, r1.q});
    const bool open = lines.flat >= lines.flat_bias;
    const RowLines here = lines;
    l0.Next();
    l1.Next();
    r0.Next();
    r1.Next();
    lines.Next();
    if (!open || l > r) return false;
    *left = l, *right = r;
    here.At(l, line);
    return true;
  }
};

// Walks a triangle's rows, calling `row(y, left, right, line)` for each row
// with pixels (`line` at the row's first pixel).
template <class RowFn>
KESTO_PIXEL void WalkRows(const TriangleSetup& ts, RowFn&& row) {
  RowWalker w(ts);
  TexelLine line{0, 0, ts.ds, ts.dt};
  for (int64_t y = ts.row_first; y <= ts.row_last; ++y) {
    int64_t left, right;
    if (w.Next(&left, &right, &line)) row(y, left, right, line);
  }
}

template <TexKind T, DstKind D, BlendKind B, StageKind S>
uint64_t DrawRows(const TriangleSetup& ts) {
  const SpanContext c = ts.c;
  uint8_t* const rows = ts.rows;
  const size_t pitch = ts.pitch, bpp = ts.bpp;
  uint64_t written = 0;
  WalkRows(
      ts, [&](int64_t y, int64_t left, int64_t right, const TexelLine& l)
              __attribute__((always_inline)) {
                written += DrawSpan<T, D, B, S>(
                    c, rows + static_cast<size_t>(y) * pitch + static_cast<size_t>(left) * bpp,
                    static_cast<int>(right - left + 1), l.s, l.t, l.ds, l.dt);
              });
  return written;
}

// The pixels of one row of a triangle; right < left when it has none.
struct RowSpan {
  int32_t left, right;
  TexelLine line;
};

// Quads this many rows tall or less are drawn row by row for both
// triangles at once.
constexpr int64_t kQuadRows = 256;

// Both triangles of a quad that do not overlap and share their state and
// colour: each row's two spans are found as each triangle alone would find
// them, and drawn as one row where they meet.
template <TexKind T, DstKind D, BlendKind B, StageKind S>
uint64_t DrawQuadRows(const TriangleSetup& ta, const TriangleSetup& tb) {
  RowSpan spans[2][kQuadRows];
  const TriangleSetup* tri[2] = {&ta, &tb};
  const int64_t first = std::min(ta.row_first, tb.row_first);
  const int64_t last = std::max(ta.row_last, tb.row_last);
  for (int k = 0; k < 2; ++k) {
    RowSpan* out = spans[k];
    const int64_t base = first;
    for (int64_t y = first; y <= last; ++y) out[y - base].left = 1, out[y - base].right = 0;
    WalkRows(
        *tri[k], [&](int64_t y, int64_t left, int64_t right,
                     const TexelLine& l) __attribute__((always_inline)) {
          out[y - base] = RowSpan{static_cast<int32_t>(left), static_cast<int32_t>(right), l};
        });
  }
  const SpanContext c = ta.c;
  constexpr size_t kBytes = D == DstKind::k8888 ? 4 : 2;
  const size_t pitch = ta.pitch;
  uint64_t written = 0;
  for (int64_t y = first; y <= last; ++y) {
    const RowSpan& a = spans[0][y - first];
    const RowSpan& b = spans[1][y - first];
    uint8_t* const row = ta.rows + static_cast<size_t>(y) * pitch;
    const bool has_a = a.left <= a.right, has_b = b.left <= b.right;
    if (has_a && has_b && (a.right + 1 == b.left || b.right + 1 == a.left)) {
      const RowSpan& l = a.right + 1 == b.left ? a : b;
      const RowSpan& r = a.right + 1 == b.left ? b : a;
      written +=
          DrawSpanPair<T, D, B, S>(c, row + static_cast<size_t>(l.left) * kBytes,
                                   l.right - l.left + 1, l.line, r.right - r.left + 1, r.line);
      continue;
    }
    for (const RowSpan* p : {&a, &b}) {
      if (p->left > p->right) continue;
      written += DrawSpan<T, D, B, S>(c, row + static_cast<size_t>(p->left) * kBytes,
                                      p->right - p->left + 1, p->line.s, p->line.t, p->line.ds,
                                      p->line.dt);
    }
  }
  return written;
}

#if KESTO_RASTER_X86
// Whether a triangle's texel coordinates fit 32-bit lanes on every row:
// a row's coordinates at its first pixel are linear in the row and the
// column, so the corners of the triangle's box bound them, and the box's
// width bounds a row's length.
inline bool BoxFitsLanes(const TriangleSetup& ts) {
  constexpr int64_t kLimit = int64_t{1} << 30;
  const int64_t rows = ts.row_last - ts.row_first,
                cols[2] = {ts.col_first - ts.clip_left, ts.col_last - ts.clip_left};
  if (cols[1] < cols[0]) return true;  // no pixels
  int64_t extent = 0;
  for (const int64_t col : cols) {
    for (const int64_t row : {int64_t{0}, rows}) {
      const int64_t s = (ts.s_row + ts.dsdy_fine * row + ts.dsdx_fine * col) >> 16;
      const int64_t t = (ts.t_row + ts.dtdy_fine * row + ts.dtdx_fine * col) >> 16;
      extent = std::max({extent, s, -s, t, -t});
    }
  }
  const int64_t step = std::max({ts.ds, -ts.ds, ts.dt, -ts.dt}), widest = cols[1] - cols[0];
  return extent < kLimit && step < kLimit && widest < kLimit && extent + step * widest < kLimit;
}

// SpriteLanesAvx2 for a run whose coordinates fit, adding the lanes written
// to `tally`, or returning them where the run has no room around it. A run
// shorter than eight pixels is stored as one vector over the pixels after
// it, or before it, where the row [row_begin, row_end) holds them: those
// pixels are written back as they were.
template <bool kPair>
__attribute__((target("avx2"), always_inline)) inline uint64_t SpriteLanesTally(
    const SpriteRule& r, const SpriteTexture& tex, const TexelRamps& ramps, uint8_t* dst, int count,
    const TexelLine& a, int split, const TexelLine& b, const uint8_t* row_begin,
    const uint8_t* row_end, __m128i* tally) {
  const __m128i k = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
  if (row_end - dst >= 2 * static_cast<ptrdiff_t>(count) + 14) {
    // Whole vectors from the run's start, the last one's lanes past the run
    // left as they were: the coordinates step by eight pixels per vector.
    __m256i S = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(a.s)), ramps.as);
    __m256i T = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(a.t)), ramps.at);
    const __m256i dS = _mm256_set1_epi32(static_cast<int32_t>(a.ds * 8));
    const __m256i dT = _mm256_set1_epi32(static_cast<int32_t>(a.dt * 8));
    __m256i Sb = S, Tb = T, dSb = dS, dTb = dT;
    if (kPair) {
      Sb = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(b.s - b.ds * split)), ramps.bs);
      Tb = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(b.t - b.dt * split)), ramps.bt);
      dSb = _mm256_set1_epi32(static_cast<int32_t>(b.ds * 8));
      dTb = _mm256_set1_epi32(static_cast<int32_t>(b.dt * 8));
    }
    const __m256i k32 = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i k16 = _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    // The texels of the next eight pixels, i..i+7.
    auto texels = [&](int i) __attribute__((target("avx2"), always_inline)) {
      __m256i s = S, t = T;
      if (kPair) {
        const __m256i on_a = _mm256_cmpgt_epi32(_mm256_set1_epi32(split - i), k32);
        s = _mm256_blendv_epi8(Sb, S, on_a);
        t = _mm256_blendv_epi8(Tb, T, on_a);
        Sb = _mm256_add_epi32(Sb, dSb);
        Tb = _mm256_add_epi32(Tb, dTb);
      }
      S = _mm256_add_epi32(S, dS);
      T = _mm256_add_epi32(T, dT);
      return GatherSprite8(tex, s, t);
    };
    __m256i sum = _mm256_castsi128_si256(*tally);
    sum = _mm256_inserti128_si256(sum, _mm_setzero_si128(), 1);
    int i = 0;
    for (; i + 8 < count; i += 16) {
      const __m128i lo = texels(i);
      const __m128i hi = texels(i + 8);
      const __m256i lanes =
          _mm256_cmpgt_epi16(_mm256_set1_epi16(static_cast<int16_t>(std::min(count - i, 16))), k16);
      sum = _mm256_sub_epi16(
          sum, SpriteStore16(r, dst + 2 * i,
                             _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1), lanes));
    }
    __m128i half = _mm_add_epi16(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
    if (i < count) {
      const __m128i lanes = _mm_cmpgt_epi16(_mm_set1_epi16(static_cast<int16_t>(count - i)), k);
      half = _mm_sub_epi16(half, SpriteStore8(r, dst + 2 * i, texels(i), lanes));
    }
    *tally = half;
    return 0;
  }
  if (count < 8) {
    if (row_end - dst >= 16) {
      const __m128i lanes = _mm_cmpgt_epi16(_mm_set1_epi16(static_cast<int16_t>(count)), k);
      *tally = _mm_sub_epi16(
          *tally, SpriteStore8(r, dst, TexelsAt<kPair>(tex, ramps, a, split, b, 0), lanes));
      return 0;
    }
    const int j = count - 8;
    if (dst - row_begin >= -2 * j) {
      *tally = _mm_sub_epi16(
          *tally,
          SpriteStore8(r, dst + 2 * j, TexelsAt<kPair>(tex, ramps, a, split, b, j), LanesFrom(-j)));
      return 0;
    }
  }
  // No room: overlapping vectors within the run, counted on their own.
  return SpriteLanesAvx2<kPair>(r, tex, ramps, dst, count, a, split, b);
}

// The edge steppers of both triangles of a quad in vector lanes, so that
// a row's bounds take a few vector steps. Lanes 0 and 1 are the first
// triangle's two steppers, lanes 2 and 3 the second's; each triangle's
// steppers stand still until its first row.
struct QuadSteppers {
  __m256i q, r, dq, dr, den, den_less;  // den_less: den - 1

  __attribute__((target("avx2"), always_inline)) inline QuadSteppers(const Stepper* a,
                                                                     const Stepper* b) {
    q = _mm256_setr_epi64x(a[0].q, a[1].q, b[0].q, b[1].q);
    r = _mm256_setr_epi64x(a[0].r, a[1].r, b[0].r, b[1].r);
    dq = _mm256_setr_epi64x(a[0].dq, a[1].dq, b[0].dq, b[1].dq);
    dr = _mm256_setr_epi64x(a[0].dr, a[1].dr, b[0].dr, b[1].dr);
    den = _mm256_setr_epi64x(a[0].den, a[1].den, b[0].den, b[1].den);
    den_less = _mm256_sub_epi64(den, _mm256_set1_epi64x(1));
  }
  // Stepper::Next in the lanes of `moving` (all ones or zero per lane).
  __attribute__((target("avx2"), always_inline)) inline void Next(__m256i moving) {
    r = _mm256_add_epi64(r, _mm256_and_si256(dr, moving));
    const __m256i carry = _mm256_cmpgt_epi64(r, den_less);
    r = _mm256_sub_epi64(r, _mm256_and_si256(den, carry));
    q = _mm256_sub_epi64(_mm256_add_epi64(q, _mm256_and_si256(dq, moving)), carry);
  }
};

__attribute__((target("avx2"), always_inline)) inline __m256i Max64(__m256i a, __m256i b) {
  return _mm256_blendv_epi8(a, b, _mm256_cmpgt_epi64(b, a));
}
__attribute__((target("avx2"), always_inline)) inline __m256i Min64(__m256i a, __m256i b) {
  return _mm256_blendv_epi8(a, b, _mm256_cmpgt_epi64(a, b));
}

// One row of a quad: each triangle's run [left, right] on it, where it has
// one, and the run's texel line from its first pixel.
struct QuadRow {
  int64_t y;
  bool has_a, has_b;
  int64_t al, ar, bl, br;
  TexelLine la, lb;
};

// Walks both triangles of a quad row by row together, calling `row(q)` for
// each row where either has pixels. The edge steppers are held in vector
// lanes, so that a row's bounds take a few vector steps.
template <class RowFn>
__attribute__((target("avx2"), always_inline)) inline void WalkQuadRowsAvx2(const TriangleSetup& ta,
                                                                            const TriangleSetup& tb,
                                                                            RowFn&& row) {
  const int64_t first = std::min(ta.row_first, tb.row_first);
  const int64_t last = std::max(ta.row_last, tb.row_last);
  QuadSteppers lefts(ta.left, tb.left), rights(ta.right, tb.right);
  const __m256i clip_left = _mm256_set1_epi64x(ta.clip_left);
  const __m256i clip_right = _mm256_set1_epi64x(ta.clip_right);
  const __m256i before_first =
      _mm256_setr_epi64x(ta.row_first - 1, ta.row_first - 1, tb.row_first - 1, tb.row_first - 1);
  const int64_t a_first = ta.row_first, a_last = ta.row_last;
  const int64_t b_first = tb.row_first, b_last = tb.row_last;
  RowLines row_a(ta, first), row_b(tb, first);
  QuadRow q{
      0, false, false, 0, 0, 0, 0, TexelLine{0, 0, ta.ds, ta.dt}, TexelLine{0, 0, tb.ds, tb.dt}};
  for (int64_t y = first; y <= last; ++y) {
    // Each triangle's bounds on this row: the larger left and the smaller
    // right of its pair of lanes, within the clip.
    const __m256i l = Max64(Max64(lefts.q, _mm256_permute4x64_epi64(lefts.q, 0xB1)), clip_left);
    const __m256i r = Min64(Min64(rights.q, _mm256_permute4x64_epi64(rights.q, 0xB1)), clip_right);
    const __m256i moving = _mm256_cmpgt_epi64(_mm256_set1_epi64x(y), before_first);
    lefts.Next(moving);
    rights.Next(moving);
    const __m256i bounds = _mm256_unpacklo_epi64(l, r);  // a.left, a.right, b.left, b.right
    const __m128i bounds_b = _mm256_extracti128_si256(bounds, 1);
    q.y = y;
    q.al = _mm_cvtsi128_si64(_mm256_castsi256_si128(bounds));
    q.ar = _mm_extract_epi64(_mm256_castsi256_si128(bounds), 1);
    q.bl = _mm_cvtsi128_si64(bounds_b), q.br = _mm_extract_epi64(bounds_b, 1);
    q.has_a = y >= a_first && y <= a_last && q.al <= q.ar && row_a.flat >= row_a.flat_bias;
    q.has_b = y >= b_first && y <= b_last && q.bl <= q.br && row_b.flat >= row_b.flat_bias;
    const RowLines lines_a = row_a, lines_b = row_b;
    row_a.Next();
    row_b.Next();
    if (!q.has_a && !q.has_b) continue;
    if (q.has_a) lines_a.At(q.al, &q.la);
    if (q.has_b) lines_b.At(q.bl, &q.lb);
    row(q);
  }
}

// Sprite quads of any height (see DrawQuadRows and SpriteRowTurnedAvx2). A
// turned row is one run of lanes, the pixels left of the shared edge
// following one triangle's texel line and those right of it the other's;
// an upright row is copied from its texture row.
__attribute__((target("avx2"))) uint64_t DrawSpriteQuadAvx2(const TriangleSetup& ta,
                                                            const TriangleSetup& tb, bool blend) {
  const SpanContext& c = ta.c;
  const SpriteRule rule{c.key_on, static_cast<uint16_t>(c.key), static_cast<uint16_t>(c.key_mask),
                        blend && c.alpha == Combine::kModulate};
  const SpriteTexture tex{c.tex_base, static_cast<size_t>(c.tex_pitch), c.tex_w, c.tex_h, false};
  const TexelLine steps_a{0, 0, ta.ds, ta.dt}, steps_b{0, 0, tb.ds, tb.dt};
  const TexelRamps ramps = MakeRamps(steps_a, steps_b);
  const TexelRamps swapped{ramps.bs, ramps.bt, ramps.as, ramps.at};
  const bool index_fits = tex.pitch / 2 * static_cast<size_t>(tex.h) < (size_t{1} << 30);
  // When every row fits 32-bit lanes, no row needs checking on its own.
  const bool all_fit = index_fits && BoxFitsLanes(ta) && BoxFitsLanes(tb);
  const bool upright = ta.ds == 65536 && ta.dt == 0 && tb.ds == 65536 && tb.dt == 0;
  const size_t pitch = ta.pitch;
  uint8_t* const rows = ta.rows;
  uint64_t written = 0;
  // Written lanes, counted in 16-bit lanes and added up before any could
  // pass 65535 (one vector adds at most one to each lane).
  __m128i tally = _mm_setzero_si128();
  int64_t pending = 0;
  WalkQuadRowsAvx2(
      ta, tb, [&](const QuadRow& q) __attribute__((target("avx2"), always_inline)) {
        const bool has_a = q.has_a, has_b = q.has_b;
        const int64_t al = q.al, ar = q.ar, bl = q.bl, br = q.br;
        const TexelLine &la = q.la, &lb = q.lb;
        uint8_t* const row = rows + static_cast<size_t>(q.y) * pitch;
        const uint8_t* const row_end = row + pitch;
        const int count_a = has_a ? static_cast<int>(ar - al + 1) : 0;
        const int count_b = has_b ? static_cast<int>(br - bl + 1) : 0;
        if (upright) {
          // Texels straight from a texture row, where the row's runs take them
          // from inside the texture: as one copy where the second run's texels
          // continue the first's.
          const auto inside = [&](const TexelLine& l, int count) {
            const int64_t u = l.s >> 16, v = l.t >> 16;
            return u >= 0 && u + count - 1 <= tex.w - 1 && v >= 0 && v <= tex.h - 1;
          };
          const auto copy = [&](const TexelLine& l, int64_t left, int count) {
            return SpriteRowUpright(rule,
                                    tex.base + static_cast<size_t>(l.t >> 16) * tex.pitch +
                                        static_cast<size_t>(l.s >> 16) * 2,
                                    row + 2 * left, count);
          };
          const bool a_left = has_a && has_b && ar + 1 == bl,
                     b_left = has_a && has_b && br + 1 == al;
          if (a_left || b_left) {
            const TexelLine& l = a_left ? la : lb;
            const TexelLine& r = a_left ? lb : la;
            const int count_l = a_left ? count_a : count_b;
            if ((r.t >> 16) == (l.t >> 16) && (r.s >> 16) == (l.s >> 16) + count_l &&
                inside(l, count_a + count_b)) {
              written += copy(l, a_left ? al : bl, count_a + count_b);
              return;
            }
          }
          if ((!has_a || inside(la, count_a)) && (!has_b || inside(lb, count_b))) {
            if (has_a) written += copy(la, al, count_a);
            if (has_b) written += copy(lb, bl, count_b);
            return;
          }
        }
        pending += count_a + count_b;
        const bool fits = all_fit || (index_fits && (!has_a || FitsLanes(la, 0, count_a - 1)) &&
                                      (!has_b || FitsLanes(lb, 0, count_b - 1)));
        if (!fits) {
          if (has_a)
            written += SpriteRowTurned(rule, tex, row + 2 * al, count_a, la.s, la.t, la.ds, la.dt);
          if (has_b)
            written += SpriteRowTurned(rule, tex, row + 2 * bl, count_b, lb.s, lb.t, lb.ds, lb.dt);
        } else if (has_a && has_b && br + 1 == al) {
          // The second triangle's span on the left: swap the planes' lanes.
          written += SpriteLanesTally<true>(rule, tex, swapped, row + 2 * bl, count_a + count_b, lb,
                                            count_b, la, row, row_end, &tally);
        } else if (has_a && has_b && ar + 1 == bl) {
          written += SpriteLanesTally<true>(rule, tex, ramps, row + 2 * al, count_a + count_b, la,
                                            count_a, lb, row, row_end, &tally);
        } else {
          if (has_a) {
            written += SpriteLanesTally<false>(rule, tex, ramps, row + 2 * al, count_a, la, count_a,
                                               la, row, row_end, &tally);
          }
          if (has_b) {
            written += SpriteLanesTally<false>(rule, tex, swapped, row + 2 * bl, count_b, lb,
                                               count_b, lb, row, row_end, &tally);
          }
        }
        if (pending >= 16384) {
          written += SumLanes(tally);
          tally = _mm_setzero_si128();
          pending = 0;
        }
      });
  return written + SumLanes(tally);
}

// DrawQuadRows with both triangles walked together, and no limit on the
// quad's height.
template <TexKind T, DstKind D, BlendKind B, StageKind S>
__attribute__((target("avx2"))) uint64_t DrawQuadRowsAvx2(const TriangleSetup& ta,
                                                          const TriangleSetup& tb) {
  const SpanContext c = ta.c;
  constexpr size_t kBytes = D == DstKind::k8888 ? 4 : 2;
  uint8_t* const rows = ta.rows;
  const size_t pitch = ta.pitch;
  uint64_t written = 0;
  WalkQuadRowsAvx2(
      ta, tb, [&](const QuadRow& q) __attribute__((target("avx2"), always_inline)) {
        uint8_t* const row = rows + static_cast<size_t>(q.y) * pitch;
        const int count_a = static_cast<int>(q.ar - q.al + 1),
                  count_b = static_cast<int>(q.br - q.bl + 1);
        const bool a_left = q.has_a && q.has_b && q.ar + 1 == q.bl;
        const bool b_left = q.has_a && q.has_b && q.br + 1 == q.al;
        if (a_left) {
          written += DrawSpanPair<T, D, B, S>(c, row + static_cast<size_t>(q.al) * kBytes, count_a,
                                              q.la, count_b, q.lb);
        } else if (b_left) {
          written += DrawSpanPair<T, D, B, S>(c, row + static_cast<size_t>(q.bl) * kBytes, count_b,
                                              q.lb, count_a, q.la);
        } else {
          if (q.has_a) {
            written += DrawSpan<T, D, B, S>(c, row + static_cast<size_t>(q.al) * kBytes, count_a,
                                            q.la.s, q.la.t, q.la.ds, q.la.dt);
          }
          if (q.has_b) {
            written += DrawSpan<T, D, B, S>(c, row + static_cast<size_t>(q.bl) * kBytes, count_b,
                                            q.lb.s, q.lb.t, q.lb.ds, q.lb.dt);
          }
        }
      });
  return written;
}
#endif

struct SpanLoops {
  uint64_t (*rows)(const TriangleSetup&);
  uint64_t (*quad_rows)(const TriangleSetup&, const TriangleSetup&);
  // DrawQuadRowsAvx2, for the kinds the game draws in a window.
  uint64_t (*walked_quad_rows)(const TriangleSetup&, const TriangleSetup&) = nullptr;
};

template <TexKind T, DstKind D, BlendKind B, StageKind S>
SpanLoops LoopsOf() {
  SpanLoops loops{&DrawRows<T, D, B, S>, &DrawQuadRows<T, D, B, S>};
#if KESTO_RASTER_X86
  if constexpr ((T == TexKind::k8888 || T == TexKind::kX888) && D == DstKind::k8888 &&
                S == StageKind::kModulate && B != BlendKind::kGeneric) {
    loops.walked_quad_rows = &DrawQuadRowsAvx2<T, D, B, S>;
  }
#endif
  return loops;
}

template <TexKind T, DstKind D, BlendKind B>
SpanLoops PickStage(StageKind s) {
  return s == StageKind::kModulate ? LoopsOf<T, D, B, StageKind::kModulate>()
                                   : LoopsOf<T, D, B, StageKind::kGeneric>();
}

template <TexKind T, DstKind D>
SpanLoops PickBlend(BlendKind b, StageKind s) {
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
SpanLoops PickTarget(DstKind d, BlendKind b, StageKind s) {
  switch (d) {
    case DstKind::k565:
      return PickBlend<T, DstKind::k565>(b, s);
    case DstKind::k555:
      return PickBlend<T, DstKind::k555>(b, s);
    default:
      return PickBlend<T, DstKind::k8888>(b, s);
  }
}

SpanLoops PickLoops(TexKind t, DstKind d, BlendKind b, StageKind s) {
  switch (t) {
    case TexKind::k1555:
      return PickTarget<TexKind::k1555>(d, b, s);
    case TexKind::k4444:
      return PickTarget<TexKind::k4444>(d, b, s);
    case TexKind::k8888:
      return PickTarget<TexKind::k8888>(d, b, s);
    case TexKind::kNone:
      return PickTarget<TexKind::kNone>(d, b, s);
    default:
      return PickTarget<TexKind::kAny>(d, b, s);
  }
}

// What a draw's state means for every triangle it draws.
struct Prepared {
  bool drawable = false;
  video::Rect clip;
  SpanContext c;  // all but the diffuse colour
  SpanLoops loops;
  uint8_t* rows;
  size_t pitch, bpp;
  uint32_t cull;
  bool sprite_quads = false;  // DrawSpriteQuadAvx2 may draw white quads
  bool blend = false;         // alpha blending: texels without alpha are skipped
};

Prepared Prepare(const RasterState& st) {
  Prepared p;
  if (!st.target) return p;
  const DstKind dk = KindOfTarget(st.target->format());
  if (dk == DstKind::kUnsupported) return p;
  p.clip = video::Intersect(st.clip, video::Rect{0, 0, st.target->width(), st.target->height()});
  if (p.clip.Empty()) return p;
  SpanContext& c = p.c;
  TexKind tk = TexKind::kNone;
  if (st.texture && IsSampleableFormat(st.texture->format())) {
    tk = KindOfTexture(st.texture->format());
    c.tex_kind = tk;
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
  p.loops = PickLoops(tk, dk, bk, stage_modulate ? StageKind::kModulate : StageKind::kGeneric);
  if (!UseSimd()) p.loops.walked_quad_rows = nullptr;
  p.rows = st.target->Row(0);
  p.pitch = static_cast<size_t>(st.target->pitch());
  p.bpp = static_cast<size_t>(st.target->bytes_per_pixel());
  p.cull = st.cull;
  p.sprite_quads = tk == TexKind::k1555 && dk == DstKind::k565 && bk != BlendKind::kGeneric &&
                   stage_modulate && !c.wrap && UseSimd();
  p.blend = bk == BlendKind::kAlpha;
  p.drawable = true;
  return p;
}

// Snaps a triangle's corners. Returns the doubled signed area in 1/256
// pixel^2 (positive: clockwise), 0 when it draws nothing at any culling.
int64_t SnapTriangle(const TLVertex& va, const TLVertex& vb, const TLVertex& vc, int64_t* X,
                     int64_t* Y) {
  const TLVertex* v[3] = {&va, &vb, &vc};
  for (int i = 0; i < 3; ++i) {
    if (!Snap(v[i]->x, &X[i]) || !Snap(v[i]->y, &Y[i])) return 0;
  }
  return (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
}

// A triangle's rows and texel planes; false when it covers no row.
bool SetUp(const Prepared& p, const TLVertex& va, const TLVertex& vb, const TLVertex& vc,
           uint32_t flat_color, TriangleSetup* out) {
  TriangleSetup& ts = *out;
  int64_t X[3], Y[3];
  const TLVertex* v[3] = {&va, &vb, &vc};
  int64_t area = SnapTriangle(va, vb, vc, X, Y);
  if (area == 0) return false;
  std::copy(X, X + 3, ts.X);
  std::copy(Y, Y + 3, ts.Y);
  if ((p.cull == kCullCcw && area < 0) || (p.cull == kCullCw && area > 0)) return false;
  if (area < 0) {
    std::swap(X[1], X[2]);
    std::swap(Y[1], Y[2]);
    std::swap(v[1], v[2]);
    area = -area;
  }
  const video::Rect& clip = p.clip;
  const int64_t min_y = std::min({Y[0], Y[1], Y[2]});
  const int64_t max_y = std::max({Y[0], Y[1], Y[2]});
  ts.row_first = std::max<int64_t>(CeilDiv(min_y, 16), clip.top);
  ts.row_last = std::min<int64_t>(FloorDiv(max_y, 16), clip.bottom - 1);
  if (ts.row_first > ts.row_last) return false;
  ts.col_first = std::max<int64_t>(CeilDiv(std::min({X[0], X[1], X[2]}), 16), clip.left);
  ts.col_last = std::min<int64_t>(FloorDiv(std::max({X[0], X[1], X[2]}), 16), clip.right - 1);

  // The edges as bounds on each row, stepped from the first row.
  const Edge edges[3] = {MakeEdge(X[0], Y[0], X[1], Y[1]), MakeEdge(X[1], Y[1], X[2], Y[2]),
                         MakeEdge(X[2], Y[2], X[0], Y[0])};
  int lefts = 0, rights = 0;
  ts.flat_k = kFarAway, ts.flat_dk = 0, ts.flat_bias = 0;
  for (const Edge& e : edges) {
    const int64_t k0 = e.b * ts.row_first + e.c;
    if (e.a > 0 && lefts < 2) {
      ts.left[lefts++].Init(e.bias - k0 + e.a - 1, -e.b, e.a);  // x >= ceil((bias - K) / a)
    } else if (e.a < 0 && rights < 2) {
      ts.right[rights++].Init(k0 - e.bias, e.b, -e.a);  // x <= floor((K - bias) / -a)
    } else {
      ts.flat_k = k0, ts.flat_dk = e.b, ts.flat_bias = e.bias;
    }
  }
  for (; lefts < 2; ++lefts) ts.left[lefts].Fixed(-kFarAway);
  for (; rights < 2; ++rights) ts.right[rights].Fixed(kFarAway);

  ts.c = p.c;
  SpanContext& c = ts.c;
  c.diffuse = {static_cast<int>(flat_color >> 24), static_cast<int>((flat_color >> 16) & 255),
               static_cast<int>((flat_color >> 8) & 255), static_cast<int>(flat_color & 255)};

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
  ts.ds = ToFixed(dsdx + 0.5 / 65536.0);
  ts.dt = ToFixed(dtdx + 0.5 / 65536.0);

  // Texel coordinates in 32.32 fixed point, stepped per row from the first
  // row's value at the clip's left edge.
  ts.clip_left = clip.left;
  ts.clip_right = clip.right - 1;
  const double px0 = static_cast<double>(clip.left) - x0;
  const double py0 = static_cast<double>(ts.row_first) - y0;
  ts.s_row = ToFine(s0 + dsdx * px0 + dsdy * py0);
  ts.t_row = ToFine(t0 + dtdx * px0 + dtdy * py0);
  ts.dsdx_fine = ToFineStep(dsdx), ts.dsdy_fine = ToFineStep(dsdy);
  ts.dtdx_fine = ToFineStep(dtdx), ts.dtdy_fine = ToFineStep(dtdy);
  ts.rows = p.rows;
  ts.pitch = p.pitch;
  ts.bpp = p.bpp;
  return true;
}

}  // namespace

bool IsRenderableFormat(const PixelFormat& f) { return KindOfTarget(f) != DstKind::kUnsupported; }
bool IsSampleableFormat(const PixelFormat& f) { return KindOfTexture(f) != TexKind::kNone; }

void AllowRasterSimdForTesting(bool allowed) { g_simd_allowed = allowed; }

uint64_t DrawTriangle(const RasterState& st, const TLVertex& a, const TLVertex& b,
                      const TLVertex& c, uint32_t flat_color) {
  const Prepared p = Prepare(st);
  TriangleSetup ts;
  if (!p.drawable || !SetUp(p, a, b, c, flat_color, &ts)) return 0;
  return p.loops.rows(ts);
}

uint64_t DrawTrianglePair(const RasterState& st, const TLVertex* const first[3],
                          const TLVertex* const second[3], uint32_t first_color,
                          uint32_t second_color) {
  const Prepared p = Prepare(st);
  if (!p.drawable) return 0;
  TriangleSetup ta, tb;
  const bool has_a = SetUp(p, *first[0], *first[1], *first[2], first_color, &ta);
  const bool has_b = SetUp(p, *second[0], *second[1], *second[2], second_color, &tb);
  if (has_a && has_b && first_color == second_color) {
    // Triangles on either side of a shared edge share no pixel: the fill
    // rule gives each pixel on the edge to one of them. Their rows may then
    // be drawn together.
    const int64_t *X = ta.X, *Y = ta.Y, *U = tb.X, *V = tb.Y;
    int shared = 0, other = -1;
    for (int i = 0; i < 3; ++i) {
      if ((U[i] == X[1] && V[i] == Y[1]) || (U[i] == X[2] && V[i] == Y[2])) {
        ++shared;
      } else {
        other = i;
      }
    }
    auto side = [&](int64_t x, int64_t y) {
      return (X[2] - X[1]) * (y - Y[1]) - (Y[2] - Y[1]) * (x - X[1]);
    };
    if (shared == 2 && other >= 0 && (X[1] != X[2] || Y[1] != Y[2])) {
      const int64_t side_a = side(X[0], Y[0]), side_b = side(U[other], V[other]);
      if ((side_a > 0 && side_b < 0) || (side_a < 0 && side_b > 0)) {
#if KESTO_RASTER_X86
        if (p.sprite_quads && first_color == 0xFFFFFFFFu) {
          return DrawSpriteQuadAvx2(ta, tb, p.blend);
        }
        if (p.loops.walked_quad_rows) return p.loops.walked_quad_rows(ta, tb);
#endif
        if (std::max(ta.row_last, tb.row_last) - std::min(ta.row_first, tb.row_first) < kQuadRows) {
          return p.loops.quad_rows(ta, tb);
        }
      }
    }
  }
  return (has_a ? p.loops.rows(ta) : 0) + (has_b ? p.loops.rows(tb) : 0);
}

}  // namespace platform::video3d
