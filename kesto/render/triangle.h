// Textured triangles in 14.18 fixed point: the edge and gradient set-up and
// the rasteriser the four-corner and rotated draws fill through.
#pragma once

#include <cstdint>

struct GraphicRecord;

namespace render {

constexpr int kFixShift = 18;
constexpr int32_t kFixOne = 1 << kFixShift;
// Positions and texel positions must fit 14 signed integer bits.
constexpr int kFixMin = -(1 << 13);
constexpr int kFixMax = (1 << 13) - 1;

struct TriangleVertex {
  int32_t x, y, u, v;
};

// Heights and steps are kept in 64 bits: corners far apart in the 14-bit
// range differ by more than 32 bits hold.
struct EdgeSegment {
  int32_t x = 0, y = 0;
  int64_t dy = 0, step = 0;
};

struct TriangleEdges {
  int start[2] = {0, 0};  // per side (0 left, 1 right): 0 two segments, 1 one edge
  EdgeSegment seg[2][2];  // [side][0 upper, 1 lower]
  int32_t du_dx = 0, du_dy = 0, dv_dx = 0, dv_dy = 0;
  int32_t x_ref = 0, y_ref = 0;  // whole pixels
  int32_t u_ref = 0, v_ref = 0;  // 14.18
};

// 0, or -1 for a degenerate triangle (or one outside the 14-bit range).
int SetupTriangleEdges(const TriangleVertex* v, TriangleEdges* out);

// Fills one triangle into memory the caller holds locked: the pointers are at
// the draw-coordinate origin (texels at the part's pixel (0, 0)).
int RasterizeTexturedTriangle(const TriangleVertex* v, const GraphicRecord* graphic,
                              int transparent, uint8_t* write, int write_pitch,
                              const uint8_t* texels, int texel_pitch, const uint8_t* read,
                              int read_pitch);

}  // namespace render
