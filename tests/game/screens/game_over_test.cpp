#include "screens/game_over.h"

#include "screens/scenes.h"
#include "shell/buttons.h"
#include "shell/frame.h"
#include "shell/image_tables.h"
#include "text_file_fixture.h"

namespace {

class GameOverTest : public SavedFileTest {
 protected:
  void SetUp() override {
    SavedFileTest::SetUp();
    g_config = DefaultConfig();
    g_input = InputState{};
    g_frame_clock = FrameClock{};
    kesto_fake::state().quit_after_pumps = 5000;  // a stuck scene fails instead of hanging
    g_flags.CurrentScene = kSceneGameOver;
  }
};

TEST_F(GameOverTest, WhereTheSceneLeadsAndTheCredit) {
  struct Case {
    const char* name;
    int playback, demo, sel_flag, retry, credits;
    int scene, return_to_list, credits_after;
    bool drawn;
  } cases[] = {
      {"arcade", 0, 0, 0, 0, 3, kSceneNameEntry, 0, 4, true},
      {"arcade at the cap", 0, 0, 0, 0, 9999, kSceneNameEntry, 0, 9999, true},
      {"stage select", 0, 0, 1, 0, 3, kSceneNameEntry, 0, 3, true},
      {"after a retry", 0, 0, 0, 1, 3, kSceneNameEntry, 0, 3, true},
      {"replay from the list", 1, 0, 0, 0, 3, kSceneReplayList, 1, 3, false},
      {"attract demo", 1, 1, 0, 0, 3, kSceneRanking, 0, 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    kesto_fake::Reset();
    kesto_fake::state().quit_after_pumps = 5000;
    g_flags = GameFlags{};
    g_flags.CurrentScene = kSceneGameOver;
    g_flags.ReplayPlayback = c.playback;
    g_flags.DemoMode = c.demo;
    g_flags.sel_flag = c.sel_flag;
    g_flags.RetryRequested = c.retry;
    g_save_data.credits = c.credits;
    EXPECT_EQ(RunGameOverScene(), 0);
    EXPECT_EQ(g_flags.CurrentScene, c.scene);
    EXPECT_EQ(g_flags.ReturnToReplayList, c.return_to_list);
    EXPECT_EQ(g_flags.ReplayPlayback, 0);
    EXPECT_EQ(g_save_data.credits, c.credits_after);
    EXPECT_EQ(kesto_fake::CallNames().front(), "HaltMusic");
    EXPECT_EQ(!kesto_fake::CallsNamed("BlitGraphicToQuad").empty(), c.drawn);
    // Left alone it leaves by itself, soon after the 240-frame hold.
    if (c.drawn) {
      EXPECT_LT(kesto_fake::state().pumps, 400);
    }
  }
}

TEST_F(GameOverTest, TheAnimationSettlesExactlyAndTheHoldGuardsShot) {
  GameOverState s = StartGameOver();
  int frames = 0;
  while (s.state < 2 && frames < 100) {
    UpdateGameOver(s, 0);
    ++frames;
  }
  ASSERT_EQ(s.state, 2) << "the factors never settled";
  EXPECT_EQ(s.logo_y_scale, 1.0);
  EXPECT_EQ(s.caption_x_scale, 1.0);
  EXPECT_EQ(s.caption_y_scale, 1.0);
  // Presses in the first 30 frames of the hold do nothing; the 31st leaves.
  GameOverState hold = s;
  for (int i = 1; i <= 30; ++i) {
    UpdateGameOver(hold, 1);
    ASSERT_EQ(hold.state, 2) << i;
  }
  UpdateGameOver(hold, 1);
  EXPECT_EQ(hold.state, 3);
  // A held button (counter 2) is not a press.
  hold = s;
  for (int i = 0; i < 239; ++i) UpdateGameOver(hold, 2);
  EXPECT_EQ(hold.state, 2);
  UpdateGameOver(hold, 0);
  EXPECT_EQ(hold.state, 3);
  UpdateGameOver(hold, 0);
  EXPECT_EQ(g_flags.CurrentScene, kSceneNameEntry);
}

TEST_F(GameOverTest, ShotIsReadThroughTheConfiguredButton) {
  // Shot assigned to BUTTON 3: pressing it 40 frames into the hold ends the
  // hold, and the next frame leaves; the default shot bit does nothing.
  g_config.shot_mask = 128;
  g_save_data.credits = 0;
  int hold_start = 0;
  kesto_fake::state().pad_script = [&](int pump) -> uint32_t {
    if (hold_start == 0) return 16u;  // the old shot bit held all along
    return pump == hold_start + 40 ? 128u : 16u;
  };
  // Find when the hold starts: the animation length.
  GameOverState probe = StartGameOver();
  int frames = 0;
  while (probe.state < 2) {
    UpdateGameOver(probe, 0);
    ++frames;
  }
  hold_start = frames;
  RunGameOverScene();
  EXPECT_EQ(g_flags.CurrentScene, kSceneNameEntry);
  EXPECT_EQ(kesto_fake::state().pumps, hold_start + 41);
}

}  // namespace
