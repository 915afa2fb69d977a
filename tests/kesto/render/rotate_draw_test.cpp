// The rotated and scaled draw: placement, odd sizes, the quarter turn,
// truncation toward zero, the turn flag's hand-over and refusals.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "render_fixture.h"

namespace {

using namespace platform::video;
using RotateDrawTest = RenderTest;

uint32_t Texel(int x, int y) {
  return 0xFF000000u | (static_cast<uint32_t>(x + 1) << 16) | (static_cast<uint32_t>(y + 1) << 8);
}
// Rotated pixels keep no top byte.
uint32_t Drawn(int x, int y) { return Texel(x, y) & 0xFFFFFF; }

TEST_F(RotateDrawTest, AngleZeroScaleOneIsOneToOne) {
  StartScreen(32, 32, 32);
  const int g = MakeSprite(4, 4);
  Paint(g, Texel);
  EXPECT_EQ(G_DDraw_DrawRotaGraph(10, 10, 1.0, 0.0, Graphic(g), 0, 0), 0);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const bool inside = x >= 8 && x < 12 && y >= 8 && y < 12;
      ASSERT_EQ(At(x, y), inside ? Drawn(x - 8, y - 8) : 0u) << x << "," << y;
    }
  EXPECT_FALSE(Back()->locked());
}

TEST_F(RotateDrawTest, OddWidthCentresOnTheMiddleColumn) {
  StartScreen(32, 128, 16);
  const int g = MakeSprite(5, 1);
  Paint(g, Texel);
  EXPECT_EQ(G_DDraw_DrawRotaGraph(100, 5, 1.0, 0.0, Graphic(g), 0, 0), 0);
  EXPECT_EQ(At(97, 5), 0u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(At(98 + i, 5), Drawn(i, 0));
  EXPECT_EQ(At(103, 5), 0u);
}

TEST_F(RotateDrawTest, QuarterTurnIsClockwise) {
  StartScreen(32, 32, 32);
  const int g = MakeSprite(4, 4);
  Paint(g, [](int x, int y) { return y == 0 ? 0xFF0000u | static_cast<uint32_t>(x + 1) : 0x00FF00u; });
  EXPECT_EQ(G_DDraw_DrawRotaGraph(10, 10, 1.0, M_PI / 2, Graphic(g), 0, 0), 0);
  // The top row runs down the right-hand column, its left end at the top;
  // turned about the centre (2, 2) the picture covers columns 9 to 12.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(At(12, 8 + i), 0xFF0000u | static_cast<uint32_t>(i + 1));
  EXPECT_EQ(At(9, 8), 0x00FF00u);
  EXPECT_EQ(At(8, 8), 0u);
  EXPECT_EQ(At(13, 8), 0u);
}

TEST_F(RotateDrawTest, PositionsJustBelowZeroShowTheFirstTexel) {
  StartScreen(32, 32, 32);
  const int g = MakeSprite(4, 4);
  Paint(g, Texel);
  // Scale 2: each destination pixel moves half a texel; column 5 maps to -0.5.
  EXPECT_EQ(G_DDraw_DrawRotaGraph(10, 10, 2.0, 0.0, Graphic(g), 0, 0), 0);
  EXPECT_EQ(At(4, 10), 0u);
  EXPECT_EQ(At(5, 10), Drawn(0, 2));
  EXPECT_EQ(At(6, 10), Drawn(0, 2));
  EXPECT_EQ(At(13, 10), Drawn(3, 2));
  EXPECT_EQ(At(14, 10), 0u);
}

TEST_F(RotateDrawTest, TurnFlagDrawsTheMirroredCornersByFourCorners) {
  StartScreen(32, 32, 32);
  const int g = MakeSprite(4, 4);
  Paint(g, Texel);
  EXPECT_EQ(G_DDraw_DrawRotaGraph(10, 10, 1.0, 0.0, Graphic(g), 0, 1), 0);
  const std::vector<uint32_t> turned = Snapshot();
  Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
  EXPECT_EQ(G_DDraw_DrawModiGraph(12, 8, 8, 8, 12, 12, 8, 12, Graphic(g), 0), 0);
  EXPECT_EQ(Snapshot(), turned);
  EXPECT_NE(At(11, 8), 0u);
}

// The inverse mapping written out plainly: the source texel (or none) of
// every box pixel, for a mode-0 copy.
std::vector<uint32_t> ReferenceRotated(int cx, int cy, double scale, double angle, int w, int h,
                                       int screen_w, int screen_h) {
  std::vector<uint32_t> out(static_cast<size_t>(screen_w) * screen_h, 0);
  const float fa = static_cast<float>(angle);
  const double c = std::nearbyint(static_cast<double>(static_cast<float>(std::cos(double{fa})) * 262144.0f));
  const double sn = std::nearbyint(static_cast<double>(static_cast<float>(std::sin(double{fa})) * 262144.0f));
  const double n = std::nearbyint(static_cast<double>(static_cast<float>(std::sin(double{-fa})) * 262144.0f));
  const float hw = static_cast<float>(w * scale * 0.5), hh = static_cast<float>(h * scale * 0.5);
  const float fc = static_cast<float>(c), fs = static_cast<float>(sn);
  const double xs[4] = {std::nearbyint(-fc * hw + fs * hh), std::nearbyint(-fc * hw - fs * hh),
                        std::nearbyint(fc * hw - fs * hh), std::nearbyint(fc * hw + fs * hh)};
  const double ys[4] = {std::nearbyint(-(fs * hw + fc * hh)), std::nearbyint(fc * hh - fs * hw),
                        std::nearbyint(fs * hw + fc * hh), std::nearbyint(fs * hw - fc * hh)};
  auto px = [](double fixed) { return static_cast<int64_t>(std::trunc(fixed / 262144.0)); };
  int64_t l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN;
  for (int i = 0; i < 4; ++i) {
    l = std::min(l, px(cx * 262144.0 + xs[i]));
    r = std::max(r, px(cx * 262144.0 + xs[i]));
    t = std::min(t, px(cy * 262144.0 + ys[i]));
    b = std::max(b, px(cy * 262144.0 + ys[i]));
  }
  l = std::max<int64_t>(l - 2, 0);
  t = std::max<int64_t>(t - 2, 0);
  r = std::min<int64_t>(r + 4, screen_w);
  b = std::min<int64_t>(b + 4, screen_h);
  const double inv = 1.0 / scale;
  auto src = [&](int64_t dx, int64_t dy, int64_t* u, int64_t* v) {
    *u = static_cast<int64_t>(std::nearbyint(static_cast<double>(dx * static_cast<int64_t>(c) - dy * static_cast<int64_t>(n)) * inv)) + int64_t{w >> 1} * 262144;
    *v = static_cast<int64_t>(std::nearbyint(static_cast<double>(dy * static_cast<int64_t>(c) + dx * static_cast<int64_t>(n)) * inv)) + int64_t{h >> 1} * 262144;
  };
  int64_t ut, vt, ub, vb;
  src(l - cx, t - cy, &ut, &vt);
  src(l - cx, b - cy, &ub, &vb);
  const int64_t dudy = (ub - ut) / (b - t), dvdy = (vb - vt) / (b - t);
  const int64_t dudx = static_cast<int64_t>(std::nearbyint(c * inv));
  const int64_t dvdx = static_cast<int64_t>(std::nearbyint(n * inv));
  for (int64_t y = t; y < b; ++y) {
    int64_t u = ut + (y - t) * dudy, v = vt + (y - t) * dvdy;
    for (int64_t x = l; x < r; ++x, u += dudx, v += dvdx) {
      const int64_t col = u / 262144, row = v / 262144;
      if (col >= 0 && col < w && row >= 0 && row < h) {
        out[static_cast<size_t>(y) * screen_w + x] = Drawn(static_cast<int>(col), static_cast<int>(row));
      }
    }
  }
  return out;
}

TEST_F(RotateDrawTest, LargeTurnedDrawsMatchThePlainMapping) {
  StartScreen(32, 160, 120);
  const int g = MakeSprite(40, 30);
  Paint(g, Texel);
  struct Case {
    int x, y;
    double scale, angle;
  } cases[] = {{80, 60, 1.0, 0.3}, {70, 50, 1.7, 2.0}, {90, 64, 2.5, -0.8},
               {10, 100, 1.3, M_PI}, {80, 60, 0.6, 4.4}, {150, 10, 2.0, 1.1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " x" << c.scale << " @" << c.angle);
    Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
    ASSERT_EQ(G_DDraw_DrawRotaGraph(c.x, c.y, c.scale, c.angle, Graphic(g), 0, 0), 0);
    EXPECT_EQ(Snapshot(), ReferenceRotated(c.x, c.y, c.scale, c.angle, 40, 30, 160, 120));
  }
}

TEST_F(RotateDrawTest, RefusalsAndEmptyBoxes) {
  StartScreen(32, 32, 32);
  const int g = MakeSprite(4, 4);
  Paint(g, Texel);
  const std::vector<uint32_t> before = Snapshot();
  for (double scale : {0.0, -1.0, std::nan("")}) {
    EXPECT_EQ(G_DDraw_DrawRotaGraph(10, 10, scale, 0.0, Graphic(g), 0, 0), -1) << scale;
    EXPECT_EQ(G_DDraw_DrawRotaGraph(10, 10, scale, 0.0, Graphic(g), 0, 1), -1) << scale;
  }
  EXPECT_EQ(G_DDraw_DrawRotaGraph(10, 10, 1.0, 0.0, nullptr, 0, 1), -1);
  EXPECT_EQ(G_DDraw_DrawRotaGraph(500, 500, 1.0, 0.3, Graphic(g), 0, 0), 0);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_TRUE(Lines().empty());
}

TEST_F(RotateDrawTest, LockFailuresAreLogged) {
  StartScreen(16, 16, 16);
  const int g = MakeSprite(2, 2, false, false);
  SelectBlendMode(1, 100);
  ExpectLockFailuresLogged(g, "G_DDraw_DrawRotaGraph", [&] {
    return G_DDraw_DrawRotaGraph(5, 5, 1.5, 0.5, Graphic(g), 0, 0);
  });
}

}  // namespace
