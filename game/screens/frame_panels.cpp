#include <cstdio>

#include "play/input_record.h"
#include "play/player.h"
#include "screens/hud.h"
#include "shell/draw.h"
#include "shell/game_flags.h"

namespace {

struct Number {
  char text[16];
  explicit Number(int n) { std::snprintf(text, sizeof text, "%d", n); }
};

}  // namespace

int DrawReplayPanel() {
  if (g_flags.ReplayPlayback != 1 || g_flags.DemoMode == 1) return -1;
  // The name comes from a replay file: at most three characters, and
  // DrawText draws only codes the font has.
  char name[4];
  GetReplayName(name);
  name[3] = '\0';
  DrawText("PLAYER", -132, 8, 255, 1, 0);
  DrawText(name, -12, 24, 255, 0, 0);
  DrawText("SCORE", -132, 56, 255, 1, 0);
  DrawText(Number(GetReplayRecordedScore()).text, -12, 72, 255, 0, 0);
  return 0;
}

int DrawHiScore() {
  if (g_flags.CurrentScene != kSceneGamePlay || g_flags.ReplayPlayback == 1 ||
      g_flags.sel_flag == 1 || g_flags.DemoMode == 1)
    return -1;
  const int hi = GetPlayerHiScore();
  const int score = GetPlayerScore();
  DrawText("HISCORE", 404, 0, 255, 1, 0);
  DrawText(Number(hi > score ? hi : score).text, 488, 16, 255, 0, 0);
  return 0;
}

int DrawDebugCounters() { return 0; }
