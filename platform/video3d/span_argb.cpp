#include "platform/video3d/span_argb.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#include <type_traits>

namespace platform::video3d {
namespace {

#define KESTO_AVX2 __attribute__((target("avx2"), always_inline)) inline

// round(a * b / 255) on 16-bit lanes of bytes: (t + (t >> 8)) >> 8 with
// t = a * b + 128 equals (t * 257) >> 16 for every such t.
KESTO_AVX2 __m256i Mul8(__m256i a, __m256i b) {
  const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(a, b), _mm256_set1_epi16(128));
  return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257));
}

// Each pixel's alpha (its fourth 16-bit lane) in all four of its lanes.
KESTO_AVX2 __m256i SpreadAlpha(__m256i v) {
  return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, 0xFF), 0xFF);
}

// What stays the same for a whole span.
struct Consts {
  __m256i key, key_mask, opaque, diffuse, alpha;
};

KESTO_AVX2 Consts MakeConsts(const ArgbSpanRule& r) {
  return Consts{_mm256_set1_epi32(static_cast<int32_t>(r.key)),
                _mm256_set1_epi32(static_cast<int32_t>(r.key_mask)),
                _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u)),
                _mm256_set1_epi64x(static_cast<int64_t>(
                    (static_cast<uint64_t>(r.da) << 48) | (static_cast<uint64_t>(r.dr) << 32) |
                    (static_cast<uint64_t>(r.dg) << 16) | static_cast<uint64_t>(r.db))),
                _mm256_set1_epi16(static_cast<int16_t>(r.da))};
}

// Eight pixels: texels `raw` over target pixels `old`, on the lanes of
// `lanes` (all ones or zero per pixel). Returns the new pixels, and in
// *kept the lanes written.
template <bool kBlend, bool kWhite>
KESTO_AVX2 __m256i Shade8(const ArgbSpanRule& r, const Consts& k, __m256i raw, __m256i old,
                          __m256i lanes, __m256i* kept) {
  const __m256i zero = _mm256_setzero_si256();
  if (r.opaque_texels) raw = _mm256_or_si256(raw, k.opaque);
  __m256i keep = lanes;
  if (r.key_on) {
    keep = _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_and_si256(raw, k.key_mask), k.key), keep);
  }
  __m256i lo = _mm256_unpacklo_epi8(raw, zero), hi = _mm256_unpackhi_epi8(raw, zero);
  if (kBlend) {
    const __m256i alo = r.alpha_modulate ? Mul8(SpreadAlpha(lo), k.alpha) : k.alpha;
    const __m256i ahi = r.alpha_modulate ? Mul8(SpreadAlpha(hi), k.alpha) : k.alpha;
    // Pixels of alpha 0 are left alone.
    keep = _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_packus_epi16(alo, ahi), zero), keep);
    if (!kWhite) lo = Mul8(lo, k.diffuse), hi = Mul8(hi, k.diffuse);
    const __m256i inv = _mm256_set1_epi16(255);
    lo = _mm256_add_epi16(Mul8(lo, alo),
                          Mul8(_mm256_unpacklo_epi8(old, zero), _mm256_sub_epi16(inv, alo)));
    hi = _mm256_add_epi16(Mul8(hi, ahi),
                          Mul8(_mm256_unpackhi_epi8(old, zero), _mm256_sub_epi16(inv, ahi)));
  } else if (!kWhite) {
    lo = Mul8(lo, k.diffuse), hi = Mul8(hi, k.diffuse);
  }
  const __m256i out = _mm256_and_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(0xFFFFFF));
  *kept = keep;
  return _mm256_blendv_epi8(old, out, keep);
}

KESTO_AVX2 uint64_t CountLanes(__m256i keep) {
  return static_cast<uint64_t>(
      __builtin_popcount(static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(keep)))));
}

// Lanes k < n of eight 32-bit lanes.
KESTO_AVX2 __m256i LanesBelow(int n) {
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// Eight pixels at dst on the lanes of `lanes` (all of them when kFull;
// else the rest is neither read nor written). Returns the pixels written.
// Blocks whose kept texels are all opaque or all clear, the common case in
// the game's art, are copied or skipped without blending when alpha is the
// texel's own (`texel_alpha`).
template <bool kBlend, bool kWhite, bool kFull>
KESTO_AVX2 uint64_t Put8(const ArgbSpanRule& r, const Consts& k, bool texel_alpha, __m256i raw,
                         uint8_t* dst, __m256i lanes) {
  int* const p = reinterpret_cast<int*>(dst);
  if (kBlend && kWhite && texel_alpha) {
    if (r.opaque_texels) raw = _mm256_or_si256(raw, k.opaque);
    __m256i keep = lanes;
    if (r.key_on) {
      keep =
          _mm256_andnot_si256(_mm256_cmpeq_epi32(_mm256_and_si256(raw, k.key_mask), k.key), keep);
    }
    const __m256i alpha = _mm256_srli_epi32(raw, 24);
    keep = _mm256_andnot_si256(_mm256_cmpeq_epi32(alpha, _mm256_setzero_si256()), keep);
    const int kept = _mm256_movemask_ps(_mm256_castsi256_ps(keep));
    if (kept == 0) return 0;
    const int opaque =
        _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(alpha, _mm256_set1_epi32(255))));
    if ((kept & ~opaque) == 0) {
      const __m256i out = _mm256_and_si256(raw, _mm256_set1_epi32(0xFFFFFF));
      if (kFull && kept == 0xFF) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), out);
      } else {
        _mm256_maskstore_epi32(p, keep, out);
      }
      return static_cast<uint64_t>(__builtin_popcount(static_cast<unsigned>(kept)));
    }
  }
  const __m256i old = kFull ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))
                            : _mm256_maskload_epi32(p, lanes);
  __m256i keep;
  const __m256i out = Shade8<kBlend, kWhite>(r, k, raw, old, lanes, &keep);
  if (kFull) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), out);
  } else {
    _mm256_maskstore_epi32(p, lanes, out);
  }
  return CountLanes(keep);
}

bool TexelAlpha(const ArgbSpanRule& r) { return r.alpha_modulate && r.da == 255; }

// Consecutive texels, or with kSolid a white opaque texel for every pixel.
template <bool kBlend, bool kWhite, bool kSolid>
__attribute__((target("avx2"))) uint64_t RowLoop(const ArgbSpanRule& r, const uint8_t* texels,
                                                 uint8_t* dst, int count) {
  const Consts k = MakeConsts(r);
  const bool texel_alpha = TexelAlpha(r);
  const __m256i all = _mm256_set1_epi32(-1);
  uint64_t written = 0;
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i raw =
        kSolid ? all : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + 4 * i));
    written += Put8<kBlend, kWhite, true>(r, k, texel_alpha, raw, dst + 4 * i, all);
  }
  if (i < count) {
    // Masked loads and stores touch only the row's own pixels.
    const __m256i lanes = LanesBelow(count - i);
    const __m256i raw =
        kSolid ? all : _mm256_maskload_epi32(reinterpret_cast<const int*>(texels + 4 * i), lanes);
    written += Put8<kBlend, kWhite, false>(r, k, texel_alpha, raw, dst + 4 * i, lanes);
  }
  return written;
}

// Eight texels at `index`, by eight loads of their own, which the
// processors here do faster than a gather; the indices come out two at a
// time.
__attribute__((target("avx2"), always_inline)) inline __m256i Fetch8(const int* base,
                                                                     __m256i index) {
  const auto four = [base](__m128i indices) __attribute__((target("avx2"), always_inline)) {
    const uint64_t lo = static_cast<uint64_t>(_mm_cvtsi128_si64(indices));
    const uint64_t hi = static_cast<uint64_t>(_mm_extract_epi64(indices, 1));
    __m128i v = _mm_cvtsi32_si128(base[static_cast<uint32_t>(lo)]);
    v = _mm_insert_epi32(v, base[lo >> 32], 1);
    v = _mm_insert_epi32(v, base[static_cast<uint32_t>(hi)], 2);
    return _mm_insert_epi32(v, base[hi >> 32], 3);
  };
  return _mm256_inserti128_si256(_mm256_castsi128_si256(four(_mm256_castsi256_si128(index))),
                                 four(_mm256_extracti128_si256(index, 1)), 1);
}

template <bool kBlend, bool kWhite>
__attribute__((target("avx2"))) uint64_t SteppedLoop(const ArgbSpanRule& r, const ArgbTexture& tex,
                                                     uint8_t* dst, int count, int64_t s, int64_t t,
                                                     int64_t ds, int64_t dt) {
  const Consts k = MakeConsts(r);
  const bool texel_alpha = TexelAlpha(r);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i w_last = _mm256_set1_epi32(tex.w - 1), h_last = _mm256_set1_epi32(tex.h - 1);
  const __m256i stride = _mm256_set1_epi32(static_cast<int32_t>(tex.pitch / 4));
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i ramp_s = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int32_t>(ds)));
  const __m256i ramp_t = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int32_t>(dt)));
  const int* const base = reinterpret_cast<const int*>(tex.base);
  const __m256i all = _mm256_set1_epi32(-1);
  uint64_t written = 0;
  for (int i = 0; i < count; i += 8) {
    const __m256i S = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(s + ds * i)), ramp_s);
    const __m256i T = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(t + dt * i)), ramp_t);
    const __m256i tx = _mm256_min_epi32(_mm256_max_epi32(_mm256_srai_epi32(S, 16), zero), w_last);
    const __m256i ty = _mm256_min_epi32(_mm256_max_epi32(_mm256_srai_epi32(T, 16), zero), h_last);
    const __m256i index = _mm256_add_epi32(_mm256_mullo_epi32(ty, stride), tx);
    const __m256i raw = Fetch8(base, index);
    if (i + 8 <= count) {
      written += Put8<kBlend, kWhite, true>(r, k, texel_alpha, raw, dst + 4 * i, all);
    } else {
      written +=
          Put8<kBlend, kWhite, false>(r, k, texel_alpha, raw, dst + 4 * i, LanesBelow(count - i));
    }
  }
  return written;
}

bool White(const ArgbSpanRule& r) { return r.dr == 255 && r.dg == 255 && r.db == 255; }

// Calls f with the rule's blend and white flags as compile-time constants.
template <class F>
uint64_t WithFlags(const ArgbSpanRule& r, F&& f) {
  using Yes = std::true_type;
  using No = std::false_type;
  if (r.blend) return White(r) ? f(Yes{}, Yes{}) : f(Yes{}, No{});
  return White(r) ? f(No{}, Yes{}) : f(No{}, No{});
}

}  // namespace

uint64_t ArgbRowUpright(const ArgbSpanRule& r, const uint8_t* texels, uint8_t* dst, int count) {
  return WithFlags(r, [&](auto blend, auto white) {
    return RowLoop<decltype(blend)::value, decltype(white)::value, false>(r, texels, dst, count);
  });
}

uint64_t ArgbRowSolid(const ArgbSpanRule& r, uint8_t* dst, int count) {
  return WithFlags(r, [&](auto blend, auto white) {
    return RowLoop<decltype(blend)::value, decltype(white)::value, true>(r, nullptr, dst, count);
  });
}

bool ArgbRowStepped(const ArgbSpanRule& r, const ArgbTexture& tex, uint8_t* dst, int count,
                    int64_t s, int64_t t, int64_t ds, int64_t dt, uint64_t* written) {
  // Every lane's coordinate, the tail's unused lanes included, must fit a
  // 32-bit lane: the ends bound the row, and seven steps past the end stay
  // well inside. Gather offsets are 32-bit too.
  constexpr int64_t kLimit = int64_t{1} << 29;
  const int64_t last = count - 1;
  const int64_t ends[4] = {s, s + ds * last, t, t + dt * last};
  for (int64_t v : ends)
    if (v >= kLimit || v <= -kLimit) return false;
  if (ds >= kLimit / 8 || ds <= -kLimit / 8 || dt >= kLimit / 8 || dt <= -kLimit / 8) return false;
  if (tex.pitch % 4 != 0 || tex.pitch / 4 * static_cast<size_t>(tex.h) >= (size_t{1} << 31)) {
    return false;
  }
  *written = WithFlags(r, [&](auto blend, auto white) {
    return SteppedLoop<decltype(blend)::value, decltype(white)::value>(r, tex, dst, count, s, t, ds,
                                                                       dt);
  });
  return true;
}

}  // namespace platform::video3d

#else

namespace platform::video3d {

uint64_t ArgbRowUpright(const ArgbSpanRule&, const uint8_t*, uint8_t*, int) { return 0; }
uint64_t ArgbRowSolid(const ArgbSpanRule&, uint8_t*, int) { return 0; }
bool ArgbRowStepped(const ArgbSpanRule&, const ArgbTexture&, uint8_t*, int, int64_t, int64_t,
                    int64_t, int64_t, uint64_t*) {
  return false;
}

}  // namespace platform::video3d

#endif
