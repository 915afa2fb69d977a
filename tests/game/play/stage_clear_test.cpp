#include "play/stage_clear.h"

#include "play_fixture.h"
#include "screens/overlays.h"

class StageClearTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    ResetStageClearSequence();
    ResetFade();
    g_flags.CurrentScene = kSceneGamePlay;
  }
  // Runs the sequence to its end; returns the steps in the order entered.
  std::vector<int> RunToEnd() {
    std::vector<int> steps{g_stage_clear.step};
    for (int i = 0; i < 5000 && IsStageClearSequenceActive(); ++i) {
      DrawStageClearPanel();
      UpdateStageClear();
      if (g_stage_clear.active && g_stage_clear.step != steps.back())
        steps.push_back(g_stage_clear.step);
    }
    return steps;
  }
};

TEST_F(StageClearTest, BonusTally) {
  struct Case {
    int stage, misses, bombs, gauge;
    StageClearBonuses want;
  };
  const Case cases[] = {
      {3, 2, 3, 1234, {200000, 60000, 180000, 123400, 300000, 803400}},
      {1, 4, 0, 0, {0, 50000, 0, 0, 100000, 100000}},
      {1, 3, 1, 0, {75000, 50000, 50000, 0, 100000, 225000}},
      {6, 0, 0, 0, {550000, 75000, 0, 0, 600000, 1150000}},
  };
  for (const Case& c : cases) {
    StageClearBonuses b = ComputeStageClearBonuses(c.stage, c.misses, c.bombs, c.gauge);
    EXPECT_EQ(b.shield, c.want.shield) << c.stage;
    EXPECT_EQ(b.bomb_unit, c.want.bomb_unit);
    EXPECT_EQ(b.bomb, c.want.bomb);
    EXPECT_EQ(b.item, c.want.item);
    EXPECT_EQ(b.stage, c.want.stage);
    EXPECT_EQ(b.total, c.want.total);
  }
  // Boss practice 20 counts as stage 5.
  g_flags.StageNumber = 20;
  StartStageClear();
  for (int i = 0; i < 180; ++i) UpdateStageClear();
  EXPECT_EQ(g_stage_clear.step, 1);
  EXPECT_EQ(g_stage_clear.stage_bonus, 500000);
}

TEST_F(StageClearTest, StartsOnceAndWalksEveryStepToTheNextStage) {
  g_flags.StageNumber = 2;
  EXPECT_EQ(StartStageClear(), 1);
  EXPECT_EQ(StartStageClear(), 0);
  SetStageFrame(999);
  EXPECT_EQ(RunToEnd(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 50}));
  EXPECT_EQ(g_flags.StageNumber, 3);
  EXPECT_EQ(g_flags.CurrentScene, kSceneGamePlay);
  EXPECT_EQ(GetStageFrame(), 0);
  EXPECT_EQ(g_stage_clear.flash_alpha, 255);
  EXPECT_EQ(g_stage_clear.line_offsets[4], -400);
  auto fades = kesto_fake::CallsNamed("PaintRectangle");
  ASSERT_FALSE(fades.empty());
  EXPECT_EQ(fades[0].args, (std::vector<double>{140, 0, 640, 480, fades[0].arg(4), 1}));
}

TEST_F(StageClearTest, EndingBranches) {
  struct Case {
    int stage;
    int sel_flag;
    int playback;
    int hell_secret;
    int scene;
    int stage_after;
  };
  const Case cases[] = {
      {2, 1, 0, 0, kSceneGameOver, 2},   // stage select ends after its stage
      {5, 0, 0, 0, kSceneEnding, 6},     // arcade, no continue
      {5, 0, 1, 0, kSceneGameOver, 6},   // replays always end in game over
      {5, 0, 0, 1, kSceneEnding, 7},     // hidden boss beaten on HELL
      {21, 1, 0, 0, kSceneGameOver, 21},
  };
  for (const Case& c : cases) {
    ResetStageClearSequence();
    ResetStageObject();
    g_flags.CurrentScene = kSceneGamePlay;
    g_flags.StageNumber = c.stage;
    g_flags.sel_flag = c.sel_flag;
    g_flags.ReplayPlayback = c.playback;
    g_flags.DifficultyMode = c.hell_secret ? 2 : 0;
    SecretBossFlag(c.hell_secret);
    StartStageClear();
    RunToEnd();
    EXPECT_EQ(g_flags.CurrentScene, c.scene) << c.stage << "/" << c.sel_flag;
    EXPECT_EQ(g_flags.StageNumber, c.stage_after) << c.stage << "/" << c.sel_flag;
    EXPECT_EQ(IsStageClearSequenceActive(), 0);
  }
}

TEST_F(StageClearTest, CountUpRate) {
  StartStageClear();
  g_stage_clear.step = 6;
  g_stage_clear.remaining_total = 5000000;
  int last = 0;
  for (int frame = 1; frame <= 185; ++frame) {
    UpdateStageClear();
    int moved = g_stage_clear.shown_total - last;
    last = g_stage_clear.shown_total;
    EXPECT_EQ(moved, frame <= 180 ? 11111 : 111111) << frame;
  }
  EXPECT_EQ(g_stage_clear.shown_total + g_stage_clear.remaining_total, 5000000);
}
