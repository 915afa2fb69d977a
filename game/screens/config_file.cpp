#include <cstdint>
#include <cstring>

#include "screens/atomic_file.h"
#include "screens/config_file.h"
#include "screens/text_file.h"

GameConfig g_config{};

namespace {

// The file keeps the fields in this order, which is not the record's.
struct FileField {
  int32_t GameConfig::*field;
  int32_t fallback;  // stored when the value is missing, not a number or out of range
  bool (*valid)(int32_t);
};

bool IsButtonMask(int32_t v) { return v >= 16 && v <= 2048 && (v & (v - 1)) == 0; }
bool IsSwitch(int32_t v) { return v == 0 || v == 1; }
bool IsVolume(int32_t v) { return v >= 0 && v <= 100; }
bool IsColour(int32_t v) { return v >= 0 && v <= 4; }
bool Anything(int32_t) { return true; }

// The two sound switches fall back to 0 although their defaults are 1.
constexpr FileField kFileOrder[] = {
    {&GameConfig::shot_mask, 16, IsButtonMask},
    {&GameConfig::bomb_mask, 32, IsButtonMask},
    {&GameConfig::full_auto_mask, 64, IsButtonMask},
    {&GameConfig::pause_mask, 128, IsButtonMask},
    {&GameConfig::auto_guard, 1, IsSwitch},
    {&GameConfig::se_volume, 100, IsVolume},
    {&GameConfig::bgm, 1, IsSwitch},
    {&GameConfig::spare, 0, Anything},
    {&GameConfig::bullet_color, 0, IsColour},
    {&GameConfig::enemy_shot_se, 0, IsSwitch},
    {&GameConfig::beat_se, 0, IsSwitch},
};

}  // namespace

GameConfig DefaultConfig() {
  GameConfig c{};
  c.shot_mask = 16;
  c.bomb_mask = 32;
  c.full_auto_mask = 64;
  c.pause_mask = 128;
  c.auto_guard = 1;
  c.se_volume = 100;
  c.bgm = 1;
  c.enemy_shot_se = 1;
  c.beat_se = 1;
  c.spare = 0;
  c.bullet_color = 0;
  return c;
}

int ReadConfigFrom(TextFileReader& in, GameConfig* config) {
  // A value cut off by the end of the file takes its fallback too: an empty
  // or short file must never leave a button unassigned.
  int damaged = 0;
  for (const FileField& f : kFileOrder) {
    int32_t v = 0;
    if (in.ReadInt(&v) != kReadStored || !f.valid(v)) {
      v = f.fallback;
      ++damaged;
    }
    config->*f.field = v;
  }
  return damaged;
}

int LoadConfig() {
  TextFileReader in(kConfigPath);
  if (in.missing()) {
    SetSaveGuard(kConfigPath, SaveGuard::kReplace);
    ResetConfig();
    return 0;
  }
  GameConfig read = g_config;
  const int damaged = in.is_open() ? ReadConfigFrom(in, &read) : 0;
  in.Close();
  if (in.failed()) {
    LogFileProblem(
        "%s: cannot be read (%s); the default settings are used for this run, and the file is "
        "kept as it is and not saved over",
        kConfigPath, in.failure());
    SetSaveGuard(kConfigPath, SaveGuard::kNeverReplace, in.failure());
    g_config = DefaultConfig();
    return 0;
  }
  g_config = read;
  if (damaged != 0) {
    // Read with fallbacks and left as it is; the config screen's next save
    // keeps it as config.dat.bad before replacing it.
    LogFileProblem("%s: damaged (%d of 11 values missing or out of range); fallbacks used",
                   kConfigPath, damaged);
  }
  SetSaveGuard(kConfigPath, damaged != 0 ? SaveGuard::kKeepDamagedAsBad : SaveGuard::kReplace);
  return 0;
}

int ResetConfig() {
  g_config = DefaultConfig();
  return SaveConfig();
}

int SaveConfig() {
  AtomicFileWriter out(kConfigPath);
  if (!out.ok()) return -1;
  for (const FileField& f : kFileOrder) out.AppendInt(g_config.*f.field, ' ');
  return out.Commit() ? 0 : -1;
}
