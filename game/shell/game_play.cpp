#include "shell/game_play.h"

#include "kesto/kesto.h"
#include "play/bullet_cancel.h"
#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/explosions.h"
#include "play/items.h"
#include "play/player.h"
#include "play/player_shots.h"
#include "play/score_popups.h"
#include "play/stage.h"
#include "play/stage_clear.h"
#include "screens/config.h"
#include "screens/hud.h"
#include "screens/overlays.h"
#include "screens/ranking.h"
#include "screens/replay.h"
#include "screens/save_data.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/program.h"

namespace {

FrameStepHook g_step_hook = nullptr;

template <typename F>
void Step(const char* name, F&& run) {
  if (g_step_hook) g_step_hook(name);
  run();
}
#define GAME_STEP(call) Step(#call, [] { call(); })

struct StageStart {
  int power;  // 0: unchanged
  int frame;
};

StageStart StageSelectStart(int stage_number) {
  switch (stage_number) {
    case 1: return {1, 0};
    case 2: return {3, 0};
    case 3: case 4: case 5: return {5, 0};
    case 16: return {3, 4940};
    case 17: return {5, 6340};
    case 18: return {5, 6240};
    case 19: return {5, 8900};
    case 20: return {5, 11100};
    case 21: return {5, 0};
    default: return {0, 0};
  }
}

void SetUpGame() {
  RandomSeed = 10;
  SetPlayerCredits(g_save_data.credits);
  SetPlayerHiScore(GetTopScore(g_flags.DifficultyMode));
  if (g_flags.sel_flag == 1) {
    StageStart start = StageSelectStart(g_flags.StageNumber);
    if (start.power != 0) SetPlayerPower(start.power);
  } else {
    g_flags.StageNumber = 1;
    SetPlayerPower(1);
  }
  ClearReplayBuffer();
  StartStage();
  if (g_flags.StageNumber >= 6) SetStageFrame(StageSelectStart(g_flags.StageNumber).frame);
  StartFade(1);
}

void RunFrame() {
  GAME_STEP(RunStageScript);
  if (g_flags.GamePaused == 0) {
    GAME_STEP(UpdateEnemies);
    GAME_STEP(UpdatePlayerShots);
    GAME_STEP(UpdateExplosions);
    GAME_STEP(UpdateItems);
    GAME_STEP(UpdateScorePopups);
    GAME_STEP(UpdatePlayer);
    GAME_STEP(UpdateBulletCancel);
    GAME_STEP(UpdateEnemyBullets);
    GAME_STEP(UpdateSlowMotion);
  }
  GAME_STEP(UpdatePauseMenu);
  GAME_STEP(UpdateFade);
  GAME_STEP(UpdateStageTitle);
  GAME_STEP(UpdateBossWarning);
  GAME_STEP(DrawPlayField);
  GAME_STEP(UpdateStageClear);
  GAME_STEP(RunContinueScreen);
  GAME_STEP(DrawWallOverlay);
  GAME_STEP(HandleSystemKeys);
}

void TidyUpAfterGame() {
  if (g_flags.ReplayPlayback != 1) GAME_STEP(FillReplayHeader);
  int fighter = GetPlayerFighter();
  int variant = GetPlayerVariant();
  GAME_STEP(ResetStageObject);
  GAME_STEP(ResetPlayObjects);
  GAME_STEP(ResetHud);
  if (g_flags.RetryRequested == 1) {
    if (g_flags.sel_flag == 0) g_flags.StageNumber = 1;
    g_flags.CurrentScene = kSceneGamePlay;
    g_flags.RetryRequested = 0;
    g_flags.PausedThisGame = 0;
    SetPlayerFighter(fighter, variant);
  }
  Step("LoadEnemyBulletImages", [] { LoadEnemyBulletImages(g_config.bullet_color); });
}

}  // namespace

void SetFrameStepHook(FrameStepHook hook) { g_step_hook = hook; }

int DrawPlayField() {
  GAME_STEP(DrawAllEnemies);
  GAME_STEP(DrawAllPlayerShots);
  GAME_STEP(DrawAllExplosions);
  GAME_STEP(DrawAllItems);
  GAME_STEP(DrawAllScorePopups);
  GAME_STEP(DrawPlayer);
  GAME_STEP(DrawAllEnemyBullets);
  GAME_STEP(DrawStageClearPanel);
  GAME_STEP(DrawPlayerHud);
  GAME_STEP(DrawAllEnemyGauges);
  GAME_STEP(DrawBossWarning);
  GAME_STEP(DrawStageTitle);
  GAME_STEP(DrawDemoOverlay);
  GAME_STEP(DrawFade);
  GAME_STEP(DrawPauseMenu);
  return 0;
}

int RunGamePlayScene() {
  SetUpGame();
  while (PumpFrameMessages() == 0) {
    RunFrame();
    if (g_flags.CurrentScene != kSceneGamePlay) break;
    Step("EndFrame", [] { EndFrame(g_frame_clock); });
  }
  TidyUpAfterGame();
  return 0;
}
