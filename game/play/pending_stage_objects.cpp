// Stand-ins for the stage, enemies, explosions, score pop-ups and the stage
// clear until they are built: empty pools and a stage that counts its frames
// and starts its music.
#include "play/enemies.h"
#include "play/player.h"
#include "play/stage.h"
#include "play/stage_clear.h"
#include "shell/game_flags.h"
#include "shell/sound_bank.h"

namespace {
int g_stage_frame = 0;
}  // namespace

int UpdateEnemies() { return 0; }
int DrawAllEnemies() { return 0; }
int DrawAllEnemyGauges() { return 0; }
int ResetAllEnemies() { return 0; }
int RunStageScript() {
  if (g_stage_frame == 0 && g_flags.StageNumber >= 1 && g_flags.StageNumber <= 5)
    PlayBgm(g_flags.StageNumber + 1);
  if (g_flags.GamePaused == 0) ++g_stage_frame;
  return 0;
}
int StartStage() {
  g_stage_frame = 0;
  ResetPlayerForStage();
  return 0;
}
int ResetStageObject() {
  g_stage_frame = 0;
  return 0;
}
int GetStageFrame() { return g_stage_frame; }
int SetStageFrame(int frame) {
  g_stage_frame = frame;
  return 0;
}
int GetStageNumber() { return g_flags.StageNumber; }

int StartStageClear() { return 0; }
int IsStageClearSequenceActive() { return 0; }
int UpdateStageClear() { return 0; }
int DrawStageClearPanel() { return 0; }
int ResetStageClearSequence() { return 0; }
