// The local calendar date and time.
#pragma once

namespace platform {

struct LocalTime {
  int year, month, day, hour, minute, second;
};

LocalTime GetLocalTime();
// Fixes the date GetLocalTime reports (tests); nullptr returns to the real one.
void SetLocalTimeForTesting(const LocalTime* fixed);

}  // namespace platform
