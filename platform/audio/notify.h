// Window messages that audio objects send, often from the output's thread
// (end of a music stream, end of a MIDI play). They go to the program's main
// window through the window layer's thread-safe post; when no SDL window runs
// (tests), they wait here until taken.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/audio/audio_types.h"

namespace platform::audio {

struct Notification {
  WindowId window = nullptr;
  uint32_t message = 0;
  uintptr_t wparam = 0;
  intptr_t lparam = 0;
};

// Thread-safe. A notification without a window is dropped.
void PostNotification(const Notification& notification);
// Removes and returns every waiting notification, oldest first.
std::vector<Notification> TakeNotifications();

}  // namespace platform::audio
