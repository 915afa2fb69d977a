// Four-corner draws and the textured triangles under them: placement,
// shared diagonals, degenerate shapes, the texel rules and lock failures.
#include <set>
#include <string>
#include <utility>

#include "render/render_frame.h"
#include "render/texel_rules.h"
#include "render/triangle.h"
#include "render_fixture.h"
#include "render_test_util.h"

namespace {

using namespace platform::video;
using TriangleTest = RenderTest;

uint32_t Texel(int x, int y) {
  return 0xFF000000u | (static_cast<uint32_t>(x + 1) << 16) | (static_cast<uint32_t>(y + 1) << 8);
}

// One pixel through a texel rule, with the loops' key and alpha tests.
struct RuleResult {
  bool drawn;  // false: the rule puts no pixel down at all
  uint32_t value;
};
RuleResult ApplyRule(render::Mapper m, int bits, const render::Layout& layout,
                     render::TexelChoice c, uint32_t s, uint32_t d, int a = -1) {
  c.alpha = a >= 0;
  uint32_t out = d;
  const bool drawn = render::ChooseTexelRule(m, bits, layout, c, [&](auto keyed, auto alpha,
                                                                     auto, auto op) {
    if (decltype(keyed)::value && s == c.key) return;
    const uint32_t av = decltype(alpha)::value ? static_cast<uint32_t>(a) : 255u;
    if (decltype(alpha)::value && av == 0) return;
    out = op(s, d, av);
  });
  return {drawn, bits == 16 ? out & 0xFFFF : out};
}

render::TexelChoice Choice(int mode, int param, int brightness = -1, int transparent = 0) {
  render::TexelChoice c;
  c.mode = mode;
  c.param = param;
  c.brightness = brightness;
  c.transparent = transparent;
  return c;
}

TEST(TexelRulesTest, PinnedValues) {
  using render::Mapper;
  const render::Layout l32 = render::Layout8888(), l565 = render::Layout565(),
                       l555 = render::Layout555();
  const render::Fmt565 f;
  struct Case {
    const char* name;
    Mapper m;
    int bits;
    render::Layout layout;
    render::TexelChoice c;
    uint32_t s, d;
    int a;
    uint32_t want;
  } cases[] = {
      {"tri 32 blend 200 over 100", Mapper::kTriangle, 32, l32, Choice(1, 128), 200, 100, -1, 149},
      {"rot 32 blend 200 over 100", Mapper::kRotated, 32, l32, Choice(1, 128), 200, 100, -1, 149},
      {"tri 32 coverage 128", Mapper::kTriangle, 32, l32, Choice(0, 0), 200, 100, 128, 150},
      {"tri 565 blend white over black", Mapper::kTriangle, 16, l565, Choice(1, 128), 0xFFFF, 0,
       -1, f.Pack(15, 31, 15)},
      {"tri 565 blend black over white", Mapper::kTriangle, 16, l565, Choice(1, 128), 0, 0xFFFF,
       -1, f.Pack(15, 31, 15)},
      {"tri 565 alpha p 254 a 128", Mapper::kTriangle, 16, l565, Choice(1, 254), 0xFFFF, 0, 128,
       f.Pack(15, 31, 15)},
      {"tri 565 alpha p 255 a 128", Mapper::kTriangle, 16, l565, Choice(1, 255), 0xFFFF, 0, 128,
       f.Pack(15, 31, 15)},
      {"tri 555 add white over white", Mapper::kTriangle, 16, l555, Choice(2, 255), 0x7FFF,
       0x7FFF, -1, 0xFFFF},
      {"tri 565 add blue 31 over 16", Mapper::kTriangle, 16, l565, Choice(2, 255), 31, 16, -1,
       f.Pack(0, 1, 31)},
      {"tri 565 sub black over white", Mapper::kTriangle, 16, l565, Choice(3, 255), 0, 0xFFFF,
       -1, f.Pack(31, 62, 31)},
      {"tri 565 sub white over white", Mapper::kTriangle, 16, l565, Choice(3, 255), 0xFFFF,
       0xFFFF, -1, f.Pack(1, 0, 1)},
      {"tri 555 sub black over white", Mapper::kTriangle, 16, l555, Choice(3, 255), 0, 0x7FFF,
       -1, 0x7FFF},
      {"tri 565 multiply", Mapper::kTriangle, 16, l565, Choice(4, 0), f.Pack(16, 32, 16),
       0xFFFF, -1, f.Pack(16, 32, 16)},
      // 32-bit triangles ignore the alpha plane in modes 2 and 3; the rotated draw does not.
      {"tri 32 add ignores alpha", Mapper::kTriangle, 32, l32, Choice(2, 255), 0xFF, 0, 0, 0xFE},
      {"rot 32 add reads alpha", Mapper::kRotated, 32, l32, Choice(2, 255), 0xFF, 0, 0, 0},
      // The rotated draw leaves the top byte 0.
      {"rot 32 copy", Mapper::kRotated, 32, l32, Choice(0, 0), 0xFF123456, 0, -1, 0x123456},
      {"tri 32 copy", Mapper::kTriangle, 32, l32, Choice(0, 0), 0xFF123456, 0, -1, 0xFF123456},
      // The key only when the flag is exactly 1; multiply never keys.
      {"flag 2 is not keyed", Mapper::kTriangle, 32, l32, Choice(0, 0, -1, 2), 0, 0x55, -1, 0},
      {"flag 1 is keyed", Mapper::kTriangle, 32, l32, Choice(0, 0, -1, 1), 0, 0x55, -1, 0x55},
      {"multiply ignores the key", Mapper::kRotated, 32, l32, Choice(4, 0, -1, 1), 0, 0x55, -1,
       0},
  };
  for (const Case& c : cases) {
    const RuleResult r = ApplyRule(c.m, c.bits, c.layout, c.c, c.s, c.d, c.a);
    EXPECT_TRUE(r.drawn) << c.name;
    EXPECT_EQ(r.value, c.want) << c.name;
  }
}

TEST(TexelRulesTest, BrightnessOnOtherLayouts) {
  using render::Mapper;
  const render::Layout other = render_test::LayoutOther();
  const uint32_t s = 0xFFFF, d = 0x1234;
  const int bright = 0x808080;
  // Triangles: modes 1 to 4 draw nothing; mode 0 copies without brightness
  // and applies it with an alpha plane.
  for (int mode : {1, 2, 3, 4}) {
    EXPECT_FALSE(ApplyRule(Mapper::kTriangle, 16, other, Choice(mode, 128, bright), s, d).drawn);
    EXPECT_FALSE(
        ApplyRule(Mapper::kTriangle, 16, other, Choice(mode, 128, bright), s, d, 128).drawn);
  }
  EXPECT_EQ(ApplyRule(Mapper::kTriangle, 16, other, Choice(0, 0, bright), s, d).value, s);
  EXPECT_EQ(ApplyRule(Mapper::kTriangle, 16, other, Choice(1, 255, bright), s, d).value, s);
  const render::FmtOther f{other};
  EXPECT_EQ(ApplyRule(Mapper::kTriangle, 16, other, Choice(0, 0, bright), s, d, 255).value,
            f.Pack(7, 31, 31));
  // Rotated: the loops without alpha drop brightness; with alpha, modes 1-3 draw nothing.
  EXPECT_EQ(ApplyRule(Mapper::kRotated, 16, other, Choice(4, 0, bright), s, d).value, d);
  EXPECT_TRUE(ApplyRule(Mapper::kRotated, 16, other, Choice(2, 255, bright), s, d).drawn);
  EXPECT_FALSE(ApplyRule(Mapper::kRotated, 16, other, Choice(2, 255, bright), s, d, 9).drawn);
  // p = 0 draws nothing in modes 1 to 3, everywhere.
  for (int mode : {1, 2, 3})
    EXPECT_FALSE(
        ApplyRule(Mapper::kRotated, 32, render::Layout8888(), Choice(mode, 0), s, d).drawn);
}

// ---- Scalar reference of the texel rules, from the rule tables ----

struct RefTexelOut {
  bool drawn = true;
  bool skip = false;
  uint32_t value = 0;
};

RefTexelOut RefTexel(render::Mapper m, int bits, const render::Layout& layout,
                     const render::TexelChoice& c, uint32_t s, uint32_t d, int a) {
  using render::Mapper;
  RefTexelOut out;
  const render_test::Channels ch = render_test::ChannelsOf(layout);
  const bool other = bits == 16 && layout.format_class == 3;
  const uint32_t p = static_cast<uint32_t>(c.param);
  const bool has_b = c.brightness != -1;
  const bool alpha = a >= 0;
  if (bits == 8) {
    out.skip = c.transparent != 0 && s == 0;
    out.value = s;
    return out;
  }
  if (c.mode < 0 || c.mode > 4 || (c.mode >= 1 && c.mode <= 3 && p == 0)) {
    out.drawn = false;
    return out;
  }
  const int mode = c.mode == 1 && p == 255 ? 0 : c.mode;
  bool use_b = has_b;
  if (other && has_b && mode >= 1) {
    if (m == Mapper::kTriangle || (alpha && mode <= 3)) {
      out.drawn = false;
      return out;
    }
    use_b = false;
  }
  const uint32_t bw[3] = {(static_cast<uint32_t>(c.brightness) >> 16) & 255,
                          (static_cast<uint32_t>(c.brightness) >> 8) & 255,
                          static_cast<uint32_t>(c.brightness) & 255};
  uint32_t sc[3], dc[3], sb[3], res[3];
  for (int k = 0; k < 3; ++k) {
    sc[k] = ch.get(s, k);
    dc[k] = ch.get(d, k);
    sb[k] = use_b ? sc[k] * bw[k] / 256 : sc[k];
  }
  const bool reads_alpha =
      alpha && mode <= 3 && !(bits == 32 && m == Mapper::kTriangle && mode >= 2);
  if (mode != 4 && c.transparent == 1 && s == c.key) {
    out.skip = true;
    return out;
  }
  if (reads_alpha && a == 0) {
    out.skip = true;
    return out;
  }
  auto lerp = [](uint32_t x, uint32_t y, uint32_t w) {
    return static_cast<uint32_t>((int64_t{y} * 256 + (int64_t{x} - y) * w) / 256);
  };
  const uint32_t ap = reads_alpha ? static_cast<uint32_t>(a) * p / 256 : 0;
  switch (mode) {
    case 0:
      if (!reads_alpha) {
        // A copy without an alpha plane writes the texel unchanged; other
        // layouts never apply brightness there.
        if (other || !use_b) {
          out.value = s;
        } else {
          out.value = ch.pack(sb);
        }
      } else {
        for (int k = 0; k < 3; ++k) res[k] = a == 255 ? sb[k] : lerp(sb[k], dc[k], a);
        out.value = ch.pack(res);
      }
      break;
    case 1:
      for (int k = 0; k < 3; ++k) {
        const uint32_t table = sb[k] * p / 256 + dc[k] * (255 - p) / 256;
        res[k] = (!reads_alpha || a == 255) ? table : lerp(sb[k], dc[k], ap);
      }
      out.value = ch.pack(res);
      break;
    case 2:
    case 3: {
      for (int k = 0; k < 3; ++k) {
        const uint32_t term = sb[k] * p / 256;
        res[k] = (!reads_alpha || a == 255) ? term : term * static_cast<uint32_t>(a) / 256;
      }
      const uint32_t packed = ch.pack(res);
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
      if (mode == 2) {
        const uint32_t t = (d & B) + (packed & B), cr = t & K;
        out.value = t | (cr - (cr >> n)) | ((d | packed) & L);
      } else {
        const uint32_t t = (d | K) - (packed & ~K), cr = t & K;
        out.value = (cr - (cr >> n)) & t;
      }
      break;
    }
    case 4:
      for (int k = 0; k < 3; ++k) res[k] = dc[k] * sb[k] / ch.max(k);
      out.value = ch.pack(res);
      break;
  }
  if (bits == 16) out.value &= 0xFFFF;
  if (bits == 32 && m == Mapper::kRotated) out.value &= 0xFFFFFF;
  return out;
}

TEST(TexelRulesTest, RulesMatchTheReferenceModel) {
  using render::Mapper;
  struct Fmt {
    int bits;
    render::Layout layout;
  } formats[] = {{16, render::Layout565()},
                 {16, render::Layout555()},
                 {16, render_test::LayoutOther()},
                 {32, render::Layout8888()},
                 {8, render::Layout565()}};
  render_test::Rng rng(99);
  for (Mapper m : {Mapper::kTriangle, Mapper::kRotated}) {
    for (const Fmt& f : formats) {
      for (int i = 0; i < 20000; ++i) {
        render::TexelChoice c;
        c.mode = static_cast<int>(rng.Below(7)) - 1;
        const uint32_t pr = rng.Below(6);
        c.param = pr == 0 ? 0 : pr == 1 ? 255 : static_cast<int>(rng.Below(256));
        c.brightness = rng.Below(2) ? -1 : static_cast<int>(rng.Next() & 0xFFFFFF);
        c.transparent = static_cast<int>(rng.Below(3));
        const uint32_t mask = f.bits == 32 ? 0xFFFFFFFFu : f.bits == 16 ? 0xFFFFu : 0xFFu;
        uint32_t s = rng.Next() & mask;
        const uint32_t d = rng.Next() & mask;
        if (rng.Below(4) == 0) s = f.bits == 8 ? 0 : s;
        c.key = f.bits == 8 ? 0 : rng.Below(3) == 0 ? s : rng.Next() & mask;
        const uint32_t ar = rng.Below(5);
        const int a = ar == 0 ? -1 : ar == 1 ? 0 : ar == 2 ? 255 : static_cast<int>(rng.Below(256));
        const RuleResult got = ApplyRule(m, f.bits, f.layout, c, s, d, a);
        const RefTexelOut want = RefTexel(m, f.bits, f.layout, c, s, d, a);
        const std::string ctx = "mapper " + std::to_string(static_cast<int>(m)) + " bits " +
                                std::to_string(f.bits) + " class " +
                                std::to_string(f.layout.format_class) + " mode " +
                                std::to_string(c.mode) + " p " + std::to_string(c.param) +
                                " b " + std::to_string(c.brightness) + " a " +
                                std::to_string(a) + " flag " + std::to_string(c.transparent);
        ASSERT_EQ(got.drawn, want.drawn) << ctx;
        if (!want.drawn) continue;
        ASSERT_EQ(got.value, want.skip ? d : want.value) << ctx;
      }
    }
  }
}

TEST(TriangleSetupTest, RefusesDegenerateAndOutOfRangeTriangles) {
  using render::TriangleVertex;
  render::TriangleEdges e;
  const TriangleVertex collinear[3] = {{0, 0, 0, 0}, {2, 2, 1, 0}, {4, 4, 0, 1}};
  const TriangleVertex one_row[3] = {{0, 3, 0, 0}, {5, 3, 1, 0}, {9, 3, 0, 1}};
  const TriangleVertex far[3] = {{0, 0, 0, 0}, {9000, 0, 1, 0}, {0, 4, 0, 1}};
  const TriangleVertex fine[3] = {{0, 0, 0, 0}, {4, 0, 4, 0}, {0, 2, 0, 2}};
  EXPECT_EQ(render::SetupTriangleEdges(collinear, &e), -1);
  EXPECT_EQ(render::SetupTriangleEdges(one_row, &e), -1);
  EXPECT_EQ(render::SetupTriangleEdges(far, &e), -1);
  ASSERT_EQ(render::SetupTriangleEdges(fine, &e), 0);
  // One texel per pixel.
  EXPECT_EQ(e.du_dx, render::kFixOne);
  EXPECT_EQ(e.dv_dy, render::kFixOne);
  EXPECT_EQ(e.du_dy, 0);
}

TEST_F(TriangleTest, OwnRectangleDrawsTheGraphicUnscaled) {
  StartScreen(32, 32, 32);
  const int g = MakeSprite(4, 3);
  Paint(g, Texel);
  EXPECT_EQ(G_DDraw_DrawModiGraph(5, 6, 9, 6, 5, 9, 9, 9, Graphic(g), 0), 0);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const bool inside = x >= 5 && x < 9 && y >= 6 && y < 9;
      ASSERT_EQ(At(x, y), inside ? Texel(x - 5, y - 6) : 0u) << x << "," << y;
    }
  // Mirrored corners mirror the picture.
  Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
  EXPECT_EQ(G_DDraw_DrawModiGraph(9, 6, 5, 6, 9, 9, 5, 9, Graphic(g), 0), 0);
  // Texel position w is outside, so the mirrored picture starts one column in.
  EXPECT_EQ(At(5, 6), 0u);
  EXPECT_EQ(At(6, 6), Texel(3, 0));
  EXPECT_EQ(At(9, 8), Texel(0, 2));
  EXPECT_FALSE(Back()->locked());
}

TEST_F(TriangleTest, TheSharedDiagonalIsBlendedTwiceUnlessReadThroughACopy) {
  StartScreen(32, 16, 16);
  const int g = MakeSprite(4, 4);
  Paint(g, [](int, int) { return 0x000010u; });
  SelectBlendMode(2, 255);  // each pass adds 15 to blue
  // A system-memory target is read directly: the second triangle sees the first.
  const int target = MakeSprite(8, 8);
  Paint(target, [](int, int) { return 0u; });
  ASSERT_EQ(SetDrawTarget(target), 0);
  ASSERT_FALSE(GetDrawState().target_in_video_memory);
  ApplyDrawArea(0, 0, 8, 8);
  EXPECT_EQ(G_DDraw_DrawModiGraph(2, 2, 6, 2, 2, 6, 6, 6, Graphic(g), 0), 0);
  int twice = 0;
  for (int y = 2; y < 6; ++y)
    for (int x = 2; x < 6; ++x) {
      const uint32_t b = SurfaceOf(target)->ReadPixel(x, y) & 0xFF;
      ASSERT_TRUE(b == 15 || b == 30) << x << "," << y << ": " << b;
      if (b == 30) {
        ++twice;
        // Only along the diagonal from top-right to bottom-left.
        EXPECT_LE(std::abs((x - 2) + (y - 2) - 3), 1) << x << "," << y;
      }
    }
  EXPECT_GT(twice, 0);
  // The back buffer lies in video memory: both triangles read the copy made
  // before them, so the diagonal gets one blend's value.
  ASSERT_EQ(SetDrawTarget(KESTO_BACK_SCREEN), 0);
  ApplyDrawArea(0, 0, 16, 16);
  EXPECT_EQ(G_DDraw_DrawModiGraph(2, 2, 6, 2, 2, 6, 6, 6, Graphic(g), 0), 0);
  for (int y = 2; y < 6; ++y)
    for (int x = 2; x < 6; ++x) EXPECT_EQ(At(x, y) & 0xFF, 15u) << x << "," << y;
}

TEST_F(TriangleTest, DegenerateAndOutsideQuadsDrawNothing) {
  StartScreen(32, 32, 32);
  const int g = MakeSprite(4, 4);
  Paint(g, Texel);
  const std::vector<uint32_t> before = Snapshot();
  EXPECT_EQ(G_DDraw_DrawModiGraph(0, 0, 4, 4, 8, 8, 12, 12, Graphic(g), 0), 0);  // collinear
  EXPECT_EQ(G_DDraw_DrawModiGraph(50, 50, 60, 50, 50, 60, 60, 60, Graphic(g), 0), 0);
  EXPECT_EQ(G_DDraw_DrawModiGraph(-9000, 0, 4, 0, 0, 4, 4, 4, Graphic(g), 0), 0);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(G_DDraw_DrawModiGraph(0, 0, 4, 0, 0, 4, 4, 4, nullptr, 0), -1);
}

TEST_F(TriangleTest, RowsStopAboveTheBottomCorner) {
  StartScreen(32, 16, 16);
  const int g = MakeSprite(8, 8);
  Paint(g, Texel);
  uint8_t *dp, *sp;
  int dpitch, spitch;
  ASSERT_EQ(Back()->Lock(nullptr, 0, &dp, &dpitch), kOk);
  ASSERT_EQ(SurfaceOf(g)->Lock(nullptr, 0, &sp, &spitch), kOk);
  const render::TriangleVertex tri[3] = {{0, 0, 0, 0}, {6, 0, 6, 0}, {0, 2, 0, 2}};
  EXPECT_EQ(render::RasterizeTexturedTriangle(tri, Graphic(g), 0, dp, dpitch, sp, spitch, dp,
                                              dpitch),
            0);
  Back()->Unlock();
  SurfaceOf(g)->Unlock();
  std::set<int> rows;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (At(x, y)) rows.insert(y);
  EXPECT_EQ(rows, (std::set<int>{0, 1}));
}

TEST_F(TriangleTest, FloatCornersRoundHalfToEven) {
  StartScreen(32, 32, 32);
  const int g = MakeSprite(4, 4);
  Paint(g, Texel);
  EXPECT_EQ(G_DDraw_DrawModiGraphFloat(2.5f, 2.5f, 8.5f, 2.5f, 2.5f, 7.5f, 8.5f, 7.5f,
                                       Graphic(g), 0),
            0);
  const std::vector<uint32_t> by_float = Snapshot();
  Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
  EXPECT_EQ(G_DDraw_DrawModiGraph(2, 2, 8, 2, 2, 8, 8, 8, Graphic(g), 0), 0);
  EXPECT_EQ(Snapshot(), by_float);
}

TEST_F(TriangleTest, LockFailuresAreLogged) {
  StartScreen(16, 16, 16);
  const int g = MakeSprite(2, 2, false, false);
  SelectBlendMode(1, 100);
  ExpectLockFailuresLogged(g, "G_DDraw_DrawModiGraph", [&] {
    return G_DDraw_DrawModiGraph(0, 0, 2, 0, 0, 2, 2, 2, Graphic(g), 0);
  });
}

}  // namespace
