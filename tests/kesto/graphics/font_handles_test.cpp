// Font handles: limits and defaults, the default font, re-creation under the
// same handles after a lost display, creation failures, and the fonts that
// graphics start-up and end make and delete.
#include "font_fixture.h"
#include "graphics/graphics_manager.h"
#include "platform/gdi/font.h"
#include "platform/video/display.h"

namespace {

using FontHandleTest = FontTest;

int LoggedCount(const std::string& text) {
  int n = 0;
  for (const std::string& l : GfxLogLines()) n += l.find(text) != std::string::npos;
  return n;
}

TEST_F(FontHandleTest, FortyFontsAtMostAndFreedSlotsTakeNewCheckCounters) {
  StartScreen(false);
  // The default font and the on-screen log's hold two slots.
  ASSERT_TRUE(IsValidFontHandle(GetDefaultFontHandle()));
  std::vector<int> fonts;
  for (int i = 2; i < kMaxFonts; ++i) {
    fonts.push_back(CreateFontToHandle(nullptr, 8, -1, -1, -1, -1, -1, -1));
    ASSERT_GE(fonts.back(), 0) << i;
  }
  int valid = 0;
  for (int slot = 0; slot < kMaxFonts; ++slot) {
    for (int check = 0; check < 2048; ++check) {
      valid += IsValidFontHandle(static_cast<int>(((check | 0x2000) << 16) | slot));
    }
  }
  EXPECT_EQ(valid, kMaxFonts);
  ClearGfxLogLines();
  EXPECT_EQ(CreateFontToHandle(nullptr, 8, -1, -1, -1, -1, -1, -1), -1);
  EXPECT_TRUE(Logged("作成できるフォントハンドル数 40 の限界を超えました"));
  const int old = fonts[5];
  ASSERT_EQ(DestroyFont(old), 0);
  EXPECT_EQ(DestroyFont(old), -1);
  const int again = CreateFontToHandle(nullptr, 8, -1, -1, -1, -1, -1, -1);
  ASSERT_GE(again, 0);
  EXPECT_EQ(again & 0xFFFF, old & 0xFFFF);
  EXPECT_NE(again, old);
  EXPECT_FALSE(IsValidFontHandle(old));
  EXPECT_EQ(GetFontSize(old), -1);
  EXPECT_EQ(GetFontSize(again), 8);
  // Handles of another kind, slot or check counter are refused.
  for (int bad : {-1, again ^ 0x20000000, (again & ~0xFFFF) | 40, again ^ 0x10000}) {
    EXPECT_EQ(GetFontRecord(bad), nullptr) << std::hex << bad;
  }
  // A given slot must be free; no line is logged for it.
  ClearGfxLogLines();
  EXPECT_EQ(CreateFontToHandle(nullptr, 8, -1, -1, -1, -1, again & 0xFFFF, -1), -1);
  EXPECT_TRUE(GfxLogLines().empty());
}

TEST_F(FontHandleTest, DefaultsTypesAndEdges) {
  StartScreen(false);
  struct Case {
    const char* name;
    int type, edge;
    int want_type, want_edge;
  } cases[] = {
      {"all defaults", -1, -1, 0, 1},
      {"an edge size makes a plain font edged", 0, 3, 1, 3},
      {"antialiased with an edge", 2, 2, 3, 2},
      {"edged with the default edge", 1, -1, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int font = CreateFontToHandle(nullptr, -1, -1, c.type, -1, c.edge, -1, -1);
    ASSERT_GE(font, 0);
    const FontRecord* f = GetFontRecord(font);
    EXPECT_EQ(f->type, c.want_type);
    EXPECT_EQ(f->edge_size, c.want_edge);
    EXPECT_EQ(f->size, 16);
    EXPECT_EQ(f->thickness, 6);
    EXPECT_EQ(f->charset, 1);
    EXPECT_EQ(f->spacing, 0);
    // Cells and lines are even and hold the edge on both sides.
    const int edge = (f->type & kFontTypeEdge) ? 2 * f->edge_size : 0;
    EXPECT_EQ(f->cell_size % 2, 0);
    EXPECT_EQ(f->line_height % 2, 0);
    EXPECT_GE(f->line_height, 16 + edge);
    EXPECT_GE(f->cell_size, edge + 8);
    DestroyFont(font);
  }
  char face[256] = "x";
  int size = 0, thickness = 0;
  ASSERT_EQ(GetFontSettings(face, &size, &thickness, GetDefaultFontHandle()), 0);
  EXPECT_STREQ(face, "");
  EXPECT_EQ(size, 16);
  EXPECT_EQ(thickness, 6);
  EXPECT_EQ(CreateFontToHandle(nullptr, kMaxFontSize + 1, -1, -1, -1, -1, -1, -1), -1);
  EXPECT_EQ(CreateFontToHandle(nullptr, 16, -1, -1, -1, kMaxFontEdge + 1, -1, -1), -1);
}

TEST_F(FontHandleTest, DefaultFontFollowsItsSettings) {
  StartScreen(false);
  const int first = GetDefaultFontHandle();
  ASSERT_EQ(RefreshDefaultFont(), 0);
  EXPECT_EQ(GetDefaultFontHandle(), first);
  // Spacing is applied only when the font is made again.
  DefaultFont().spacing = 3;
  RefreshDefaultFont();
  EXPECT_EQ(GetDefaultFontHandle(), first);
  EXPECT_EQ(GetFontRecord(first)->spacing, 0);
  ASSERT_EQ(SetDefaultFontSize(nullptr, 24, -1), 0);
  const int second = GetDefaultFontHandle();
  EXPECT_NE(second, first);
  EXPECT_FALSE(IsValidFontHandle(first));
  EXPECT_EQ(GetFontSize(second), 24);
  EXPECT_EQ(GetFontRecord(second)->spacing, 3);
  // A screen-mode switch starts the font system afresh and sets the default
  // size again.
  ASSERT_EQ(ChooseScreenModeBody(800, 600, 16, -1), 0);
  EXPECT_EQ(GetFontSize(GetDefaultFontHandle()), 24);
  EXPECT_EQ(GetFontRecord(GetDefaultFontHandle())->spacing, 0);
}

TEST_F(FontHandleTest, LostDisplayRecreatesEveryFontUnderItsHandle) {
  for (bool direct3d : {false, true}) {
    SCOPED_TRACE(direct3d ? "Direct3D" : "software");
    StartScreen(direct3d);
    const int plain = CreateFontToHandle(nullptr, 16, -1, 0, -1, -1, -1, -1);
    const int edged = CreateFontToHandle(nullptr, 20, -1, 0, -1, 3, -1, -1);
    ASSERT_GE(plain, 0);
    ASSERT_GE(edged, 0);
    int flag = -1;
    ASSERT_EQ(AttachFontDeleteFlag(plain, &flag), 0);
    EXPECT_EQ(flag, 0);
    SetFontCharSpacing(4, plain);
    EXPECT_GT(Measure(plain, "abc"), 0);

    platform::video::SimulateDisplayLoss();
    platform::video::EndDisplayLoss();
    ASSERT_EQ(RecoverGraphicsDevice(), 0);

    EXPECT_EQ(flag, 1);
    for (int font : {plain, edged, GetDefaultFontHandle()}) {
      const FontRecord* f = GetFontRecord(font);
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(f->texture_cache, direct3d ? 1 : 0);
      EXPECT_EQ(f->fill_index, 0);  // an empty cache
    }
    EXPECT_EQ(GetFontRecord(plain)->spacing, 0);
    EXPECT_EQ(GetFontRecord(edged)->edge_size, 3);
    Erase();
    ASSERT_EQ(PrintStringWithFont(10, 10, "abc", Color(255, 255, 255), plain, 0, 0), 0);
    SelectBlendMode(1, 255);
    ASSERT_EQ(PrintStringWithFont(10, 40, "abc", Color(255, 255, 255), edged, 0, 0), 0);
    SelectBlendMode(0, 0);
    const std::vector<uint32_t> frame = Frame();
    int top = 0, bottom = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) (y < 40 ? top : bottom) += frame[y * 640 + x] == 0xFFFFFF;
    EXPECT_GT(top, 10);
    EXPECT_GT(bottom, 10);
    StopDirectDraw();
  }
}

TEST_F(FontHandleTest, StartAndEndOfGraphicsMakeAndDeleteTheDefaultFont) {
  StartScreen(false);
  EXPECT_EQ(LoggedCount("フォントの初期化を行います"), 1);
  EXPECT_EQ(LoggedCount("フォントの初期化は正常に終了しました"), 1);
  const int font = GetDefaultFontHandle();
  ASSERT_TRUE(IsValidFontHandle(font));
  const int extra = CreateFontToHandle(nullptr, 12, -1, -1, -1, -1, -1, -1);
  ASSERT_GE(extra, 0);
  StopDirectDraw();
  EXPECT_FALSE(IsValidFontHandle(font));
  EXPECT_FALSE(IsValidFontHandle(extra));
  EXPECT_FALSE(IsValidFontHandle(GetDefaultFontHandle()));
}

TEST_F(FontHandleTest, CreationFailuresAreLoggedAndLeaveNothing) {
  StartScreen(false);
  auto& faults = platform::gdi::GdiFaultsForTesting();
  struct Case {
    const char* name;
    const char* face;
    bool fail_font, fail_dc;
    const char* line;
  } cases[] = {
      {"no font file", nullptr, true, false, "フォントの作成に失敗しました"},
      {"no font file for a face", "Some Face", true, false, "指定のフォントの作成に失敗しました"},
      {"no device context", nullptr, false, true, "ＤＣの取得に失敗しました"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearGfxLogLines();
    faults.fail_font_creation = c.fail_font;
    faults.fail_dc_creation = c.fail_dc;
    EXPECT_EQ(CreateFontToHandle(c.face, 16, -1, -1, -1, -1, 3, -1), -1);
    faults = platform::gdi::GdiFaults{};
    EXPECT_TRUE(Logged(c.line));
    // The slot is free again.
    const int font = CreateFontToHandle(nullptr, 16, -1, -1, -1, -1, 3, -1);
    EXPECT_GE(font, 0);
    DestroyFont(font);
  }
  // A face that is not installed is replaced by the default one.
  ClearGfxLogLines();
  const int font = CreateFontToHandle("Nowhere Sans", 16, -1, -1, -1, -1, -1, -1);
  ASSERT_GE(font, 0);
  EXPECT_TRUE(Logged("フォント Nowhere Sans が見つからないので既定のフォントで作成します"));
  EXPECT_GT(Measure(font, "abc"), 0);
}

TEST_F(FontHandleTest, CacheLayoutsKeepEveryCellInside) {
  for (int cell = 2; cell <= 600; cell += 2) {
    for (int type = 0; type < 4; ++type) {
      SCOPED_TRACE(testing::Message() << "cell " << cell << " type " << type);
      int capacity = 0, w = 0, h = 0;
      DibCacheLayout(cell, type, &capacity, &w, &h);
      EXPECT_LE(capacity, kMaxFontCacheCells);
      EXPECT_LE(capacity, (w / cell) * (h / cell));
      EXPECT_LE(h, 16384);
      if (type == 0) {
        EXPECT_EQ(w, cell);
      }
    }
    int capacity = 0, w = 0, h = 0;
    TextureCacheLayout(cell, &capacity, &w, &h);
    EXPECT_GE(capacity, 10);
    EXPECT_LE(capacity, std::min(kMaxFontCacheCells, (w / cell) * (h / cell)));
  }
  int capacity = 0, w = 0, h = 0;
  TextureCacheLayout(16, &capacity, &w, &h);
  EXPECT_EQ(capacity, 1024);
  EXPECT_EQ(w, 512);
  DibCacheLayout(16, 0, &capacity, &w, &h);
  EXPECT_EQ(capacity, 1024);  // 1280 cells cut at a height of 16384
  DibCacheLayout(18, 1, &capacity, &w, &h);
  EXPECT_EQ(capacity, 1011);
  EXPECT_EQ(w, 36);
  EXPECT_EQ(h, 506 * 18);
}

}  // namespace
