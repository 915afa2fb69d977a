#include "graphics/present.h"

#include "core/entry_bodies.h"
#include "graphics/draw_state.h"
#include "graphics_fixture.h"
#include "kesto/kesto.h"

namespace {

using namespace platform::video;
using PresentTest = GraphicsTest;

TEST_F(PresentTest, WindowScaleTwoStretchesTheBackBufferFromTheClientCorner) {
  Config().desktop_width = 1600;
  Config().desktop_bits = 16;
  Host().window_scale = 2.0;
  client_ = Rect{100, 50, 1380, 1010};
  Start(true);
  SetFlipVsyncFlag(0);
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_BACK_SCREEN), 0);
  Surface* back = GetBackSurface();
  back->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0x001F);
  back->WritePixel(639, 479, 0xF800);
  const uint64_t count = GetPresentCount();
  ASSERT_EQ(PresentBackScreenBody(), 0);
  Surface* primary = GetPrimarySurface();
  EXPECT_EQ(primary->ReadPixel(99, 50), 0u);
  EXPECT_EQ(primary->ReadPixel(100, 50), 0x001Fu);
  EXPECT_EQ(primary->ReadPixel(100 + 1277, 50 + 957), 0x001Fu);
  EXPECT_EQ(primary->ReadPixel(100 + 1278, 50 + 958), 0xF800u);
  EXPECT_EQ(primary->ReadPixel(100 + 1279, 50 + 959), 0xF800u);
  EXPECT_EQ(primary->ReadPixel(100 + 1280, 50 + 959), 0u);
  const CapturedFrame& shown = presenter_->last_frame();
  EXPECT_EQ(shown.width, 1280);
  EXPECT_EQ(shown.height, 960);
  EXPECT_EQ(shown.PixelRgb(0, 0), 0x0000FFu);
  EXPECT_EQ(GetPresentCount(), count + 1);
}

TEST_F(PresentTest, FullScreenFlipWaitsForTheBlankOnlyWithFlipVsync) {
  Start(false);
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_BACK_SCREEN), 0);
  GetBackSurface()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0x07E0);
  SetFlipVsyncFlag(0);
  const uint64_t count = GetPresentCount();
  clock_.Advance(3000000);  // somewhere in the middle of a frame
  ASSERT_FALSE(ReadBeam(480).in_blank);
  const uint64_t before = clock_.NowNanoseconds();
  const uint64_t shown = presenter_->shown();
  ASSERT_EQ(PresentBackScreenBody(), 0);
  EXPECT_EQ(clock_.NowNanoseconds(), before);
  EXPECT_EQ(presenter_->shown(), shown + 1);
  EXPECT_EQ(GetPrimarySurface()->ReadPixel(0, 0), 0x07E0u);
  SetFlipVsyncFlag(1);
  clock_.Advance(3000000);
  ASSERT_EQ(PresentBackScreenBody(), 0);
  EXPECT_EQ(ReadBeam(480).scan_line, 480);  // the flip landed on the blank
  EXPECT_EQ(GetPresentCount(), count + 2);
}

TEST_F(PresentTest, FrontBufferTargetWaitsOneBlankAndShowsDirectDrawing) {
  Config().desktop_bits = 16;
  for (bool windowed : {false, true}) {
    SCOPED_TRACE(windowed ? "window" : "full screen");
    Start(windowed);
    SetFlipVsyncFlag(1);
    ASSERT_EQ(ChooseDrawTargetBody(KESTO_FRONT_SCREEN), 0);
    Surface* primary = GetPrimarySurface();
    uint8_t* px = nullptr;
    int pitch = 0;
    const Rect one{100, 50, 101, 51};
    ASSERT_EQ(primary->Lock(&one, kLockWait, &px, &pitch), kOk);
    px[0] = 0x00;
    px[1] = 0xF8;
    primary->Unlock();
    clock_.Advance(2000000);
    const uint64_t count = GetPresentCount();
    ASSERT_EQ(PresentBackScreenBody(), 0);
    EXPECT_TRUE(ReadBeam(windowed ? 1024 : 480).in_blank);
    EXPECT_EQ(GetPresentCount(), count + 1);
    EXPECT_EQ(presenter_->last_frame().PixelRgb(windowed ? 0 : 100, windowed ? 0 : 50), 0xFF0000u);
    StopDirectDraw();
  }
}

// A wait for the blank from early in a frame sleeps through it instead of
// polling the beam, and still ends on the first blank after the call.
TEST_F(PresentTest, FrontBufferWaitSleepsUntilTheNextBlank) {
  Start(true);
  SetFlipVsyncFlag(1);
  ASSERT_EQ(ChooseDrawTargetBody(KESTO_FRONT_SCREEN), 0);
  clock_.Advance(NanosecondsToNextBlank(1024) + 2000000);  // 2 ms after a blank began
  ASSERT_FALSE(ReadBeam(1024).in_blank);
  const uint64_t at = clock_.NowNanoseconds();
  const uint64_t to_blank = NanosecondsToNextBlank(1024);
  ASSERT_GT(to_blank, 10000000u);
  const uint64_t yields = clock_.yields();
  ASSERT_EQ(PresentBackScreenBody(), 0);
  EXPECT_TRUE(ReadBeam(1024).in_blank);
  EXPECT_GE(clock_.NowNanoseconds() - at, to_blank);
  EXPECT_LE(clock_.NowNanoseconds() - at, to_blank + 200000u);
  // A few polls around the sleep, not one every 50 microseconds.
  EXPECT_LE(clock_.yields() - yields, 6u);
}

TEST_F(PresentTest, PacedWaitSleepsTwoThirdsOfAFrameThenMeetsTheBlank) {
  Start(true);
  PresentState& p = GetPresentState();
  p.frame_time_ms = 16;
  p.pacing_interval_ms = 9;
  WaitVerticalBlankPaced();
  const int first = p.last_blank_wait_ms;
  const uint64_t sleeps_before = clock_.sleeps();
  WaitVerticalBlankPaced();  // right after a blank: 1 ms sleeps, then the next blank
  EXPECT_GE(p.last_blank_wait_ms - first, 16);
  EXPECT_LE(p.last_blank_wait_ms - first, 17);
  EXPECT_GE(clock_.sleeps() - sleeps_before, 9u);
  // Long after the last wait and already in a blank: no wait at all.
  clock_.AdvanceMilliseconds(100);
  clock_.Advance(NanosecondsToNextBlank(1024));
  const uint64_t at = clock_.NowNanoseconds();
  WaitVerticalBlankPaced();
  EXPECT_LE(clock_.NowNanoseconds() - at, 100000u);
}

TEST_F(PresentTest, PresentingWithoutAScreenFails) {
  EXPECT_EQ(PresentBackScreenBody(), -1);
  EXPECT_EQ(PresentFrame(), -1);
  EXPECT_EQ(PresentByCopy(), -1);
  EXPECT_EQ(WaitVerticalBlankFrames(1), -1);
}

}  // namespace

namespace {

TEST_F(PresentTest, BlankWaitsEndWhenThePumpReportsQuit) {
  Start(true);
  int pumps = 0;
  Host().pump = [&] { return ++pumps >= 3 ? -1 : 0; };
  EXPECT_EQ(WaitVerticalBlankFrames(2), -1);
  EXPECT_EQ(pumps, 3);
  Host().pump = [] { return 1; };
  EXPECT_EQ(WaitVerticalBlankFrames(0), 0);
}

}  // namespace
