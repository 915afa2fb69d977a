// Window regions: the part of a window that is shown. A region given to a
// window is recorded with it; SDL cannot shape an ordinary window, so the
// whole client area still shows.
#pragma once

#include "platform/window/message_queue.h"

namespace platform::window {

struct Region;
using RegionHandle = Region*;

// Null for an empty rectangle.
RegionHandle CreateRectRegion(int left, int top, int right, int bottom);
bool DeleteRegion(RegionHandle region);
// Left, top, right, bottom; false for a region that does not exist.
bool GetRegionBox(RegionHandle region, int box[4]);
// Null removes it.
bool SetWindowRegion(WindowHandle window, RegionHandle region, bool redraw);
RegionHandle GetWindowRegion(WindowHandle window);

int LiveRegionCount();  // tests
void ResetRegionsForTesting();

}  // namespace platform::window
