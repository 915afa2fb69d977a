// Stand-ins for the ranking, name entry, replay list and replay save screens
// until they are built: each goes back to the title.
#include "screens/scenes.h"
#include "shell/game_flags.h"

static int BackToTitle() {
  g_flags.CurrentScene = kSceneBoot;
  return 0;
}

int RunReplayListScene() { return BackToTitle(); }
int RunReplaySaveScene() { return BackToTitle(); }
int RunRankingScene() { return BackToTitle(); }
int RunNameEntryScene() { return BackToTitle(); }
