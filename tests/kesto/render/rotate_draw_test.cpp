// The rotated and scaled draw: placement, odd sizes, the quarter turn,
// truncation toward zero, the turn flag's hand-over and refusals.
#include <cmath>

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
  uint8_t* p;
  int pitch;
  struct Case {
    Surface* held;
    const char* line;
  } cases[] = {
      {Back(), "転送先サーフェスのロックに失敗しました in G_DDraw_DrawRotaGraph "},
      {SurfaceOf(g), "転送元サーフェス１のロックに失敗しました in G_DDraw_DrawRotaGraph "},
      {GetWorkSurface(1), "転送元サーフェス２のロックに失敗しました in G_DDraw_DrawRotaGraph "},
  };
  for (const Case& c : cases) {
    ClearGfxLogLines();
    ASSERT_EQ(c.held->Lock(nullptr, 0, &p, &pitch), kOk);
    EXPECT_EQ(G_DDraw_DrawRotaGraph(5, 5, 1.5, 0.5, Graphic(g), 0, 0), -1);
    c.held->Unlock();
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_NE(Lines()[0].find(c.line), std::string::npos);
    for (Surface* s : {Back(), GetWorkSurface(1), SurfaceOf(g)}) EXPECT_FALSE(s->locked());
  }
}

}  // namespace
