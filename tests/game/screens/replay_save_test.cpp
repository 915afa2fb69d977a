#include "screens/replay_save.h"

#include <filesystem>
#include <memory>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "result_scenes_fixture.h"
#include "screens/list_cursor.h"
#include "screens/scenes.h"
#include "shell/program.h"
#include "shell/sheet_layout.h"

namespace {

using namespace result_scenes;
namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::map<std::string, std::string> ReplayFiles() {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator("Replay"))
    files[e.path().filename().string()] = ReadFile(e.path());
  return files;
}

// The game that just ended, as the replay buffer holds it.
void EndedGame(int mode, int sel_flag, int stage, int fighter, int auto_guard, int continues,
               int score) {
  ClearReplayBuffer();
  g_flags.DifficultyMode = mode;
  g_flags.sel_flag = sel_flag;
  int32_t* w = g_replay_buffer.header.words;
  w[kReplayWordMode] = mode;
  w[kReplayWordFighter] = fighter;
  w[kReplayWordScore] = score;
  w[kReplayWordStage] = stage;
  w[kReplayWordAutoGuard] = auto_guard;
  w[kReplayWordStageSelect] = sel_flag;
  w[kReplayWordContinues] = continues;
  w[kReplayWordShotMask] = 16;
  w[kReplayWordBombMask] = 32;
  w[kReplayWordFullAutoMask] = 64;
  SetReplayName("NEW");
}

class ReplaySaveTest : public ResultScenesTest {
 protected:
  int32_t HighlightGraphic() const { return SheetCell(kSheetCursor1, 0); }
  std::vector<int> HighlightYs() const {
    std::vector<int> ys;
    for (const auto& c : kesto_fake::CallsNamed("BlitGraphicScaledRotated"))
      if (c.iarg(4) == HighlightGraphic()) ys.push_back(c.iarg(1));
    return ys;
  }
  // Files 1-8 hold earlier replays, each with its own score.
  void WriteEarlierReplays() {
    ReplayBuffer saved = g_replay_buffer;
    int saved_mode = g_flags.DifficultyMode;
    for (int slot = 0; slot < 8; ++slot) {
      EndedGame(1, 0, 2, 0, 1, 0, 1000 + slot);
      ASSERT_EQ(WriteReplayFile(g_replay_buffer, slot), 0);
    }
    g_replay_buffer = saved;
    g_flags.DifficultyMode = saved_mode;
    g_flags.sel_flag = saved.header.words[kReplayWordStageSelect];
  }
};

TEST_F(ReplaySaveTest, EntryRecordsStageReachedClearMarkAndRank) {
  struct Case {
    const char* label;
    int sel_flag, stage, fighter, auto_guard, continues, score;
    int old_reached, old_mark;
    int reached, mark_cell, mark, rank;
  };
  const Case cases[] = {
      {"arcade, stage 3", 0, 3, 0, 1, 0, 85000, 1, 0, 3, 0, 0, 3},
      {"reached never falls", 0, 2, 0, 1, 0, 10, 4, 0, 4, 0, 0, 6},
      {"clear, guard off", 0, 6, 1, 0, 0, 10, 1, 0, 5, 1, 2, 6},
      {"hidden boss, guard on", 0, 7, 2, 1, 0, 10, 1, 0, 5, 2, 1, 6},
      {"mark 1 then guard off", 0, 6, 0, 0, 0, 10, 5, 1, 5, 0, 2, 6},
      {"mark 2 stays with guard on", 0, 6, 0, 1, 0, 10, 5, 2, 5, 0, 2, 6},
      {"fighter 4 marks fighter 3", 0, 6, 4, 0, 0, 10, 1, 0, 5, 3, 2, 6},
      {"continued: ranked, no mark", 0, 6, 0, 0, 1, 100001, 1, 0, 5, 0, 0, 1},
      {"equal to the fifth", 0, 3, 0, 1, 0, 60000, 1, 0, 3, 0, 0, 6},
      {"one more than the fifth", 0, 3, 0, 1, 0, 60001, 1, 0, 3, 0, 0, 5},
      {"stage select changes nothing", 1, 6, 0, 0, 0, 999999, 2, 0, 2, 0, 0, 6},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.label);
    ResetState();
    const int mode = 2;
    EndedGame(mode, k.sel_flag, k.stage, k.fighter, k.auto_guard, k.continues, k.score);
    g_save_data.StageReachedTable[mode] = k.old_reached;
    g_save_data.ClearMarkTable[mode][k.mark_cell] = k.old_mark;
    RankingTable before = g_ranking;
    GameResultRecord r = RecordGameResult();
    EXPECT_EQ(r.rank, k.rank);
    EXPECT_EQ(r.continued, k.continues > 0 ? 1 : 0);
    EXPECT_EQ(g_save_data.StageReachedTable[mode], k.reached);
    EXPECT_EQ(g_save_data.ClearMarkTable[mode][k.mark_cell], k.mark);
    for (int other = 0; other < 4; ++other) {
      if (other != k.mark_cell) {
        EXPECT_EQ(g_save_data.ClearMarkTable[mode][other], 0);
      }
      if (other != mode) {
        EXPECT_EQ(g_save_data.StageReachedTable[other], 1);
      }
    }
    if (k.rank <= 5) {
      const RankingRecord& entered = g_ranking.records[mode][k.rank - 1];
      EXPECT_EQ(entered.score, k.score);
      EXPECT_STREQ(entered.name, "NEW");
      EXPECT_EQ(entered.stage, k.stage);
    } else {
      for (int s = 0; s < 5; ++s)
        EXPECT_EQ(g_ranking.records[mode][s].score, before.records[mode][s].score);
    }
  }
}

// The slot written is the one under the highlight, and no other file moves.
// Eight steps down then a page back used to highlight file 7 and write file 2.
TEST_F(ReplaySaveTest, ChoosingASlotWritesThatSlotAndNoOther) {
  EndedGame(1, 0, 4, 1, 1, 0, 31337);
  WriteEarlierReplays();
  auto before = ReplayFiles();
  std::vector<uint32_t> script;
  for (int i = 0; i < 8; ++i) Step(script, kDown);
  Step(script, kLeft);
  Tap(script, kShot);
  const int shot_frame = static_cast<int>(script.size()) - 1;
  g_flags.CurrentScene = kSceneReplaySave;
  Script(script, shot_frame + 200);
  RunReplaySaveScene();
  // The last highlight is drawn on the frame of the shot.
  std::vector<int> ys = HighlightYs();
  ASSERT_FALSE(ys.empty());
  const int highlighted_row = (ys.back() - 252) / 24;
  auto after = ReplayFiles();
  std::vector<std::string> changed;
  for (const auto& [name, text] : after)
    if (before[name] != text) changed.push_back(name);
  ASSERT_EQ(changed, (std::vector<std::string>{"replay2.dat"}));
  EXPECT_EQ(highlighted_row, 1);
  EXPECT_NE(after["replay2.dat"].find("\n31337\n"), std::string::npos);
  EXPECT_EQ(g_flags.CurrentScene, kSceneRanking);
  EXPECT_EQ(FramesRun(), shot_frame + 90);
}

TEST_F(ReplaySaveTest, ScenesAfterAndWhatIsWritten) {
  struct Case {
    const char* label;
    int sel_flag, continues, paused;
    bool to_return;  // bomb jumps to RETURN before the shot
    int scene_after;
    const char* shown;
  };
  const Case cases[] = {
      {"RETURN in arcade", 0, 0, 0, true, kSceneRanking, nullptr},
      {"RETURN in stage select", 1, 0, 0, true, kSceneStageSelect, nullptr},
      {"after a continue", 0, 1, 0, false, kSceneRanking, "PRESS SHOT BUTTON"},
      {"after a pause", 0, 0, 1, false, kSceneRanking, "PRESS SHOT BUTTON"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.label);
    ResetState();
    fs::remove("file/score.dat");
    fs::remove("file/data.dat");
    EndedGame(3, k.sel_flag, 2, 0, 1, k.continues, 5);
    g_flags.PausedThisGame = k.paused;
    std::vector<uint32_t> script;
    Hold(script, 0, 31);
    if (k.to_return) Tap(script, kBomb);
    Tap(script, kShot);
    g_flags.CurrentScene = kSceneReplaySave;
    Script(script, 200);
    RunReplaySaveScene();
    EXPECT_EQ(g_flags.CurrentScene, k.scene_after);
    EXPECT_EQ(FramesRun(), static_cast<int>(script.size()) - 1);
    EXPECT_TRUE(ReplayFiles().empty());
    // The result is kept whatever the player chooses.
    EXPECT_TRUE(fs::exists("file/score.dat"));
    EXPECT_TRUE(fs::exists("file/data.dat"));
    if (k.shown != nullptr) {
      EXPECT_TRUE(Drew(k.shown));
    }
    if (k.scene_after == kSceneRanking) {
      EXPECT_EQ(g_flags.RankingAfterGame, 1);
      EXPECT_EQ(g_flags.RankingModeShown, 3);
    }
  }
}

TEST_F(ReplaySaveTest, AFailedWriteSaysSoAndLetsThePlayerChooseAgain) {
  fs::remove_all("Replay");
  std::ofstream("Replay") << "not a folder";
  EndedGame(0, 0, 2, 0, 1, 0, 5);
  std::vector<uint32_t> script;
  Hold(script, 0, 31);
  Tap(script, kShot);  // file 1: cannot be written
  Hold(script, 0, 130);  // the message, then the shot guard again
  Tap(script, kBomb);
  Tap(script, kShot);  // RETURN
  g_flags.CurrentScene = kSceneReplaySave;
  Script(script, 400);
  RunReplaySaveScene();
  EXPECT_TRUE(Drew("SAVE FAILED"));
  EXPECT_FALSE(Drew("SAVED"));
  EXPECT_EQ(g_flags.CurrentScene, kSceneRanking);
  EXPECT_EQ(FramesRun(), static_cast<int>(script.size()) - 1);
}

TEST_F(ReplaySaveTest, ResultPanelShowsTheGameAndItsRank) {
  struct Case {
    int sel_flag, stage, score;
    std::vector<std::string> shown;
    std::vector<std::string> hidden;
  };
  const Case cases[] = {
      {0, 7, 100001, {"RESULT", "NEW", "100001", "ORIGINAL", "ALL!", "RANK", "1 ST"}, {}},
      {0, 3, 60000, {"3", "OUT OF RANK"}, {}},
      {1, 18, 7, {"BB3"}, {"RANK", "OUT OF RANK"}},
      {1, 21, 7, {"???"}, {"RANK"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.stage);
    ResetState();
    EndedGame(1, k.sel_flag, k.stage, 0, 1, 0, k.score);
    g_flags.CurrentScene = kSceneReplaySave;
    Script({}, 1);
    RunReplaySaveScene();
    for (const auto& t : k.shown) EXPECT_TRUE(Drew(t)) << t;
    for (const auto& t : k.hidden) {
      EXPECT_FALSE(Drew(t)) << t;
    }
  }
}

// Runs the current scene with its own script (frame 1 is its first frame);
// returns the scene it handed over to.
int RunSceneScripted(kesto_fake::State& fake, std::vector<uint32_t> script) {
  fake.pumps = 0;
  auto frames = std::make_shared<std::vector<uint32_t>>(std::move(script));
  fake.pad_script = [frames](int pump) -> uint32_t {
    return pump >= 1 && pump <= static_cast<int>(frames->size()) ? (*frames)[pump - 1] : 0;
  };
  fake.quit_after_pumps = 2000;
  RunCurrentScene();
  return g_flags.CurrentScene;
}

std::vector<uint32_t> TypeAbcThenEnd() {
  std::vector<uint32_t> script;
  Tap(script, kShot);  // A
  Step(script, kRight);
  Tap(script, kShot);  // B
  Step(script, kRight);
  Tap(script, kShot);  // C, and the cursor jumps to END
  Tap(script, kShot);  // END
  return script;
}

std::vector<uint32_t> WaitThen(int frames, std::vector<uint32_t> presses) {
  std::vector<uint32_t> script(static_cast<size_t>(frames), 0);
  script.insert(script.end(), presses.begin(), presses.end());
  return script;
}

// After an arcade game over: the name typed, the replay saved to the first
// slot, the new entry shown on the ranking, then back to the title; all of it
// (with the game-over credit) found again by the next run of the program.
TEST_F(ReplaySaveTest, ArcadeGameOverThroughNameEntrySaveAndRankingToTheTitle) {
  EndedGame(1, 0, 6, 2, 0, 0, 150000);
  g_replay_buffer.inputs[0] = 8;
  g_replay_buffer.inputs[123] = 16;
  g_save_data.credits = 3;
  g_flags.CurrentScene = kSceneGameOver;
  std::vector<int> scenes;
  scenes.push_back(RunSceneScripted(fake(), {}));
  scenes.push_back(RunSceneScripted(fake(), TypeAbcThenEnd()));
  scenes.push_back(RunSceneScripted(fake(), WaitThen(31, {kShot})));  // slot 1
  EXPECT_TRUE(Drew("SAVED"));
  EXPECT_TRUE(Drew("1 ST"));
  scenes.push_back(RunSceneScripted(fake(), WaitThen(25, {kShot, 0, kShot})));
  EXPECT_EQ(scenes, (std::vector<int>{kSceneNameEntry, kSceneReplaySave, kSceneRanking, kSceneBoot}));

  g_ranking = RankingTable{};
  g_save_data = SaveData{};
  LoadScores();
  LoadSaveData();
  EXPECT_STREQ(g_ranking.records[1][0].name, "ABC");
  EXPECT_EQ(g_ranking.records[1][0].score, 150000);
  EXPECT_EQ(g_save_data.StageReachedTable[1], 5);
  EXPECT_EQ(g_save_data.ClearMarkTable[1][2], 2);
  EXPECT_EQ(g_save_data.credits, 4);
  ReplayListEntry entry{};
  ASSERT_EQ(ReadReplayHeader(&entry, 0), 0);
  EXPECT_EQ(entry.valid, 1);
  EXPECT_STREQ(entry.name, "ABC");
  EXPECT_EQ(entry.header.words[kReplayWordScore], 150000);
  static uint32_t inputs[kReplayInputWords];
  ASSERT_EQ(ReadReplayFile(inputs, 0), 0);
  EXPECT_EQ(inputs[0], 8u);
  EXPECT_EQ(inputs[123], 16u);
}

// Stage-select play never enters the ranking: with a continue it goes
// straight back to stage select, without one through the save screen.
TEST_F(ReplaySaveTest, StageSelectGameOverWithAndWithoutAContinue) {
  struct Case {
    int continues;
    std::vector<int> scenes;
    bool files_written;
  };
  const Case cases[] = {
      {1, {kSceneNameEntry, kSceneStageSelect}, false},
      {0, {kSceneNameEntry, kSceneReplaySave, kSceneStageSelect}, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.continues);
    ResetState();
    fs::remove("file/score.dat");
    fs::remove("file/data.dat");
    RankingTable ranking_before = g_ranking;
    EndedGame(2, 1, 18, 0, 1, k.continues, 999999);
    g_save_data.credits = 3;
    g_flags.CurrentScene = kSceneGameOver;
    std::vector<int> scenes;
    scenes.push_back(RunSceneScripted(fake(), {}));
    scenes.push_back(RunSceneScripted(fake(), TypeAbcThenEnd()));
    if (g_flags.CurrentScene == kSceneReplaySave) {
      std::vector<uint32_t> to_return = WaitThen(31, {});
      Tap(to_return, kBomb);
      Tap(to_return, kShot);
      scenes.push_back(RunSceneScripted(fake(), to_return));
    }
    EXPECT_EQ(scenes, k.scenes);
    EXPECT_EQ(g_save_data.credits, 3);
    EXPECT_EQ(fs::exists("file/score.dat"), k.files_written);
    EXPECT_EQ(fs::exists("file/data.dat"), k.files_written);
    EXPECT_TRUE(ReplayFiles().empty());
    for (int s = 0; s < 5; ++s)
      EXPECT_EQ(g_ranking.records[2][s].score, ranking_before.records[2][s].score);
  }
}

// A replay played from the list comes back to the list at the same entry.
TEST_F(ReplaySaveTest, PlaybackFromTheListReturnsToItsEntryAfterGameOver) {
  EndedGame(0, 0, 2, 0, 1, 0, 4321);
  ASSERT_EQ(WriteReplayFile(g_replay_buffer, 9), 0);  // file 10
  std::vector<uint32_t> to_entry = WaitThen(30, {});
  Step(to_entry, kRight);  // entry 7, first row
  for (int i = 0; i < 2; ++i) Step(to_entry, kDown);
  Tap(to_entry, kShot);
  g_flags.CurrentScene = kSceneReplayList;
  ASSERT_EQ(RunSceneScripted(fake(), to_entry), kSceneGamePlay);
  ASSERT_EQ(g_flags.ReplayPlayback, 1);

  g_flags.CurrentScene = kSceneGameOver;  // the replay's game has ended
  EXPECT_EQ(RunSceneScripted(fake(), {}), kSceneReplayList);
  fake().calls.clear();
  EXPECT_EQ(RunSceneScripted(fake(), WaitThen(30, {kShot})), kSceneGamePlay);
  EXPECT_EQ(g_flags.ReplayListPosition[0], 9);
  EXPECT_EQ(g_flags.ReplayListPosition[1], 2);
  EXPECT_EQ(g_flags.ReplayListPosition[2], 7);
  EXPECT_EQ(HighlightYs().front(), 103 + 24 * 2);
}

}  // namespace
