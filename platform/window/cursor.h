// The mouse cursor: a display count as the classic desktop keeps it (shown
// while the count is 0 or more), and the cursor position on the desktop.
#pragma once

namespace platform::window {

// Raises or lowers the display count by one; returns the new count.
int ShowCursor(bool show);
int CursorDisplayCount();
// Lowers the count until the cursor is hidden.
void HideCursor();
// The cursor position in desktop coordinates.
void GetCursorPosition(int* x, int* y);
void ResetCursorForTesting();

}  // namespace platform::window
