// Fighter select (scene 14): one of up to five fighters and its variant,
// then game play.
#pragma once

#include <cstdint>

#include "screens/menu_scene.h"

inline constexpr int kHiddenFighter = 4;  // shown, ranked and marked as fighter 3

// Fighters offered (2, 3 or 4) by the clear marks and the unlock flag.
int CountOfferedFighters();

struct FighterSelectState {
  int32_t phase;        // 1 intro, 2 active, 3 leaving
  int32_t count;        // fighters offered
  int32_t cursor;       // 0..count-1; 4 once the hidden fighter is picked
  int32_t variant;      // 0 or 1
  int32_t intro_frames;
  int32_t frames;       // active frames: animations and the shot guard
  int32_t slide;        // icons slide in from -150
  MenuStripes stripes;
  ScaleRamp panel_y;
  ScaleRamp plate_x;
  ScaleRamp plate_y;
  ScaleRamp portrait;
};

void EnterFighterSelect(FighterSelectState& fighter);
void StepFighterSelect(FighterSelectState& fighter);
