#include "core/pump.h"

#include <cmath>

#include "core/dropped_files.h"
#include "core/entry_bodies.h"
#include "core/http.h"
#include "core/input.h"
#include "core/key_hook.h"
#include "core/key_input.h"
#include "core/network.h"
#include "core/pause_picture.h"
#include "core/startup_log.h"
#include "core/text_input.h"
#include "core/window_main.h"
#include "core/window_menu.h"
#include "core/window_state.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_manager.h"
#include "graphics/movies.h"
#include "graphics/present.h"
#include "graphics/screen.h"
#include "platform/clock.h"
#include "platform/window/automation.h"
#include "platform/window/cursor.h"
#include "platform/window/region.h"
#include "sound/sound_system.h"

namespace pw = platform::window;

namespace {

// Takes the next message for the pump: a screen-saver start first, then a
// message of the thread, then one of the main window.
bool TakeNextMessage(pw::Message* m) {
  WindowCoreState& s = CoreState();
  if (s.main_window) {
    pw::PeekFilter sys{pw::PeekFilter::kWindowOnly, s.main_window, pw::kMsgSysCommand,
                       pw::kMsgSysCommand};
    if (pw::PeekMessage(m, sys, false) && (m->wparam & 0xFFF0) == pw::kScScreenSave) {
      pw::PeekMessage(m, sys, true);
      return true;
    }
  }
  if (pw::PeekMessage(m, pw::PeekFilter{pw::PeekFilter::kThreadOnly, nullptr, 0, 0}, true)) {
    return true;
  }
  if (s.main_window &&
      pw::PeekMessage(m, pw::PeekFilter{pw::PeekFilter::kWindowOnly, s.main_window, 0, 0}, true)) {
    return true;
  }
  return false;
}

// Socket events, then every running HTTP transfer.
void RunNetworkStep() {
  // Connections the peer closed stay until the program closes them, so
  // what they received can still be read.
  NetworkMessageStep(0);
  StepHttpTransfers();
}

// Asks the main window to close, once.
void RequestClose() {
  WindowCoreState& s = CoreState();
  if (s.closing_requested) return;
  s.closing_requested = 1;
  pw::PostMessage(s.main_window, pw::kMsgClose, 0, 0);
}

void HandleActivate(uintptr_t wparam) {
  WindowCoreState& s = CoreState();
  s.active = pw::LowWord(wparam) != 0 ? 1 : 0;
  ApplySystemKeyBlock(s.active);
  if (s.creating) return;
  const bool windowed = s.kept.window_mode != 0;
  if (!s.active) {
    if (!windowed && IsDisplayModeChanged() && GetDirectDrawObject()) {
      if (!GraphicsManager().restore_callback && !s.kept.user_window_mode) {
        CoreLog("復元関数が登録されていないため終了します\n");
        RequestClose();
      } else {
        s.restore_needed = 1;
      }
    }
    // Movies stand still while the program does, in full screen too (they
    // would otherwise run on unseen until the display came back).
    PauseAllMovies();
    DrawPauseGraphic();
    return;
  }
  if (!windowed && s.restore_needed && s.library_started) {
    RecoverGraphicsDevice();
    s.restore_needed = 0;
  }
  ResumeAllMovies();
}

void HandleDisplayChange(uintptr_t wparam, intptr_t lparam) {
  WindowCoreState& s = CoreState();
  if (!s.kept.window_mode || s.mode_changing) {
    s.display_change_seen = 1;
    return;
  }
  const int bits = static_cast<int>(wparam);
  const int width = pw::LowWord(static_cast<uintptr_t>(lparam));
  const int height = pw::HighWord(static_cast<uintptr_t>(lparam));
  int sw = 0, sh = 0;
  GetScreenResolution(&sw, &sh);
  const int screen_bits = GetScreenColorBits();
  if (bits == screen_bits && width == sw && height == sh) {
    s.display_change_seen = 1;
    return;
  }
  if (GraphicsManager().restore_callback && bits != 24 && (bits == screen_bits || bits != 8) &&
      width >= sw && height >= sh) {
    ReleaseAllMovieInterfaces();
    RecoverGraphicsDevice();
    ResumeAllMovies();
    s.display_change_seen = 1;
    return;
  }
  CoreLog("復元関数が登録されていないためか画面が２４ビットカラーに変更されたため終了します\n");
  CoreLog("またはスクリーンが小さすぎるためか色ビット数の違いが大きいためか終了します\n");
  RequestClose();
}

}  // namespace

double ApplySizingRule(uintptr_t edge, int rect[4], int frame_width, int frame_height,
                       int screen_width, int screen_height) {
  const double w = screen_width;
  const double h = screen_height;
  double cw = rect[2] - rect[0] - frame_width;
  double ch = rect[3] - rect[1] - frame_height;
  bool width_follows = false;
  switch (edge) {
    case pw::kEdgeLeft:
    case pw::kEdgeRight:
      width_follows = false;
      break;
    case pw::kEdgeTop:
    case pw::kEdgeBottom:
      width_follows = true;
      break;
    default:
      width_follows = ch / h >= cw / w;
      break;
  }
  if (width_follows) {
    cw = ch * w / h;
  } else {
    ch = cw * h / w;
  }
  const int new_w = static_cast<int>(cw) + frame_width;
  const int new_h = static_cast<int>(ch) + frame_height;
  // The dragged edges move; the opposite ones stay.
  const bool drags_left = edge == pw::kEdgeLeft || edge == pw::kEdgeTopLeft ||
                          edge == pw::kEdgeBottomLeft;
  const bool drags_top = edge == pw::kEdgeTop || edge == pw::kEdgeTopLeft ||
                         edge == pw::kEdgeTopRight;
  if (drags_left) {
    rect[0] = rect[2] - new_w;
  } else {
    rect[2] = rect[0] + new_w;
  }
  if (drags_top) {
    rect[1] = rect[3] - new_h;
  } else {
    rect[3] = rect[1] + new_h;
  }
  return static_cast<int>(cw) / w;
}

namespace {
int g_wait_pumps = 0;
}  // namespace

WaitPumpScope::WaitPumpScope() { ++g_wait_pumps; }
WaitPumpScope::~WaitPumpScope() { --g_wait_pumps; }

int PumpFrameMessagesBody() {
  WindowCoreState& s = CoreState();
  if (s.pump_guard) return 0;
  // Only the program's own frame pumps count as frames for unattended runs,
  // not the pumps of start-up and of waits inside other calls.
  static int depth = 0;
  pw::NoteFramePump(s.library_started && depth == 0 && g_wait_pumps == 0);
  ++depth;
  struct DepthGuard {
    int& d;
    ~DepthGuard() { --d; }
  } depth_guard{depth};

  if (s.alt_enter_request && s.kept.alt_enter_allowed) {
    s.alt_enter_request = 0;
    ChangeWindowModeBody(s.kept.window_mode ? 0 : 1);
    if (s.kept.mode_change_callback) s.kept.mode_change_callback(s.kept.mode_change_user_value);
  }

  int dispatched = 0;
  for (;;) {
    int nothing_dispatched = 1;
    if (!s.active && !s.kept.run_while_inactive) platform::Sleep(1);
    bool leave = false;
    for (;;) {
      pw::Message m;
      if (!TakeNextMessage(&m)) break;
      if (m.id == pw::kMsgActivateApp) s.active = pw::LowWord(m.wparam) != 0 ? 1 : 0;
      if (s.quit) {
        leave = true;
        break;
      }
      if (m.id == pw::kMsgQuit) s.quit = 1;
      pw::TranslateMessage(m);
      pw::DispatchMessage(m);
      ++dispatched;
      if (dispatched >= 5) break;
      nothing_dispatched = 0;
    }
    if (leave) break;
    if (!s.active) {
      RunNetworkStep();
      RefillAllStreamSounds();
      platform::Sleep(1);
    }
    if (s.quit) break;
    // Without a main window nothing can make the program active again, so
    // the pump must not wait for it (shutdown and failed start-ups pump).
    const bool may_leave = s.closing_requested || s.active || s.kept.run_while_inactive ||
                           !pw::IsWindow(s.main_window);
    if (may_leave && nothing_dispatched) break;
  }

  if (!s.kept.menu_always_shown && !s.kept.window_mode && s.main_window) {
    int y = 0;
    ReadMousePoint(nullptr, &y);
    s.mouse_in_menu_zone = y < 60 ? 1 : 0;
    UpdateCursorVisibility(s.cursor_request);
    UpdateMenuBar(!s.kept.menu_hidden);
  }

  RefillAllStreamSounds();
  PollMusicHandles();
  DrainKeyboardBuffer();
  RunNetworkStep();

  s.pump_guard = 1;
  KeyInputStep();
  s.pump_guard = 0;
  return s.quit == 1 ? -1 : 0;
}

intptr_t MainWindowProc(pw::WindowHandle window, uint32_t message, uintptr_t wparam,
                        intptr_t lparam) {
  WindowCoreState& s = CoreState();
  const bool user_mode = s.kept.user_window_mode && s.kept.user_window_proc;
  intptr_t user_result = 0;
  if (user_mode) user_result = s.kept.user_window_proc(window, message, wparam, lparam);
  if (s.kept.message_hook) s.kept.message_hook(window, message, wparam, lparam);
  auto fallthrough = [&]() -> intptr_t {
    return user_mode ? user_result : pw::DefaultWindowProc(window, message, wparam, lparam);
  };

  switch (message) {
    case pw::kMsgCreate:
      if (s.kept.window_region) pw::SetWindowRegion(window, s.kept.window_region, true);
      break;
    case pw::kMsgDestroy:
      if (!user_mode) {
        CoreLog("ウインドウが破棄されようとしています\n");
        s.destroyed = 1;
        CoreLog("ソフトを終了する準備が整いました\n");
        if (!s.kept.no_quit_message) pw::PostQuitMessage(0);
        s.quit = 1;
      }
      break;
    case pw::kMsgMove:
      if (s.kept.window_mode && !s.mode_changing) TrackWindowMove(lparam);
      break;
    case pw::kMsgSize:
      if (s.creating) break;
      if (wparam != pw::kSizeMaximized) {
        if (wparam != pw::kSizeMinimized) FitWindowToScale();
      } else if (s.kept.alt_enter_allowed && !s.mode_changing && s.kept.window_mode) {
        s.alt_enter_request = 1;
      }
      break;
    case pw::kMsgActivate:
      HandleActivate(wparam);
      break;
    case pw::kMsgPaint:
      pw::BeginPaint(window);
      // Before start-up the window stays black; afterwards the back buffer
      // is copied in.
      if (!s.active && s.pause_picture && !s.kept.run_while_inactive) {
        DrawPauseGraphic();
      } else if (s.library_started) {
        PresentByCopy();
      }
      pw::EndPaint(window);
      return user_mode ? user_result : 0;
    case pw::kMsgClose:
      if (user_mode) break;
      CoreLog("ウインドウを閉じようとしています\n");
      if (s.kept.keep_window_on_close && s.ending_state != 1) {
        if (s.ending_state == 0) s.ending_state = 4;
        return 0;
      }
      pw::DestroyWindow(window);
      if (s.ending_state == 0) s.ending_state = 4;
      return 0;
    case pw::kMsgDisplayChange:
      HandleDisplayChange(wparam, lparam);
      break;
    case pw::kMsgSetCursor:
    case pw::kMsgMouseMove:
    case pw::kMsgLButtonDown:
    case pw::kMsgLButtonUp:
    case pw::kMsgRButtonDown:
    case pw::kMsgRButtonUp:
    case pw::kMsgMButtonDown:
    case pw::kMsgMButtonUp:
      if (!s.cursor_visible) pw::HideCursor();
      break;
    case pw::kMsgKeyDown:
      if (HasCharCodeRoom()) {
        const uint8_t code = ControlCodeForVirtualKey(static_cast<uint32_t>(wparam));
        if (code) StoreCharCode(code);
      }
      break;
    case pw::kMsgChar:
      StoreCharCode(static_cast<uint8_t>(wparam & 0xFF));
      break;
    case pw::kMsgSysChar:
      if ((wparam & 0xFF) == 13 && s.kept.alt_enter_allowed) {
        s.alt_enter_request = 1;
        return 0;
      }
      break;
    case pw::kMsgImeStartComposition:
    case pw::kMsgImeEndComposition:
    case pw::kMsgImeComposition:
    case pw::kMsgImeSetContext:
    case pw::kMsgImeNotify:
      return HandleImeMessage(lparam, window, wparam, message);
    case pw::kMsgCommand:
      HandleMenuCommand(wparam);
      break;
    case pw::kMsgSysCommand:
      if ((wparam & 0xFFF0) == pw::kScScreenSave) return 1;
      if ((wparam & 0xFFF0) == pw::kScClose && s.kept.disable_system_keys) return 0;
      break;
    case pw::kMsgDropFiles:
      StoreDroppedFiles(wparam);
      break;
    case pw::kMsgMouseWheel:
      s.wheel_count += static_cast<int16_t>(pw::HighWord(wparam)) >= 1 ? 1 : -1;
      break;
    case pw::kMsgSizing:
      if (s.kept.window_mode && !user_mode && lparam) {
        int sw = 0, sh = 0;
        GetScreenResolution(&sw, &sh);
        if (sw > 0 && sh > 0) {
          s.kept.window_scale = ApplySizingRule(wparam, reinterpret_cast<int*>(lparam), 0, 0,
                                                sw, sh);
        }
      }
      break;
    case pw::kMsgMoving:
      if (!s.kept.window_mode && lparam) {
        int* r = reinterpret_cast<int*>(lparam);
        const pw::WindowParams* p = pw::GetWindowParams(window);
        if (p) {
          r[0] = p->client.x;
          r[1] = p->client.y;
          r[2] = p->client.x + p->client.width;
          r[3] = p->client.y + p->client.height;
        }
      }
      break;
    case pw::kMsgMciNotify:
      HandleMciMusicNotify();
      break;
    case pw::kMsgSocketEvent:
      return HandleSocketEvent(wparam, lparam);
    case pw::kMsgGraphEvent:
      HandleDirectShowMusicEvents();
      break;
    default:
      break;
  }
  return fallthrough();
}

void WaitWhileInactive() {
  WindowCoreState& s = CoreState();
  if (s.active || s.kept.user_window_mode) return;
  if (s.kept.window_mode && s.kept.run_while_inactive) return;
  // Nothing can make a missing window active.
  if (!pw::IsWindow(s.main_window)) return;
  while (!s.active) {
    if (PumpFrameMessagesBody() != 0) break;
    if (s.closing_requested && !pw::IsWindow(s.main_window)) break;
  }
  RestoreAllGraphicSurfaces();
}
