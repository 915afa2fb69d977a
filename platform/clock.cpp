#include "platform/clock.h"

#include <sched.h>
#include <time.h>

#include <cstdlib>

namespace platform {
namespace {

class RealClock : public Clock {
 public:
  uint64_t NowNanoseconds() override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
  }
  void SleepNanoseconds(uint64_t ns) override {
    timespec ts{static_cast<time_t>(ns / 1000000000u), static_cast<long>(ns % 1000000000u)};
    while (nanosleep(&ts, &ts) != 0) {
    }
  }
  void YieldProcessor() override { sched_yield(); }
};

RealClock g_real_clock;
Clock* g_clock = &g_real_clock;

uint32_t OffsetMs() {
  static const uint32_t offset = [] {
    const char* env = std::getenv("KESTO_CLOCK_OFFSET_MS");
    return env ? static_cast<uint32_t>(std::strtoull(env, nullptr, 10)) : 0u;
  }();
  return offset;
}

}  // namespace

void ManualClock::SleepNanoseconds(uint64_t ns) {
  now_ns_ += ns;
  ++sleeps_;
  if (on_sleep) on_sleep(ns);
}

void ManualClock::YieldProcessor() {
  ++sleeps_;
  ++yields_;
  if (on_sleep) on_sleep(0);
}

Clock& CurrentClock() { return *g_clock; }

void SetClockForTesting(Clock* clock) { g_clock = clock ? clock : &g_real_clock; }

uint32_t TimeGetTime() {
  return static_cast<uint32_t>(g_clock->NowNanoseconds() / 1000000u) + OffsetMs();
}

int64_t QueryPerformanceFrequency() { return 10000000; }

int64_t QueryPerformanceCounter() { return static_cast<int64_t>(g_clock->NowNanoseconds() / 100u); }

void Sleep(uint32_t milliseconds) {
  if (milliseconds == 0) {
    g_clock->YieldProcessor();
  } else {
    g_clock->SleepNanoseconds(static_cast<uint64_t>(milliseconds) * 1000000u);
  }
}

}  // namespace platform
