// The main window: creation (with the single-instance check, the memory
// report and the timer test), its styles in window and full-screen mode,
// the mode switch, the window scale, move tracking, the cursor, the caption
// and the window's end.
#pragma once

#include <cstdint>

#include "platform/window/message_queue.h"

constexpr const char* kWindowClassName = "Kesto";

int CreateMainWindow();
int EndMainWindow();
int SetWindowModeFlag(int window_flag);
int ApplyWindowStyle();
int FitWindowToScale();
int TrackWindowMove(intptr_t lparam);
int BringWindowToFront(platform::window::WindowHandle window, int topmost);
int UpdateCursorVisibility(int request);
int ReadMousePoint(int* x, int* y);

// The styles of a row of the style table for the current settings.
void WindowStylesFor(int full_screen, uint32_t* style, uint32_t* ex_style);
// How long a window-mode switch waits for the display's report.
constexpr uint32_t kDisplayChangeWaitMs = 2000;
