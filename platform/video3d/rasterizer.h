// The device stand-in's triangle rasteriser: pre-transformed textured
// triangles with pixel centres at integer coordinates and the top-left fill
// rule, point sampling, texture x diffuse, a colour key under the RGB masks,
// and blending into 565, 555 and 32-bit targets.
#pragma once

#include <cstdint>

#include "platform/video/surface.h"
#include "platform/video3d/d3d_types.h"

namespace platform::video3d {

struct RasterState {
  video::Surface* target = nullptr;
  video::Rect clip;  // viewport within the target
  const video::Surface* texture = nullptr;
  bool color_key = false;
  bool blend = false;
  uint32_t src_blend = kBlendOne;
  uint32_t dest_blend = kBlendZero;
  uint32_t color_op = kTopModulate;
  uint32_t color_arg1 = kTaTexture;
  uint32_t color_arg2 = kTaDiffuse;
  uint32_t alpha_op = kTopSelectArg2;
  uint32_t alpha_arg1 = kTaTexture;
  uint32_t alpha_arg2 = kTaDiffuse;
  uint32_t address = kAddressClamp;
  uint32_t cull = kCullNone;
};

// Can these surfaces be drawn into / sampled?
bool IsRenderableFormat(const video::PixelFormat& f);
bool IsSampleableFormat(const video::PixelFormat& f);

// Draws one triangle. `flat_color` is the diffuse colour of the whole
// triangle (flat shading: its first vertex's). Returns the pixels written.
uint64_t DrawTriangle(const RasterState& state, const TLVertex& a, const TLVertex& b,
                      const TLVertex& c, uint32_t flat_color);

// Draws two triangles, `second` sharing the corners first[1] and first[2]
// (a quad as the library queues it), each flat in its colour: the same as
// two DrawTriangle calls, faster where they meet.
uint64_t DrawTrianglePair(const RasterState& state, const TLVertex* const first[3],
                          const TLVertex* const second[3], uint32_t first_color,
                          uint32_t second_color);

// Tests switch the vector span loops off to check the plain ones.
void AllowRasterSimdForTesting(bool allowed);

}  // namespace platform::video3d
