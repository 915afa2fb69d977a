// The ending (scene 9): a picture roll scrolls up, then the congratulation
// texts fade in and out; then game over.
#pragma once

#include <cstdint>

struct EndingState {
  int32_t state;  // 0 wait, 1 roll, 2 fade pictures, 3 texts in, 4 hold, 5 texts out, 6 wait, 7 leave
  int32_t counter;
  int32_t background_alpha;
  int32_t roll_alpha;
  int32_t text_alpha;
  int32_t scroll;  // rises by 1 every frame
};

// The state on entry; starts the ending music.
EndingState StartEnding();
// One frame, given this frame's shot counter.
void UpdateEnding(EndingState& s, int shot);
void DrawEnding(const EndingState& s);
