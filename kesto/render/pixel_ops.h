// Pixel layouts and the per-pixel arithmetic the software blitters share.
// Channels stay at the screen's own widths (5/6/5, 5/5/5 or 8/8/8); nothing
// is widened to 8 bits. (v * q) >> 8 gives the same bits as the blend
// multiply table, so the loops multiply instead of looking up.
#pragma once

#include <algorithm>
#include <cstdint>

// Pixel loops inline their whole rule: without it the compiler gives up on
// the larger rule sets and calls a helper per pixel.
#define KESTO_PIXEL_LOOP __attribute__((flatten))

namespace render {

// `keep ? old : out` without a branch: which pixels a draw skips (keyed
// texels, alpha 0) follows no pattern the processor could predict.
template <class Px>
inline Px KeepOr(bool keep, Px old, Px out) {
  const Px m = static_cast<Px>(0u - static_cast<uint32_t>(keep));
  return static_cast<Px>((old & m) | (out & static_cast<Px>(~m)));
}

// A 16-bit layout described by masks (the general loops), or any layout for
// tests and set-up code.
struct Layout {
  int format_class = 0;  // 0 RGB565, 1 RGB555, 2 XRGB8888, 3 other 16-bit
  uint32_t red_mask = 0, green_mask = 0, blue_mask = 0;
  int red_shift = 0, green_shift = 0, blue_shift = 0;
  int red_width = 0, green_width = 0, blue_width = 0;
  uint32_t carry = 0;  // 1 << (width + shift) of each channel
  uint32_t keep = 0;   // channel bits without the carry bits
  uint32_t low = 0;    // 1 << shift of each channel
};

Layout Layout565();
Layout Layout555();
Layout Layout8888();
// A 16-bit layout from its masks (class other unless it is 565 or 555).
Layout Layout16FromMasks(uint32_t red, uint32_t green, uint32_t blue);

// Compile-time layouts; the general 16-bit one reads a Layout.
struct Fmt565 {
  using Px = uint16_t;
  static constexpr uint32_t R(uint32_t p) { return (p >> 11) & 31; }
  static constexpr uint32_t G(uint32_t p) { return (p >> 5) & 63; }
  static constexpr uint32_t B(uint32_t p) { return p & 31; }
  static constexpr uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 11) | (g << 5) | b;
  }
  static constexpr uint32_t RMask() { return 0xF800; }
  static constexpr uint32_t GMask() { return 0x07E0; }
  static constexpr uint32_t BMask() { return 0x001F; }
  static constexpr uint32_t RMax() { return 31; }
  static constexpr uint32_t GMax() { return 63; }
  static constexpr uint32_t BMax() { return 31; }
  static constexpr uint32_t K() { return 0x10820; }
  static constexpr uint32_t Keep() { return 0xF7DF; }
  static constexpr uint32_t L() { return 0x0820; }
  static constexpr int N() { return 5; }
};

struct Fmt555 {
  using Px = uint16_t;
  static constexpr uint32_t R(uint32_t p) { return (p >> 10) & 31; }
  static constexpr uint32_t G(uint32_t p) { return (p >> 5) & 31; }
  static constexpr uint32_t B(uint32_t p) { return p & 31; }
  static constexpr uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 10) | (g << 5) | b;
  }
  static constexpr uint32_t RMask() { return 0x7C00; }
  static constexpr uint32_t GMask() { return 0x03E0; }
  static constexpr uint32_t BMask() { return 0x001F; }
  static constexpr uint32_t RMax() { return 31; }
  static constexpr uint32_t GMax() { return 31; }
  static constexpr uint32_t BMax() { return 31; }
  static constexpr uint32_t K() { return 0x8420; }
  static constexpr uint32_t Keep() { return 0x7BDF; }
  static constexpr uint32_t L() { return 0x0420; }
  static constexpr int N() { return 5; }
};

struct Fmt8888 {
  using Px = uint32_t;
  static constexpr uint32_t R(uint32_t p) { return (p >> 16) & 255; }
  static constexpr uint32_t G(uint32_t p) { return (p >> 8) & 255; }
  static constexpr uint32_t B(uint32_t p) { return p & 255; }
  static constexpr uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 16) | (g << 8) | b;
  }
  static constexpr uint32_t RMask() { return 0xFF0000; }
  static constexpr uint32_t GMask() { return 0x00FF00; }
  static constexpr uint32_t BMask() { return 0x0000FF; }
  static constexpr uint32_t RMax() { return 255; }
  static constexpr uint32_t GMax() { return 255; }
  static constexpr uint32_t BMax() { return 255; }
  static constexpr uint32_t K() { return 0x1010100; }
  static constexpr uint32_t Keep() { return 0xFEFEFF; }
  static constexpr uint32_t L() { return 0x10100; }
  static constexpr int N() { return 8; }
};

// Any other 16-bit layout, by masks and shifts.
struct FmtOther {
  using Px = uint16_t;
  Layout l;
  uint32_t R(uint32_t p) const { return (p & l.red_mask) >> l.red_shift; }
  uint32_t G(uint32_t p) const { return (p & l.green_mask) >> l.green_shift; }
  uint32_t B(uint32_t p) const { return (p & l.blue_mask) >> l.blue_shift; }
  uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) const {
    return (r << l.red_shift) | (g << l.green_shift) | (b << l.blue_shift);
  }
  uint32_t RMask() const { return l.red_mask; }
  uint32_t GMask() const { return l.green_mask; }
  uint32_t BMask() const { return l.blue_mask; }
  uint32_t RMax() const { return (1u << l.red_width) - 1; }
  uint32_t GMax() const { return (1u << l.green_width) - 1; }
  uint32_t BMax() const { return (1u << l.blue_width) - 1; }
  uint32_t K() const { return l.carry; }
  uint32_t Keep() const { return l.keep; }
  uint32_t L() const { return l.low; }
  int N() const { return l.red_width; }
};

// Brightness as three channel weights; `none` when the draw has none (-1).
struct Bright {
  uint32_t r = 255, g = 255, b = 255;
  static Bright From(int value) {
    Bright out;
    out.r = (static_cast<uint32_t>(value) >> 16) & 255;
    out.g = (static_cast<uint32_t>(value) >> 8) & 255;
    out.b = static_cast<uint32_t>(value) & 255;
    return out;
  }
};

// T[q][v].
constexpr uint32_t T(uint32_t q, uint32_t v) { return (v * q) >> 8; }

// s' : every channel through its brightness row.
template <class F>
inline uint32_t ApplyBright(const F& f, uint32_t s, const Bright& b) {
  return f.Pack(T(b.r, f.R(s)), T(b.g, f.G(s)), T(b.b, f.B(s)));
}

// Every channel scaled by one weight: (c * w) >> 8.
template <class F>
inline uint32_t Scale(const F& f, uint32_t s, uint32_t w) {
  return f.Pack(T(w, f.R(s)), T(w, f.G(s)), T(w, f.B(s)));
}

// T[ws][s] + T[wd][d] per channel (the table blends).
template <class F>
inline uint32_t Table2(const F& f, uint32_t s, uint32_t d, uint32_t ws, uint32_t wd) {
  return f.Pack(T(ws, f.R(s)) + T(wd, f.R(d)), T(ws, f.G(s)) + T(wd, f.G(d)),
                T(ws, f.B(s)) + T(wd, f.B(d)));
}

// (s * ws + d * wd) >> 8 per channel.
template <class F>
inline uint32_t Mix(const F& f, uint32_t s, uint32_t d, uint32_t ws, uint32_t wd) {
  return f.Pack((f.R(s) * ws + f.R(d) * wd) >> 8, (f.G(s) * ws + f.G(d) * wd) >> 8,
                (f.B(s) * ws + f.B(d) * wd) >> 8);
}

// (d * 256 + (s - d) * w) >> 8 per channel: never negative.
inline uint32_t LerpChannel(uint32_t s, uint32_t d, uint32_t w) {
  return static_cast<uint32_t>(static_cast<int32_t>(d) * 256 +
                               (static_cast<int32_t>(s) - static_cast<int32_t>(d)) *
                                   static_cast<int32_t>(w)) >>
         8;
}
template <class F>
inline uint32_t Lerp(const F& f, uint32_t s, uint32_t d, uint32_t w) {
  return f.Pack(LerpChannel(f.R(s), f.R(d), w), LerpChannel(f.G(s), f.G(d), w),
                LerpChannel(f.B(s), f.B(d), w));
}

// The in-place blend on whole pixels: the lower channels of d and the
// product's dropped bits carry upwards. 64-bit, so red at 32 bits cannot
// overflow.
inline uint32_t InplaceChannel(uint32_t s, uint32_t d, uint32_t m, uint32_t w) {
  const int64_t diff = static_cast<int64_t>(s & m) - static_cast<int64_t>(d & m);
  return static_cast<uint32_t>(((diff * w) >> 8) + d) & m;
}
// 16-bit pixels: every term fits 32 bits (|diff * w| < 2^24), so the same
// value in lanes the vectoriser handles well.
inline uint32_t InplaceChannel16(uint32_t s, uint32_t d, uint32_t m, uint32_t w) {
  const int32_t diff = static_cast<int32_t>(s & m) - static_cast<int32_t>(d & m);
  return static_cast<uint32_t>(((diff * static_cast<int32_t>(w)) >> 8) + static_cast<int32_t>(d)) &
         m;
}
template <class F>
inline uint32_t Inplace(const F& f, uint32_t s, uint32_t d, uint32_t w) {
  if constexpr (sizeof(typename F::Px) == 2) {
    const uint32_t s16 = s & 0xFFFF, d16 = d & 0xFFFF;
    return InplaceChannel16(s16, d16, f.RMask(), w) | InplaceChannel16(s16, d16, f.GMask(), w) |
           InplaceChannel16(s16, d16, f.BMask(), w);
  } else {
    return InplaceChannel(s, d, f.RMask(), w) | InplaceChannel(s, d, f.GMask(), w) |
           InplaceChannel(s, d, f.BMask(), w);
  }
}

// Packed add and subtract with the carry masks (bit for bit, quirks included).
template <class F>
inline uint32_t AddPacked(const F& f, uint32_t d, uint32_t s) {
  const uint32_t t = (d & f.Keep()) + (s & f.Keep());
  const uint32_t c = t & f.K();
  return t | (c - (c >> f.N())) | ((d | s) & f.L());
}
template <class F>
inline uint32_t SubPacked(const F& f, uint32_t d, uint32_t s) {
  const uint32_t t = (d | f.K()) - (s & ~f.K());
  const uint32_t c = t & f.K();
  return (c - (c >> f.N())) & t;
}

// (d * x) / max per channel.
template <class F>
inline uint32_t Multiply(const F& f, uint32_t d, uint32_t x) {
  return f.Pack(f.R(d) * f.R(x) / f.RMax(), f.G(d) * f.G(x) / f.GMax(), f.B(d) * f.B(x) / f.BMax());
}

// The packed-register forms: 32 bits treat the top byte as a fourth channel.
inline uint32_t MmxBlend32(uint32_t s, uint32_t d, uint32_t p) {
  uint32_t out = 0;
  for (int k = 0; k < 32; k += 8) {
    const uint32_t sb = (s >> k) & 255, db = (d >> k) & 255;
    out |= ((sb * p + db * (256 - p)) >> 8) << k;
  }
  return out;
}
inline uint32_t MmxAdd32(uint32_t s, uint32_t d, uint32_t p) {
  uint32_t out = 0;
  for (int k = 0; k < 32; k += 8) {
    const uint32_t sb = (s >> k) & 255, db = (d >> k) & 255;
    out |= std::min<uint32_t>(255, db + T(p, sb)) << k;
  }
  return out;
}
template <class F>
inline uint32_t MmxAdd16(const F& f, uint32_t s, uint32_t d, uint32_t p) {
  return f.Pack(std::min(f.RMax(), f.R(d) + T(p, f.R(s))),
                std::min(f.GMax(), f.G(d) + T(p, f.G(s))),
                std::min(f.BMax(), f.B(d) + T(p, f.B(s))));
}

}  // namespace render
