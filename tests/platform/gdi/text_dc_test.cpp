// The text side of the GDI stand-in: character codes, fonts over FreeType,
// text output into palette bitmaps and glyph bitmaps. Glyph pixels depend on
// the font file, so the tests hold to metrics, sizes and coverage.
#include "platform/gdi/text_dc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/char_codes.h"

namespace {

using namespace platform::gdi;

std::unique_ptr<Font> MakeFont(int height, int weight = 400, const std::string& face = "",
                               int charset = kShiftJisCharset) {
  FontDescription d;
  d.height = height;
  d.weight = weight;
  d.charset = charset;
  d.quality = kNonAntialiasedQuality;
  d.face = face;
  return Font::Create(d);
}

TEST(CharCodes, Cp932AndCp949SplitAndConvert) {
  struct Case {
    const char* name;
    int charset;
    uint32_t code;
    uint32_t unicode;
  } cases[] = {
      {"ASCII", kShiftJisCharset, 'A', 'A'},
      {"backslash stays", kDefaultCharset, 0x5C, 0x5C},
      {"hiragana a", kShiftJisCharset, 0x82A0, 0x3042},
      {"full-width space", kShiftJisCharset, 0x8140, 0x3000},
      {"half-width katakana is one byte", kShiftJisCharset, 0xB1, 0xFF71},
      {"lone lead byte", kShiftJisCharset, 0x82, 0},
      {"lead byte with a bad trail", kShiftJisCharset, 0x8120, 0},
      {"unassigned single byte", kShiftJisCharset, 0x80, 0},
      {"control code", kShiftJisCharset, 0x09, 0},
      {"trail-less pair code", kShiftJisCharset, 0x4142, 0},
      {"hangeul ga", kHangeulCharset, 0xB0A1, 0xAC00},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CharCodeToUnicode(c.charset, c.code), c.unicode);
  }
  EXPECT_TRUE(IsLeadByteOf(kShiftJisCharset, 0x81));
  EXPECT_FALSE(IsLeadByteOf(kShiftJisCharset, 0xA1));
  EXPECT_TRUE(IsLeadByteOf(kHangeulCharset, 0xA1));
  // A lead byte at the end of the bytes stands alone.
  EXPECT_EQ(CharLength(kShiftJisCharset, "\x82", 1), 1);
  EXPECT_EQ(CharLength(kShiftJisCharset, "\x82\xA0", 2), 2);
}

TEST(Fonts, MetricsHoldTheirInvariants) {
  for (int size : {8, 12, 16, 24, 32, 64}) {
    SCOPED_TRACE(size);
    auto font = MakeFont(size);
    ASSERT_NE(font, nullptr);
    const TextMetrics& m = font->metrics();
    EXPECT_EQ(m.height, size);
    EXPECT_EQ(m.ascent + m.descent, size);
    EXPECT_GT(m.ascent, m.descent);
    // Fixed pitch: half-width characters take half a full-width one.
    const int half = font->AdvanceOfCode('W'), full = font->AdvanceOfCode(0x82A0);
    EXPECT_GT(half, 0);
    EXPECT_NEAR(full, 2 * half, 1);
    EXPECT_LE(full, m.max_char_width);
    EXPECT_EQ(font->TextWidth("W\x82\xA0", 3), half + full);
    // Synthetic bold is one pixel wider everywhere.
    auto bold = MakeFont(size, 600);
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(bold->AdvanceOfCode('W'), half + 1);
    EXPECT_EQ(bold->metrics().max_char_width, m.max_char_width + 1);
  }
}

TEST(Fonts, FacesAreFoundByNameOrReplacedByTheDefault) {
  auto plain = MakeFont(16);
  ASSERT_NE(plain, nullptr);
  EXPECT_FALSE(plain->substituted());
  EXPECT_EQ(plain->family(), "IPAGothic");
  auto alias = MakeFont(16, 400, "ＭＳ ゴシック");
  ASSERT_NE(alias, nullptr);
  EXPECT_FALSE(alias->substituted());
  EXPECT_EQ(alias->file(), plain->file());
  auto unknown = MakeFont(16, 400, "No Such Face At All");
  ASSERT_NE(unknown, nullptr);
  EXPECT_TRUE(unknown->substituted());
  EXPECT_EQ(unknown->file(), plain->file());
  EXPECT_EQ(MakeFont(0), nullptr);
  GdiFaultsForTesting().fail_font_creation = true;
  EXPECT_EQ(MakeFont(16), nullptr);
  GdiFaultsForTesting().fail_font_creation = false;
}

TEST(GlyphOutline, BuffersAreRowsTimesBlackBoxHeight) {
  auto font = MakeFont(24);
  ASSERT_NE(font, nullptr);
  auto dc = DeviceContext::CreateCompatible();
  ASSERT_NE(dc, nullptr);
  GlyphMetrics gm;
  EXPECT_EQ(dc->GetGlyphOutline('A', kGgoBitmap, &gm, 0, nullptr), kGdiError);  // no font
  dc->SelectFont(font.get());
  for (uint32_t format : {kGgoBitmap, kGgoGray4Bitmap}) {
    SCOPED_TRACE(format);
    const uint32_t size = dc->GetGlyphOutline(0x82A0, format, &gm, 0, nullptr);
    const uint32_t pitch = format == kGgoBitmap ? (gm.black_box_x + 31) / 32 * 4
                                                : (gm.black_box_x + 3) / 4 * 4;
    EXPECT_EQ(size, pitch * gm.black_box_y);
    EXPECT_GT(gm.black_box_x, 4u);
    EXPECT_GT(gm.black_box_y, 4u);
    EXPECT_LE(gm.origin_y, font->metrics().ascent);
    EXPECT_EQ(gm.cell_inc_x, font->AdvanceOfCode(0x82A0));
    std::vector<uint8_t> buffer(size, 0xEE);
    EXPECT_EQ(dc->GetGlyphOutline(0x82A0, format, &gm, size - 1, buffer.data()), kGdiError);
    ASSERT_EQ(dc->GetGlyphOutline(0x82A0, format, &gm, size, buffer.data()), size);
    int covered = 0, top_level = 0;
    for (uint8_t v : buffer) {
      covered += v != 0;
      top_level = std::max<int>(top_level, v);
    }
    EXPECT_GT(covered, 0);
    if (format == kGgoGray4Bitmap) {
      EXPECT_EQ(top_level, 16);
    }
  }
  // Blanks and codes that are no character: a 1 x 1 empty box.
  for (uint32_t code : {0x20u, 0x8140u, 0x8120u, 0x82u}) {
    SCOPED_TRACE(code);
    const uint32_t size = dc->GetGlyphOutline(code, kGgoGray4Bitmap, &gm, 0, nullptr);
    EXPECT_EQ(gm.black_box_x, 1u);
    EXPECT_EQ(gm.black_box_y, 1u);
    EXPECT_EQ(size, 4u);
    uint8_t row[4] = {9, 9, 9, 9};
    dc->GetGlyphOutline(code, kGgoGray4Bitmap, &gm, 4, row);
    EXPECT_EQ(row[0], 0);
  }
  dc->GetGlyphOutline(0x20, kGgoBitmap, &gm, 0, nullptr);
  EXPECT_EQ(gm.cell_inc_x, font->AdvanceOfCode('W'));
  dc->GetGlyphOutline(0x8120, kGgoBitmap, &gm, 0, nullptr);
  EXPECT_EQ(gm.cell_inc_x, 0);
}

TEST(TextOut, WritesIndicesIntoItsBoxAndStaysInsideTheClip) {
  auto font = MakeFont(16);
  ASSERT_NE(font, nullptr);
  const RgbQuad colors[4] = {{0, 0, 0, 0}, {255, 0, 0, 0}, {128, 128, 128, 0}, {255, 255, 255, 0}};
  auto dib = IndexedDibSection::Create(40, -20, 8, kDibPalColors, colors, 4);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(dib->pitch(), 40);
  EXPECT_TRUE(dib->top_down());
  auto dc = DeviceContext::CreateCompatible();
  dc->SelectBitmap(dib.get());
  dc->SelectFont(font.get());
  dc->SetTextColor(PaletteIndex(3));
  dc->SetBkColor(PaletteIndex(2));
  dc->SetBkMode(kOpaque);
  TextSize ext;
  ASSERT_TRUE(dc->GetTextExtentPoint32("A\x82\xA0", 3, &ext));
  EXPECT_EQ(ext.cx, font->TextWidth("A\x82\xA0", 3));
  EXPECT_EQ(ext.cy, 16);
  ASSERT_TRUE(dc->TextOut(2, 1, "A\x82\xA0", 3));
  int text = 0, other = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      const uint32_t v = dib->GetIndex(x, y);
      const bool inside = x >= 2 && x < 2 + ext.cx && y >= 1 && y < 17;
      if (inside) {
        EXPECT_TRUE(v == 2 || v == 3) << x << "," << y;
        text += v == 3;
      } else {
        other += v != 0;
      }
    }
  EXPECT_GT(text, 10);
  EXPECT_EQ(other, 0);
  // A clip rectangle keeps every write inside it.
  auto one_bit = IndexedDibSection::Create(33, -16, 1, kDibPalColors, colors, 2);
  EXPECT_EQ(one_bit->width_bytes(), 6);  // padded to 2 bytes as reported
  EXPECT_EQ(one_bit->pitch(), 8);
  dc->SelectBitmap(one_bit.get());
  dc->SetTextColor(PaletteIndex(1));
  dc->SetBkColor(PaletteIndex(0));
  const int clip[4] = {0, 0, 5, 16};
  dc->SetClipRect(clip);
  dc->TextOut(0, 0, "\x82\xA0\x82\xA0", 4);
  for (int y = 0; y < 16; ++y)
    for (int x = 5; x < 33; ++x) EXPECT_EQ(one_bit->GetIndex(x, y), 0u);
  EXPECT_EQ(IndexedDibSection::Create(16, 16, 4, kDibPalColors, colors, 4), nullptr);
  EXPECT_EQ(IndexedDibSection::Create(0, 16, 8, kDibPalColors, colors, 4), nullptr);
}

}  // namespace
