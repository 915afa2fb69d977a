// The plain draw's frame: clipping, the copy without a lock, the locked
// loops, modes that draw nothing, refusals and lock failures.
#include "render_fixture.h"

namespace {

using namespace platform::video;
using PlainDrawTest = RenderTest;

uint32_t Sample(int x, int y) { return 0xFF000000u | static_cast<uint32_t>(x * 16 + y); }

TEST_F(PlainDrawTest, ClippedDrawsReadTheMatchingSourceOffset) {
  StartScreen(32);
  const int g = MakeSprite(4, 4);
  Paint(g, Sample);
  ApplyDrawArea(2, 2, 64, 48);
  struct Case {
    int x, y;
    int result;
    int dx, dy;  // a destination pixel to check (-1: nothing drawn)
    uint32_t want;
  } cases[] = {
      {0, 1, 0, 2, 2, Sample(2, 1)},    // partly left of and above the area
      {62, 46, 0, 63, 47, Sample(1, 1)},
      {-10, 0, 0, -1, -1, 0},           // wholly outside
      {64, 0, 0, -1, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
    const std::vector<uint32_t> before = Snapshot();
    EXPECT_EQ(G_DDraw_DrawGraph(c.x, c.y, Part(g), 0), c.result);
    if (c.dx < 0) {
      EXPECT_EQ(Snapshot(), before);
      continue;
    }
    EXPECT_EQ(At(c.dx, c.dy), c.want);
    // Nothing lands outside the area.
    EXPECT_EQ(At(1, 1), 0u);
  }
}

TEST_F(PlainDrawTest, OpaqueCopyIsExactAndTheKeyKeepsTheTarget) {
  StartScreen(16);
  const int g = MakeSprite(3, 2);
  const uint32_t key = static_cast<uint32_t>(PackRgbColorBody(0, 0, 0));
  Paint(g, [](int x, int y) { return static_cast<uint32_t>(0x1234 + x + 7 * y); });
  SetPixel(g, 1, 0, key);
  Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0x5555);
  EXPECT_EQ(G_DDraw_DrawGraph(10, 10, Part(g), 1), 0);
  EXPECT_EQ(At(10, 10), 0x1234u);
  EXPECT_EQ(At(11, 10), 0x5555u);  // the key pixel left the target as it was
  EXPECT_EQ(At(12, 11), 0x1234u + 2 + 7);
  EXPECT_EQ(G_DDraw_DrawGraph(10, 10, Part(g), 0), 0);
  EXPECT_EQ(At(11, 10), key);
  EXPECT_FALSE(Back()->locked());
}

TEST_F(PlainDrawTest, BlendsReadTheTargetThroughTheLoops) {
  StartScreen(16);
  const int g = MakeSprite(2, 1, false, /*system_memory=*/false);
  Paint(g, [](int, int) { return 20u << 11; });
  Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 10u << 11);
  SelectBlendMode(1, 128);
  EXPECT_EQ(G_DDraw_DrawGraph(0, 0, Part(g), 0), 0);
  EXPECT_EQ(At(0, 0), 14u << 11);
  EXPECT_EQ(At(2, 0), 10u << 11);
  // Mode 1 at 255 without brightness is the plain copy.
  SelectBlendMode(1, 255);
  EXPECT_EQ(G_DDraw_DrawGraph(4, 0, Part(g), 0), 0);
  EXPECT_EQ(At(4, 0), 20u << 11);
  // XOR on 16 bits.
  SelectBlendMode(6, 0);
  EXPECT_EQ(G_DDraw_DrawGraph(0, 0, Part(g), 0), 0);
  EXPECT_EQ(At(0, 0), (14u << 11) ^ (20u << 11));
  EXPECT_FALSE(Back()->locked());
  EXPECT_FALSE(SurfaceOf(g)->locked());
}

TEST_F(PlainDrawTest, ModesWithoutLoopsDrawNothing) {
  struct Case {
    int bits, mode;
  } cases[] = {{16, 5}, {16, 7}, {32, 5}, {32, 6}, {32, 9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, mode " << c.mode);
    StartScreen(c.bits);
    const int g = MakeSprite(4, 4);
    Paint(g, [](int, int) { return 0xFFFFu; });
    SelectBlendMode(c.mode, 128);
    const std::vector<uint32_t> before = Snapshot();
    EXPECT_EQ(G_DDraw_DrawGraph(1, 1, Part(g), 0), 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(Back()->locked());
    StopDirectDraw();
  }
}

TEST_F(PlainDrawTest, AlphaPlaneBlendsAndSkipsZero) {
  StartScreen(32);
  const int g = MakeSprite(3, 1, /*alpha=*/true);
  Paint(g, [](int, int) { return 0xFF0000u; });
  SetAlpha(g, 0, 0, 0);
  SetAlpha(g, 1, 0, 254);
  SetAlpha(g, 2, 0, 255);
  Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0x000010);
  EXPECT_EQ(G_DDraw_DrawGraph(0, 0, Part(g), 0), 0);
  EXPECT_EQ(At(0, 0), 0x000010u);
  EXPECT_EQ(At(1, 0), 0xFD0000u);  // blue: 16 + floor(-16 * 254 / 256) = 0
  EXPECT_EQ(At(2, 0), 0xFF0000u);
}

TEST_F(PlainDrawTest, RefusalsAndLockFailures) {
  StartScreen(16);
  const int g = MakeSprite(2, 2, false, false);
  EXPECT_EQ(G_DDraw_DrawGraph(0, 0, -5, 0), -1);
  EXPECT_EQ(G_DDraw_DrawGraph(0, 0, Graphic(g)->handle, 0), -1);  // not a 2D surface
  EXPECT_TRUE(Lines().empty());
  SelectBlendMode(2, 200);
  ASSERT_TRUE(GetDrawState().target_in_video_memory);

  uint8_t* p;
  int pitch;
  struct Case {
    Surface* held;
    const char* line;
  } cases[] = {
      {Back(), "転送先サーフェスのロックに失敗しました in G_DDraw_DrawGraph "},
      {GetWorkSurface(2), "転送元１サーフェスのロックに失敗しました in G_DDraw_DrawGraph "},
      {GetWorkSurface(1), "転送元２サーフェスのロックに失敗しました in G_DDraw_DrawGraph "},
  };
  for (const Case& c : cases) {
    ClearGfxLogLines();
    ASSERT_EQ(c.held->Lock(nullptr, 0, &p, &pitch), kOk);
    EXPECT_EQ(G_DDraw_DrawGraph(0, 0, Part(g), 0), -1);
    c.held->Unlock();
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_NE(Lines()[0].find(c.line), std::string::npos) << Lines()[0];
    for (Surface* s : {Back(), GetWorkSurface(1), GetWorkSurface(2), SurfaceOf(g)})
      EXPECT_FALSE(s->locked());
  }
  const int part = Part(g);
  StopDirectDraw();
  EXPECT_EQ(G_DDraw_DrawGraph(0, 0, part, 0), -1);
}

}  // namespace
