#include "graphics/color_format.h"

#include "graphics_fixture.h"

namespace {

void UseScreenFormat(int bits, uint32_t r, uint32_t g, uint32_t b, int cls) {
  BuildColorFormatFromMasks(&ScreenFormat().block.header, bits, r, g, b, 0);
  ScreenFormat().format_class = cls;
  SetScreenColorBits(bits);
}

using ColorFormatTest = GraphicsTest;

TEST_F(ColorFormatTest, PacksAndUnpacksPerScreenFormat) {
  struct Case {
    int bits;
    uint32_t r, g, b;
    int red, green, blue;
    uint32_t packed;
  } cases[] = {
      {16, 0xF800, 0x07E0, 0x1F, 255, 255, 255, 0xFFFF},
      {16, 0xF800, 0x07E0, 0x1F, 255, 0, 0, 0xF800},
      {16, 0x7C00, 0x03E0, 0x1F, 255, 0, 0, 0xFC00},  // 5:5:5 sets its unused top bit
      {16, 0x7C00, 0x03E0, 0x1F, 0, 255, 0, 0x83E0},
      {32, 0xFF0000, 0xFF00, 0xFF, 255, 0, 0, 0xFFFF0000u},  // unused byte comes out set
      {32, 0xFF0000, 0xFF00, 0xFF, 0x112, 0x34, 0x56, 0xFF123456u},  // low 8 bits used
  };
  for (const Case& c : cases) {
    UseScreenFormat(c.bits, c.r, c.g, c.b, kFormatOther);
    EXPECT_EQ(static_cast<uint32_t>(PackRgbColorBody(c.red, c.green, c.blue)), c.packed)
        << c.bits << " " << c.red << "," << c.green << "," << c.blue;
  }
  UseScreenFormat(16, 0xF800, 0x07E0, 0x1F, kFormat565);
  struct Unpack {
    int value, red, green, blue;
  } unpacks[] = {{0x07E0, 0, 255, 0}, {0x0841, 8, 8, 8}, {0xFFFF, 255, 255, 255}};
  for (const Unpack& u : unpacks) {
    int r = -1, g = -1, b = -1;
    ASSERT_EQ(GetColorComponents(u.value, &r, &g, &b), 0);
    EXPECT_EQ(r, u.red);
    EXPECT_EQ(g, u.green);
    EXPECT_EQ(b, u.blue);
  }
}

TEST_F(ColorFormatTest, EightBitScreenPicksTheFirstNearestPaletteEntry) {
  SetScreenColorBits(8);
  PaletteColor* pal = ScreenFormat().block.palette;
  for (int i = 0; i < 256; ++i) pal[i] = {255, 255, 255, 0};
  pal[3] = {0, 0, 10, 0};  // red 10
  pal[7] = {0, 0, 30, 0};  // red 30: as far from 20 as entry 3
  EXPECT_EQ(PackRgbColorBody(20, 0, 0), 3);
  EXPECT_EQ(PackRgbColorBody(29, 0, 0), 7);
  int r = 0, g = 0, b = 0;
  EXPECT_EQ(GetColorComponents(7, &r, &g, &b), 0);
  EXPECT_EQ(r, 30);
  EXPECT_EQ(GetColorComponents(256, &r, &g, &b), -1);
  EXPECT_EQ(GetColorComponents(-1, &r, &g, &b), -1);
}

TEST_F(ColorFormatTest, FormatsBuiltFromMasksMeasureEveryChannel) {
  ColorFormatHeader h;
  BuildColorFormatFromMasks(&h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  EXPECT_EQ(h.unused_mask, 0xFF000000u);
  EXPECT_EQ(h.red_shift, 16);
  EXPECT_EQ(h.red_width, 8);
  EXPECT_EQ(h.bytes_per_pixel, 4);
  BuildColorFormatFromMasks(&h, 16, 0x0F00, 0x00F0, 0x000F, 0xF000);
  EXPECT_EQ(h.unused_mask, 0u);
  EXPECT_EQ(h.alpha_shift, 12);
  EXPECT_EQ(h.alpha_width, 4);
  EXPECT_EQ(PackColorForFormat(h, 255, 0, 255, 128), 0x8F0Fu);
  BuildColorFormatFromMasks(&h, 32, 0, 0, 0, 0x80000000u);
  EXPECT_EQ(h.alpha_shift, 31);
  EXPECT_EQ(h.alpha_width, 1);
  ColorFormatHeader a, b;
  SetRgb24ColorFormat(&a);
  SetXrgbPaletteColorFormat(&b);
  EXPECT_EQ(IsSameColorFormat(a, a), 1);
  EXPECT_EQ(IsSameColorFormat(a, b), 0);
  EXPECT_EQ(b.unused_mask, 0xFF000000u);
}

TEST_F(ColorFormatTest, BlendMasksSplitSourceAndDestinationBySixteenths) {
  UseScreenFormat(16, 0xF800, 0x07E0, 0x1F, kFormat565);
  const BlendConstants& b = ScreenFormat().blend;
  UpdateBlendShiftMasks(255);  // q = 16: only the unshifted source
  EXPECT_EQ(b.source_masks[0], 0xFFFFFFFFu);
  for (int k = 1; k < 5; ++k) EXPECT_EQ(b.source_masks[k], 0u);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(b.dest_masks[k], 0u);
  UpdateBlendShiftMasks(0);  // q = 0: only the unshifted destination
  EXPECT_EQ(b.dest_masks[0], 0xFFFFFFFFu);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(b.source_masks[k], 0u);
  UpdateBlendShiftMasks(127);  // q = 8, d = 8: half and half
  EXPECT_EQ(b.source_masks[1], 0x7BEF7BEFu);
  EXPECT_EQ(b.dest_masks[1], 0x7BEF7BEFu);
  EXPECT_EQ(b.source_masks[0] | b.dest_masks[0], 0u);
  UpdateBrightnessShiftMasks(255, 0, 0);  // red level 16: red unshifted
  EXPECT_EQ(b.brightness_masks[0], 0xF800F800u);
  UseScreenFormat(32, 0xFF0000, 0xFF00, 0xFF, kFormat888);
  UpdateBrightnessShiftMasks(0, 127, 0);  // green level 8: shifted once
  EXPECT_EQ(b.brightness_masks[1], 0x7F00u);
}

}  // namespace
