#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "determinism_harness.h"
#include "play/player.h"
#include "player_fixture.h"

namespace {

constexpr uint32_t kDown = 1, kLeft = 2, kRight = 4, kUp = 8, kShot = 16, kBomb = 32, kAuto = 64;

// Moves, fires, focuses, bombs and stands in the harness's fire to be hit.
HarnessScript Scenario(int fighter) {
  HarnessScript s;
  s.fighter = fighter;
  s.frames = 700;
  s.fire_every = 4;
  s.auto_guard = fighter % 2;
  for (int f = 1; f <= s.frames; ++f) {
    const int phase = (f / 50) % 8;
    uint32_t w = 0;
    switch (phase) {
      case 0: w = kRight | kShot; break;
      case 1: w = kLeft | kUp | kShot; break;
      case 2: w = kShot; break;  // held: focus
      case 3: w = kDown | kAuto; break;
      case 4: w = (f % 50 == 10) ? kBomb : kLeft; break;
      case 5: w = kShot | kRight | kDown; break;
      case 6: w = 0; break;  // stands in the fire
      default: w = kUp | kShot | 0x800u; break;
    }
    s.pad.push_back(w);
  }
  return s;
}

HarnessScript PlaybackOf(const HarnessScript& live, const HarnessResult& run) {
  HarnessScript p = live;
  p.playback = true;
  p.paused_frames.clear();  // playback has no pauses
  p.pad.clear();
  p.record = run.recorded;
  return p;
}

void ExpectSameDigests(const HarnessResult& a, const HarnessResult& b) {
  ASSERT_EQ(a.digests.size(), b.digests.size());
  for (const auto& [frame, digest] : a.digests) {
    ASSERT_EQ(b.digests.at(frame), digest) << "first difference after frame " << frame;
  }
  EXPECT_EQ(a.score, b.score);
}

class DeterminismTest : public PlayerTest {};

TEST_F(DeterminismTest, TheSameInputTwiceGivesTheSameGame) {
  const HarnessScript s = Scenario(2);
  HarnessResult first = RunHarness(s);
  HarnessResult second = RunHarness(s);
  ExpectSameDigests(first, second);
  // The scenario does reach misses, bombs and pickups.
  EXPECT_GT(first.score, 0);
  EXPECT_GT(first.misses, 0);
}

TEST_F(DeterminismTest, PlaybackRepeatsLivePlay) {
  for (int fighter : {0, 3}) {
    const HarnessScript live = Scenario(fighter);
    HarnessResult played = RunHarness(live);
    ASSERT_FALSE(played.recorded.empty());
    HarnessResult replayed = RunHarness(PlaybackOf(live, played));
    ExpectSameDigests(played, replayed);
  }
}

TEST_F(DeterminismTest, FastForwardChangesNothingButTheShowing) {
  const HarnessScript live = Scenario(4);
  HarnessResult played = RunHarness(live);
  HarnessScript replay = PlaybackOf(live, played);
  HarnessResult normal = RunHarness(replay);
  replay.fast_forward = true;
  HarnessResult fast = RunHarness(replay);
  ExpectSameDigests(normal, fast);
  ExpectSameDigests(played, fast);
}

// A paused frame still runs the draw pass, which advances drawing state and
// may draw random numbers, but records no input word: a game that was
// paused does not replay. That is why such games are not saved.
TEST_F(DeterminismTest, APausedGameDoesNotReplay) {
  HarnessScript live = Scenario(1);
  live.paused_frames = {300};
  HarnessResult played = RunHarness(live);
  HarnessResult replayed = RunHarness(PlaybackOf(live, played));
  EXPECT_EQ(played.digests.at(290), replayed.digests.at(290));
  EXPECT_NE(played.digests.at(live.frames), replayed.digests.at(live.frames));
}

// Run by the test below in a separate process.
TEST_F(DeterminismTest, DISABLED_PrintFinalDigest) {
  HarnessResult r = RunHarness(Scenario(3));
  std::printf("DIGEST %016llx SCORE %d\n",
              static_cast<unsigned long long>(r.digests.rbegin()->second), r.score);
}

TEST_F(DeterminismTest, TwoProcessesAgree) {
  HarnessResult here = RunHarness(Scenario(3));
  char expected[64];
  std::snprintf(expected, sizeof expected, "DIGEST %016llx SCORE %d",
                static_cast<unsigned long long>(here.digests.rbegin()->second), here.score);
  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  const std::string command = std::string("'") + self +
                              "' --gtest_also_run_disabled_tests "
                              "--gtest_filter=DeterminismTest.DISABLED_PrintFinalDigest 2>/dev/null";
  FILE* child = popen(command.c_str(), "r");
  ASSERT_NE(child, nullptr);
  std::string out;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, child)) out += buffer;
  pclose(child);
  EXPECT_NE(out.find(expected), std::string::npos) << out;
}

}  // namespace
