#include "platform/window/message_queue.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace platform::window {

struct Window {
  std::string class_name;
  WindowProc proc = nullptr;
  WindowParams params;
  bool paint_pending = false;
  void* native = nullptr;
};

namespace {

struct WindowSystem {
  std::map<std::string, WindowProc> classes;
  std::vector<std::unique_ptr<Window>> windows;
  std::deque<Message> queue;
  WindowBackend backend;
  std::function<void()> event_source;
  bool in_event_source = false;
};

WindowSystem& Sys() {
  static WindowSystem* system = new WindowSystem();
  return *system;
}

bool Matches(const Message& m, const PeekFilter& f) {
  switch (f.kind) {
    case PeekFilter::kAny:
      break;
    case PeekFilter::kThreadOnly:
      if (m.window != nullptr) return false;
      break;
    case PeekFilter::kWindowOnly:
      if (m.window != f.window) return false;
      break;
  }
  if (f.min_id == 0 && f.max_id == 0) return true;
  return m.id >= f.min_id && m.id <= f.max_id;
}

void Notify(const std::function<void(WindowHandle)>& hook, WindowHandle w) {
  if (hook) hook(w);
}

}  // namespace

bool RegisterWindowClass(const char* name, WindowProc proc) {
  if (!name || !proc) return false;
  return Sys().classes.emplace(name, proc).second;
}

bool UnregisterWindowClass(const char* name) {
  if (!name) return false;
  auto it = Sys().classes.find(name);
  if (it == Sys().classes.end()) return false;
  for (const auto& w : Sys().windows) {
    if (w->class_name == name) return false;
  }
  Sys().classes.erase(it);
  return true;
}

bool IsClassRegistered(const char* name) {
  return name && Sys().classes.count(name) != 0;
}

WindowHandle CreateWindow(const char* class_name, const WindowParams& params) {
  if (!class_name) return nullptr;
  auto it = Sys().classes.find(class_name);
  if (it == Sys().classes.end()) return nullptr;
  auto record = std::make_unique<Window>();
  record->class_name = class_name;
  record->proc = it->second;
  record->params = params;
  record->paint_pending = true;
  WindowHandle w = record.get();
  Sys().windows.push_back(std::move(record));
  Notify(Sys().backend.created, w);
  if (SendMessage(w, kMsgCreate, 0, 0) == -1) {
    DestroyWindow(w);
    return nullptr;
  }
  return w;
}

bool IsWindow(WindowHandle window) {
  if (!window) return false;
  for (const auto& w : Sys().windows) {
    if (w.get() == window) return true;
  }
  return false;
}

int WindowCount() { return static_cast<int>(Sys().windows.size()); }

bool DestroyWindow(WindowHandle window) {
  if (!IsWindow(window)) return false;
  SendMessage(window, kMsgDestroy, 0, 0);
  // The procedure may have destroyed the window itself meanwhile.
  if (!IsWindow(window)) return true;
  Notify(Sys().backend.destroyed, window);
  auto& q = Sys().queue;
  q.erase(std::remove_if(q.begin(), q.end(), [&](const Message& m) { return m.window == window; }),
          q.end());
  auto& ws = Sys().windows;
  ws.erase(std::remove_if(ws.begin(), ws.end(), [&](const auto& w) { return w.get() == window; }),
           ws.end());
  return true;
}

bool PostMessage(WindowHandle window, uint32_t id, uintptr_t wparam, intptr_t lparam) {
  if (window && !IsWindow(window)) return false;
  Sys().queue.push_back(Message{window, id, wparam, lparam});
  return true;
}

bool PostMessageFront(WindowHandle window, uint32_t id, uintptr_t wparam, intptr_t lparam) {
  if (window && !IsWindow(window)) return false;
  Sys().queue.push_front(Message{window, id, wparam, lparam});
  return true;
}

void PostQuitMessage(int exit_code) {
  Sys().queue.push_back(Message{nullptr, kMsgQuit, static_cast<uintptr_t>(exit_code), 0});
}

intptr_t SendMessage(WindowHandle window, uint32_t id, uintptr_t wparam, intptr_t lparam) {
  if (!IsWindow(window)) return 0;
  WindowProc proc = window->proc;
  return proc ? proc(window, id, wparam, lparam) : DefaultWindowProc(window, id, wparam, lparam);
}

bool PeekMessage(Message* out, const PeekFilter& filter, bool remove) {
  WindowSystem& s = Sys();
  if (s.event_source && !s.in_event_source) {
    s.in_event_source = true;
    s.event_source();
    s.in_event_source = false;
  }
  for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
    if (!Matches(*it, filter)) continue;
    if (out) *out = *it;
    if (remove) s.queue.erase(it);
    return true;
  }
  // Nothing queued: a pending paint, if the filter lets it through.
  if (filter.kind == PeekFilter::kThreadOnly) return false;
  for (const auto& w : s.windows) {
    if (!w->paint_pending || !w->params.visible) continue;
    Message paint{w.get(), kMsgPaint, 0, 0};
    if (!Matches(paint, filter)) continue;
    if (out) *out = paint;
    return true;
  }
  return false;
}

bool TranslateMessage(const Message& m) {
  if (m.id == kMsgKeyDown) {
    switch (m.wparam) {
      case kVkBack:
      case kVkTab:
      case kVkReturn:
      case kVkEscape:
        return PostMessageFront(m.window, kMsgChar, m.wparam, m.lparam);
      default:
        return false;
    }
  }
  if (m.id == kMsgSysKeyDown && m.wparam == kVkReturn) {
    return PostMessageFront(m.window, kMsgSysChar, 13, m.lparam);
  }
  return false;
}

intptr_t DispatchMessage(const Message& m) {
  if (!m.window) return 0;
  return SendMessage(m.window, m.id, m.wparam, m.lparam);
}

intptr_t DefaultWindowProc(WindowHandle window, uint32_t id, uintptr_t wparam, intptr_t) {
  switch (id) {
    case kMsgClose:
      DestroyWindow(window);
      return 0;
    case kMsgSysCommand:
      if ((wparam & 0xFFF0) == kScClose) SendMessage(window, kMsgClose, 0, 0);
      return 0;
    case kMsgPaint:
      BeginPaint(window);
      EndPaint(window);
      return 0;
    default:
      return 0;
  }
}

size_t QueuedMessageCount() { return Sys().queue.size(); }

void InvalidateWindow(WindowHandle window) {
  if (IsWindow(window)) window->paint_pending = true;
}

void BeginPaint(WindowHandle window) {
  if (IsWindow(window)) window->paint_pending = false;
}

void EndPaint(WindowHandle) {}

bool IsPaintPending(WindowHandle window) { return IsWindow(window) && window->paint_pending; }

WindowProc GetWindowProc(WindowHandle window) {
  return IsWindow(window) ? window->proc : nullptr;
}

void SetWindowProc(WindowHandle window, WindowProc proc) {
  if (IsWindow(window)) window->proc = proc;
}

const WindowParams* GetWindowParams(WindowHandle window) {
  return IsWindow(window) ? &window->params : nullptr;
}

void SetWindowTitle(WindowHandle window, const std::string& title) {
  if (!IsWindow(window)) return;
  window->params.title = title;
  Notify(Sys().backend.title_changed, window);
}

void SetWindowStyle(WindowHandle window, uint32_t style, uint32_t ex_style) {
  if (!IsWindow(window)) return;
  window->params.style = style;
  window->params.ex_style = ex_style;
  Notify(Sys().backend.style_changed, window);
}

void SetWindowGeometry(WindowHandle window, const WindowGeometry& client) {
  if (!IsWindow(window)) return;
  window->params.client = client;
  Notify(Sys().backend.geometry_changed, window);
}

void SetWindowFullScreen(WindowHandle window, bool full_screen) {
  if (!IsWindow(window)) return;
  window->params.full_screen = full_screen;
  Notify(Sys().backend.style_changed, window);
}

void NoteWindowGeometry(WindowHandle window, const WindowGeometry& client) {
  if (IsWindow(window)) window->params.client = client;
}

void ShowWindow(WindowHandle window, bool visible) {
  if (!IsWindow(window)) return;
  if (visible && !window->params.visible) window->paint_pending = true;
  window->params.visible = visible;
  Notify(Sys().backend.visibility_changed, window);
}

void RaiseWindow(WindowHandle window, bool topmost) {
  if (IsWindow(window) && Sys().backend.raised) Sys().backend.raised(window, topmost);
}

void* GetNativeWindow(WindowHandle window) { return IsWindow(window) ? window->native : nullptr; }

void SetNativeWindow(WindowHandle window, void* native) {
  if (IsWindow(window)) window->native = native;
}

void SetWindowBackend(WindowBackend backend) { Sys().backend = std::move(backend); }

void SetEventSource(std::function<void()> source) { Sys().event_source = std::move(source); }

void ResetWindowSystemForTesting() {
  WindowSystem& s = Sys();
  s.windows.clear();
  s.classes.clear();
  s.queue.clear();
  s.backend = WindowBackend{};
  s.event_source = nullptr;
  s.in_event_source = false;
}

}  // namespace platform::window
