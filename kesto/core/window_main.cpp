#include "core/window_main.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/dropped_files.h"
#include "core/entry_bodies.h"
#include "core/key_hook.h"
#include "core/key_input.h"
#include "core/pause_picture.h"
#include "core/pump.h"
#include "core/startup_log.h"
#include "core/text_input.h"
#include "core/twister.h"
#include "core/window_menu.h"
#include "core/window_state.h"
#include "graphics/draw_state.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "platform/clock.h"
#include "platform/window/automation.h"
#include "platform/window/cursor.h"
#include "platform/window/ime.h"
#include "platform/window/region.h"
#include "platform/window/system.h"

namespace pw = platform::window;

namespace {

struct StyleRow {
  uint32_t window_style;
  uint32_t window_ex;
  uint32_t full_style;
  uint32_t full_ex;
};

constexpr uint32_t kCaptioned =
    pw::kStylePopup | pw::kStyleCaption | pw::kStyleSysMenu | pw::kStyleMinimizeBox;
constexpr StyleRow kStyles[] = {
    {kCaptioned, pw::kExStyleWindowEdge | pw::kExStyleClientEdge, pw::kStylePopup,
     pw::kExStyleTopmost},
    {pw::kStylePopup | pw::kStyleSysMenu, pw::kExStyleWindowEdge | pw::kExStyleClientEdge,
     pw::kStylePopup, pw::kExStyleTopmost},
    {pw::kStylePopup | pw::kStyleSysMenu, 0, pw::kStylePopup, pw::kExStyleTopmost},
    {kCaptioned, pw::kExStyleToolWindow, pw::kStylePopup, pw::kExStyleTopmost},
    {pw::kStylePopup | pw::kStyleSysMenu, pw::kExStyleToolWindow, pw::kStylePopup,
     pw::kExStyleTopmost},
    {pw::kStylePopup | pw::kStyleCaption | pw::kStyleSysMenu, 0, 0, 0},
};

void ScreenSize(int* w, int* h) {
  GetScreenResolution(w, h);
  if (*w <= 0) *w = 640;
  if (*h <= 0) *h = 480;
}

int ScaledSize(int size) {
  return static_cast<int>(std::lround(size * GetWindowScale()));
}

void StoreClientRect(const pw::WindowGeometry& g) {
  WindowCoreState& s = CoreState();
  s.client_left = g.x;
  s.client_top = g.y;
  s.client_right = g.x + g.width;
  s.client_bottom = g.y + g.height;
}

pw::WindowGeometry CurrentGeometry() {
  const pw::WindowParams* p = pw::GetWindowParams(CoreState().main_window);
  return p ? p->client : pw::WindowGeometry{};
}

// The window-mode client area: the scaled screen, centred on the desktop or
// at the given position.
pw::WindowGeometry WindowModeGeometry(int client_w, int client_h) {
  const WindowCoreState& s = CoreState();
  pw::WindowGeometry g{0, 0, client_w, client_h};
  if (s.kept.position_given) {
    g.x = s.kept.position_x;
    g.y = s.kept.position_y;
  } else {
    g.x = (s.desktop_width - client_w) / 2;
    g.y = (s.desktop_height - client_h) / 2;
  }
  return g;
}

void PumpFor(uint32_t ms) {
  const uint32_t start = platform::TimeGetTime();
  while (platform::TimeGetTime() - start < ms) {
    if (PumpFrameMessagesBody() != 0) break;
    platform::Sleep(1);
  }
}

void RunTimerTest() {
  CoreLog("タイマーの精度を検査します\n");
  int mm_changes = 0, pc_changes = 0;
  uint32_t last_mm = platform::TimeGetTime();
  int64_t last_pc = platform::QueryPerformanceCounter();
  while (mm_changes < 60 && pc_changes < 60) {
    if (PumpFrameMessagesBody() != 0) break;
    platform::Sleep(0);
    const uint32_t mm = platform::TimeGetTime();
    const int64_t pc = platform::QueryPerformanceCounter();
    if (mm != last_mm) ++mm_changes;
    if (pc != last_pc) ++pc_changes;
    last_mm = mm;
    last_pc = pc;
  }
  CoreLogFormat("精度結果 更新回数 マルチメディアタイマー：%d  パフォーマンスカウンター：%d",
                mm_changes, pc_changes);
  WindowCoreState& s = CoreState();
  if (mm_changes <= pc_changes) {
    CoreLogFormat("パフォーマンスカウンターを使用します タイマー分解能 : %lf KHz ",
                  static_cast<double>(s.perf_frequency) * 0.001);
  } else {
    CoreLogFormat("マルチメディアタイマーを使用します タイマー分解能 : %d.00 ms ", 1);
    s.perf_counter_flag = 0;
  }
}

}  // namespace

void WindowStylesFor(int full_screen, uint32_t* style, uint32_t* ex_style) {
  const WindowCoreState& s = CoreState();
  int index = s.kept.window_style_index;
  if (index < 0 || index >= static_cast<int>(sizeof kStyles / sizeof kStyles[0])) index = 0;
  const StyleRow& row = kStyles[index];
  if (full_screen) {
    *style = row.full_style;
    *ex_style = row.full_ex;
    return;
  }
  *style = row.window_style;
  *ex_style = row.window_ex;
  if (s.kept.alt_enter_allowed) *style |= pw::kStyleMaximizeBox;
  if (s.window_visible_flag) *style |= pw::kStyleVisible;
  if (s.kept.resizable) *style |= pw::kStyleThickFrame;
  if (s.kept.hidden_window) *ex_style |= pw::kExStyleTransparent;
}

int CreateMainWindow() {
  ClearCoreStateKeepingSettings();
  WindowCoreState& s = CoreState();

  CoreLog("ソフトの２重起動検査... ");
  if (!pw::AcquireInstanceLock()) {
    if (!s.kept.allow_second_instance) {
      CoreLog("２重起動されています、ソフトを終了します\n");
      // Without this a player starting the game twice sees nothing at all.
      std::fprintf(
          stderr,
          "kesto: another copy of the program is already running (it holds %s); this one ends\n",
          pw::InstanceLockPath().c_str());
      pw::ExitProcess(0);
    }
    CoreLog("２重起動されていますが続行します\n");
  } else {
    CoreLog("２重起動はされていませんでした\n");
  }

  pw::GetMemoryStatus(&s.memory_total, &s.memory_available);
  CoreLogFormat("メモリ総量:%.2fMB  空きメモリ領域:%.2fMB ", s.memory_total / 1048576.0,
                s.memory_available / 1048576.0);

  if (s.kept.menu_used) {
    s.menu_item_count = 0;
    CollectMenuItems(s.kept.menu);
  }

  pw::GetDesktopMode(&s.desktop_width, &s.desktop_height, &s.desktop_bits);
  int sw = 0, sh = 0;
  ScreenSize(&sw, &sh);
  CoreLog("ソフトの実行優先レベルを上げました\n");

  if (!s.kept.user_window_mode) {
    s.creating = 1;
    CoreLog("ウインドウクラスを登録します... ");
    if (!pw::IsClassRegistered(kWindowClassName) &&
        !pw::RegisterWindowClass(kWindowClassName, MainWindowProc)) {
      CoreLog("ウインドウクラスの登録に失敗しました\n");
      s.creating = 0;
      return -1;
    }
    CoreLog("登録に成功しました\n");
    if (s.kept.caption[0] == '\0') std::strcpy(s.kept.caption, "Kesto");

    pw::WindowParams params;
    params.title = s.kept.caption;
    const bool windowed = s.kept.window_mode != 0;
    WindowStylesFor(windowed ? 0 : 1, &params.style, &params.ex_style);
    if (windowed) {
      CoreLog("ウインドウモード起動用のウインドウを作成します\n");
      s.cursor_request = 1;
      params.client = WindowModeGeometry(sw, sh);
    } else {
      CoreLog("フルスクリーンモード用のウインドウを作成します\n");
      s.cursor_request = 0;
      params.client = pw::WindowGeometry{0, 0, sw, sh};
      params.full_screen = true;
    }
    params.visible = !s.kept.hidden_window;
    s.main_window = pw::CreateWindow(kWindowClassName, params);
    if (!s.main_window) {
      CoreLog("ウインドウの作成に失敗しました\n");
      s.creating = 0;
      return -1;
    }
    if (windowed) AttachMenuForWindowMode();
  }
  pw::SetAutomationWindow(s.main_window);

  s.closing_requested = 0;
  s.destroyed = 0;
  s.active = 1;
  if (!s.kept.window_mode) {
    CoreLog("カーソルを不可視にしました\n");
    pw::HideCursor();
  }
  CoreLog("ＩＭＥを無効にしました\n");
  pw::AssociateIme(s.main_window, false);
  if (s.kept.window_mode) StoreClientRect(CurrentGeometry());
  SetCharCodeSet(pw::GetOemCodePage() == 949 ? 2 : 1);
  UpdateCursorVisibility(s.cursor_request);
  s.ending_state = 0;

  s.perf_frequency = platform::QueryPerformanceFrequency();
  s.perf_counter_flag = s.perf_frequency != 0 ? 1 : 0;
  if (s.perf_counter_flag) RunTimerTest();
  SeedTwister(platform::TimeGetTime());

  if (s.kept.user_window_mode) {
    s.creating = 0;
    return 0;
  }
  if (!s.kept.hidden_window) BringWindowToFront(s.main_window, 0);
  PumpFor(200);
  if (!s.kept.hidden_window) FitWindowToScale();
  s.creating = 0;
  return 0;
}

int EndMainWindow() {
  WindowCoreState& s = CoreState();
  if (!s.main_window) return 0;
  UpdateCursorVisibility(1);
  EndSystemKeyBlock();
  if (s.kept.window_region) {
    pw::SetWindowRegion(s.main_window, nullptr, false);
    pw::DeleteRegion(s.kept.window_region);
    s.kept.window_region = nullptr;
  }
  EndWindowMenu();
  if (!s.kept.user_window_mode) {
    if (!s.closing_requested) {
      s.closing_requested = 1;
      pw::PostMessage(s.main_window, pw::kMsgClose, 0, 0);
    }
    while (PumpFrameMessagesBody() == 0) {
    }
    if (pw::IsWindow(s.main_window)) pw::DestroyWindow(s.main_window);
    pw::UnregisterWindowClass(kWindowClassName);
    pw::ReleaseInstanceLock();
  }
  EndKeyInputs();
  DeletePauseGraphic();
  ClearDroppedFiles();
  pw::SetAutomationWindow(nullptr);
  s.main_window = nullptr;
  return 0;
}

int ChangeWindowModeBody(int window_flag) {
  WindowCoreState& s = CoreState();
  CoreLog("ChangeWindowMode実行 \n");
  window_flag = window_flag ? 1 : 0;
  if (window_flag == s.kept.window_mode) return 0;
  s.window_visible_flag = 1;
  SetWindowModeFlag(window_flag);
  if (!s.main_window) return 0;
  s.mode_changing = 1;
  s.display_change_seen = 0;
  ApplyWindowStyle();
  const int result = SwitchScreenMode(-1, -1, -1, 1, -1);
  // The display reports the change; the wait is bounded in case a switch
  // changes nothing the display would report.
  int w = 0, h = 0;
  ScreenSize(&w, &h);
  pw::PostMessage(s.main_window, pw::kMsgDisplayChange,
                  static_cast<uintptr_t>(GetScreenColorBits()), pw::MakeLParam(w, h));
  const uint32_t start = platform::TimeGetTime();
  while (!s.display_change_seen) {
    if (PumpFrameMessagesBody() != 0) break;
    if (platform::TimeGetTime() - start >= kDisplayChangeWaitMs) {
      CoreLog("画面モード変更の通知がありませんでした\n");
      break;
    }
    platform::Sleep(1);
  }
  s.mode_changing = 0;
  return result;
}

int SetWindowModeFlag(int window_flag) {
  CoreState().kept.window_mode = window_flag ? 1 : 0;
  CoreLog(window_flag ? "ウインドウモードフラグが立てられました\n"
                      : "ウインドウモードフラグが倒されました\n");
  Host().windowed = window_flag != 0;
  AttachMenuForWindowMode();
  return 0;
}

int ApplyWindowStyle() {
  WindowCoreState& s = CoreState();
  if (!s.main_window) return 0;
  int sw = 0, sh = 0;
  ScreenSize(&sw, &sh);
  if (s.kept.user_window_mode) {
    StoreClientRect(CurrentGeometry());
    UpdateCursorVisibility(s.kept.window_mode ? 1 : 0);
    return 0;
  }
  uint32_t style = 0, ex = 0;
  if (!s.kept.window_mode) {
    CoreLog("ウインドウスタイルをフルスクリーンモード用に変更します... ");
    WindowStylesFor(1, &style, &ex);
    pw::SetWindowStyle(s.main_window, style, ex);
    pw::SetWindowFullScreen(s.main_window, true);
    const pw::WindowGeometry g{0, 0, sw, sh};
    pw::SetWindowGeometry(s.main_window, g);
    StoreClientRect(g);
    UpdateCursorVisibility(0);
  } else {
    CoreLog("ウインドウスタイルをウインドウモード用に変更します... ");
    WindowStylesFor(0, &style, &ex);
    pw::SetWindowStyle(s.main_window, style, ex);
    pw::SetWindowFullScreen(s.main_window, false);
    pw::WindowGeometry g = WindowModeGeometry(ScaledSize(sw), ScaledSize(sh));
    pw::SetWindowGeometry(s.main_window, g);
    g = CurrentGeometry();
    if (g.x < 0 || g.y < 0) {
      g.x = s.kept.position_given ? s.kept.position_x : 0;
      g.y = s.kept.position_given ? s.kept.position_y : 0;
      pw::SetWindowGeometry(s.main_window, g);
    }
    StoreClientRect(g);
    UpdateCursorVisibility(1);
  }
  CoreLog("完了\n");
  pw::RaiseWindow(s.main_window, false);
  pw::PostMessage(s.main_window, pw::kMsgSetCursor, 0, 0);
  return 0;
}

int FitWindowToScale() {
  WindowCoreState& s = CoreState();
  if (!s.main_window) return 0;
  int sw = 0, sh = 0;
  ScreenSize(&sw, &sh);
  Host().window_scale = GetWindowScale();
  if (!s.kept.user_window_mode) {
    pw::WindowGeometry g = CurrentGeometry();
    const int w = ScaledSize(sw);
    const int h = ScaledSize(sh);
    if (g.width != w || g.height != h) {
      g.width = w;
      g.height = h;
      pw::SetWindowGeometry(s.main_window, g);
    }
    if (s.kept.window_mode) StoreClientRect(g);
  }
  if (s.kept.window_mode && !s.window_visible_flag) {
    s.window_visible_flag = 1;
    ApplyWindowStyle();
  }
  return 0;
}

int TrackWindowMove(intptr_t lparam) {
  WindowCoreState& s = CoreState();
  const int x = static_cast<int16_t>(pw::LowWord(static_cast<uintptr_t>(lparam)));
  const int y = static_cast<int16_t>(pw::HighWord(static_cast<uintptr_t>(lparam)));
  const pw::WindowGeometry g = CurrentGeometry();
  s.client_left = x;
  s.client_top = y;
  s.client_right = x + g.width;
  s.client_bottom = y + g.height;
  if (!GetDrawState().started) return 0;
  if (GetDrawTarget() == -4) {
    SetFrontBufferScreenRect(
        platform::video::Rect{s.client_left, s.client_top, s.client_right, s.client_bottom});
  }
  const platform::video::Rect& a = GetDrawState().area;
  ApplyDrawArea(a.left, a.top, a.right, a.bottom);
  return 0;
}

int BringWindowToFront(pw::WindowHandle window, int topmost) {
  pw::RaiseWindow(window, topmost != 0);
  return 1;
}

int UpdateCursorVisibility(int request) {
  WindowCoreState& s = CoreState();
  s.cursor_request = request;
  int show = 0;
  if (request == 1) {
    show = 1;
  } else if (!s.main_window || !s.kept.menu_used || s.kept.menu_hidden) {
    show = 0;
  } else {
    show = (s.kept.menu_always_shown || s.kept.window_mode || s.mouse_in_menu_zone) ? 1 : 0;
  }
  if (show != s.cursor_visible) {
    if (show) {
      while (pw::CursorDisplayCount() < 0) pw::ShowCursor(true);
    } else {
      pw::HideCursor();
    }
    if (s.main_window) pw::PostMessage(s.main_window, pw::kMsgSetCursor, 0, 0);
    s.cursor_visible = show;
  }
  return 0;
}

int ReadMousePoint(int* x, int* y) {
  const WindowCoreState& s = CoreState();
  int cx = 0, cy = 0;
  pw::GetCursorPosition(&cx, &cy);
  if (s.kept.window_mode) {
    const double scale = GetWindowScale();
    cx = static_cast<int>(std::lround((cx - s.client_left) / scale));
    cy = static_cast<int>(std::lround((cy - s.client_top) / scale));
  }
  if (x) *x = cx;
  if (y) *y = cy;
  return 0;
}

int SetWindowCaptionBody(const char* caption) {
  if (!caption) caption = "";
  WindowCoreState& s = CoreState();
  if (s.main_window) pw::SetWindowTitle(s.main_window, caption);
  std::strncpy(s.kept.caption, caption, sizeof s.kept.caption - 1);
  s.kept.caption[sizeof s.kept.caption - 1] = '\0';
  return 0;
}
