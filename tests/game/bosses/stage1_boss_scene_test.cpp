// The stage 1 boss fought inside the real game-play frame: every pool
// updated and drawn, the player holding the shot button, up to the stage
// clear; twice, to show the fight replays exactly.
#include "../shell/shell_fixture.h"
#include "play/enemies.h"
#include "play/player.h"
#include "play/stage.h"
#include "play/stage_clear.h"
#include "shell/program.h"
#include "support/scoped_temp_dir.h"

namespace {

struct SceneRun {
  int frame = 0;
  int boss_seen_in_phase2 = 0;
  int clear_frame = -1;
  uint32_t seed_at_clear = 0;
  int score_at_clear = 0;
};
SceneRun g_run;

void OnStep(const char* step) {
  const std::string s = step;
  if (s == "RunStageScript") {
    ++g_run.frame;
    // Keep the call log small: the draw pass records every sprite.
    kesto_fake::state().calls.clear();
    if (g_run.frame == 2) SpawnEnemy(-132, 100, 200, 0);
  }
  if (s == "UpdatePlayer" && g_enemies[300].in_use == 1 && g_enemies[300].life_state == 3)
    g_run.boss_seen_in_phase2 = 1;
  if (s == "UpdateStageClear" && g_run.clear_frame < 0 && IsStageClearSequenceActive() == 1) {
    g_run.clear_frame = g_run.frame;
    g_run.seed_at_clear = RandomSeed;
    g_run.score_at_clear = GetPlayerScore();
    kesto_fake::state().quit_after_pumps = kesto_fake::state().pumps + 1;
  }
}

}  // namespace

class Stage1BossSceneTest : public ShellTest {
 protected:
  SceneRun Fight(int difficulty) {
    ShellTest::SetUp();
    LoadAllImages();
    ResetGameObjects();
    g_run = SceneRun{};
    SetFrameStepHook(OnStep);
    g_flags.DifficultyMode = difficulty;
    g_flags.StageNumber = 1;
    InvincibleMode = 1;
    HoldPad(static_cast<uint32_t>(g_config.shot_mask));
    fake().pumps = 0;
    fake().quit_after_pumps = 9000;
    g_flags.CurrentScene = kSceneGamePlay;
    RunGamePlayScene();
    InvincibleMode = 0;
    return g_run;
  }
  ScopedTempDir dir_{true};
};

TEST_F(Stage1BossSceneTest, TheFightEndsInTheStageClearAndReplaysExactly) {
  for (int difficulty : {0, 2}) {
    SCOPED_TRACE(difficulty);
    SceneRun first = Fight(difficulty);
    EXPECT_EQ(first.boss_seen_in_phase2, 1);
    // Shot down, not timed out: both bonuses were paid.
    EXPECT_GE(first.score_at_clear, 108000 + 72000);
    ASSERT_GT(first.clear_frame, 0);
    EXPECT_EQ(g_enemies[300].in_use, 0);
    SceneRun second = Fight(difficulty);
    EXPECT_EQ(second.clear_frame, first.clear_frame);
    EXPECT_EQ(second.seed_at_clear, first.seed_at_clear);
    EXPECT_EQ(second.score_at_clear, first.score_at_clear);
  }
}
