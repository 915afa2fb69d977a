// Window messages that audio objects send from the output's thread (end of a
// music stream, end of a MIDI play). They wait here until the program's
// message pump takes them and hands each to its window's procedure.
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

// Thread-safe.
void PostNotification(const Notification& notification);
// Removes and returns every waiting notification, oldest first.
std::vector<Notification> TakeNotifications();

}  // namespace platform::audio
