// Stand-ins for the title, the main menu, the select screens and the config
// screen until they are built: the title starts an arcade game at once.
#include "screens/hud.h"
#include "screens/scenes.h"
#include "shell/game_flags.h"

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
int RunConfigScene() { return BackToTitle(); }
int RunModeSelectScene() { return BackToTitle(); }
int RunFighterSelectScene() { return BackToTitle(); }
int DrawDemoOverlay() { return 0; }
