#include "core/api_lock.h"

#include <atomic>
#include <string>
#include <thread>

#include "core_fixture.h"
#include "kesto/kesto.h"

namespace {

using ApiLockTest = LogFixture;

TEST_F(ApiLockTest, TwoThreadsTakeTurns) {
  platform::SetClockForTesting(nullptr);  // real yields between real threads
  constexpr int kRounds = 20000;
  long shared = 0;  // guarded by the call lock only
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  auto worker = [&] {
    for (int i = 0; i < kRounds; ++i) {
      AcquireApiLock();
      if (inside.fetch_add(1) != 0) overlaps.fetch_add(1);
      ++shared;
      inside.fetch_sub(1);
      ReleaseApiLock();
    }
  };
  std::thread a(worker), b(worker);
  a.join();
  b.join();
  EXPECT_EQ(shared, 2L * kRounds);
  EXPECT_EQ(overlaps.load(), 0);
  const ApiLockState& s = GetApiLockState();
  EXPECT_EQ(s.owner.load(), 0);
  EXPECT_EQ(s.sub_owner.load(), 0);
  EXPECT_EQ(s.waiting.load(), 0);
  EXPECT_EQ(s.latch.load(), 0);
}

TEST_F(ApiLockTest, WaiterResumesAfterReleaseAndIsHandedTheLock) {
  platform::SetClockForTesting(nullptr);
  AcquireApiLock();
  std::atomic<bool> got{false};
  std::thread waiter([&] {
    AcquireApiLock();
    got = true;
    ReleaseApiLock();
  });
  while (GetApiLockState().waiting.load() == 0) std::this_thread::yield();
  EXPECT_FALSE(got.load());
  // With a waiter, the release waits for it to see the lock free.
  ReleaseApiLock();
  EXPECT_EQ(GetApiLockState().waiting.load(), 0);
  waiter.join();
  EXPECT_TRUE(got.load());
}

TEST_F(ApiLockTest, LongWaitIsLoggedEveryThreeSecondsWithABareLineFeed) {
  // Another caller holds the lock; this thread waits on the manual clock,
  // each yield moving it by one second, and the holder lets go after 9 s.
  ApiLockState& s = GetApiLockState();
  s.owner = 1;
  s.sub_owner = 1;
  IncreaseLogIndent();
  WriteLog("before ");  // a line left open: the first long-wait line continues it
  int yields = 0;
  clock_.on_sleep = [&](uint64_t ns) {
    if (ns != 0) return;
    clock_.AdvanceMilliseconds(1000);
    if (++yields == 9) {
      s.owner = 0;
      s.sub_owner = 0;
    }
  };
  AcquireApiLock();
  EXPECT_EQ(s.waiting.load(), 0);
  ReleaseApiLock();
  clock_.on_sleep = nullptr;
  EXPECT_EQ(LogBytes(),
            "0:\tbefore 長時間停止しっぱなしです con:1 consub:1\n"
            "8000:\t長時間停止しっぱなしです con:1 consub:1\n");
}

TEST_F(ApiLockTest, EntryPointsRunUnderTheLockAndReleaseIt) {
  EXPECT_EQ(ReadMillisecondClock(0), static_cast<int>(platform::TimeGetTime()));
  EXPECT_FALSE(ApiLockHeldByThisThread());
  EXPECT_EQ(GetApiLockState().owner.load(), 0);
}

TEST_F(ApiLockTest, StrayReleaseDoesNotLockEveryoneOut) {
  ReleaseApiLock();
  EXPECT_EQ(GetApiLockState().owner.load(), 0);
  EXPECT_EQ(GetApiLockState().sub_owner.load(), 0);
  AcquireApiLock();
  ReleaseApiLock();
}

TEST_F(ApiLockTest, SaveAndRestoreKeepTheFields) {
  ApiLockState& s = GetApiLockState();
  s.waiting = 3;
  const ApiLockSnapshot saved = SaveApiLockState();
  s.waiting = 0;
  RestoreApiLockState(saved);
  EXPECT_EQ(s.waiting.load(), 3);
  s.waiting = 0;
}

TEST(ApiLockDeathTest, NestedEntryPointEndsTheProcessInsteadOfHanging) {
  EXPECT_DEATH(
      {
        AcquireApiLock();
        ReadMillisecondClock(0);
      },
      "call lock");
}

}  // namespace
