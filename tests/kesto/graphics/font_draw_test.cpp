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

}  // namespace
