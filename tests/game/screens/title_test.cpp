#include "screens/title.h"

#include "menu_scene_fixture.h"
#include "screens/hud.h"
#include "screens/scenes.h"

class TitleTest : public MenuSceneTest {
 protected:
  void AddDemoReplays(std::initializer_list<int> numbers) {
    for (int n : numbers) WriteFile("Replay/replay" + std::to_string(n) + ".dat", "DEM\n");
  }
};

// The demo condition (400 frames, or pause held) looks for the demo replay
// of DemoReplayIndex + 100 and moves on to the next index while it is missing.
TEST_F(TitleTest, DemoStartsFromTheFirstPresentReplay) {
  struct Row {
    const char* name;
    std::initializer_list<int> files;
    int index;
    int frames_until_demo;  // -1: never within the frames tried
    int index_after;
  };
  const Row rows[] = {
      {"all present", {100, 101, 102}, 0, 1, 0},
      {"index taken mod 3", {100, 101, 102}, 4, 1, 1},
      {"only the last present", {102}, 0, 3, 2},
      {"wraps to the first", {100}, 1, 3, 0},
      {"none present", {}, 0, -1, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetUp();
    AddDemoReplays(row.files);
    g_flags.CurrentScene = kSceneTitle;
    g_flags.DemoReplayIndex = row.index;
    TitleState title{};
    EnterTitle(title);
    title.title_frames = 400;
    int frames = 0;
    while (g_flags.CurrentScene == kSceneTitle && frames < 5) {
      StepTitle(title);
      ++frames;
    }
    if (row.frames_until_demo < 0) {
      EXPECT_EQ(g_flags.CurrentScene, kSceneTitle);
      EXPECT_EQ(g_flags.DemoMode, 0);
    } else {
      EXPECT_EQ(frames, row.frames_until_demo);
      EXPECT_EQ(g_flags.CurrentScene, kSceneReplayList);
      EXPECT_EQ(g_flags.DemoMode, 1);
    }
    EXPECT_EQ(g_flags.DemoReplayIndex, row.index_after);
    TearDown();
  }
}

TEST_F(TitleTest, HeldPauseStartsTheDemoOnItsSecondFrame) {
  AddDemoReplays({100, 101, 102});
  g_flags.CurrentScene = kSceneTitle;
  fake().pad_script = [](int pump) { return pump >= 5 ? kPadPause : 0u; };
  fake().quit_after_pumps = 20;
  RunTitleScene();
  EXPECT_EQ(fake().pumps, 6);
  EXPECT_EQ(g_flags.CurrentScene, kSceneReplayList);
  EXPECT_EQ(g_flags.DemoMode, 1);
}

TEST_F(TitleTest, DemoOverridesAShotPressOnTheSameFrame) {
  AddDemoReplays({100, 101, 102});
  g_flags.CurrentScene = kSceneTitle;
  TitleState title{};
  EnterTitle(title);
  title.title_frames = 400;
  title.blink_frames = 100;
  HoldPad(kPadShot);
  StepTitle(title);
  EXPECT_EQ(g_flags.CurrentScene, kSceneReplayList);
  EXPECT_EQ(g_flags.DemoMode, 1);
}

TEST_F(TitleTest, EntryStopsTheMusicAndLeavesTheDemo) {
  g_flags.DemoMode = 1;
  TitleState title{123, 45};
  EnterTitle(title);
  EXPECT_EQ(g_flags.DemoMode, 0);
  EXPECT_EQ(title.title_frames, 0);
  EXPECT_EQ(title.blink_frames, 0);
  EXPECT_EQ(kesto_fake::CallsNamed("HaltMusic").size(), 1u);
}

// The banner's columns wave with the overlay counter; nothing outside the demo.
TEST_F(TitleTest, DemoOverlayWavesAndBlinksOnlyInTheDemo) {
  DrawDemoOverlay();
  EXPECT_TRUE(fake().calls.empty());
  EXPECT_EQ(g_hud.demo_counter, 0);

  g_flags.DemoMode = 1;
  g_hud.demo_counter = 0;
  DrawDemoOverlay();
  int32_t first = SheetRunCell(kSheetStart, 2, 0);
  int32_t last = SheetRunCell(kSheetStart, 2, 125);
  EXPECT_EQ(DrawsOf(first), (std::vector<std::pair<int, int>>{{194, 200}}));
  // Column 125 at sin(125 degrees) * 6 = 4.9: truncated to 204.
  EXPECT_EQ(DrawsOf(last), (std::vector<std::pair<int, int>>{{444, 204}}));
  EXPECT_EQ(kesto_fake::CallsNamed("BlitGraphicScaledRotated").size(), 126u);
  EXPECT_EQ(fake().calls.front().args, (std::vector<double>{1, 155}));  // sin 0: 155
  EXPECT_FALSE(kesto_fake::CallsNamed("BlitGraphicAt").empty());        // the text
  EXPECT_EQ(g_hud.demo_counter, 1);

  fake().calls.clear();
  g_hud.demo_counter = 18;  // 72 degrees: the wave moves 90 degrees along
  DrawDemoOverlay();
  EXPECT_EQ(DrawsOf(first), (std::vector<std::pair<int, int>>{{194, 206}}));
  EXPECT_EQ(fake().calls.front().args, (std::vector<double>{1, 250}));  // 95.1 + 155
}
