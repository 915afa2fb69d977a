#include "platform/local_time.h"

#include <time.h>

namespace platform {
namespace {
bool g_fixed_set = false;
LocalTime g_fixed{};
}  // namespace

LocalTime GetLocalTime() {
  if (g_fixed_set) return g_fixed;
  const time_t now = time(nullptr);
  tm t{};
  localtime_r(&now, &t);
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

void SetLocalTimeForTesting(const LocalTime* fixed) {
  g_fixed_set = fixed != nullptr;
  if (fixed) g_fixed = *fixed;
}

}  // namespace platform
