// Plays stage 4 whole, with the real timeline, enemy scripts, mid-boss and
// boss, through the game-play scene: the player holds fire and sweeps the
// field and is kept alive by the debug invincibility switch, so every
// difficulty runs from the first frame through the tally into stage 5.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "play/enemies.h"
#include "play/stage.h"
#include "stage_run_watch.h"

namespace {

using namespace stage_run;

constexpr int kBossType = 230;
constexpr int kMidBossType = 110;
// The events end with the boss at stage frame 9360; the held fire takes
// about 4600 frames to bring it down, then comes the tally.
constexpr int kRunFrames = 15500;
// The mid-boss's gated stretch of the timeline, and the types it spawns.
constexpr int kGateFirst = 5000, kGateLast = 6020;
const std::set<int> kGatedTypes = {15, 22, 303};

struct GateWatch {
  int mid_boss_spawned = -1;  // stage frames
  int mid_boss_gone = -1;
  int gate_flag_when_gone = -1;
  std::vector<int> mid_boss_states;
  int gated_spawns = 0;  // records of the gated types first seen inside the stretch
  int first_gated = -1;
};

void WatchGate(HarnessScript& s, GateWatch& g) {
  auto inner = s.on_frame;
  auto known = std::make_shared<std::set<int>>();
  auto mid_boss_serial = std::make_shared<int>(-1);
  s.on_frame = [inner, &g, known, mid_boss_serial](int f) {
    if (inner) inner(f);
    const int frame = GetStageFrame();
    bool mid_boss_alive = false;
    for (const EnemyObject& e : g_enemies) {
      if (e.in_use != 1) continue;
      const bool fresh = known->insert(e.serial).second;
      if (e.type == kMidBossType) {
        mid_boss_alive = true;
        if (g.mid_boss_spawned < 0) {
          g.mid_boss_spawned = frame;
          *mid_boss_serial = e.serial;
        }
        if (g.mid_boss_states.empty() || g.mid_boss_states.back() != e.life_state)
          g.mid_boss_states.push_back(e.life_state);
      }
      if (fresh && kGatedTypes.count(e.type) && frame >= kGateFirst && frame <= kGateLast + 10) {
        ++g.gated_spawns;
        if (g.first_gated < 0) g.first_gated = frame;
      }
    }
    if (!mid_boss_alive && *mid_boss_serial >= 0 && g.mid_boss_gone < 0) {
      g.mid_boss_gone = frame;
      g.gate_flag_when_gone = GetMidBossDownFlag();
    }
  };
}

void Watch(HarnessScript& s, Milestones& m, GateWatch& g) {
  stage_run::Watch(s, m, kBossType, 5);
  PlayOnAsArcade(s);
  WatchGate(s, g);
}

const std::vector<int> kBossStates{0, 1, 2, 3, 4, 5, 8};

class Stage4RunTest : public ::testing::TestWithParam<int> {};

TEST_P(Stage4RunTest, PlaysFromTheFirstFrameThroughBothBossesIntoStageFive) {
  HarnessScript s = SweepScript(GetParam(), kRunFrames, 4);
  Milestones m;
  GateWatch g;
  Watch(s, m, g);
  const HarnessResult r = RunHarness(s);

  // The mid-boss came on time and was shot down; the gated stretch fired
  // only once it was down.
  EXPECT_EQ(g.mid_boss_spawned, 4101);
  EXPECT_EQ(g.mid_boss_states, (std::vector<int>{0, 1, 2, 3, 8}));
  ASSERT_GT(g.mid_boss_gone, 0);
  EXPECT_EQ(g.gate_flag_when_gone, 1);
  EXPECT_LT(g.mid_boss_gone, kGateLast);
  EXPECT_GT(g.gated_spawns, 0);
  EXPECT_GE(g.first_gated, g.mid_boss_gone);

  // The boss through every phase; the tally hands over to stage 5.
  ASSERT_NO_FATAL_FAILURE(ExpectStageShotThrough(m, r, 200, kBossStates));
  // Shot down in every phase: nothing timed out.
  EXPECT_EQ(m.boss_timed_out, std::vector<int>(kBossStates.size(), 0));
  EXPECT_GT(m.score_at_clear, m.score_at_warning + 168000 + 120000 + 108000);
}

// Without a shot fired the mid-boss climbs off when its time is out and the
// gate stays shut; the boss's phases run out on their time limits, and the
// stage still ends in the tally.
TEST(Stage4TimeLimitTest, UnshotBossesLeaveOnTheirTimeLimits) {
  HarnessScript s = UnshotScript(1, 23000, 4);
  Milestones m;
  GateWatch g;
  Watch(s, m, g);
  const HarnessResult r = RunHarness(s);
  EXPECT_EQ(g.mid_boss_states, (std::vector<int>{0, 1}));
  EXPECT_GT(g.mid_boss_gone, 4100 + 1900);
  EXPECT_EQ(g.gate_flag_when_gone, 0);
  EXPECT_EQ(g.gated_spawns, 0);
  ExpectBossTimedOut(m, r, kBossStates, {0, 0, 1, 0, 1, 0, 1}, 4000 + 4000 + 3600);
}

// Boss practice starts the stage just before its WARNING: no regular enemy
// comes, and the game ends after the tally instead of going on.
TEST(Stage4PracticeTest, BossPracticeRunsFromTheWarningToTheTallyAndEnds) {
  HarnessScript s = SweepScript(1, 6000, 19);
  Milestones m;
  stage_run::Watch(s, m, kBossType, 5);
  RunHarness(s);
  ASSERT_NO_FATAL_FAILURE(ExpectBossPractice(m, kBossStates, 19));
  for (int type : m.types) EXPECT_EQ(type, kBossType);
}

// The whole stage recorded live on HELL, with moves, focus, full auto and
// bombs, replays to the same state every 100 frames.
TEST(Stage4ReplayTest, AWholeRecordedStagePlaysBackToTheSameDigests) {
  HarnessScript live = LiveMixScript(2, 16100, 4);
  Milestones live_seen;
  GateWatch live_gate;
  Watch(live, live_seen, live_gate);
  const HarnessResult played = RunHarness(live);
  ASSERT_GT(live_seen.next_stage_frame, 0)
      << "the live run did not finish the stage " << live_seen.warning_frame << " "
      << live_seen.boss_frame << " " << live_seen.clear_frame << " " << played.score;

  Milestones replay_seen;
  GateWatch replay_gate;
  ASSERT_NO_FATAL_FAILURE(ExpectPlaybackMatches(
      live, played, [&](HarnessScript& s) { Watch(s, replay_seen, replay_gate); }));
  EXPECT_EQ(replay_seen.clear_frame, live_seen.clear_frame);
  EXPECT_EQ(replay_gate.mid_boss_gone, live_gate.mid_boss_gone);
}

INSTANTIATE_TEST_SUITE_P(EachDifficulty, Stage4RunTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return std::string(ModeName(info.param)); });

}  // namespace
