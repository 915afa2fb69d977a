#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

struct ClockGuard {
  explicit ClockGuard(platform::Clock* c) { platform::SetClockForTesting(c); }
  ~ClockGuard() { platform::SetClockForTesting(nullptr); }
};

TEST(ManualClock, SleepAdvancesTimeAndRunsHook) {
  platform::ManualClock clock;
  ClockGuard guard(&clock);
  std::vector<uint64_t> seen;
  clock.on_sleep = [&](uint64_t ns) { seen.push_back(ns); };

  const uint32_t start = platform::TimeGetTime();
  platform::Sleep(5);
  platform::Sleep(0);  // a yield does not move time
  EXPECT_EQ(platform::TimeGetTime() - start, 5u);
  EXPECT_EQ(seen, (std::vector<uint64_t>{5000000u, 0u}));
  EXPECT_EQ(platform::QueryPerformanceCounter(), 5 * 10000);
}

TEST(ManualClock, MillisecondClockWrapsAt32Bits) {
  platform::ManualClock clock((uint64_t{1} << 32) * 1000000u - 2000000u);
  ClockGuard guard(&clock);
  const uint32_t before = platform::TimeGetTime();
  clock.AdvanceMilliseconds(5);
  const uint32_t after = platform::TimeGetTime();
  EXPECT_GT(before, after);
  EXPECT_EQ(after - before, 5u);  // differences stay right across the wrap
}

TEST(RealClock, MovesForward) {
  const uint64_t a = platform::CurrentClock().NowNanoseconds();
  const uint64_t b = platform::CurrentClock().NowNanoseconds();
  EXPECT_LE(a, b);
}

}  // namespace
