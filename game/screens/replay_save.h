// The replay-save screen (scene 11): records the finished game's result
// (progress, clear mark, ranking), writes the ranking and progress files,
// shows the RESULT panel and saves the replay to the slot the player picks.
#pragma once

#include <cstdint>

// What entering the screen decided, from the replay buffer of the game.
struct GameResultRecord {
  int32_t continued;  // a continue was used: no clear mark, no replay
  int32_t rank;       // 1-5, or 6 when not ranked
};

// Steps 1-4 of the entry: stage reached, clear mark, ranking entry and rank,
// into memory only.
GameResultRecord RecordGameResult();
