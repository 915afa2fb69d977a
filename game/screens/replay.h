// The replay buffer of the game in progress and the replay files
// (Replay/replay<N>.dat: 1-99 for the player, 100-102 for the attract demo).
#pragma once

#include <cstdint>
#include <string>

inline constexpr int kReplayHeaderWords = 50;
inline constexpr int kReplayInputWords = 200000;
inline constexpr int kReplaySlots = 99;  // player slots 0-98 are files 1-99

// Meaning of the header words; all others are 0.
enum ReplayHeaderWord : int {
  kReplayWordMode = 0,         // difficulty mode 0-3
  kReplayWordFighter = 1,      // 0-4
  kReplayWordScore = 2,
  kReplayWordStage = 3,        // 1-7; 16-20 boss practice; 21 extra stage
  kReplayWordMisses = 4,
  kReplayWordAutoGuard = 5,    // 0/1
  kReplayWordStageSelect = 6,  // 1 for stage-select play
  kReplayWordVariant = 7,      // 0/1
  kReplayWordBulletColor = 8,  // 0-4
  kReplayWordContinues = 9,
  kReplayWordStageScore1 = 10,  // 10-14: score gained in stages 1-5
  kReplayWordShotMask = 20,
  kReplayWordBombMask = 21,
  kReplayWordFullAutoMask = 22,
  kReplayWordDate = 30,  // 30-35: year, month, day, hour, minute, second
};

struct ReplayHeader {
  int32_t words[kReplayHeaderWords];
};

// One global: about 800 KB, so always passed by reference.
struct ReplayBuffer {
  ReplayHeader header;
  uint32_t inputs[kReplayInputWords];
  char name[4];  // three characters and a terminating zero
};

extern ReplayBuffer g_replay_buffer;

// One slot of the replay list and save screens, and what the list hands to
// the player when a replay starts.
struct ReplayListEntry {
  int32_t valid;  // 1: the header was read and is in range; 0: missing or damaged
  ReplayHeader header;
  char name[4];
};

// Appends "Replay/replay<n>.dat" to `path`; -1 (nothing appended) for n < 0.
int BuildReplayPath(std::string& path, int n);
// Writes `buffer` to Replay/replay<slot+1>.dat. 0, or -1 for slot + 1 < 1 or
// when the write failed (logged; the previous file is kept).
int WriteReplayFile(const ReplayBuffer& buffer, int slot);
// Reads the name and the header of Replay/replay<slot+1>.dat into `entry`
// (cleared first). -1 when the file is missing; otherwise 0, with `valid`
// 0 when the header is cut short, unreadable or out of range.
int ReadReplayHeader(ReplayListEntry* entry, int slot);
// Reads Replay/replay<index+1>.dat's input words into `destination`
// (kReplayInputWords words). 0 when all were read; -1 when the file is
// missing, damaged or short (the words read so far stay in `destination`,
// the rest are left as they were).
int ReadReplayFile(uint32_t* destination, int index);
// n when Replay/replay<n>.dat can be opened, else -1.
int ReplayFileExists(int number);
// Zeroes the header, the input words and the name.
int ClearReplayBuffer();
// At the end of a game: the header from the player, the flags, the
// configuration and the clock, then the recorded input words.
int FillReplayHeader();
// Copies the three-character name into the buffer.
int SetReplayName(const char* name);
// Prepares play of a listed replay and switches to game play. -1 (nothing
// changed) when the entry is not valid.
int StartReplayPlayback(const ReplayListEntry& entry, int slot);
