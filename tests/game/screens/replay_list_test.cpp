#include "screens/replay_list.h"

#include <fstream>
#include <sstream>
#include <string>

#include "result_scenes_fixture.h"
#include "screens/scenes.h"
#include "shell/sheet_layout.h"

namespace {

using namespace result_scenes;

// A finished arcade game on HELL, as the replay buffer holds it.
void FillBuffer(int score, const char* name) {
  ClearReplayBuffer();
  int32_t* w = g_replay_buffer.header.words;
  w[kReplayWordMode] = 2;
  w[kReplayWordFighter] = 1;
  w[kReplayWordScore] = score;
  w[kReplayWordStage] = 3;
  w[kReplayWordMisses] = 2;
  w[kReplayWordAutoGuard] = 1;
  w[kReplayWordBulletColor] = 0;
  w[kReplayWordShotMask] = 16;
  w[kReplayWordBombMask] = 32;
  w[kReplayWordFullAutoMask] = 64;
  w[kReplayWordDate] = 2026;
  w[kReplayWordDate + 1] = 12;
  w[kReplayWordDate + 2] = 10;
  SetReplayName(name);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The first `lines` lines of a file.
std::string Head(const std::string& text, int lines) {
  size_t at = 0;
  for (int i = 0; i < lines && at != std::string::npos; ++i) at = text.find('\n', at) + 1;
  return text.substr(0, at);
}

class ReplayListTest : public ResultScenesTest {
 protected:
  // Replay files 1 (intact), 3 (a letter in the header), 4 (empty) and
  // 5 (cut inside the header); 2 is missing.
  void WriteMixedSlots() {
    FillBuffer(424242, "ABC");
    ASSERT_EQ(WriteReplayFile(g_replay_buffer, 0), 0);
    std::string intact = ReadFile("Replay/replay1.dat");
    std::string damaged = intact;
    size_t line8 = 0;
    for (int i = 0; i < 8; ++i) line8 = damaged.find('\n', line8) + 1;
    damaged.insert(line8, "x");
    WriteFile("Replay/replay3.dat", damaged);
    WriteFile("Replay/replay4.dat", "");
    WriteFile("Replay/replay5.dat", Head(intact, 20));
  }
  int32_t HighlightGraphic() const { return SheetCell(kSheetCursor1, 0); }
  // Screen y of the highlight bars drawn since the log was cleared.
  std::vector<int> HighlightYs() const {
    std::vector<int> ys;
    for (const auto& c : kesto_fake::CallsNamed("BlitGraphicScaledRotated"))
      if (c.iarg(4) == HighlightGraphic()) ys.push_back(c.iarg(1));
    return ys;
  }
};

TEST_F(ReplayListTest, PresentFilesAreListedMissingAndDamagedOnesShowNoData) {
  WriteMixedSlots();
  ReplaySlotList list;
  ReadReplaySlotList(list);
  const int valid[] = {1, 0, 0, 0, 0, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(list.entries[i].valid, valid[i]) << "file " << i + 1;
  EXPECT_EQ(list.entries[0].header.words[kReplayWordScore], 424242);
  EXPECT_STREQ(list.entries[0].name, "ABC");

  g_flags.CurrentScene = kSceneReplayList;
  Script({}, 1);
  RunReplayListScene();
  auto texts = DrawnTexts();
  auto count = [&](const std::string& t) { return std::count(texts.begin(), texts.end(), t); };
  EXPECT_EQ(count("424242"), 1);
  EXPECT_EQ(count("HELL"), 1);
  EXPECT_EQ(count("........NO DATA........"), 6);  // files 2 to 7
  // The cursor starts on file 1: its details.
  for (const char* t : {"REPLAY MODE", "ABC", "HOPE", "ON", "STAGE1"}) EXPECT_EQ(count(t), 1) << t;
}

TEST_F(ReplayListTest, ShotPlaysAValidEntryAndTheListReopensWhereItWas) {
  FillBuffer(777, "XYZ");
  ASSERT_EQ(WriteReplayFile(g_replay_buffer, 41), 0);  // file 42
  std::vector<uint32_t> script;
  Hold(script, 0, 30);
  for (int i = 0; i < 5; ++i) Step(script, kRight);  // pages to entry 35
  for (int i = 0; i < 6; ++i) Step(script, kDown);   // entry 41, the last row
  Tap(script, kShot);
  g_flags.CurrentScene = kSceneReplayList;
  Script(script, 1000);
  RunReplayListScene();
  ASSERT_EQ(g_flags.CurrentScene, kSceneGamePlay);
  EXPECT_EQ(g_flags.ReplayPlayback, 1);
  EXPECT_EQ(g_flags.DifficultyMode, 2);
  EXPECT_EQ(g_flags.ReplayListPosition[0], 41);
  EXPECT_EQ(g_flags.ReplayListPosition[1], 6);
  EXPECT_EQ(g_flags.ReplayListPosition[2], 35);

  // Game over sends the player back here.
  ResetState();
  g_flags.ReplayListPosition[0] = 41;
  g_flags.ReplayListPosition[1] = 6;
  g_flags.ReplayListPosition[2] = 35;
  g_flags.ReturnToReplayList = 1;
  g_flags.CurrentScene = kSceneReplayList;
  Script({}, 1);
  RunReplayListScene();
  EXPECT_EQ(g_flags.ReturnToReplayList, 0);
  EXPECT_EQ(HighlightYs(), (std::vector<int>{103 + 24 * 6}));
  EXPECT_TRUE(Drew("XYZ"));
  EXPECT_TRUE(Drew("42"));
}

TEST_F(ReplayListTest, ShotOnReturnInvalidEntriesAndDuringTheGuard) {
  WriteMixedSlots();
  struct Case {
    const char* label;
    std::vector<uint32_t> script;
    int scene_after;
  };
  std::vector<uint32_t> to_return, invalid, early;
  Tap(to_return, kBomb);  // ignored: within the first 30 frames
  Hold(to_return, 0, 30);
  Tap(to_return, kBomb);
  Tap(to_return, kShot);
  Hold(invalid, 0, 30);
  Step(invalid, kDown);  // file 2, missing
  Tap(invalid, kShot);
  Step(invalid, kDown);  // file 3, damaged
  Tap(invalid, kShot);
  Hold(early, 0, 29);
  Tap(early, kShot);  // frame 30: too early
  const Case cases[] = {
      {"RETURN", to_return, kSceneMainMenu},
      {"invalid entries", invalid, kSceneReplayList},
      {"within the guard", early, kSceneReplayList},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.label);
    ResetState();
    g_flags.CurrentScene = kSceneReplayList;
    Script(k.script, static_cast<int>(k.script.size()) + 5);
    RunReplayListScene();
    EXPECT_EQ(g_flags.CurrentScene, k.scene_after);
    EXPECT_EQ(g_flags.ReplayPlayback, 0);
  }
}

TEST_F(ReplayListTest, TheAttractDemoStartsItsReplayAtOnceOrGoesBackToTheTitle) {
  FillBuffer(5000, "DEM");
  ASSERT_EQ(WriteReplayFile(g_replay_buffer, 100), 0);  // file 101
  WriteFile("Replay/replay100.dat", Head(ReadFile("Replay/replay101.dat"), 20));  // cut short
  struct Case {
    int index, result, scene_after, next_index, frames;
  };
  // File 101 plays; 102 is missing (its turn stays); 100 is damaged (its
  // turn passes on).
  for (Case k : {Case{1, 0, kSceneGamePlay, 2, 1}, Case{2, -1, kSceneBoot, 2, 0},
                 Case{0, -1, kSceneBoot, 1, 0}}) {
    SCOPED_TRACE(k.index);
    ResetState();
    g_flags.CurrentScene = kSceneReplayList;
    g_flags.DemoMode = 1;
    g_flags.DemoReplayIndex = k.index;
    Script({}, 100);
    EXPECT_EQ(RunReplayListScene(), k.result);
    EXPECT_EQ(g_flags.CurrentScene, k.scene_after);
    EXPECT_EQ(g_flags.DemoReplayIndex, k.next_index);
    EXPECT_EQ(fake().pumps, k.frames);
  }
}

TEST_F(ReplayListTest, RowsShowTheStageAsThePlayerKnowsIt) {
  struct Case {
    int sel_flag, stage;
    const char* shown;
  };
  const Case cases[] = {
      {0, 3, "3"},   {0, 6, "ALL"}, {0, 7, "ALL!"}, {1, 2, "ST2"},
      {1, 16, "BB1"}, {1, 20, "BB5"}, {1, 21, "???"},
  };
  ReplaySlotList list{};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.shown);
    list.entries[0].valid = 1;
    list.entries[0].header.words[kReplayWordStageSelect] = k.sel_flag;
    list.entries[0].header.words[kReplayWordStage] = k.stage;
    fake().calls.clear();
    DrawReplayListRow(list, 0, 0, kReplayListBaseY);
    auto texts = DrawnTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), k.shown);
  }
  // Rows outside the seven shown draw nothing.
  fake().calls.clear();
  DrawReplayListRow(list, 0, 1, kReplayListBaseY);
  DrawReplayListRow(list, 8, 1, kReplayListBaseY);
  EXPECT_TRUE(DrawnTexts().empty());
}

}  // namespace
