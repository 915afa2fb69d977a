// HUD pieces and the panels drawn at the end of every frame.
#pragma once

#include <cstdint>

// One global record. Whether a boss gauge is wanted is the play field's
// BossGaugeShown: raised when a boss or mid-boss is set up, lowered when it is
// destroyed and when its gauge has slid out.
struct HudState {
  int32_t gauge_plate_offset;  // 0..300
  int32_t gauge_bar_length;    // 0..324
  int32_t gauge_counter;       // +1 per gauge draw
  int32_t demo_counter;        // +1 per demo overlay draw
  int32_t life_counter;        // +1 per life-icon draw
  int32_t item_counter;        // +1 per item-counter draw
  int32_t gauge_phase;         // 0 plate in, 1 bar filling, 2 bar following, 3 plate out
  int32_t score_slide;         // 0..16
  int32_t bomb_slide;          // 0..12
};
extern HudState g_hud;

inline constexpr int kBossGaugeLength = 324;

// Zeroes the record and lowers the boss-gauge flag.
int ResetHud();
// The HUD pieces draw nothing in the attract demo.
int DrawModeName();
int DrawScore(int score);
int DrawLifeIcons(int lives);
int DrawBombIcons(int bombs, int near_bottom);
int DrawItemCounter(int gauge);
// hp and max_hp are the sums over the boss's phases; max_hp 0 draws nothing.
int DrawBossGauge(int hp, int max_hp, int type);
int DrawDemoOverlay();

// Frame-end panels; -1 when not shown.
int DrawReplayPanel();
int DrawHiScore();
// A development display whose switch nothing in the game sets: draws nothing.
int DrawDebugCounters();
