// The rotated draw's row runs: the columns it finds without a per-pixel test
// against the columns a per-pixel test keeps, over random rows.
#include "render/rotate_columns.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "render_test_util.h"

namespace {

using namespace render;
using render_test::Rng;

// The per-pixel test: the texel toward zero, as an unsigned index below n.
bool InsideModel(int64_t pos, int64_t n) {
  return static_cast<uint64_t>(pos / kFixOne) < static_cast<uint64_t>(n);
}

// Graphics of w x h texels.
void Check(int64_t u0, int64_t du, int64_t w, int64_t v0, int64_t dv, int64_t h, int width) {
  const int64_t u_hi = w * kFixOne, v_hi = h * kFixOne;
  int first = 0, end = width;
  NarrowColumns(u0, du, du != 0 ? 1.0 / static_cast<double>(du) : 0.0, u_hi, width, &first, &end);
  NarrowColumns(v0, dv, dv != 0 ? 1.0 / static_cast<double>(dv) : 0.0, v_hi, width, &first, &end);
  if (first > end) end = first;
  for (int x = 0; x < width; ++x) {
    const bool want = InsideModel(u0 + x * du, w) && InsideModel(v0 + x * dv, h);
    const bool got = x >= first && x < end;
    ASSERT_EQ(got, want) << "x " << x << " u0 " << u0 << " du " << du << " w " << w << " v0 " << v0
                         << " dv " << dv << " h " << h << " width " << width;
  }
}

TEST(RotateColumnsTest, RunsMatchThePerPixelTest) {
  Rng rng(2026);
  auto signed_below = [&](int64_t n) {
    return static_cast<int64_t>(rng.Next() % static_cast<uint64_t>(2 * n + 1)) - n;
  };
  for (int i = 0; i < 20000; ++i) {
    const int width = 1 + static_cast<int>(rng.Below(i % 10 == 0 ? 700 : 80));
    const int64_t w = 1 + rng.Below(i % 7 == 0 ? 8192 : 40), h = 1 + rng.Below(40);
    // Steps of every size: whole texels and fractions, near-zero, none, and
    // the extremes a 32-bit step holds.
    auto step = [&]() -> int64_t {
      switch (rng.Below(6)) {
        case 0:
          return 0;
        case 1:
          return signed_below(4);
        case 2:
          return signed_below(kFixOne / 64);
        case 3:
          return signed_below(INT32_MAX);
        default:
          return signed_below(3 * kFixOne);
      }
    };
    const int64_t du = step(), dv = step();
    // Starts around the graphic, just outside it, and exactly on its edges.
    auto start = [&](int64_t hi) -> int64_t {
      switch (rng.Below(4)) {
        case 0:
          return -kFixOne + signed_below(2);
        case 1:
          return hi + signed_below(2);
        case 2:
          return signed_below(int64_t{1} << 33);
        default:
          return signed_below(hi + 4 * kFixOne);
      }
    };
    Check(start(w * kFixOne), du, w, start(h * kFixOne), dv, h, width);
  }
}

TEST(RotateColumnsTest, EdgesOfTheOpenInterval) {
  const int64_t hi = 4 * kFixOne;
  // Position -1 exactly is outside, just above it inside; 4 exactly outside.
  Check(-kFixOne, 1, 4, 0, 0, 4, 3);
  Check(-kFixOne - 1, 1, 4, 0, 0, 4, 3);
  Check(hi - 2, 1, 4, 0, 0, 4, 4);
  Check(hi, -1, 4, 0, 0, 4, 4);
  Check(hi + 1, -kFixOne, 4, 0, 0, 4, 8);
  // A run of exactly one column, and steps that jump over the graphic.
  Check(-kFixOne - 5, 6 * kFixOne, 1, 0, 0, 4, 8);
  Check(-kFixOne - kFixOne / 2, 3 * kFixOne, 1, 0, 0, 4, 8);
  // A standing position: all of the row or none of it.
  Check(0, 0, 4, 0, 0, 4, 5);
  Check(-kFixOne, 0, 4, 0, 0, 4, 5);
}

}  // namespace
