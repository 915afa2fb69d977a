// The parts of the ranking file's reading that tests and fuzzing drive
// without a file on disk.
#pragma once

#include "screens/ranking.h"
#include "screens/text_file.h"

struct RankingReadReport {
  bool not_a_number = false;  // the whole table is to be reset
  int cut_off = 0;            // records the end of the file cut short (defaults given)
  int out_of_range = 0;       // records with a value outside its range (defaults given)
  int names_changed = 0;      // names with bytes the font cannot draw (made drawable)
};

// The record ResetScores puts in `slot` (0-4) of `mode`.
RankingRecord DefaultRankingRecord(int mode, int slot);
// Reads slots 0-4 of every mode from `in` into `table`, giving damaged or
// missing records their defaults, then sorts each mode's ranking. Slots 5-9
// are cleared.
RankingReadReport ReadRankingFrom(TextFileReader& in, RankingTable& table);
