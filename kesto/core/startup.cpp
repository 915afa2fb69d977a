#include "core/startup.h"

#include <unistd.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/entry_bodies.h"
#include "core/http.h"
#include "core/input.h"
#include "core/network.h"
#include "core/pump.h"
#include "core/screen_log.h"
#include "core/startup_log.h"
#include "core/text_input.h"
#include "core/window_main.h"
#include "core/window_state.h"
#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/graphics_host.h"
#include "graphics/graphics_manager.h"
#include "graphics/present.h"
#include "graphics/screen.h"
#include "platform/clock.h"
#include "platform/input/input_devices.h"
#include "platform/input/key_codes.h"
#include "platform/video/display.h"
#include "platform/video/presenter.h"
#include "platform/video/sdl_presenter.h"
#include "platform/window/sdl_window.h"
#include "platform/window/system.h"
#include "sound/sound_system.h"

namespace pw = platform::window;

namespace {

constexpr int kKeyNoConvert = 0x7B;

void ProbeOs() {
  WindowCoreState& s = CoreState();
  const pw::OsVersion v = pw::GetOsVersion();
  std::string name = "Windows";
  s.kept.os_code = 0;
  if (v.platform_id == 0) {
    name += "3.1";
  } else if (v.platform_id == 1) {
    if (v.minor == 0) {
      name += "95";
      s.kept.os_code = 1;
      if (v.service_text.rfind("C", 0) == 0) name += "OSR2";
    } else if (v.minor == 10) {
      name += "98";
      s.kept.os_code = 2;
      if (v.service_text.rfind("A", 0) == 0) name += "SE";
    } else if (v.minor == 90) {
      name += "Me";
      s.kept.os_code = 3;
    }
  } else if (v.platform_id == 2) {
    if (v.major == 3) {
      name += "NT 3.51";
      s.kept.os_code = 260;
    } else if (v.major == 4) {
      name += "4.0";
      s.kept.os_code = 261;
    } else if (v.major == 5 && v.minor == 0) {
      name += "2000";
      s.kept.os_code = 262;
    } else if (v.major == 5 && v.minor == 1) {
      name += "XP";
      s.kept.os_code = 263;
    }
  }
  std::snprintf(s.kept.os_description, sizeof s.kept.os_description, "%s ( Build %d %s )",
                name.c_str(), v.build, v.service_text.c_str());
  CoreLog("ＯＳ  ");
  CoreLogFormat("%s", s.kept.os_description);
}

// The DirectX ladder: each step that fails logs its line and ends it.
uint32_t ProbeDirectX() {
  struct Step {
    int number;
    uint32_t level;  // reached when the step succeeds; 0 keeps the last
    const char* failure;
  };
  static const Step kSteps[] = {
      {1, 0, "DirectX がインストールされていません\n"},
      {2, 0, "DirectDrawCreate ファンクションが見つかりませんでした\n"},
      {3, 0x10000, "DirectDrawCreate ファンクションが失敗しました\n"},
      {4, 0x20000, "DirectDraw2 インターフェイスの取得に失敗しました\n"},
      {5, 0x30000, "DirecInput.DLL のロードに失敗しました\n"},
      {6, 0, "協調設定を変更できませんでした\n"},
      {7, 0, "DirectDrawSurface オブジェクトの作成に失敗しました\n"},
      {8, 0x50000, "DirectDrawSurface3 インターフェイスの取得に失敗しました\n"},
      {9, 0x60000, "DirectDrawSurface4 インターフェイスの取得に失敗しました\n"},
      {10, 0, "DirectMusic インターフェイスの取得に失敗しました\n"},
      {11, 0x70000, "DirectDrawCreateEx ファンクションが見つかりませんでした\n"},
      {12, 0x80000, "D33D8.DLL はありませんでした\n"},
  };
  uint32_t version = 0;
  for (const Step& step : kSteps) {
    if (!pw::DirectXProbeStep(step.number)) {
      CoreLog(step.failure);
      break;
    }
    if (step.level) version = step.level;
  }
  return version;
}

void ProbeCpu() {
  WindowCoreState& s = CoreState();
  if (pw::HasTimeStampCounter()) {
    const uint64_t t0 = pw::ReadTimeStampCounter();
    const uint32_t start = platform::TimeGetTime();
    while (platform::TimeGetTime() - start < 500) platform::Sleep(0);
    const uint64_t t1 = pw::ReadTimeStampCounter();
    s.tsc_flag = 1;
    s.tsc_ticks_per_500ms = static_cast<int64_t>(t1 - t0);
    s.cpu_mhz = static_cast<int>(std::lround(static_cast<double>(t1 - t0) * 0.000002));
    CoreLogFormat("ＣＰＵ動作速度：%dMHz", s.cpu_mhz);
  }
  if (!pw::HasCpuid()) {
    CoreLog("ＣＰＵＩＤ命令は使えません\n");
  } else {
    CoreLog(pw::CpuidHasMmx() ? "ＭＭＸ命令を使用します\n" : "ＭＭＸは使えません\n");
    s.mmx_flag = 0;
    pw::CpuidVendor(s.kept.cpu_vendor);
    CoreLog("ＣＰＵベンダ：");
    CoreLog(s.kept.cpu_vendor);
    CoreLog("\n");
    if (pw::CpuidBrand(s.kept.cpu_brand)) CoreLogFormat("ＣＰＵ名：%s", s.kept.cpu_brand);
  }
}

void ApplyWindowStyleForGraphics(bool) { ApplyWindowStyle(); }
void StopInputForGraphics() { StopDirectInput(); }
bool ReportKeyHeld() { return platform::input::IsKeyDownInTable(kKeyNoConvert); }
void GraphicsFatal(const char* message) { ExitWithError(message); }

// Gives the graphics layer the window, the pump and the rest of its host.
void ConfigureGraphicsHost() {
  GraphicsHost& h = Host();
  WindowCoreState& s = CoreState();
  h.window = s.main_window;
  h.windowed = s.kept.window_mode != 0;
  h.has_menu = s.kept.menu_used != 0;
  h.has_region = s.kept.window_region != nullptr;
  h.window_scale = GetWindowScale();
  h.client_rect = [] {
    const WindowCoreState& c = CoreState();
    return platform::video::Rect{c.client_left, c.client_top, c.client_right, c.client_bottom};
  };
  h.desktop_size = [](int* w, int* hgt) { pw::GetDesktopMode(w, hgt, nullptr); };
  h.pump = [] { return PumpFrameMessagesBody(); };
  h.wait_while_inactive = WaitWhileInactive;
  h.window_active = [] { return CoreState().active != 0; };
  h.apply_window_style = ApplyWindowStyleForGraphics;
  h.stop_input = StopInputForGraphics;
  h.report_key_held = ReportKeyHeld;
  h.cpu_probe_flag = GetCpuProbeFlag();
  h.log = nullptr;  // graphics writes the application log itself
  h.fatal = GraphicsFatal;
  platform::video::SetClientRectProvider([](platform::video::WindowId, platform::video::Rect* r) {
    const WindowCoreState& c = CoreState();
    if (!c.main_window) return false;
    *r = platform::video::Rect{c.client_left, c.client_top, c.client_right, c.client_bottom};
    return true;
  });
  platform::video::InstallPresenterForWindow(
      static_cast<SDL_Window*>(pw::GetNativeWindow(s.main_window)));
}

// A window that ends while the presenter still draws into it would leave
// the presenter with a dead renderer.
void DetachPresenter() {
  platform::video::SetPresenter(std::make_unique<platform::video::NullPresenter>());
  platform::video::SetClientRectProvider(nullptr);
}

void PumpUntilQuit() {
  WindowCoreState& s = CoreState();
  int r = 0;
  do {
    r = PumpFrameMessagesBody();
  } while (r == 0 && !s.quit && pw::IsWindow(s.main_window));
}

}  // namespace

int InitCom() {
  WindowCoreState& s = CoreState();
  if (s.com_started) return -1;
  CoreLog("ＣＯＭの初期化... ");
  if (pw::ComInitialize() < 0) {
    CoreLog("ＣＯＭの初期化に失敗しました\n");
    return -1;
  }
  CoreLog("成功しました\n");
  s.com_started = 1;
  return 0;
}

int ProbeSystem() {
  WindowCoreState& s = CoreState();
  CoreLog("システムの情報を出力します\n");
  CoreLogIndent(1);
  CoreLogFormat("ＫＥＳＴＯ Ver%s\n", "2.20");
  ProbeOs();
  s.kept.directx_version = ProbeDirectX();
  const uint32_t v = s.kept.directx_version;
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u%s", (v >> 16) & 0xFF, (v >> 8) & 0xFF,
                v == 0x80000 ? "以上" : "");
  CoreLogFormat("ＤｉｒｅｃｔＸ　Ver%s", text);
  ProbeCpu();
  CoreLogIndent(-1);
  if (v < 0x70000) {
    pw::ShowMessageBox("エラー", v == 0 ? "DirectX がインストールされていないのでここで終了します"
                                        : "DirectX バージョン 7 以前なのでソフトを起動することが出来ません");
    pw::ExitProcess(-1);
  }
  return 0;
}

int ReadVersionWords(uint32_t* library_version, uint32_t* directx_version, uint32_t* os_code) {
  if (library_version) *library_version = kLibraryVersion;
  if (directx_version) *directx_version = CoreState().kept.directx_version;
  if (os_code) *os_code = static_cast<uint32_t>(CoreState().kept.os_code);
  return 0;
}

int GetCpuProbeFlag() { return CoreState().mmx_flag; }
const char* GetOsDescriptionText() { return CoreState().kept.os_description; }

int RunStartupSequence() {
  WindowCoreState& s = CoreState();
  const bool system_memory_only = IsSystemMemoryOnly() != 0;
  const bool direct3d_in_use = !DDState().direct3d_disabled;

  if (!getcwd(s.kept.log_folder_path, sizeof s.kept.log_folder_path)) {
    s.kept.log_folder_path[0] = '\0';
  }
  // A second copy that is about to give way must not wipe the log of the
  // copy that runs; its own lines are appended there instead.
  CoreLogInit(!s.kept.allow_second_instance && pw::IsInstanceLockHeldElsewhere());

  int desktop_bits = 0;
  pw::GetDesktopMode(nullptr, nullptr, &desktop_bits);
  if ((desktop_bits == 24 && s.kept.window_mode) || GetScreenColorBits() == 24) {
    CoreLog("ＫＥＳＴＯは２４ビットカラーモードに対応していません\n");
    return -1;
  }
  s.perf_frequency = platform::QueryPerformanceFrequency();
  s.perf_counter_flag = s.perf_frequency != 0 ? 1 : 0;
  ProbeSystem();
  SetGraphicsRestoreCallback(ReloadGraphicsFromFiles);

  pw::StartSdlWindows();
  if (InitCom() == -1 || CreateMainWindow() == -1) {
    RunShutdownSequence();
    return -1;
  }
  ClearHttpTransfers();
  if (StartDirectInput() == -1) {
    RunShutdownSequence();
    return -1;
  }
  InitializeSoundSystem();
  SyncRenderStatesStub();
  ConfigureGraphicsHost();
  if (!s.kept.graphics_off && StartDirectDraw(s.main_window) < 0) {
    RunShutdownSequence();
    return -1;
  }
  InitCharCodeBuffer();
  s.library_started = 1;
  SetFlipVsyncFlag(1);
  if (!s.kept.window_mode) BringWindowToFront(s.main_window, 1);
  InitScreenLog();
  if (!s.kept.graphics_off) {
    if (!system_memory_only && direct3d_in_use && GetCurrentDevice3D() < 0) {
      SetVideoMemoryUseAndReset(0);
    }
    SetDrawTarget(-2);
    SetDrawTarget(-4);
  }
  return 0;
}

int RunShutdownSequence() {
  WindowCoreState& s = CoreState();
  s.ending_state = 1;
  EndScreenLog();
  EndHttpTransfers();
  EndNetwork();
  StopDirectShowMusicForExit();
  StopMusicPlayback();
  StopDirectDraw();
  StopDirectInput();
  ShutdownSoundSystem();
  DetachPresenter();
  EndMainWindow();
  if (s.com_started) {
    pw::ComUninitialize();
    CoreLog("ＣＯＭを終了... 完了\n");
    s.com_started = 0;
  }
  s.library_started = 0;
  PumpUntilQuit();
  if (s.kept.log_folder_path[0] != '\0' && chdir(s.kept.log_folder_path) != 0) {
    CoreLog("ログフォルダに戻れませんでした\n");
  }
  CoreLogAllocationDump();
  return 0;
}

void ExitWithError(const char* text) {
  CoreLog(text ? text : "");
  CoreLog("\n");
  RunShutdownSequence();
  PumpUntilQuit();
  CoreLog("ソフトをエラー終了します");
  pw::ExitProcess(-1);
}

void ExitWithErrorFormat(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  ExitWithError(buffer);
}

int StartLibraryBody() { return RunStartupSequence(); }
int StopLibraryBody() { return RunShutdownSequence(); }
