// Sound effects by number and music by number, with the player's settings
// applied at every play.
#pragma once

#include <cstdint>

inline constexpr int kSoundBankSize = 100;
inline constexpr int kBgmTableSize = 12;

extern int32_t g_sound_bank[kSoundBankSize];  // 0: nothing loaded there
extern const char* g_bgm_table[kBgmTableSize];

// The file behind a sound-effect number, or nullptr for an unused number.
const char* SoundEffectPath(int n);

int LoadSoundEffects();
int LoadBgmTable();
// Sets the volume (SE volume x 100) and plays from the start. Number 15 never
// plays; 81 and 51 only with their switches on. Numbers outside 0-99 do nothing.
int PlaySoundEffect(int n);
// Restarts music n (1-11) looped. -1 when refused: n outside 1-11, the attract
// demo, or music switched off; otherwise the music start's own result.
int PlayBgm(int n);
