#include "screens/ranking_table.h"

#include <cstring>
#include <utility>

#include "screens/atomic_file.h"
#include "screens/ranking.h"

RankingTable g_ranking{};

namespace {

constexpr int32_t kMaxScore = 999999990;  // where the game's score stops

bool InRange(const RankingRecord& r) {
  return r.score >= 0 && r.score <= kMaxScore && r.fighter >= 0 && r.fighter <= 4 && r.variant >= 0 &&
         r.variant <= 1 && r.stage >= 1 && r.stage <= 7 && r.auto_guard >= 0 && r.auto_guard <= 1;
}

// Words 0-9 of a record in file order.
int32_t& Word(RankingRecord& r, int w) {
  switch (w) {
    case 0: return r.score;
    case 1: return r.fighter;
    case 2: return r.variant;
    case 3: return r.stage;
    case 4: return r.mode;
    case 5: return r.auto_guard;
    default: return r.unused[w - 6];
  }
}

// Best first; an equal score keeps the record that came first above.
void SortRanked(RankingRecord* records) {
  for (int pass = 0; pass < kRankedSlots - 1; ++pass) {
    for (int j = 0; j + 1 < kRankedSlots; ++j) {
      if (records[j].score < records[j + 1].score) std::swap(records[j], records[j + 1]);
    }
  }
}

RankingTable DefaultTable() {
  RankingTable t{};
  for (int m = 0; m < kRankingModes; ++m) {
    for (int s = 0; s < kRankedSlots; ++s) t.records[m][s] = DefaultRankingRecord(m, s);
  }
  return t;
}

}  // namespace

RankingRecord DefaultRankingRecord(int mode, int slot) {
  RankingRecord r{};
  std::memcpy(r.name, "HLX", 4);
  r.score = 100000 - 10000 * slot;
  r.fighter = slot % 2;
  r.variant = 0;
  r.stage = 1;
  r.mode = mode;
  r.auto_guard = 1;
  return r;
}

RankingReadReport ReadRankingFrom(TextFileReader& in, RankingTable& table) {
  RankingReadReport report;
  table = RankingTable{};
  for (int m = 0; m < kRankingModes; ++m) {
    for (int s = 0; s < kRankedSlots; ++s) {
      RankingRecord r{};
      bool complete = in.ReadShortLine(r.name);
      in.SkipBlankAndComments();
      for (int w = 0; w < 10; ++w) {
        int32_t value = 0;
        const int result = in.ReadIntLine(&value);
        if (result == kReadNotANumber) {
          report.not_a_number = true;
          return report;
        }
        if (result == kReadStored) {
          Word(r, w) = value;
        } else {
          complete = false;
        }
      }
      char as_read[4];
      std::memcpy(as_read, r.name, sizeof as_read);
      SanitizeName(r.name);
      if (!complete) {
        r = DefaultRankingRecord(m, s);
        ++report.cut_off;
      } else if (!InRange(r)) {
        r = DefaultRankingRecord(m, s);
        ++report.out_of_range;
      } else if (std::memcmp(as_read, r.name, sizeof as_read) != 0) {
        ++report.names_changed;
      }
      table.records[m][s] = r;
    }
    // A hand-edited file may be out of order; the rank of a new entry relies
    // on it.
    SortRanked(table.records[m]);
  }
  return report;
}

int LoadScores() {
  TextFileReader in(kScorePath);
  if (in.missing()) {
    SetSaveGuard(kScorePath, SaveGuard::kReplace);
    ResetScores();
    return 0;
  }
  RankingTable table;
  const RankingReadReport report = in.is_open() ? ReadRankingFrom(in, table) : RankingReadReport{};
  in.Close();
  if (in.failed()) {
    // The ranking on disk may be whole: never save over it in this run.
    LogFileProblem(
        "%s: cannot be read (%s); the default ranking is used for this run, and the file is "
        "kept as it is and not saved over",
        kScorePath, in.failure());
    SetSaveGuard(kScorePath, SaveGuard::kNeverReplace, in.failure());
    g_ranking = DefaultTable();
    return 0;
  }
  if (report.not_a_number) {
    LogFileProblem("%s: damaged (a value is not a number); ranking reset", kScorePath);
    SetSaveGuard(kScorePath, SaveGuard::kKeepDamagedAsBad);
    ResetScores();
    return 0;
  }
  if (report.cut_off != 0) {
    LogFileProblem("%s: damaged (ends early); %d records take their defaults", kScorePath,
                   report.cut_off);
  }
  if (report.out_of_range != 0) {
    LogFileProblem("%s: damaged (%d records out of range take their defaults)", kScorePath,
                   report.out_of_range);
  }
  if (report.names_changed != 0) {
    LogFileProblem("%s: damaged (%d names hold characters the game cannot show; drawn as _)",
                   kScorePath, report.names_changed);
  }
  // A damaged file stays until the next save, which keeps it as score.dat.bad
  // before replacing it.
  const bool damaged = report.cut_off != 0 || report.out_of_range != 0 || report.names_changed != 0;
  SetSaveGuard(kScorePath, damaged ? SaveGuard::kKeepDamagedAsBad : SaveGuard::kReplace);
  g_ranking = table;
  return 0;
}

int ResetScores() {
  for (int m = 0; m < kRankingModes; ++m) {
    for (int s = 0; s < kRankedSlots; ++s) g_ranking.records[m][s] = DefaultRankingRecord(m, s);
  }
  return SaveScores();
}

int SaveScores() {
  AtomicFileWriter out(kScorePath);
  if (!out.ok()) return -1;
  for (int m = 0; m < kRankingModes; ++m) {
    for (int s = 0; s < kRankedSlots; ++s) {
      RankingRecord& r = g_ranking.records[m][s];
      out.Append(std::string_view(r.name, strnlen(r.name, 3)));
      out.Append("\n");
      for (int w = 0; w < 10; ++w) out.AppendInt(Word(r, w), '\n');
    }
  }
  return out.Commit() ? 0 : -1;
}

int SortRanking(RankingTable& table, int mode) {
  if (mode < 0 || mode >= kRankingModes) return kRankNotEntered;
  RankingRecord* r = table.records[mode];
  r[kRankingFloorSlot] = RankingRecord{};
  // The rank is where the new record ends up, not how many swaps it took:
  // other records may move too.
  int at = kRankingNewSlot;
  for (int pass = 0; pass < kRankingFloorSlot; ++pass) {
    for (int j = 0; j < kRankingFloorSlot; ++j) {
      if (r[j].score < r[j + 1].score) {
        std::swap(r[j], r[j + 1]);
        if (at == j) {
          at = j + 1;
        } else if (at == j + 1) {
          at = j;
        }
      }
    }
  }
  return at < kRankedSlots ? at + 1 : kRankNotEntered;
}

int32_t GetTopScore(int mode) {
  if (mode < 0 || mode >= kRankingModes) return 0;
  return g_ranking.records[mode][0].score;
}
