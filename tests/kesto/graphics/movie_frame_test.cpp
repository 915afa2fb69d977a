// A movie as a program sees it, through the public entry points only: a
// movie file loaded as a graphic plays frame by frame in the shown and
// captured frames, stands still while the window has lost the focus, ends
// on its last frame, and in full screen comes back at its time after the
// display was lost. With KESTO_MOVIE_FRAME_DIR set the captured frames are
// kept there to be looked at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/window_state.h"
#include "graphics/color_format.h"
#include "graphics/screen.h"
#include "kesto/kesto.h"
#include "platform/clock.h"
#include "platform/media/media_fixtures.h"
#include "platform/video/display.h"
#include "platform/video/surface.h"
#include "platform/window/message_queue.h"
#include "support/scoped_temp_dir.h"

namespace {

namespace pw = platform::window;

class MovieFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("KESTO_INSTANCE_LOCK", dir_.file("Kesto.lock").c_str(), 1);
    setenv("KESTO_PRESENTER", "null", 1);
    setenv("KESTO_AUDIO_OUTPUT", "manual", 1);
    const char* given = std::getenv("KESTO_MOVIE_FRAME_DIR");
    captures_ = given && *given ? std::string(given) + "/" + test_name() : dir_.file("frames");
    std::filesystem::create_directories(captures_);
    setenv("KESTO_CAPTURE_DIR", captures_.c_str(), 1);
    setenv("KESTO_CAPTURE_EVERY", "3", 1);
    clock_.on_sleep = [this](uint64_t ns) {
      if (ns == 0) clock_.Advance(100000);
      if (end_loss_ && platform::video::IsDisplayLost()) platform::video::EndDisplayLoss();
      if (focus_back_at_ != 0 && clock_.NowNanoseconds() >= focus_back_at_) {
        focus_back_at_ = 0;
        const pw::WindowHandle window = CoreState().main_window;
        pw::PostMessage(window, pw::kMsgActivateApp, 1, 0);
        pw::PostMessage(window, pw::kMsgActivate, 1, 0);
      }
    };
    platform::SetClockForTesting(&clock_);
    // Thirty frames at ten a second, each saying its number.
    movie_ = dir_.file("clip.avi");
    ASSERT_TRUE(media_encoder::WriteMovie(
        movie_, media_fixtures::CountingMovie("avi", "mjpeg", 160, 120, 30, 10)));
  }
  void TearDown() override {
    StopLibrary();
    platform::SetClockForTesting(nullptr);
    unsetenv("KESTO_CAPTURE_DIR");
    unsetenv("KESTO_CAPTURE_EVERY");
    unsetenv("KESTO_AUDIO_OUTPUT");
  }
  static std::string test_name() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }

  void StartIn(int window_flag) {
    ASSERT_EQ(ChangeWindowMode(window_flag), 0);
    ASSERT_EQ(StartLibrary(), 0);
    ChooseScreenMode(640, 480, 16, -1);
    ASSERT_EQ(ChooseDrawTarget(KESTO_BACK_SCREEN), 0);
  }
  // One frame of a program: pump, clear, the movie plain and turned and
  // scaled beside it, then show it. Returns the number the plain one shows.
  int Frame(int graphic) {
    EXPECT_EQ(PumpFrameMessages(), 0);
    EraseTargetScreen();
    EXPECT_EQ(BlitGraphicAt(40, 60, graphic, 0), 0);
    BlitGraphicScaledRotated(420, 300, 1.5, 0.3, graphic, 0, 0);
    const int shown = media_fixtures::IndexOf(BackRgb(80, 120), BackRgb(160, 120));
    EXPECT_EQ(PresentBackScreen(), 0);
    return shown;
  }
  static uint32_t BackRgb(int x, int y) {
    int r = 0, g = 0, b = 0;
    GetColorComponents(static_cast<int>(GetBackSurface()->ReadPixel(x, y)), &r, &g, &b);
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
  }
  // The focus goes for `ms` of the program's sleeping, then comes back.
  void LoseFocusFor(uint64_t ms) {
    focus_back_at_ = clock_.NowNanoseconds() + ms * 1000000u;
    const pw::WindowHandle window = CoreState().main_window;
    pw::PostMessage(window, pw::kMsgActivateApp, 0, 0);
    pw::PostMessage(window, pw::kMsgActivate, 0, 0);
  }
  double Seconds() { return static_cast<double>(clock_.NowNanoseconds() - start_ns_) / 1e9; }

  ScopedTempDir dir_{true};
  std::string captures_;
  std::string movie_;
  platform::ManualClock clock_{5000000000ull};
  uint64_t focus_back_at_ = 0;
  bool end_loss_ = false;  // the display comes back at the next sleep
  uint64_t start_ns_ = 0;
};

TEST_F(MovieFrameTest, AMovieGraphicPlaysInTheShownFramesAndStandsStillWithoutTheFocus) {
  StartIn(1);
  const int movie = LoadImageFileToGraphic(movie_.c_str());
  ASSERT_NE(movie, -1);
  start_ns_ = clock_.NowNanoseconds();
  double paused = 0;
  int last = 0;
  bool lost_focus = false;
  for (int frame = 0; frame < 400 && Seconds() - paused < 3.5; ++frame) {
    const double before = Seconds();
    const int shown = Frame(movie);
    ASSERT_GE(shown, last) << "frame " << frame;
    // The movie's time is the clock's, less the time without the focus.
    EXPECT_NEAR(shown, std::min(29.0, (before - paused) * 10), 1.01) << "at " << before;
    last = shown;
    if (!lost_focus && shown == 12) {
      lost_focus = true;
      const double left = Seconds();
      LoseFocusFor(2000);
      ASSERT_EQ(PumpFrameMessages(), 0);  // held until the focus is back
      paused = Seconds() - left;
      EXPECT_GE(paused, 2.0);
    }
  }
  EXPECT_TRUE(lost_focus);
  EXPECT_EQ(last, 29);  // it ended on its last frame
  int captured = 0;
  for (const auto& e : std::filesystem::directory_iterator(captures_))
    captured += e.path().extension() == ".png";
  EXPECT_GT(captured, 20);
}

TEST_F(MovieFrameTest, InFullScreenAMovieComesBackAtItsTimeAfterTheDisplayWasLost) {
  StartIn(0);
  const int movie = LoadImageFileToGraphic(movie_.c_str());
  ASSERT_NE(movie, -1);
  start_ns_ = clock_.NowNanoseconds();
  int shown = 0;
  while (shown < 8) shown = Frame(movie);
  // Another program takes the display: the surfaces are lost, and the
  // library rebuilds the device when the focus comes back.
  platform::video::SimulateDisplayLoss();
  LoseFocusFor(1500);
  end_loss_ = true;
  const double left = Seconds();
  ASSERT_EQ(PumpFrameMessages(), 0);
  EXPECT_GE(Seconds() - left, 1.5);
  // The device was rebuilt (the old DirectDraw object released).
  std::ifstream log_file(dir_.file("AppLog.txt"), std::ios::binary);
  const std::string log((std::istreambuf_iterator<char>(log_file)),
                        std::istreambuf_iterator<char>());
  EXPECT_NE(log.find("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました"), std::string::npos);
  const int after = Frame(movie);
  EXPECT_GE(after, 8);
  EXPECT_LE(after, 9);
  while (shown < 29 && Seconds() < 10) shown = Frame(movie);
  EXPECT_EQ(shown, 29);
}

}  // namespace
