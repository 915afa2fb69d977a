// A whole arcade game, through game over, name entry, the replay-save screen
// (which writes the ranking and the progress) and the ranking back to the
// title, played after the progress or ranking file failed the boot read:
// whatever the trouble, the player's earlier progress and ranking are still
// on disk afterwards, in place or as <name>.bad.
#include <gmock/gmock.h>

#include <cstring>
#include <functional>

#include "game/screens/file_trouble.h"
#include "result_scenes_fixture.h"
#include "scripted_player.h"
#include "shell/program.h"

namespace {

using namespace result_scenes;
using namespace file_trouble;

class FileTroubleGameTest : public ResultScenesTest {
 protected:
  // Program-start state and a new player at the pad.
  void Restart() {
    ResetState();
    player_ = Player{};
    int last_pump = 0;
    fake().pad_script = [this, last_pump](int pump) mutable {
      // One frame's calls at a time: a whole game logs millions.
      if (pump != last_pump) fake().calls.clear();
      last_pump = pump;
      return player_.Word(pump);
    };
    fake().quit_after_pumps = kMaxFrames;
  }

  // The boot's loads, then the scene loop until the title shows again
  // after the game.
  bool BootAndPlayAGame() {
    LoadBootData();
    g_flags.CurrentScene = kSceneBoot;
    while (fake().pumps < kMaxFrames) {
      RunCurrentScene();
      if (player_.visits(kSceneTitle) == 2) return true;
    }
    return false;
  }

  static constexpr int kMaxFrames = 60000;
  Player player_;
};

// Progress and a ranking of the player's, as the game wrote them.
struct Earlier {
  std::string progress, ranking;
};
Earlier WriteEarlierFiles() {
  g_save_data.credits = 42;
  g_save_data.StageReachedTable[1] = 4;
  g_save_data.ClearMarkTable[1][0] = 1;
  WriteSaveData();
  g_ranking.records[1][0].score = 555555;
  std::memcpy(g_ranking.records[1][0].name, "OLD", 4);
  SaveScores();
  return {Read(kSaveDataPath), Read(kScorePath)};
}

TEST_F(FileTroubleGameTest, AGamePlayedAfterABadBootReadLosesNothingSaved) {
  struct Case {
    const char* name;
    Trouble progress;  // kMissing: the file is left as written
    Trouble ranking;
    bool bad_in_the_way = false;  // <name>.bad cannot be made
  } cases[] = {
      {"progress unreadable", Trouble::kNoPermission, Trouble::kMissing},
      {"ranking unreadable", Trouble::kMissing, Trouble::kNoPermission},
      {"read errors in both good files", Trouble::kReadError, Trouble::kReadError},
      {"ranking out of range", Trouble::kMissing, Trouble::kOutOfRange},
      {"ranking cut short", Trouble::kMissing, Trouble::kCut},
      {"both damaged, .bad names taken", Trouble::kCut, Trouble::kCut, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Restart();
    const Earlier earlier = WriteEarlierFiles();
    // The damaged versions: cut in the middle, or a record's fighter 9.
    const std::string progress_cut = earlier.progress.substr(0, earlier.progress.size() / 2);
    const std::string ranking_cut = earlier.ranking.substr(0, earlier.ranking.size() / 2);
    std::string ranking_bad = earlier.ranking;
    ranking_bad.replace(ranking_bad.find("OLD\n555555\n") + 11, 1, "9");  // fighter 0 or 1 -> 9
    auto put = [](const char* path, Trouble t, const std::string& good, const std::string& cut,
                  const std::string& bad) {
      if (t == Trouble::kMissing) return;
      std::filesystem::remove(path);
      Arrange(path, t, good, cut, bad);
    };
    put(kSaveDataPath, c.progress, earlier.progress, progress_cut, progress_cut);
    put(kScorePath, c.ranking, earlier.ranking, ranking_cut, ranking_bad);
    if (c.bad_in_the_way) {
      Write(std::string(kSaveDataPath) + ".bad/in the way", "");
      Write(std::string(kScorePath) + ".bad/in the way", "");
    }

    ASSERT_TRUE(BootAndPlayAGame()) << "the game did not go on to its end and back to the title";
    EXPECT_EQ(player_.visits(kSceneReplaySave), 1);
    EXPECT_EQ(player_.visits(kSceneRanking), 1);

    LiftFaults(kSaveDataPath);
    LiftFaults(kScorePath);
    if (c.progress != Trouble::kMissing) {
      EXPECT_TRUE(
          OriginalKept(kSaveDataPath, c.progress, earlier.progress, progress_cut, progress_cut));
    }
    if (c.ranking != Trouble::kMissing) {
      EXPECT_TRUE(OriginalKept(kScorePath, c.ranking, earlier.ranking, ranking_cut, ranking_bad));
    }
    // A file that read well took this game.
    if (c.progress == Trouble::kMissing) {
      EXPECT_NE(Read(kSaveDataPath), earlier.progress);
    }
    if (c.ranking == Trouble::kMissing || (!Unreadable(c.ranking) && !c.bad_in_the_way)) {
      EXPECT_THAT(Read(kScorePath), ::testing::HasSubstr("BCD\n"));
    }
    std::filesystem::remove_all("file");
    std::filesystem::create_directories("file");
  }
}

}  // namespace
