// Plays stage 3 whole, with the real timeline, enemy scripts and boss,
// through the game-play scene: the player holds fire and sweeps the field
// and is kept alive by the debug invincibility switch, so every difficulty
// runs from the first frame to the stage-clear tally and on into stage 4.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "play/enemies.h"
#include "stage_run_watch.h"

namespace {

using namespace stage_run;

constexpr int kBossType = 220;
// The stage's events end at frame 6700; the boss fight and the tally run long
// after.
constexpr int kRunFrames = 13400;

struct WrecksSeen {
  int after_boss = -1;  // variant-1 wrecks in the pool on the frame the boss went
};

// Entry, the three phases with their two breaks, the death sequence.
const std::vector<int> kBossStates{0, 1, 2, 3, 4, 5, 8};

// A stage-select run of stage 3; with `carry_on` it then goes on as a game
// in progress, so the tally hands over to stage 4.
void Watch(HarnessScript& s, Milestones& m, WrecksSeen& w, bool carry_on = true) {
  stage_run::Watch(s, m, kBossType, 4);
  if (carry_on) PlayOnAsArcade(s);
  auto boss_was_here = std::make_shared<bool>(false);
  auto inner = s.on_frame;
  s.on_frame = [inner, &w, boss_was_here](int f) {
    inner(f);
    bool boss = false;
    int wrecks = 0;
    for (const EnemyObject& e : g_enemies) {
      boss = boss || (e.in_use == 1 && e.type == kBossType);
      wrecks += e.in_use == 1 && e.type == 302 && e.variant == 1;
    }
    if (*boss_was_here && !boss && w.after_boss < 0) w.after_boss = wrecks;
    *boss_was_here = boss;
  };
}

class Stage3RunTest : public ::testing::TestWithParam<int> {};

TEST_P(Stage3RunTest, PlaysFromTheFirstFrameToTheStageClearTally) {
  HarnessScript s = SweepScript(GetParam(), kRunFrames, 3);
  Milestones m;
  WrecksSeen w;
  Watch(s, m, w);
  const HarnessResult r = RunHarness(s);
  // The tally hands over to stage 4.
  ExpectStageShotThrough(m, r, 250, kBossStates);
  // Shot down on the field, the boss leaves its wrecks.
  EXPECT_EQ(w.after_boss, 14);
}

// Without a shot fired the boss's three phases run out on their time limits,
// and the stage still ends in the tally.
TEST(Stage3TimeLimitTest, AnUnshotBossEndsOnItsTimeLimits) {
  HarnessScript s = UnshotScript(1, 21500, 3);
  Milestones m;
  WrecksSeen w;
  Watch(s, m, w);
  const HarnessResult r = RunHarness(s);
  // Each phase ends timed out into the next state.
  ExpectBossTimedOut(m, r, kBossStates, {0, 0, 1, 0, 1, 0, 1}, 12600);
}

// Boss practice starts the stage just before its WARNING: no regular
// enemy comes, and the game ends after the tally instead of going on.
TEST(Stage3PracticeTest, BossPracticeRunsFromTheWarningToTheTallyAndEnds) {
  HarnessScript s = SweepScript(1, 7200, 18);
  Milestones m;
  WrecksSeen w;
  Watch(s, m, w, false);
  RunHarness(s);
  ASSERT_NO_FATAL_FAILURE(ExpectBossPractice(m, kBossStates, 18));
  // The boss and, once it is down, its wrecks.
  for (int type : m.types) EXPECT_TRUE(type == kBossType || type == 302) << "type " << type;
}

// The whole stage recorded live on HELL, for its revenge bursts' extra
// random draws, with moves, focus, full auto and bombs, replays to the same
// state.
TEST(Stage3ReplayTest, AWholeRecordedStagePlaysBackToTheSameDigests) {
  // It ends shortly after the tally starts: the tally itself is the same as
  // in the other runs.
  HarnessScript live = LiveMixScript(2, 13800, 3);
  Milestones live_seen;
  WrecksSeen live_wrecks;
  Watch(live, live_seen, live_wrecks);
  const HarnessResult played = RunHarness(live);
  ASSERT_GT(live_seen.clear_frame, 0)
      << "the live run did not finish the stage " << live_seen.warning_frame << " "
      << live_seen.boss_frame << " " << live_seen.clear_frame << " " << played.score;

  Milestones replay_seen;
  WrecksSeen replay_wrecks;
  ASSERT_NO_FATAL_FAILURE(ExpectPlaybackMatches(
      live, played, [&](HarnessScript& s) { Watch(s, replay_seen, replay_wrecks); }));
  EXPECT_EQ(replay_seen.clear_frame, live_seen.clear_frame);
  EXPECT_EQ(replay_seen.destroyed, live_seen.destroyed);
}

INSTANTIATE_TEST_SUITE_P(EachDifficulty, Stage3RunTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return std::string(ModeName(info.param)); });

}  // namespace
