// The glyph cache: splitting by the lead-byte rule, one render per new
// character, reuse of the oldest cells, spaces, and texts longer than one
// code list.
#include <cstring>
#include <string>

#include "font_fixture.h"

namespace {

using FontCacheTest = FontTest;

int CodeOf(const char* c) {
  return static_cast<uint8_t>(c[0]) | (c[1] ? static_cast<uint8_t>(c[1]) << 8 : 0);
}

bool Cached(int font, const char* c) { return GetFontRecord(font)->codes[CodeOf(c)].cached != 0; }

int SlotOf(int font, const char* c) { return GetFontRecord(font)->codes[CodeOf(c)].slot; }

// A font whose cache holds only `capacity` cells.
int SmallCacheFont(int capacity, int type = 0) {
  const int font = CreateFontToHandle(nullptr, 16, -1, type, -1, -1, -1, -1);
  GetFontRecord(font)->capacity = capacity;
  ResetFontCache(font);
  return font;
}

TEST_F(FontCacheTest, LeadBytesFollowTheCharacterSet) {
  struct Case {
    uint8_t byte;
    int shift_jis, hangeul;
  } cases[] = {{0x41, 0, 0}, {0x80, 0, 1}, {0x81, 1, 1}, {0x9F, 1, 1}, {0xA0, 0, 1},
               {0xA1, 0, 1}, {0xDF, 0, 1}, {0xE0, 1, 1}, {0xFC, 1, 1}, {0xFD, 0, 1}};
  for (const Case& c : cases) {
    const char b = static_cast<char>(c.byte);
    EXPECT_EQ(IsMultiByteLead(&b, 1), c.shift_jis) << int(c.byte);
    EXPECT_EQ(IsMultiByteLead(&b, 0), c.shift_jis) << int(c.byte);
    EXPECT_EQ(IsMultiByteLead(&b, 2), c.hangeul) << int(c.byte);
  }
}

TEST_F(FontCacheTest, FullCachesReuseTheOldestCellsInOrder) {
  for (bool direct3d : {false, true}) {
    SCOPED_TRACE(direct3d ? "texture" : "bitmap");
    StartScreen(direct3d);
    const int font = SmallCacheFont(3);
    const int advance = Measure(font, "a");
    ASSERT_EQ(CacheStringGlyphs(font, "abc", -1, nullptr, nullptr), 0);
    EXPECT_EQ(SlotOf(font, "a"), 0);  // "a" was measured first
    EXPECT_EQ(SlotOf(font, "b"), 1);
    EXPECT_EQ(SlotOf(font, "c"), 2);
    EXPECT_EQ(GetFontRecord(font)->fill_index, 0);
    CacheStringGlyphs(font, "d", -1, nullptr, nullptr);
    EXPECT_FALSE(Cached(font, "a"));
    EXPECT_EQ(SlotOf(font, "d"), 0);
    EXPECT_TRUE(Cached(font, "b"));
    // "a" comes back in the next cell when next needed; "b" gives way.
    EXPECT_EQ(Measure(font, "a"), advance);
    EXPECT_EQ(SlotOf(font, "a"), 1);
    EXPECT_FALSE(Cached(font, "b"));
    // A string of more new characters than cells still draws each one.
    Erase();
    EXPECT_EQ(Measure(font, "vwxyz"), 5 * advance);
    EXPECT_EQ(PrintStringWithFont(0, 0, "vwxyz", Color(255, 255, 255), font, 0, 0), 0);
    const std::vector<uint32_t> frame = Frame();
    for (int i = 0; i < 5; ++i) {
      int lit = 0;
      for (int y = 0; y < 16; ++y)
        for (int x = i * advance; x < (i + 1) * advance; ++x) lit += frame[y * 640 + x] != 0;
      EXPECT_GT(lit, 3) << "character " << i;
    }
    StopDirectDraw();
  }
}

TEST_F(FontCacheTest, ACharacterTwiceInOneStringTakesOneCell) {
  StartScreen(false);
  const int font = SmallCacheFont(3);
  ASSERT_EQ(CacheStringGlyphs(font, "xyxx", -1, nullptr, nullptr), 0);
  EXPECT_EQ(GetFontRecord(font)->fill_index, 2);
  // Rendered twice all the same, the character keeps the newer cell when
  // the older one is reused.
  const CodeListEntry twice[2] = {"x", "x"};
  RenderGlyphsToCache(font, 2, twice);  // cells 2 and 0
  EXPECT_EQ(SlotOf(font, "x"), 0);
  CacheStringGlyphs(font, "p", -1, nullptr, nullptr);  // cell 1
  CacheStringGlyphs(font, "q", -1, nullptr, nullptr);  // cell 2, which "x" had first
  EXPECT_TRUE(Cached(font, "x"));
  EXPECT_EQ(SlotOf(font, "x"), 0);
  EXPECT_EQ(GetFontRecord(font)->slots[0].code, CodeOf("x"));
}

TEST_F(FontCacheTest, SpacesTakeACellWithAnAdvanceOnly) {
  for (bool direct3d : {false, true}) {
    for (int type : {0, 2}) {
      SCOPED_TRACE(testing::Message() << (direct3d ? "texture " : "bitmap ") << type);
      StartScreen(direct3d);
      const int font = CreateFontToHandle(nullptr, 16, -1, type, -1, -1, -1, -1);
      for (const char* space : {" ", "\x81\x40"}) {
        const int before = GetFontRecord(font)->fill_index;
        const int pen = Measure(font, space);
        EXPECT_GT(pen, 0);
        EXPECT_TRUE(Cached(font, space));
        EXPECT_EQ(GetFontRecord(font)->fill_index, before + 1);
        EXPECT_EQ(PrintStringWithFont(5, 5, space, Color(255, 255, 255), font, 0, 0), 0);
        EXPECT_TRUE(Drawn(Frame()).Empty());
      }
      EXPECT_EQ(Measure(font, "\x81\x40"), Measure(font, "\x82\xA0"));
      StopDirectDraw();
    }
  }
}

TEST_F(FontCacheTest, ALeadByteAtTheEndPairsWithTheTerminatorOnly) {
  StartScreen(false);
  const int font = GetDefaultFontHandle();
  CodeListEntry list[kCodeListCapacity];
  int count = 0, consumed = 0;
  ASSERT_EQ(CacheStringGlyphs(font, "a\x82", -1, list, &count, &consumed), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(consumed, 2);
  EXPECT_EQ(static_cast<uint8_t>(list[1][0]), 0x82);
  EXPECT_EQ(list[1][1], 0);
  // A length that cuts a character keeps the byte after it out.
  CacheStringGlyphs(font, "\x82\xA0", 1, list, &count, &consumed);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(consumed, 1);
  EXPECT_EQ(list[0][1], 0);
  // Half-width katakana is one byte.
  CacheStringGlyphs(font, "\xB1\xB2", -1, list, &count, &consumed);
  EXPECT_EQ(count, 2);
}

TEST_F(FontCacheTest, TextsLongerThanOneListAreCachedAndDrawnInPieces) {
  StartScreen(false);
  const int font = GetDefaultFontHandle();
  std::string text(300, 'a');
  for (int i = 0; i < 40; ++i) text += "\x82\xA0";
  CodeListEntry list[kCodeListCapacity];
  int count = 0, consumed = 0;
  CacheStringGlyphs(font, text.c_str(), -1, list, &count, &consumed);
  EXPECT_EQ(count, kCodeListCapacity);
  EXPECT_EQ(consumed, kCodeListCapacity);
  const int half = Measure(font, "a"), full = Measure(font, "\x82\xA0");
  EXPECT_EQ(Measure(font, text.c_str()), 300 * half + 40 * full);
  // Two-byte characters are never split between two pieces.
  const std::string shifted = "a" + std::string(255, 'b').substr(0, 254) + "\x82\xA0\x82\xA0";
  EXPECT_EQ(Measure(font, shifted.c_str()), 255 * half + 2 * full);
}

}  // namespace
