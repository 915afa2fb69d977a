// Drawing and measuring strings on every path: texture cells through the
// Direct3D stand-in, cells copied straight into the target, and the work
// surface with the software blitter; across and down; all four font types
// at 16 and 32 bits.
#include <cstring>

#include "font_fixture.h"
#include "graphics/graphics_host.h"
#include "kesto/kesto.h"

namespace {

using platform::video::Rect;

struct Path {
  const char* name;
  bool direct3d;
  int bits;
};
constexpr Path kPaths[] = {{"software 16", false, 16},
                           {"software 32", false, 32},
                           {"Direct3D 16", true, 16},
                           {"Direct3D 32", true, 32}};

const char kLatinAndKana[] = "Ag\x82\xA0\x8A\xBF";  // "Agあ漢"

TEST_F(FontTest, EveryTypeDrawsInsideItsBoxOnEveryPath) {
  for (const Path& p : kPaths) {
    StartScreen(p.direct3d, p.bits);
    const int white = Color(255, 255, 255), red = Color(255, 0, 0);
    for (int type = 0; type < 4; ++type) {
      for (int vertical = 0; vertical < 2; ++vertical) {
        for (int blend : {0, 1}) {
          SCOPED_TRACE(testing::Message() << p.name << " type " << type << " vertical "
                                          << vertical << " blend " << blend);
          const int font = CreateFontToHandle(nullptr, 20, -1, type, -1, -1, -1, -1);
          ASSERT_GE(font, 0);
          const FontRecord* f = GetFontRecord(font);
          EXPECT_EQ(f->texture_cache, p.direct3d ? 1 : 0);
          Erase();
          SelectBlendMode(blend, blend ? 255 : 0);
          int size[2] = {0, 0};
          const int pen = Measure(font, kLatinAndKana, vertical, size);
          EXPECT_GT(pen, 40);
          ASSERT_EQ(PrintStringWithFont(100, 60, kLatinAndKana, white, font, red, vertical), 0);
          const std::vector<uint32_t> frame = Frame();
          const Rect drawn = Drawn(frame);
          const Rect box{100, 60, 100 + size[0], 60 + size[1]};
          EXPECT_FALSE(drawn.Empty());
          EXPECT_GE(drawn.left, box.left);
          EXPECT_GE(drawn.top, box.top);
          EXPECT_LE(drawn.right, box.right);
          EXPECT_LE(drawn.bottom, box.bottom);
          EXPECT_GT(Count(frame, 0xFFFFFF), 20);
          if (type & kFontTypeEdge) {
            EXPECT_GT(Count(frame, 0xFF0000), 20);
          } else {
            EXPECT_EQ(Count(frame, 0xFF0000), 0);
          }
          DestroyFont(font);
        }
      }
    }
    SelectBlendMode(0, 0);
    StopDirectDraw();
  }
}

// The frame of a string drawn across and down by one path, for type 0 or 1.
struct Drawing {
  std::vector<uint32_t> across, down;
  int line_height = 0, pen = 0;
};

TEST_F(FontTest, PathsAgreePixelForPixelAndDownIsAcrossTurned) {
  for (int type : {0, 1}) {
    Drawing by_path[2];
    for (int d3d = 0; d3d < 2; ++d3d) {
      SCOPED_TRACE(testing::Message() << "type " << type << (d3d ? " Direct3D" : " software"));
      StartScreen(d3d != 0);
      const int font = CreateFontToHandle(nullptr, 24, -1, type, -1, type ? 2 : -1, -1, -1);
      ASSERT_GE(font, 0);
      Drawing& d = by_path[d3d];
      d.line_height = GetFontRecord(font)->line_height;
      ASSERT_EQ(PrintStringWithFont(0, 0, kLatinAndKana, Color(255, 255, 255), font,
                                    Color(0, 0, 255), 0),
                0);
      d.across = Frame();
      Erase();
      ASSERT_EQ(PrintStringWithFont(0, 0, kLatinAndKana, Color(255, 255, 255), font,
                                    Color(0, 0, 255), 1),
                0);
      d.down = Frame();
      d.pen = Measure(font, kLatinAndKana);
      // Down: the pixel (x, y) across lands on (line height - 1 - y, x).
      int differing = 0, lit = 0;
      for (int y = 0; y < d.line_height; ++y)
        for (int x = 0; x < d.pen; ++x) {
          const uint32_t a = d.across[static_cast<size_t>(y) * 640 + x];
          const uint32_t b = d.down[static_cast<size_t>(x) * 640 + (d.line_height - 1 - y)];
          differing += a != b;
          lit += a != 0;
        }
      EXPECT_GT(lit, 100);
      EXPECT_EQ(differing, 0);
      StopDirectDraw();
    }
    EXPECT_EQ(by_path[0].pen, by_path[1].pen);
    EXPECT_TRUE(by_path[0].across == by_path[1].across);
    EXPECT_TRUE(by_path[0].down == by_path[1].down);
  }
}

TEST_F(FontTest, MeasuringCountsAdvancesSpacingAndTheDirection) {
  StartScreen(false);
  const int font = CreateFontToHandle(nullptr, 16, -1, -1, -1, -1, -1, -1);
  const int a = Measure(font, "a"), b = Measure(font, "b"), c = Measure(font, "c");
  SetFontCharSpacing(2, font);
  int size[2] = {0, 0};
  EXPECT_EQ(Measure(font, "abc", 0, size), a + b + c + 6);
  EXPECT_EQ(size[0], a + b + c + 6);
  EXPECT_EQ(size[1], GetFontRecord(font)->line_height);
  EXPECT_EQ(Measure(font, "abc", 1, size), a + b + c + 6);
  EXPECT_EQ(size[0], GetFontRecord(font)->line_height);
  EXPECT_EQ(size[1], a + b + c + 6);
  SetFontCharSpacing(0, font);
  const int kana = Measure(font, "\x82\xA0");
  EXPECT_EQ(Measure(font, "\x82\xA0\x82\xA2\x82\xA4"), 3 * kana);  // "あいう"
  EXPECT_GT(kana, a);
  // An empty string draws nothing and leaves the cache alone.
  const int fill = GetFontRecord(font)->fill_index;
  EXPECT_EQ(Measure(font, ""), 0);
  EXPECT_EQ(Measure(font, nullptr), 0);
  EXPECT_EQ(PrintStringWithFont(0, 0, "", Color(255, 255, 255), font, 0, 0), 0);
  EXPECT_EQ(GetFontRecord(font)->fill_index, fill);
  EXPECT_EQ(Measure(font + 1, "abc"), -1);
  ClearGfxLogLines();
  EXPECT_EQ(PrintStringWithFont(0, 0, "abc", Color(255, 255, 255), font + 1, 0, 0), -1);
  EXPECT_TRUE(Logged("フォントハンドル値が異常です"));
}

TEST_F(FontTest, TheDrawAreaCutsGlyphsAndAdvancesStillCount) {
  for (const Path& p : kPaths) {
    SCOPED_TRACE(p.name);
    StartScreen(p.direct3d, p.bits);
    for (int type : {0, 3}) {
      for (int vertical : {0, 1}) {
        const int font = CreateFontToHandle(nullptr, 20, -1, type, -1, -1, -1, -1);
        Erase();
        ApplyDrawArea(0, 0, 110, 75);
        const char* text = "WWWWWWWW";
        EXPECT_EQ(PrintStringWithFont(100, 60, text, Color(255, 255, 255), font, 0, vertical), 0);
        // Wholly outside: nothing, and no failure.
        EXPECT_EQ(PrintStringWithFont(300, 300, text, Color(255, 255, 255), font, 0, vertical), 0);
        ApplyDrawArea(0, 0, 640, 480);
        const Rect drawn = Drawn(Frame());
        EXPECT_FALSE(drawn.Empty());
        EXPECT_LE(drawn.right, 110);
        EXPECT_LE(drawn.bottom, 75);
        EXPECT_EQ(Measure(font, text), 8 * Measure(font, "W"));
        DestroyFont(font);
      }
    }
    StopDirectDraw();
  }
}

TEST_F(FontTest, BrightnessScalesTextAndEdgeColours) {
  for (bool direct3d : {false, true}) {
    SCOPED_TRACE(direct3d ? "Direct3D" : "software");
    StartScreen(direct3d, 32);
    const int font = CreateFontToHandle(nullptr, 20, -1, 1, -1, 2, -1, -1);
    GetDrawState().brightness = 0x808080;
    EXPECT_EQ(PrintStringWithFont(10, 10, "AB", Color(255, 255, 255), font, Color(255, 0, 0), 0),
              0);
    GetDrawState().brightness = -1;
    const std::vector<uint32_t> frame = Frame();
    EXPECT_GT(Count(frame, 0x808080), 10);
    EXPECT_GT(Count(frame, 0x800000), 10);
    EXPECT_EQ(Count(frame, 0xFFFFFF), 0);
    EXPECT_EQ(GetDrawState().brightness, -1);
    StopDirectDraw();
  }
}

TEST_F(FontTest, BlendingBitmapFontsGoesThroughTheWorkSurface) {
  StartScreen(false, 32);
  for (int type : {0, 1, 2, 3}) {
    SCOPED_TRACE(type);
    const int font = CreateFontToHandle(nullptr, 20, -1, type, -1, -1, -1, -1);
    Erase();
    SelectBlendMode(1, 128);
    EXPECT_EQ(PrintStringWithFont(10, 10, "AB\x82\xA0", Color(255, 255, 255), font,
                                  Color(0, 0, 255), 0),
              0);
    SelectBlendMode(0, 0);
    const std::vector<uint32_t> frame = Frame();
    // Half of white over black, and nothing of the key colour the text was
    // cut out by.
    EXPECT_GT(Count(frame, 0x808080) + Count(frame, 0x7F7F7F), 10);
    EXPECT_EQ(Count(frame, 0xFFFFFF), 0);
    for (uint32_t v : frame) {
      const int r = v >> 16, g = (v >> 8) & 255, b = v & 255;
      ASSERT_TRUE(r <= 128 && g <= 128 && b <= 128) << std::hex << v;
    }
    const Rect drawn = Drawn(frame);
    EXPECT_GE(drawn.left, 10);
    EXPECT_LE(drawn.right, 10 + Measure(font, "AB\x82\xA0"));
    // A string wider than the screen (and the work surface) is cut there.
    SelectBlendMode(1, 128);
    EXPECT_EQ(PrintStringWithFont(-30, 300, std::string(100, 'W').c_str(), Color(255, 255, 255),
                                  font, 0, 0),
              0);
    EXPECT_EQ(PrintStringWithFont(0, 0, std::string(60, 'W').c_str(), Color(255, 255, 255), font,
                                  0, 1),
              0);
    SelectBlendMode(0, 0);
    DestroyFont(font);
  }
}

TEST_F(FontTest, TextOnTheFrontBufferOfAWindowLandsInItsClientArea) {
  for (bool direct3d : {false, true}) {
    for (int blend : {0, 1}) {
      SCOPED_TRACE(testing::Message() << (direct3d ? "Direct3D" : "software") << " blend "
                                      << blend);
      if (direct3d) {
        StartWith3D(true, 640, 480, 32);
      } else {
        Start(true, 640, 480, 32);
      }
      ASSERT_EQ(ChooseDrawTargetBody(-4), 0);
      const int font = CreateFontToHandle(nullptr, 20, -1, 1, -1, -1, -1, -1);
      SelectBlendMode(blend, 255);
      const int pen = Measure(font, "AB");
      ASSERT_EQ(PrintStringWithFont(10, 20, "AB", Color(255, 255, 255), font, Color(255, 0, 0), 0),
                0);
      FlushCurrentVertexBatch();
      EndSceneIfBegun();
      SelectBlendMode(0, 0);
      const platform::video::Surface* primary = GetPrimarySurface();
      const Rect box{client_.left + 10, client_.top + 20, client_.left + 10 + pen,
                     client_.top + 20 + GetFontRecord(font)->line_height};
      int inside = 0, outside = 0;
      for (int y = 0; y < primary->height(); ++y)
        for (int x = 0; x < primary->width(); ++x) {
          const bool lit = (primary->ReadPixel(x, y) & 0xFFFFFF) != 0;
          const bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
          (in ? inside : outside) += lit;
        }
      EXPECT_GT(inside, 30);
      EXPECT_EQ(outside, 0);
      StopDirectDraw();
    }
  }
}

TEST_F(FontTest, SubtractiveTextDarkensAcrossAndDown) {
  StartScreen(true, 32);
  const int font = CreateFontToHandle(nullptr, 20, -1, 0, -1, -1, -1, -1);
  for (int vertical : {0, 1}) {
    SCOPED_TRACE(vertical);
    GetBackSurface()->Blt(nullptr, nullptr, nullptr, platform::video::kBltColorFill,
                          static_cast<uint32_t>(Color(128, 128, 128)));
    SelectBlendMode(3, 255);
    GetDrawState().brightness = 0x123456;
    EXPECT_EQ(PrintStringWithFont(100, 50, "WWWWWWWW", Color(255, 255, 255), font, 0, vertical),
              0);
    EXPECT_EQ(GetDrawState().blend_mode, 3);
    EXPECT_EQ(GetDrawState().brightness, 0x123456);
    GetDrawState().brightness = -1;
    SelectBlendMode(0, 0);
    const std::vector<uint32_t> frame = Frame();
    int darker = 0;
    for (uint32_t v : frame) {
      ASSERT_LE(v & 255, 128u);
      darker += (v & 255) < 128;
    }
    EXPECT_GT(darker, 50);
  }
}

TEST_F(FontTest, BrokenCp932DrawsNothingAndNothingPastTheString) {
  for (bool direct3d : {false, true}) {
    SCOPED_TRACE(direct3d ? "Direct3D" : "software");
    StartScreen(direct3d);
    const int font = CreateFontToHandle(nullptr, 16, -1, 1, -1, -1, -1, -1);
    for (const char* bad : {"\x81\x20", "\x80", "\xFD\xFE", "\x82", "\x09"}) {
      SCOPED_TRACE(testing::Message() << std::hex << int(static_cast<uint8_t>(bad[0])));
      Erase();
      EXPECT_EQ(Measure(font, bad), 0);
      EXPECT_EQ(PrintStringWithFont(10, 10, bad, Color(255, 255, 255), font, Color(255, 0, 0), 0),
                0);
      EXPECT_TRUE(Drawn(Frame()).Empty());
    }
    // Bytes with no terminator, ending in a lead byte: an exact heap block,
    // so a read past it is caught.
    for (const std::string& bytes : {std::string("ab\x82"), std::string("\x82\xA0\x82")}) {
      std::vector<char> block(bytes.begin(), bytes.end());
      const int n = static_cast<int>(block.size());
      const int pen = FontCacheStringDraw(0, 0, 0, block.data(), 0, nullptr, nullptr, 0, Rect{},
                                          GetScreenColorBits(), 1, font, 0, n, 0, nullptr);
      std::string terminated = bytes.substr(0, bytes.size() - 1);
      EXPECT_EQ(pen, Measure(font, terminated.c_str()));
      FontCacheStringDraw(1, 0, 0, block.data(), Color(255, 255, 255), GetBackSurface(), nullptr,
                          0, Rect{0, 0, 640, 480}, GetScreenColorBits(), 1, font, 0, n, 1,
                          nullptr);
    }
    StopDirectDraw();
  }
}

TEST_F(FontTest, TheFormattedTextEntryDrawsWithTheDefaultFont) {
  StartScreen(false);
  const int white = Color(255, 255, 255);
  ASSERT_EQ(PrintStringDefaultFont(20, 30, "score 42 \x82\xA0", white, 0), 0);
  const std::vector<uint32_t> expected = Frame();
  EXPECT_FALSE(Drawn(expected).Empty());
  Erase();
  ASSERT_EQ(PrintTextFormatted(20, 30, white, "%s %d %s", "score", 42, "\x82\xA0"), 0);
  EXPECT_TRUE(Frame() == expected);
  // The format is cut at 1023 bytes, and a character the cut falls inside
  // is left out whole.
  const int font = GetDefaultFontHandle();
  ResetFontCache(font);
  const std::string long_text = std::string(1022, 'a') + "\x82\xA2";  // ..."い"
  EXPECT_EQ(PrintTextFormatted(0, 0, white, "%s", long_text.c_str()), 0);
  const FontRecord* f = GetFontRecord(font);
  EXPECT_TRUE(f->codes['a'].cached);
  EXPECT_FALSE(f->codes[0x82 | (0xA2 << 8)].cached);
  EXPECT_FALSE(f->codes[0x82].cached);
  EXPECT_EQ(f->fill_index, 1);
  // Nothing for a format that cannot be formatted, or none.
  Erase();
  EXPECT_EQ(PrintTextFormatted(0, 0, white, "ab%ls", L"\xD800"), 0);
  EXPECT_EQ(PrintTextFormatted(0, 0, white, nullptr), 0);
  EXPECT_TRUE(Drawn(Frame()).Empty());
}

}  // namespace
