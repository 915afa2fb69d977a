// The REPLAY MODE screen (scene 4): the 99 replay slots with the details of
// the chosen one, playback of a chosen replay, and the start of the attract
// demo. Its slot rows are shared with the replay-save screen.
#pragma once

#include "screens/list_cursor.h"
#include "screens/replay.h"

inline constexpr int kReplayListBaseY = 94;
inline constexpr int kReplaySaveListBaseY = 244;

// The slot list of both screens: entry i from Replay/replay<i+1>.dat.
struct ReplaySlotList {
  ReplayListEntry entries[kReplaySlots];
};
// Reads every slot's header; missing and damaged files are left invalid.
void ReadReplaySlotList(ReplaySlotList& list);

// Column heads of the rows, above the first row.
void DrawReplayListHeads(int base_y);
// Entry `i` (0..98 a slot, 99 RETURN) in its row below `top`; nothing for
// an entry outside the seven rows shown.
void DrawReplayListRow(const ReplaySlotList& list, int i, int top, int base_y);
// The name, date, misses, fighter and AUTO GUARD of a valid entry.
void DrawReplayDetails(const ReplayListEntry& entry);
// The right side panel: the score of each stage of an arcade game.
void DrawStageScorePanel(const ReplayHeader& header);
