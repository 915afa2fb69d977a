// The library as a program uses it, through the public entry points only:
// formatted Latin and Japanese text on the back buffer reaches the shown
// and captured frame, and the fonts come and go with the library.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "graphics/screen.h"
#include "kesto/kesto.h"
#include "platform/clock.h"
#include "platform/video/presenter.h"
#include "platform/video/surface.h"
#include "support/scoped_temp_dir.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

TEST(TextFrameTest, FormattedLatinAndJapaneseTextReachesTheCapturedFrame) {
  ScopedTempDir dir(true);
  setenv("KESTO_INSTANCE_LOCK", dir.file("Kesto.lock").c_str(), 1);
  setenv("KESTO_PRESENTER", "null", 1);
  // A capture folder given from outside is kept, so the frames can be
  // looked at.
  const char* given = std::getenv("KESTO_TEXT_FRAME_DIR");
  const std::string captures = given && *given ? given : dir.file("frames");
  std::filesystem::create_directories(captures);
  setenv("KESTO_CAPTURE_DIR", captures.c_str(), 1);
  platform::ManualClock clock(5000000000ull);
  clock.on_sleep = [&clock](uint64_t ns) {
    if (ns == 0) clock.Advance(100000);
  };
  platform::SetClockForTesting(&clock);

  ASSERT_EQ(ChangeWindowMode(1), 0);
  ASSERT_EQ(StartLibrary(), 0);
  // As the game asks for it; in a window the desktop's depth stands.
  ChooseScreenMode(640, 480, 16, -1);
  ASSERT_EQ(ChooseDrawTarget(KESTO_BACK_SCREEN), 0);
  ASSERT_EQ(EraseTargetScreen(), 0);
  const int white = PackRgbColor(255, 255, 255);
  EXPECT_EQ(PrintTextFormatted(40, 40, white, "Score %08d  Lives %d", 1234567, 3), 0);
  EXPECT_EQ(PrintTextFormatted(40, 80, PackRgbColor(255, 255, 0), "%s", "ハイスコア 更新しました！"),
            0);
  ChooseBlendMode(1, 160);
  EXPECT_EQ(PrintTextFormatted(40, 120, PackRgbColor(128, 255, 128), "%s %s",
                               "弾幕を避けろ", "ABC xyz"),
            0);
  ChooseBlendMode(1, 255);
  const uint64_t before = platform::video::PresentedFrameCount();
  ASSERT_EQ(PresentBackScreen(), 0);
  ASSERT_EQ(platform::video::PresentedFrameCount(), before + 1);

  // The shown window area holds the three lines and nothing below them.
  const platform::video::CapturedFrame shown = platform::video::CaptureRect(
      *GetBackSurface(), platform::video::Rect{0, 0, 640, 480});
  auto lit = [&](int top, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < 640; ++x) n += shown.PixelRgb(x, y) != 0;
    return n;
  };
  EXPECT_GT(lit(40, 56), 100);
  EXPECT_GT(lit(80, 96), 100);
  EXPECT_GT(lit(120, 136), 100);
  EXPECT_EQ(lit(140, 480), 0);
  EXPECT_EQ(lit(0, 38), 0);
  bool captured = false;
  for (const auto& e : std::filesystem::directory_iterator(captures)) {
    captured |= e.path().extension() == ".png";
  }
  EXPECT_TRUE(captured);

  ASSERT_EQ(StopLibrary(), 0);
  platform::SetClockForTesting(nullptr);
  unsetenv("KESTO_CAPTURE_DIR");
  // The font system starts with graphics and ends with them.
  const std::string log = ReadFile(dir.file("AppLog.txt"));
  const std::string start = "フォントの初期化を行います";
  const std::string done = "フォントの初期化は正常に終了しました";
  const size_t first = log.find(start);
  ASSERT_NE(first, std::string::npos);
  const size_t end_of_graphics = log.find("DirectDraw 関連の終了処理をおこないます", first);
  ASSERT_NE(end_of_graphics, std::string::npos);
  const size_t last = log.find(start, end_of_graphics);
  EXPECT_NE(last, std::string::npos);
  EXPECT_NE(log.find(done, last), std::string::npos);
}

}  // namespace
