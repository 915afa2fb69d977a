#include "play/stage.h"

#include "play/enemies.h"
#include "screens/config.h"
#include "shell/sound_bank.h"
#include "play_fixture.h"

class StageTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    ResetStageObject();
  }
  // (sheet path, cell y, field y) of each sprite drawn since the log was cleared.
  struct Piece {
    std::string path;
    int cell_y;
    int y;
  };
  std::vector<Piece> Pieces() {
    std::vector<Piece> out;
    for (const auto& c : Sprites()) {
      const auto& g = G(c.iarg(4));
      out.push_back({G(g.parent).path, g.y, c.iarg(1)});
    }
    return out;
  }
};

TEST_F(StageTest, MusicOnFrameZeroOfStagesOneToFive) {
  g_config = DefaultConfig();
  LoadBgmTable();
  for (int stage : {1, 5, 16, 21}) {
    ResetStageObject();
    g_flags.StageNumber = stage;
    ClearLog();
    RunStageScript();
    RunStageScript();
    EXPECT_EQ(g_stage.frame, 2);
    auto starts = kesto_fake::CallsNamed("StartMusicFile");
    ASSERT_EQ(starts.size(), stage <= 5 ? 1u : 0u) << stage;
    if (stage <= 5) {
      EXPECT_EQ(starts[0].text, g_bgm_table[stage + 1]);
    }
  }
}

TEST_F(StageTest, TileAndMapLayersAtFrameZeroOfStageOne) {
  g_flags.StageNumber = 1;
  RunStageScript();
  auto p = Pieces();
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0].path, "bmp/stage10.dat");
  EXPECT_EQ(p[0].y, 240 + 0);  // offset moves after the draw
  EXPECT_EQ(p[1].y, -240);
  // Both map pieces show the bottom 480 rows of the stage 1 map.
  EXPECT_EQ(p[2].path, "bmp/stage11.dat");
  EXPECT_EQ(p[2].cell_y, 3360);
  EXPECT_EQ(p[2].y, 240);
  EXPECT_EQ(p[3].cell_y, 3360);
  EXPECT_EQ(p[3].y, -240);
  EXPECT_EQ(g_stage.layer0_offset, 16.0);
}

TEST_F(StageTest, MapLayerRunsOutAtTheEndOfItsList) {
  g_flags.StageNumber = 4;
  // map position 6720 = frame 8400: only the last piece, from 7200 none.
  struct Case {
    int frame;
    size_t map_pieces;
  };
  for (Case c : {Case{8399, 2}, Case{8400, 1}, Case{8999, 1}, Case{9000, 0}, Case{11000, 0}}) {
    SetStageFrame(c.frame);
    ClearLog();
    RunStageScript();
    EXPECT_EQ(Pieces().size(), 2 + c.map_pieces) << c.frame;
  }
}

TEST_F(StageTest, PausedStageDrawsButNothingMoves) {
  g_flags.StageNumber = 2;
  RunStageScript();
  RunStageScript();
  double offset = g_stage.layer0_offset;
  g_flags.GamePaused = 1;
  ClearLog();
  RunStageScript();
  EXPECT_EQ(g_stage.frame, 2);
  EXPECT_EQ(g_stage.layer0_offset, offset);
  EXPECT_EQ(Pieces().size(), 4u);
}

TEST_F(StageTest, ScrollModeStepsAndRamps) {
  struct Case {
    int stage;
    int mode;
    double speed0_before;
    double speed0_after;
    int mode_after;
  };
  const Case cases[] = {
      {1, 0, 0.0, 16.0, 1},  {1, 1, 16.0, 15.95, 1}, {1, 1, 0.5, 0.5, 2},  {1, 1, 0.52, 0.47, 1},
      {1, 2, 3.0, 0.5, 2},   {2, 0, 0.0, 0.5, 1},    {2, 3, 5.0, 5.1, 3},  {2, 3, 6.05, 6.0, 2},
      {3, 0, 0.0, 0.8, 1},   {3, 1, 9.0, 0.8, 2},    {4, 1, 7.9, 8.1, 1},  {4, 1, 8.1, 8.0, 2},
      {5, 1, 5.0, 0.0, 1},   {5, 2, 7.95, 8.05, 2},  {5, 2, 8.05, 8.0, 2}, {5, 3, 5.0, 0.5, 3},
      {21, 0, 0.0, 8.0, 0},  {4, 7, 3.0, 3.0, 7},
  };
  for (const Case& c : cases) {
    ResetStageObject();
    g_flags.StageNumber = c.stage;
    SetStageFrame(100);
    g_stage.scroll_mode = c.mode;
    g_stage.layer0_speed = c.speed0_before;
    RunStageScript();
    EXPECT_NEAR(GetScrollSpeed(0), c.speed0_after, 1e-9) << c.stage << "/" << c.mode;
    EXPECT_EQ(g_stage.scroll_mode, c.mode_after) << c.stage << "/" << c.mode;
  }
  // Stage 1's slow-down from 16 reaches 0.5 and holds.
  ResetStageObject();
  g_flags.StageNumber = 1;
  SetStageFrame(1);
  int frames = 0;
  while (g_stage.scroll_mode != 2 && frames < 1000) {
    RunStageScript();
    ++frames;
  }
  EXPECT_GT(frames, 300);
  EXPECT_LT(frames, 320);
  EXPECT_EQ(GetScrollSpeed(0), 0.5);
  EXPECT_EQ(GetScrollSpeed(2), 0.0);
}

TEST_F(StageTest, StageFiveMapStopsWithTheScrollAndExtraTileSwaps) {
  g_flags.StageNumber = 20;  // boss practice: the counter starts at the stage frame
  SetStageFrame(11100);
  RunStageScript();
  EXPECT_EQ(g_stage.background_counter, 11101);
  SetScrollMode(1);
  RunStageScript();
  RunStageScript();
  EXPECT_EQ(g_stage.background_counter, 11101);
  EXPECT_EQ(g_stage.frame, 11103);
  EXPECT_EQ(GetScrollSpeed(1), 0.0);
  SetScrollMode(4);
  ClearLog();
  RunStageScript();
  EXPECT_EQ(Pieces().at(0).path, "bmp/stage60.dat");
  EXPECT_EQ(g_stage.background_counter, 11102);
}

TEST_F(StageTest, ItemCountStartsSlowMotionAndFlagsReadOrWrite) {
  g_flags.StageNumber = 1;
  AddItemCount(199);
  RunStageScript();
  EXPECT_EQ(g_slow_motion.active, 0);
  AddItemCount(1);
  RunStageScript();
  EXPECT_EQ(g_slow_motion.frames_left, 30);

  EXPECT_EQ(BossFightFlag(1), 1);
  EXPECT_EQ(BossFightFlag(7), 1);
  EXPECT_EQ(BossFightFlag(0), 0);
  EXPECT_EQ(SecretBossFlag(2), 0);
  EXPECT_EQ(AddStageEventCount(2), 2);

  // A reset zeroes the live counts and the serial counter, whatever is alive.
  AddEnemyBulletCount(3);
  EnemySerialCounter = 77;
  ResetStageObject();
  EXPECT_EQ(GetEnemyBulletsOnScreen(), 0);
  EXPECT_EQ(EnemySerialCounter, 0);
  AddEnemyBulletCount(-1);
  EXPECT_EQ(GetEnemyBulletsOnScreen(), -1);
}
