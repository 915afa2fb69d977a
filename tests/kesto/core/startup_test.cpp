#include "core/startup.h"

#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/startup_log.h"
#include "core/window_state.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "kesto/kesto.h"
#include "platform/clock.h"
#include "platform/input/input_devices.h"
#include "platform/video/display.h"
#include "platform/video/surface.h"
#include "platform/window/automation.h"
#include "platform/window/message_queue.h"
#include "platform/window/system.h"
#include "support/scoped_temp_dir.h"

namespace pw = platform::window;
namespace in = platform::input;

namespace {

// Every test runs in its own process: a fresh library, a temporary start
// directory with its own lock file, and a clock that moves a little on each
// yield so busy waits end.
class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("KESTO_INSTANCE_LOCK", dir_.file("Kesto.lock").c_str(), 1);
    setenv("KESTO_PRESENTER", "null", 1);
    clock_.on_sleep = [this](uint64_t ns) {
      if (ns == 0) clock_.Advance(100000);
    };
    platform::SetClockForTesting(&clock_);
    pw::ResetAutomationForTesting();
  }
  void TearDown() override { platform::SetClockForTesting(nullptr); }

  std::string ReadLog() const {
    std::ifstream f(dir_.file("AppLog.txt"), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // The log's lines with their time stamps cut off.
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadLog());
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const size_t digits = line.find_first_not_of("0123456789");
      if (digits != std::string::npos && digits > 0 && line[digits] == ':') {
        line.erase(0, digits + 1);
      }
      lines.push_back(line);
    }
    return lines;
  }
  // Each expected line appears, in this order.
  void ExpectLinesInOrder(const std::vector<std::string>& expected) const {
    const std::vector<std::string> lines = LogLines();
    size_t at = 0;
    for (const std::string& e : expected) {
      while (at < lines.size() && lines[at] != e) ++at;
      ASSERT_LT(at, lines.size()) << "missing or out of order: " << e;
      ++at;
    }
  }
  void ExpectLogEndsWithTheDump() const {
    const std::vector<std::string> lines = LogLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "Alloc memory dump");
  }

  ScopedTempDir dir_{true};
  platform::ManualClock clock_{5000000000ull};
};

TEST_F(StartupTest, StartAndStopWriteTheSequenceAndLeaveNoWindow) {
  ASSERT_EQ(StartLibrary(), 0);
  EXPECT_EQ(CoreState().library_started, 1);
  EXPECT_EQ(PumpFrameMessages(), 0);
  EXPECT_EQ(StopLibrary(), 0);
  EXPECT_EQ(pw::WindowCount(), 0);
  EXPECT_FALSE(pw::IsClassRegistered("Kesto"));
  EXPECT_FALSE(pw::IsInstanceLockHeldElsewhere());
  ExpectLinesInOrder({
      "システムの情報を出力します",
      "\tＫＥＳＴＯ Ver2.20",
      "\tＤｉｒｅｃｔＸ　Ver8.0以上",
      "ＣＯＭの初期化... 成功しました",
      "ソフトの２重起動検査... ２重起動はされていませんでした",
      "ウインドウクラスを登録します... 登録に成功しました",
      "フルスクリーンモード用のウインドウを作成します",
      "カーソルを不可視にしました",
      "ＩＭＥを無効にしました",
      "タイマーの精度を検査します",
      "DirectInput関係初期化処理",
      "DirectInput 関連の初期化は正常に終了しました",
      "DirectDraw 関連の初期化を行います",
      "文字コードバッファの初期化を行います... 完了しました",
      "DirectInput 関連の終了処理... 完了",
      "ウインドウを閉じようとしています",
      "ウインドウが破棄されようとしています",
      "ソフトを終了する準備が整いました",
  });
  ExpectLogEndsWithTheDump();
}

// The probe reports MMX but leaves its flag clear, and graphics takes the flag
// from the probe: the software renderer runs its table loops.
TEST_F(StartupTest, TheRendererTakesTheProbesClearedProcessorFlag) {
  DDState().cpu_probe_flag = true;
  ASSERT_EQ(StartLibrary(), 0);
  EXPECT_EQ(GetCpuProbeFlag(), 0);
  EXPECT_FALSE(DDState().cpu_probe_flag);
  EXPECT_EQ(StopLibrary(), 0);
#if defined(__x86_64__)
  ExpectLinesInOrder({"\tＭＭＸ命令を使用します"});
#endif
}

TEST_F(StartupTest, FailureAtInputStartReturnsMinusOneWithNoWindowLeft) {
  in::FaultsForTesting().create_object = true;
  EXPECT_EQ(StartLibrary(), -1);
  EXPECT_EQ(pw::WindowCount(), 0);
  EXPECT_FALSE(pw::IsClassRegistered("Kesto"));
  EXPECT_EQ(CoreState().library_started, 0);
  ExpectLinesInOrder({"DirectInput関係初期化処理",
                      "\tDirectInputオブジェクトの取得中... 取得に失敗",
                      "ソフトを終了する準備が整いました"});
  ExpectLogEndsWithTheDump();
}

// Without a window nothing can make the program active, so the shutdown's
// pump must not wait for it.
TEST_F(StartupTest, FailureBeforeTheWindowStillEndsAndDumps) {
  pw::SystemFaultsForTesting().com_init_result = -1;
  EXPECT_EQ(StartLibrary(), -1);
  ExpectLinesInOrder({"ＣＯＭの初期化... ＣＯＭの初期化に失敗しました"});
  ExpectLogEndsWithTheDump();
  EXPECT_EQ(StopLibrary(), 0);
}

TEST_F(StartupTest, ASecondCopyEndsWithCodeZeroAndKeepsTheFirstCopysLog) {
  // The running copy holds the lock file.
  const int fd = open(dir_.file("Kesto.lock").c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  {
    std::ofstream f(dir_.file("AppLog.txt"), std::ios::binary);
    f << "0:first copy\r\n";
  }
  EXPECT_EXIT(StartLibrary(), ::testing::ExitedWithCode(0), "");
  const std::vector<std::string> lines = LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "first copy");
  ExpectLinesInOrder(
      {"first copy", "ソフトの２重起動検査... ２重起動されています、ソフトを終了します"});
  close(fd);
}

TEST_F(StartupTest, MissingDirectXEndsTheProcessWithAMessage) {
  pw::SystemFaultsForTesting().directx_fail_step = 1;
  EXPECT_EXIT(StartLibrary(), ::testing::ExitedWithCode(255), "DirectX");
  ExpectLinesInOrder({"\tDirectX がインストールされていません", "\tＤｉｒｅｃｔＸ　Ver0.0"});
  // Nothing was shut down: no dump.
  EXPECT_EQ(ReadLog().find("Alloc memory dump"), std::string::npos);
}

TEST_F(StartupTest, TheDirectXLadderKeepsTheLastLevelReached) {
  struct Case {
    int fail_step;
    uint32_t version;
    const char* line;
  };
  const Case cases[] = {
      {12, 0x70000, "\tＤｉｒｅｃｔＸ　Ver7.0"},
      {0, 0x80000, "\tＤｉｒｅｃｔＸ　Ver8.0以上"},
  };
  for (const Case& c : cases) {
    pw::SystemFaultsForTesting().directx_fail_step = c.fail_step;
    std::snprintf(CoreState().kept.log_folder_path, 260, "%s", dir_.path().c_str());
    CoreLogInit(false);
    EXPECT_EQ(ProbeSystem(), 0);
    uint32_t lib = 0, dx = 0, os = 0;
    ReadVersionWords(&lib, &dx, &os);
    EXPECT_EQ(lib, 0x2200u);
    EXPECT_EQ(dx, c.version);
    EXPECT_EQ(os, 263u);
    ExpectLinesInOrder({c.line});
  }
  EXPECT_EQ(ReadVersionWords(nullptr, nullptr, nullptr), 0);
}

TEST_F(StartupTest, AFatalErrorShutsDownAndExitsWith255) {
  ASSERT_EQ(StartLibrary(), 0);
  EXPECT_EXIT(ExitWithError("テスト失敗"), ::testing::ExitedWithCode(255), "");
  ExpectLinesInOrder({"テスト失敗", "DirectInput 関連の終了処理... 完了", "Alloc memory dump",
                      "ソフトをエラー終了します"});
  StopLibrary();
}

// A desktop change under a window rebuilds the graphics on the screen's
// format read afresh; a change the screen cannot follow closes the window.
TEST_F(StartupTest, ADisplayChangeUnderTheWindowReadsTheScreenFormatAgain) {
  EXPECT_EQ(ChangeWindowMode(1), 0);
  ASSERT_EQ(StartLibrary(), 0);
  const auto format_reads = [this] {
    const std::vector<std::string> lines = LogLines();
    return std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
      return l.find("カラー情報") != std::string::npos;
    });
  };
  const auto before = format_reads();
  ASSERT_GE(before, 1);
  CoreState().display_change_seen = 0;
  pw::PostMessage(ReadMainWindowHandle(), pw::kMsgDisplayChange, 16, (600 << 16) | 800);
  EXPECT_EQ(PumpFrameMessages(), 0);
  EXPECT_EQ(CoreState().display_change_seen, 1);
  EXPECT_EQ(format_reads(), before + 1);

  pw::PostMessage(ReadMainWindowHandle(), pw::kMsgDisplayChange, 24, (600 << 16) | 800);
  PumpFrameMessages();
  const std::string log = ReadLog();
  EXPECT_NE(
      log.find("復元関数が登録されていないためか画面が２４ビットカラーに変更されたため終了します"),
      std::string::npos);
  EXPECT_EQ(format_reads(), before + 1);
  StopLibrary();
}

TEST_F(StartupTest, WindowModeSettingsGivenBeforeStartShapeTheWindow) {
  EXPECT_EQ(ChangeWindowMode(1), 0);
  const std::string long_caption(300, 'c');
  EXPECT_EQ(SetWindowCaption(long_caption.c_str()), 0);
  EXPECT_EQ(std::string(CoreState().kept.caption), long_caption.substr(0, 255));
  EXPECT_EQ(SetWindowCaption("ソフト表示"), 0);
  ASSERT_EQ(StartLibrary(), 0);
  pw::WindowHandle w = ReadMainWindowHandle();
  const pw::WindowParams* p = pw::GetWindowParams(w);
  ASSERT_NE(p, nullptr);
  int dw = 0, dh = 0;
  pw::GetDesktopMode(&dw, &dh, nullptr);
  // Centred on the desktop with a client area of exactly the screen.
  EXPECT_EQ(p->client.width, 640);
  EXPECT_EQ(p->client.height, 480);
  EXPECT_EQ(p->client.x, (dw - 640) / 2);
  EXPECT_EQ(p->client.y, (dh - 480) / 2);
  EXPECT_FALSE(p->full_screen);
  EXPECT_TRUE(Host().windowed);
  // The caption reaches the real window as UTF-8 ("ソ" has a 0x5C trail byte).
  SDL_Window* sw = static_cast<SDL_Window*>(pw::GetNativeWindow(w));
  ASSERT_NE(sw, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(sw), reinterpret_cast<const char*>(u8"ソフト表示"));
  ExpectLinesInOrder({"ウインドウモード起動用のウインドウを作成します"});
  StopLibrary();
}

// After start-up a switch rebuilds the screen in the other mode and waits
// for the display's report of the change.
TEST_F(StartupTest, SwitchingModesAfterStartUpMovesTheWindowBetweenModes) {
  ASSERT_EQ(StartLibrary(), 0);
  pw::WindowHandle w = ReadMainWindowHandle();
  EXPECT_TRUE(pw::GetWindowParams(w)->full_screen);
  EXPECT_EQ(ChangeWindowMode(1), 0);
  const pw::WindowParams* p = pw::GetWindowParams(w);
  EXPECT_FALSE(p->full_screen);
  EXPECT_NE(p->style & pw::kStyleCaption, 0u);
  EXPECT_EQ(p->client.width, 640);
  EXPECT_EQ(CoreState().display_change_seen, 1);
  EXPECT_EQ(CoreState().mode_changing, 0);
  EXPECT_TRUE(Host().windowed);
  EXPECT_EQ(ChangeWindowMode(1), 0);  // already there: nothing happens
  EXPECT_EQ(ChangeWindowMode(0), 0);
  EXPECT_TRUE(pw::GetWindowParams(w)->full_screen);
  EXPECT_EQ(PresentBackScreen(), 0);
  StopLibrary();
}

TEST_F(StartupTest, WithoutACaptionTheTitleIsKesto) {
  ASSERT_EQ(StartLibrary(), 0);
  EXPECT_EQ(pw::GetWindowParams(ReadMainWindowHandle())->title, "Kesto");
  StopLibrary();
}

// Full screen: leaving loses the display's surfaces; coming back rebuilds
// the device before the program goes on.
TEST_F(StartupTest, FocusReturnAfterADisplayLossRecoversGraphics) {
  ASSERT_EQ(StartLibrary(), 0);
  pw::WindowHandle w = ReadMainWindowHandle();
  platform::video::SimulateDisplayLoss();
  pw::PostMessage(w, pw::kMsgActivateApp, 0, 0);
  pw::PostMessage(w, pw::kMsgActivate, 0, 0);
  int sleeps = 0;
  clock_.on_sleep = [&](uint64_t ns) {
    if (ns == 0) clock_.Advance(100000);
    if (ns > 0 && ++sleeps == 5) {
      platform::video::EndDisplayLoss();
      pw::PostMessage(w, pw::kMsgActivateApp, 1, 0);
      pw::PostMessage(w, pw::kMsgActivate, 1, 0);
    }
  };
  EXPECT_EQ(PumpFrameMessages(), 0);
  EXPECT_GE(sleeps, 5);
  EXPECT_EQ(CoreState().restore_needed, 0);
  ASSERT_NE(GetBackSurface(), nullptr);
  EXPECT_EQ(GetBackSurface()->IsLost(), platform::video::kOk);
  EXPECT_EQ(PresentBackScreen(), 0);
  StopLibrary();
}

}  // namespace
