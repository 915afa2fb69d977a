#include "overlays_fixture.h"

namespace {

using BannersTest = OverlaysTest;

// Runs the stage title to its end; returns the frames it was active.
int RunStageTitle() {
  StartStageTitle();
  int frames = 0;
  while (g_stage_title.active == 1 && frames < 1000) {
    UpdateStageTitle();
    ++frames;
  }
  return frames;
}

TEST_F(BannersTest, StageTitleWipesInHoldsFadesAndClearsItself) {
  StartStageTitle();
  std::vector<int> phase_frames(5, 0);
  int frames = 0;
  bool column_order_kept = true;
  while (g_stage_title.active == 1 && frames < 1000) {
    ++phase_frames[static_cast<size_t>(g_stage_title.phase)];
    UpdateStageTitle();
    ++frames;
    // A wipe from left to right: no column is ahead of the one left of it.
    for (int i = 1; i < kTitleColumns; ++i)
      column_order_kept = column_order_kept && g_stage_title.alpha[i] <= g_stage_title.alpha[i - 1];
    if (g_stage_title.phase == 2) {
      EXPECT_EQ(g_stage_title.factor[0] >= 1.0, true);
      EXPECT_EQ(g_stage_title.factor[1], 1.0);
      EXPECT_EQ(g_stage_title.factor[2], 1.0);
    }
  }
  EXPECT_TRUE(column_order_kept);
  EXPECT_EQ(phase_frames[0], 1);
  // Column 143 starts at -286 and gains 10 a frame.
  EXPECT_EQ(phase_frames[1], 55);
  EXPECT_EQ(phase_frames[2], 40);
  EXPECT_EQ(phase_frames[3], 51);  // 255 down by 5
  EXPECT_EQ(phase_frames[4], 1);
  const auto cleared = StageTitleBanner{};
  EXPECT_EQ(std::memcmp(&g_stage_title, &cleared, sizeof cleared), 0);
}

TEST_F(BannersTest, StartingAShowingStageTitleChangesNothing) {
  StartStageTitle();
  for (int i = 0; i < 30; ++i) UpdateStageTitle();
  const StageTitleBanner before = g_stage_title;
  StartStageTitle();
  EXPECT_EQ(std::memcmp(&g_stage_title, &before, sizeof before), 0);
  EXPECT_EQ(RunStageTitle(), 148 - 30);
}

TEST_F(BannersTest, StageTitleDrawsPlateColumnsAndTheStageDigit) {
  DrawStageTitle();
  EXPECT_EQ(Count("BlitGraphicToQuad") + Count("BlitGraphicScaledRotated"), 0);
  struct Case {
    int stage;
    int digit_x;  // where in start.dat the digit is cut; -1 none
  };
  for (Case c : {Case{1, 144}, Case{3, 208}, Case{5, 272}, Case{20, -1}, Case{21, -1}}) {
    ResetStageTitle();
    g_flags.StageNumber = c.stage;
    StartStageTitle();
    for (int i = 0; i < 60; ++i) UpdateStageTitle();
    ClearLog();
    DrawStageTitle();
    const auto quads = kesto_fake::CallsNamed("BlitGraphicToQuad");
    ASSERT_EQ(quads.size(), c.digit_x < 0 ? 1u : 2u) << c.stage;
    EXPECT_EQ(G(quads[0].iarg(8)).y, 48);    // the plate
    EXPECT_EQ(quads[0].iarg(0), 140);        // 360 wide, centred on 320
    if (c.digit_x >= 0) {
      EXPECT_EQ(G(quads[1].iarg(8)).x, c.digit_x) << c.stage;
      EXPECT_EQ(quads[1].iarg(0), 396 - 16) << c.stage;
    }
    // All 144 columns are in by now, each from its own x of the picture.
    const auto columns = Sprites();
    ASSERT_EQ(columns.size(), 144u);
    EXPECT_EQ(columns[10].iarg(0), 140 + 84 + 10);
    EXPECT_EQ(G(columns[10].iarg(4)).x, 10);
  }
}

// The WARNING from start to end: frames the banner was active.
int RunWarning() {
  StartBossWarning();
  int frames = 0;
  while (g_boss_warning.active == 1 && frames < 2000) {
    UpdateBossWarning();
    DrawBossWarning();
    ++frames;
  }
  return frames;
}

TEST_F(BannersTest, WarningSoundsEverySixtyFramesKeepsMusicOffThenStartsTheBossMusic) {
  g_flags.StageNumber = 2;
  const int frames = RunWarning();
  // 1 + 18 (bars in) + 11 (stripes: ten steps of 0.1 stay below 1.0)
  // + 49 + 180 (rows in, then the hold) + 36 (rows out) + 11 (stripes)
  // + 18 (bars out) + 1.
  EXPECT_EQ(frames, 325);
  const auto sounds = SoundsPlayed();
  EXPECT_EQ(sounds, std::vector<int>(6, 82));  // frames 1, 61, ..., 301
  EXPECT_EQ(Count("HaltMusic") >= frames, true);
  // Nothing starts the music before the end, and the boss music then.
  ASSERT_EQ(MusicStarted().size(), 1u);
  EXPECT_NE(MusicStarted()[0].find("global distortion"), std::string::npos);
  const auto names = kesto_fake::CallNames({"HaltMusic", "StartMusicFile"});
  EXPECT_EQ(names.back(), "StartMusicFile");
}

TEST_F(BannersTest, StageFiveAndItsBossPracticeLeaveTheMusicToTheBoss) {
  for (int stage : {5, 20}) {
    ResetBossWarning();
    ClearLog();
    g_flags.StageNumber = stage;
    RunWarning();
    EXPECT_TRUE(MusicStarted().empty()) << stage;
  }
}

TEST_F(BannersTest, WarningTextIsVisibleAndStaggeredEveryTime) {
  // At program start and after each banner the rows start staggered and
  // opaque; a zeroed record would draw the text at alpha 0.
  for (int run = 0; run < 2; ++run) {
    for (int r = 0; r < kBannerRows; ++r) {
      ASSERT_EQ(g_boss_warning.row_offset[r], -2 * r) << run;
      ASSERT_EQ(g_boss_warning.row_alpha[r], 255) << run;
    }
    RunWarning();
  }
  StartBossWarning();
  ClearLog();
  UpdateBossWarning();
  DrawBossWarning();
  // Two bars and two copies of each of the 64 rows (no stripes yet).
  const auto sprites = Sprites();
  ASSERT_EQ(sprites.size(), 2u + 128u);
  EXPECT_EQ(sprites[1].arg(3), 180.0 * kPiSingle / 180.0);  // the second bar is turned
  const auto blends = kesto_fake::CallsNamed("ChooseBlendMode");
  int row_alphas_255 = 0;
  for (const auto& b : blends) row_alphas_255 += b.iarg(1) == 255;
  EXPECT_EQ(row_alphas_255, static_cast<int>(blends.size()));
}

TEST_F(BannersTest, StartingAShowingWarningChangesNothing) {
  StartBossWarning();
  for (int i = 0; i < 100; ++i) UpdateBossWarning();
  const BossWarningBanner before = g_boss_warning;
  StartBossWarning();
  EXPECT_EQ(std::memcmp(&g_boss_warning, &before, sizeof before), 0);
}

TEST_F(BannersTest, WarningRowsSlideInFromBothSidesAndScrollTheirFrames) {
  StartBossWarning();
  while (g_boss_warning.phase != 4) UpdateBossWarning();
  ClearLog();
  DrawBossWarning();
  const auto sprites = Sprites();
  // 25 stripes at full scale, two bars, then the rows: both copies of row r
  // meet at field x 180.
  ASSERT_EQ(sprites.size(), 25u + 2u + 128u);
  EXPECT_EQ(sprites[0].arg(2), 1.0);
  EXPECT_EQ(sprites[27].iarg(0), 140 + 180);
  EXPECT_EQ(sprites[28].iarg(0), 140 + 180);
  const int frame = (g_boss_warning.anim_counter / 4) % 4;
  EXPECT_EQ(G(sprites[27].iarg(4)).y, 64 * frame);
  EXPECT_EQ(G(sprites[29].iarg(4)).y, 64 * frame + 1);
}

}  // namespace
