// The title screen (scene 1): waits for a shot press, or starts the attract
// demo when left alone or when pause is held.
#pragma once

#include <cstdint>

struct TitleState {
  int32_t title_frames;  // frames since the scene began
  int32_t blink_frames;  // frames since the scene began or the last accepted press
};

// Stops the music, leaves the demo and clears the counters.
void EnterTitle(TitleState& title);
// One frame between the pump and the frame end: backdrop, texts, the shot
// press and the demo start.
void StepTitle(TitleState& title);
