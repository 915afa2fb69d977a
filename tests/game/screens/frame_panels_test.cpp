#include "overlays_fixture.h"

namespace {

using FramePanelsTest = OverlaysTest;

TEST_F(FramePanelsTest, ReplayPanelShowsTheRecordedNameAndScoreDuringPlayback) {
  struct Case {
    const char* what;
    int playback, demo, result;
  };
  const Case cases[] = {{"live play", 0, 0, -1}, {"playback", 1, 0, 0}, {"demo", 1, 1, -1}};
  for (const Case& c : cases) {
    SetUp();
    g_flags.ReplayPlayback = c.playback;
    g_flags.DemoMode = c.demo;
    g_player.replay_name = {'A', 'B', 'C', '\0'};
    g_player.replay_score = 4567;
    ClearLog();
    EXPECT_EQ(DrawReplayPanel(), c.result) << c.what;
    EXPECT_EQ(Drew("PLAYER", -132, 8, true), c.result == 0) << c.what;
    EXPECT_EQ(Drew("ABC", -12, 24, false), c.result == 0) << c.what;
    EXPECT_EQ(Drew("SCORE", -132, 56, true), c.result == 0) << c.what;
    EXPECT_EQ(Drew("4567", -12, 72, false), c.result == 0) << c.what;
  }
}

TEST_F(FramePanelsTest, ReplayNamesFromFilesDrawOnlyKnownGlyphsAndAtMostThree) {
  g_flags.ReplayPlayback = 1;
  // Not terminated, lower case and bytes above 127, as a damaged file may hold.
  for (std::array<char, 4> name : {std::array<char, 4>{'X', 'Y', 'Z', 'W'},
                                   std::array<char, 4>{'a', '\xE9', 'Q', '\x7F'}}) {
    g_player.replay_name = name;
    ClearLog();
    DrawReplayPanel();
    int name_glyphs = 0;
    for (const auto& c : kesto_fake::CallsNamed("BlitGraphicAt")) {
      EXPECT_GT(c.iarg(2), 0);
      name_glyphs += c.iarg(1) == 24;
    }
    EXPECT_EQ(name_glyphs, name[0] == 'X' ? 3 : 1);
  }
}

TEST_F(FramePanelsTest, HiScoreShowsTheLargerScoreOnlyInLiveArcadePlay) {
  struct Case {
    const char* what;
    int scene, playback, sel_flag, demo, result;
  };
  const Case cases[] = {{"arcade play", kSceneGamePlay, 0, 0, 0, 0},
                        {"menu", kSceneMainMenu, 0, 0, 0, -1},
                        {"playback", kSceneGamePlay, 1, 0, 0, -1},
                        {"stage select", kSceneGamePlay, 0, 1, 0, -1},
                        {"demo", kSceneGamePlay, 0, 0, 1, -1}};
  for (const Case& c : cases) {
    SetUp();
    g_flags.CurrentScene = c.scene;
    g_flags.ReplayPlayback = c.playback;
    g_flags.sel_flag = c.sel_flag;
    g_flags.DemoMode = c.demo;
    SetPlayerHiScore(100000);
    ClearLog();
    EXPECT_EQ(DrawHiScore(), c.result) << c.what;
    EXPECT_EQ(Drew("HISCORE", 404, 0, true), c.result == 0) << c.what;
    EXPECT_EQ(Drew("100000", 488, 16, false), c.result == 0) << c.what;
  }
  SetUp();
  SetPlayerHiScore(100000);
  AddScore(250000);
  ClearLog();
  DrawHiScore();
  EXPECT_TRUE(Drew("250000", 488, 16, false));
}

}  // namespace
