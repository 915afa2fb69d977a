// The end of every frame of every scene (panels, present, clear, pacing) and
// slow motion.
#pragma once

#include <cstdint>

struct FrameClock {
  int32_t fps_start;     // clock when the current one-second count began
  int32_t last_frame;    // clock read after the previous frame's wait
  int32_t skip_counter;  // 0-7: during replay fast-forward, non-zero frames are not shown
  int32_t shot_held;     // frames shot has been held during playback
  int32_t window_flag;   // from screen.txt
  int32_t frame_wait;    // from screen.txt: 1 paces frames to 17 ms
  int32_t fps_shown;
  int32_t fps_count;
};
extern FrameClock g_frame_clock;

inline constexpr int kFrameMilliseconds = 17;

int EndFrame(FrameClock& clock);
// Frames EndFrame has shown since the program started.
uint64_t ShownFrameCount();
int DrawFps(FrameClock& clock);
int UpdateReplayFastForward(FrameClock& clock);

struct SlowMotion {
  int32_t active;
  int32_t frames_left;
};
extern SlowMotion g_slow_motion;

// Nothing when n or more frames are already left.
int StartSlowMotion(int n);
// Once per unpaused game-play frame: a 15 ms wait per slow frame.
int UpdateSlowMotion();
int ResetSlowMotion();
