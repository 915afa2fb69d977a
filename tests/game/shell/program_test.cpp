#include <filesystem>
#include <fstream>

#include "play/player.h"
#include "play/stage.h"
#include "shell/program.h"
#include "shell_fixture.h"
#include "support/scoped_temp_dir.h"

class ProgramTest : public ShellTest {
 protected:
  ScopedTempDir dir_{true};
};

TEST_F(ProgramTest, StartUpOrderAndCleanQuit) {
  fake().quit_after_pumps = 1;
  EXPECT_EQ(RunProgram(), 0);
  auto names = kesto_fake::CallNames({"ChangeWindowMode", "SetWindowCaption", "StartLibrary",
                                      "ChooseScreenMode", "ChooseDrawTarget", "ChooseMusicEngine",
                                      "PumpFrameMessages", "StopLibrary"});
  EXPECT_EQ(names, (std::vector<std::string>{"ChangeWindowMode", "SetWindowCaption",
                                             "StartLibrary", "ChooseScreenMode",
                                             "ChooseDrawTarget", "ChooseMusicEngine",
                                             "PumpFrameMessages", "StopLibrary"}));
  EXPECT_EQ(fake().caption, "HALCYRIS");
  EXPECT_EQ(kesto_fake::CallsNamed("ChooseScreenMode")[0].args,
            (std::vector<double>{640, 480, 16, -1}));
  EXPECT_EQ(kesto_fake::CallsNamed("ChooseDrawTarget")[0].iarg(0), -2);
  EXPECT_EQ(kesto_fake::CallsNamed("ChooseMusicEngine")[0].iarg(0), 1);
  // The loads lie between the music engine and the scene loop.
  auto& calls = fake().calls;
  auto pos = [&](const char* name) {
    return std::find_if(calls.begin(), calls.end(),
                        [&](const kesto_fake::Call& c) { return c.name == name; }) -
           calls.begin();
  };
  EXPECT_LT(pos("ChooseMusicEngine"), pos("LoadImageFileToGraphic"));
  EXPECT_LT(pos("LoadImageFileToGraphic"), pos("LoadSoundFileToHandle"));
  EXPECT_LT(pos("LoadSoundFileToHandle"), pos("PumpFrameMessages"));
  // A fresh folder has no progress file: writing it draws its key first, so
  // the demo pick is the generator's second draw.
  EXPECT_EQ(g_flags.DemoReplayIndex, 0);
  // Saves need their folders, which a fresh checkout does not have.
  EXPECT_TRUE(std::filesystem::is_directory("file"));
  EXPECT_TRUE(std::filesystem::is_directory("Replay"));
}

TEST_F(ProgramTest, FailedStartReturnsAtOnce) {
  fake().start_result = -1;
  EXPECT_EQ(RunProgram(), -1);
  EXPECT_EQ(kesto_fake::CallNames().back(), "StartLibrary");
  EXPECT_TRUE(kesto_fake::CallsNamed("StopLibrary").empty());
}

TEST_F(ProgramTest, UnknownScenesFallBackThroughTheReset) {
  for (int scene : {7, 15, -3, 1000}) {
    g_flags.CurrentScene = scene;
    g_flags.StageNumber = 4;
    RunCurrentScene();
    EXPECT_EQ(g_flags.CurrentScene, 0) << scene;
    EXPECT_EQ(g_flags.StageNumber, 4) << "no reset in the fallback pass";
    fake().quit_after_pumps = fake().pumps + 1;  // the title leaves at its first pump
    RunCurrentScene();  // reset, then the title in the same pass
    EXPECT_EQ(g_flags.StageNumber, 0);
    EXPECT_EQ(g_flags.CurrentScene, kSceneTitle);
    EXPECT_EQ(fake().pumps, fake().quit_after_pumps);
  }
}

TEST_F(ProgramTest, ResetsClearWhatTheyOwn) {
  auto dirty = [] {
    g_flags.GamePaused = 1;
    g_flags.StageNumber = 3;
    g_flags.ReplayPlayback = 1;
    SetStageFrame(500);
    StartSlowMotion(60);
    g_continue_screen.active = 1;
  };
  dirty();
  ResetPlayObjects();
  EXPECT_EQ(g_flags.GamePaused, 1);
  EXPECT_EQ(g_flags.StageNumber, 3);
  EXPECT_EQ(GetStageFrame(), 500);
  EXPECT_EQ(g_continue_screen.active, 0);
  EXPECT_EQ(g_slow_motion.frames_left, 0);  // a game's slow motion ends with it
  dirty();
  ResetGameObjects();
  EXPECT_EQ(g_flags.GamePaused, 0);
  EXPECT_EQ(g_flags.StageNumber, 0);
  EXPECT_EQ(g_flags.ReplayPlayback, 0);
  EXPECT_EQ(GetStageFrame(), 0);
  EXPECT_EQ(g_slow_motion.active, 0);
}

TEST_F(ProgramTest, ClosingTheWindowDuringPlayEndsWithCodeZero) {
  fake().quit_after_pumps = 50;
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_EQ(kesto_fake::CallNames().back(), "StopLibrary");
  EXPECT_GT(kesto_fake::CallsNamed("PresentBackScreen").size(), 40u);
}

TEST_F(ProgramTest, ASaveFolderThatCannotBeMadeIsReported) {
  std::ofstream("file") << "not a folder";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(EnsureSaveFolders());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("file"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory("Replay"));
  std::filesystem::remove("file");
  EXPECT_TRUE(EnsureSaveFolders());
}

namespace {

bool IsDraw(const kesto_fake::Call& c) {
  return c.name.rfind("Blit", 0) == 0 || c.name == "PaintRectangle";
}

}  // namespace

TEST_F(ProgramTest, TheUnshownLastFrameOfAGameIsNotUnderTheGameOver) {
  // Giving up on the continue screen: the field fades to black, and the
  // frame that hands over to game over (drawn without the darkening, never
  // shown) must not be what the game over draws onto.
  g_flags.CurrentScene = kSceneGamePlay;
  g_continue_screen.active = 1;
  g_continue_screen.phase = 20;
  g_continue_screen.darkness_alpha = 250;
  int first_game_over_pump = -1;
  fake().on_call = [&](const kesto_fake::Call& c) {
    if (c.name == "PumpFrameMessages" && g_flags.CurrentScene == kSceneGameOver &&
        first_game_over_pump < 0) {
      first_game_over_pump = static_cast<int>(fake().calls.size()) - 1;
    }
  };
  fake().quit_after_pumps = 12;
  RunSceneLoop();
  fake().on_call = nullptr;
  ASSERT_GE(first_game_over_pump, 0);
  const auto& calls = fake().calls;
  int last_play_draw = -1, last_erase = -1;
  for (int i = 0; i < first_game_over_pump; ++i) {
    if (IsDraw(calls[i])) last_play_draw = i;
    if (calls[i].name == "EraseTargetScreen") last_erase = i;
  }
  ASSERT_GE(last_play_draw, 0);
  EXPECT_GT(last_erase, last_play_draw) << "the game's last frame is left in the back buffer";
}

TEST_F(ProgramTest, HoldingSpaceWaitsAFrameAPassInsteadOfSpinning) {
  // Space held sends the title straight back to the reset on every pass,
  // before anything is shown.
  g_flags.CurrentScene = kSceneTitle;
  fake().keys_held.insert(57);
  fake().quit_after_pumps = 41;
  RunSceneLoop();
  EXPECT_TRUE(kesto_fake::CallsNamed("PresentBackScreen").empty());
  const auto waits = kesto_fake::CallsNamed("SleepWithPump");
  EXPECT_GE(waits.size(), 18u);  // two pumps a pass, the first pass not yet waiting
  for (const auto& w : waits) EXPECT_EQ(w.iarg(0), kFrameMilliseconds);
  // Released, the title shows again and nothing waits any more.
  fake().keys_held.clear();
  fake().calls.clear();
  fake().quit_after_pumps = fake().pumps + 6;
  RunSceneLoop();
  EXPECT_FALSE(kesto_fake::CallsNamed("PresentBackScreen").empty());
  EXPECT_TRUE(kesto_fake::CallsNamed("SleepWithPump").empty());
}
