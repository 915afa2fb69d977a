#include "platform/cpu.h"

#include "platform/clock.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace platform {

uint64_t ReadTimeStampCounter() { return CurrentClock().NowNanoseconds(); }

bool CpuHasMmx() {
#if defined(__x86_64__) || defined(__i386__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
  return (d & bit_MMX) != 0;
#else
  return false;
#endif
}

}  // namespace platform
