#include "platform/window/drop_files.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace platform::window {

struct DropList {
  WindowHandle window = nullptr;
  std::vector<std::string> names;
  bool posted = false;
};

namespace {

// Every drop not finished yet; one whose message is lost with its window is
// still owned here.
std::vector<std::unique_ptr<DropList>>& Drops() {
  static auto* drops = new std::vector<std::unique_ptr<DropList>>();
  return *drops;
}

DropList* Find(DropHandle drop) {
  for (const auto& d : Drops()) {
    if (d.get() == drop) return d.get();
  }
  return nullptr;
}

// The drop being gathered for a window, made when none is open.
DropList* Open(WindowHandle window) {
  for (const auto& d : Drops()) {
    if (d->window == window && !d->posted) return d.get();
  }
  Drops().push_back(std::make_unique<DropList>());
  Drops().back()->window = window;
  return Drops().back().get();
}

}  // namespace

void BeginDrop(WindowHandle window) { Open(window); }

void AddDroppedFile(WindowHandle window, const std::string& cp932_name) {
  Open(window)->names.push_back(cp932_name);
}

void CompleteDrop(WindowHandle window) {
  DropList* d = Open(window);
  if (d->names.empty() || !PostMessage(window, kMsgDropFiles, reinterpret_cast<uintptr_t>(d), 0)) {
    DragFinish(d);
    return;
  }
  d->posted = true;
}

uint32_t DragQueryFileCount(DropHandle drop) {
  const DropList* d = Find(drop);
  return d ? static_cast<uint32_t>(d->names.size()) : 0;
}

int DragQueryFile(DropHandle drop, uint32_t index, char* dest, int size) {
  const DropList* d = Find(drop);
  if (!d || index >= d->names.size()) return -1;
  const std::string& name = d->names[index];
  if (!dest) return static_cast<int>(name.size());
  if (size <= 0) return -1;
  const size_t n = std::min(name.size(), static_cast<size_t>(size - 1));
  std::memcpy(dest, name.data(), n);
  dest[n] = '\0';
  return static_cast<int>(n);
}

void DragFinish(DropHandle drop) {
  auto& drops = Drops();
  drops.erase(
      std::remove_if(drops.begin(), drops.end(), [&](const auto& d) { return d.get() == drop; }),
      drops.end());
}

int OpenDropCount() { return static_cast<int>(Drops().size()); }

}  // namespace platform::window
