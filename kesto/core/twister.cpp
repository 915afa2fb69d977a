#include "core/twister.h"

#include "platform/cpu.h"

namespace {
TwisterState g_twister{};

constexpr int kN = 624;
constexpr int kM = 397;
constexpr uint32_t kMatrix = 0x9908B0DFu;
constexpr uint32_t kUpper = 0x80000000u;
constexpr uint32_t kLower = 0x7FFFFFFFu;

uint32_t Temper(uint32_t y) {
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}
}  // namespace

TwisterState& GetTwisterState() { return g_twister; }

void SeedTwister(uint32_t seed) {
  uint32_t s = seed;
  for (int i = 0; i < kN; ++i) {
    uint32_t word = s & 0xFFFF0000u;
    s = 69069u * s + 1u;
    word |= s >> 16;
    s = 69069u * s + 1u;
    g_twister.state[i] = word;
  }
  g_twister.mmx_variant = platform::CpuHasMmx() ? 1 : 0;
  g_twister.seeded = 1;
  TwistTwister();
}

void TwistTwister() {
  uint32_t* mt = g_twister.state;
  for (int i = 0; i < kN; ++i) {
    const uint32_t y = (mt[i] & kUpper) | (mt[(i + 1) % kN] & kLower);
    mt[i] = mt[(i + kM) % kN] ^ (y >> 1) ^ ((y & 1u) ? kMatrix : 0u);
  }
  for (int i = 0; i < kN; ++i) g_twister.output[i] = Temper(mt[i]);
  g_twister.read_index = 0;
}
