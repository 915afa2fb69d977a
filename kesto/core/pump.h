// The per-frame message pump, the main window's procedure and the pause
// that holds drawing and input while the window is inactive.
#pragma once

#include <cstdint>

#include "platform/window/message_queue.h"

intptr_t MainWindowProc(platform::window::WindowHandle window, uint32_t message, uintptr_t wparam,
                        intptr_t lparam);
void WaitWhileInactive();

// Pumps made while one lives are waits inside a frame (a timed wait), not
// the program's frame pumps, for unattended runs' frame counting.
struct WaitPumpScope {
  WaitPumpScope();
  ~WaitPumpScope();
  WaitPumpScope(const WaitPumpScope&) = delete;
  WaitPumpScope& operator=(const WaitPumpScope&) = delete;
};

// The sizing rule of a dragged window edge: keeps the client area's aspect
// equal to the screen's. rect is left, top, right, bottom of the window;
// frame_width/height is what the frame adds to the client area. Returns the
// new window scale (client width / screen width).
double ApplySizingRule(uintptr_t edge, int rect[4], int frame_width, int frame_height,
                       int screen_width, int screen_height);
