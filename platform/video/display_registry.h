// Bookkeeping between surfaces and the display: live surfaces (for the lost
// switch) and the video memory they take.
#pragma once

#include <cstdint>

namespace platform::video {
class Surface;
void RegisterSurface(Surface* s, uint32_t video_bytes);
void UnregisterSurface(Surface* s, uint32_t video_bytes);
}  // namespace platform::video
