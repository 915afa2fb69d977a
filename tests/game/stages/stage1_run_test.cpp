// Plays stage 1 whole, with the real timeline, enemy scripts and boss,
// through the game-play scene: the player holds fire and sweeps the field
// and is kept alive by the debug invincibility switch, so every difficulty
// runs from the first frame to the stage-clear tally.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "play/stage_clear.h"
#include "stage_run_watch.h"

namespace {

using namespace stage_run;

constexpr int kBossType = 200;
// The stage's events end at frame 5400; the tally runs long after the boss.
constexpr int kRunFrames = 9600;
// Entry, phase 1, the break, phase 2, the death sequence.
const std::vector<int> kBossStates{0, 1, 2, 3, 8};

void Watch(HarnessScript& s, Milestones& m) { stage_run::Watch(s, m, kBossType, 2); }

class Stage1RunTest : public ::testing::TestWithParam<int> {};

TEST_P(Stage1RunTest, PlaysFromTheFirstFrameToTheStageClearTally) {
  HarnessScript s = SweepScript(GetParam(), kRunFrames);
  Milestones m;
  Watch(s, m);
  const HarnessResult r = RunHarness(s);
  // The tally hands over to stage 2.
  ExpectStageShotThrough(m, r, 250, kBossStates);
}

// Without a shot fired the boss's phases run out on their time limits, and
// the stage still ends in the tally.
TEST(Stage1TimeLimitTest, AnUnshotBossEndsOnItsTimeLimits) {
  HarnessScript s = UnshotScript(1, 14600, 0);
  Milestones m;
  Watch(s, m);
  const HarnessResult r = RunHarness(s);
  // Phase 1 ends into the break, phase 2 into the death, both timed out.
  ExpectBossTimedOut(m, r, kBossStates, {0, 0, 1, 0, 1}, 7000);
}

// Boss practice starts the stage just before its WARNING: no regular
// enemy comes, and the game ends after the tally instead of going on.
TEST(Stage1PracticeTest, BossPracticeRunsFromTheWarningToTheTallyAndEnds) {
  HarnessScript s = SweepScript(1, 5200, 16);
  Milestones m;
  Watch(s, m);
  RunHarness(s);
  ASSERT_NO_FATAL_FAILURE(ExpectBossPractice(m, kBossStates, 16));
  for (int type : m.types) EXPECT_TRUE(type >= kBossType && type < 300) << "type " << type;
}

// A whole stage recorded live, on HELL for its revenge bursts' extra random
// draws, with moves, focus, full auto and bombs, replays to the same state.
TEST(Stage1ReplayTest, AWholeRecordedStagePlaysBackToTheSameDigests) {
  // Less of the fire meets the boss here: its fight lasts longer.
  HarnessScript live = LiveMixScript(2, 11000);
  Milestones live_seen;
  Watch(live, live_seen);
  const HarnessResult played = RunHarness(live);
  ASSERT_GT(live_seen.next_stage_frame, 0)
      << "the live run did not finish the stage " << live_seen.warning_frame << " "
      << live_seen.boss_frame << " " << live_seen.clear_frame << " " << played.score << " "
      << g_stage_clear.step << " " << g_stage_clear.remaining_total;

  Milestones replay_seen;
  ASSERT_NO_FATAL_FAILURE(
      ExpectPlaybackMatches(live, played, [&](HarnessScript& s) { Watch(s, replay_seen); }));
  EXPECT_EQ(replay_seen.clear_frame, live_seen.clear_frame);
  EXPECT_EQ(replay_seen.destroyed, live_seen.destroyed);
}

INSTANTIATE_TEST_SUITE_P(EachDifficulty, Stage1RunTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return std::string(ModeName(info.param)); });

}  // namespace
