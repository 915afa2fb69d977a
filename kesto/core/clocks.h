// The library's clocks and the timed wait that keeps the message pump running.
// Time comes from platform/clock.h, so tests run on a manual clock.
#pragma once

#include <cstdint>

// What start-up and window creation measured about the clocks.
struct ClockInputs {
  int32_t tsc_measured = 0;  // the time-stamp counter was measured
  uint64_t tsc_ticks_per_500ms = 0;
  int32_t perf_counter_present = 0;
  int64_t perf_counter_frequency = 0;
  int32_t library_started = 0;  // LibraryStarted
};

ClockInputs& GetClockInputs();

// Milliseconds, wrapping at 2^32. Choice 1 reads the time-stamp counter when
// it was measured and the library is started; otherwise the multimedia clock.
uint32_t ReadMillisecondClockU32(int clock_choice);
// Microseconds: the time-stamp counter (choice 1, as above), else the
// performance counter when present, else the multimedia clock × 1000.
int64_t ReadMicrosecondClock(int clock_choice);

// The pump the timed wait runs: the public PumpFrameMessages unless a test or
// an embedding installs another. nullptr restores the default.
using SleepPumpFunction = int (*)();
void SetSleepPumpForTesting(SleepPumpFunction pump);

// How close to its end a clock wait stops sleeping whole milliseconds, and
// the short sleeps it takes from there: the millisecond clock may tick at
// any point of the millisecond a coarse sleep ends in.
inline constexpr int kFineWaitMilliseconds = 2;
inline constexpr uint64_t kFineWaitStepNanoseconds = 100000;

// The bodies behind the public entry points (declared in entry_bodies.h):
//   int ReadMillisecondClockBody(int clock_choice);
//   int ReadLocalClockBody(int* date_six_ints);
//   int SleepWithPumpBody(int milliseconds);
//   int WaitForMillisecondClockBody(int clock_choice, int since, int milliseconds);
