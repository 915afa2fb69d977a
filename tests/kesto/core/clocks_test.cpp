#include "core/clocks.h"

#include <gtest/gtest.h>

#include "core/entry_bodies.h"
#include "kesto/kesto.h"
#include "platform/clock.h"
#include "platform/local_time.h"

namespace {

constexpr uint64_t kMs = 1000000;

class ClocksTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetClockForTesting(&clock_); }
  void TearDown() override {
    platform::SetClockForTesting(nullptr);
    SetSleepPumpForTesting(nullptr);
    GetClockInputs() = ClockInputs{};
  }
  void UseTimeStampCounter() {
    ClockInputs& in = GetClockInputs();
    in.tsc_measured = 1;
    in.tsc_ticks_per_500ms = 500000000;  // the stand-in counter runs at 1 GHz
    in.library_started = 1;
  }
  platform::ManualClock clock_{5000 * kMs};
};

TEST_F(ClocksTest, MillisecondClockChoicesAdvanceAtTheSameRate) {
  UseTimeStampCounter();
  const uint32_t mm0 = static_cast<uint32_t>(ReadMillisecondClockBody(0));
  const uint32_t tsc0 = static_cast<uint32_t>(ReadMillisecondClockBody(1));
  clock_.AdvanceMilliseconds(250);
  EXPECT_EQ(static_cast<uint32_t>(ReadMillisecondClockBody(0)) - mm0, 250u);
  EXPECT_EQ(static_cast<uint32_t>(ReadMillisecondClockBody(1)) - tsc0, 250u);
  // Choice 1 before the library started is the multimedia clock.
  GetClockInputs().library_started = 0;
  EXPECT_EQ(ReadMillisecondClockBody(1), ReadMillisecondClockBody(0));
}

TEST_F(ClocksTest, MicrosecondClockKeepsItsResolutionAfterLongUptimes) {
  // About 146 years of counter: counter × 10^6 would not fit in 64 bits.
  const uint64_t ns = (UINT64_C(1) << 62) + 123456789;
  platform::ManualClock late(ns);
  platform::SetClockForTesting(&late);
  // Rounded to the nearest microsecond.
  auto us_from_ns = [](uint64_t t) { return static_cast<int64_t>((t + 500) / 1000); };
  auto us_from_perf = [](uint64_t t) { return static_cast<int64_t>((t / 100 + 5) / 10); };

  EXPECT_EQ(ReadMicrosecondClock(0), static_cast<int64_t>(platform::TimeGetTime()) * 1000);

  GetClockInputs().perf_counter_present = 1;
  GetClockInputs().perf_counter_frequency = platform::QueryPerformanceFrequency();
  // The performance counter ticks in 100 ns.
  EXPECT_EQ(ReadMicrosecondClock(0), us_from_perf(ns));
  late.Advance(1500);
  EXPECT_EQ(ReadMicrosecondClock(0), us_from_perf(ns + 1500));

  UseTimeStampCounter();
  EXPECT_EQ(ReadMicrosecondClock(1), us_from_ns(ns + 1500));
}

TEST_F(ClocksTest, LocalClockWritesSixFields) {
  const platform::LocalTime fixed{2006, 12, 3, 14, 5, 9};
  platform::SetLocalTimeForTesting(&fixed);
  int date[6] = {};
  EXPECT_EQ(ReadLocalClockBody(date), 0);
  platform::SetLocalTimeForTesting(nullptr);
  const int expected[6] = {2006, 12, 3, 14, 5, 9};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(date[i], expected[i]);
  EXPECT_EQ(ReadLocalClockBody(nullptr), -1);
}

int g_pumps = 0;
int g_quit_on_pump = 0;  // pump number that reports quit; 0 never
int CountingPump() {
  ++g_pumps;
  return g_pumps == g_quit_on_pump ? -1 : 0;
}

TEST_F(ClocksTest, SleepWithPumpWaitsAndKeepsPumping) {
  struct Case {
    const char* name;
    uint64_t start_ms;  // multimedia clock at the call
    int wait_ms;
    int quit_on_pump;
    uint32_t elapsed_ms;
    int pumps;
  };
  const Case cases[] = {
      {"waits the time, pumping every millisecond", 5000, 15, 0, 15, 16},
      {"across the clock's 32-bit wrap", (UINT64_C(1) << 32) - 5, 15, 0, 15, 16},
      {"a closed window returns at once", 5000, 15, 1, 0, 1},
      {"quit during the wait", 5000, 15, 4, 3, 4},
      {"zero and negative waits only pump", 5000, -7, 0, 0, 1},
  };
  SetSleepPumpForTesting(CountingPump);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::ManualClock clock(c.start_ms * kMs);
    platform::SetClockForTesting(&clock);
    g_pumps = 0;
    g_quit_on_pump = c.quit_on_pump;
    const uint32_t t0 = platform::TimeGetTime();
    EXPECT_EQ(SleepWithPump(c.wait_ms), 0);
    EXPECT_EQ(platform::TimeGetTime() - t0, c.elapsed_ms);
    EXPECT_EQ(g_pumps, c.pumps);
  }
}

}  // namespace

namespace {

// The frame wait ends where reading the clock over and over would have
// ended it (the first instant the difference reaches the wait), a little
// after at most, having slept rather than yielded.
TEST_F(ClocksTest, ClockWaitSleepsAndEndsOnTheMillisecondASpinWould) {
  struct Case {
    const char* name;
    uint64_t start_ns;  // multimedia clock at the call
    int since_back_ms;  // since = clock at the call - this
    int wait_ms;
    int clock_choice;
  };
  const Case cases[] = {
      {"a whole frame, part-way into a millisecond", 5000 * kMs + 300000, 0, 17, 0},
      {"the rest of a frame", 5000 * kMs + 999000, 6, 17, 0},
      {"a short wait", 5000 * kMs + 500000, 0, 2, 0},
      {"across the clock's 32-bit wrap", ((UINT64_C(1) << 32) - 7) * kMs + 10, 3, 17, 0},
      {"since ahead of the clock", 5000 * kMs, -4, 17, 0},
      {"on the time-stamp counter", 7000 * kMs + 123456, 1, 17, 1},
      {"already over", 5000 * kMs + 1, 20, 17, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::ManualClock clock(c.start_ns);
    platform::SetClockForTesting(&clock);
    if (c.clock_choice == 1) UseTimeStampCounter();
    const uint32_t now_ms = static_cast<uint32_t>(ReadMillisecondClockBody(c.clock_choice));
    const uint32_t since = now_ms - static_cast<uint32_t>(c.since_back_ms);
    // Where a spin ends: the start of the millisecond the difference first
    // reaches the wait in (or at once). The counter's milliseconds are
    // rounded, so they begin half-way through the multimedia clock's.
    const uint64_t half = c.clock_choice == 1 ? kMs / 2 : 0;
    const int64_t to_go = static_cast<int64_t>(c.wait_ms) - c.since_back_ms;
    const uint64_t spin_end =
        to_go <= 0 ? c.start_ns
                   : ((c.start_ns + half) / kMs + static_cast<uint64_t>(to_go)) * kMs - half;
    EXPECT_EQ(WaitForMillisecondClock(c.clock_choice, static_cast<int>(since), c.wait_ms), 0);
    const uint64_t end = clock.NowNanoseconds();
    EXPECT_GE(end, spin_end);
    EXPECT_LT(end, spin_end + kFineWaitStepNanoseconds + 1);
    EXPECT_EQ(clock.yields(), 0u);
    if (to_go > kFineWaitMilliseconds) {
      // One long sleep, then steps through the last stretch only.
      EXPECT_LE(clock.sleeps(), 1u + 2 * kFineWaitMilliseconds * kMs / kFineWaitStepNanoseconds);
    }
    if (to_go <= 0) {
      EXPECT_EQ(clock.sleeps(), 0u);
    }
    GetClockInputs() = ClockInputs{};
  }
}

}  // namespace
