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
    RunCurrentScene();  // reset, then the title in the same pass
    EXPECT_EQ(g_flags.StageNumber, 0);
    EXPECT_EQ(g_flags.CurrentScene, kSceneGamePlay);  // the stand-in title starts a game
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
