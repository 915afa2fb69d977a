#include "core/key_hook.h"

#include "core/startup_log.h"
#include "core/window_state.h"
#include "platform/window/system_keys.h"

namespace pw = platform::window;

namespace {

pw::KeyHookEntry Entry() {
  WindowCoreState& s = CoreState();
  if (!s.hook_library) s.hook_library = pw::LoadHookLibrary(pw::kKeyHookLibraryName);
  return reinterpret_cast<pw::KeyHookEntry>(
      pw::FindHookEntry(s.hook_library, pw::kKeyHookEntryName));
}

}  // namespace

int ApplySystemKeyBlock(int active) {
  WindowCoreState& s = CoreState();
  if (!s.kept.disable_system_keys || !s.main_window) return 0;
  if (s.kept.os_code < 260) {
    pw::SetScreenSaverRunning(s.main_window, active != 0);
    return 0;
  }
  if (active) {
    const pw::KeyHookEntry entry = Entry();
    if (!entry) {
      CoreLog("キーボードフックの設定に失敗しました\n");
      return -1;
    }
    entry(s.main_window, 1);
    s.key_hook_installed = 1;
  } else if (s.key_hook_installed) {
    if (const pw::KeyHookEntry entry = Entry()) entry(s.main_window, 0);
    s.key_hook_installed = 0;
  }
  return 0;
}

int EndSystemKeyBlock() {
  WindowCoreState& s = CoreState();
  if (s.key_hook_installed) {
    if (const pw::KeyHookEntry entry = Entry()) entry(s.main_window, 0);
    s.key_hook_installed = 0;
  }
  if (s.kept.disable_system_keys && s.kept.os_code < 260 && s.main_window) {
    pw::SetScreenSaverRunning(s.main_window, false);
  }
  if (s.hook_library) pw::FreeHookLibrary(s.hook_library);
  s.hook_library = nullptr;
  return 0;
}
