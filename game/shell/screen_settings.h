// screen.txt: the window flag and frame pacing.
#pragma once

#include <string_view>

struct ScreenSettings {
  int window_flag;  // 1 window, 0 full screen
  int frame_wait;   // 1 paces frames to 17 ms; any other value does not
};

// Two integers read as "%d" would: a value that cannot be read is 0, and a
// failed first value stops the second too. Values beyond int saturate.
ScreenSettings ParseScreenSettings(std::string_view text);
// Reads the file; a missing file, or one that cannot be read (said on
// stderr), means full screen with pacing on.
ScreenSettings LoadScreenSettings(const char* path);
// Reads screen.txt into the frame clock and hands the window flag to Kesto.
int ReadScreenSettings();
