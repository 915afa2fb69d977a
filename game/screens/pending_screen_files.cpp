// Stand-ins for the ending and game over until they are built: both scenes
// go back to the title.
#include "screens/scenes.h"
#include "shell/game_flags.h"

int RunEndingScene() {
  g_flags.CurrentScene = kSceneBoot;
  return 0;
}
int RunGameOverScene() {
  g_flags.CurrentScene = kSceneBoot;
  return 0;
}
