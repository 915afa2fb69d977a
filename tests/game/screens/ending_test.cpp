#include "screens/ending.h"

#include "screens/scenes.h"
#include "shell/buttons.h"
#include "shell/frame.h"
#include "shell/image_tables.h"
#include "shell/sound_bank.h"
#include "text_file_fixture.h"

namespace {

class EndingTest : public SavedFileTest {
 protected:
  void SetUp() override {
    SavedFileTest::SetUp();
    g_config = DefaultConfig();
    g_input = InputState{};
    g_frame_clock = FrameClock{};
    ForgetLoadedImagesForTesting();
    LoadAllImages();
    LoadBgmTable();
    kesto_fake::state().calls.clear();
    kesto_fake::state().quit_after_pumps = 5000;
    g_flags.CurrentScene = kSceneEnding;
  }
};

TEST_F(EndingTest, LeftAloneItRollsFadesAndEndsInGameOver) {
  RunEndingScene();
  EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver);
  auto music = kesto_fake::CallsNamed("StartMusicFile");
  ASSERT_EQ(music.size(), 1u);
  EXPECT_EQ(music[0].text, g_bgm_table[11]);
  // 120 frames' wait, the 1500-frame roll, the fades and holds.
  EXPECT_EQ(kesto_fake::state().pumps, 120 + 1500 + 255 + 85 + 240 + 85 + 30 + 1);
}

TEST_F(EndingTest, ShotSkipsTheRollOnlyAfterTheFirstWait) {
  EndingState s = StartEnding();
  for (int i = 0; i < 120; ++i) UpdateEnding(s, 1);
  EXPECT_EQ(s.state, 1);
  UpdateEnding(s, 2);  // held, not pressed
  EXPECT_EQ(s.state, 1);
  UpdateEnding(s, 1);
  EXPECT_EQ(s.state, 2);
  EXPECT_EQ(s.scroll, 122);  // the roll moved one pixel a frame all along
}

TEST_F(EndingTest, PortraitAndClosingLineFollowTheGame) {
  const int32_t portraits[] = {SheetCell(kSheetCharB1, 0), SheetCell(kSheetCharB2, 0), SheetCell(kSheetCharB3, 0),
                               SheetCell(kSheetCharB4, 0), SheetCell(kSheetCharB4_2, 0)};
  struct Case {
    int mode, fighter, stage;
    int portrait;  // -1: none
    std::vector<double> corners;  // x1, y1 of the quad
    int line_x;    // screen x of the second line's first glyph
  } cases[] = {
      {1, 0, 6, 0, {140, 0}, 188},   {2, 3, 7, 3, {140, 0}, 194}, {3, 4, 6, 4, {200, 60}, 188},
      {0, 2, 7, -1, {}, 194},        {2, 9, 6, -1, {}, 188},
  };
  for (const Case& c : cases) {
    g_replay_buffer.header.words[kReplayWordMode] = c.mode;
    g_replay_buffer.header.words[kReplayWordFighter] = c.fighter;
    g_flags.StageNumber = c.stage;
    kesto_fake::state().calls.clear();
    EndingState s = StartEnding();
    s.text_alpha = 200;
    DrawEnding(s);
    auto quads = kesto_fake::CallsNamed("BlitGraphicToQuad");
    if (c.portrait < 0) {
      EXPECT_TRUE(quads.empty()) << c.mode << "/" << c.fighter;
    } else {
      ASSERT_EQ(quads.size(), 1u);
      EXPECT_EQ(quads[0].iarg(8), portraits[c.portrait]);
      EXPECT_EQ(quads[0].iarg(0), c.corners[0]);
      EXPECT_EQ(quads[0].iarg(1), c.corners[1]);
    }
    bool line_found = false;
    for (const auto& call : kesto_fake::CallsNamed("BlitGraphicAt"))
      if (call.iarg(1) == 148 && call.iarg(0) == c.line_x) line_found = true;
    EXPECT_TRUE(line_found) << c.stage;
  }
}

}  // namespace
