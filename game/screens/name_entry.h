// The name entry after a game (scene 13): three characters picked from a
// grid, stored in the replay buffer for the ranking and the replay file.
#pragma once

#include <cstdint>

// The grid in reading order, 8 columns by 5 rows; '_' is the blank.
inline constexpr char kNameGrid[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,./_";
inline constexpr int kNameGridColumns = 8;
inline constexpr int kNameGridRows = 5;
inline constexpr int kNameGridEnd = 40;  // END, the position after the grid
inline constexpr int kNameCursorCell = 0;  // bmp/etc1.dat 16x16 at (136, 24)

// A name fit to draw: up to three characters, stopping at the first zero or
// line end, each outside the font's set replaced by '_' (drawn as a gap).
// Names read from files may hold any byte.
void CopyNameForDrawing(const char* name, char out[4]);

// "___", "AAA" and "SEX" become "HLX"; other names are kept.
void ReplaceRefusedName(char name[4]);
