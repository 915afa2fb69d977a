// The window table and the message queue of the program's one UI thread:
// window records with their procedures, posted and sent messages, peeking
// with filters, dispatch, the default procedure, and paint messages that
// are generated only when nothing else waits. Plain C++ without SDL; the
// SDL adapter feeds it through the event source and mirrors windows through
// the backend.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/window/messages.h"

namespace platform::window {

struct Window;
using WindowHandle = Window*;
using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wparam,
                                intptr_t lparam);

struct Message {
  WindowHandle window = nullptr;  // null: a message of the thread (quit)
  uint32_t id = 0;
  uintptr_t wparam = 0;
  intptr_t lparam = 0;
};

// Client area position and size in desktop coordinates.
struct WindowGeometry {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct WindowParams {
  std::string title;
  WindowGeometry client;
  uint32_t style = 0;
  uint32_t ex_style = 0;
  bool visible = false;
  // A desktop-sized borderless window showing the screen scaled.
  bool full_screen = false;
  // A window that only receives messages: nothing is shown for it.
  bool message_only = false;
};

// Which messages a peek may take.
struct PeekFilter {
  enum Kind { kAny, kThreadOnly, kWindowOnly } kind = kAny;
  WindowHandle window = nullptr;  // for kWindowOnly
  uint32_t min_id = 0;            // 0 and 0: every message
  uint32_t max_id = 0;
};

bool RegisterWindowClass(const char* name, WindowProc proc);
// Fails while a window of the class exists or when the class is unknown.
bool UnregisterWindowClass(const char* name);
bool IsClassRegistered(const char* name);

// Creates a window and sends it the create message; null when the class is
// unknown or the procedure refuses creation (-1).
WindowHandle CreateWindow(const char* class_name, const WindowParams& params);
// Sends the destroy message, drops the window's queued messages and frees
// the record. False for a window that does not exist.
bool DestroyWindow(WindowHandle window);
bool IsWindow(WindowHandle window);
int WindowCount();

bool PostMessage(WindowHandle window, uint32_t id, uintptr_t wparam, intptr_t lparam);
// Posts at the front of the queue (what translation does with characters).
bool PostMessageFront(WindowHandle window, uint32_t id, uintptr_t wparam, intptr_t lparam);
void PostQuitMessage(int exit_code);
// Calls the window procedure at once; 0 for a window that does not exist.
intptr_t SendMessage(WindowHandle window, uint32_t id, uintptr_t wparam, intptr_t lparam);

// Takes (or with remove false only looks at) the oldest message that passes
// the filter. A visible window with a pending paint yields a paint message
// only when no queued message passes; the paint stays pending until the
// window procedure begins painting.
bool PeekMessage(Message* out, const PeekFilter& filter, bool remove);
// Key-down messages of Backspace, Tab, Enter and Escape post the matching
// character; Alt+Enter posts the system character 13.
bool TranslateMessage(const Message& message);
intptr_t DispatchMessage(const Message& message);
intptr_t DefaultWindowProc(WindowHandle window, uint32_t id, uintptr_t wparam, intptr_t lparam);
size_t QueuedMessageCount();

void InvalidateWindow(WindowHandle window);
// Clears the window's pending paint.
void BeginPaint(WindowHandle window);
void EndPaint(WindowHandle window);
bool IsPaintPending(WindowHandle window);

// Window properties. Changes go through to the backend.
WindowProc GetWindowProc(WindowHandle window);
void SetWindowProc(WindowHandle window, WindowProc proc);
const WindowParams* GetWindowParams(WindowHandle window);
void SetWindowTitle(WindowHandle window, const std::string& title);
void SetWindowStyle(WindowHandle window, uint32_t style, uint32_t ex_style);
void SetWindowGeometry(WindowHandle window, const WindowGeometry& client);
void SetWindowFullScreen(WindowHandle window, bool full_screen);
// Records where the system moved or sized the window, without telling the
// backend again.
void NoteWindowGeometry(WindowHandle window, const WindowGeometry& client);
void ShowWindow(WindowHandle window, bool visible);
void RaiseWindow(WindowHandle window, bool topmost);
// The backend's object behind the window (an SDL window), or null.
void* GetNativeWindow(WindowHandle window);
void SetNativeWindow(WindowHandle window, void* native);

// The real windows behind the records. Every member may be empty.
struct WindowBackend {
  std::function<void(WindowHandle)> created;
  std::function<void(WindowHandle)> destroyed;
  std::function<void(WindowHandle)> title_changed;
  std::function<void(WindowHandle)> style_changed;
  std::function<void(WindowHandle)> geometry_changed;
  std::function<void(WindowHandle)> visibility_changed;
  std::function<void(WindowHandle, bool topmost)> raised;
};
void SetWindowBackend(WindowBackend backend);

// Runs at the start of every peek: turns waiting system events into queued
// messages and input state. It must never call library code.
void SetEventSource(std::function<void()> source);

// Forgets every window, class and message (tests).
void ResetWindowSystemForTesting();

}  // namespace platform::window
