#include "platform/gdi/dib.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace platform::gdi;

const RgbQuad kColors[4] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};
constexpr uint32_t K = 0, R = 0xFF0000, G = 0xFF00, B = 0xFF;

PackedDib Dib(int width, int height, int bits, uint32_t compression,
              const std::vector<uint8_t>& data) {
  PackedDib d;
  d.header.width = width;
  d.header.height = height;
  d.header.bit_count = static_cast<uint16_t>(bits);
  d.header.compression = compression;
  d.colors = kColors;
  d.color_count = 4;
  d.bits = data.data();
  d.bits_size = data.size();
  return d;
}

TEST(PackedDib, UncompressedKindsDecodeTopDown) {
  struct Case {
    const char* name;
    int bits;
    uint32_t compression;
    uint32_t masks[3];
    std::vector<uint8_t> data;  // 2 x 2, bottom row first
    std::vector<uint32_t> want;  // top row first
  } cases[] = {
      {"1-bit", 1, kBiRgb, {}, {0x40, 0, 0, 0, 0x80, 0, 0, 0}, {R, K, K, R}},
      {"4-bit, index past the table is black", 4, kBiRgb, {}, {0x23, 0, 0, 0, 0x1F, 0, 0, 0},
       {R, K, G, B}},
      {"8-bit", 8, kBiRgb, {}, {3, 0, 0, 0, 1, 2, 0, 0}, {R, G, B, K}},
      {"16-bit default 5-5-5", 16, kBiRgb, {}, {0x1F, 0, 0xE0, 0x03, 0x00, 0x7C, 0, 0},
       {R, K, B, G}},
      {"16-bit bit fields 5-6-5", 16, kBiBitfields, {0xF800, 0x07E0, 0x1F},
       {0x1F, 0, 0xE0, 0x07, 0x00, 0xF8, 0, 0}, {R, K, B, G}},
      {"32-bit 10-bit channels", 32, kBiBitfields, {0x3FF00000, 0xFFC00, 0x3FF},
       {0xFF, 0x03, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0xFC, 0x0F, 0},
       {K, G, B, R}},
      {"32-bit zero mask reads as no channel", 32, kBiBitfields, {0, 0xFF00, 0xFF},
       {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {K, K, B | G, K}},
  };
  for (const Case& c : cases) {
    PackedDib d = Dib(2, 2, c.bits, c.compression, c.data);
    std::copy_n(c.masks, 3, d.masks);
    std::vector<uint32_t> px;
    ASSERT_TRUE(DecodePackedDib(d, &px)) << c.name;
    EXPECT_EQ(px, c.want) << c.name;
  }
  // Top-down rows are taken as they come.
  const std::vector<uint8_t> rows = {1, 2, 0, 0, 3, 0, 0, 0};
  std::vector<uint32_t> px;
  ASSERT_TRUE(DecodePackedDib(Dib(2, -2, 8, kBiRgb, rows), &px));
  EXPECT_EQ(px, (std::vector<uint32_t>{R, G, B, K}));
}

TEST(PackedDib, RunLengthEscapesAndHostileRunsStayInside) {
  struct Case {
    const char* name;
    int bits;
    uint32_t compression;
    std::vector<uint8_t> data;
    std::vector<uint32_t> want;  // 3 x 2, top row first
  } cases[] = {
      {"8-bit runs, end of line, absolute run, end", 8, kBiRle8,
       {2, 1, 1, 2, 0, 0, 0, 3, 3, 2, 1, 0, 0, 1}, {B, G, R, R, R, G}},
      {"move skips pixels", 8, kBiRle8, {1, 1, 0, 2, 1, 1, 1, 3, 0, 1}, {K, K, B, R, K, K}},
      {"runs past the row and moves past the picture are clipped", 8, kBiRle8,
       {200, 1, 0, 2, 250, 250, 1, 2}, {K, K, K, R, R, R}},
      {"absolute run past the end of the data stops", 8, kBiRle8, {1, 2, 0, 9, 3}, {K, K, K, G, K, K}},
      {"4-bit alternating run and absolute run", 4, kBiRle4, {3, 0x12, 0, 0, 0, 3, 0x31, 0x20},
       {B, R, G, R, G, R}},
      {"data ending inside a pair", 8, kBiRle8, {1, 1, 0}, {K, K, K, R, K, K}},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> px;
    ASSERT_TRUE(DecodePackedDib(Dib(3, 2, c.bits, c.compression, c.data), &px)) << c.name;
    EXPECT_EQ(px, c.want) << c.name;
  }
}

TEST(PackedDib, RefusesWhatCannotBeDrawn) {
  const std::vector<uint8_t> data(64, 1);
  struct Case {
    const char* name;
    PackedDib dib;
  } cases[] = {
      {"top-down run-length", Dib(2, -2, 8, kBiRle8, data)},
      {"run-length on 24 bits", Dib(2, 2, 24, kBiRle8, data)},
      {"JPEG inside", Dib(2, 2, 24, 4, data)},
      {"PNG inside", Dib(2, 2, 24, 5, data)},
      {"bit fields on 8 bits", Dib(2, 2, 8, kBiBitfields, data)},
      {"2 bits", Dib(2, 2, 2, kBiRgb, data)},
      {"zero width", Dib(0, 2, 8, kBiRgb, data)},
      {"65536 high", Dib(1, 65536, 8, kBiRgb, data)},
      {"too many pixels", Dib(65535, 65535, 8, kBiRle8, data)},
      {"bits shorter than the picture", Dib(16, 2, 24, kBiRgb, data)},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> px;
    EXPECT_FALSE(DecodePackedDib(c.dib, &px)) << c.name;
  }
}

TEST(PackedDib, SectionsTakeDrawingsStraightOrMirrored) {
  // 3 x 1 picture R G B, drawn into 16-bit 5-6-5 and 24-bit sections.
  const std::vector<uint8_t> row = {1, 2, 3, 0};
  const PackedDib dib = Dib(3, 1, 8, kBiRgb, row);
  const uint32_t masks565[3] = {0xF800, 0x07E0, 0x1F};
  auto s16 = DibSection::Create(3, -1, 16, masks565);
  ASSERT_TRUE(s16);
  ASSERT_EQ(SetDibToSection(s16.get(), dib), 1);
  const uint16_t* p16 = reinterpret_cast<const uint16_t*>(s16->bits());
  EXPECT_EQ(p16[0], 0xF800);
  EXPECT_EQ(p16[1], 0x07E0);
  EXPECT_EQ(p16[2], 0x001F);
  EXPECT_EQ(s16->pitch(), 8);  // rows are DWORD-aligned

  auto s24 = DibSection::Create(3, 1, 24, nullptr);  // bottom-up section
  ASSERT_TRUE(s24);
  ASSERT_EQ(StretchDibToSection(s24.get(), 0, 0, -3, 1, 0, 0, 3, 1, dib), 1);
  EXPECT_EQ(s24->GetPixel(0, 0), B);
  EXPECT_EQ(s24->GetPixel(2, 0), R);
  // Stretched twice as wide and clipped at the section's edge.
  auto wide = DibSection::Create(4, -1, 32, nullptr);
  ASSERT_EQ(StretchDibToSection(wide.get(), 1, 0, 6, 1, 0, 0, 3, 1, dib), 1);
  EXPECT_EQ(wide->GetPixel(0, 0), K);
  EXPECT_EQ(wide->GetPixel(1, 0), R);
  EXPECT_EQ(wide->GetPixel(2, 0), R);
  EXPECT_EQ(wide->GetPixel(3, 0), G);
  // A source rectangle outside the picture draws nothing.
  EXPECT_EQ(StretchDibToSection(wide.get(), 0, 0, 1, 1, 2, 0, 2, 1, dib), 0);
  EXPECT_FALSE(DibSection::Create(0, 1, 24, nullptr));
  EXPECT_FALSE(DibSection::Create(1, 1, 8, nullptr));
}

}  // namespace
