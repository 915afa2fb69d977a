#include "shell/frame.h"

#include <cstdio>
#include <cstdlib>

#include "kesto/kesto.h"
#include "play/player.h"
#include "screens/hud.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"

FrameClock g_frame_clock{};
SlowMotion g_slow_motion{};

namespace {

// Difference of two readings of the wrapping millisecond clock.
int32_t ClockDiff(int32_t now, int32_t then) {
  return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(then));
}

constexpr int kFastForwardAfter = 30;
uint64_t g_shown_frames = 0;
constexpr int kSlowFrameSleep = 15;

}  // namespace

int DrawFps(FrameClock& clock) {
  ++clock.fps_count;
  int32_t now = ReadMillisecondClock(0);
  int64_t diff = ClockDiff(now, clock.fps_start);
  if (std::llabs(diff) > 1000) {
    clock.fps_start = now;
    clock.fps_shown = clock.fps_count;
    clock.fps_count = 0;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(clock.fps_shown));
  DrawText(text, 440, 460, 255, 0, 0);
  DrawText("FPS ", 368, 460, 255, 1, 0);
  return 0;
}

int UpdateReplayFastForward(FrameClock& clock) {
  if (g_flags.ReplayPlayback != 1) {
    clock.skip_counter = 0;
  } else if (ShotButtonState() < 2) {
    clock.shot_held = 0;
    clock.skip_counter = 0;
  } else {
    if (clock.shot_held < INT32_MAX) ++clock.shot_held;
    if (clock.shot_held > kFastForwardAfter) ++clock.skip_counter;
  }
  clock.skip_counter %= 8;
  return 0;
}

int EndFrame(FrameClock& clock) {
  DrawFps(clock);
  UpdateReplayFastForward(clock);
  DrawReplayPanel();
  DrawHiScore();
  if (clock.skip_counter != 0) return 0;
  PresentBackScreen();
  ++g_shown_frames;
  ChooseDrawTarget(KESTO_BACK_SCREEN);
  EraseTargetScreen();
  if (clock.frame_wait == 1) {
    // The library sleeps through the wait; the reads end it on the same
    // millisecond as the game's timing was made with.
    WaitForMillisecondClock(0, clock.last_frame, kFrameMilliseconds);
    while (ClockDiff(ReadMillisecondClock(0), clock.last_frame) < kFrameMilliseconds) {
    }
    clock.last_frame = ReadMillisecondClock(0);
  }
  return 0;
}

uint64_t ShownFrameCount() { return g_shown_frames; }

int StartSlowMotion(int n) {
  if (g_slow_motion.frames_left >= n) return 0;
  g_slow_motion.active = 1;
  g_slow_motion.frames_left = n;
  return 0;
}

int UpdateSlowMotion() {
  if (!g_slow_motion.active) return 0;
  if (g_slow_motion.frames_left >= 1) {
    SleepWithPump(kSlowFrameSleep);
    --g_slow_motion.frames_left;
  } else if (g_slow_motion.frames_left == 0) {
    ResetSlowMotion();
  }
  if (!IsPlayerActive()) ResetSlowMotion();
  return 0;
}

int ResetSlowMotion() {
  g_slow_motion = SlowMotion{};
  return 0;
}
