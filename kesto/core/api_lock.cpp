#include "core/api_lock.h"

#include <cstdio>
#include <cstdlib>

#include "core/app_log.h"
#include "platform/clock.h"

namespace {

ApiLockState g_lock;
thread_local bool t_holds_lock = false;

constexpr uint32_t kLongWaitMs = 3000;
constexpr uint32_t kHandOverMs = 2000;

void LowerWaitingCount() {
  int32_t w = g_lock.waiting.load(std::memory_order_relaxed);
  while (!g_lock.waiting.compare_exchange_weak(w, w > 0 ? w - 1 : 0,
                                               std::memory_order_relaxed)) {
  }
}

void RaiseWaitingCount() {
  const int32_t w = g_lock.waiting.fetch_add(1, std::memory_order_relaxed) + 1;
  if (w <= 0) g_lock.waiting.store(1, std::memory_order_relaxed);
}

bool LockFlagsSet() {
  return g_lock.owner.load(std::memory_order_acquire) != 0 ||
         g_lock.sub_owner.load(std::memory_order_acquire) != 0;
}

}  // namespace

ApiLockState& GetApiLockState() { return g_lock; }

ApiLockSnapshot SaveApiLockState() {
  return {g_lock.latch.load(), g_lock.owner.load(), g_lock.sub_owner.load(),
          g_lock.waiting.load()};
}

void RestoreApiLockState(const ApiLockSnapshot& saved) {
  g_lock.latch.store(saved.latch);
  g_lock.owner.store(saved.owner);
  g_lock.sub_owner.store(saved.sub_owner);
  g_lock.waiting.store(saved.waiting);
}

void TakeLockLatch(std::atomic<int32_t>* latch) {
  unsigned failures = 0;
  for (;;) {
    while (latch->load(std::memory_order_acquire) != 0) platform::Sleep(0);
    if (latch->fetch_add(1, std::memory_order_acq_rel) + 1 == 1) return;
    latch->fetch_sub(1, std::memory_order_acq_rel);
    // Back off a little longer after every lost race.
    if (failures < 64) ++failures;
    for (unsigned i = 0; i < failures * 32; ++i) std::atomic_signal_fence(std::memory_order_seq_cst);
  }
}

void ReleaseLockLatch(std::atomic<int32_t>* latch) {
  latch->fetch_sub(1, std::memory_order_acq_rel);
}

void AcquireApiLock() {
  if (t_holds_lock) {
    // Waiting here would never end: the holder is this very thread.
    static const char kMessage[] = "ライブラリの呼び出しが入れ子になりました\n";
    WriteLog(kMessage);
    std::fputs("kesto: a public entry point was called while its own thread held the call lock\n",
               stderr);
    std::abort();
  }
  for (;;) {
    TakeLockLatch(&g_lock.latch);
    if (g_lock.owner.load(std::memory_order_relaxed) == 0 &&
        g_lock.sub_owner.load(std::memory_order_relaxed) == 0) {
      g_lock.owner.store(1, std::memory_order_relaxed);
      g_lock.sub_owner.store(1, std::memory_order_relaxed);
      ReleaseLockLatch(&g_lock.latch);
      t_holds_lock = true;
      return;
    }
    ReleaseLockLatch(&g_lock.latch);

    RaiseWaitingCount();
    uint32_t t0 = platform::TimeGetTime();
    while (LockFlagsSet()) {
      platform::Sleep(0);
      const uint32_t now = platform::TimeGetTime();
      if (now - t0 > kLongWaitMs) {
        t0 = now;
        char line[128];
        std::snprintf(line, sizeof line, "長時間停止しっぱなしです con:%d consub:%d\n",
                      g_lock.owner.load(std::memory_order_relaxed),
                      g_lock.sub_owner.load(std::memory_order_relaxed));
        WriteLogUnconverted(line);
      }
    }
    LowerWaitingCount();
  }
}

void ReleaseApiLock() {
  TakeLockLatch(&g_lock.latch);
  const bool hand_over = g_lock.owner.load(std::memory_order_relaxed) == 1 &&
                         g_lock.sub_owner.load(std::memory_order_relaxed) == 1 &&
                         g_lock.waiting.load(std::memory_order_relaxed) > 0;
  // A release without a hold must not drive the flags negative: every later
  // caller would wait for them to read 0 forever.
  if (g_lock.owner.load(std::memory_order_relaxed) > 0)
    g_lock.owner.fetch_sub(1, std::memory_order_release);
  if (g_lock.sub_owner.load(std::memory_order_relaxed) > 0)
    g_lock.sub_owner.fetch_sub(1, std::memory_order_release);
  ReleaseLockLatch(&g_lock.latch);
  t_holds_lock = false;
  if (hand_over) {
    const uint32_t t0 = platform::TimeGetTime();
    while (g_lock.waiting.load(std::memory_order_relaxed) > 0 &&
           platform::TimeGetTime() - t0 <= kHandOverMs) {
      platform::Sleep(0);
    }
    platform::Sleep(0);
  }
}

bool ApiLockHeldByThisThread() { return t_holds_lock; }
