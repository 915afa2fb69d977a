// Filled boxes, lines and outlines: which pixels, what colour, and the fatal
// lock failures.
#include <set>
#include <tuple>
#include <utility>

#include "render/pixel_ops.h"
#include "render/solid_loops.h"
#include "render_fixture.h"
#include "render_test_util.h"

namespace {

using namespace platform::video;
using SolidDrawTest = RenderTest;
using Pixels = std::set<std::pair<int, int>>;

Pixels Lit(Surface* s) {
  Pixels out;
  for (int y = 0; y < s->height(); ++y)
    for (int x = 0; x < s->width(); ++x)
      if (s->ReadPixel(x, y) & 0xFFFFFF) out.insert({x, y});
  return out;
}

Pixels Row(int y, int from, int to) {
  Pixels out;
  for (int x = from; x <= to; ++x) out.insert({x, y});
  return out;
}

TEST_F(SolidDrawTest, LinesDrawTheFirstEndpointAndNotTheSecond) {
  StartScreen(32, 64, 48);
  const int white = PackRgbColorBody(255, 255, 255);
  struct Case {
    const char* name;
    int x1, y1, x2, y2;
    Pixels want;
  } cases[] = {
      {"shallow", 0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {"steep", 0, 0, 1, 3, {{0, 0}, {0, 1}, {0, 2}}},
      {"diagonal", 0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}},
      {"one point", 7, 7, 7, 7, {}},
      {"backwards", 5, 5, 0, 5, Row(5, 1, 5)},
      {"all four coordinates outside", -10, -10, 1000, 1000, {}},
      {"across the area", -10, 10, 1000, 10, Row(10, 0, 63)},
      {"from above", 3, -5, 3, 2, {{3, 0}, {3, 1}}},
  };
  for (const Case& c : cases) {
    Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
    EXPECT_EQ(G_DDraw_DrawLine(c.x1, c.y1, c.x2, c.y2, white), 0) << c.name;
    EXPECT_EQ(Lit(Back()), c.want) << c.name;
  }
  EXPECT_FALSE(Back()->locked());
}

TEST_F(SolidDrawTest, OutlineDrawsEachBorderPixelOnce) {
  StartScreen(32, 16, 16);
  // Additive at p = 255: every pass over a pixel adds 15 to blue.
  SelectBlendMode(2, 255);
  const int colour = PackRgbColorBody(0, 0, 16);
  EXPECT_EQ(G_DDraw_DrawBoxOutline(0, 0, 4, 3, colour), 0);
  Pixels once;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (uint32_t b = At(x, y) & 0xFF) {
        EXPECT_EQ(b, 15u) << x << "," << y;
        once.insert({x, y});
      }
  const Pixels border = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1},
                         {3, 2}, {0, 2}, {1, 2}, {2, 2}, {0, 1}};
  EXPECT_EQ(once, border);
  // One pixel wide: the middle rows are drawn by both sides.
  Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
  EXPECT_EQ(G_DDraw_DrawBoxOutline(8, 2, 9, 7, colour), 0);
  EXPECT_EQ(At(8, 2) & 0xFF, 15u);
  EXPECT_EQ(At(8, 4) & 0xFF, 30u);
  EXPECT_EQ(At(8, 6) & 0xFF, 15u);
}

TEST_F(SolidDrawTest, BoxesFillTheOrderedClippedRectangle) {
  StartScreen(16, 32, 24);
  const int red = PackRgbColorBody(255, 0, 0);
  ApplyDrawArea(2, 2, 30, 20);
  const Pixels want = [] {
    Pixels p;
    for (int y = 2; y < 10; ++y)
      for (int x = 5; x < 30; ++x) p.insert({x, y});
    return p;
  }();
  for (auto [x1, y1, x2, y2] : {std::tuple{5, 0, 40, 10}, std::tuple{40, 10, 5, 0}}) {
    Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
    EXPECT_EQ(G_DDraw_DrawFillBox(x1, y1, x2, y2, red), 0);
    EXPECT_EQ(Lit(Back()), want);
  }
  Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
  EXPECT_EQ(G_DDraw_DrawFillBox(5, 5, 5, 9, red), 0);
  EXPECT_EQ(G_DDraw_DrawFillBox(-9, -9, 1, 1, red), 0);
  EXPECT_TRUE(Lit(Back()).empty());
}

TEST_F(SolidDrawTest, BoxColoursByModeAndBrightness) {
  struct Case {
    const char* name;
    int bits, mode, param, brightness;
    uint32_t under;  // the target before, in the screen format
    int r, g, b;     // the colour, 0-255
    uint32_t want;   // masked to the colour bits
  } cases[] = {
      {"32 blend 255 over 255", 32, 1, 128, -1, 0xFFFFFF, 255, 255, 255, 0xFDFDFD},
      {"32 blend 255 is the fill", 32, 1, 255, -1, 0x123456, 10, 20, 30, 0x0A141E},
      {"32 blend 0 draws nothing", 32, 1, 0, -1, 0x123456, 10, 20, 30, 0x123456},
      {"brightness red, mode 0", 32, 0, 0, 0xFF0000, 0, 255, 255, 255, 0xFF0000},
      {"brightness ignored by multiply 32", 32, 4, 0, 0xFF0000, 0xFFFFFF, 128, 64, 32,
       0x804020},
      {"brightness ignored by multiply 565", 16, 4, 0, 0xFF0000, 0xFFFF, 255, 255, 255, 0xFFFF},
      {"multiply by black", 16, 4, 0, -1, 0xFFFF, 0, 0, 0, 0},
      {"565 add", 16, 2, 255, -1, (20u << 11), 255, 0, 0, (31u << 11)},
      {"565 subtract", 16, 3, 255, -1, 0xFFFF, 255, 255, 255, (1u << 11) | 1u},
      {"mode 5 draws nothing", 16, 5, 128, -1, 0x1234, 255, 255, 255, 0x1234},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartScreen(c.bits, 8, 8);
    Back()->Blt(nullptr, nullptr, nullptr, kBltColorFill, c.under);
    SelectBlendMode(c.mode, c.param);
    GetDrawState().brightness = c.brightness;
    EXPECT_EQ(G_DDraw_DrawFillBox(1, 1, 3, 3, PackRgbColorBody(c.r, c.g, c.b)), 0);
    const uint32_t mask = c.bits == 32 ? 0xFFFFFF : 0xFFFF;
    EXPECT_EQ(At(1, 1) & mask, c.want);
    EXPECT_EQ(At(2, 2) & mask, c.want);
    EXPECT_EQ(At(3, 3) & mask, c.under & mask);
    EXPECT_FALSE(Back()->locked());
    StopDirectDraw();
  }
}

TEST(SolidRowsTest, OtherLayoutsUseTheirOwnChannelForms) {
  const render::Layout l = render_test::LayoutOther();  // red 4, green 6, blue 6 bits
  const render::FmtOther f{l};
  struct Case {
    const char* name;
    render::SolidKind kind;
    int mode, param;
    uint32_t fill, under, want;
  } cases[] = {
      // ((d << 8) + c * p) >> 8, held at the channel maximum.
      {"box add saturates", render::SolidKind::kBox, 2, 255, f.Pack(15, 1, 0),
       f.Pack(15, 1, 63), f.Pack(15, 1, 63)},
      // ((d << 8) - c * p) >> 8, 0 when it went below.
      {"box subtract", render::SolidKind::kBox, 3, 128, f.Pack(1, 63, 0), f.Pack(15, 10, 5),
       f.Pack(14, 0, 5)},
      {"box blend", render::SolidKind::kBox, 1, 128, f.Pack(15, 63, 63), 0,
       f.Pack(7, 31, 31)},
      // The line adds with the packed rule: the low bits are ORed.
      {"line add ORs low bits", render::SolidKind::kLine, 2, 255, f.Pack(0, 0, 2),
       f.Pack(0, 0, 1), f.Pack(0, 0, 3)},
  };
  for (const Case& c : cases) {
    render::SolidChoice choice;
    choice.mode = c.mode;
    choice.param = c.param;
    choice.fill = c.fill;
    uint16_t px = static_cast<uint16_t>(c.under);
    auto* bytes = reinterpret_cast<uint8_t*>(&px);
    if (c.kind == render::SolidKind::kBox) {
      ASSERT_TRUE(render::BlendSolidRows(c.kind, 16, l, choice, bytes, 2, bytes, 2, 1, 1));
    } else {
      render::LineWalk w;
      w.count = w.major = 1;
      ASSERT_TRUE(render::BlendSolidLine(16, l, choice, bytes, bytes, w));
    }
    EXPECT_EQ(px, c.want) << c.name;
  }
}

TEST_F(SolidDrawTest, FailedLocksEndTheProgram) {
  StartScreen(16, 16, 16);
  SelectBlendMode(1, 128);
  uint8_t* p;
  int pitch;
  ASSERT_EQ(Back()->Lock(nullptr, 0, &p, &pitch), kOk);
  EXPECT_THROW(
      {
        try {
          G_DDraw_DrawFillBox(0, 0, 4, 4, 0xFFFF);
        } catch (const FatalExit& e) {
          EXPECT_STREQ(e.what(), "転送先サーフェスのロックに失敗しました in G_DDraw_DrawFillBox ");
          throw;
        }
      },
      FatalExit);
  EXPECT_THROW(G_DDraw_DrawLine(0, 0, 4, 4, 0xFFFF), FatalExit);
  Back()->Unlock();
  ASSERT_TRUE(GetDrawState().target_in_video_memory);
  ASSERT_EQ(GetWorkSurface(1)->Lock(nullptr, 0, &p, &pitch), kOk);
  try {
    G_DDraw_DrawLine(0, 0, 4, 4, 0xFFFF);
    ADD_FAILURE() << "returned";
  } catch (const FatalExit& e) {
    EXPECT_STREQ(e.what(), "転送元サーフェスのロックに失敗しました in G_DDraw_DrawLine");
  }
  EXPECT_FALSE(Back()->locked());  // released before the end
  GetWorkSurface(1)->Unlock();
  // An opaque box needs no lock.
  ASSERT_EQ(Back()->Lock(nullptr, 0, &p, &pitch), kOk);
  SelectBlendMode(0, 0);
  EXPECT_EQ(G_DDraw_DrawFillBox(0, 0, 4, 4, 0xFFFF), 0);
  Back()->Unlock();
}

}  // namespace
