// The library's Mersenne Twister (MT19937), seeded at window creation with the
// multimedia clock.
#pragma once

#include <cstdint>

struct TwisterState {
  uint32_t state[624];
  uint32_t output[624];   // tempered words of the last twist
  int32_t read_index;
  int32_t seeded;
  int32_t mmx_variant;    // the processor has MMX (same values either way)
};

TwisterState& GetTwisterState();

// Fills the state with the 1998 reference seeding (upper 16 bits of s, then
// s = 69069 s + 1, lower 16 bits from the new s's upper half, s advances
// again), tests the processor for MMX, marks the twister seeded and twists.
void SeedTwister(uint32_t seed);
// Regenerates the 624 state words and tempers them into the output words.
void TwistTwister();
