// The shared end of one frame of every menu screen.
#pragma once

// System keys (Escape ends the program, Space goes back to scene 0); then,
// unless `CurrentScene` no longer names `scene`, the side panels, the debug
// counters when asked and the frame end. Returns 1 when the screen's loop
// should leave, else 0.
int FinishScreenFrame(int scene, int draw_debug_counters);
