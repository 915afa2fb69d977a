// Menu helpers shared by the screens, the side panels and the system keys.
#pragma once

#include <cstdint>
#include <cstdio>

// Frames left before a held direction may repeat: up/down, left/right.
struct MenuRepeatDelay {
  int32_t cursor;
  int32_t value;
};
extern MenuRepeatDelay g_menu_repeat;

int DrawMenuBackground(int alpha);
int DrawWallOverlay();
// The pulsing highlight bar at field (x, y); advances *counter.
int DrawMenuHighlight(int32_t* counter, double x, double y);
// Up/down held moves the cursor every 8 frames, wrapping within 0..max.
int MoveMenuCursor(int cursor, int max);
// Left/right held steps the value every repeat_delay frames; clamp != 0 holds
// it to 0..max, otherwise it wraps.
int AdjustMenuValue(int value, int max, int repeat_delay, int clamp);
// Skips white space and '#' comment lines (CR counts as white space); returns
// the last formatted-input result.
int SkipBlankAndComments(std::FILE* file);
int SignOf(int n);
// Escape ends the process (exit code 1); Space, or shot in the attract demo,
// goes back to the title.
int HandleSystemKeys();
int ResetContinueScreen();
