// The CONFIG screen (scene 5): button assignment, options, RESET CONFIG,
// RESET RANKING and RETURN.
#pragma once

#include <cstdint>

inline constexpr int kConfigItemReturn = 12;
inline constexpr int kConfigItemResetConfig = 10;
inline constexpr int kConfigItemResetRanking = 11;

// Cleared whenever the screen is left.
struct ConfigScreenState {
  int32_t lock_frames;        // while > 0 the two resets do nothing
  int32_t hold_frames;        // shot held on RESET RANKING
  int32_t config_ok_frames;   // "OK" beside RESET CONFIG
  int32_t ranking_ok_frames;  // "OK" beside RESET RANKING
};
extern ConfigScreenState g_config_screen;

struct ConfigSceneState {
  int32_t cursor;  // 0..12
  int32_t frames;  // frames since the scene began: RETURN's shot guard
};

// Texts and current values of every item.
int DrawConfigItems();
// The text shown for a button mask, an on/off switch and a bullet colour;
// "?" for a value that has none.
const char* ButtonLabel(int32_t mask);
const char* SwitchLabel(int32_t value);
const char* BulletColorLabel(int32_t value);

void EnterConfig(ConfigSceneState& config);
void StepConfig(ConfigSceneState& config);
