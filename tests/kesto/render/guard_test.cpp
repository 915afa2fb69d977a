// Random geometry through every draw: nothing outside the draw area changes,
// and no pixel comes from outside the graphic's part of a shared surface.

#include <functional>

#include "render_fixture.h"
#include "render_test_util.h"

namespace {

using namespace platform::video;
using GuardTest = RenderTest;

constexpr uint32_t kFence = 0xFF00FF;  // the parent surface around the part

TEST_F(GuardTest, RandomDrawsStayInsideTheArea) {
  for (int bits : {16, 32}) {
    SCOPED_TRACE(bits);
    StartScreen(bits, 48, 40);
    const uint32_t fence = static_cast<uint32_t>(PackRgbColorBody(255, 0, 255));
    const int parent = MakeSprite(14, 12, /*alpha=*/true);
    Paint(parent, [&](int, int) { return fence; });
    const int g = CreateSubGraphic(3, 2, 6, 5, parent);
    ASSERT_GE(g, 0);
    Paint(g, [&](int x, int y) {
      return static_cast<uint32_t>(PackRgbColorBody(10 + 20 * x, 40 + 30 * y, 7));
    });
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 14; ++x) SetAlpha(parent, x, y, static_cast<uint8_t>(x * 19 + y * 7));
    render_test::Rng rng(77 + bits);
    const uint32_t mask = bits == 32 ? 0xFFFFFFu : 0xFFFFu;
    for (int i = 0; i < 400; ++i) {
      const Rect area{static_cast<int>(rng.Below(12)), static_cast<int>(rng.Below(12)),
                      36 + static_cast<int>(rng.Below(12)), 28 + static_cast<int>(rng.Below(12))};
      ApplyDrawArea(area.left, area.top, area.right, area.bottom);
      const bool copy_only = rng.Below(3) == 0;
      SelectBlendMode(copy_only ? 0 : static_cast<int>(rng.Below(7)),
                      static_cast<int>(rng.Below(256)));
      GetDrawState().brightness = rng.Below(2) ? -1 : static_cast<int>(rng.Next() & 0xFFFFFF);
      if (copy_only) GetDrawState().brightness = -1;
      const int flag = static_cast<int>(rng.Below(3));
      auto coord = [&] { return static_cast<int>(rng.Below(80)) - 16; };
      const std::vector<uint32_t> before = Snapshot();
      const int kind = static_cast<int>(rng.Below(6));
      switch (kind) {
        case 0:
          G_DDraw_DrawGraph(coord(), coord(), Part(g), flag);
          break;
        case 1:
          G_DDraw_DrawExtendGraph(coord(), coord(), coord(), coord(), Graphic(g), flag);
          break;
        case 2:
          G_DDraw_DrawModiGraph(coord(), coord(), coord(), coord(), coord(), coord(), coord(),
                                coord(), Graphic(g), flag);
          break;
        case 3:
          G_DDraw_DrawRotaGraph(coord(), coord(), 0.2 + rng.Below(40) / 10.0,
                                rng.Below(629) / 100.0, Graphic(g), flag,
                                static_cast<int>(rng.Below(2)));
          break;
        case 4:
          G_DDraw_DrawFillBox(coord(), coord(), coord(), coord(), static_cast<int>(rng.Next() & mask));
          break;
        default:
          G_DDraw_DrawLine(coord() * 3, coord(), coord(), coord() * 3,
                           static_cast<int>(rng.Next() & mask));
          break;
      }
      const std::vector<uint32_t> after = Snapshot();
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 48; ++x) {
          const size_t k = static_cast<size_t>(y) * 48 + x;
          const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
          if (!inside) {
            ASSERT_EQ(after[k], before[k]) << "draw " << i << " kind " << kind;
          }
        }
      ASSERT_FALSE(Back()->locked());
      Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
    }
    StopDirectDraw();
  }
}

TEST_F(GuardTest, CopiesNeverReadOutsideThePart) {
  StartScreen(32, 48, 40);
  const int parent = MakeSprite(14, 12);
  Paint(parent, [&](int, int) { return kFence; });
  const int g = CreateSubGraphic(3, 2, 6, 5, parent);
  Paint(g, [](int x, int y) { return static_cast<uint32_t>(0x010101 * (x + 1) + 0x100000 * y); });
  render_test::Rng rng(5);
  for (int i = 0; i < 300; ++i) {
    auto coord = [&] { return static_cast<int>(rng.Below(70)) - 10; };
    switch (rng.Below(3)) {
      case 0:
        G_DDraw_DrawExtendGraph(coord(), coord(), coord(), coord(), Graphic(g), 0);
        break;
      case 1:
        G_DDraw_DrawModiGraph(coord(), coord(), coord(), coord(), coord(), coord(), coord(),
                              coord(), Graphic(g), 0);
        break;
      default:
        G_DDraw_DrawRotaGraph(coord(), coord(), 0.3 + rng.Below(30) / 10.0,
                              rng.Below(629) / 100.0, Graphic(g), 0, 0);
        break;
    }
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 48; ++x) ASSERT_NE(At(x, y) & 0xFFFFFF, kFence) << "draw " << i;
  }
}

}  // namespace

namespace {

using FrameTest = RenderTest;

TEST_F(FrameTest, EveryDrawGoesThroughTheFrontBufferOffset) {
  StartScreen(32, 64, 48);
  const int g = MakeSprite(2, 2);
  Paint(g, [](int, int) { return 0xFF123456u; });
  ASSERT_EQ(SetDrawTarget(KESTO_FRONT_SCREEN), 0);
  ApplyDrawArea(0, 0, 64, 48);
  Surface* front = GetPrimarySurface();
  const int ox = GetDrawState().front_screen_rect.left, oy = GetDrawState().front_screen_rect.top;
  ASSERT_EQ(ox, 100);
  ASSERT_EQ(oy, 50);
  const int white = PackRgbColorBody(255, 255, 255);
  struct Case {
    const char* name;
    int mode;
    std::function<int()> draw;
    int x, y;  // a pixel the draw covers, in draw coordinates
  } cases[] = {
      {"plain", 0, [&] { return G_DDraw_DrawGraph(10, 10, Part(g), 0); }, 11, 11},
      {"plain blended", 1, [&] { return G_DDraw_DrawGraph(10, 10, Part(g), 0); }, 11, 11},
      {"stretched", 0, [&] { return G_DDraw_DrawExtendGraph(20, 10, 24, 14, Graphic(g), 0); },
       23, 13},
      {"four corners", 1,
       [&] { return G_DDraw_DrawModiGraph(30, 10, 34, 10, 30, 14, 34, 14, Graphic(g), 0); }, 31,
       11},
      {"rotated", 1, [&] { return G_DDraw_DrawRotaGraph(40, 20, 2.0, 0.0, Graphic(g), 0, 0); },
       40, 20},
      {"box", 1, [&] { return G_DDraw_DrawFillBox(5, 30, 9, 34, white); }, 6, 31},
      {"line", 1, [&] { return G_DDraw_DrawLine(20, 40, 30, 40, white); }, 25, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    front->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
    SelectBlendMode(c.mode, 200);
    EXPECT_EQ(c.draw(), 0);
    EXPECT_NE(front->ReadPixel(ox + c.x, oy + c.y) & 0xFFFFFF, 0u);
    EXPECT_EQ(front->ReadPixel(c.x, c.y) & 0xFFFFFF, 0u);
    EXPECT_FALSE(front->locked());
  }
}

TEST_F(FrameTest, EveryDrawRefusesAnInvalidTarget) {
  StartScreen(16, 32, 32);
  const int g = MakeSprite(2, 2);
  GetDrawState().target_invalid = 1;
  EXPECT_EQ(G_DDraw_DrawGraph(0, 0, Part(g), 0), -1);
  EXPECT_EQ(G_DDraw_DrawExtendGraph(0, 0, 5, 5, Graphic(g), 0), -1);
  EXPECT_EQ(G_DDraw_DrawModiGraph(0, 0, 5, 0, 0, 5, 5, 5, Graphic(g), 0), -1);
  EXPECT_EQ(G_DDraw_DrawRotaGraph(5, 5, 1.0, 0.0, Graphic(g), 0, 0), -1);
  EXPECT_EQ(G_DDraw_DrawFillBox(0, 0, 5, 5, 0xFFFF), -1);
  EXPECT_EQ(G_DDraw_DrawLine(0, 0, 5, 5, 0xFFFF), -1);
  GetDrawState().target_invalid = 0;
  EXPECT_EQ(G_DDraw_DrawFillBox(0, 0, 5, 5, 0xFFFF), 0);
}

}  // namespace
