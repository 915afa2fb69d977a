#include "screens/replay_file.h"

#include <climits>
#include <cstring>
#include <string>

#include "kesto/kesto.h"
#include "play/input_record.h"
#include "play/player.h"
#include "screens/atomic_file.h"
#include "screens/config.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"

ReplayBuffer g_replay_buffer{};

namespace {

bool IsButtonMask(int32_t v) { return v >= 16 && v <= 2048 && (v & (v - 1)) == 0; }
bool Within(int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; }

// The file of list slot `slot` (file number slot + 1); empty when there is none.
std::string SlotPath(int slot) {
  std::string path;
  if (slot < 0 || slot == INT_MAX) return path;
  BuildReplayPath(path, slot + 1);
  return path;
}

}  // namespace

bool ReplayHeaderInRange(const ReplayHeader& header) {
  const int32_t* w = header.words;
  const int32_t stage = w[kReplayWordStage];
  return Within(w[kReplayWordMode], 0, 3) && Within(w[kReplayWordFighter], 0, 4) &&
         (Within(stage, 1, 7) || Within(stage, 16, 21)) && Within(w[kReplayWordAutoGuard], 0, 1) &&
         Within(w[kReplayWordStageSelect], 0, 1) && Within(w[kReplayWordVariant], 0, 1) &&
         Within(w[kReplayWordBulletColor], 0, 4) && IsButtonMask(w[kReplayWordShotMask]) &&
         IsButtonMask(w[kReplayWordBombMask]) && IsButtonMask(w[kReplayWordFullAutoMask]);
}

void ReadReplayHeaderFrom(TextFileReader& in, ReplayListEntry* entry) {
  *entry = ReplayListEntry{};
  // A file cut short anywhere in its name or header is as unreadable as one
  // holding a letter: an empty file from a failed save must not be listed.
  bool read = in.ReadShortLine(entry->name);
  for (int i = 0; read && i < kReplayHeaderWords; ++i) {
    read = in.ReadIntLine(&entry->header.words[i]) == kReadStored;
  }
  SanitizeName(entry->name);
  entry->valid = read && ReplayHeaderInRange(entry->header) ? 1 : 0;
}

int ReadReplayInputsFrom(TextFileReader& in, uint32_t* destination) {
  char name[4] = {};
  if (!in.ReadShortLine(name)) return -1;
  in.SkipBlankAndComments();
  for (int i = 0; i < kReplayHeaderWords; ++i) {
    int32_t scratch = 0;
    if (in.ReadIntLine(&scratch) != kReadStored) return -1;
  }
  // Words past the end of a short or damaged file keep what they held.
  for (int i = 0; i < kReplayInputWords; ++i) {
    int32_t word = 0;
    if (in.ReadIntLine(&word) != kReadStored) return -1;
    destination[i] = static_cast<uint32_t>(word);
  }
  return 0;
}

int BuildReplayPath(std::string& path, int n) {
  if (n < 0) return -1;
  path += "Replay/replay";
  path += std::to_string(n);
  path += ".dat";
  return 0;
}

namespace {

// What the replay already in a slot allows a save to do with it: a replay
// that reads whole is replaced, as the player chose that slot; a damaged one
// is kept as <name>.bad first; one that cannot be read is never replaced,
// since it may be whole.
bool MaySaveOver(const std::string& path) {
  bool whole = false;
  bool unreadable = false;
  std::string why;
  {
    TextFileReader in(path.c_str());
    if (in.missing()) return true;
    ReplayListEntry entry;
    if (in.is_open()) ReadReplayHeaderFrom(in, &entry);
    unreadable = in.failed();
    why = in.failure();
    whole = !unreadable && entry.valid == 1;
  }
  if (whole) {
    // The header reads; so must every input word.
    static uint32_t scratch[kReplayInputWords];
    TextFileReader in(path.c_str());
    whole = ReadReplayInputsFrom(in, scratch) == 0;
    unreadable = in.failed();
    why = in.failure();
  }
  if (unreadable) {
    LogFileProblem(
        "%s: not saved: the replay already there cannot be read (%s), so it is left as it is",
        path.c_str(), why.c_str());
    return false;
  }
  SetSaveGuard(path.c_str(), whole ? SaveGuard::kReplace : SaveGuard::kKeepDamagedAsBad);
  return true;
}

}  // namespace

int WriteReplayFile(const ReplayBuffer& buffer, int slot) {
  const std::string path = SlotPath(slot);
  if (path.empty()) return -1;
  if (!MaySaveOver(path)) return -1;
  AtomicFileWriter out(path.c_str());
  if (!out.ok()) return -1;
  // The name is written as it stands, never as a format.
  out.Append(std::string_view(buffer.name, strnlen(buffer.name, 3)));
  out.Append("\n");
  for (int32_t w : buffer.header.words) out.AppendInt(w, '\n');
  for (uint32_t w : buffer.inputs) out.AppendInt(static_cast<int32_t>(w), '\n');
  return out.Commit() ? 0 : -1;
}

int ReadReplayHeader(ReplayListEntry* entry, int slot) {
  *entry = ReplayListEntry{};
  const std::string path = SlotPath(slot);
  if (path.empty()) return -1;
  TextFileReader in(path.c_str());
  const bool opened = in.is_open();
  if (opened) ReadReplayHeaderFrom(in, entry);
  in.Close();
  if (in.failed()) {
    LogFileProblem("%s: cannot be read (%s); listed as empty", path.c_str(), in.failure());
    *entry = ReplayListEntry{};
  }
  return opened ? 0 : -1;
}

int ReadReplayFile(uint32_t* destination, int index) {
  const std::string path = SlotPath(index);
  if (path.empty()) return -1;
  TextFileReader in(path.c_str());  // closed on every way out
  if (in.missing()) return -1;
  const int result = in.is_open() ? ReadReplayInputsFrom(in, destination) : -1;
  in.Close();
  if (in.failed()) {
    LogFileProblem("%s: cannot be read (%s)", path.c_str(), in.failure());
    return -1;
  }
  if (result != 0) LogFileProblem("%s: damaged or cut short", path.c_str());
  return result;
}

int ReplayFileExists(int number) {
  std::string path;
  if (BuildReplayPath(path, number) != 0) return -1;
  // Only a file that opens as a regular file counts: a FIFO in its place
  // would otherwise hold the title until something wrote to it.
  TextFileReader in(path.c_str());
  return in.is_open() ? number : -1;
}

int ClearReplayBuffer() {
  std::memset(&g_replay_buffer, 0, sizeof g_replay_buffer);
  return 0;
}

int FillReplayHeader() {
  ReplayHeader& h = g_replay_buffer.header;
  h = ReplayHeader{};
  int32_t* w = h.words;
  w[kReplayWordMode] = g_flags.DifficultyMode;
  w[kReplayWordFighter] = GetPlayerFighter();
  w[kReplayWordScore] = GetPlayerScore();
  w[kReplayWordStage] = g_flags.StageNumber;
  w[kReplayWordMisses] = GetPlayerTotalMisses();
  w[kReplayWordAutoGuard] = g_config.auto_guard;
  w[kReplayWordStageSelect] = g_flags.sel_flag;
  w[kReplayWordVariant] = GetPlayerVariant();
  w[kReplayWordBulletColor] = g_config.bullet_color;
  w[kReplayWordContinues] = GetPlayerContinues();
  for (int stage = 1; stage <= 5; ++stage) w[kReplayWordStageScore1 + stage - 1] = GetPlayerStageScore(stage);
  w[kReplayWordShotMask] = g_config.shot_mask;
  w[kReplayWordBombMask] = g_config.bomb_mask;
  w[kReplayWordFullAutoMask] = g_config.full_auto_mask;
  int date[6] = {};
  ReadLocalClock(date);
  for (int i = 0; i < 6; ++i) w[kReplayWordDate + i] = date[i];
  CopyReplayInput(g_replay_buffer.inputs);
  return 0;
}

int SetReplayName(const char* name) {
  if (name == nullptr) return -1;
  std::memset(g_replay_buffer.name, 0, sizeof g_replay_buffer.name);
  std::memcpy(g_replay_buffer.name, name, strnlen(name, 3));
  return 0;
}

int StartReplayPlayback(const ReplayListEntry& entry, int slot) {
  const int32_t* w = entry.header.words;
  // Mode, stage and fighter index the game's tables.
  if (entry.valid != 1 || !ReplayHeaderInRange(entry.header)) {
    LogFileProblem("replay %d: header out of range, not played", slot + 1);
    return -1;
  }
  g_flags.DifficultyMode = w[kReplayWordMode];
  if (w[kReplayWordStageSelect] == 1) {
    g_flags.sel_flag = 1;
    g_flags.StageNumber = w[kReplayWordStage];
  } else {
    g_flags.sel_flag = 0;
  }
  g_flags.ReplayPlayback = 1;
  LoadEnemyBulletImages(w[kReplayWordBulletColor]);
  LoadReplayIntoPlayer(entry, slot);
  g_flags.CurrentScene = kSceneGamePlay;
  return 0;
}
