#include "platform/window/system_keys.h"

#include <SDL.h>

#include <cstring>

namespace platform::window {

struct HookLibrary {
  int loads = 0;
};

namespace {

HookLibrary g_library;
WindowHandle g_grab = nullptr;

void Grab(WindowHandle window, bool on) {
  if (auto* native = static_cast<SDL_Window*>(GetNativeWindow(window))) {
    SDL_SetWindowKeyboardGrab(native, on ? SDL_TRUE : SDL_FALSE);
  }
  if (on) {
    g_grab = window;
  } else if (g_grab == window) {
    g_grab = nullptr;
  }
}

int SetMsgHook(WindowHandle window, int install) {
  if (!IsWindow(window)) return 0;
  Grab(window, install != 0);
  return 1;
}

}  // namespace

HookLibrary* LoadHookLibrary(const char* name) {
  if (!name || std::strcmp(name, kKeyHookLibraryName) != 0) return nullptr;
  ++g_library.loads;
  return &g_library;
}

void* FindHookEntry(HookLibrary* library, const char* name) {
  if (library != &g_library || g_library.loads == 0 || !name ||
      std::strcmp(name, kKeyHookEntryName) != 0) {
    return nullptr;
  }
  return reinterpret_cast<void*>(&SetMsgHook);
}

void FreeHookLibrary(HookLibrary* library) {
  if (library == &g_library && g_library.loads > 0) --g_library.loads;
}

void SetScreenSaverRunning(WindowHandle window, bool running) { Grab(window, running); }

WindowHandle KeyGrabWindow() { return IsWindow(g_grab) ? g_grab : nullptr; }
int LoadedHookLibraryCount() { return g_library.loads; }

void ResetSystemKeysForTesting() {
  g_library.loads = 0;
  g_grab = nullptr;
}

}  // namespace platform::window
