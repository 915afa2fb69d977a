// The pause menu and the continue screen inside the running game-play scene.
#include <functional>

#include "overlays_fixture.h"
#include "screens/save_data.h"
#include "shell/game_play.h"
#include "support/scoped_temp_dir.h"

namespace {

std::function<void(const char*)> g_on_step;
void OnStep(const char* step) {
  if (g_on_step) g_on_step(step);
}

class OverlaysInPlayTest : public OverlaysTest {
 protected:
  void SetUp() override {
    OverlaysTest::SetUp();
    LoadAllImages();
    g_flags.DifficultyMode = 1;
    SetFrameStepHook(OnStep);
  }
  void TearDown() override {
    SetFrameStepHook(nullptr);
    g_on_step = nullptr;
  }
  // Runs scene 8 until the pump reports quit after `frames` frames.
  void RunFrames(int frames) {
    fake().pumps = 0;
    fake().quit_after_pumps = frames + 1;
    g_flags.CurrentScene = kSceneGamePlay;
    RunGamePlayScene();
  }
  ScopedTempDir dir_{true};
};

TEST_F(OverlaysInPlayTest, PauseFreezesPlayUntilThirtyFramesAfterReturn) {
  // Pause pressed on frame 40, shot on frame 80 chooses RETURN.
  fake().pad_script = [](int pump) -> uint32_t {
    return pump == 40 ? 128u : pump == 80 ? 16u : 0u;
  };
  static std::vector<int> paused_at_end;
  static int player_updates;
  paused_at_end.clear();
  player_updates = 0;
  g_on_step = [](const char* step) {
    const std::string s = step;
    if (s == "UpdatePlayer") ++player_updates;
    if (s == "EndFrame") paused_at_end.push_back(g_flags.GamePaused);
  };
  RunFrames(150);
  ASSERT_EQ(paused_at_end.size(), 150u);
  int first = -1, last = -1;
  for (int f = 0; f < 150; ++f) {
    if (paused_at_end[static_cast<size_t>(f)] == 1) {
      if (first < 0) first = f + 1;
      last = f + 1;
    }
  }
  EXPECT_EQ(first, 40);
  EXPECT_EQ(last, 109);  // frame 110 sets it free after the play objects
  EXPECT_EQ(player_updates, 150 - 70);
  EXPECT_EQ(g_flags.PausedThisGame, 1);
}

TEST_F(OverlaysInPlayTest, LosingTheLastLifeOffersAContinueThatPlayGoesOnFrom) {
  g_save_data.credits = 2;  // the game starts with the saved credits
  // The last life goes on frame 20 (as the player's collision does); shot
  // on frame 160 chooses YES once the 90-frame wait and the guard are over.
  fake().pad_script = [](int pump) -> uint32_t { return pump == 160 ? 16u : 0u; };
  static int frame;
  static int continues, credits, paused, active, menu_frames;
  frame = menu_frames = 0;
  g_on_step = [](const char* step) {
    const std::string s = step;
    if (s == "RunStageScript" && ++frame == 20) g_continue_screen.active = 1;
    if (s != "EndFrame") return;
    // What the frame ended with (the game's tidy-up after the loop clears
    // the player).
    continues = GetPlayerContinues();
    credits = GetPlayerCredits();
    paused = g_flags.GamePaused;
    active = g_continue_screen.active;
    menu_frames += g_continue_screen.phase == 1;
  };
  RunFrames(200);
  EXPECT_EQ(g_flags.CurrentScene, kSceneGamePlay);
  EXPECT_EQ(menu_frames, 160 - 20 - 90 + 1);
  EXPECT_EQ(continues, 1);
  EXPECT_EQ(credits, 1);
  EXPECT_EQ(paused, 0);
  EXPECT_EQ(active, 0);
}

}  // namespace
