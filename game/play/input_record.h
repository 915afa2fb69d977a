// Where the fighter's pad word comes from each frame: the pad, recorded into
// the player's input record, or a replay's words played back.
#pragma once

#include <cstdint>

struct ReplayListEntry;

int ReadPlayerInput();
int RecordInputWord(uint32_t word, int index);
// Loads replay `index` for playback; -1 (nothing loaded) when its header
// names a fighter or variant the game does not have.
int LoadReplayIntoPlayer(const ReplayListEntry& entry, int index);
int CopyReplayInput(uint32_t* out);  // kInputRecordWords words
int GetReplayRecordedScore();
void GetReplayName(char out[4]);
