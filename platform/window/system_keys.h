// Keeping the system's key combinations (switching programs, the system
// menu keys) inside the program's window while it is active. The program
// asks for it through a hook library: the one this layer provides, named
// kKeyHookLibraryName, whose "SetMSGHookDll" entry grabs the keyboard for
// the window (install 1) or lets it go (install 0). The screen-saver switch
// of older systems does the same for the window last hooked.
#pragma once

#include "platform/window/message_queue.h"

namespace platform::window {

constexpr const char* kKeyHookLibraryName = "KestoKeyHook";
constexpr const char* kKeyHookEntryName = "SetMSGHookDll";
using KeyHookEntry = int (*)(WindowHandle window, int install);

struct HookLibrary;
// Null for a library that cannot be found.
HookLibrary* LoadHookLibrary(const char* name);
// Null for an entry the library does not export.
void* FindHookEntry(HookLibrary* library, const char* name);
void FreeHookLibrary(HookLibrary* library);

// Tells the system a screen saver runs (which blocks the key combinations).
void SetScreenSaverRunning(WindowHandle window, bool running);

// The window whose keys are held now, or null (tests).
WindowHandle KeyGrabWindow();
int LoadedHookLibraryCount();
void ResetSystemKeysForTesting();

}  // namespace platform::window
