// Stand-ins for the saved files, the ending and game over until they are
// built: files are not read (defaults only), both scenes go back to the title.
#include "screens/config.h"
#include "screens/ranking.h"
#include "screens/replay.h"
#include "screens/save_data.h"
#include "screens/scenes.h"
#include "shell/game_flags.h"

GameConfig g_config{};
SaveData g_save_data{};

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
int ReplayFileExists(int) { return 0; }

int RunEndingScene() {
  g_flags.CurrentScene = kSceneBoot;
  return 0;
}
int RunGameOverScene() {
  g_flags.CurrentScene = kSceneBoot;
  return 0;
}
