// The cursor over the replay slots, shared by the replay list and the
// replay-save screen: 99 slots and a RETURN entry, seven rows on screen.
#pragma once

#include <cstdint>

#include "screens/replay.h"

inline constexpr int kReplayListReturn = kReplaySlots;  // the index of the RETURN entry
inline constexpr int kReplayListRows = 7;
inline constexpr int kReplayListMaxTop = kReplayListReturn - (kReplayListRows - 1);  // 93

struct ReplayListCursor {
  int32_t index;        // 0..98 a slot, 99 RETURN
  int32_t row;          // row of the cursor on screen, 0..6
  int32_t top;          // entry shown in the first row, 0..93
  int32_t repeat_lock;  // frames until a held direction moves again
};

enum class ReplayListMove { kNone, kUp, kDown, kRight, kLeft, kJumpToReturn };

// Applies one move and restores `index == top + row` with every field in
// range, whatever the cursor held before. Returns 1 when the move should
// sound (the jump to RETURN is silent when already there), else 0.
int ApplyReplayListMove(ReplayListCursor& cursor, ReplayListMove move);

// One frame of navigation: while the repeat lock is 0 reads up, down,
// right, left (held) and bomb (pressed), the first of them moves the cursor
// and locks it for 8 frames; then counts the lock down.
int MoveReplayListCursor(ReplayListCursor& cursor);
