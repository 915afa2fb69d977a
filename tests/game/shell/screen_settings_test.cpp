#include "shell/screen_settings.h"

#include <unistd.h>

#include <fstream>

#include "game/screens/file_trouble.h"
#include "shell_fixture.h"
#include "support/scoped_temp_dir.h"

using ScreenSettingsTest = ShellTest;

TEST_F(ScreenSettingsTest, ParsesLikeTwoPercentD) {
  struct Case {
    const char* text;
    int window;
    int wait;
  };
  const Case cases[] = {
      {"1", 1, 0},         {"1 2", 1, 2},     {"1 1", 1, 1},        {"x 1", 0, 0},
      {"0 1", 0, 1},       {"", 0, 0},        {"1\r\n1\r\n", 1, 1}, {"  -3\t+1", -3, 1},
      {"1 x", 1, 0},       {"7 1junk", 7, 1}, {"- 1", 0, 0},
      {"99999999999 -99999999999", 2147483647, -2147483647 - 1},
  };
  for (const Case& c : cases) {
    ScreenSettings s = ParseScreenSettings(c.text);
    EXPECT_EQ(s.window_flag, c.window) << '"' << c.text << '"';
    EXPECT_EQ(s.frame_wait, c.wait) << '"' << c.text << '"';
  }
}

TEST_F(ScreenSettingsTest, MissingFileMeansFullScreenWithPacing) {
  ScopedTempDir dir(true);
  ReadScreenSettings();
  EXPECT_EQ(g_frame_clock.window_flag, 0);
  EXPECT_EQ(g_frame_clock.frame_wait, 1);
  ASSERT_EQ(kesto_fake::CallsNamed("ChangeWindowMode").size(), 1u);
  EXPECT_EQ(kesto_fake::CallsNamed("ChangeWindowMode")[0].iarg(0), 0);
}

TEST_F(ScreenSettingsTest, FileValuesReachTheFrameClockAndKesto) {
  ScopedTempDir dir(true);
  std::ofstream("screen.txt") << "1 0\n";
  ReadScreenSettings();
  EXPECT_EQ(g_frame_clock.window_flag, 1);
  EXPECT_EQ(g_frame_clock.frame_wait, 0);
  EXPECT_EQ(kesto_fake::CallsNamed("ChangeWindowMode")[0].iarg(0), 1);
}

TEST_F(ScreenSettingsTest, AFileThatCannotBeReadCountsAsMissingAndSaysWhy) {
  using namespace file_trouble;
  struct Expected {
    int window, wait;
  };
  for (Trouble t : kAllTroubles) {
    SCOPED_TRACE(NameOf(t));
    ScopedTempDir dir(true);
    ::alarm(60);  // a read that waits on the FIFO fails instead of hanging
    Arrange("./screen.txt", t, "1 0      \n", "1", "1 2");
    ::testing::internal::CaptureStderr();
    const ScreenSettings s = LoadScreenSettings("./screen.txt");
    const std::string said = ::testing::internal::GetCapturedStderr();
    InjectSavedFileFaultForTesting(nullptr, SavedFileFault::kNone);
    const Expected e = t == Trouble::kCut          ? Expected{1, 0}
                       : t == Trouble::kOutOfRange ? Expected{1, 2}
                                                   : Expected{0, 1};
    EXPECT_EQ(s.window_flag, e.window);
    EXPECT_EQ(s.frame_wait, e.wait);
    if (Unreadable(t)) {
      EXPECT_NE(said.find(CauseOf(t)), std::string::npos) << said;
      EXPECT_NE(said.find("full screen with frame pacing"), std::string::npos) << said;
    } else {
      EXPECT_EQ(said, "");
    }
  }
  ::alarm(0);
}

TEST_F(ScreenSettingsTest, OnlyTheStartOfAHugeFileIsRead) {
  ScopedTempDir dir(true);
  std::ofstream("screen.txt") << "1 0" << std::string(1 << 20, '\n') << "garbage";
  const ScreenSettings s = LoadScreenSettings("screen.txt");
  EXPECT_EQ(s.window_flag, 1);
  EXPECT_EQ(s.frame_wait, 0);
}
