#include "screens/ranking_screen.h"

#include <cstring>

#include "result_scenes_fixture.h"
#include "screens/name_entry.h"
#include "screens/scenes.h"
#include "shell/sheet_layout.h"

namespace {

using namespace result_scenes;

class RankingScreenTest : public ResultScenesTest {};

TEST_F(RankingScreenTest, OpensOnTheModeJustPlayedElseOnOriginal) {
  struct Case {
    int after_game, mode_shown, demo, expected;
  };
  const Case cases[] = {
      {0, 2, 0, 1},  // from the main menu
      {1, 2, 0, 2},  {1, 0, 0, 0},
      {0, 3, 1, 3},  // the attract demo hands over its mode without the after-game flag
      {1, 9, 0, 1},  // a mode out of range falls back to ORIGINAL
  };
  for (const Case& k : cases) {
    g_flags.RankingAfterGame = k.after_game;
    g_flags.RankingModeShown = k.mode_shown;
    g_flags.DemoMode = k.demo;
    EXPECT_EQ(EnterRankingScreen().mode, k.expected)
        << k.after_game << "/" << k.mode_shown << "/" << k.demo;
  }
}

TEST_F(RankingScreenTest, FirstShotCompletesTheFadeInASecondLeaves) {
  struct Case {
    const char* label;
    int after_game, demo;
    std::vector<int> shot_frames;
    int scene_after, frames_run;
  };
  const Case cases[] = {
      {"from the menu", 0, 0, {21, 23}, kSceneMainMenu, 23},
      {"after a game", 1, 0, {21, 23}, kSceneBoot, 23},
      {"presses within the first 20 frames are ignored", 0, 0, {5, 20, 30, 40}, kSceneMainMenu, 40},
      {"one press only completes the fade-in", 0, 0, {25}, kSceneRanking, 700},
      {"the attract demo leaves by itself", 0, 1, {}, kSceneBoot, 561},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.label);
    ResetState();
    g_flags.CurrentScene = kSceneRanking;
    g_flags.RankingAfterGame = k.after_game;
    g_flags.DemoMode = k.demo;
    std::vector<uint32_t> script(700, 0);
    for (int f : k.shot_frames) script[static_cast<size_t>(f - 1)] = kShot;
    Script(script, 700);
    RunRankingScene();
    EXPECT_EQ(g_flags.CurrentScene, k.scene_after);
    EXPECT_EQ(FramesRun(), k.frames_run);
  }
}

TEST_F(RankingScreenTest, LeftAndRightPressesChangeModeWrappingAndRestartTheFadeIn) {
  RankingScreen s = EnterRankingScreen();
  ASSERT_EQ(s.mode, 1);
  std::vector<uint32_t> script;
  Hold(script, 0, 30);
  Step(script, kLeft);   // ORIGINAL -> HEAVEN
  Step(script, kLeft);   // HEAVEN -> ACCEL
  Step(script, kRight);  // ACCEL -> HEAVEN
  Hold(script, kLeft, 30);  // HEAVEN -> ACCEL, once however long it is held
  Script(script, 1000);
  std::vector<int> modes;
  for (size_t f = 0; f < script.size(); ++f) {
    fake().pumps = static_cast<int>(f) + 1;
    int before = s.mode;
    StepRankingScreen(s);
    if (s.mode != before) {
      modes.push_back(s.mode);
      EXPECT_EQ(s.frames, 0);
      EXPECT_EQ(s.alpha[0], 0);
      EXPECT_EQ(s.alpha[4], -160);
    }
  }
  EXPECT_EQ(modes, (std::vector<int>{0, 3, 0, 3}));
  fake().calls.clear();
  StepRankingScreen(s);
  EXPECT_TRUE(Drew("ACCEL"));
}

TEST_F(RankingScreenTest, RowsShowTheRecordsOfTheModeAndTheTitlePlateSettles) {
  RankingRecord& top = g_ranking.records[1][0];
  top.score = 123456;
  top.fighter = 4;
  top.stage = 7;
  top.auto_guard = 1;
  std::memcpy(top.name, "Z9.", 4);
  RankingRecord& odd = g_ranking.records[1][1];
  std::memcpy(odd.name, "a\xff", 3);  // a hand-edited name: drawn as gaps
  odd.fighter = 9;                    // no icon, no name, nothing read out of range
  odd.stage = 3;
  RankingScreen s = EnterRankingScreen();
  for (int f = 0; f < 100; ++f) StepRankingScreen(s);
  EXPECT_EQ(s.offset[4], 360);
  EXPECT_EQ(s.alpha[0], 255);
  fake().calls.clear();
  StepRankingScreen(s);
  for (const char* text : {"ORIGINAL", "1ST", "5TH", "123456", "Z9.", "STAGE ALL!", "EDEN", "STAGE", "3"})
    EXPECT_TRUE(Drew(text)) << text;
  auto quads = kesto_fake::CallsNamed("BlitGraphicToQuad");
  ASSERT_EQ(quads.size(), 1u);
  // 256x32 centred on (320, 32) once both factors reach exactly 1.
  EXPECT_EQ(quads[0].iarg(0), 192);
  EXPECT_EQ(quads[0].iarg(1), 16);
  EXPECT_EQ(quads[0].iarg(2), 448);
  EXPECT_EQ(quads[0].iarg(5), 48);
}

}  // namespace

namespace {

TEST(RankingScreenCellsTest, CellNumbersNameThePicturesTheScreensDraw) {
  struct Case {
    const SheetLayout& sheet;
    int cell;
    CellRect rect;
  };
  const Case cases[] = {
      {kSheetEtc1, kRankingRowPlateCell, {0, 172, 336, 72}},
      {kSheetEtc1, kNameCursorCell, {136, 24, 16, 16}},
      {kSheetStart, kAutoGuardMarkCell, {160, 160, 64, 16}},
      {kSheetStart, kRankingTitlePlateCell, {0, 256, 256, 32}},
  };
  for (const Case& k : cases) {
    CellRect r = CellOfSheet(k.sheet, k.cell);
    EXPECT_EQ(r.x, k.rect.x) << k.sheet.path << " " << k.cell;
    EXPECT_EQ(r.y, k.rect.y) << k.sheet.path << " " << k.cell;
    EXPECT_EQ(r.width, k.rect.width) << k.sheet.path << " " << k.cell;
    EXPECT_EQ(r.height, k.rect.height) << k.sheet.path << " " << k.cell;
  }
}

}  // namespace
