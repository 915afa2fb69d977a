// Time and sleeping for the library. Everything goes through one replaceable
// clock, so tests run on a manual clock and never wait in real time.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic nanoseconds from an arbitrary origin.
  virtual uint64_t NowNanoseconds() = 0;
  virtual void SleepNanoseconds(uint64_t ns) = 0;
  // A zero-length sleep: give up the processor once.
  virtual void YieldProcessor() = 0;
};

// Time stands still until a sleep or Advance moves it. A hook runs on every
// sleep and yield so a test can inject events at the moment the code waits.
class ManualClock : public Clock {
 public:
  explicit ManualClock(uint64_t start_ns = 0) : now_ns_(start_ns) {}
  uint64_t NowNanoseconds() override { return now_ns_; }
  void SleepNanoseconds(uint64_t ns) override;
  void YieldProcessor() override;
  void Advance(uint64_t ns) { now_ns_ += ns; }
  void AdvanceMilliseconds(uint64_t ms) { now_ns_ += ms * 1000000u; }
  // Called with the requested length (0 for a yield) after time has moved.
  std::function<void(uint64_t ns)> on_sleep;
  // Sleeps and yields together, and the yields alone.
  uint64_t sleeps() const { return sleeps_; }
  uint64_t yields() const { return yields_; }

 private:
  uint64_t now_ns_;
  uint64_t sleeps_ = 0;
  uint64_t yields_ = 0;
};

// The clock in use: the real monotonic clock unless a test installed one.
Clock& CurrentClock();
// Installs a clock (nullptr restores the real one). Not thread-safe; tests
// install before they start anything.
void SetClockForTesting(Clock* clock);

// The multimedia millisecond clock: wraps at 2^32. KESTO_CLOCK_OFFSET_MS in
// the environment shifts it, so a run can start close to the wrap.
uint32_t TimeGetTime();
// The performance counter: 100 ns ticks at a fixed frequency.
int64_t QueryPerformanceFrequency();
int64_t QueryPerformanceCounter();
// Sleep(0) yields; Sleep(n) sleeps about n milliseconds.
void Sleep(uint32_t milliseconds);

}  // namespace platform
