#include <cstring>

#include "screens/atomic_file.h"
#include "screens/save_data_file.h"
#include "screens/text_file.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"

SaveData g_save_data{};

namespace {

// Every stored value after the key, in file order, with its masking factor
// and range. Lines 2-47 of the file.
struct StoredValue {
  int32_t* value;
  int32_t factor;
  int32_t low;
  int32_t high;
};
constexpr int kStoredValues = 2 + kProgressModes + kProgressModes * kClearMarkSlots;

int StoredValues(SaveData& d, StoredValue (&out)[kStoredValues]) {
  int n = 0;
  out[n++] = {&d.credits, 5, 0, 9999};
  out[n++] = {&d.secret_stage_flag, 8, 0, 1};
  for (int i = 0; i < kProgressModes; ++i) out[n++] = {&d.StageReachedTable[i], i + 7, 0, 7};
  for (int j = 0; j < kProgressModes * kClearMarkSlots; ++j) {
    out[n++] = {&d.ClearMarkTable[j / kClearMarkSlots][j % kClearMarkSlots], j + 5, 0, 2};
  }
  return n;
}

constexpr int32_t kLowestKey = 12;
constexpr int32_t kKeyLimit = 112;  // keys are 12..111

}  // namespace

bool ReadProgressFrom(TextFileReader& in, SaveData* data, int* bad_line) {
  SaveData& d = *data;
  int32_t v = 0;
  *bad_line = 1;
  if (in.ReadIntLine(&v) != kReadStored) return false;
  const int32_t key = v >> 8;  // the low 8 bits carry nothing
  if (key < kLowestKey || key >= kKeyLimit) return false;
  d.key = key;
  StoredValue values[kStoredValues];
  StoredValues(d, values);
  for (int i = 0; i < kStoredValues; ++i) {
    *bad_line = i + 2;
    if (in.ReadIntLine(&v) != kReadStored) return false;
    const int32_t plain = (v >> 8) - values[i].factor * key;
    if (plain < values[i].low || plain > values[i].high) return false;
    *values[i].value = plain;
  }
  return true;
}

namespace {

// The progress of a new player; the unlock flags come from their own files.
SaveData DefaultProgress() {
  SaveData d{};
  d.FighterUnlockFlag = g_save_data.FighterUnlockFlag;
  d.StageUnlockFlag = g_save_data.StageUnlockFlag;
  d.credits = 3;
  for (int32_t& r : d.StageReachedTable) r = 1;
  return d;
}

}  // namespace

int LoadSaveData() {
  TextFileReader in(kSaveDataPath);
  if (in.missing()) {
    SetSaveGuard(kSaveDataPath, SaveGuard::kReplace);
    ResetSaveData();
    return 0;
  }
  SaveData d = g_save_data;
  int bad_line = 0;
  const bool good = in.is_open() && ReadProgressFrom(in, &d, &bad_line);
  in.Close();
  if (in.failed()) {
    // What is on disk may be the player's progress intact (a passing fault, a
    // permission): play on the defaults and never save over it.
    LogFileProblem(
        "%s: cannot be read (%s); progress starts from the defaults for this run, and the "
        "file is kept as it is and not saved over",
        kSaveDataPath, in.failure());
    SetSaveGuard(kSaveDataPath, SaveGuard::kNeverReplace, in.failure());
    g_save_data = DefaultProgress();
    return 0;
  }
  if (good) {
    SetSaveGuard(kSaveDataPath, SaveGuard::kReplace);
    g_save_data = d;
    return 0;
  }
  // The reset below saves at once; the damaged file goes to data.dat.bad
  // first, or, when it cannot, stays and the defaults live in memory only.
  LogFileProblem("%s: damaged (line %d missing, not a number or out of range); progress reset",
                 kSaveDataPath, bad_line);
  SetSaveGuard(kSaveDataPath, SaveGuard::kKeepDamagedAsBad);
  ResetSaveData();
  return 0;
}

int WriteSaveData() {
  AtomicFileWriter out(kSaveDataPath);
  if (!out.ok()) return -1;
  // Drawn only once the file could be created, as the game's random sequence
  // at boot depends on it.
  const int32_t k = RandomInt(100) + kLowestKey;
  out.AppendInt(int64_t{k} * 256, '\n');
  StoredValue values[kStoredValues];
  StoredValues(g_save_data, values);
  for (const StoredValue& s : values) out.AppendInt((int64_t{k} * s.factor + *s.value) * 256, '\n');
  return out.Commit() ? 0 : -1;
}

int ResetSaveData() {
  g_save_data = DefaultProgress();
  return WriteSaveData();
}

int SetSecretStageFlag(int op) {
  // Watching a replay or the attract demo reach the hidden boss unlocks
  // nothing; only a game played does.
  if (op == 1 && g_flags.ReplayPlayback == 1) return g_save_data.secret_stage_flag;
  if (op == 0 || op == 1) g_save_data.secret_stage_flag = op;
  return g_save_data.secret_stage_flag;
}
