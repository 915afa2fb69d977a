// The replay buffer of the game in progress and the replay files.
#pragma once

#include <cstdint>

inline constexpr int kReplayHeaderWords = 50;
inline constexpr int kReplayInputWords = 200000;

struct ReplayHeader {
  int32_t words[kReplayHeaderWords];
};

// What the replay list hands to the player when a replay starts.
struct ReplayListEntry {
  int32_t valid;
  ReplayHeader header;
  char name[4];
};

int ClearReplayBuffer();
// At the end of a game: the header from the player and the configuration,
// then the recorded input words.
int FillReplayHeader();
// Reads Replay/replay<index+1>.dat's input words into `destination`
// (kReplayInputWords words); 0 when complete, -1 when missing or short.
int ReadReplayFile(uint32_t* destination, int index);
// Whether Replay/replay<number>.dat exists (1) or not (0).
int ReplayFileExists(int number);
