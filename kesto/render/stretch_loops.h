// The stretched draw's pixel loops: every destination pixel takes the source
// pixel its column and row map to.
#pragma once

#include <cstdint>
#include <vector>

#include "render/pixel_ops.h"

namespace render {

struct StretchRows {
  uint8_t* dst = nullptr;
  int dst_pitch = 0;
  const uint8_t* read = nullptr;
  int read_pitch = 0;
  const uint8_t* src = nullptr;    // the part's pixel (0, 0)
  int src_pitch = 0;
  const uint8_t* alpha = nullptr;  // the part's alpha byte (0, 0)
  int alpha_pitch = 0;
  const int* cols = nullptr;       // source column of each destination column
  int width = 0;
  const int* rows = nullptr;       // source row of each destination row
  int height = 0;
};

struct StretchChoice {
  int mode = 0;
  int param = 0;
  int brightness = -1;
  bool alpha = false;
  int transparent = 0;  // the draw's flag: plain copies test bit 0, blends non-zero
  uint32_t key = 0;     // compared with 16-bit pixels through its low 16 bits
};

// Draws for 8, 16 or 32 bits; other depths draw nothing.
void DrawStretchPixels(int bits, const Layout& layout, const StretchRows& rows,
                       const StretchChoice& c);

// The source index (from `first`, stepping by `dir`) of each of `count`
// destination pixels, by the 16.16 counters; held inside [0, limit).
std::vector<int> StretchMap(int first, int dir, int start, uint32_t step, int count, int limit);

}  // namespace render
