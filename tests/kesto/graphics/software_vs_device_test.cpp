// One scene of public draws rendered twice: once with the Direct3D device up
// and once with no device at all, so that every draw goes through the
// software renderer. Each draw is compared with the tolerance its kind
// allows: copies and opaque draws must match exactly; blends may differ by
// the software tables' rounding; rotated and four-corner shapes may differ
// along their rims as well.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "device3d_fixture.h"
#include "graphics/draw_dispatch.h"

namespace {

enum class Tolerance {
  kExact,  // copies, opaque fills, outlines
  kBlend,  // every pixel within the blend's rounding
  kRim,    // within the blend's rounding except for a thin rim of the shape
  // The packed subtraction spends each channel's lowest bit on the borrow,
  // so it may land one step further than the blend's rounding.
  kPackedSubtract,
};

// The graphics of the scene.
struct Sprites {
  int keyed;   // with transparent holes
  int smooth;  // no holes and gentle steps, so resampling moves no colour far
  int alpha;   // with an alpha channel
};

struct SceneDraw {
  const char* name;
  int mode, param;
  Tolerance tolerance;
  int max_rim;  // kRim only: pixels allowed beyond the rounding, one perimeter
  std::function<int(const struct Sprites&)> run;
};

// Channels that survive every texture format the device path picks (the
// colour-keyed textures keep 5 bits of green), so copies can be exact.
// Black, on a diagonal, is the transparent colour.
uint32_t Sprite(int x, int y) {
  if ((x + y) % 7 == 0) return 0xFF000000u;
  return 0xFF000000u | static_cast<uint32_t>((x * 8 % 256) << 16 | (y * 8 % 128) << 8 | 0x48);
}

uint32_t Smooth(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>((x * 8) << 16 | (y * 4) << 8 | 0x80);
}

// Alpha rising left to right from clear to solid.
uint32_t AlphaSprite(int x, int y) {
  const uint32_t a = static_cast<uint32_t>(x * 255 / 31);
  return a << 24 | static_cast<uint32_t>(0xC0 << 16 | (y * 8) << 8 | 0x30);
}

// A background with a different colour at every 8 pixels, so blends see
// varied destinations.
uint32_t Backdrop(int x, int y) {
  return 0xFF000000u |
         static_cast<uint32_t>((x / 8 * 24 % 256) << 16 | (y / 8 * 40 % 128) << 8 | (x + y) / 8 * 16 % 256);
}

const SceneDraw kScene[] = {
    {"plain, keyed", 0, 255, Tolerance::kExact, 0, [](const Sprites& g) { return BlitGraphicAtBody(13, 17, g.keyed, 1); }},
    {"plain, clipped", 0, 255, Tolerance::kExact, 0, [](const Sprites& g) { return BlitGraphicAtBody(-5, -3, g.keyed, 1); }},
    {"plain, opaque", 0, 255, Tolerance::kExact, 0, [](const Sprites& g) { return BlitGraphicAtBody(100, 90, g.keyed, 0); }},
    {"part", 0, 255, Tolerance::kExact, 0, [](const Sprites& g) { return BlitGraphicPartBody(60, 50, 3, 4, 10, 9, g.keyed, 1, 0); }},
    {"part, turned", 0, 255, Tolerance::kExact, 0, [](const Sprites& g) { return BlitGraphicPartBody(60, 50, 3, 4, 10, 9, g.keyed, 1, 1); }},
    {"stretched 2x", 0, 255, Tolerance::kExact, 0, [](const Sprites& g) { return BlitGraphicStretchedBody(40, 60, 104, 124, g.keyed, 1); }},
    {"turned", 0, 255, Tolerance::kExact, 0, [](const Sprites& g) { return BlitGraphicTurnedBody(150, 120, g.keyed, 1); }},
    {"rotated, scale 1, angle 0", 0, 255, Tolerance::kExact, 0, [](const Sprites& g) { return BlitGraphicScaledRotatedBody(120, 120, 1.0, 0.0, g.keyed, 1, 0); }},
    {"filled box", 0, 255, Tolerance::kExact, 0, [](const Sprites&) { return PaintRectangleBody(5, 6, 77, 55, PackRgbColorBody(200, 64, 80), 1); }},
    {"box outline", 0, 255, Tolerance::kExact, 0, [](const Sprites&) { return PaintRectangleBody(20, 30, 150, 101, PackRgbColorBody(40, 250, 10), 0); }},
    {"blended", 1, 128, Tolerance::kBlend, 0, [](const Sprites& g) { return BlitGraphicAtBody(50, 50, g.keyed, 1); }},
    {"blended faintly", 1, 40, Tolerance::kBlend, 0, [](const Sprites& g) { return BlitGraphicAtBody(50, 50, g.keyed, 1); }},
    {"blended box", 1, 100, Tolerance::kBlend, 0, [](const Sprites&) { return PaintRectangleBody(30, 40, 200, 150, PackRgbColorBody(255, 255, 255), 1); }},
    {"additive", 2, 100, Tolerance::kBlend, 0, [](const Sprites& g) { return BlitGraphicAtBody(50, 50, g.keyed, 1); }},
    {"additive, full", 2, 255, Tolerance::kBlend, 0, [](const Sprites& g) { return BlitGraphicAtBody(50, 50, g.keyed, 1); }},
    {"subtractive", 3, 160, Tolerance::kPackedSubtract, 0, [](const Sprites& g) { return BlitGraphicAtBody(50, 50, g.keyed, 1); }},
    {"subtractive box", 3, 255, Tolerance::kBlend, 0, [](const Sprites&) { return PaintRectangleBody(30, 40, 200, 150, PackRgbColorBody(90, 40, 200), 1); }},
    {"alpha plane", 0, 255, Tolerance::kBlend, 0, [](const Sprites& g) { return BlitGraphicAtBody(70, 30, g.alpha, 1); }},
    {"alpha plane, blended", 1, 160, Tolerance::kBlend, 0, [](const Sprites& g) { return BlitGraphicAtBody(70, 30, g.alpha, 1); }},
    {"rotated", 0, 255, Tolerance::kRim, 4 * 32, [](const Sprites& g) { return BlitGraphicScaledRotatedBody(120, 120, 1.0, 0.6, g.smooth, 1, 0); }},
    {"rotated, turned", 0, 255, Tolerance::kRim, 4 * 32, [](const Sprites& g) { return BlitGraphicScaledRotatedBody(120, 120, 1.0, 0.6, g.smooth, 1, 1); }},
    {"scaled", 0, 255, Tolerance::kRim, 4 * 55, [](const Sprites& g) { return BlitGraphicScaledRotatedBody(130, 110, 1.7, 0.0, g.smooth, 0, 0); }},
    {"rotated, blended", 1, 128, Tolerance::kRim, 4 * 32, [](const Sprites& g) { return BlitGraphicScaledRotatedBody(120, 120, 1.0, 2.0, g.smooth, 1, 0); }},
    {"four corners", 0, 255, Tolerance::kRim, 250, [](const Sprites& g) { return BlitGraphicToQuadBody(30, 20, 90, 35, 80, 100, 20, 70, g.smooth, 1); }},
    {"four corners, additive", 2, 200, Tolerance::kRim, 250, [](const Sprites& g) { return BlitGraphicToQuadBody(30, 20, 90, 35, 80, 100, 20, 70, g.smooth, 1); }},
};

// Runs at 16 and 32 colour bits.
class SoftwareVsDeviceTest : public Direct3DGraphicsTest, public testing::WithParamInterface<int> {
 protected:
  std::vector<uint32_t> Frame() {
    std::vector<uint32_t> out;
    FlushCurrentVertexBatch();
    EndSceneIfBegun();
    platform::video::Surface* back = GetBackSurface();
    // The unused top byte of a 32-bit screen pixel is not compared: copies
    // carry the image's alpha there, the device writes 0.
    const uint32_t shown = GetParam() == 32 ? 0xFFFFFFu : 0xFFFFu;
    for (int y = 0; y < back->height(); ++y)
      for (int x = 0; x < back->width(); ++x) out.push_back(back->ReadPixel(x, y) & shown);
    return out;
  }

  // The backdrop alone, then every scene draw over it, one frame per draw.
  std::vector<std::vector<uint32_t>> Render(bool device) {
    if (device) {
      StartGame(GetParam());
    } else {
      Start(false, 640, 480, GetParam());
      EXPECT_EQ(ChooseDrawTargetBody(-2), 0);
    }
    EXPECT_EQ(GetCurrentDevice3D() >= 0, device);
    auto backdrop = MakeImage(256, 200, Backdrop);
    auto sprite = MakeImage(32, 32, Sprite);
    auto alpha_sprite = MakeImage(32, 24, AlphaSprite);
    auto smooth = MakeImage(32, 32, Smooth);
    const int back = Load(*backdrop), s = Load(*sprite), m = Load(*smooth);
    const int a = MakeGraphic(32, 24, 1, 1);
    EXPECT_EQ(UploadImagesToGraphic(0, 0, 0, "alpha", 0, &alpha_sprite->record, nullptr, 0, 0, a, 0), 0);
    EXPECT_EQ(GetGraphicRecord(s)->texture != 0, device);
    std::vector<std::vector<uint32_t>> frames;
    EXPECT_EQ(EraseTargetScreenBody(), 0);
    EXPECT_EQ(BlitGraphicAtBody(0, 0, back, 0), 0);
    frames.push_back(Frame());
    for (const SceneDraw& d : kScene) {
      SCOPED_TRACE(d.name);
      EXPECT_EQ(ChooseBlendModeBody(0, 255), 0);
      EXPECT_EQ(EraseTargetScreenBody(), 0);
      EXPECT_EQ(BlitGraphicAtBody(0, 0, back, 0), 0);
      EXPECT_EQ(ChooseBlendModeBody(d.mode, d.param), 0);
      EXPECT_EQ(d.run(Sprites{s, m, a}), 0);
      frames.push_back(Frame());
    }
    return frames;
  }

  // The largest channel gap in 8-bit levels; at 16 bits in 5-bit steps of
  // 8 levels (green's sixth bit ignored).
  static int ChannelGap(uint32_t a, uint32_t b) {
    const bool wide = GetParam() == 32;
    const int shift[3] = {wide ? 16 : 11, wide ? 8 : 6, 0}, mask = wide ? 255 : 31;
    int gap = 0;
    for (int c = 0; c < 3; ++c) {
      gap = std::max(gap, std::abs(static_cast<int>(a >> shift[c] & mask) -
                                   static_cast<int>(b >> shift[c] & mask)));
    }
    return wide ? gap : gap * 8;
  }
};

TEST_P(SoftwareVsDeviceTest, EachDrawMatchesWithinItsTolerance) {
  const auto direct3d = Render(true);
  // Down again and up without any device, as with the use-3D setting off.
  TearDown();
  SetUp();
  const auto software = Render(false);
  ASSERT_EQ(direct3d.size(), std::size(kScene) + 1);
  ASSERT_EQ(software.size(), std::size(kScene) + 1);
  EXPECT_EQ(direct3d[0], software[0]) << "the backdrop";
  for (size_t i = 0; i < std::size(kScene); ++i) {
    const SceneDraw& d = kScene[i];
    SCOPED_TRACE(d.name);
    const auto& want = direct3d[i + 1];
    const auto& got = software[i + 1];
    // Each draw must have left a mark on the backdrop.
    EXPECT_NE(want, direct3d[0]);
    int differing = 0, beyond_rounding = 0, beyond_borrow = 0, first = -1;
    for (size_t p = 0; p < want.size(); ++p) {
      if (want[p] == got[p]) continue;
      if (first < 0) first = static_cast<int>(p);
      ++differing;
      // Two 5-bit steps: one of the 16-bit channels plus the software
      // tables' coarser rounding.
      beyond_rounding += ChannelGap(want[p], got[p]) > 16;
      beyond_borrow += ChannelGap(want[p], got[p]) > 24;
    }
    const std::string where =
        first < 0 ? std::string("-")
                  : "(" + std::to_string(first % 640) + ", " + std::to_string(first / 640) + ")";
    switch (d.tolerance) {
      case Tolerance::kExact:
        EXPECT_EQ(differing, 0) << "first at " << where;
        break;
      case Tolerance::kBlend:
        EXPECT_EQ(beyond_rounding, 0) << "first difference at " << where;
        break;
      case Tolerance::kPackedSubtract:
        EXPECT_EQ(beyond_borrow, 0) << "first difference at " << where;
        break;
      case Tolerance::kRim:
        EXPECT_LE(beyond_rounding, d.max_rim) << "first difference at " << where;
        break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(ColourBits, SoftwareVsDeviceTest, testing::Values(16, 32));

}  // namespace
