#include "overlays_fixture.h"

namespace {

constexpr uint32_t kDown = 1, kShot = 16, kPause = 128;

class PauseMenuTest : public OverlaysTest {
 protected:
  int Frame(uint32_t pad) {
    HoldPad(pad);
    return UpdatePauseMenu();
  }
  // Opens the menu, moves the cursor down `downs` times and waits out the
  // shot guard; the next frame may choose.
  void OpenAt(int downs) {
    Frame(kPause);
    int frames = 1;
    for (int d = 0; d < downs; ++d) {
      Frame(kDown);
      Frame(kDown);  // held: moves
      for (int i = 0; i < 8; ++i) Frame(0);
      frames += 10;
    }
    while (frames < 31) {
      Frame(0);
      ++frames;
    }
  }
};

TEST_F(PauseMenuTest, PausePressOpensTheMenuAndMarksTheGame) {
  EXPECT_EQ(Frame(kPause), 0);
  EXPECT_EQ(g_pause_menu.open, 1);
  EXPECT_EQ(g_flags.GamePaused, 1);
  EXPECT_EQ(g_flags.PausedThisGame, 1);
  // Held or pressed again, the pause button does not close it.
  for (int i = 0; i < 40; ++i) Frame(i % 2 ? kPause : 0);
  EXPECT_EQ(g_pause_menu.open, 1);
}

TEST_F(PauseMenuTest, IgnoredInTheDemoDuringStageClearWithContinueAndOutsidePlay) {
  struct Case {
    const char* what;
    int demo, stage_clear, continue_active, scene, result;
  };
  const Case cases[] = {{"demo", 1, 0, 0, kSceneGamePlay, -1},
                        {"stage clear", 0, 1, 0, kSceneGamePlay, 0},
                        {"continue", 0, 0, 1, kSceneGamePlay, 0},
                        {"other scene", 0, 0, 0, kSceneBoot, 0}};
  for (const Case& c : cases) {
    SetUp();
    g_flags.DemoMode = c.demo;
    if (c.stage_clear) StartStageClear();
    g_continue_screen.active = c.continue_active;
    g_flags.CurrentScene = c.scene;
    EXPECT_EQ(Frame(kPause), c.result) << c.what;
    EXPECT_EQ(g_pause_menu.open, 0) << c.what;
    EXPECT_EQ(g_flags.PausedThisGame, 0) << c.what;
  }
}

TEST_F(PauseMenuTest, ShotIsIgnoredUntilTheThirtySecondFrameOpen) {
  for (int press_frame : {31, 32}) {
    SetUp();
    Frame(kPause);
    for (int f = 2; f < press_frame; ++f) Frame(0);
    ClearLog();
    Frame(kShot);  // RETURN
    EXPECT_EQ(g_pause_menu.phase, press_frame == 32 ? 1 : 0) << press_frame;
    EXPECT_EQ(SoundsPlayed(), press_frame == 32 ? std::vector<int>{1} : std::vector<int>{})
        << press_frame;
  }
}

TEST_F(PauseMenuTest, ChoicesLeaveTheGameOrResumeIt) {
  struct Case {
    const char* what;
    int downs;
    int playback;
    int scene_after;
    int retry_requested;
    int paused_after;
    int open_after;
  };
  const Case cases[] = {
      {"RETURN", 0, 0, kSceneGamePlay, 0, 1, 1},
      {"GO TO TITLE", 1, 0, kSceneBoot, 0, 1, 1},
      {"RETRY", 2, 0, kSceneBoot, 1, 0, 0},
      // A replay offers no RETRY: two downs wrap back to RETURN.
      {"playback wraps", 2, 1, kSceneGamePlay, 0, 1, 1},
  };
  for (const Case& c : cases) {
    SetUp();
    g_flags.ReplayPlayback = c.playback;
    SetStageFrame(500);
    OpenAt(c.downs);
    ClearLog();
    Frame(kShot);
    EXPECT_EQ(g_flags.CurrentScene, c.scene_after) << c.what;
    EXPECT_EQ(g_flags.RetryRequested, c.retry_requested) << c.what;
    EXPECT_EQ(g_flags.GamePaused, c.paused_after) << c.what;
    EXPECT_EQ(g_pause_menu.open, c.open_after) << c.what;
    EXPECT_EQ(Count("HaltMusic"), c.scene_after == kSceneBoot ? 1 : 0) << c.what;
    EXPECT_EQ(GetStageFrame(), c.retry_requested ? 0 : 500) << c.what;  // RETRY resets the stage
  }
}

TEST_F(PauseMenuTest, ReturnResumesPlayThirtyFramesLater) {
  OpenAt(0);
  Frame(kShot);
  int frames = 0;
  while (g_flags.GamePaused == 1 && frames < 100) {
    Frame(0);
    ++frames;
  }
  EXPECT_EQ(frames, 30);
  const auto closed = PauseMenuState{};
  EXPECT_EQ(std::memcmp(&g_pause_menu, &closed, sizeof closed), 0);
}

TEST_F(PauseMenuTest, ClosedMenuLeavesTheCursorAndTheRepeatDelayAlone) {
  // Play holds down for a long time without pausing.
  for (int i = 0; i < 50; ++i) Frame(kDown);
  EXPECT_TRUE(SoundsPlayed().empty());
  EXPECT_EQ(g_menu_repeat.cursor, 0);
  EXPECT_EQ(g_pause_menu.cursor, 0);
  EXPECT_EQ(g_pause_menu.frame_counter, 0);
  // So the guard still holds once it opens.
  Frame(kPause);
  Frame(0);
  Frame(kShot);
  EXPECT_EQ(g_pause_menu.phase, 0);
}

TEST_F(PauseMenuTest, DrawsOnlyWhileOpenWithADarkeningThatGrowsToOneTwenty) {
  EXPECT_EQ(DrawPauseMenu(), -1);
  EXPECT_EQ(Count("PaintRectangle"), 0);
  for (int playback : {0, 1}) {
    SetUp();
    g_flags.ReplayPlayback = playback;
    for (int i = 0; i < 100; ++i) Frame(i == 0 ? kPause : 0);
    EXPECT_EQ(g_pause_menu.darkness_alpha, 120);
    ClearLog();
    EXPECT_EQ(DrawPauseMenu(), 0);
    const auto rects = kesto_fake::CallsNamed("PaintRectangle");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].iarg(0), 140);
    EXPECT_EQ(rects[0].iarg(2), 500);  // the play field only
    EXPECT_EQ(kesto_fake::CallsNamed("ChooseBlendMode")[0].iarg(1), 120);
    EXPECT_TRUE(Drew("PAUSE", 150, 120, true));
    EXPECT_TRUE(Drew("RETURN", 144, 180, true));
    EXPECT_TRUE(Drew("GO TO TITLE", 144, 220, true));
    EXPECT_EQ(Drew("RETRY", 144, 260, true), playback == 0) << playback;
    EXPECT_EQ(Sprites().at(0).iarg(1), 188);  // the highlight on RETURN
  }
}

}  // namespace
