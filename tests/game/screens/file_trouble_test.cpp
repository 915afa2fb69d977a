// Every saved-file reader against every way its file can fail it: what play
// goes on with, what the player is told, and that after the next save the
// file's earlier contents are still on disk (in place, or as <name>.bad).
#include "game/screens/file_trouble.h"

#include <gmock/gmock.h>
#include <unistd.h>

#include <functional>

#include "screens/ranking_table.h"
#include "text_file_fixture.h"

namespace {

using namespace file_trouble;
using ::testing::HasSubstr;
using ::testing::Not;

struct Reader {
  std::string path;
  std::string good, cut, out_of_range;
  std::function<void()> load;
  std::function<void(Trouble)> expect_loaded;  // what play goes on with
  std::function<int()> save;  // the file's next save; none for files the game never writes
  bool load_reports_damage = true;
};

class FileTroubleTest : public SavedFileTest {
 protected:
  void RunEveryTrouble(const Reader& r) {
    for (Trouble t : kAllTroubles) {
      SCOPED_TRACE(NameOf(t));
      // A read that waits on the FIFO ends the test instead of hanging it.
      ::alarm(60);
      Arrange(r.path, t, r.good, r.cut, r.out_of_range);
      ::testing::internal::CaptureStderr();
      r.load();
      const std::string said = ::testing::internal::GetCapturedStderr();
      if (Unreadable(t)) {
        EXPECT_THAT(said, HasSubstr(r.path));
        EXPECT_THAT(said, HasSubstr(CauseOf(t)));
        // Never taken for damage: nothing moved aside, nothing reset on disk.
        EXPECT_THAT(said, Not(HasSubstr("damaged")));
        EXPECT_FALSE(Exists(r.path + ".bad"));
      } else if (t == Trouble::kMissing) {
        EXPECT_THAT(said, Not(HasSubstr("cannot be read")));
      } else if (r.load_reports_damage) {
        EXPECT_THAT(said, HasSubstr("damaged"));
      }
      r.expect_loaded(t);
      if (r.save) {
        ::testing::internal::CaptureStderr();
        const int result = r.save();
        const std::string refused = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, Unreadable(t) ? -1 : 0);
        if (Unreadable(t)) {
          EXPECT_THAT(refused, HasSubstr("not saved"));
        }
      }
      LiftFaults(r.path);
      EXPECT_TRUE(OriginalKept(r.path, t, r.good, r.cut, r.out_of_range));
      if (r.save && t != Trouble::kMissing && !Unreadable(t)) {
        EXPECT_NE(Get(r.path), t == Trouble::kCut ? r.cut : r.out_of_range)
            << "the save did not happen";
      }
      std::filesystem::remove_all("file");
      std::filesystem::remove_all("Replay");
      ClearSaveGuardsForTesting();
    }
    ::alarm(0);
  }

  // The first `n` lines of `text`.
  static std::string FirstLines(const std::string& text, int n) {
    size_t at = 0;
    for (int i = 0; i < n; ++i) at = text.find('\n', at) + 1;
    return text.substr(0, at);
  }
  // What `write` puts in `path`, the file then removed again.
  static std::string Written(const char* path, const std::function<void()>& write) {
    write();
    const std::string text = Get(path);
    std::filesystem::remove_all("file");
    std::filesystem::remove_all("Replay");
    return text;
  }
};

std::vector<int32_t> InFileOrder(const GameConfig& c) {
  return {c.shot_mask, c.bomb_mask, c.full_auto_mask, c.pause_mask,    c.auto_guard, c.se_volume,
          c.bgm,       c.spare,     c.bullet_color,   c.enemy_shot_se, c.beat_se};
}

TEST_F(FileTroubleTest, ConfigFile) {
  Reader r;
  r.path = kConfigPath;
  r.good = "2048 16 16 512 0 35 0 0 1 0 1 ";
  r.cut = "2048 16 ";
  r.out_of_range = "2048 16 16 512 0 101 0 0 1 0 1 ";
  r.load = [] { LoadConfig(); };
  r.expect_loaded = [](Trouble t) {
    std::vector<int32_t> expected = InFileOrder(DefaultConfig());
    if (t == Trouble::kCut) expected = {2048, 16, 64, 128, 1, 100, 1, 0, 0, 0, 0};
    if (t == Trouble::kOutOfRange) expected = {2048, 16, 16, 512, 0, 100, 0, 0, 1, 0, 1};
    EXPECT_EQ(InFileOrder(g_config), expected);
  };
  r.save = [] { return SaveConfig(); };
  RunEveryTrouble(r);
}

TEST_F(FileTroubleTest, ProgressFile) {
  Reader r;
  r.path = kSaveDataPath;
  r.good = Written(kSaveDataPath, [] {
    g_save_data.credits = 50;
    g_save_data.StageReachedTable[2] = 5;
    g_save_data.ClearMarkTable[1][3] = 2;
    WriteSaveData();
  });
  r.cut = FirstLines(r.good, 10);
  const int key = std::stoi(r.good) >> 8;
  r.out_of_range = std::to_string(key * 256) + "\n" + std::to_string((5 * key + 10000) * 256) +
                   "\n" + r.good.substr(FirstLines(r.good, 2).size());
  r.load = [] {
    g_save_data = SaveData{};
    LoadSaveData();
  };
  r.expect_loaded = [](Trouble) {
    // Whatever the trouble, play goes on from a new player's progress.
    EXPECT_EQ(g_save_data.credits, 3);
    EXPECT_EQ(g_save_data.StageReachedTable[2], 1);
    EXPECT_EQ(g_save_data.ClearMarkTable[1][3], 0);
  };
  r.save = [] { return WriteSaveData(); };
  RunEveryTrouble(r);
}

TEST_F(FileTroubleTest, ScoreFile) {
  auto with_first_original = [](int fighter) {
    return [fighter] {
      ResetScores();
      g_ranking.records[1][0] = DefaultRankingRecord(1, 0);
      g_ranking.records[1][0].score = 555555;
      g_ranking.records[1][0].fighter = fighter;
      std::memcpy(g_ranking.records[1][0].name, "OLD", 4);
      SaveScores();
    };
  };
  Reader r;
  r.path = kScorePath;
  r.good = Written(kScorePath, with_first_original(1));
  r.cut = FirstLines(r.good, 30);
  r.out_of_range = Written(kScorePath, with_first_original(9));
  r.load = [] {
    g_ranking = RankingTable{};
    LoadScores();
  };
  r.expect_loaded = [](Trouble) {
    // Unreadable: the default table; cut before mode 1 or with a fighter 9:
    // that record takes its default.
    EXPECT_EQ(GetTopScore(1), 100000);
    EXPECT_STREQ(g_ranking.records[1][0].name, "HLX");
  };
  r.save = [] { return SaveScores(); };
  RunEveryTrouble(r);
}

TEST_F(FileTroubleTest, ReplayFile) {
  auto replay = [](int mode) {
    return [mode] {
      ClearReplayBuffer();
      int32_t* w = g_replay_buffer.header.words;
      w[kReplayWordMode] = mode;
      w[kReplayWordScore] = 4321;
      w[kReplayWordStage] = 3;
      w[kReplayWordShotMask] = 16;
      w[kReplayWordBombMask] = 32;
      w[kReplayWordFullAutoMask] = 64;
      g_replay_buffer.inputs[7] = 0x10;
      SetReplayName("OLD");
      WriteReplayFile(g_replay_buffer, 4);
    };
  };
  Reader r;
  r.path = "Replay/replay5.dat";
  r.good = Written(r.path.c_str(), replay(1));
  r.cut = FirstLines(r.good, 20);
  r.out_of_range = Written(r.path.c_str(), replay(9));
  r.load_reports_damage = false;  // listed as empty; the save says what it kept
  r.load = [] {
    ReplayListEntry entry{};
    entry.valid = 1;
    ReadReplayHeader(&entry, 4);
    EXPECT_EQ(entry.valid, 0) << "listed as a replay";
  };
  r.expect_loaded = [](Trouble) {};
  // A new game saved into the slot the list showed as empty.
  r.save = [] {
    ClearReplayBuffer();
    int32_t* w = g_replay_buffer.header.words;
    w[kReplayWordMode] = 2;
    w[kReplayWordStage] = 1;
    w[kReplayWordShotMask] = 16;
    w[kReplayWordBombMask] = 32;
    w[kReplayWordFullAutoMask] = 64;
    SetReplayName("NEW");
    return WriteReplayFile(g_replay_buffer, 4);
  };
  RunEveryTrouble(r);
}

TEST_F(FileTroubleTest, UnlockFile) {
  Reader r;
  r.path = kSecretCharPath;
  r.good = "417093\n";
  r.cut = "4170";
  r.out_of_range = "4170930000000\n";
  r.load_reports_damage = false;  // any other number is simply not the code
  r.load = [] {
    g_save_data.FighterUnlockFlag = 1;
    LoadSecretChar();
  };
  r.expect_loaded = [](Trouble t) {
    // Missing or unreadable: it says nothing either way, so the flag stays.
    EXPECT_EQ(g_save_data.FighterUnlockFlag,
              t == Trouble::kCut || t == Trouble::kOutOfRange ? 0 : 1);
  };
  RunEveryTrouble(r);
}

TEST_F(FileTroubleTest, ADamagedFileThatCannotBeKeptAsBadIsNeverReplaced) {
  struct Case {
    const char* path;
    const char* damaged;
    std::function<void()> load;
    std::function<int()> save;
  } cases[] = {
      {kSaveDataPath, "3328\nx\n", [] { LoadSaveData(); }, [] { return WriteSaveData(); }},
      {kScorePath, "HLX\n100000\nx\n", [] { LoadScores(); }, [] { return SaveScores(); }},
      {kScorePath, "HLX\n100000\n", [] { LoadScores(); }, [] { return SaveScores(); }},
      {kConfigPath, "16 32 x", [] { LoadConfig(); }, [] { return SaveConfig(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + ": " + c.damaged);
    const std::string bad = std::string(c.path) + ".bad";
    Put(c.path, c.damaged);
    Put(bad + "/in the way", "");
    ::testing::internal::CaptureStderr();
    c.load();
    EXPECT_EQ(c.save(), -1);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(said, HasSubstr("cannot be kept as " + bad));
    EXPECT_EQ(Get(c.path), c.damaged);
    // Once the way is clear, the next save keeps it and goes ahead.
    std::filesystem::remove_all(bad);
    EXPECT_EQ(c.save(), 0);
    EXPECT_EQ(Get(bad), c.damaged);
    EXPECT_NE(Get(c.path), c.damaged);
    std::filesystem::remove_all("file");
    ClearSaveGuardsForTesting();
  }
  // Play went on from the defaults meanwhile.
  EXPECT_EQ(g_save_data.credits, 3);
  EXPECT_EQ(GetTopScore(0), 100000);
}

TEST_F(FileTroubleTest, AReplayCutInItsInputsIsKeptBeforeASaveReplacesIt) {
  ClearReplayBuffer();
  int32_t* w = g_replay_buffer.header.words;
  w[kReplayWordStage] = 1;
  w[kReplayWordShotMask] = 16;
  w[kReplayWordBombMask] = 32;
  w[kReplayWordFullAutoMask] = 64;
  ASSERT_EQ(WriteReplayFile(g_replay_buffer, 0), 0);
  const std::string whole = Get("Replay/replay1.dat");
  // A whole replay is simply replaced: the player chose its slot.
  ASSERT_EQ(WriteReplayFile(g_replay_buffer, 0), 0);
  EXPECT_FALSE(Exists("Replay/replay1.dat.bad"));
  const std::string cut = FirstLines(whole, 1000);
  Put("Replay/replay1.dat", cut);
  ASSERT_EQ(WriteReplayFile(g_replay_buffer, 0), 0);
  EXPECT_EQ(Get("Replay/replay1.dat.bad"), cut);
  EXPECT_EQ(Get("Replay/replay1.dat"), whole);
}

TEST_F(FileTroubleTest, TheReaderStopsAtItsByteLimitAsAtTheEnd) {
  Put("big.txt", "12 " + std::string(100, ' ') + "34");
  TextFileReader in("big.txt", 50);
  int32_t v = 0;
  EXPECT_EQ(in.ReadInt(&v), kReadStored);
  EXPECT_EQ(in.ReadInt(&v), kReadAtEnd);
  EXPECT_FALSE(in.failed());
}

TEST_F(FileTroubleTest, ADeviceIsRefusedUnread) {
  TextFileReader zero("/dev/zero");
  EXPECT_FALSE(zero.is_open());
  EXPECT_FALSE(zero.missing());
  EXPECT_TRUE(zero.failed());
  EXPECT_THAT(zero.failure(), HasSubstr("not a regular file"));
}

}  // namespace
