// One-colour pixel rules of the filled box and the line, per layout and mode.
#pragma once

#include <cstdint>

#include "render/pixel_ops.h"

namespace render {

enum class SolidKind { kBox, kLine };

// What a blended box or line does to each pixel: `op` is null when the mode
// draws nothing; `opaque` asks for the plain colour instead.
struct SolidChoice {
  int mode = 0;
  int param = 0;
  uint32_t fill = 0;   // c': brightness applied, packed for the screen
  uint32_t color = 0;  // c: the colour argument as given
};

// Blends rows of one colour: `width` pixels per row, `height` rows.
// Returns false when the mode draws nothing.
bool BlendSolidRows(SolidKind kind, int bits, const Layout& layout, const SolidChoice& c,
                    uint8_t* dst, int dst_pitch, const uint8_t* read, int read_pitch, int width,
                    int height);

// Blends the pixels of a walk: pixel k at dst + k * step bytes plus the minor
// steps the walk takes (see the line).
struct LineWalk {
  int count = 0;     // pixels
  int major = 0;     // |major length|
  int minor = 0;     // |minor length|
  int dst_major = 0, dst_minor = 0;    // byte steps in the destination
  int read_major = 0, read_minor = 0;  // byte steps where the old pixels are read
};
bool BlendSolidLine(int bits, const Layout& layout, const SolidChoice& c, uint8_t* dst,
                    const uint8_t* read, const LineWalk& walk);

}  // namespace render
