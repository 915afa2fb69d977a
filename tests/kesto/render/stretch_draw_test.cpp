// The stretched draw: 16.16 stepping, clipping, mirroring, the hand-over to
// the plain draw, its own blend forms and its refusals.
#include <tuple>

#include "render/stretch_loops.h"
#include "render_fixture.h"
#include "render_test_util.h"

namespace {

using namespace platform::video;
using StretchDrawTest = RenderTest;

// Source pixel (x, y) of the sprites below: red = x + 1, green = y + 1.
uint32_t Texel(int x, int y) {
  return 0xFF000000u | (static_cast<uint32_t>(x + 1) << 16) | (static_cast<uint32_t>(y + 1) << 8);
}
int ColumnAt(uint32_t px) { return static_cast<int>((px >> 16) & 0xFF) - 1; }
int RowAt(uint32_t px) { return static_cast<int>((px >> 8) & 0xFF) - 1; }

TEST(StretchMapTest, CountersPickTheSourcePixels) {
  struct Case {
    const char* name;
    int first, dir, start;
    uint32_t step;
    int count, limit;
    std::vector<int> want;
  } cases[] = {
      {"2 to 3", 0, 1, 98304, 98304, 3, 2, {0, 0, 1}},
      {"3 to 2", 0, 1, 43690, 43690, 2, 3, {0, 1}},
      {"twice, 3 clipped", 1, 1, 65536, 131072, 5, 8, {1, 2, 2, 3, 3}},
      {"mirrored", 3, -1, 65536, 65536, 4, 4, {3, 2, 1, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(render::StretchMap(c.first, c.dir, c.start, c.step, c.count, c.limit), c.want)
        << c.name;
}

// One pixel through the stretched loops; `a` < 0: no alpha plane.
uint32_t Stretch1(int bits, const render::Layout& layout, render::StretchChoice c, uint32_t s,
                  uint32_t d, int a) {
  uint32_t src = s, dst = d;
  uint8_t alpha = static_cast<uint8_t>(a < 0 ? 0 : a);
  const int zero = 0;
  render::StretchRows g;
  g.dst = reinterpret_cast<uint8_t*>(&dst);
  g.read = g.dst;
  g.src = reinterpret_cast<const uint8_t*>(&src);
  g.alpha = &alpha;
  g.cols = &zero;
  g.rows = &zero;
  g.width = g.height = 1;
  c.alpha = a >= 0;
  render::DrawStretchPixels(bits, layout, g, c);
  return bits == 32 ? dst : bits == 16 ? dst & 0xFFFF : dst & 0xFF;
}

// The stretched draw's table, per channel.
uint32_t RefStretch(int bits, const render::Layout& layout, const render::StretchChoice& c,
                    uint32_t s, uint32_t d, int a) {
  const render_test::Channels ch = render_test::ChannelsOf(layout);
  const bool other = bits == 16 && layout.format_class == 3;
  const bool alpha = a >= 0;
  const uint32_t p = static_cast<uint32_t>(c.param);
  if (bits == 8) return ((c.transparent & 1) && s == 0) ? d : s;
  if (c.mode < 0 || c.mode > 4 || (c.mode >= 1 && c.mode <= 3 && p == 0)) return d;
  const int mode = c.mode == 1 && p == 255 ? 0 : c.mode;
  const bool plain_copy = mode == 0 && !alpha && c.brightness == -1;
  const uint32_t key = bits == 16 ? (c.key & 0xFFFF) : c.key;
  const bool keyed = plain_copy ? (c.transparent & 1) != 0 : c.transparent != 0;
  if (mode != 4 && keyed && s == key) return d;
  const bool reads_alpha = alpha && mode <= 3;
  if (reads_alpha && a == 0) return d;
  // Other layouts: the loops without an alpha plane drop brightness.
  const bool use_b = c.brightness != -1 && (reads_alpha || !other);
  const uint32_t bw[3] = {(static_cast<uint32_t>(c.brightness) >> 16) & 255,
                          (static_cast<uint32_t>(c.brightness) >> 8) & 255,
                          static_cast<uint32_t>(c.brightness) & 255};
  uint32_t sb[3], dc[3], res[3];
  for (int k = 0; k < 3; ++k) {
    sb[k] = use_b ? ch.get(s, k) * bw[k] / 256 : ch.get(s, k);
    dc[k] = ch.get(d, k);
  }
  const uint32_t ua = static_cast<uint32_t>(a);
  switch (mode) {
    case 0:
      // s' is the whole source pixel without brightness.
      if (!use_b && (!reads_alpha || a == 255)) return s;
      for (int k = 0; k < 3; ++k)
        res[k] = (!reads_alpha || a == 255) ? sb[k] : (sb[k] * ua + dc[k] * (256 - ua)) / 256;
      return ch.pack(res);
    case 1:
      for (int k = 0; k < 3; ++k) {
        const uint32_t kk = ua * p / 256;
        res[k] = (!reads_alpha || a == 255) ? sb[k] * p / 256 + dc[k] * (255 - p) / 256
                                            : (sb[k] * kk + dc[k] * (256 - kk)) / 256;
      }
      return ch.pack(res);
    case 2:
    case 3: {
      for (int k = 0; k < 3; ++k) {
        const uint32_t term = sb[k] * p / 256;
        res[k] = (!reads_alpha || a == 255) ? term : ua * term / 256;
      }
      const uint32_t S = ch.pack(res);
      uint32_t K = 0, L = 0, B = 0;
      int n = ch.width[0];
      if (bits == 32) {
        K = 0x1010100, B = 0xFEFEFF, L = 0x10100, n = 8;
      } else {
        for (int k = 0; k < 3; ++k) {
          K |= 1u << (ch.shift[k] + ch.width[k]);
          L |= 1u << ch.shift[k];
        }
        B = (ch.mask[0] | ch.mask[1] | ch.mask[2]) & ~K;
        if (layout.format_class == 0) L = 0x820;
        if (layout.format_class == 1) L = 0x420;
      }
      uint32_t out;
      if (mode == 2) {
        const uint32_t t = (d & B) + (S & B), cr = t & K;
        out = t | (cr - (cr >> n)) | ((d | S) & L);
      } else {
        const uint32_t t = (d | K) - (S & ~K), cr = t & K;
        out = (cr - (cr >> n)) & t;
      }
      return bits == 16 ? out & 0xFFFF : out;
    }
    default:
      for (int k = 0; k < 3; ++k) res[k] = dc[k] * sb[k] / ch.max(k);
      return ch.pack(res);
  }
}

TEST(StretchPixelsTest, LoopsMatchTheReferenceModel) {
  struct Fmt {
    int bits;
    render::Layout layout;
  } formats[] = {{16, render::Layout565()},
                 {16, render::Layout555()},
                 {16, render_test::LayoutOther()},
                 {32, render::Layout8888()},
                 {8, render::Layout565()}};
  render_test::Rng rng(2024);
  for (const Fmt& f : formats) {
    for (int i = 0; i < 20000; ++i) {
      render::StretchChoice c;
      c.mode = static_cast<int>(rng.Below(7)) - 1;
      const uint32_t pr = rng.Below(6);
      c.param = pr == 0 ? 0 : pr == 1 ? 255 : static_cast<int>(rng.Below(256));
      c.brightness = rng.Below(2) ? -1 : static_cast<int>(rng.Next() & 0xFFFFFF);
      c.transparent = static_cast<int>(rng.Below(4));
      const uint32_t mask = f.bits == 32 ? 0xFFFFFFFFu : f.bits == 16 ? 0xFFFFu : 0xFFu;
      uint32_t s = rng.Next() & mask;
      const uint32_t d = rng.Next() & mask;
      if (f.bits == 8 && rng.Below(3) == 0) s = 0;
      c.key = rng.Below(3) == 0 ? (s | (rng.Below(2) ? 0xFF0000u : 0u)) : rng.Next();
      const uint32_t ar = rng.Below(5);
      const int a = ar == 0 ? -1 : ar == 1 ? 0 : ar == 2 ? 255 : static_cast<int>(rng.Below(256));
      ASSERT_EQ(Stretch1(f.bits, f.layout, c, s, d, a), RefStretch(f.bits, f.layout, c, s, d, a))
          << "bits " << f.bits << " class " << f.layout.format_class << " mode " << c.mode
          << " p " << c.param << " b " << c.brightness << " a " << a << " flag "
          << c.transparent << " s " << s << " d " << d << " key " << c.key;
    }
  }
}

TEST_F(StretchDrawTest, ColumnsAndRowsFollowTheSteps) {
  StartScreen(32, 64, 48);
  const int g2 = MakeSprite(2, 2), g3 = MakeSprite(3, 1), g8 = MakeSprite(8, 1);
  for (int g : {g2, g3, g8}) Paint(g, Texel);
  struct Case {
    const char* name;
    int graphic;
    int x1, y1, x2, y2;
    int area_left;
    std::vector<int> cols;  // from the area's left edge on row y1 (or row 0 when mirrored)
  } cases[] = {
      {"2 to 3", g2, 0, 0, 3, 2, 0, {0, 0, 1}},
      {"3 to 2", g3, 0, 0, 2, 1, 0, {0, 1}},
      {"twice, 3 columns clipped", g8, 10, 0, 26, 1, 13, {1, 2, 2, 3, 3}},
      {"mirrored", g3, 10, 0, 0, 1, 0, {2, 2, 2, 2, 1, 1, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
    ApplyDrawArea(c.area_left, 0, 64, 48);
    EXPECT_EQ(G_DDraw_DrawExtendGraph(c.x1, c.y1, c.x2, c.y2, Graphic(c.graphic), 0), 0);
    std::vector<int> got;
    for (size_t i = 0; i < c.cols.size(); ++i)
      got.push_back(ColumnAt(At(c.area_left + static_cast<int>(i), 0)));
    EXPECT_EQ(got, c.cols);
  }
  // Mirrored on both axes: the bottom-right pixel lands top-left.
  Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
  ApplyDrawArea(0, 0, 64, 48);
  EXPECT_EQ(G_DDraw_DrawExtendGraph(4, 4, 0, 0, Graphic(g2), 0), 0);
  EXPECT_EQ(ColumnAt(At(0, 0)), 1);
  EXPECT_EQ(RowAt(At(0, 0)), 1);
  EXPECT_EQ(ColumnAt(At(3, 3)), 0);
  EXPECT_EQ(RowAt(At(3, 3)), 0);
}

TEST_F(StretchDrawTest, SameSizeIsThePlainDrawAndEmptyRectanglesAreRefused) {
  StartScreen(16, 32, 32);
  const int g = MakeSprite(2, 2);
  Paint(g, [](int x, int y) { return static_cast<uint32_t>(0x100 + x + 2 * y); });
  EXPECT_EQ(G_DDraw_DrawExtendGraph(5, 5, 7, 7, Graphic(g), 0), 0);
  EXPECT_EQ(At(5, 5), 0x100u);
  EXPECT_EQ(At(6, 6), 0x103u);
  EXPECT_EQ(G_DDraw_DrawExtendGraph(7, 5, 5, 7, Graphic(g), 0), 0);  // mirrored: the loops
  EXPECT_EQ(At(5, 5), 0x101u);
  for (auto [x1, y1, x2, y2] : {std::tuple{3, 3, 3, 9}, std::tuple{3, 3, 9, 3},
                               std::tuple{40, 0, 50, 4}, std::tuple{-9, -9, -1, -1}}) {
    EXPECT_EQ(G_DDraw_DrawExtendGraph(x1, y1, x2, y2, Graphic(g), 0), -1);
  }
  EXPECT_EQ(G_DDraw_DrawExtendGraph(0, 0, 4, 4, nullptr, 0), -1);
  EXPECT_TRUE(Lines().empty());
  EXPECT_FALSE(Back()->locked());
}

TEST_F(StretchDrawTest, KeyTestsAndBlendForms) {
  StartScreen(32, 16, 16);
  const int g = MakeSprite(1, 1);
  const uint32_t key = static_cast<uint32_t>(PackRgbColorBody(0, 0, 0));
  struct Case {
    const char* name;
    int mode, param, flag;
    uint32_t texel, under, want;
  } cases[] = {
      // The plain copy tests the flag's bit 0 only.
      {"copy, flag 2", 0, 0, 2, key, 0x123456, key & 0xFFFFFF},
      {"copy, flag 1", 0, 0, 1, key, 0x123456, 0x123456},
      {"blend, flag 2", 1, 255, 2, key, 0x123456, key & 0xFFFFFF},
      {"add, flag 2", 2, 255, 2, key, 0x123456, 0x123456},
      // Mode 1 weighs the target by 255 - p at 32 bits too.
      {"blend 200 over 100", 1, 128, 0, 0xC8, 0x64, 0x95},
      {"multiply ignores the key", 4, 0, 1, key, 0xFFFFFF, 0},
  };
  for (const Case& c : cases) {
    SetPixel(g, 0, 0, c.texel);
    Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, c.under);
    SelectBlendMode(c.mode, c.param);
    EXPECT_EQ(G_DDraw_DrawExtendGraph(0, 0, 2, 1, Graphic(g), c.flag), 0) << c.name;
    EXPECT_EQ(At(1, 0) & 0xFFFFFF, c.want) << c.name;
  }
}

TEST_F(StretchDrawTest, AlphaPlaneIsMirroredWithTheColours) {
  StartScreen(32, 16, 16);
  const int g = MakeSprite(2, 1, /*alpha=*/true);
  Paint(g, [](int, int) { return 0xFFFFFFu; });
  SetAlpha(g, 0, 0, 255);
  SetAlpha(g, 1, 0, 0);
  EXPECT_EQ(G_DDraw_DrawExtendGraph(4, 0, 0, 1, Graphic(g), 0), 0);
  EXPECT_EQ(At(0, 0) & 0xFFFFFF, 0u);  // the transparent right column, mirrored
  EXPECT_EQ(At(1, 0) & 0xFFFFFF, 0u);
  EXPECT_EQ(At(2, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(At(3, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(StretchDrawTest, LockFailuresAreLoggedAndReleaseEverything) {
  StartScreen(16, 16, 16);
  const int g = MakeSprite(2, 2, false, false);
  SelectBlendMode(1, 100);
  ExpectLockFailuresLogged(g, "G_DDraw_DrawExtendGraph", [&] {
    return G_DDraw_DrawExtendGraph(0, 0, 5, 5, Graphic(g), 0);
  });
}

}  // namespace
