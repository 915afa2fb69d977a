#include "platform/window/region.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace platform::window {

struct Region {
  int box[4];
};

namespace {

struct RegionSystem {
  std::vector<std::unique_ptr<Region>> regions;
  std::map<WindowHandle, RegionHandle> windows;
};

RegionSystem& Sys() {
  static auto* system = new RegionSystem();
  return *system;
}

bool Live(RegionHandle region) {
  return std::any_of(Sys().regions.begin(), Sys().regions.end(),
                     [&](const auto& r) { return r.get() == region; });
}

}  // namespace

RegionHandle CreateRectRegion(int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return nullptr;
  Sys().regions.push_back(std::make_unique<Region>(Region{{left, top, right, bottom}}));
  return Sys().regions.back().get();
}

bool DeleteRegion(RegionHandle region) {
  if (!Live(region)) return false;
  for (auto it = Sys().windows.begin(); it != Sys().windows.end();) {
    it = it->second == region ? Sys().windows.erase(it) : std::next(it);
  }
  auto& regions = Sys().regions;
  regions.erase(std::remove_if(regions.begin(), regions.end(),
                               [&](const auto& r) { return r.get() == region; }),
                regions.end());
  return true;
}

bool GetRegionBox(RegionHandle region, int box[4]) {
  if (!Live(region)) return false;
  std::copy(region->box, region->box + 4, box);
  return true;
}

bool SetWindowRegion(WindowHandle window, RegionHandle region, bool redraw) {
  if (!IsWindow(window) || (region && !Live(region))) return false;
  if (region) {
    Sys().windows[window] = region;
  } else {
    Sys().windows.erase(window);
  }
  if (redraw) InvalidateWindow(window);
  return true;
}

RegionHandle GetWindowRegion(WindowHandle window) {
  auto it = Sys().windows.find(window);
  return it != Sys().windows.end() && IsWindow(window) ? it->second : nullptr;
}

int LiveRegionCount() { return static_cast<int>(Sys().regions.size()); }

void ResetRegionsForTesting() {
  Sys().windows.clear();
  Sys().regions.clear();
}

}  // namespace platform::window
