// Stand-ins for the fades, banners, pause menu, continue screen and HUD until
// they are built: overlays draw nothing.
#include "screens/hud.h"
#include "screens/overlays.h"
#include "shell/game_flags.h"

ContinueScreenState g_continue_screen{};

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
int DrawReplayPanel() { return 0; }
int DrawHiScore() { return 0; }
int DrawDebugCounters() { return 0; }
