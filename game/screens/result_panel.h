// The RESULT panel of the replay-save screen, and the texts that the
// ranking, the replay list and the panel show for a result.
#pragma once

#include <cstddef>

#include "screens/replay.h"

// "HEAVEN" ... "ACCEL"; "" for a value outside 0..3.
const char* ModeName(int mode);
// "SOLM", "HOPE", "PEACE", "EDEN" (fighters 3 and 4); "" outside 0..4.
const char* FighterName(int fighter);
// The HUD icon (FighterIconCell) shown for a fighter 0..4.
int FighterIconForRecord(int fighter);
// The stage of a stage-select game: "ST1".."ST5", "BB1".."BB5" for boss
// practice (16-20), "ALL", "ALL!", "???" (21); "" for anything else.
void StageSelectStageText(int stage, char* out, size_t size);

// Draws the panel; rank 1-5, or 6 for a result that did not enter.
int DrawResultPanel(const ReplayBuffer& buffer, int rank);
