// Processor services: the time-stamp counter and feature tests.
#pragma once

#include <cstdint>

namespace platform {

// A time-stamp counter. The stand-in counts nanoseconds of the library's
// clock (a steady 1 GHz counter), so it follows an installed test clock and
// never jumps between cores.
uint64_t ReadTimeStampCounter();
// Whether the processor has MMX.
bool CpuHasMmx();

}  // namespace platform
