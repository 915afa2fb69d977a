#include "screens/stage_select.h"

#include <map>

#include "menu_scene_fixture.h"
#include "screens/scenes.h"

TEST_F(MenuSceneTest, StageSelectOffersStagesReachedAndTheExtraStage) {
  struct Row {
    const char* name;
    int mode;
    int reached;
    int stage_unlock;
    int secret_flag;
    StageSelectOffer offer;
  };
  const Row rows[] = {
      {"no progress", 1, 1, 0, 0, {1, 0, 10}},
      {"stage 3 reached", 0, 3, 0, 0, {3, 0, 10}},
      {"all five", 3, 5, 0, 0, {5, 0, 10}},
      {"nothing reached", 1, 0, 0, 0, {0, 0, 10}},
      {"6 from the file counts as 1", 1, 6, 0, 0, {1, 0, 10}},
      {"7 from the file counts as 1", 2, 7, 0, 0, {1, 0, 10}},
      {"negative counts as 1", 1, -3, 0, 0, {1, 0, 10}},
      {"unlock code outside HELL", 1, 1, 1, 0, {5, 0, 10}},
      {"unlock code in HELL", 2, 1, 1, 0, {5, 1, 11}},
      {"secret stage seen in HELL", 2, 2, 0, 1, {2, 1, 11}},
      {"secret stage seen, not HELL", 0, 2, 0, 1, {2, 0, 10}},
      {"mode outside the table", 9, 5, 0, 0, {1, 0, 10}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_save_data = SaveData{};
    if (row.mode >= 0 && row.mode < 4) g_save_data.StageReachedTable[row.mode] = row.reached;
    g_save_data.StageUnlockFlag = row.stage_unlock;
    g_save_data.secret_stage_flag = row.secret_flag;
    StageSelectOffer got = ComputeStageSelectOffer(row.mode);
    EXPECT_EQ(got.reached, row.offer.reached);
    EXPECT_EQ(got.extra, row.offer.extra);
    EXPECT_EQ(got.last_index, row.offer.last_index);
  }
}

// Entries of stages not reached are drawn dimmed; the extra stage moves
// RETURN down a row.
TEST_F(MenuSceneTest, StageSelectDimsWhatCannotBeChosen) {
  g_flags.CurrentScene = kSceneStageSelect;
  g_flags.DifficultyMode = 2;
  g_save_data.StageReachedTable[2] = 2;
  g_save_data.secret_stage_flag = 1;
  StageSelectState s{};
  EnterStageSelect(s);
  fake().calls.clear();
  StepStageSelect(s);

  // Alpha in force for the glyphs of each text row.
  std::map<int, int> row_alpha;
  int alpha = 255;
  for (const auto& c : fake().calls) {
    if (c.name == "ChooseBlendMode") alpha = c.iarg(1);
    if (c.name == "BlitGraphicAt") row_alpha[c.iarg(1)] = alpha;
  }
  for (int i = 0; i < 10; ++i) {
    int stage = i % 5 + 1;
    EXPECT_EQ(row_alpha[100 + 30 * i], stage <= 2 ? 255 : 100) << "entry " << i;
  }
  EXPECT_EQ(row_alpha[400], 255);  // "???????"
  EXPECT_EQ(row_alpha.count(430), 1u);  // RETURN
}

TEST_F(MenuSceneTest, StageSelectKeepsTheModeSelectMusic) {
  fake().music_running = true;
  StageSelectState s{};
  EnterStageSelect(s);
  EXPECT_TRUE(kesto_fake::CallsNamed("StartMusicFile").empty());
  EXPECT_TRUE(kesto_fake::CallsNamed("HaltMusic").empty());
}

TEST_F(MenuSceneTest, StageSelectLeavesItsMarkOnEveryReturn) {
  g_flags.CurrentScene = kSceneStageSelect;
  fake().quit_after_pumps = 3;
  RunStageSelectScene();
  EXPECT_EQ(g_previous_scene, kSceneStageSelect);
}
