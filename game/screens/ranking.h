// The ranking table (file/score.dat): five best results per difficulty mode.
#pragma once

#include <cstdint>

inline constexpr int kRankingModes = 4;
inline constexpr int kRankingSlots = 10;
inline constexpr int kRankedSlots = 5;      // slots 0-4 are the ranking, best first
inline constexpr int kRankingNewSlot = 5;   // a new result goes here before SortRanking
inline constexpr int kRankingFloorSlot = 6; // stays 0; takes part in the sort
inline constexpr int kRankNotEntered = 6;

inline constexpr const char* kScorePath = "file/score.dat";

// Eleven 32-bit words; the last holds the name.
struct RankingRecord {
  int32_t score;
  int32_t fighter;     // 0-4
  int32_t variant;     // 0/1
  int32_t stage;       // StageNumber at the end: 1-5, 6 "ALL", 7 "ALL!"
  int32_t mode;        // set by the defaults, never read
  int32_t auto_guard;  // 1: the AUTO GUARD icon is shown
  int32_t unused[4];   // stored as they are
  char name[4];        // three characters and a terminating zero
};
static_assert(sizeof(RankingRecord) == 44);

struct RankingTable {
  RankingRecord records[kRankingModes][kRankingSlots];
};

extern RankingTable g_ranking;

// Reads file/score.dat. Missing or unreadable: the default table, written at
// once. Records cut off by the end of the file take their defaults; records
// read are range-checked and the ranking re-sorted. Returns 0.
int LoadScores();
// The default table in slots 0-4 of every mode, then SaveScores. 0, or -1
// when the file could not be written.
int ResetScores();
// Writes slots 0-4 of every mode; 0, or -1 when the write failed (logged; the
// previous file is kept).
int SaveScores();
// Sorts slots 0-6 of `mode` (best first, an equal score stays below the older
// one) and returns the rank 1-5 of the record that was in slot 5, or 6 when
// it did not enter the ranking (also for a mode outside 0..3).
int SortRanking(RankingTable& table, int mode);
// The score of rank 1 of `mode`; 0 for a mode outside 0..3.
int32_t GetTopScore(int mode);
