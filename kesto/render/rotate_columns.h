// The run of columns of one row of the rotated draw whose positions map
// into the graphic, found without testing every pixel.
#pragma once

#include <algorithm>
#include <cstdint>

#include "render/triangle.h"

namespace render {

// Whether a position maps to a texel in [0, n): toward zero, so (-1, 0) is
// texel 0.
inline bool Inside(int64_t pos, int64_t hi) { return pos > -kFixOne && pos < hi; }

// The first column x of [0, width] from which start + x * step lies above
// `bound` (step > 0) or below it (step < 0), for `quotient` near
// (bound - start) / step: the double is at most a hair off, one step each way
// makes it exact, and far-off quotients are clamped (the run is cut to the
// box anyway).
inline int CrossingColumn(int64_t start, int64_t step, int64_t bound, double quotient, int width) {
  const double q = std::clamp(quotient, -2.0, static_cast<double>(width) + 2.0);
  int x = static_cast<int>(q + 4.0) - 3;  // floor(q) + 1, q + 4 being positive
  auto past = [&](int c) {
    const int64_t pos = start + c * step;
    return step > 0 ? pos > bound : pos < bound;
  };
  if (!past(x)) {
    ++x;
  } else if (past(x - 1)) {
    --x;
  }
  return std::clamp(x, 0, width);
}

// Narrows [*first, *end) to the columns x where start + x * step lies in
// (-1, hi); `inverse` is 1 / step.
inline void NarrowColumns(int64_t start, int64_t step, double inverse, int64_t hi, int width,
                          int* first, int* end) {
  if (step == 0) {
    if (!Inside(start, hi)) *end = *first;
    return;
  }
  const int64_t lo = -kFixOne;
  // Rising positions enter above lo and leave at hi; falling ones enter
  // below hi and leave at lo.
  const int64_t enter = step > 0 ? lo : hi, leave = step > 0 ? hi - 1 : lo + 1;
  const int in =
      CrossingColumn(start, step, enter, static_cast<double>(enter - start) * inverse, width);
  const int out =
      CrossingColumn(start, step, leave, static_cast<double>(leave - start) * inverse, width);
  *first = std::max(*first, in);
  *end = std::min(*end, out);
}

}  // namespace render
