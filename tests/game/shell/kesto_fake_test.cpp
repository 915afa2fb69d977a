// The recording library stands in for Kesto in every game test, so its
// contracts must be the ones the game relies on.
#include "kesto/kesto.h"
#include "shell_fixture.h"

using KestoFakeTest = ShellTest;

TEST_F(KestoFakeTest, CutOutsAreNarrowedOrRefusedAsTheLibraryDoes) {
  fake().image_sizes["bmp/a.dat"] = {100, 50};
  int parent = LoadImageFileToGraphic("bmp/a.dat");
  ASSERT_GT(parent, 0);
  struct Case {
    int x, y, w, h, parent;
    int want_w, want_h;  // 0: refused
  };
  const Case cases[] = {
      {0, 0, 100, 50, parent, 100, 50}, {90, 40, 32, 32, parent, 10, 10},
      {100, 0, 1, 1, parent, 0, 0},     {0, 50, 1, 1, parent, 0, 0},
      {0, -480, 100, 50, parent, 0, 0}, {-1, 0, 10, 10, parent, 0, 0},
      {0, 0, 10, 10, -1, 0, 0},         {0, 0, 10, 10, 0, 0, 0},
      {0, 0, 0, 10, parent, 0, 0},
  };
  for (const Case& c : cases) {
    int h = MakeSubGraphic(c.x, c.y, c.w, c.h, c.parent);
    if (c.want_w == 0) {
      EXPECT_EQ(h, -1) << c.x << "," << c.y;
      continue;
    }
    ASSERT_TRUE(kesto_fake::IsValidGraphic(h)) << c.x << "," << c.y;
    EXPECT_EQ(fake().graphics[size_t(h)].width, c.want_w);
    EXPECT_EQ(fake().graphics[size_t(h)].height, c.want_h);
  }
  EXPECT_EQ(BlitGraphicAt(0, 0, -1, 1), -1);
  EXPECT_EQ(BlitGraphicAt(0, 0, 0, 1), -1);
  EXPECT_EQ(BlitGraphicAt(0, 0, parent, 1), 0);
}

TEST_F(KestoFakeTest, ScriptedPumpClockAndMusic) {
  fake().quit_after_pumps = 3;
  EXPECT_EQ(PumpFrameMessages(), 0);
  EXPECT_EQ(PumpFrameMessages(), 0);
  EXPECT_EQ(PumpFrameMessages(), -1);
  EXPECT_EQ(PumpFrameMessages(), -1);
  fake().clock_ms = 0xFFFFFFFFu;
  EXPECT_EQ(ReadMillisecondClock(0), -1);
  EXPECT_EQ(ReadMillisecondClock(0), 0);  // wraps like the real clock
  EXPECT_EQ(StartMusicFile("bgm/x.mp3", 3), 0);
  EXPECT_EQ(IsMusicRunning(), 1);
  HaltMusic();
  EXPECT_EQ(IsMusicRunning(), 0);
  fake().unlogged = {"ReadMillisecondClock"};
  size_t before = fake().calls.size();
  ReadMillisecondClock(0);
  EXPECT_EQ(fake().calls.size(), before);
}
