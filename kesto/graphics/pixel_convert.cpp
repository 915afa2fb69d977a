// ConvertPixelRect: carries a rectangle of pixels from any layout into any
// other, merging a separate alpha image, keying the transparent colour to
// alpha 0, dithering and mirroring on the way. Three fast paths cover the
// common loads; every one of them gives the pixels the general path gives.
#include <cstddef>
#include <cstring>

#include "graphics/surface_upload.h"

namespace {

constexpr uint8_t kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

enum { kRed = 0, kGreen = 1, kBlue = 2, kAlpha = 3 };

struct Channel {
  uint32_t mask;
  uint8_t shift;
  uint8_t width;  // 0: absent
};

struct Layout {
  int bytes;       // 1..4, or 0 when the layout cannot be converted
  uint32_t bits_mask;
  Channel ch[4];
  uint32_t unused;
  // 8-bit images whose channel masks lie beyond the byte address a palette of
  // 0x00RRGGBB entries.
  const PaletteColor* palette;
};

Channel MakeChannel(uint32_t mask, int shift, int width) {
  // A channel whose numbers do not fit a 32-bit word is read as absent, so no
  // shift below can leave the word.
  if (width <= 0 || width > 32 || shift < 0 || shift > 31 || shift + width > 32 || mask == 0) {
    return {0, 0, 0};
  }
  return {mask, static_cast<uint8_t>(shift), static_cast<uint8_t>(width)};
}

Layout MakeLayout(const ColorFormatBlock* block) {
  Layout l{};
  if (!block) return l;
  const ColorFormatHeader& h = block->header;
  if (h.color_bits != 8 && h.color_bits != 16 && h.color_bits != 24 && h.color_bits != 32) {
    return l;
  }
  if (h.bytes_per_pixel != h.color_bits / 8) return l;
  l.bytes = h.bytes_per_pixel;
  l.bits_mask = h.color_bits == 32 ? 0xFFFFFFFFu : ((1u << h.color_bits) - 1u);
  l.ch[kRed] = MakeChannel(h.red_mask, h.red_shift, h.red_width);
  l.ch[kGreen] = MakeChannel(h.green_mask, h.green_shift, h.green_width);
  l.ch[kBlue] = MakeChannel(h.blue_mask, h.blue_shift, h.blue_width);
  l.ch[kAlpha] = MakeChannel(h.alpha_mask, h.alpha_shift, h.alpha_width);
  l.unused = h.unused_mask & l.bits_mask;
  if (h.color_bits == 8 && ((h.red_mask | h.green_mask | h.blue_mask) & ~0xFFu)) {
    l.palette = block->palette;
  }
  return l;
}

inline uint32_t LoadPixel(const uint8_t* p, int bytes) {
  switch (bytes) {
    case 1: return p[0];
    case 2: return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
    case 3:
      return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
             (static_cast<uint32_t>(p[2]) << 16);
    default:
      return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
             (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  }
}

inline void StorePixel(uint8_t* p, int bytes, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  if (bytes > 1) p[1] = static_cast<uint8_t>(v >> 8);
  if (bytes > 2) p[2] = static_cast<uint8_t>(v >> 16);
  if (bytes > 3) p[3] = static_cast<uint8_t>(v >> 24);
}

inline uint32_t MaxOf(int width) {
  return width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u);
}

// The channel's bits, limited to its width (a mask wider than the stated
// width cannot carry more than the width allows).
inline uint32_t Extract(uint32_t v, const Channel& c) {
  const uint32_t raw = (v & c.mask) >> c.shift;
  const uint32_t max = MaxOf(c.width);
  return raw > max ? max : raw;
}

// Wider destinations repeat the source bits (31 of 5 bits becomes 255 of 8),
// narrower ones keep the top bits.
inline uint32_t Rescale(uint32_t raw, int from, int to) {
  if (to == from) return raw;
  if (to < from) return raw >> (from - to);
  uint64_t out = 0;
  int left = to;
  while (left > 0) {
    if (left >= from) {
      out |= static_cast<uint64_t>(raw) << (left - from);
      left -= from;
    } else {
      out |= raw >> (from - left);
      left = 0;
    }
  }
  return static_cast<uint32_t>(out);
}

// Narrowing with the ordered dither: one destination step up when the bits
// dropped exceed the matrix threshold scaled to their range.
inline uint32_t RescaleDithered(uint32_t raw, int from, int to, int x, int y) {
  if (to >= from) return Rescale(raw, from, to);
  const int lost = from - to;
  uint32_t out = raw >> lost;
  const uint64_t dropped = raw & MaxOf(lost);
  const uint64_t threshold = (static_cast<uint64_t>(kBayer[y & 3][x & 3]) << lost) / 16;
  if (dropped > threshold && out < MaxOf(to)) ++out;
  return out;
}

inline uint32_t Place(uint32_t value, const Channel& c) {
  return static_cast<uint32_t>((static_cast<uint64_t>(value) << c.shift) & c.mask);
}

bool SameColorMasks(const Layout& a, const Layout& b) {
  for (int i = kRed; i <= kBlue; ++i) {
    if (a.ch[i].mask != b.ch[i].mask || a.ch[i].width != b.ch[i].width) return false;
  }
  return true;
}

bool SameLayout(const Layout& a, const Layout& b) {
  return a.bytes == b.bytes && SameColorMasks(a, b) && a.ch[kAlpha].mask == b.ch[kAlpha].mask &&
         a.ch[kAlpha].width == b.ch[kAlpha].width;
}

uint32_t ColorMask(const Layout& l) {
  return l.ch[kRed].mask | l.ch[kGreen].mask | l.ch[kBlue].mask;
}

// The transparent colour at a layout's own precision, channel by channel.
struct Key {
  uint32_t raw[3];
};

Key KeyFor(const Layout& l, uint32_t color) {
  const uint32_t bytes[3] = {(color >> 16) & 255u, (color >> 8) & 255u, color & 255u};
  Key k{};
  for (int i = kRed; i <= kBlue; ++i) {
    if (l.ch[i].width) k.raw[i] = Rescale(bytes[i], 8, l.ch[i].width);
  }
  return k;
}

// Is a pixel value (palette entry already looked up) the transparent colour?
inline bool IsKey(uint32_t v, const Layout& l, const Key& k) {
  for (int i = kRed; i <= kBlue; ++i) {
    if (l.ch[i].width && Extract(v, l.ch[i]) != k.raw[i]) return false;
  }
  return true;
}

struct Job {
  uint8_t* dst;
  int dst_pitch;
  const uint8_t* src;
  int src_pitch;
  const uint8_t* alpha;
  int alpha_pitch;
  int dst_x, dst_y;
  int left, top, width, height;
  bool mirror;
  bool transparent;
  uint32_t transparent_color;
  bool dither;
};

inline uint8_t* DestPixel(const Job& j, const Layout& d, int row, int i) {
  const int x = j.dst_x + (j.mirror ? j.width - 1 - i : i);
  return j.dst + static_cast<std::ptrdiff_t>(j.dst_y + row) * j.dst_pitch +
         static_cast<std::ptrdiff_t>(x) * d.bytes;
}

inline const uint8_t* SourceRow(const Job& j, const Layout& s, int row) {
  return j.src + static_cast<std::ptrdiff_t>(j.top + row) * j.src_pitch +
         static_cast<std::ptrdiff_t>(j.left) * s.bytes;
}

// Path 1: the same layout on both sides.
void CopyRows(const Job& j, const Layout& d) {
  const size_t row_bytes = static_cast<size_t>(j.width) * d.bytes;
  for (int row = 0; row < j.height; ++row) {
    const uint8_t* s = SourceRow(j, d, row);
    if (!j.mirror) {
      std::memmove(DestPixel(j, d, row, 0), s, row_bytes);
      continue;
    }
    for (int i = 0; i < j.width; ++i) std::memcpy(DestPixel(j, d, row, i), s + i * d.bytes, d.bytes);
  }
}

// Path 2: the same colour layout into a destination with alpha; the alpha
// bits say whether the pixel is the transparent colour.
void CopyRowsKeyed(const Job& j, const Layout& d) {
  const Key key = KeyFor(d, j.transparent_color);
  const uint32_t alpha = d.ch[kAlpha].mask;
  for (int row = 0; row < j.height; ++row) {
    const uint8_t* s = SourceRow(j, d, row);
    for (int i = 0; i < j.width; ++i) {
      uint32_t v = LoadPixel(s + i * d.bytes, d.bytes);
      v = IsKey(v, d, key) ? (v & ~alpha) : (v | alpha);
      StorePixel(DestPixel(j, d, row, i), d.bytes, v);
    }
  }
}

// Path 3: palette or standard 24-bit sources into the screen and texture
// layouts, with fixed shifts.
enum class FastDest { k565, k555, kX888, k1555, k8888, kNone };

FastDest FastDestOf(const Layout& d) {
  const uint32_t r = d.ch[kRed].mask, g = d.ch[kGreen].mask, b = d.ch[kBlue].mask,
                 a = d.ch[kAlpha].mask;
  if (d.bytes == 2 && r == 0xF800 && g == 0x07E0 && b == 0x1F && a == 0) return FastDest::k565;
  if (d.bytes == 2 && r == 0x7C00 && g == 0x03E0 && b == 0x1F) {
    if (a == 0) return FastDest::k555;
    if (a == 0x8000) return FastDest::k1555;
  }
  if (d.bytes == 4 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF) {
    if (a == 0) return FastDest::kX888;
    if (a == 0xFF000000u) return FastDest::k8888;
  }
  return FastDest::kNone;
}

bool IsFastSource(const Layout& s) {
  const bool standard = s.ch[kRed].mask == 0xFF0000 && s.ch[kGreen].mask == 0xFF00 &&
                        s.ch[kBlue].mask == 0xFF && s.ch[kRed].width == 8 &&
                        s.ch[kGreen].width == 8 && s.ch[kBlue].width == 8 &&
                        s.ch[kAlpha].width == 0;
  return standard && ((s.bytes == 1 && s.palette) || s.bytes == 3);
}

template <FastDest D>
void FastRows(const Job& j, const Layout& s, const Layout& d) {
  const uint32_t key = j.transparent_color & 0xFFFFFFu;
  const bool keyed = j.transparent && (D == FastDest::k1555 || D == FastDest::k8888);
  for (int row = 0; row < j.height; ++row) {
    const uint8_t* sp = SourceRow(j, s, row);
    uint8_t* dp = DestPixel(j, d, row, 0);
    for (int i = 0; i < j.width; ++i) {
      uint32_t rgb;
      if (s.bytes == 1) {
        const PaletteColor& p = s.palette[sp[i]];
        rgb = (static_cast<uint32_t>(p.red) << 16) | (static_cast<uint32_t>(p.green) << 8) | p.blue;
      } else {
        rgb = LoadPixel(sp + i * 3, 3);
      }
      const uint32_t r = rgb >> 16, g = (rgb >> 8) & 255u, b = rgb & 255u;
      const bool clear = keyed && rgb == key;
      uint32_t v;
      if constexpr (D == FastDest::k565) {
        v = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
      } else if constexpr (D == FastDest::k555) {
        v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3) | d.unused;
      } else if constexpr (D == FastDest::k1555) {
        v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3) | (clear ? 0u : 0x8000u);
      } else if constexpr (D == FastDest::kX888) {
        v = rgb | d.unused;
      } else {
        v = rgb | (clear ? 0u : 0xFF000000u);
      }
      StorePixel(dp + static_cast<std::ptrdiff_t>(i) * d.bytes, d.bytes, v);
    }
  }
}

// Path 4: every pixel through its channel masks.
void GeneralRows(const Job& j, const Layout& s, const Layout& d, const Layout& a) {
  const Key key = KeyFor(s, j.transparent_color);
  const Channel& da = d.ch[kAlpha];
  const bool alpha_from_image =
      j.alpha && a.bytes && da.width && !s.ch[kAlpha].width && a.ch[kRed].width;
  for (int row = 0; row < j.height; ++row) {
    const uint8_t* sp = SourceRow(j, s, row);
    const uint8_t* ap =
        alpha_from_image ? j.alpha + static_cast<std::ptrdiff_t>(j.top + row) * j.alpha_pitch +
                               static_cast<std::ptrdiff_t>(j.left) * a.bytes
                         : nullptr;
    const int y = j.dst_y + row;
    for (int i = 0; i < j.width; ++i) {
      uint32_t v = LoadPixel(sp + static_cast<std::ptrdiff_t>(i) * s.bytes, s.bytes);
      if (s.palette) {
        const PaletteColor& p = s.palette[v & 255u];
        v = (static_cast<uint32_t>(p.red) << 16) | (static_cast<uint32_t>(p.green) << 8) | p.blue;
      }
      const int x = j.dst_x + (j.mirror ? j.width - 1 - i : i);
      uint32_t out = d.unused;
      for (int c = kRed; c <= kBlue; ++c) {
        const Channel& dc = d.ch[c];
        if (!dc.width) continue;
        const Channel& sc = s.ch[c];
        const uint32_t value =
            sc.width ? (j.dither ? RescaleDithered(Extract(v, sc), sc.width, dc.width, x, y)
                                 : Rescale(Extract(v, sc), sc.width, dc.width))
                     : 0;
        out |= Place(value, dc);
      }
      if (da.width) {
        uint32_t alpha;
        if (s.ch[kAlpha].width) {
          alpha = Rescale(Extract(v, s.ch[kAlpha]), s.ch[kAlpha].width, da.width);
        } else if (ap) {
          uint32_t av = LoadPixel(ap + static_cast<std::ptrdiff_t>(i) * a.bytes, a.bytes);
          if (a.palette) av = static_cast<uint32_t>(a.palette[av & 255u].red) << 16;
          alpha = Rescale(Extract(av, a.ch[kRed]), a.ch[kRed].width, da.width);
        } else {
          alpha = MaxOf(da.width);
        }
        if (j.transparent && IsKey(v, s, key)) alpha = 0;
        out = (out & ~da.mask) | Place(alpha, da);
      }
      StorePixel(j.dst + static_cast<std::ptrdiff_t>(y) * j.dst_pitch + static_cast<std::ptrdiff_t>(x) * d.bytes,
                 d.bytes, out);
    }
  }
}

}  // namespace

int ConvertPixelRect(void* dst, int dst_pitch, const ColorFormatBlock* dst_format,
                     const void* src, int src_pitch, const ColorFormatBlock* src_format,
                     const void* alpha, int alpha_pitch, const ColorFormatBlock* alpha_format,
                     int dst_x, int dst_y, const platform::video::Rect* src_rect, int mirror,
                     int transparent_flag, uint32_t transparent_color, int dither,
                     int force_general) {
  if (!dst || !src || !src_rect) return 0;
  const Layout d = MakeLayout(dst_format);
  const Layout s = MakeLayout(src_format);
  const Layout a = MakeLayout(alpha_format);
  if (!d.bytes || !s.bytes) return 0;
  Job j{};
  j.dst = static_cast<uint8_t*>(dst);
  j.dst_pitch = dst_pitch;
  j.src = static_cast<const uint8_t*>(src);
  j.src_pitch = src_pitch;
  j.alpha = static_cast<const uint8_t*>(alpha);
  j.alpha_pitch = alpha_pitch;
  j.dst_x = dst_x;
  j.dst_y = dst_y;
  j.left = src_rect->left;
  j.top = src_rect->top;
  j.width = src_rect->right - src_rect->left;
  j.height = src_rect->bottom - src_rect->top;
  j.mirror = mirror != 0;
  j.transparent = transparent_flag != 0;
  j.transparent_color = transparent_color;
  j.dither = dither != 0;
  if (j.width <= 0 || j.height <= 0) return 0;

  // The alpha image matters only where its red channel would become the
  // destination's alpha.
  const bool alpha_merge = j.alpha && a.bytes && d.ch[kAlpha].width && !s.ch[kAlpha].width;
  const bool fast_allowed = !force_general && !alpha_merge;
  if (fast_allowed && !j.transparent && SameLayout(s, d) && !s.palette == !d.palette) {
    CopyRows(j, d);
    return 0;
  }
  // Path 2 compares colour bits only, so a layout whose alpha shares bits
  // with a colour channel (the grey layout) goes the general way, and so does
  // a source with alpha of its own, which only the general path keeps.
  if (fast_allowed && j.transparent && d.ch[kAlpha].width && !s.ch[kAlpha].width &&
      s.bytes == d.bytes &&
      SameColorMasks(s, d) && !s.palette && !d.palette && !(d.ch[kAlpha].mask & ColorMask(d))) {
    CopyRowsKeyed(j, d);
    return 0;
  }
  if (fast_allowed && !j.dither && !j.mirror && IsFastSource(s)) {
    switch (FastDestOf(d)) {
      case FastDest::k565: FastRows<FastDest::k565>(j, s, d); return 0;
      case FastDest::k555: FastRows<FastDest::k555>(j, s, d); return 0;
      case FastDest::kX888: FastRows<FastDest::kX888>(j, s, d); return 0;
      case FastDest::k1555: FastRows<FastDest::k1555>(j, s, d); return 0;
      case FastDest::k8888: FastRows<FastDest::k8888>(j, s, d); return 0;
      case FastDest::kNone: break;
    }
  }
  GeneralRows(j, s, d, a);
  return 0;
}
