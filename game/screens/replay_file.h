// The parts of the replay files' reading that tests and fuzzing drive
// without a file on disk.
#pragma once

#include <cstdint>

#include "screens/replay.h"
#include "screens/text_file.h"

// Whether the header words the game uses as indexes hold values it can play:
// mode, fighter, stage, the switches, the bullet colour and the three masks.
bool ReplayHeaderInRange(const ReplayHeader& header);
// The list's read of a name line and 50 header words (comment lines are not
// skipped); `entry->valid` tells whether all were read and are in range.
void ReadReplayHeaderFrom(TextFileReader& in, ReplayListEntry* entry);
// The full read: name, blank and comment lines, 50 header words, then the
// input words into `destination`. 0 when all 200,000 were read, else -1.
int ReadReplayInputsFrom(TextFileReader& in, uint32_t* destination);
