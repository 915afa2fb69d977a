// The library's call lock, held by every public entry point but the timed
// wait. It is not re-entrant: code behind an entry point calls the bodies of
// other operations, never the public entry points.
#pragma once

#include <atomic>
#include <cstdint>

struct ApiLockState {
  std::atomic<int32_t> latch{0};       // short spin latch guarding the flags; 0 free
  std::atomic<int32_t> owner{0};       // 1 while an entry point holds the lock
  std::atomic<int32_t> sub_owner{0};   // set and cleared with the owner flag
  std::atomic<int32_t> waiting{0};     // callers waiting; never below 0
};

// The one lock of the library; lives for the whole run.
ApiLockState& GetApiLockState();

// The four fields as plain values, for window creation to save and restore
// around the clearing of the core state.
struct ApiLockSnapshot {
  int32_t latch, owner, sub_owner, waiting;
};
ApiLockSnapshot SaveApiLockState();
void RestoreApiLockState(const ApiLockSnapshot& saved);

void TakeLockLatch(std::atomic<int32_t>* latch);
void ReleaseLockLatch(std::atomic<int32_t>* latch);

// A waiter logs "長時間停止しっぱなしです ..." every 3 s while the lock stays
// held; nothing times out. Taking the lock again on a thread that holds it
// would wait forever, so it ends the process with a message instead.
void AcquireApiLock();
// With callers waiting, gives them up to 2 s to take the lock over.
void ReleaseApiLock();

// Whether the calling thread holds the lock (for internal checks).
bool ApiLockHeldByThisThread();
