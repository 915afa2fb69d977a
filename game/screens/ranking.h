// The ranking table (file/score.dat).
#pragma once

#include <cstdint>

// Any failure to read writes the default table.
int LoadScores();
// Rank 1 of a mode's ranking; 0 for a mode outside 0..3.
int32_t GetTopScore(int mode);
