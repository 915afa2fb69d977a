#include "device3d_fixture.h"
#include "graphics/draw_dispatch.h"
#include "graphics/vertex_queue.h"
#include "kesto/kesto.h"

namespace {

using namespace platform::video;
using namespace platform::video3d;
using DrawDispatchTest = Direct3DGraphicsTest;

uint32_t Ramp(int x, int y) { return 0xFF000040u | static_cast<uint32_t>((x * 8) << 16 | (y * 8) << 8); }
uint32_t Grey(int v) { return static_cast<uint32_t>(v << 16 | v << 8 | v); }

// Nothing reached the device: no triangle drawn and none queued.
uint64_t DeviceWork() {
  return Stats3D().triangles + CurrentDeviceRecord()->queued;
}

TEST_F(DrawDispatchTest, TextureGraphicsGoToTheDeviceAndOthersToTheSoftwareRenderer) {
  StartGame(32);
  const int sprite = Load(*MakeImage(8, 8, Ramp));
  SetUse3DFlag(0);
  const int plain = MakeGraphic(8, 8, 1, 0);
  ASSERT_EQ(GetGraphicRecord(plain)->texture, 0);
  ResetStats3D();
  BlitGraphicAtBody(0, 0, plain, 0);
  BlitGraphicScaledRotatedBody(20, 20, 1.5, 0.3, plain, 1, 0);
  BlitGraphicToQuadBody(0, 0, 8, 0, 8, 8, 0, 8, plain, 0);
  PaintRectangleBody(0, 0, 5, 5, PackRgbColorBody(255, 0, 0), 1);  // Direct3D switched off
  EXPECT_EQ(DeviceWork(), 0u);
  // The texture graphic still draws through the device; an outline never does.
  EXPECT_EQ(BlitGraphicAtBody(40, 40, sprite, 0), 0);
  EXPECT_EQ(BackRgb(47, 47), 0x383840u);
  SetUse3DFlag(1);
  ResetStats3D();
  PaintRectangleBody(0, 0, 50, 50, PackRgbColorBody(255, 0, 0), 0);
  EXPECT_EQ(DeviceWork(), 0u);
  EXPECT_EQ(BlitGraphicAtBody(0, 0, 0x08001234, 0), -1);
  EXPECT_EQ(BlitGraphicScaledRotatedBody(0, 0, 1.0, 0.0, -1, 0, 0), -1);
}

TEST_F(DrawDispatchTest, SubtractiveDrawsDarkenThroughTwoInvertingBoxes) {
  StartGame(32);
  const int sprite = Load(*MakeImage(16, 16, [](int, int) { return 0xFF323232u; }));
  const int background = PackRgbColorBody(200, 200, 200);
  ASSERT_EQ(PaintRectangleBody(0, 0, 640, 480, background, 1), 0);
  ASSERT_EQ(ChooseBlendModeBody(3, 255), 0);
  GetDrawState().brightness = 0x00FFFFFF;
  ASSERT_EQ(BlitGraphicAtBody(10, 10, sprite, 0), 0);
  // Turned a little, every sprite pixel still darkens: the boxes cover the
  // rotated edges too.
  ASSERT_EQ(BlitGraphicScaledRotatedBody(100, 100, 2.0, 0.4, sprite, 0, 0), 0);
  ASSERT_EQ(PaintRectangleBody(300, 10, 310, 20, PackRgbColorBody(100, 100, 100), 1), 0);
  EXPECT_EQ(GetDrawState().blend_mode, 3);
  EXPECT_EQ(GetDrawState().brightness, 0x00FFFFFF);
  EXPECT_EQ(BackRgb(10, 10), Grey(150));
  EXPECT_EQ(BackRgb(25, 25), Grey(150));
  EXPECT_EQ(BackRgb(26, 26), Grey(200));
  EXPECT_EQ(BackRgb(305, 15), Grey(100));
  int darkened = 0;
  for (int y = 70; y < 130; ++y)
    for (int x = 70; x < 130; ++x) {
      const uint32_t c = BackRgb(x, y);
      ASSERT_TRUE(c == Grey(150) || c == Grey(200)) << x << "," << y << std::hex << " " << c;
      darkened += c == Grey(150);
    }
  EXPECT_NEAR(darkened, 32 * 32, 70);
}

TEST_F(DrawDispatchTest, PartDrawsShowTheirWindowAndPutTheAreaBack) {
  StartGame(32);
  const int g = Load(*MakeImage(16, 16, Ramp));
  ApplyDrawArea(0, 0, 300, 300);
  const Rect area = GetDrawState().area;
  ASSERT_EQ(BlitGraphicPartBody(50, 60, 4, 2, 8, 6, g, 0, 0), 0);
  EXPECT_EQ(BackRgb(50, 60), Screen(4 * 8, 2 * 8, 0x40));
  EXPECT_EQ(BackRgb(57, 65), Screen(11 * 8, 7 * 8, 0x40));
  EXPECT_EQ(BackRgb(58, 60), 0u);
  EXPECT_EQ(BackRgb(50, 66), 0u);
  EXPECT_EQ(BackRgb(49, 60), 0u);
  ASSERT_EQ(BlitGraphicPartBody(100, 60, 4, 2, 8, 6, g, 0, 1), 0);  // mirrored
  EXPECT_EQ(BackRgb(100, 60), Screen(11 * 8, 2 * 8, 0x40));
  EXPECT_EQ(BackRgb(107, 65), Screen(4 * 8, 7 * 8, 0x40));
  EXPECT_EQ(BackRgb(108, 60), 0u);
  ResetStats3D();
  ASSERT_EQ(BlitGraphicPartBody(400, 400, 0, 0, 8, 8, g, 0, 0), 0);  // outside the area
  EXPECT_EQ(DeviceWork(), 0u);
  EXPECT_EQ(GetDrawState().area.left, area.left);
  EXPECT_EQ(GetDrawState().area.right, area.right);
  EXPECT_EQ(GetDrawState().area.bottom, area.bottom);
  EXPECT_EQ(BlitGraphicPartBody(0, 0, 0, 0, 8, 8, -5, 0, 1), -1);
}

TEST_F(DrawDispatchTest, PublicQuadCornersRunClockwise) {
  StartGame(32);
  const int g = Load(*MakeImage(16, 16, Ramp));
  // Top-left, top-right, bottom-right, bottom-left: the upright square is
  // the plain draw.
  ASSERT_EQ(BlitGraphicToQuadBody(10, 10, 26, 10, 26, 26, 10, 26, g, 0), 0);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(BackRgb(10 + i, 10 + i), Screen(i * 8, i * 8, 0x40)) << i;
  EXPECT_EQ(BackRgb(26, 26), 0u);
}

TEST_F(DrawDispatchTest, GameSpritesBlendAndAppearInTheShownFrame) {
  StartGame();
  // A disc on a transparent field, as sprites with an alpha channel come.
  const int g = Load(*MakeImage(16, 16, [](int x, int y) {
    const int dx = 2 * x - 15, dy = 2 * y - 15;
    return dx * dx + dy * dy < 14 * 14 ? 0xFFFFFF00u : 0x00FF00FFu;
  }));
  const int blue = PackRgbColorBody(0, 0, 255);
  ASSERT_EQ(PaintRectangleBody(0, 0, 640, 480, blue, 1), 0);
  ASSERT_EQ(ChooseBlendModeBody(1, 255), 0);
  ASSERT_EQ(BlitGraphicScaledRotatedBody(320, 240, 1.0, 0.7, g, 1, 0), 0);
  ASSERT_EQ(ChooseBlendModeBody(1, 128), 0);
  ASSERT_EQ(BlitGraphicScaledRotatedBody(100, 100, 1.0, 0.0, g, 1, 1), 0);
  ASSERT_EQ(ChooseBlendModeBody(1, 255), 0);
  ASSERT_EQ(BlitGraphicScaledRotatedBody(500, 100, 1.0, 0.0, g, 0, 0), 0);
  ASSERT_EQ(PresentBackScreenBody(), 0);
  const CapturedFrame shown = CaptureRect(*GetPrimarySurface(), Rect{0, 0, 640, 480});
  EXPECT_EQ(shown.PixelRgb(320, 240), 0xFFFF00u);   // the disc
  EXPECT_EQ(shown.PixelRgb(313, 233), 0x0000FFu);  // a corner: transparent
  EXPECT_EQ(shown.PixelRgb(100, 100) & 0xF0F0F0u, 0x808070u & 0xF0F0F0u);  // half over blue
  EXPECT_EQ(shown.PixelRgb(93, 93), 0x0000FFu);
  EXPECT_EQ(shown.PixelRgb(493, 93), 0xFF00FFu);  // transparency off: the field shows
  EXPECT_EQ(Stats3D().refused_outside_scene, 0u);
}

TEST_F(DrawDispatchTest, BlackIsTransparentInSpritesWithoutAlpha) {
  StartGame();
  // An opaque image whose corners are black, the game's transparent colour.
  auto image = MakeImage(8, 8, [](int x, int y) {
    return (x < 2 && y < 2) ? 0xFF000000u : 0xFFFFFFFFu;
  });
  // Needs a converter that applies the transparent colour.
  {
    ColorFormatHeader h;
    BuildColorFormatFromPixelFormat(FormatA1R5G5B5(), &h);
    ColorFormatBlock dst{};
    dst.header = h;
    uint16_t out[1] = {0xFFFF};
    const Rect one{0, 0, 1, 1};
    ConvertPixelRect(out, 2, &dst, image->record.pixels, image->record.pitch,
                     &image->record.format, nullptr, 0, nullptr, 0, 0, &one, 0, 1, 0, 0, 0);
    if (out[0] & 0x8000) GTEST_SKIP() << "the pixel converter does not apply the transparent colour yet";
  }
  const int g = Load(*image);
  const int red = PackRgbColorBody(255, 0, 0);
  ASSERT_EQ(PaintRectangleBody(0, 0, 640, 480, red, 1), 0);
  ASSERT_EQ(BlitGraphicAtBody(10, 10, g, 1), 0);
  EXPECT_EQ(BackRgb(10, 10), Screen(255, 0, 0));
  EXPECT_EQ(BackRgb(12, 12), Screen(255, 255, 255));
  ASSERT_EQ(BlitGraphicAtBody(10, 10, g, 0), 0);
  EXPECT_EQ(BackRgb(10, 10), 0u);
}

}  // namespace
