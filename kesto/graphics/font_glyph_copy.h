// Copying one glyph cell of a bitmap-cache font into a locked surface: the
// cell's values become the text colour, the edge colour or, for
// antialiased fonts, a colour with its coverage in the target's alpha
// buffer. One loop per target depth, font type and direction.
#pragma once

#include <cstdint>

#include "platform/video/video_types.h"

struct GlyphCopyTarget {
  uint8_t* pixels;  // the locked surface
  int pitch;
  int bits;  // 8, 16 or 32
  uint8_t* alpha;  // the alpha buffer, null when none
  int alpha_pitch;
  // 16-bit layout for blending edged antialiased text: 0 565, 1 555,
  // -1 another (such text is not drawn).
  int layout16;
};

struct GlyphCopySource {
  const uint8_t* bits;  // the cache bitmap, rows top down
  int pitch;
  int type;  // font type 0..3
};

struct GlyphCopyColors {
  uint32_t color;  // screen format
  uint32_t edge;
  int transparent;
};

// Copies the cell whose top-left is (cell_x, cell_y) to the box; `clipped`
// is the part of the box to write. Horizontal: cell pixel (sx, sy) goes to
// (box.left + sx, box.top + sy). Vertical: to (box.right - 1 - sy,
// box.top + sx).
void CopyGlyphCell(const GlyphCopyTarget& target, const GlyphCopySource& source,
                   const GlyphCopyColors& colors, int cell_x, int cell_y,
                   const platform::video::Rect& box, const platform::video::Rect& clipped,
                   bool vertical);
