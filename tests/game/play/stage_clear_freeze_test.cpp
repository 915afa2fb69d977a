// While the stage clear runs, the frame keeps every update: the field goes on
// moving and only the player holds still, and only once the panel is up.
#include <algorithm>
#include <string>
#include <vector>

#include "play/stage_clear.h"
#include "play_fixture.h"
#include "screens/config.h"
#include "shell/game_play.h"
#include "shell/program.h"

namespace {

struct FrameNote {
  std::vector<std::string> steps;
  int clear_step = -1;     // the sequence's step as UpdatePlayer sees it
  double player_moved = 0;  // by UpdatePlayer
  double bullet_moved = 0;  // by UpdateEnemyBullets
  int lives_after_player = 0;
};

std::vector<FrameNote> g_notes;
double g_before = 0;

void OnStep(const char* name) {
  const std::string step = name;
  if (step == "RunStageScript") {
    g_notes.emplace_back();
    if (g_notes.size() == 1) {
      // The boss fell just before: ten frames of waiting remain.
      StartStageClear();
      g_stage_clear.counter = 170;
      FireEnemyBullet(320, 20, 0, 90, 1.0, 0);
    }
  }
  if (g_notes.empty()) return;
  FrameNote& f = g_notes.back();
  f.steps.push_back(step);
  if (step == "UpdatePlayer") {
    f.clear_step = GetStageClearStep();
    g_before = g_player.y;
    if (g_notes.size() == 15) g_player.score = 4000000;  // an extend is due
  } else if (step == "UpdateBulletCancel") {
    f.player_moved = g_player.y - g_before;
    f.lives_after_player = g_player.lives;
    g_before = g_enemy_bullets[0].centre_y;
  } else if (step == "UpdateSlowMotion") {
    f.bullet_moved = g_enemy_bullets[0].centre_y - g_before;
  }
}

class StageClearFreezeTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    g_config = DefaultConfig();
    ResetPlayObjects();
    AddEnemyBulletCount(-GetEnemyBulletsOnScreen());
    g_flags.CurrentScene = kSceneGamePlay;
    g_flags.DifficultyMode = 1;
    SetPlayerFighter(0, 0);
    g_notes.clear();
  }
  void TearDown() override {
    SetFrameStepHook(nullptr);
    PlayTest::TearDown();
  }
};

TEST_F(StageClearFreezeTest, OnlyThePlayerHoldsOnceThePanelIsUp) {
  const int frames = 30;
  fake().quit_after_pumps = frames + 1;
  SetFrameStepHook(OnStep);
  RunGamePlayScene();
  SetFrameStepHook(nullptr);
  ASSERT_GE(g_notes.size(), static_cast<size_t>(frames));

  const std::vector<std::string> updates = {
      "UpdateEnemies",      "UpdatePlayerShots",  "UpdateExplosions",   "UpdateItems",
      "UpdateScorePopups",  "UpdatePlayer",       "UpdateBulletCancel", "UpdateEnemyBullets",
      "UpdateSlowMotion"};
  const int lives = g_notes[0].lives_after_player;
  for (int i = 0; i < frames; ++i) {
    const FrameNote& f = g_notes[static_cast<size_t>(i)];
    // Every update still runs, in its order, and the sequence after the draws.
    std::vector<std::string> seen;
    for (const std::string& s : f.steps)
      if (s.rfind("Update", 0) == 0 && s != "UpdatePauseMenu" && s != "UpdateFade" &&
          s != "UpdateStageTitle" && s != "UpdateBossWarning" && s != "UpdateStageClear")
        seen.push_back(s);
    EXPECT_EQ(seen, updates) << "frame " << i + 1;
    auto drawn = std::find(f.steps.begin(), f.steps.end(), "DrawPauseMenu");
    ASSERT_NE(drawn, f.steps.end()) << "frame " << i + 1;
    EXPECT_EQ(*(drawn + 1), "UpdateStageClear") << "frame " << i + 1;
    EXPECT_NEAR(f.bullet_moved, 1.0, 1e-9) << "frame " << i + 1;

    // Step 0 (the wait) still lets the fighter fly in; from step 1 it holds.
    if (i < 10) {
      EXPECT_EQ(f.clear_step, 0) << "frame " << i + 1;
      EXPECT_LT(f.player_moved, 0.0) << "frame " << i + 1;
    } else {
      EXPECT_GE(f.clear_step, 1) << "frame " << i + 1;
      EXPECT_EQ(f.player_moved, 0.0) << "frame " << i + 1;
    }
    // The extends are checked before the hold, so frozen frames still give them.
    EXPECT_EQ(f.lives_after_player, lives + (i >= 14 ? 1 : 0)) << "frame " << i + 1;
  }
}

}  // namespace
