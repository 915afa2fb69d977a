// Small helpers of the renderer tests: one-pixel runs of the loops, channel
// packing of the layouts under test, a deterministic random source.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "render/pixel_ops.h"

namespace render_test {

// A layout described only by its masks, for the scalar reference models.
struct Channels {
  uint32_t mask[3];
  int shift[3];
  int width[3];
  uint32_t max(int c) const { return (1u << width[c]) - 1; }
  uint32_t get(uint32_t px, int c) const { return (px & mask[c]) >> shift[c]; }
  uint32_t pack(const uint32_t v[3]) const {
    return (v[0] << shift[0]) | (v[1] << shift[1]) | (v[2] << shift[2]);
  }
};

inline Channels ChannelsOf(const render::Layout& l) {
  return Channels{{l.red_mask, l.green_mask, l.blue_mask},
                  {l.red_shift, l.green_shift, l.blue_shift},
                  {l.red_width, l.green_width, l.blue_width}};
}

// An "other" 16-bit layout: red 4 bits at 12, green 6 at 6, blue 6 at 0.
inline render::Layout LayoutOther() { return render::Layout16FromMasks(0xF000, 0x0FC0, 0x003F); }

struct Rng {
  uint64_t state;
  explicit Rng(uint64_t seed) : state(seed) {}
  uint32_t Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33);
  }
  uint32_t Below(uint32_t n) { return Next() % n; }
};

}  // namespace render_test
