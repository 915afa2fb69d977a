// The plain triangle rasteriser the device's fast paths are checked against:
// the same fill rule, texel addressing, stage combination and blending,
// written one pixel at a time.
#pragma once

#include <cstdint>

#include "platform/video3d/rasterizer.h"

namespace platform::video3d::reference {

uint64_t ReferenceDrawTriangle(const RasterState& state, const TLVertex& a, const TLVertex& b,
                               const TLVertex& c, uint32_t flat_color);

}  // namespace platform::video3d::reference
