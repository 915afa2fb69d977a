// What the graphics layer needs from the rest of the library: the window it
// draws into, the message pump, the log and the fatal exit. Start-up fills
// this in; tests replace it. Every member has a headless default.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/video/video_types.h"

struct GraphicsHost {
  platform::video::WindowId window = nullptr;
  bool windowed = true;
  bool has_menu = false;
  bool has_region = false;
  double window_scale = 1.0;
  // The client area in desktop coordinates; default: the screen size at (0, 0).
  std::function<platform::video::Rect()> client_rect;
  // The desktop size; default: the display's.
  std::function<void(int* width, int* height)> desktop_size;
  // One pass of the message pump: non-zero to stop waiting, negative to quit.
  std::function<int()> pump;
  std::function<void()> wait_while_inactive;
  // Is the main window active? Default: yes (headless).
  std::function<bool()> window_active;
  std::function<void(bool full_screen)> apply_window_style;
  std::function<void()> stop_input;
  // Is the key that hides the driver report held at start-up?
  std::function<bool()> report_key_held;
  // The system probe's processor flag; DirectDraw start-up copies it to pick
  // the packed-register pixel loops.
  int cpu_probe_flag = 0;
  // A finished cp932 log line (indent included).
  std::function<void(const std::string&)> log;
  // Ends the process with a message; must not return.
  std::function<void(const char* message)> fatal;
};

GraphicsHost& Host();
// Restores the defaults (tests).
void ResetGraphicsHost();

// Log lines of the graphics layer: formatted into 1024 bytes (cut at 1023),
// indented by the current depth.
void GfxLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
void GfxLogIndent(int delta);
// Lines logged since the last reset (kept for tests and bug reports).
const std::vector<std::string>& GfxLogLines();
void ClearGfxLogLines();
[[noreturn]] void GfxFatal(const char* message);

// Allocation of the layer's records: zeroed, tagged with the allocation
// site's source name.
void* GfxAlloc(size_t size, const char* source, int line);
void GfxFree(void* p);

// Window helpers built on the host.
platform::video::Rect ClientRectInDesktop();
void DesktopSize(int* width, int* height);
void WaitWhileWindowInactive();
int PumpOnce();
