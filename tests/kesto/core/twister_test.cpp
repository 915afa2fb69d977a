#include "core/twister.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

// The seeding as the reference of 1998 describes it, written out here so the
// twist and the tempering can be checked against the standard library.
void ReferenceSeeding(uint32_t s, uint32_t* words) {
  for (int i = 0; i < 624; ++i) {
    words[i] = s & 0xFFFF0000u;
    s = 69069u * s + 1u;
    words[i] |= s >> 16;
    s = 69069u * s + 1u;
  }
}

TEST(TwisterTest, MatchesStandardMt19937FromTheSameState) {
  for (uint32_t seed : {0u, 1u, 4357u, 0xDEADBEEFu, 0xFFFFFFFFu}) {
    SCOPED_TRACE(seed);
    uint32_t seeded[624];
    ReferenceSeeding(seed, seeded);
    // The first word: upper half of the seed, then the upper half of 69069 s + 1.
    EXPECT_EQ(seeded[0], (seed & 0xFFFF0000u) | ((69069u * seed + 1u) >> 16));

    std::stringstream state;
    for (uint32_t w : seeded) state << w << ' ';
    state << 624;  // index at the end: the next draw twists
    std::mt19937 oracle;
    state >> oracle;
    ASSERT_FALSE(state.fail());

    SeedTwister(seed);
    const TwisterState& t = GetTwisterState();
    EXPECT_EQ(t.seeded, 1);
    EXPECT_EQ(t.read_index, 0);
    for (int i = 0; i < 624; ++i) ASSERT_EQ(t.output[i], oracle()) << i;

    // A second twist continues the same sequence.
    TwistTwister();
    for (int i = 0; i < 624; ++i) ASSERT_EQ(t.output[i], oracle()) << 624 + i;
  }
}

}  // namespace
