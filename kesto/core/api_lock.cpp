#include "core/api_lock.h"

#include <mutex>

namespace {
std::mutex g_lock;
}

void AcquireApiLock() { g_lock.lock(); }
void ReleaseApiLock() { g_lock.unlock(); }
