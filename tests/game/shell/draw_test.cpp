#include "shell/draw.h"

#include <cstdio>
#include <string>

#include "shell_fixture.h"
#include "support/scoped_temp_dir.h"

class DrawTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    LoadFontImages();
    LoadHudImages();
    LoadMenuAndStageImages();
    fake().calls.clear();
  }
  std::vector<kesto_fake::Call> Blits() { return kesto_fake::CallsNamed("BlitGraphicAt"); }
};

TEST_F(DrawTest, SpriteIsCentredOnTruncatedFieldPointBetweenBlendCalls) {
  DrawSprite(179.9, 99.99, 1.5, 90.0, 7, 128);
  auto& c = fake().calls;
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0].args, (std::vector<double>{1, 128}));
  EXPECT_EQ(c[1].name, "BlitGraphicScaledRotated");
  EXPECT_EQ(c[1].args, (std::vector<double>{319, 99, 1.5, 90.0 * kPiSingle / 180.0, 7, 1, 0}));
  EXPECT_EQ(c[2].args, (std::vector<double>{1, 255}));
}

TEST_F(DrawTest, ScreenSpriteTruncatesItsAlphaAndAddsNoOffset) {
  DrawSpriteScreen(-0.5, 10.9, 1.0, 0.0, 7, 254.7);
  EXPECT_EQ(fake().calls[0].iarg(1), 254);
  EXPECT_EQ(fake().calls[1].iarg(0), 0);
  EXPECT_EQ(fake().calls[1].iarg(1), 10);
}

TEST_F(DrawTest, QuadCornersAndZeroScale) {
  DrawSpriteQuad(100.0, 50.0, 64.0, 32.0, 7, 200, 1.0, 0.0);
  DrawSpriteQuad(100.0, 50.0, 64.0, 32.0, 7, 200, 0.0, 1.0);
  EXPECT_TRUE(fake().calls.empty());
  DrawSpriteQuad(100.5, 50.5, 63.0, 31.0, 7, 200, 1.0, 2.0);
  ASSERT_EQ(fake().calls.size(), 3u);
  // hw 31.5 and hh 31: corners TL, TR, BR, BL, each truncated.
  EXPECT_EQ(fake().calls[1].args,
            (std::vector<double>{69, 19, 132, 19, 132, 81, 69, 81, 7, 1}));
}

TEST_F(DrawTest, TextPlacementAlignmentAndAlpha) {
  DrawText("AB", 100, 20, 300, 0, 0);  // ends at x: starts 24 left of it
  auto b = Blits();
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].iarg(0), 100 + 140 - 24);
  EXPECT_EQ(b[1].iarg(0), 100 + 140 - 12);
  EXPECT_EQ(b[0].iarg(2), GlyphCell(0, 'A'));
  EXPECT_EQ(fake().calls.front().args, (std::vector<double>{1, 255}));
  EXPECT_EQ(fake().calls.back().args, (std::vector<double>{1, 255}));

  fake().calls.clear();
  DrawText("A_B", 0, 0, -5, 1, 0);
  b = Blits();
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].iarg(0), 140);
  EXPECT_EQ(b[1].iarg(0), 164);
  EXPECT_EQ(fake().calls.front().iarg(1), 0);

  fake().calls.clear();
  DrawText("12", 0, 0, 255, 1, 3);  // style 3 is not a DrawText style
  EXPECT_TRUE(Blits().empty());
}

// Texts can come from replay files, which a user may edit: any byte must draw
// a valid glyph or nothing, and the spacing stays 12 pixels a character.
TEST_F(DrawTest, UnknownCharactersAndStylesDrawNothing) {
  const std::string texts[] = {"abc~", "\xC8\xFF", "A:B", "{|}"};
  for (const std::string& t : texts) {
    for (int style = -1; style <= 4; ++style) {
      fake().calls.clear();
      DrawText(t.c_str(), 0, 0, 255, 1, style);
      DrawGlyphText(t.c_str(), 0, 0, 255, 1, style, 1.0);
      for (const auto& c : fake().calls) {
        if (c.name.rfind("Blit", 0) != 0) continue;
        int handle = c.iarg(c.name == "BlitGraphicAt" ? 2 : 4);
        EXPECT_TRUE(kesto_fake::IsValidGraphic(handle)) << t;
      }
    }
  }
  fake().calls.clear();
  DrawText("A:B", 0, 0, 255, 1, 0);
  auto b = Blits();
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[1].iarg(0) - b[0].iarg(0), 24);
}

TEST_F(DrawTest, GlyphTextEndsOrCentresOnX) {
  DrawGlyphText("AB", 300, 40, 255, 0, 0, 2.0);  // style 0: 10 px a glyph x scale
  auto s = kesto_fake::CallsNamed("BlitGraphicScaledRotated");
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].iarg(0), 300 - 40);
  EXPECT_EQ(s[1].iarg(0), 300 - 20);
  EXPECT_EQ(s[0].arg(2), 2.0);

  fake().calls.clear();
  DrawGlyphText("123", 300, 40, 255, 0, 2, 2.0);  // centred: (n-1) x 12 x scale / 2
  s = kesto_fake::CallsNamed("BlitGraphicScaledRotated");
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0].iarg(0), 276);
  EXPECT_EQ(s[1].iarg(0), 300);
  EXPECT_EQ(s[2].iarg(0), 324);
  EXPECT_EQ(s[0].iarg(4), GlyphCell(2, '1'));
}

TEST_F(DrawTest, HighlightPulsesFromFormula) {
  int32_t counter = 0;
  std::vector<int> alphas;
  for (int i = 0; i < 90; ++i) {
    fake().calls.clear();
    DrawMenuHighlight(&counter, 180, 100);
    alphas.push_back(fake().calls[0].iarg(1));
  }
  EXPECT_EQ(counter, 90);
  EXPECT_EQ(std::vector<int>(alphas.begin(), alphas.begin() + 4),
            (std::vector<int>{200, 203, 207, 211}));
  EXPECT_EQ(*std::max_element(alphas.begin(), alphas.end()), 254);
  EXPECT_EQ(*std::min_element(alphas.begin(), alphas.end()), 145);
  EXPECT_EQ(fake().calls[1].iarg(4), SheetCell(kSheetCursor1, 0));
}

TEST_F(DrawTest, CursorRepeatsEveryEightFramesAndWraps) {
  HoldPad(8);  // up
  std::vector<int> moves;
  int cursor = 0;
  for (int frame = 1; frame <= 20; ++frame) {
    int next = MoveMenuCursor(cursor, 5);
    if (next != cursor) moves.push_back(frame);
    if (frame == 2) {
      EXPECT_EQ(next, 5);
    }
    if (frame == 10) {
      EXPECT_EQ(next, 4);
    }
    cursor = next;
  }
  EXPECT_EQ(moves, (std::vector<int>{2, 10, 18}));
  // Counters are only read on the frames where the delay is 0.
  EXPECT_EQ(kesto_fake::CallsNamed("ReadPadBits").size(), 2u * 3 + 2);
  EXPECT_EQ(kesto_fake::CallsNamed("StartSoundHandle").size(), 3u);
}

TEST_F(DrawTest, ValueClampsOrWraps) {
  HoldPad(4);  // right
  int v = 100;
  for (int i = 0; i < 3; ++i) v = AdjustMenuValue(v, 100, 4, 1);
  EXPECT_EQ(v, 100);
  g_menu_repeat = {};
  g_input = {};
  v = 100;
  for (int i = 0; i < 2; ++i) v = AdjustMenuValue(v, 100, 4, 0);
  EXPECT_EQ(v, 0);
  HoldPad(2);  // left from 0 with wrapping
  g_menu_repeat = {};
  g_input = {};
  for (int i = 0; i < 2; ++i) v = AdjustMenuValue(v, 100, 4, 0);
  EXPECT_EQ(v, 100);
  // Settings are read from a file without range checks.
  g_menu_repeat = {};
  EXPECT_EQ(AdjustMenuValue(-2147483647 - 1, 100, 4, 1), 0);
}

TEST_F(DrawTest, SkipBlankAndCommentsWithLfAndCrLf) {
  ScopedTempDir dir;
  for (const char* eol : {"\n", "\r\n"}) {
    std::string path = dir.file("t.txt");
    std::string text = std::string("# ranking") + eol + eol + "12" + eol + "# note" + eol +
                       "  \t34" + eol + "#last";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    f = std::fopen(path.c_str(), "r");
    int a = 0, b = 0;
    SkipBlankAndComments(f);
    EXPECT_EQ(std::fscanf(f, "%d", &a), 1) << (eol[0] == '\r' ? "CRLF" : "LF");
    SkipBlankAndComments(f);
    EXPECT_EQ(std::fscanf(f, "%d", &b), 1) << (eol[0] == '\r' ? "CRLF" : "LF");
    EXPECT_EQ(SkipBlankAndComments(f), EOF);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 34);
    std::fclose(f);
  }
}

TEST_F(DrawTest, SignOfZeroIsNegative) {
  EXPECT_EQ(SignOf(0), -1);
  EXPECT_EQ(SignOf(-7), -1);
  EXPECT_EQ(SignOf(1), 1);
}

TEST_F(DrawTest, SystemKeys) {
  g_flags.CurrentScene = kSceneGamePlay;
  HandleSystemKeys();
  EXPECT_EQ(g_flags.CurrentScene, kSceneGamePlay);
  fake().keys_held = {57};
  HandleSystemKeys();
  EXPECT_EQ(g_flags.CurrentScene, kSceneBoot);

  fake().keys_held.clear();
  g_flags.CurrentScene = kSceneGamePlay;
  HoldPad(16);
  HandleSystemKeys();  // shot outside the demo: nothing
  EXPECT_EQ(g_flags.CurrentScene, kSceneGamePlay);
  g_flags.DemoMode = 1;
  HandleSystemKeys();
  EXPECT_EQ(g_flags.CurrentScene, kSceneBoot);
}

TEST_F(DrawTest, EscapeEndsTheProcessWithCodeOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  fake().keys_held = {1};
  EXPECT_EXIT(HandleSystemKeys(), ::testing::ExitedWithCode(1), "");
}

TEST_F(DrawTest, ContinueScreenResetsByValue) {
  g_continue_screen = ContinueScreenState{5, 6, 7, 8, 1};
  ResetContinueScreen();
  EXPECT_EQ(g_continue_screen.active, 0);
  EXPECT_EQ(g_continue_screen.frame_counter, 0);
}
