// One draw through the rasteriser and through the reference model, checked
// to give the same pixel count and the same rows.
#pragma once

#include <cstdint>

#include "platform/video/surface.h"
#include "platform/video3d/rasterizer.h"

namespace platform::video3d {

// Copies `fast` into `model`, then draws triangle `first` (and, when
// `second` is not null, the quad's second triangle in its own colour) with
// the rasteriser into `fast` and with the model into `model`.
void ExpectSameAsModel(RasterState st, const TLVertex* const first[3],
                       const TLVertex* const second[3], uint32_t first_color, uint32_t second_color,
                       video::Surface* fast, video::Surface* model, const char* what);

}  // namespace platform::video3d
