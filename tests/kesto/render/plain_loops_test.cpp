// The plain draw's pixel rules: pinned values, then a scalar reference model
// run against the real loops over random pixels, settings and layouts.
#include "render/plain_loops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render_test_util.h"

namespace {

using namespace render;
using render_test::Channels;
using render_test::ChannelsOf;

// One pixel through the plain loops; `a` < 0 means no alpha plane.
uint32_t Plain(int bits, const Layout& layout, PlainChoice c, uint32_t s, uint32_t d, int a = -1,
               Pick* pick = nullptr) {
  uint32_t src = s, dst = d;
  uint8_t alpha = static_cast<uint8_t>(a < 0 ? 0 : a);
  RectRows rows;
  rows.dst = reinterpret_cast<uint8_t*>(&dst);
  rows.read = rows.dst;
  rows.src = reinterpret_cast<const uint8_t*>(&src);
  rows.alpha = &alpha;
  rows.width = rows.height = 1;
  c.alpha = a >= 0;
  const Pick p = DrawPlainPixels(bits, layout, rows, c);
  if (pick) *pick = p;
  return bits == 16 ? (dst & 0xFFFF) : dst;
}

PlainChoice Mode(int mode, int param, bool packed = false, int brightness = -1) {
  PlainChoice c;
  c.mode = mode;
  c.param = param;
  c.packed = packed;
  c.brightness = brightness;
  return c;
}

TEST(PlainPixelsTest, PinnedValues) {
  const Layout l32 = Layout8888(), l565 = Layout565();
  for (int p : {1, 128, 254}) {
    SCOPED_TRACE(p);
    EXPECT_EQ(Plain(32, l32, Mode(1, p), 0xFF, 0xFF) & 0xFF, 254u);
    EXPECT_EQ(Plain(32, l32, Mode(1, p, true), 0xFF, 0xFF) & 0xFF, 255u);
  }
  EXPECT_EQ(Plain(32, l32, Mode(1, 128), 200, 100), 150u);
  EXPECT_EQ(Plain(32, l32, Mode(1, 128, true), 200, 100), 150u);
  // 565: blue 1 over 2 at p = 128: the table form loses the half, the packed one keeps it.
  EXPECT_EQ(Plain(16, l565, Mode(1, 128), 1, 2), 0u);
  EXPECT_EQ(Plain(16, l565, Mode(1, 128, true), 1, 2), 1u);
  EXPECT_EQ(Plain(16, l565, Mode(1, 128), 20u << 11, 10u << 11), 14u << 11);
  // In-place alpha: the lower channel's carry reaches green; no overflow for red at a = 254.
  EXPECT_EQ(Plain(32, l32, Mode(0, 0), 0x0001C8, 0x0000C8, 128), 0x0001C8u);
  EXPECT_EQ(Plain(16, l565, Mode(0, 0), 0xFFFF, 0, 128), 0x7BEFu);
  EXPECT_EQ(Plain(32, l32, Mode(0, 0), 0xFF0000, 0, 254), 0xFD0000u);
  // Brightness 0x00FF0000: red r becomes r - 1, green and blue 0.
  EXPECT_EQ(Plain(32, l32, Mode(0, 0, false, 0xFF0000), 0x80FFFF, 0), 0x7F0000u);
  EXPECT_EQ(Plain(16, l565, Mode(0, 0, false, 0xFF0000), 0xFFFF, 0), 30u << 11);
}

TEST(PlainPixelsTest, PackedAddAndSubtractKeepTheirQuirks) {
  const Fmt8888 f32;
  const Fmt565 f565;
  const FmtOther other{Layout565()};
  struct Case {
    const char* name;
    uint32_t got, want;
  } cases[] = {
      {"add 32 carries low bits", AddPacked(f32, 0x656565, 0x333333), 0x979798},
      {"add 32 saturates, red carry sets bit 24", AddPacked(f32, 0xC8C8C8, 0x646464), 0x1FFFFFF},
      {"add 32 blue 255 + 1", AddPacked(f32, 0x0000FF, 0x000001), 0x0001FF},
      {"add 565 green 62 + 2 carries into red", AddPacked(f565, 62u << 5, 2u << 5),
       (62u << 5) | (1u << 11)},
      {"add 565 red 31 + 30", AddPacked(f565, 31u << 11, 30u << 11) & 0xFFFF, 31u << 11},
      {"add other ORs blue's low bit", AddPacked(other, 1, 1), 3},
      {"add fixed 565 blue 1 + 1", AddPacked(f565, 1, 1), 2},
      {"sub 32", SubPacked(f32, 0x646464, 0x323232), 0x333332},
      {"sub 32 black - black", SubPacked(f32, 0, 0), 0x010100},
      {"sub 32 below zero", SubPacked(f32, 0x646464, 0xC8C8C8), 0},
      {"sub 565", SubPacked(f565, f565.Pack(20, 20, 20), f565.Pack(10, 10, 10)) & 0xFFFF,
       f565.Pack(11, 10, 10)},
      {"sub 565 clears green's low bit", SubPacked(f565, f565.Pack(0, 63, 0), 0) & 0xFFFF,
       f565.Pack(1, 62, 0)},
      {"sub 555 black - black", SubPacked(Fmt555{}, 0, 0) & 0xFFFF, 0x0420},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
  // The packed-register add saturates exactly.
  EXPECT_EQ(Plain(16, Layout565(), Mode(2, 255, true), (62u << 5) | 0, 2u << 5) >> 5, 63u);
}

// ---- Scalar reference model of the plain draw's rules ----

struct RefOut {
  Pick pick = Pick::kDrawn;
  bool skip = false;
  uint32_t value = 0;
};

uint32_t RefBright(const Channels& ch, uint32_t s, int brightness) {
  if (brightness == -1) return s;
  const uint32_t w[3] = {(static_cast<uint32_t>(brightness) >> 16) & 255,
                         (static_cast<uint32_t>(brightness) >> 8) & 255,
                         static_cast<uint32_t>(brightness) & 255};
  uint32_t v[3];
  for (int c = 0; c < 3; ++c) v[c] = ch.get(s, c) * w[c] / 256;
  return ch.pack(v);
}

uint32_t RefInplace(const Channels& ch, uint32_t s, uint32_t d, uint32_t w) {
  uint32_t out = 0;
  for (int c = 0; c < 3; ++c) {
    const int64_t diff = int64_t{s & ch.mask[c]} - int64_t{d & ch.mask[c]};
    const int64_t prod = diff * w;
    const int64_t floor_div = prod >= 0 ? prod / 256 : -((-prod + 255) / 256);
    out |= static_cast<uint32_t>(floor_div + d) & ch.mask[c];
  }
  return out;
}

struct Packing {
  uint32_t K, B, L;
  int n;
};
Packing PackingOf(const Channels& ch, int bits) {
  if (bits == 32) return {0x1010100, 0xFEFEFF, 0x10100, 8};
  Packing p{0, 0, 0, ch.width[0]};
  for (int c = 0; c < 3; ++c) {
    p.K |= 1u << (ch.shift[c] + ch.width[c]);
    p.L |= 1u << ch.shift[c];
  }
  p.B = (ch.mask[0] | ch.mask[1] | ch.mask[2]) & ~p.K;
  if (ch.mask[0] == 0xF800 && ch.mask[1] == 0x7E0) p.L = 0x820;  // fixed 565 loops
  if (ch.mask[0] == 0x7C00 && ch.mask[1] == 0x3E0) p.L = 0x420;  // fixed 555 loops
  return p;
}

uint32_t RefAdd(const Packing& k, uint32_t d, uint32_t s) {
  const uint32_t t = (d & k.B) + (s & k.B);
  const uint32_t c = t & k.K;
  return t | (c - (c >> k.n)) | ((d | s) & k.L);
}
uint32_t RefSub(const Packing& k, uint32_t d, uint32_t s) {
  const uint32_t t = (d | k.K) - (s & ~k.K);
  const uint32_t c = t & k.K;
  return (c - (c >> k.n)) & t;
}

uint32_t ScaleAll(const Channels& ch, uint32_t s, uint32_t w) {
  uint32_t v[3];
  for (int c = 0; c < 3; ++c) v[c] = ch.get(s, c) * w / 256;
  return ch.pack(v);
}

RefOut RefPlain(int bits, const Channels& ch, bool other, const PlainChoice& c, uint32_t s,
                uint32_t d, int a) {
  RefOut out;
  const uint32_t p = static_cast<uint32_t>(c.param);
  const bool alpha = a >= 0 && !other;
  const int bright = other ? -1 : c.brightness;
  const uint32_t sb = RefBright(ch, s, bright);
  const Packing pk = PackingOf(ch, bits);
  const uint32_t wd = bits == 32 ? 256 - p : 255 - p;
  const bool key_tested = c.mode != 4 && c.mode != 5 && !(c.mode == 6 && bits == 32);
  auto nothing = [&] {
    out.pick = Pick::kNothing;
    return out;
  };
  auto fast = [&] {
    out.pick = Pick::kFastPath;
    return out;
  };
  if (c.mode == 1 && p == 0) return nothing();
  if ((c.mode == 2 || c.mode == 3) && p == 0) return nothing();
  if (c.mode >= 5 && !(c.mode == 6 && bits == 16)) return nothing();
  if (c.mode == 0 && (other || (!alpha && bright == -1))) return fast();
  if (c.mode == 1 && p == 255 && !alpha && bright == -1) return fast();
  if (key_tested && c.keyed && s == c.key) {
    out.skip = true;
    return out;
  }
  const bool reads_alpha = alpha && c.mode <= 3;
  if (reads_alpha && a == 0) {
    out.skip = true;
    return out;
  }
  auto table = [&](uint32_t x, uint32_t ws, uint32_t wdest) {
    uint32_t v[3];
    for (int k = 0; k < 3; ++k) v[k] = ch.get(x, k) * ws / 256 + ch.get(d, k) * wdest / 256;
    return ch.pack(v);
  };
  auto lerp = [&](uint32_t x, uint32_t w) {
    uint32_t v[3];
    for (int k = 0; k < 3; ++k) {
      const int64_t xv = ch.get(x, k), dv = ch.get(d, k);
      v[k] = static_cast<uint32_t>((xv * w + dv * (256 - w)) / 256);
    }
    return ch.pack(v);
  };
  auto mode0_alpha = [&]() -> uint32_t {
    if (a == 255) return sb;
    return bright != -1 ? lerp(sb, static_cast<uint32_t>(a)) : RefInplace(ch, s, d, a);
  };
  switch (c.mode) {
    case 0:
      out.value = alpha ? mode0_alpha() : sb;
      break;
    case 1: {
      if (alpha && p == 255) {
        out.value = mode0_alpha();
        break;
      }
      if (!alpha && p == 255) {
        out.value = sb;
        break;
      }
      if (!alpha) {
        if (c.packed && bright == -1 && !other) {
          if (bits == 32) {
            uint32_t v = 0;
            for (int k = 0; k < 32; k += 8)
              v |= ((((s >> k) & 255) * p + ((d >> k) & 255) * (256 - p)) / 256) << k;
            out.value = v;
          } else {
            uint32_t v[3];
            for (int k = 0; k < 3; ++k) v[k] = (ch.get(s, k) * p + ch.get(d, k) * (255 - p)) / 256;
            out.value = ch.pack(v);
          }
        } else {
          out.value = table(sb, p, other ? 255 - p : wd);
        }
        break;
      }
      const uint32_t ap = static_cast<uint32_t>(a) * p / 256;
      if (bright != -1) {
        uint32_t v[3];
        for (int k = 0; k < 3; ++k) v[k] = (ch.get(sb, k) * ap + ch.get(d, k) * (255 - ap)) / 256;
        out.value = ch.pack(v);
      } else {
        out.value = a == 255 ? table(s, p, wd) : RefInplace(ch, s, d, ap);
      }
      break;
    }
    case 2:
    case 3: {
      if (c.mode == 2 && c.packed && !alpha && bright == -1 && !other) {
        uint32_t v = 0;
        if (bits == 32) {
          for (int k = 0; k < 32; k += 8)
            v |= std::min<uint32_t>(255, ((d >> k) & 255) + ((s >> k) & 255) * p / 256) << k;
        } else {
          uint32_t ch3[3];
          for (int k = 0; k < 3; ++k)
            ch3[k] = std::min(ch.max(k), ch.get(d, k) + ch.get(s, k) * p / 256);
          v = ch.pack(ch3);
        }
        out.value = v;
        break;
      }
      uint32_t term;
      if (!alpha) {
        term = ScaleAll(ch, sb, p);
      } else if (a == 255 && bright == -1) {
        term = ScaleAll(ch, s, p);
      } else {
        term = ScaleAll(ch, sb, static_cast<uint32_t>(a) * p / 256);
      }
      out.value = c.mode == 2 ? RefAdd(pk, d, term) : RefSub(pk, d, term);
      break;
    }
    case 4: {
      uint32_t v[3];
      for (int k = 0; k < 3; ++k) v[k] = ch.get(d, k) * ch.get(sb, k) / ch.max(k);
      out.value = ch.pack(v);
      break;
    }
    case 6:
      out.value = d ^ s;
      break;
  }
  if (bits == 16) out.value &= 0xFFFF;
  return out;
}

TEST(PlainPixelsTest, LoopsMatchTheReferenceModel) {
  struct Fmt {
    const char* name;
    int bits;
    Layout layout;
  } formats[] = {{"565", 16, Layout565()},
                 {"555", 16, Layout555()},
                 {"other", 16, render_test::LayoutOther()},
                 {"8888", 32, Layout8888()}};
  render_test::Rng rng(12345);
  for (const Fmt& fmt : formats) {
    const Channels ch = ChannelsOf(fmt.layout);
    const bool other = fmt.layout.format_class == 3;
    for (int i = 0; i < 20000; ++i) {
      PlainChoice c;
      c.mode = static_cast<int>(rng.Below(8));
      const uint32_t pr = rng.Below(6);
      c.param = pr == 0 ? 0 : pr == 1 ? 255 : static_cast<int>(rng.Below(256));
      c.brightness = rng.Below(2) ? -1 : static_cast<int>(rng.Next() & 0xFFFFFF);
      c.keyed = rng.Below(2);
      c.packed = rng.Below(2);
      const uint32_t mask = fmt.bits == 32 ? 0xFFFFFFFFu : 0xFFFFu;
      uint32_t s = rng.Next() & mask, d = rng.Next() & mask;
      if (fmt.bits == 32 && rng.Below(2)) s |= 0xFF000000u;
      c.key = rng.Below(4) == 0 ? s : (rng.Next() & mask);
      const uint32_t ar = rng.Below(5);
      const int a = ar == 0 ? -1 : ar == 1 ? 0 : ar == 2 ? 255 : static_cast<int>(rng.Below(256));
      Pick pick;
      const uint32_t got = Plain(fmt.bits, fmt.layout, c, s, d, a, &pick);
      const RefOut want = RefPlain(fmt.bits, ch, other, c, s, d, a);
      const std::string ctx = std::string(fmt.name) + " mode " + std::to_string(c.mode) + " p " +
                              std::to_string(c.param) + " b " + std::to_string(c.brightness) +
                              " a " + std::to_string(a) + " packed " + std::to_string(c.packed) +
                              " s " + std::to_string(s) + " d " + std::to_string(d);
      ASSERT_EQ(static_cast<int>(pick), static_cast<int>(want.pick)) << ctx;
      const uint32_t expect = (want.pick != Pick::kDrawn || want.skip) ? d : want.value;
      ASSERT_EQ(got, expect) << ctx;
    }
  }
}

// Whole rectangles: the vectorised rows, their tails, rows read in place or
// from a separate copy, and the pixels beside the rectangle left alone.
TEST(PlainPixelsTest, RectanglesMatchTheReferenceModel) {
  struct Fmt {
    int bits;
    Layout layout;
  } formats[] = {
      {16, Layout565()}, {16, Layout555()}, {16, render_test::LayoutOther()}, {32, Layout8888()}};
  render_test::Rng rng(777);
  for (const Fmt& fmt : formats) {
    const Channels ch = ChannelsOf(fmt.layout);
    const bool other = fmt.layout.format_class == 3;
    const int bpp = fmt.bits / 8;
    const uint32_t mask = fmt.bits == 32 ? 0xFFFFFFFFu : 0xFFFFu;
    for (int i = 0; i < 1500; ++i) {
      PlainChoice c;
      c.mode = static_cast<int>(rng.Below(7));
      const uint32_t pr = rng.Below(5);
      c.param = pr == 0 ? 255 : static_cast<int>(1 + rng.Below(254));
      c.brightness = rng.Below(2) ? -1 : static_cast<int>(rng.Next() & 0xFFFFFF);
      c.keyed = rng.Below(2);
      c.packed = rng.Below(2);
      c.alpha = rng.Below(2);
      const int width = 1 + static_cast<int>(rng.Below(70)),
                height = 1 + static_cast<int>(rng.Below(3));
      const int pitch = (width + 3) * bpp;  // a margin that must stay untouched
      const bool in_place = rng.Below(2);
      c.key = rng.Next() & mask;
      auto pixel = [&] { return rng.Below(3) == 0 ? c.key : (rng.Next() & mask); };
      std::vector<uint8_t> dst(static_cast<size_t>(pitch) * height), read(dst.size()),
          src(dst.size()), alpha(static_cast<size_t>(width + 3) * height);
      auto put = [&](std::vector<uint8_t>& buf, size_t i, uint32_t v) {
        std::memcpy(buf.data() + i * bpp, &v, static_cast<size_t>(bpp));
      };
      auto get = [&](const std::vector<uint8_t>& buf, size_t i) {
        uint32_t v = 0;
        std::memcpy(&v, buf.data() + i * bpp, static_cast<size_t>(bpp));
        return v;
      };
      const size_t count = dst.size() / bpp;
      for (size_t k = 0; k < count; ++k) {
        put(dst, k, rng.Next() & mask);
        put(read, k, rng.Next() & mask);
        put(src, k, pixel());
      }
      for (uint8_t& a : alpha) {
        const uint32_t ar = rng.Below(4);
        a = static_cast<uint8_t>(ar == 0 ? 0 : ar == 1 ? 255 : rng.Below(256));
      }
      const std::vector<uint8_t> before = dst;
      RectRows rows;
      rows.dst = dst.data();
      rows.dst_pitch = pitch;
      rows.read = in_place ? dst.data() : read.data();
      rows.read_pitch = pitch;
      rows.src = src.data();
      rows.src_pitch = pitch;
      rows.alpha = alpha.data();
      rows.alpha_pitch = width + 3;
      rows.width = width;
      rows.height = height;
      const Pick pick = DrawPlainPixels(fmt.bits, fmt.layout, rows, c);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width + 3; ++x) {
          const size_t k = static_cast<size_t>(y) * (width + 3) + x;
          const uint32_t old = get(before, k);
          uint32_t expect = old;
          if (x < width) {
            const uint32_t d = in_place ? old : get(read, k);
            const int a = c.alpha ? alpha[k] : -1;
            const RefOut want = RefPlain(fmt.bits, ch, other, c, get(src, k), d, a);
            ASSERT_EQ(static_cast<int>(pick), static_cast<int>(want.pick));
            if (want.pick == Pick::kDrawn && !want.skip) expect = want.value;
          }
          ASSERT_EQ(get(dst, k), expect)
              << fmt.bits << " class " << fmt.layout.format_class << " mode " << c.mode << " p "
              << c.param << " b " << c.brightness << " keyed " << c.keyed << " alpha " << c.alpha
              << " packed " << c.packed << " in place " << in_place << " width " << width << " at "
              << x << "," << y;
        }
      }
    }
  }
}

}  // namespace
