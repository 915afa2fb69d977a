#include "screens/save_data.h"
#include "screens/text_file.h"

namespace {

// A missing file leaves the flag as it is; any other content than the code
// switches it off.
int LoadUnlockFile(const char* path, int32_t code, int32_t* flag) {
  TextFileReader in(path);
  if (!in.is_open()) return 0;
  int32_t n = 0;
  if (in.ReadIntLine(&n) != kReadStored) n = 0;
  *flag = n == code ? 1 : 0;
  return 0;
}

}  // namespace

int LoadSecretChar() { return LoadUnlockFile(kSecretCharPath, kFighterUnlockCode, &g_save_data.FighterUnlockFlag); }
int LoadSecretStage() {
  return LoadUnlockFile(kSecretStagePath, kStageUnlockCode, &g_save_data.StageUnlockFlag);
}
