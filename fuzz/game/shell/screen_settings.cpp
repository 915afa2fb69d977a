// screen.txt is the one text the shell reads itself: any bytes must give two
// numbers, never a crash or undefined behaviour.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "shell/screen_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ScreenSettings s = ParseScreenSettings(text);
  // A file that holds no number gives no window and no pacing.
  if (text.find_first_of("0123456789") == std::string_view::npos &&
      (s.window_flag != 0 || s.frame_wait != 0))
    std::abort();
  return 0;
}
