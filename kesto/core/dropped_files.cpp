#include "core/dropped_files.h"

#include "core/tracked_memory.h"
#include "core/window_state.h"
#include "platform/window/drop_files.h"

namespace pw = platform::window;

int StoreDroppedFiles(uintptr_t drop) {
  auto* d = reinterpret_cast<pw::DropHandle>(drop);
  WindowCoreState& s = CoreState();
  const uint32_t count = pw::DragQueryFileCount(d);
  for (uint32_t i = 0; i < count && s.dropped_file_count < kMaxDroppedFiles; ++i) {
    const int length = pw::DragQueryFile(d, i, nullptr, 0);
    if (length < 0) continue;
    auto* name =
        static_cast<char*>(AllocTracked(static_cast<uint32_t>(length) + 1, "KsWin", __LINE__));
    if (!name) continue;
    pw::DragQueryFile(d, i, name, length + 1);
    s.dropped_files[s.dropped_file_count++] = name;
  }
  pw::DragFinish(d);
  return 0;
}

int GetDroppedFileCount() { return CoreState().dropped_file_count; }

const char* GetDroppedFileName(int index) {
  const WindowCoreState& s = CoreState();
  return index >= 0 && index < s.dropped_file_count ? s.dropped_files[index] : nullptr;
}

int ClearDroppedFiles() {
  WindowCoreState& s = CoreState();
  for (int i = 0; i < s.dropped_file_count; ++i) {
    FreeTracked(s.dropped_files[i]);
    s.dropped_files[i] = nullptr;
  }
  s.dropped_file_count = 0;
  return 0;
}
