// Plays stage 2 whole, with the real timeline, enemy scripts, mid-boss and
// boss, through the game-play scene: the player holds fire and sweeps the
// field and is kept alive by the debug invincibility switch, so every
// difficulty runs from the first frame to the stage-clear tally and on into
// stage 3.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "play/enemies.h"
#include "play/stage.h"
#include "stage_run_watch.h"

namespace {

using namespace stage_run;

constexpr int kBossType = 210;
constexpr int kMidBossType = 100;
// The mid-boss's gated stretch of the timeline, and the types of the events
// inside it that are not gated.
constexpr int kGateFirst = 3620, kGateLast = 4400;
const std::set<int> kUngatedInStretch = {13, 32};
constexpr int kRunFrames = 11500;

struct MidBossSeen {
  int spawn_frame = -1;
  int gone_frame = -1;
  std::vector<int> life_states;
  int timed_out_when_gone = -1;
  int pods_seen = 0;
  int pods_left_when_gone = -1;
  int down_flag_when_gone = -1;
  // (frame, type) of every enemy first seen inside the gated stretch.
  std::vector<std::pair<int, int>> stretch_spawns;
};

// Entry, phase 1, the break, phase 2, the death sequence.
const std::vector<int> kBossStates{0, 1, 2, 3, 8};

// A stage-select run of stage 2; with `carry_on` it then goes on as a game
// in progress, so the tally hands over to stage 3.
void Watch(HarnessScript& s, Milestones& m, MidBossSeen& mid, bool carry_on = true) {
  stage_run::Watch(s, m, kBossType, 3);
  if (carry_on) PlayOnAsArcade(s);
  auto seen = std::make_shared<std::set<int>>();
  auto inner = s.on_frame;
  s.on_frame = [inner, &mid, seen](int f) {
    inner(f);
    bool present = false;
    for (const EnemyObject& e : g_enemies) {
      if (e.in_use != 1) continue;
      if (seen->insert(e.serial).second && f >= kGateFirst && f <= kGateLast + 1)
        mid.stretch_spawns.push_back({f, e.type});
      if (e.type == 101) mid.pods_seen = std::max(mid.pods_seen, 1);
      if (e.type != kMidBossType) continue;
      present = true;
      if (mid.spawn_frame < 0) mid.spawn_frame = f;
      if (mid.life_states.empty() || mid.life_states.back() != e.life_state)
        mid.life_states.push_back(e.life_state);
      mid.timed_out_when_gone = e.timed_out;
    }
    if (!present && mid.spawn_frame > 0 && mid.gone_frame < 0) {
      mid.gone_frame = f;
      mid.pods_left_when_gone = 0;
      for (const EnemyObject& e : g_enemies) mid.pods_left_when_gone += e.in_use && e.type == 101;
      mid.down_flag_when_gone = GetMidBossDownFlag();
    }
  };
}

class Stage2RunTest : public ::testing::TestWithParam<int> {};

TEST_P(Stage2RunTest, PlaysFromTheFirstFrameToTheStageClearTally) {
  HarnessScript s = SweepScript(GetParam(), kRunFrames, 2);
  Milestones m;
  MidBossSeen mid;
  Watch(s, m, mid);
  const HarnessResult r = RunHarness(s);

  // The mid-boss came down, opened its pods, and was shot down on the field:
  // the gated stretch came only after that.
  EXPECT_EQ(mid.spawn_frame, 3001);
  EXPECT_EQ(mid.life_states, (std::vector<int>{0, 1, 8}));
  EXPECT_EQ(mid.pods_seen, 1);
  ASSERT_GT(mid.gone_frame, 0);
  EXPECT_EQ(mid.timed_out_when_gone, 0);
  EXPECT_EQ(mid.pods_left_when_gone, 0);
  int gated = 0;
  for (const auto& [frame, type] : mid.stretch_spawns) {
    if (kUngatedInStretch.count(type)) continue;
    ++gated;
    EXPECT_GE(frame, mid.gone_frame) << "type " << type;
  }
  EXPECT_GT(gated, 0);

  // The tally hands over to stage 3.
  ExpectStageShotThrough(m, r, 200, kBossStates);
}

// Without a shot fired the mid-boss climbs off on its time limit and the
// gated stretch never comes; the boss's phases run out on theirs, and the
// stage still ends in the tally.
TEST(Stage2TimeLimitTest, AnUnshotMidBossAndBossEndOnTheirTimeLimits) {
  HarnessScript s = UnshotScript(1, 18000, 2);
  Milestones m;
  MidBossSeen mid;
  Watch(s, m, mid);
  const HarnessResult r = RunHarness(s);
  EXPECT_EQ(mid.life_states, (std::vector<int>{0, 1}));
  EXPECT_EQ(mid.timed_out_when_gone, 1);
  EXPECT_GT(mid.gone_frame, 3000 + 1600);
  EXPECT_EQ(mid.pods_left_when_gone, 0);
  EXPECT_EQ(mid.down_flag_when_gone, 0);
  for (const auto& [frame, type] : mid.stretch_spawns)
    EXPECT_TRUE(kUngatedInStretch.count(type)) << "type " << type << " at " << frame;

  // Phase 1 ends into the break, phase 2 into the death, both timed out.
  ExpectBossTimedOut(m, r, kBossStates, {0, 0, 1, 0, 1}, 9000);
}

// Boss practice starts the stage just before its WARNING: no regular
// enemy comes, and the game ends after the tally instead of going on.
TEST(Stage2PracticeTest, BossPracticeRunsFromTheWarningToTheTallyAndEnds) {
  HarnessScript s = SweepScript(1, 5000, 17);
  Milestones m;
  MidBossSeen mid;
  Watch(s, m, mid, false);
  RunHarness(s);
  ASSERT_NO_FATAL_FAILURE(ExpectBossPractice(m, kBossStates, 17));
  for (int type : m.types) EXPECT_TRUE(type >= kBossType && type < 300) << "type " << type;
}

// The whole stage recorded live on HELL, for its revenge bursts' extra
// random draws, with moves, focus, full auto and bombs, replays to the same
// state.
TEST(Stage2ReplayTest, AWholeRecordedStagePlaysBackToTheSameDigests) {
  HarnessScript live = LiveMixScript(2, 13000, 2);
  Milestones live_seen;
  MidBossSeen live_mid;
  Watch(live, live_seen, live_mid);
  const HarnessResult played = RunHarness(live);
  ASSERT_GT(live_seen.next_stage_frame, 0)
      << "the live run did not finish the stage " << live_seen.warning_frame << " "
      << live_seen.boss_frame << " " << live_seen.clear_frame << " " << played.score;

  Milestones replay_seen;
  MidBossSeen replay_mid;
  ASSERT_NO_FATAL_FAILURE(ExpectPlaybackMatches(
      live, played, [&](HarnessScript& s) { Watch(s, replay_seen, replay_mid); }));
  EXPECT_EQ(replay_seen.clear_frame, live_seen.clear_frame);
  EXPECT_EQ(replay_mid.gone_frame, live_mid.gone_frame);
  EXPECT_EQ(replay_seen.destroyed, live_seen.destroyed);
}

INSTANTIATE_TEST_SUITE_P(EachDifficulty, Stage2RunTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return std::string(ModeName(info.param)); });

}  // namespace
