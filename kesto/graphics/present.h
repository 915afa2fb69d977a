// Showing the finished frame: flip in full screen, a (stretched) copy to the
// window otherwise, paced to the vertical blank; and the two probes every
// mode switch runs (copy method, frame time).
#pragma once

#include <cstdint>

struct PresentState {
  bool flip_vsync;
  bool bitblt_preferred;
  int frame_time_ms;
  int pacing_interval_ms;
  int last_blank_wait_ms;
  uint64_t present_count;
  // Clock time spent copying finished frames to the screen (the flip or the
  // copy to the window and its hand-off to the presenter), for benchmarks;
  // the blank waits before a copy are not in it.
  uint64_t present_work_ns;
};

PresentState& GetPresentState();

int PresentFrame();
int PresentByCopy();
void WaitVerticalBlankPaced();
int WaitVerticalBlankFrames(int count);
uint64_t GetPresentCount();
void ResetPresentCount();
int SetFlipVsyncFlag(int flag);
void MeasureCopyMethod();
void MeasureFrameTime();
// The frame-time rule on four trials: the first equal pair's time, or -1.
int FrameTimeFromTrials(const int trials[4]);
