#include "screens/save_data.h"
#include "screens/text_file.h"

namespace {

// A missing file leaves the flag as it is; any other content than the code
// switches it off. A file that cannot be read says nothing either way, so
// it too leaves the flag (the game never writes these files).
int LoadUnlockFile(const char* path, int32_t code, int32_t* flag) {
  TextFileReader in(path);
  if (in.missing()) return 0;
  int32_t n = 0;
  if (in.is_open() && in.ReadIntLine(&n) != kReadStored) n = 0;
  in.Close();
  if (in.failed()) {
    LogFileProblem("%s: cannot be read (%s); the unlock stays as it was", path, in.failure());
    return 0;
  }
  *flag = n == code ? 1 : 0;
  return 0;
}

}  // namespace

int LoadSecretChar() { return LoadUnlockFile(kSecretCharPath, kFighterUnlockCode, &g_save_data.FighterUnlockFlag); }
int LoadSecretStage() {
  return LoadUnlockFile(kSecretStagePath, kStageUnlockCode, &g_save_data.StageUnlockFlag);
}
