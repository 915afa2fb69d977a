#include "shell/program.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

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
#include "screens/atomic_file.h"
#include "screens/config.h"
#include "screens/hud.h"
#include "screens/overlays.h"
#include "screens/ranking.h"
#include "screens/save_data.h"
#include "screens/scenes.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/game_play.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/screen_settings.h"
#include "shell/sound_bank.h"

namespace {

void ResetPools() {
  ResetAllPlayerShots();
  ResetAllEnemies();
  ResetAllEnemyBullets();
  ResetAllItems();
  ResetAllExplosions();
  ResetAllScorePopups();
  ResetAllBulletCancelSlots();
}

}  // namespace

bool EnsureSaveFolders() {
  bool ok = true;
  for (const char* dir : {"file", "Replay"}) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir, ec)) {
      std::fprintf(stderr, "cannot create folder %s: saved files will not be kept\n", dir);
      ok = false;
    }
  }
  return ok;
}

int LoadBootData() {
  // A fresh checkout has no save folders (git keeps no empty folders), and
  // every save into them would fail.
  EnsureSaveFolders();
  // Saves cut short by a kill leave their temporary files beside the saved
  // ones; only the copy that runs (the single-instance lock is held) is here.
  RemoveLeftoverTemporaryFiles("file");
  RemoveLeftoverTemporaryFiles("Replay");
  LoadConfig();
  LoadSaveData();
  LoadSecretChar();
  LoadSecretStage();
  LoadAllImages();
  LoadSoundEffects();
  LoadBgmTable();
  LoadScores();
  return 0;
}

int ResetGameObjects() {
  g_flags.GamePaused = 0;
  g_flags.ReplayPlayback = 0;
  g_flags.PausedThisGame = 0;
  g_flags.StageNumber = 0;
  InitPlayerForGame();
  ResetPools();
  ResetHud();
  ResetStageObject();
  ResetBossWarning();
  ResetStageTitle();
  ResetStageClearSequence();
  ResetContinueScreen();
  ResetPauseMenu();
  ResetFade();
  // Slow motion left running by a game quit mid-way would slow the next one.
  ResetSlowMotion();
  return 0;
}

int ResetPlayObjects() {
  InitPlayerForGame();
  ResetPools();
  ResetHud();
  ResetBossWarning();
  ResetStageTitle();
  ResetStageClearSequence();
  ResetContinueScreen();
  ResetSlowMotion();
  return 0;
}

int RunCurrentScene() {
  switch (g_flags.CurrentScene) {
    case kSceneBoot:
      ResetGameObjects();
      g_flags.CurrentScene = kSceneTitle;
      return RunTitleScene();
    case kSceneTitle: return RunTitleScene();
    case kSceneMainMenu: return RunMainMenuScene();
    case kSceneStageSelect: return RunStageSelectScene();
    case kSceneReplayList: return RunReplayListScene();
    case kSceneConfig: return RunConfigScene();
    case kSceneModeSelect: return RunModeSelectScene();
    case kSceneGamePlay: return RunGamePlayScene();
    case kSceneEnding: return RunEndingScene();
    case kSceneGameOver: return RunGameOverScene();
    case kSceneReplaySave: return RunReplaySaveScene();
    case kSceneRanking: return RunRankingScene();
    case kSceneNameEntry: return RunNameEntryScene();
    case kSceneFighterSelect: return RunFighterSelectScene();
    default:
      g_flags.CurrentScene = kSceneBoot;
      return 0;
  }
}

int RunSceneLoop() {
  bool last_pass_shown = true;
  while (PumpFrameMessages() == 0) {
    const uint64_t shown = ShownFrameCount();
    RunCurrentScene();
    // A scene leaves without showing its last frame; what it drew must not
    // appear under the next scene's first one (game over and the ending
    // draw no backdrop).
    ChooseDrawTarget(KESTO_BACK_SCREEN);
    EraseTargetScreen();
    // Two passes in a row that showed nothing: a key held down (Space) sends
    // every scene straight back. Wait a frame's time instead of spinning.
    const bool pass_shown = ShownFrameCount() != shown;
    if (!pass_shown && !last_pass_shown) SleepWithPump(kFrameMilliseconds);
    last_pass_shown = pass_shown;
  }
  return 0;
}

int RunProgram() {
  ReadScreenSettings();
  SetWindowCaption("HALCYRIS");
  if (StartLibrary() == -1) return -1;
  ChooseScreenMode(640, 480, 16, -1);
  ChooseDrawTarget(KESTO_BACK_SCREEN);
  ChooseMusicEngine(1);
  LoadBootData();
  g_flags.DemoReplayIndex = RandomInt(3);
  RunSceneLoop();
  StopLibrary();
  return 0;
}
