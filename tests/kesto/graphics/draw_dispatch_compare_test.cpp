// The Direct3D path against the software renderer, draw for draw: the same
// image as a texture graphic and as a 2D graphic, the same script of draws
// into a cleared 16-bit back buffer, and the frames compared.
#include <algorithm>
#include <cstdlib>

#include "device3d_fixture.h"
#include "graphics/draw_dispatch.h"

namespace {

using PathCompareTest = Direct3DGraphicsTest;

// Colours both paths hold exactly: green below 128 survives the 5-bit
// green of the 16-bit alpha-test texture. Black is the transparent colour.
uint32_t Pattern(int x, int y) {
  if ((x + y) % 7 == 0) return 0xFF000000u;
  return 0xFF000000u | static_cast<uint32_t>((x * 8 % 256) << 16 | (y * 8 % 128) << 8 | 0x48);
}

std::vector<uint32_t> Frame() {
  std::vector<uint32_t> out;
  FlushCurrentVertexBatch();
  EndSceneIfBegun();
  platform::video::Surface* back = GetBackSurface();
  for (int y = 0; y < back->height(); ++y)
    for (int x = 0; x < back->width(); ++x) out.push_back(back->ReadPixel(x, y));
  return out;
}

TEST_F(PathCompareTest, CopiesAndOpaqueDrawsMatchPixelForPixel) {
  StartGame();
  auto image = MakeImage(24, 20, Pattern);
  const int texture = Load(*image);
  SetUse3DFlag(0);
  const int plain = Load(*image);
  SetUse3DFlag(1);
  ASSERT_EQ(GetGraphicRecord(texture)->texture, 1);
  ASSERT_EQ(GetGraphicRecord(plain)->texture, 0);
  struct Draw {
    const char* name;
    std::function<int(int graphic)> run;
  } draws[] = {
      {"plain", [](int g) { return BlitGraphicAtBody(13, 17, g, 1); }},
      {"plain clipped", [](int g) { return BlitGraphicAtBody(-5, -3, g, 1); }},
      {"opaque", [](int g) { return BlitGraphicAtBody(300, 200, g, 0); }},
      {"part", [](int g) { return BlitGraphicPartBody(100, 50, 3, 4, 10, 9, g, 1, 0); }},
      {"part turned", [](int g) { return BlitGraphicPartBody(100, 50, 3, 4, 10, 9, g, 1, 1); }},
      {"stretched x2", [](int g) { return BlitGraphicStretchedBody(40, 60, 88, 100, g, 1); }},
      {"turned", [](int g) { return BlitGraphicTurnedBody(600, 460, g, 1); }},
      {"rotated, scale 1, angle 0", [](int g) { return BlitGraphicScaledRotatedBody(200, 200, 1.0, 0.0, g, 1, 0); }},
      {"box", [](int) { return PaintRectangleBody(5, 6, 77, 55, PackRgbColorBody(200, 64, 80), 1); }},
  };
  for (int mode : {0, 1}) {
    ASSERT_EQ(ChooseBlendModeBody(mode, 255), 0);
    for (const Draw& d : draws) {
      SCOPED_TRACE(testing::Message() << d.name << ", blend mode " << mode);
      ASSERT_EQ(EraseTargetScreenBody(), 0);
      ASSERT_EQ(d.run(texture), 0);
      const std::vector<uint32_t> direct3d = Frame();
      ASSERT_GT(std::count_if(direct3d.begin(), direct3d.end(), [](uint32_t v) { return v != 0; }),
                50);
      ASSERT_EQ(EraseTargetScreenBody(), 0);
      ASSERT_EQ(d.run(plain), 0);
      const std::vector<uint32_t> software = Frame();
      int differing = 0, first = -1;
      for (size_t i = 0; i < direct3d.size(); ++i) {
        if (direct3d[i] != software[i]) {
          if (first < 0) first = static_cast<int>(i);
          ++differing;
        }
      }
      EXPECT_EQ(differing, 0) << "first at (" << first % 640 << ", " << first / 640 << "): "
                              << std::hex << (first >= 0 ? direct3d[first] : 0) << " vs "
                              << (first >= 0 ? software[first] : 0);
    }
  }
}

// Turned, scaled and blended draws differ only along the edges and within
// the software blend's coarser steps.
TEST_F(PathCompareTest, TurnedAndBlendedDrawsDifferOnlyAtEdgesAndBySmallSteps) {
  StartGame();
  auto image = MakeImage(32, 32, [](int x, int y) {
    return 0xFF000000u | static_cast<uint32_t>((x * 8) << 16 | (y * 4) << 8 | 0x80);
  });
  const int texture = Load(*image);
  SetUse3DFlag(0);
  const int plain = Load(*image);
  SetUse3DFlag(1);
  const int grey = PackRgbColorBody(96, 96, 96);
  struct Draw {
    const char* name;
    int mode, param;
    std::function<int(int graphic)> run;
    int max_far;  // pixels further apart than the tolerance: twice the shape's rim
  } draws[] = {
      {"rotated", 0, 255, [](int g) { return BlitGraphicScaledRotatedBody(200, 200, 1.0, 0.6, g, 0, 0); }, 2 * 4 * 32},
      {"scaled", 0, 255, [](int g) { return BlitGraphicScaledRotatedBody(300, 200, 1.7, 0.0, g, 0, 0); }, 2 * 4 * 55},
      {"blended", 1, 128, [](int g) { return BlitGraphicAtBody(50, 50, g, 0); }, 0},
      {"additive", 2, 100, [](int g) { return BlitGraphicAtBody(50, 50, g, 0); }, 0},
  };
  auto channel_gap = [](uint32_t a, uint32_t b) {
    const int dr = std::abs(static_cast<int>(a >> 11) - static_cast<int>(b >> 11));
    const int dg = std::abs(static_cast<int>((a >> 5) & 63) - static_cast<int>((b >> 5) & 63)) / 2;
    const int db = std::abs(static_cast<int>(a & 31) - static_cast<int>(b & 31));
    return std::max({dr, dg, db});
  };
  for (const Draw& d : draws) {
    SCOPED_TRACE(d.name);
    std::vector<uint32_t> frames[2];
    for (int path = 0; path < 2; ++path) {
      ASSERT_EQ(ChooseBlendModeBody(0, 255), 0);
      ASSERT_EQ(EraseTargetScreenBody(), 0);
      ASSERT_EQ(PaintRectangleBody(0, 0, 640, 480, grey, 1), 0);
      ASSERT_EQ(ChooseBlendModeBody(d.mode, d.param), 0);
      ASSERT_EQ(d.run(path == 0 ? texture : plain), 0);
      frames[path] = Frame();
    }
    int far = 0;
    for (size_t i = 0; i < frames[0].size(); ++i) {
      // One 5-bit step, plus the 16 levels the software blend works in.
      far += channel_gap(frames[0][i], frames[1][i]) > 2;
    }
    EXPECT_LE(far, d.max_far);
  }
}

}  // namespace
