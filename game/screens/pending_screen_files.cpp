// Stand-ins for the saved files, the ending and game over until they are
// built: files are not read (defaults only), both scenes go back to the title.
#include <cstring>

#include "screens/config.h"
#include "screens/ranking.h"
#include "screens/replay.h"
#include "screens/save_data.h"
#include "screens/scenes.h"
#include "shell/game_flags.h"

GameConfig g_config{};
SaveData g_save_data{};
RankingTable g_ranking{};
ReplayBuffer g_replay_buffer{};

GameConfig DefaultConfig() { return GameConfig{16, 32, 64, 128, 1, 100, 1, 1, 1, 0, 0}; }
int LoadConfig() {
  g_config = DefaultConfig();
  return 0;
}
int ResetConfig() {
  g_config = DefaultConfig();
  return 0;
}
int SaveConfig() { return 0; }

int LoadSaveData() {
  g_save_data.credits = 0;
  return 0;
}
int WriteSaveData() { return 0; }
int ResetSaveData() { return 0; }
int LoadSecretChar() { return 0; }
int LoadSecretStage() { return 0; }
int SetSecretStageFlag(int op) {
  if (op == 0 || op == 1) g_save_data.secret_stage_flag = op;
  return g_save_data.secret_stage_flag;
}

int LoadScores() { return 0; }
int ResetScores() { return 0; }
int SaveScores() { return 0; }
int SortRanking(RankingTable&, int) { return kRankNotEntered; }
int32_t GetTopScore(int mode) { return (mode >= 0 && mode <= 3) ? 100000 : 0; }

int BuildReplayPath(std::string& path, int n) {
  if (n < 0) return -1;
  path += "Replay/replay" + std::to_string(n) + ".dat";
  return 0;
}
int WriteReplayFile(const ReplayBuffer&, int) { return -1; }
int ReadReplayHeader(ReplayListEntry* entry, int) {
  *entry = ReplayListEntry{};
  return -1;
}
int ReadReplayFile(uint32_t*, int) { return -1; }
int ReplayFileExists(int) { return -1; }
int ClearReplayBuffer() {
  std::memset(&g_replay_buffer, 0, sizeof g_replay_buffer);
  return 0;
}
int FillReplayHeader() { return 0; }
int SetReplayName(const char* name) {
  std::memcpy(g_replay_buffer.name, name, 3);
  g_replay_buffer.name[3] = '\0';
  return 0;
}
int StartReplayPlayback(const ReplayListEntry&, int) { return -1; }

int RunEndingScene() {
  g_flags.CurrentScene = kSceneBoot;
  return 0;
}
int RunGameOverScene() {
  g_flags.CurrentScene = kSceneBoot;
  return 0;
}
