// The unscaled pixel loops of the plain draw: one loop per combination of
// depth, layout, mode, brightness, colour key and alpha plane, chosen once
// per call.
#pragma once

#include <cstdint>

#include "render/pixel_ops.h"

namespace render {

// Rows of equal width: where to write, where the old pixels are read, the
// source pixels and their alpha bytes.
struct RectRows {
  uint8_t* dst = nullptr;
  int dst_pitch = 0;
  const uint8_t* read = nullptr;
  int read_pitch = 0;
  const uint8_t* src = nullptr;
  int src_pitch = 0;
  const uint8_t* alpha = nullptr;
  int alpha_pitch = 0;
  int width = 0;
  int height = 0;
};

struct PlainChoice {
  int mode = 0;
  int param = 0;
  int brightness = -1;
  bool alpha = false;    // the source has an alpha plane
  bool keyed = false;    // transparency flag non-zero
  uint32_t key = 0;
  bool packed = false;   // the packed-register forms of modes 1 and 2
};

enum class Pick { kDrawn, kNothing, kFastPath };

// Runs the loop for `bits` (16 or 32) and `layout`; kFastPath asks the
// caller for a plain copy instead.
Pick DrawPlainPixels(int bits, const Layout& layout, const RectRows& rows, const PlainChoice& c);

}  // namespace render
