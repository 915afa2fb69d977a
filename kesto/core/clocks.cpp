#include "core/clocks.h"

#include <algorithm>

#include "core/entry_bodies.h"
#include "core/pump.h"
#include "kesto/kesto.h"
#include "platform/clock.h"
#include "platform/cpu.h"
#include "platform/local_time.h"

namespace {

ClockInputs g_inputs;
SleepPumpFunction g_pump = nullptr;

bool UseTimeStampCounter(int choice) {
  return choice == 1 && g_inputs.tsc_measured && g_inputs.tsc_ticks_per_500ms > 0 &&
         g_inputs.library_started;
}

// value × scale ÷ divisor, rounded to nearest, without overflow.
uint64_t ScaleRounded(uint64_t value, uint64_t scale, uint64_t divisor) {
  const unsigned __int128 v = static_cast<unsigned __int128>(value) * scale + divisor / 2;
  return static_cast<uint64_t>(v / divisor);
}

int RunPump() { return g_pump ? g_pump() : PumpFrameMessages(); }

}  // namespace

ClockInputs& GetClockInputs() { return g_inputs; }

uint32_t ReadMillisecondClockU32(int clock_choice) {
  if (UseTimeStampCounter(clock_choice)) {
    return static_cast<uint32_t>(
        ScaleRounded(platform::ReadTimeStampCounter(), 1000, 2 * g_inputs.tsc_ticks_per_500ms));
  }
  return platform::TimeGetTime();
}

int64_t ReadMicrosecondClock(int clock_choice) {
  if (UseTimeStampCounter(clock_choice)) {
    return static_cast<int64_t>(
        ScaleRounded(platform::ReadTimeStampCounter(), 1000000, 2 * g_inputs.tsc_ticks_per_500ms));
  }
  if (g_inputs.perf_counter_present && g_inputs.perf_counter_frequency > 0) {
    const int64_t counter = platform::QueryPerformanceCounter();
    if (counter >= 0) {
      return static_cast<int64_t>(
          ScaleRounded(static_cast<uint64_t>(counter), 1000000,
                       static_cast<uint64_t>(g_inputs.perf_counter_frequency)));
    }
  }
  return static_cast<int64_t>(platform::TimeGetTime()) * 1000;
}

void SetSleepPumpForTesting(SleepPumpFunction pump) { g_pump = pump; }

int ReadMillisecondClockBody(int clock_choice) {
  return static_cast<int>(ReadMillisecondClockU32(clock_choice));
}

int ReadLocalClockBody(int* date_six_ints) {
  if (!date_six_ints) return -1;
  const platform::LocalTime t = platform::GetLocalTime();
  date_six_ints[0] = t.year;
  date_six_ints[1] = t.month;
  date_six_ints[2] = t.day;
  date_six_ints[3] = t.hour;
  date_six_ints[4] = t.minute;
  date_six_ints[5] = t.second;
  return 0;
}

int SleepWithPumpBody(int milliseconds) {
  // Calls the public entry points: this body runs without the call lock.
  const WaitPumpScope waiting;
  const uint32_t start = static_cast<uint32_t>(ReadMillisecondClock(0));
  if (RunPump() != 0) return 0;
  const uint32_t wait = milliseconds > 0 ? static_cast<uint32_t>(milliseconds) : 0;
  // Elapsed time in u32, so the wait also holds across the clock's wrap.
  while (static_cast<uint32_t>(ReadMillisecondClock(0)) - start < wait) {
    platform::Sleep(1);
    if (RunPump() != 0) return 0;
  }
  return 0;
}

int WaitForMillisecondClockBody(int clock_choice, int since, int milliseconds) {
  // Calls the public clock entry point: this body runs without the call lock,
  // so other threads are not held up while it sleeps.
  constexpr int64_t kLongestSleepMs = 1000;  // a clock that jumps is read again
  for (;;) {
    const int32_t elapsed = static_cast<int32_t>(
        static_cast<uint32_t>(ReadMillisecondClock(clock_choice)) - static_cast<uint32_t>(since));
    if (elapsed >= milliseconds) return 0;
    // The next tick may come at once, so at least left - 1 ms are still to go.
    const int64_t left = static_cast<int64_t>(milliseconds) - elapsed;
    if (left > kFineWaitMilliseconds) {
      platform::Sleep(
          static_cast<uint32_t>(std::min(left - kFineWaitMilliseconds, kLongestSleepMs)));
    } else {
      platform::CurrentClock().SleepNanoseconds(kFineWaitStepNanoseconds);
    }
  }
}
