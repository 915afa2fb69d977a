#include "core/entry_bodies.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/present.h"
#include "graphics_fixture.h"

namespace {

using namespace platform::video;
using ScreenModeTest = GraphicsTest;

TEST_F(ScreenModeTest, StartsInAWindowAtTheDesktopDepthWithItsLogLines) {
  for (int desktop_bits : {16, 32}) {
    Config().desktop_bits = desktop_bits;
    Start(true);
    EXPECT_EQ(GetScreenColorBits(), desktop_bits);
    ASSERT_NE(GetPrimarySurface(), nullptr);
    EXPECT_EQ(GetPrimarySurface()->width(), 1280);  // the desktop
    EXPECT_EQ(GetBackSurface()->width(), 640);
    EXPECT_EQ(GetBackSurface()->format().bits, static_cast<uint32_t>(desktop_bits));
    EXPECT_TRUE(Logged("DirectDraw 関連の初期化は正常に終了しました\n"));
    EXPECT_TRUE(Logged("ウインドウモードにします\n"));
    EXPECT_TRUE(Logged("BaskBuffer : VIDEOMEMORY  "));
    EXPECT_TRUE(Logged("オーバーレイサーフェスは使用しません\n"));
    EXPECT_TRUE(Logged("サーフェス間転送には BitBlt を使用します"));
    EXPECT_EQ(GetDrawTarget(), -4);
    StopDirectDraw();
    EXPECT_TRUE(Logged("DirectDraw 関連の終了処理は正常に終了しました\n"));
    EXPECT_EQ(GetDirectDrawObject(), nullptr);
    ClearGfxLogLines();
  }
}

TEST_F(ScreenModeTest, FullScreenBuildsABlackFlipChainAtTheRequestedDepth) {
  for (int bits : {16, 32}) {
    Start(false, 640, 480, bits);
    EXPECT_EQ(GetScreenColorBits(), bits);
    EXPECT_EQ(IsDisplayModeChanged(), 1);
    Surface* primary = GetPrimarySurface();
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(primary->width(), 640);
    EXPECT_EQ(primary->attached_back_buffer(), GetBackSurface());
    EXPECT_EQ(primary->ReadPixel(320, 240), 0u);
    EXPECT_TRUE(Logged("画面モードの変更は正常に終了しました \n"));
    StopDirectDraw();
    EXPECT_TRUE(Logged("画面モードを元に戻す処理は正常に終了しました\n"));
  }
}

TEST_F(ScreenModeTest, FirstSetUpFallsBackThroughTheOldModeTo640x480x16) {
  struct Case {
    const char* what;
    std::vector<DisplayMode> modes;
    int width, bits;
    int expect_width, expect_bits;
    bool fatal;
  } cases[] = {
      {"accepted", {{800, 600, 32, 0}}, 800, 32, 800, 32, false},
      {"8-bit refused, default kept", {{640, 480, 16, 0}}, 800, 8, 640, 16, false},
      {"only the fallback", {{640, 480, 16, 0}}, 1024, 32, 640, 16, false},
      {"nothing works", {}, 800, 32, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Config().modes = c.modes;
    Host().windowed = false;
    Screen() = ScreenSettings{};
    Screen().color_bits = 16;
    Screen().width = 640;
    Screen().height = 480;
    // Before start-up a mode change only records the settings.
    EXPECT_EQ(SwitchScreenMode(c.width, c.width * 3 / 4, c.bits, 0, -1), 0);
    if (c.fatal) {
      EXPECT_THROW(StartDirectDraw(Host().window), FatalExit);
      EXPECT_TRUE(Logged("予期せぬ画面モード変更不能現象が起きました\n"));
      ReleaseScreenSurfaces();
      StopDirectDraw();
      DDState().object = nullptr;
      continue;
    }
    StartDirectDraw(Host().window);
    EXPECT_EQ(Screen().width, c.expect_width);
    EXPECT_EQ(GetScreenColorBits(), c.expect_bits);
    StopDirectDraw();
  }
}

TEST_F(ScreenModeTest, RunTimeModeChangeReportsFallbacksAndKillsHandles) {
  Config().modes = {{640, 480, 16, 0}, {800, 600, 16, 0}};
  Start(false);
  const int graphic = MakeGraphic(8, 8, 0, 0);
  ASSERT_NE(GetGraphicRecord(graphic), nullptr);
  // Right after start-up with the same mode nothing happens.
  EXPECT_EQ(ChooseScreenModeBody(640, 480, 16, -1), 0);
  EXPECT_EQ(GetGraphicRecord(graphic), nullptr);  // but graphics are deleted first
  struct Case {
    int w, h, bits, result, now_w;
  } cases[] = {{800, 600, 16, 0, 800},  // accepted
               {1024, 768, 16, -1, 800},  // the old mode comes back
               {640, 480, 16, 0, 640}};
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseScreenModeBody(c.w, c.h, c.bits, -1), c.result) << c.w;
    EXPECT_EQ(Screen().width, c.now_w);
    EXPECT_EQ(GetBackSurface()->width(), c.now_w);
  }
  Config().modes = {{640, 480, 16, 0}};
  EXPECT_EQ(ChooseScreenModeBody(800, 600, 32, -1), -1);  // old mode 640x480x16 kept
}

TEST_F(ScreenModeTest, WindowLargerThanTheDesktopIsFatal) {
  Config().desktop_width = 800;
  Config().desktop_height = 600;
  Host().windowed = true;
  Screen() = {1024, 768, 16, 0};
  EXPECT_THROW(StartDirectDraw(Host().window), FatalExit);
  EXPECT_TRUE(Logged("デスクトップ画面のサイズが足りません、ソフトを終了します"));
  DDState().object->Release();
  DDState().object = nullptr;
  DDState().clipper->Release();
  DDState().clipper = nullptr;
}

TEST_F(ScreenModeTest, ModeSwitchesArePacedAndProbeTheFrameTime) {
  Start(true);
  const PresentState& p = GetPresentState();
  EXPECT_TRUE(p.frame_time_ms == 16 || p.frame_time_ms == 17) << p.frame_time_ms;
  EXPECT_EQ(p.pacing_interval_ms, (2 * p.frame_time_ms - 4) / 3);
  EXPECT_TRUE(Logged("１フレーム当たりの時間は "));
  EXPECT_TRUE(Logged("\tTri03:"));
  // A second switch right after the first waits until 2060 ms have passed.
  const uint32_t first = static_cast<uint32_t>(DDState().last_mode_switch_ms);
  SwitchScreenMode(-1, -1, -1, 1, -1);
  const uint32_t second = static_cast<uint32_t>(DDState().last_mode_switch_ms);
  EXPECT_GE(second - first, 2060u);
  EXPECT_LT(second - first, 2100u);
  clock_.AdvanceMilliseconds(5000);
  const uint32_t before = platform::TimeGetTime();
  SwitchScreenMode(-1, -1, -1, 1, -1);
  EXPECT_EQ(static_cast<uint32_t>(DDState().last_mode_switch_ms) - before, 60u);
}

TEST(FrameTimeRule, FirstEqualPairGivesTheFrameTime) {
  struct Case {
    int trials[4];
    int frame_time;
  } cases[] = {{{16, 17, 17, 16}, 16}, {{17, 16, 16, 17}, 17}, {{15, 16, 17, 17}, 17},
               {{14, 15, 16, 17}, -1}};
  for (const Case& c : cases) EXPECT_EQ(FrameTimeFromTrials(c.trials), c.frame_time);
}

TEST_F(ScreenModeTest, FrameTimeProbeEndsWhenTheBeamStandsStill) {
  clock_.on_sleep = nullptr;  // time stands still: the beam never moves
  Start(true);
  // Every trial reads 0 ms; the probe ends instead of spinning, and a
  // frame time of 0 leaves the paced wait unpaced.
  EXPECT_EQ(GetPresentState().frame_time_ms, 0);
  EXPECT_EQ(GetPresentState().pacing_interval_ms, -1);
}

}  // namespace

namespace {

using namespace platform::video;

TEST_F(ScreenModeTest, SystemMemoryOnlyKeepsEverySurfaceOutOfVideoMemory) {
  Start(false);
  ASSERT_NE(GetPrimarySurface()->attached_back_buffer(), nullptr);
  SetVideoMemoryUseAndReset(0);
  EXPECT_EQ(IsSystemMemoryOnly(), 1);
  EXPECT_EQ(GetPrimarySurface()->attached_back_buffer(), nullptr);  // no flip chain
  EXPECT_TRUE(GetBackSurface()->caps() & kCapsSystemMemory);
  EXPECT_TRUE(Logged("BaskBuffer : SYSTEMMEMORY  "));
  EXPECT_EQ(GetDrawTarget(), -4);
  GetBackSurface()->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0x1234);
  ASSERT_EQ(ChooseDrawTargetBody(-2), 0);
  ASSERT_EQ(PresentBackScreenBody(), 0);  // copied, not flipped
  EXPECT_EQ(GetPrimarySurface()->ReadPixel(5, 5), 0x1234u);
}

TEST_F(ScreenModeTest, HeldReportKeyLeavesTheDriverOutOfTheLog) {
  for (bool held : {false, true}) {
    ClearGfxLogLines();
    Host().report_key_held = [held] { return held; };
    Start(true);
    EXPECT_EQ(Logged("ビデオカードドライバ:kesto-memory-display バージョン:1.2.3.4 "), !held);
    EXPECT_TRUE(Logged("ビデオメモリ総量:64.00MB"));
    StopDirectDraw();
  }
}

}  // namespace

namespace {

TEST_F(ScreenModeTest, ShutdownRestoresTheModeBeforeReleasingTheObject) {
  Start(false);
  ClearGfxLogLines();
  StopDirectDraw();
  const auto& lines = GfxLogLines();
  auto at = [&](const std::string& text) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].find(text) != std::string::npos) return static_cast<int>(i);
    return -1;
  };
  const int restored = at("画面モードを元に戻す処理は正常に終了しました\n");
  const int released = at("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました\n");
  ASSERT_GE(restored, 0);
  EXPECT_LT(restored, released);
  EXPECT_EQ(IsDisplayModeChanged(), 0);
  EXPECT_EQ(StopDirectDraw(), 0);  // a second stop finds nothing to do
}

// The packed-register pixel loops follow the system probe's flag, taken at
// start-up whatever the renderer's flag held before.
TEST_F(ScreenModeTest, StartUpCopiesTheProbesProcessorFlag) {
  for (int probe : {1, 0}) {
    SCOPED_TRACE(probe);
    DDState().cpu_probe_flag = probe == 0;
    Host().cpu_probe_flag = probe;
    Start(false);
    EXPECT_EQ(DDState().cpu_probe_flag, probe != 0);
    StopDirectDraw();
  }
}

}  // namespace
