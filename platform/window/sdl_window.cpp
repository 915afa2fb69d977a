#include "platform/window/sdl_window.h"

#include <atomic>
#include <memory>
#include <string>

#include "platform/input/input_devices.h"
#include "platform/input/key_codes.h"
#include "platform/video/display.h"
#include "platform/video/presenter.h"
#include "platform/window/drop_files.h"
#include "platform/window/ime.h"
#include "platform/window/text_convert.h"

namespace platform::window {
namespace {

bool g_started = false;
uint32_t g_user_event = static_cast<uint32_t>(-1);
std::atomic<uint32_t> g_generation{1};
WindowHandle g_windows_by_creation[16] = {};
// Between a drop's begin and complete events.
bool g_drop_open = false;

SDL_Window* Native(WindowHandle w) { return static_cast<SDL_Window*>(GetNativeWindow(w)); }

void Remember(WindowHandle w) {
  for (WindowHandle& slot : g_windows_by_creation) {
    if (!slot) {
      slot = w;
      return;
    }
  }
}

void Forget(WindowHandle w) {
  for (WindowHandle& slot : g_windows_by_creation) {
    if (slot == w) slot = nullptr;
  }
}

// The first live window with a real window behind it.
WindowHandle MainWindow() {
  for (WindowHandle w : g_windows_by_creation) {
    if (w && IsWindow(w)) return w;
  }
  return nullptr;
}

bool Bordered(const WindowParams& p) { return (p.style & kStyleCaption) != 0; }

void ApplyMode(WindowHandle w) {
  SDL_Window* sw = Native(w);
  const WindowParams* p = GetWindowParams(w);
  if (!sw || !p) return;
  const bool is_full = (SDL_GetWindowFlags(sw) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  if (p->full_screen) {
    if (!is_full) SDL_SetWindowFullscreen(sw, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    if (is_full) SDL_SetWindowFullscreen(sw, 0);
    SDL_SetWindowBordered(sw, Bordered(*p) ? SDL_TRUE : SDL_FALSE);
    int cw = 0, ch = 0;
    SDL_GetWindowSize(sw, &cw, &ch);
    if (cw != p->client.width || ch != p->client.height) {
      SDL_SetWindowSize(sw, p->client.width, p->client.height);
    }
    SDL_SetWindowPosition(sw, p->client.x, p->client.y);
  }
  // A renderer drawing into the window learns of its new size from SDL's
  // own event watchers; let them run now, before the next frame is shown.
  SDL_PumpEvents();
}

void Created(WindowHandle w) {
  const WindowParams* p = GetWindowParams(w);
  if (p->message_only) return;
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (p->full_screen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (!Bordered(*p)) flags |= SDL_WINDOW_BORDERLESS;
  if (p->style & kStyleThickFrame) flags |= SDL_WINDOW_RESIZABLE;
  const std::string title = Cp932ToUtf8(p->title);
  SDL_Window* sw = SDL_CreateWindow(title.c_str(), p->client.x, p->client.y,
                                    p->client.width > 0 ? p->client.width : 1,
                                    p->client.height > 0 ? p->client.height : 1, flags);
  if (!sw) {
    SDL_Log("kesto: window not created: %s", SDL_GetError());
    return;
  }
  SDL_SetWindowData(sw, "kesto", w);
  SetNativeWindow(w, sw);
  Remember(w);
  if (p->visible) SDL_ShowWindow(sw);
}

void Destroyed(WindowHandle w) {
  SDL_Window* sw = Native(w);
  // The presenter must not draw into a window that is gone.
  if (sw) video::SetPresenter(std::make_unique<video::NullPresenter>());
  Forget(w);
  SetNativeWindow(w, nullptr);
  if (sw) SDL_DestroyWindow(sw);
}

void TitleChanged(WindowHandle w) {
  if (SDL_Window* sw = Native(w)) {
    SDL_SetWindowTitle(sw, Cp932ToUtf8(GetWindowParams(w)->title).c_str());
  }
}

void VisibilityChanged(WindowHandle w) {
  SDL_Window* sw = Native(w);
  if (!sw) return;
  if (GetWindowParams(w)->visible) {
    SDL_ShowWindow(sw);
  } else {
    SDL_HideWindow(sw);
  }
}

void Raised(WindowHandle w, bool topmost) {
  SDL_Window* sw = Native(w);
  if (!sw) return;
  SDL_RaiseWindow(sw);
  if (topmost) SDL_SetWindowAlwaysOnTop(sw, SDL_TRUE);
}

void PostActivation(WindowHandle w, bool active) {
  PostMessage(w, kMsgActivateApp, active ? 1 : 0, 0);
  PostMessage(w, kMsgActivate, active ? 1 : 0, 0);
}

void TranslateWindowEvent(const SDL_WindowEvent& e) {
  WindowHandle w = WindowFromSdlId(e.windowID);
  if (!w) return;
  const WindowParams* p = GetWindowParams(w);
  switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:
      PostMessage(w, kMsgSysCommand, kScClose, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      // A full-screen program gets its display back when it returns.
      if (p->full_screen && video::IsDisplayLost()) video::EndDisplayLoss();
      PostActivation(w, true);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      // An unfocused window hears no key releases.
      input::ReleaseAllKeys();
      // Leaving a full-screen program loses its display surfaces.
      if (p->full_screen) video::SimulateDisplayLoss();
      PostActivation(w, false);
      break;
    case SDL_WINDOWEVENT_MOVED:
      if (!p->full_screen) {
        WindowGeometry g = p->client;
        g.x = e.data1;
        g.y = e.data2;
        NoteWindowGeometry(w, g);
      }
      PostMessage(w, kMsgMove, 0, MakeLParam(e.data1, e.data2));
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      PostMessage(w, kMsgSize, kSizeRestored, MakeLParam(e.data1, e.data2));
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      PostMessage(w, kMsgSize, kSizeMinimized, 0);
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      PostMessage(w, kMsgSize, kSizeMaximized, 0);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      PostMessage(w, kMsgSize, kSizeRestored, MakeLParam(p->client.width, p->client.height));
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      InvalidateWindow(w);
      break;
    default:
      break;
  }
}

void TranslateKey(const SDL_KeyboardEvent& e) {
  const bool down = e.type == SDL_KEYDOWN;
  const int code = input::KeyCodeFromScancode(e.keysym.scancode);
  if (code) input::SetKeyDown(code, down);
  WindowHandle w = WindowFromSdlId(e.windowID);
  if (!w) w = MainWindow();
  const uint32_t vk = input::VirtualKeyFromScancode(e.keysym.scancode);
  if (!w || !vk) return;
  const bool alt = (e.keysym.mod & KMOD_ALT) != 0;
  uint32_t id = down ? kMsgKeyDown : kMsgKeyUp;
  if (alt) id = down ? kMsgSysKeyDown : kMsgSysKeyUp;
  const intptr_t lparam = intptr_t{1} |
                          (static_cast<intptr_t>(code & 0xFF) << 16);
  PostMessage(w, id, vk, lparam);
}

// Drops go to the window they landed on, else to the main window.
WindowHandle DropTarget(uint32_t window_id) {
  WindowHandle w = window_id ? WindowFromSdlId(window_id) : nullptr;
  return w ? w : MainWindow();
}

}  // namespace

WindowHandle WindowFromSdlId(uint32_t id) {
  SDL_Window* sw = SDL_GetWindowFromID(id);
  if (!sw) return nullptr;
  for (WindowHandle w : g_windows_by_creation) {
    if (w && IsWindow(w) && Native(w) == sw) return w;
  }
  return nullptr;
}

void TranslateSdlEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      if (WindowHandle w = MainWindow()) PostMessage(w, kMsgClose, 0, 0);
      break;
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(e.window);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      TranslateKey(e.key);
      break;
    case SDL_TEXTINPUT: {
      WindowHandle w = MainWindow();
      if (!w || ImeCommit(w, e.text.text)) break;
      for (char c : Utf8ToCp932(e.text.text)) {
        PostMessage(w, kMsgChar, static_cast<uint8_t>(c), 0);
      }
      break;
    }
    case SDL_TEXTEDITING:
      if (WindowHandle w = MainWindow()) ImeEditing(w, e.edit.text, e.edit.start, e.edit.length);
      break;
#if SDL_VERSION_ATLEAST(2, 0, 22)
    case SDL_TEXTEDITING_EXT:
      if (WindowHandle w = MainWindow(); w && e.editExt.text) {
        ImeEditing(w, e.editExt.text, e.editExt.start, e.editExt.length);
      }
      break;
#endif
    case SDL_DROPBEGIN:
      if (WindowHandle w = DropTarget(e.drop.windowID)) {
        BeginDrop(w);
        g_drop_open = true;
      }
      break;
    case SDL_DROPFILE:
      if (WindowHandle w = DropTarget(e.drop.windowID); w && e.drop.file) {
        AddDroppedFile(w, Utf8ToCp932(e.drop.file));
        // A file dropped outside a begin and complete pair is a drop of its own.
        if (!g_drop_open) CompleteDrop(w);
      }
      break;
    case SDL_DROPCOMPLETE:
      g_drop_open = false;
      if (WindowHandle w = DropTarget(e.drop.windowID)) CompleteDrop(w);
      break;
    case SDL_MOUSEMOTION:
      if (WindowHandle w = MainWindow()) {
        PostMessage(w, kMsgSetCursor, 0, 0);
        PostMessage(w, kMsgMouseMove, 0, MakeLParam(e.motion.x, e.motion.y));
      }
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (WindowHandle w = MainWindow()) {
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        uint32_t id = down ? kMsgLButtonDown : kMsgLButtonUp;
        if (e.button.button == SDL_BUTTON_RIGHT) id = down ? kMsgRButtonDown : kMsgRButtonUp;
        if (e.button.button == SDL_BUTTON_MIDDLE) id = down ? kMsgMButtonDown : kMsgMButtonUp;
        PostMessage(w, kMsgSetCursor, 0, 0);
        PostMessage(w, id, 0, MakeLParam(e.button.x, e.button.y));
      }
      break;
    case SDL_MOUSEWHEEL:
      if (WindowHandle w = MainWindow()) {
        const uintptr_t high = static_cast<uint16_t>(static_cast<int16_t>(e.wheel.y * 120));
        PostMessage(w, kMsgMouseWheel, high << 16, 0);
      }
      break;
    default:
      if (e.type == g_user_event && g_user_event != static_cast<uint32_t>(-1)) {
        if (static_cast<uint32_t>(e.user.code) >> 16 !=
            (g_generation.load() & 0xFFFF)) {
          break;  // posted before the last drop: its sender is gone
        }
        if (WindowHandle w = MainWindow()) {
          PostMessage(w, static_cast<uint32_t>(e.user.code) & 0xFFFF,
                      reinterpret_cast<uintptr_t>(e.user.data1),
                      reinterpret_cast<intptr_t>(e.user.data2));
        }
      }
      break;
  }
}

void DrainSdlEvents() {
  if (!g_started) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    TranslateSdlEvent(e);
    // These events carry text SDL allocated for the receiver.
    if (e.type == SDL_DROPFILE || e.type == SDL_DROPTEXT) SDL_free(e.drop.file);
#if SDL_VERSION_ATLEAST(2, 0, 22)
    if (e.type == SDL_TEXTEDITING_EXT) SDL_free(e.editExt.text);
#endif
  }
}

bool StartSdlWindows() {
  if (g_started) return true;
  // Long compositions come whole rather than cut at 32 bytes.
  SDL_SetHint("SDL_IME_SUPPORT_EXTENDED_TEXT", "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    SDL_Log("kesto: no video: %s", SDL_GetError());
    return false;
  }
  g_started = true;
  if (g_user_event == static_cast<uint32_t>(-1)) g_user_event = SDL_RegisterEvents(1);
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
    video::Config().desktop_width = mode.w;
    video::Config().desktop_height = mode.h;
    // Bytes per pixel: an XRGB desktop (reported as 24 bits) counts as 32.
    const int bytes = SDL_BYTESPERPIXEL(mode.format);
    if (bytes > 0) video::Config().desktop_bits = bytes * 8;
  }
  SDL_StartTextInput();
  WindowBackend b;
  b.created = Created;
  b.destroyed = Destroyed;
  b.title_changed = TitleChanged;
  b.style_changed = ApplyMode;
  b.geometry_changed = ApplyMode;
  b.visibility_changed = VisibilityChanged;
  b.raised = Raised;
  SetWindowBackend(std::move(b));
  SetEventSource(DrainSdlEvents);
  return true;
}

void StopSdlWindows() {
  if (!g_started) return;
  SetEventSource(nullptr);
  SetWindowBackend(WindowBackend{});
  SDL_StopTextInput();
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
  g_started = false;
}

bool PostFromAnyThread(uint32_t message, uintptr_t wparam, intptr_t lparam) {
  if (g_user_event == static_cast<uint32_t>(-1) || message > 0xFFFF) return false;
  SDL_Event e{};
  e.type = g_user_event;
  e.user.code = static_cast<Sint32>(((g_generation.load() & 0xFFFF) << 16) | message);
  e.user.data1 = reinterpret_cast<void*>(wparam);
  e.user.data2 = reinterpret_cast<void*>(lparam);
  return SDL_PushEvent(&e) == 1;
}

void DropPendingThreadPosts() { g_generation.fetch_add(1); }

}  // namespace platform::window
