// Mode select (scene 6): HEAVEN, ORIGINAL, HELL or ACCEL.
#pragma once

#include <cstdint>

#include "screens/menu_scene.h"

struct ModeSelectState {
  int32_t phase;         // 1 intro (names slide in), 2 active
  int32_t cursor;        // 0..3
  int32_t frames;        // active frames since the scene began or the last choice
  int32_t slide;         // name slide offset, 260 down to 0
  MenuStripes stripes;
  ScaleRamp plate_x;     // title plate: widens 0.0 -> 1.0
  ScaleRamp plate_y;     // and flattens 6.0 -> 1.0
};

// Starts music 1; the cursor on ORIGINAL.
void EnterModeSelect(ModeSelectState& mode);
void StepModeSelect(ModeSelectState& mode);
