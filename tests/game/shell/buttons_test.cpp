#include "shell_fixture.h"

using ButtonsTest = ShellTest;

TEST_F(ButtonsTest, PressHoldAndRelease) {
  HoldPad(8);
  for (int expected : {1, 2, 2, 2}) EXPECT_EQ(UpButtonState(), expected);
  HoldPad(0);
  EXPECT_EQ(UpButtonState(), 0);
  // Each call reads the pad afresh.
  EXPECT_EQ(kesto_fake::CallsNamed("ReadPadBits").size(), 5u);
  EXPECT_EQ(kesto_fake::CallsNamed("ReadPadBits")[0].iarg(0), 0x1001);
}

TEST_F(ButtonsTest, EachCounterTestsItsBitOrMask) {
  struct Case {
    int (*counter)();
    uint32_t bit;
  };
  g_config.shot_mask = 256;  // reassigned on the config screen
  const Case cases[] = {{UpButtonState, 8},         {DownButtonState, 1},
                        {RightButtonState, 4},      {LeftButtonState, 2},
                        {ShotButtonState, 256},     {BombButtonState, 32},
                        {FullAutoButtonState, 64},  {PauseButtonState, 128}};
  for (const Case& c : cases) {
    HoldPad(0xFFFu & ~c.bit);
    EXPECT_EQ(c.counter(), 0) << c.bit;
    HoldPad(c.bit);
    EXPECT_EQ(c.counter(), 1) << c.bit;
  }
}

TEST_F(ButtonsTest, TwoCallsInOneFrameAdvanceTwice) {
  HoldPad(16);
  EXPECT_EQ(ShotButtonState(), 1);
  EXPECT_EQ(ShotButtonState(), 2);
}

TEST_F(ButtonsTest, MaskOfZeroNeverCountsAndSharedMasksBothCount) {
  g_config.bomb_mask = 0;
  g_config.full_auto_mask = 16;  // same button as shot
  HoldPad(0xFFFFFFFFu);
  EXPECT_EQ(BombButtonState(), 0);
  EXPECT_EQ(ShotButtonState(), 1);
  EXPECT_EQ(FullAutoButtonState(), 1);
}

TEST_F(ButtonsTest, HeldIntoANewScreenReadsHeldNotPressed) {
  HoldPad(16);
  ShotButtonState();
  ShotButtonState();
  // The next screen's first look sees 2, so a "pressed" test does not fire.
  EXPECT_EQ(ShotButtonState(), 2);
}
