#include "shell/sound_bank.h"

#include <cstdint>

#include "kesto/kesto.h"
#include "screens/config.h"
#include "shell/game_flags.h"

int32_t g_sound_bank[kSoundBankSize]{};
const char* g_bgm_table[kBgmTableSize]{};

namespace {

struct SoundFile {
  int number;
  const char* path;
};

constexpr SoundFile kSoundFiles[] = {
    {0, "se/cursor.wav"},       {1, "se/decide.wav"},      {2, "se/decide2.wav"},
    {20, "se/ebaku3.wav"},      {21, "se/ebaku6.wav"},     {22, "se/ebaku1.wav"},
    {23, "se/ebaku4.wav"},      {24, "se/ebaku2.wav"},     {25, "se/ebaku5.wav"},
    {26, "se/my_die.wav"},      {27, "se/my_die2.wav"},    {40, "se/shot.wav"},
    {41, "se/s_shot.wav"},      {42, "se/shot5.wav"},      {43, "se/laser.wav"},
    {44, "se/laser2.wav"},      {45, "se/shot2.wav"},      {46, "se/shot7.wav"},
    {47, "se/shot3.wav"},       {48, "se/shot6.wav"},      {49, "se/shot4.wav"},
    {50, "se/mybomb.wav"},      {51, "se/hit05.wav"},      {52, "se/bomb_s.wav"},
    {53, "se/bomb3.wav"},       {54, "se/bomb4.wav"},      {55, "se/item_score.wav"},
    {56, "se/power_up.wav"},    {57, "se/item_bomb.wav"},  {58, "se/extend.wav"},
    {59, "se/item_score2.wav"}, {60, "se/item_score3.wav"}, {80, "se/guard.wav"},
    {81, "se/e_shot.wav"},      {82, "se/warn.wav"},       {83, "se/mecha1.wav"},
    {84, "se/mecha2.wav"},      {85, "se/l_bonus.wav"},
};

constexpr const char* kBgmFiles[kBgmTableSize] = {
    nullptr,
    "bgm/lockout.mp3",
    "bgm/mp3_truth.mp3",
    "bgm/mp3_the_morning_glow.mp3",
    "bgm/air fortress 4th.mp3",
    "bgm/orbit elevator 2005.mp3",
    "bgm/mp3_pluto.mp3",
    "bgm/global distortion(ea.mp3",
    "bgm/mp3_end_point.mp3",
    "bgm/mp3_energy.mp3",
    "bgm/mp3_storm.mp3",
    "bgm/mp3_north_structure.mp3",
};

}  // namespace

const char* SoundEffectPath(int n) {
  for (const SoundFile& f : kSoundFiles)
    if (f.number == n) return f.path;
  return nullptr;
}

int LoadSoundEffects() {
  for (const SoundFile& f : kSoundFiles) g_sound_bank[f.number] = LoadSoundFileToHandle(f.path);
  return 0;
}

int LoadBgmTable() {
  for (int i = 0; i < kBgmTableSize; ++i) g_bgm_table[i] = kBgmFiles[i];
  return 0;
}

int PlaySoundEffect(int n) {
  if (n < 0 || n >= kSoundBankSize) return 0;
  if (n == 15) return 0;
  if (n == 81 && g_config.enemy_shot_se == 0) return 0;
  if (n == 51 && g_config.beat_se == 0) return 0;
  // The file's volume is unchecked: saturate rather than overflow.
  int64_t volume = int64_t{g_config.se_volume} * 100;
  if (volume > INT32_MAX) volume = INT32_MAX;
  if (volume < INT32_MIN) volume = INT32_MIN;
  AdjustSoundHandleVolume(static_cast<int>(volume), g_sound_bank[n]);
  StartSoundHandle(g_sound_bank[n], 1, 1);
  return 0;
}

int PlayBgm(int n) {
  if (n < 1 || n >= kBgmTableSize || g_bgm_table[n] == nullptr) return -1;
  if (g_flags.DemoMode == 1 || g_config.bgm == 0) return -1;
  if (IsMusicRunning() == 1) HaltMusic();
  if (IsMusicRunning() != 0) return 0;
  return StartMusicFile(g_bgm_table[n], 3);
}
