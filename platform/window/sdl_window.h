// The SDL side of the window layer: real windows behind the window records
// (title, position, size, full screen as a desktop-sized window, raising),
// and SDL's events turned into queued messages and key state. Reading
// events never runs library code: messages are only queued.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/window/message_queue.h"

namespace platform::window {

// Starts SDL's video and installs the backend and the event source; the
// simulated display takes SDL's desktop size. False (and windows stay
// records only) when SDL's video cannot start.
bool StartSdlWindows();
void StopSdlWindows();

// Turns waiting SDL events into messages (also run on every peek).
void DrainSdlEvents();
// Handles one event as the drain does (tests push events through here or
// through SDL's queue).
void TranslateSdlEvent(const SDL_Event& event);

// Posts a message to the main window from any thread, through SDL's
// thread-safe event queue. Messages posted before the last call to
// DropPendingThreadPosts are discarded when they arrive.
bool PostFromAnyThread(uint32_t message, uintptr_t wparam, intptr_t lparam);
void DropPendingThreadPosts();

// The record whose SDL window has this id, or null.
WindowHandle WindowFromSdlId(uint32_t id);

}  // namespace platform::window
