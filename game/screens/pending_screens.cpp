// Stand-ins for the screens, HUD and saved files until they are built: the
// title starts an arcade game at once, every other screen goes back to the
// title, files are not read (defaults only) and overlays draw nothing.
#include "screens/config.h"
#include "screens/hud.h"
#include "screens/overlays.h"
#include "screens/ranking.h"
#include "screens/replay.h"
#include "screens/save_data.h"
#include "screens/scenes.h"
#include "shell/game_flags.h"

GameConfig g_config{};
SaveData g_save_data{};
ContinueScreenState g_continue_screen{};

int LoadConfig() {
  g_config = GameConfig{16, 32, 64, 128, 1, 100, 1, 1, 1, 0, 0};
  return 0;
}

int LoadSaveData() {
  g_save_data.credits = 0;
  return 0;
}
int LoadSecretChar() { return 0; }
int LoadSecretStage() { return 0; }
int SetSecretStageFlag(int op) {
  if (op == 0 || op == 1) g_save_data.secret_stage_flag = op;
  return g_save_data.secret_stage_flag;
}

int LoadScores() { return 0; }
int32_t GetTopScore(int mode) { return (mode >= 0 && mode <= 3) ? 100000 : 0; }

int ClearReplayBuffer() { return 0; }
int FillReplayHeader() { return 0; }
int ReadReplayFile(uint32_t*, int) { return -1; }

static int BackToTitle() {
  g_flags.CurrentScene = kSceneBoot;
  return 0;
}

int RunTitleScene() {
  g_flags.sel_flag = 0;
  g_flags.DifficultyMode = 1;
  g_flags.CurrentScene = kSceneGamePlay;
  return 0;
}
int RunMainMenuScene() { return BackToTitle(); }
int RunStageSelectScene() { return BackToTitle(); }
int RunReplayListScene() { return BackToTitle(); }
int RunConfigScene() { return BackToTitle(); }
int RunModeSelectScene() { return BackToTitle(); }
int RunEndingScene() { return BackToTitle(); }
int RunGameOverScene() { return BackToTitle(); }
int RunReplaySaveScene() { return BackToTitle(); }
int RunRankingScene() { return BackToTitle(); }
int RunNameEntryScene() { return BackToTitle(); }
int RunFighterSelectScene() { return BackToTitle(); }

int StartFade(int) { return 0; }
int UpdateFade() { return 0; }
int DrawFade() { return 0; }
int ResetFade() { return 0; }
int StartStageTitle() { return 0; }
int UpdateStageTitle() { return 0; }
int DrawStageTitle() { return 0; }
int ResetStageTitle() { return 0; }
int StartBossWarning() { return 0; }
int UpdateBossWarning() { return 0; }
int DrawBossWarning() { return 0; }
int ResetBossWarning() { return 0; }
int UpdatePauseMenu() { return 0; }
int DrawPauseMenu() { return 0; }
int ResetPauseMenu() { return 0; }

// Until the continue screen exists, losing the last life ends the game.
int RunContinueScreen() {
  if (g_continue_screen.active == 1) g_flags.CurrentScene = kSceneGameOver;
  return 0;
}

int ResetHud() { return 0; }
int DrawModeName() { return 0; }
int DrawScore(int) { return 0; }
int DrawLifeIcons(int) { return 0; }
int DrawBombIcons(int, int) { return 0; }
int DrawItemCounter(int) { return 0; }
int DrawBossGauge(int, int, int) { return 0; }
int DrawDemoOverlay() { return 0; }
int DrawReplayPanel() { return 0; }
int DrawHiScore() { return 0; }
