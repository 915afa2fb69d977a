#include "screens/ranking_table.h"

#include "text_file_fixture.h"

namespace {

using RankingTableTest = SavedFileTest;

RankingRecord Record(int32_t score, const char* name, int fighter = 0, int stage = 1) {
  RankingRecord r{};
  r.score = score;
  std::memcpy(r.name, name, 3);
  r.fighter = fighter;
  r.stage = stage;
  r.auto_guard = 1;
  return r;
}

bool SameRecord(const RankingRecord& a, const RankingRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::string Block(const char* name, std::vector<int> words) {
  std::string s = std::string(name) + "\n";
  for (int w : words) s += std::to_string(w) + "\n";
  return s;
}

// A whole file: every record the default but `changed` (mode*5+slot -> text).
std::string FileWith(std::map<int, std::string> changed) {
  std::string s;
  for (int m = 0; m < 4; ++m) {
    for (int i = 0; i < 5; ++i) {
      const int k = m * 5 + i;
      if (changed.count(k)) {
        s += changed[k];
      } else {
        s += Block("HLX", {100000 - 10000 * i, i % 2, 0, 1, m, 1, 0, 0, 0, 0});
      }
    }
  }
  return s;
}

void ExpectDefaultTable() {
  for (int m = 0; m < 4; ++m)
    for (int s = 0; s < 5; ++s)
      EXPECT_TRUE(SameRecord(g_ranking.records[m][s], DefaultRankingRecord(m, s))) << m << "/" << s;
}

TEST_F(RankingTableTest, AMissingFileGivesTheDefaultTableWrittenOut) {
  LoadScores();
  ExpectDefaultTable();
  const std::string text = Get("file/score.dat");
  EXPECT_EQ(Lines(text).size(), 220u);
  const std::string start = "HLX\n100000\n0\n0\n1\n0\n1\n0\n0\n0\n0\nHLX\n90000\n";
  EXPECT_EQ(text.substr(0, start.size()), start);
  EXPECT_EQ(text, FileWith({}));
  EXPECT_NE(text.find(Block("HLX", {100000, 0, 0, 1, 2, 1, 0, 0, 0, 0})), std::string::npos);
}

TEST_F(RankingTableTest, ASavedTableLoadsBackRecordForRecord) {
  LoadScores();
  g_ranking.records[0][0] = Record(999999990, "A_Z", 4, 7);
  g_ranking.records[0][0].variant = 1;
  g_ranking.records[0][0].unused[3] = -12;
  g_ranking.records[3][4] = Record(0, "9./", 3, 6);
  g_ranking.records[3][4].auto_guard = 0;
  const RankingTable saved = g_ranking;
  ASSERT_EQ(SaveScores(), 0);
  g_ranking = RankingTable{};
  LoadScores();
  for (int m = 0; m < 4; ++m)
    for (int s = 0; s < 5; ++s) EXPECT_TRUE(SameRecord(g_ranking.records[m][s], saved.records[m][s])) << m << s;
}

TEST_F(RankingTableTest, DamagedFiles) {
  const std::string good = FileWith({{7, Block("ABC", {95000, 2, 1, 6, 1, 0, 0, 0, 0, 0})}});
  std::string crlf;
  for (const std::string& l : Lines(good)) crlf += l + "\r\n";
  struct Case {
    std::string name;
    std::string text;
    bool reset;  // whole table back to the defaults, old file kept aside
  } cases[] = {
      {"comment and blank lines between a name and its numbers",
       FileWith({{7, "ABC\n\n# note\n   \n95000\n2\n1\n6\n1\n0\n0\n0\n0\n0\n"}}), false},
      {"CR LF line ends", crlf, false},
      {"comment line before a name", FileWith({{7, "# note\n" + Block("ABC", {95000, 2, 1, 6, 1, 0, 0, 0, 0, 0})}}), true},
      {"letter in mode 2 slot 4", FileWith({{7, Block("ABC", {95000, 2, 1, 6, 1, 0, 0, 0, 0, 0})},
                                            {14, Block("HLX", {60000, 0, 0, 4, 2, 1, 0, 0, 0, 0}).replace(13, 1, "x")}}),
       true},
      {"four-character name", FileWith({{7, Block("ABCD", {95000, 2, 1, 6, 1, 0, 0, 0, 0, 0})}}), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all("file");
    Put("file/score.dat", c.text);
    g_ranking = RankingTable{};
    LoadScores();
    if (c.reset) {
      ExpectDefaultTable();
      EXPECT_EQ(Get("file/score.dat.bad"), c.text);
      EXPECT_EQ(Get("file/score.dat"), FileWith({}));
    } else {
      EXPECT_EQ(g_ranking.records[1][1].score, 95000);  // sorted into place
      EXPECT_STREQ(g_ranking.records[1][1].name, "ABC");
      EXPECT_EQ(g_ranking.records[1][1].fighter, 2);
      EXPECT_EQ(g_ranking.records[1][2].score, 90000);
      EXPECT_FALSE(Exists("file/score.dat.bad"));
    }
  }
}

TEST_F(RankingTableTest, RecordsAreCheckedOneByOne) {
  // Cut after seven records: the rest take their defaults, not zeros.
  std::string cut = FileWith({{0, Block("ABC", {5, 1, 0, 2, 0, 1, 0, 0, 0, 0})}});
  size_t at = 0;
  for (int i = 0; i < 7 * 11; ++i) at = cut.find('\n', at) + 1;
  Put("file/score.dat", cut.substr(0, at) + "HLX\n123\n");
  LoadScores();
  EXPECT_EQ(g_ranking.records[0][4].score, 5);  // read, and sorted below the defaults
  EXPECT_STREQ(g_ranking.records[0][4].name, "ABC");
  for (int k = 7; k < 20; ++k) EXPECT_TRUE(SameRecord(g_ranking.records[k / 5][k % 5], DefaultRankingRecord(k / 5, k % 5))) << k;

  // Values out of range replace only their own record; names are made drawable.
  Put("file/score.dat", FileWith({{0, Block("abc", {150000, 1, 1, 3, 0, 0, 0, 0, 0, 0})},
                                  {1, Block("NEG", {-5, 0, 0, 1, 0, 1, 0, 0, 0, 0})},
                                  {2, Block("FGT", {80000, 5, 0, 1, 0, 1, 0, 0, 0, 0})},
                                  {3, Block("STG", {70000, 0, 0, 8, 0, 1, 0, 0, 0, 0})},
                                  {4, Block("VAR", {95000, 0, 2, 1, 0, 1, 0, 0, 0, 0})},
                                  {5, Block("AGD", {1, 0, 0, 1, 1, 2, 0, 0, 0, 0})},
                                  {6, Block("BIG", {999999991, 0, 0, 1, 1, 1, 0, 0, 0, 0})}}));
  LoadScores();
  EXPECT_STREQ(g_ranking.records[0][0].name, "___");
  EXPECT_EQ(g_ranking.records[0][0].score, 150000);
  for (int s = 1; s < 5; ++s) EXPECT_TRUE(SameRecord(g_ranking.records[0][s], DefaultRankingRecord(0, s))) << s;
  EXPECT_TRUE(SameRecord(g_ranking.records[1][0], DefaultRankingRecord(1, 0)));
  EXPECT_TRUE(SameRecord(g_ranking.records[1][1], DefaultRankingRecord(1, 1)));
}

TEST_F(RankingTableTest, HandEditedOrderIsSortedOnLoad) {
  Put("file/score.dat", FileWith({{10, Block("LOW", {10, 0, 0, 1, 2, 1, 0, 0, 0, 0})},
                                  {14, Block("TOP", {500000, 0, 0, 1, 2, 1, 0, 0, 0, 0})}}));
  LoadScores();
  std::vector<int32_t> scores;
  for (int s = 0; s < 5; ++s) scores.push_back(g_ranking.records[2][s].score);
  EXPECT_EQ(scores, (std::vector<int32_t>{500000, 90000, 80000, 70000, 10}));
  EXPECT_EQ(GetTopScore(2), 500000);
}

TEST_F(RankingTableTest, ANewResultIsRankedWhereItLands) {
  struct Case {
    int32_t score;
    int rank;
  } cases[] = {{60000, 6}, {60001, 5}, {100000, 2}, {100001, 1}, {75000, 4}, {0, 6}, {-5, 6}};
  for (const Case& c : cases) {
    RankingTable t{};
    for (int s = 0; s < 5; ++s) t.records[1][s] = DefaultRankingRecord(1, s);
    t.records[1][5] = Record(c.score, "NEW", 4, 7);
    t.records[1][6] = Record(123, "OLD");  // whatever a previous sort left there
    const int rank = SortRanking(t, 1);
    EXPECT_EQ(rank, c.rank) << c.score;
    std::vector<int32_t> scores;
    for (int s = 0; s < 5; ++s) scores.push_back(t.records[1][s].score);
    EXPECT_TRUE(std::is_sorted(scores.rbegin(), scores.rend())) << c.score;
    if (rank <= 5) {
      // The whole record moved.
      EXPECT_STREQ(t.records[1][rank - 1].name, "NEW");
      EXPECT_EQ(t.records[1][rank - 1].fighter, 4);
      EXPECT_EQ(t.records[1][rank - 1].stage, 7);
    }
    for (int s = 0; s < 5; ++s) EXPECT_NE(t.records[1][s].score, 0) << "the floor never enters";
  }
}

TEST_F(RankingTableTest, TheRankHoldsWhenOtherRecordsMoveToo) {
  // An out-of-order table (counting swaps would give a rank of 0 or less).
  RankingTable t{};
  const int32_t scores[] = {100, 300, 200, 500, 400};
  for (int s = 0; s < 5; ++s) t.records[0][s] = Record(scores[s], "OLD");
  t.records[0][5] = Record(250, "NEW");
  EXPECT_EQ(SortRanking(t, 0), 4);  // 500 400 300 [250] 200
  EXPECT_STREQ(t.records[0][3].name, "NEW");
  EXPECT_EQ(SortRanking(t, 4), kRankNotEntered);
  EXPECT_EQ(SortRanking(t, -1), kRankNotEntered);
}

TEST_F(RankingTableTest, TopScoreOnlyForTheFourModes) {
  LoadScores();
  g_ranking.records[3][0].score = 4242;
  EXPECT_EQ(GetTopScore(0), 100000);
  EXPECT_EQ(GetTopScore(3), 4242);
  EXPECT_EQ(GetTopScore(4), 0);
  EXPECT_EQ(GetTopScore(-1), 0);
}

TEST_F(RankingTableTest, AFailedSaveKeepsTheOldFile) {
  LoadScores();
  const std::string before = Get("file/score.dat");
  g_ranking.records[0][0].score = 1;
  SetAtomicWriteFaultForTesting(AtomicWriteFault::kCrashBeforeRename);
  EXPECT_EQ(SaveScores(), -1);
  EXPECT_EQ(Get("file/score.dat"), before);
  SetAtomicWriteFaultForTesting(AtomicWriteFault::kNone);
  LoadScores();
  EXPECT_EQ(GetTopScore(0), 100000);
}

}  // namespace
