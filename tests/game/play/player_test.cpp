#include "play/player.h"

#include <vector>

#include "play/play_links.h"
#include "player_fixture.h"

namespace {


TEST_F(PlayerTest, NewGameThenStageStartSetUp) {
  EXPECT_EQ(g_player.active, 1);
  EXPECT_EQ(g_player.lives, 2);
  EXPECT_EQ(g_player.bombs, 3);
  EXPECT_EQ(g_player.power, 1);
  EXPECT_EQ(g_player.guard, 240);
  EXPECT_EQ(g_player.control, 0);
  EXPECT_DOUBLE_EQ(g_player.width, 56.0);

  SetPlayerFighter(0, 0);
  ResetPlayerForStage();
  // The guard a game starts with is the stage start's, not the new game's.
  EXPECT_EQ(g_player.guard, 180);
  EXPECT_DOUBLE_EQ(g_player.x, 292.0);
  EXPECT_DOUBLE_EQ(g_player.y, 560.0);
  EXPECT_DOUBLE_EQ(g_player.vy, -6.0);
  EXPECT_DOUBLE_EQ(g_player.reappear_scale, 1.0);
  EXPECT_EQ(g_player.opt_angle[4], 250.0);
  EXPECT_EQ(g_player.opt_angle[5], 290.0);
}

TEST_F(PlayerTest, FlyInLasts62FramesAndReadsNoInput) {
  g_flags.DemoMode = 1;
  SetPlayerFighter(2, 0);
  ResetPlayerForStage();
  int frames = 0;
  while (g_player.control == 0 && frames < 1000) {
    UpdatePlayer();
    ++frames;
  }
  EXPECT_EQ(frames, 62);
  EXPECT_NEAR(g_player.y, 377.1, 0.01);
  // Only the last frame, on which control comes, runs the later steps.
  EXPECT_EQ(g_player.frame_index, 1);
  EXPECT_EQ(g_player.demo_timer, 1);
}

TEST_F(PlayerTest, ScoreCapIsTestedBeforeTheAddition) {
  g_flags.StageNumber = 2;
  g_player.score = 999999989;
  g_player.stage_scores[2] = 999999989;
  AddScore(5000);
  EXPECT_EQ(g_player.score, 1000004989);
  EXPECT_EQ(g_player.stage_scores[2], 1000004989);
  AddScore(1);
  EXPECT_EQ(g_player.score, kScoreCap);
  AddScore(100);
  EXPECT_EQ(g_player.score, kScoreCap);
}

TEST_F(PlayerTest, StageScoresSkipTrainingAndStayInTheirTenSlots) {
  g_flags.sel_flag = 1;
  g_flags.StageNumber = 3;
  AddScore(700);
  EXPECT_EQ(g_player.score, 700);
  EXPECT_EQ(GetPlayerStageScore(3), 0);
  g_flags.sel_flag = 0;
  g_flags.StageNumber = 21;  // a stage-select number past the slots
  AddScore(50);
  EXPECT_EQ(GetPlayerStageScore(9), 50);
  EXPECT_EQ(GetPlayerStageScore(-1), 0);
  EXPECT_EQ(GetPlayerStageScore(10), 0);
}

TEST_F(PlayerTest, ExtendsComeOneAFrame) {
  g_player.score = 12000000;
  CheckExtends();
  EXPECT_EQ(g_player.lives, 3);
  EXPECT_EQ(g_player.extends_given, 1);
  CheckExtends();
  EXPECT_EQ(g_player.lives, 4);
  CheckExtends();
  EXPECT_EQ(g_player.lives, 4);

  g_player.extends_given = 0;
  g_player.no_extend = 1;
  CheckExtends();
  EXPECT_EQ(g_player.lives, 4);
}

TEST_F(PlayerTest, LifeBonusOnThe101stCallThenEvery50) {
  g_config.auto_guard = 0;
  g_player.lives = 2;
  std::vector<int> award_calls;
  for (int call = 1; call <= 400; ++call) {
    int before = g_player.lives;
    int done = AwardLifeBonus();
    if (g_player.lives < before) award_calls.push_back(call);
    if (done == 1) {
      EXPECT_EQ(call, 152);
      break;
    }
  }
  EXPECT_EQ(award_calls, (std::vector<int>{101, 151}));
  EXPECT_EQ(g_player.score, 5000000);

  g_config.auto_guard = 1;
  g_player.lives = 1;
  g_player.score = 0;
  for (int i = 0; i < 101; ++i) AwardLifeBonus();
  EXPECT_EQ(g_player.score, 2000000);
  EXPECT_EQ(AwardLifeBonus(), 1);
}

TEST_F(PlayerTest, ItemGaugeDrainsEvery5FramesFromThe66thBossFrame) {
  g_player.item_gauge = 2;
  // Outside a boss fight nothing drains and the counters stay 0.
  for (int i = 0; i < 100; ++i) DrainItemGauge();
  EXPECT_EQ(g_player.item_gauge, 2);

  BossFightFlag(1);
  std::vector<int> drops;
  for (int frame = 1; frame <= 80; ++frame) {
    int before = g_player.item_gauge;
    DrainItemGauge();
    if (g_player.item_gauge < before) drops.push_back(frame);
  }
  BossFightFlag(0);
  EXPECT_EQ(drops, (std::vector<int>{66, 71}));
  EXPECT_EQ(g_player.item_gauge, 0);  // never below 0
}

TEST_F(PlayerTest, TallyTakesOnesTensAndHundreds) {
  struct Case {
    int gauge, out_gain, left;
  } cases[] = {{0, 0, 0}, {1, 1, 0}, {11, 1, 10}, {12, 11, 1}, {250, 111, 139}};
  for (const Case& c : cases) {
    g_player.item_gauge = c.gauge;
    int out = 0;
    int done = TallyItemGauge(&out);
    EXPECT_EQ(out, c.out_gain) << c.gauge;
    EXPECT_EQ(g_player.item_gauge, c.left) << c.gauge;
    EXPECT_EQ(done, c.left == 0 ? 1 : 0) << c.gauge;
  }
}

TEST_F(PlayerTest, AutoGuardSpendsABombInsteadOfALife) {
  struct Case {
    int bombs, guard, option, result;
  } cases[] = {{1, 0, 1, 0}, {0, 0, 1, -1}, {1, 5, 1, -1}, {1, 0, 0, -1}};
  for (const Case& c : cases) {
    g_config.auto_guard = c.option;
    g_player.bombs = c.bombs;
    g_player.guard = c.guard;
    g_player.bomb_cooldown = 0;
    EXPECT_EQ(TryAutoGuard(), c.result);
    if (c.result == 0) {
      EXPECT_EQ(g_player.bombs, c.bombs - 1);
      EXPECT_EQ(g_player.guard, 180);
      EXPECT_EQ(g_player.bomb_cooldown, 30);
    } else {
      EXPECT_EQ(g_player.bombs, c.bombs);
    }
  }
  // During playback the replay's own setting rules.
  g_flags.ReplayPlayback = 1;
  g_config.auto_guard = 1;
  g_player.pb_auto_guard = 0;
  EXPECT_EQ(GetAutoBombOption(), 0);
  g_flags.ReplayPlayback = 2;
  g_player.pb_auto_guard = 1;
  EXPECT_EQ(GetAutoBombOption(), 0);
}

TEST_F(PlayerTest, RespawnCountdownReappearsAt25AndRespawnsAt0) {
  StartInControl(0);
  g_player.active = 0;
  g_player.bombs = 0;
  g_player.respawn_countdown = 26;
  UpdateRespawnCountdown();
  EXPECT_EQ(g_player.active, 0);
  UpdateRespawnCountdown();  // reads 25
  EXPECT_EQ(g_player.active, 1);
  EXPECT_EQ(g_player.appear_state, 2);
  for (int i = 0; i < 24; ++i) UpdateRespawnCountdown();
  EXPECT_EQ(g_player.respawn_countdown, 0);
  EXPECT_EQ(g_player.bombs, 3);
  EXPECT_EQ(g_player.guard, 180);
  EXPECT_EQ(g_player.appear_state, 0);

  // The continue screen holds the countdown.
  g_player.respawn_countdown = 10;
  g_continue_screen.active = 1;
  UpdateRespawnCountdown();
  EXPECT_EQ(g_player.respawn_countdown, 10);
}

TEST_F(PlayerTest, DemoEndsInTheRankingAfter2500Frames) {
  g_flags.DemoMode = 1;
  g_flags.DifficultyMode = 2;
  g_player.demo_timer = 2499;
  UpdateDemoTimer();
  EXPECT_EQ(g_player.demo_timer, 0);
  EXPECT_EQ(g_flags.CurrentScene, kSceneRanking);
  EXPECT_EQ(g_flags.RankingModeShown, 2);
}

TEST_F(PlayerTest, CountersClamp) {
  SetPlayerPower(9);
  EXPECT_EQ(g_player.power, 5);
  SetPlayerPower(-2);
  EXPECT_EQ(g_player.power, 1);
  AddPlayerCredits(20000);
  EXPECT_EQ(GetPlayerCredits(), 9999);
  AddPlayerCredits(-30000);
  EXPECT_EQ(GetPlayerCredits(), 0);
  AddPlayerContinues(-3);
  EXPECT_EQ(GetPlayerContinues(), 0);
  SetPlayerHiScore(kScoreCap + 1);
  EXPECT_EQ(GetPlayerHiScore(), 0);
  RaiseGuardTo(100);
  RaiseGuardTo(50);
  EXPECT_EQ(GetPlayerGuardTimer(), 240);
}

}  // namespace
