// A small deterministic generator for procedural art and sound, so the
// output is the same bytes on every run.
#pragma once

#include <cstdint>

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
  int Below(int n) { return n > 0 ? static_cast<int>(Next() % static_cast<uint64_t>(n)) : 0; }

 private:
  uint64_t state_;
};

// A stable seed from a name, so each sheet's art does not depend on the
// order sheets are painted in.
inline uint64_t SeedOf(const char* text) {
  uint64_t h = 1469598103934665603ull;
  for (; *text; ++text) h = (h ^ static_cast<unsigned char>(*text)) * 1099511628211ull;
  return h;
}
