// Plays stage 5 whole through the game-play scene, from the stage select:
// the timeline's enemies, the mid-boss and the stretch it gates, the
// WARNING, the boss riding in on the scroll through all its phases, and the
// tally; on HELL without a continue the hidden boss first. The player holds
// fire and sweeps the field, kept alive by the debug invincibility switch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "play/enemies.h"
#include "play/player.h"
#include "play/stage.h"
#include "play/stage_clear.h"
#include "shell/game_flags.h"
#include "stage5_watch.h"
#include "stage_run_watch.h"

namespace {

using namespace stage_run;

constexpr int kBossType = 240;
constexpr int kStage = 5;
constexpr int kPractice = 20;
// The scene ends the run at its game over; this only bounds it.
constexpr int kRunFrames = 40000;

const std::vector<int> kBossStates{0, 1, 2, 3, 4, 5, 8};
const std::vector<int> kHiddenStates{0, 1, 2, 3, 4, 5, 6, 7, 8};

void WatchAll(HarnessScript& s, Milestones& m, Stage5Seen& w) {
  // A stage-select run never hands over to another stage.
  Watch(s, m, kBossType, -1);
  WatchStage5(s, w);
}

std::string Trace(const Milestones& m, const Stage5Seen& w) {
  std::string out = "warning " + std::to_string(m.warning_frame) + " boss " +
                    std::to_string(m.boss_frame) + " clear " + std::to_string(m.clear_frame) +
                    " mid " + std::to_string(w.mid_frame) + "-" + std::to_string(w.mid_gone) +
                    " down " + std::to_string(w.mid_down) + " hidden " +
                    std::to_string(w.hidden_frame) + " states";
  for (int s : m.boss_life_states) out += " " + std::to_string(s);
  out += " /";
  for (int s : w.hidden_states) out += " " + std::to_string(s);
  return out;
}

class Stage5RunTest : public ::testing::TestWithParam<int> {};

TEST_P(Stage5RunTest, PlaysFromTheFirstFrameThroughBothBossesToTheTally) {
  const int mode = GetParam();
  HarnessScript s = SweepScript(mode, kRunFrames, kStage);
  Milestones m;
  Stage5Seen w;
  WatchAll(s, m, w);
  const HarnessResult r = RunHarness(s);
  SCOPED_TRACE(Trace(m, w));

  // The timeline's enemies came and some fell to the held fire.
  EXPECT_GT(m.serials.size(), 300u);
  EXPECT_GT(m.destroyed, 10);

  // The mid-boss is shot down on the field, which opens the gated stretch.
  EXPECT_EQ(w.mid_states, (std::vector<int>{0, 1, 2, 3, 8}));
  ASSERT_GT(w.mid_down, 0);
  EXPECT_EQ(w.mid_down, w.mid_gone);
  // The held fire brings it down only after the stretch has passed: gated
  // events are skipped, not held back for the kill (the gate itself is
  // tested below).
  EXPECT_GT(w.mid_down_stage_frame, 5540);
  EXPECT_EQ(w.gated_spawns, 0);
  EXPECT_EQ(w.mid_halts, 0);  // mid-bosses leave the music alone

  // WARNING and the boss on frame 11160, the scroll stopped 400 frames on;
  // the boss music 60 and the fight 120 frames after that.
  ASSERT_GT(m.warning_frame, 0);
  EXPECT_EQ(m.boss_frame, m.warning_frame);
  EXPECT_EQ(w.scroll_stop, m.boss_frame + 400);
  EXPECT_EQ(w.music8, w.scroll_stop + 60);
  EXPECT_EQ(w.boss_hittable, w.scroll_stop + 120);
  EXPECT_EQ(m.boss_life_states, kBossStates);
  EXPECT_EQ(m.boss_timed_out, std::vector<int>(kBossStates.size(), 0));

  ASSERT_GT(m.clear_frame, m.boss_frame);
  EXPECT_EQ(m.boss_present_at_clear, 0);
  if (mode == 2) {
    // HELL, no continue: the hidden boss comes out of the wreck, with its
    // own music, and the tally follows its death instead.
    ASSERT_GT(w.hidden_frame, m.boss_frame);
    EXPECT_EQ(w.hidden_states, kHiddenStates);
    EXPECT_GT(w.music9, w.hidden_frame);
    EXPECT_GT(m.clear_frame, w.hidden_frame);
  } else {
    EXPECT_EQ(w.hidden_frame, -1);
    EXPECT_EQ(w.music9, -1);
  }
  EXPECT_GT(m.score_at_clear, m.score_at_warning);
  EXPECT_GT(r.score, m.score_at_clear);
  EXPECT_EQ(r.misses, 0);
  // Nothing hangs about: the field is empty by the tally's fade.
  EXPECT_LT(m.longest_life, 2000) << "type " << m.longest_life_type;
  EXPECT_EQ(w.left_at_fade, 0);
  // A stage-select run ends after its stage.
  EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver);
  EXPECT_EQ(g_flags.StageNumber, kStage);
}

INSTANTIATE_TEST_SUITE_P(EachDifficulty, Stage5RunTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return std::string(ModeName(info.param)); });

// Only a kill on the field opens the stretch the mid-boss gates: here the
// test ends both its phases as soon as they begin, and every gated event
// comes; left alone, the mid-boss leaves when its time is up and none does.
TEST(Stage5GateTest, OnlyAKillOpensTheGatedStretch) {
  for (bool kill : {true, false}) {
    SCOPED_TRACE(kill);
    HarnessScript s = UnshotScript(1, 7000, kStage);
    Milestones m;
    Stage5Seen w;
    WatchAll(s, m, w);
    if (kill) {
      auto watch = s.on_frame;
      s.on_frame = [watch](int f) {
        watch(f);
        for (EnemyObject& e : g_enemies)
          if (e.in_use == 1 && e.type == 120 && (e.life_state == 1 || e.life_state == 3))
            e.phase_hp[e.life_state / 2] = 0;
      };
    }
    RunHarness(s);
    ASSERT_GT(w.mid_frame, 0);
    EXPECT_EQ(w.mid_halts, 0);
    if (kill) {
      EXPECT_EQ(w.mid_states, (std::vector<int>{0, 1, 2, 3, 8}));
      EXPECT_EQ(w.mid_down, w.mid_gone);
      EXPECT_LT(w.mid_down, 4400);
      EXPECT_EQ(w.gated_spawns, 70);
    } else {
      EXPECT_EQ(w.mid_states, (std::vector<int>{0, 1}));
      // Its limit runs from the spawn; then it climbs off the top.
      EXPECT_GT(w.mid_gone, w.mid_frame + 3200);
      EXPECT_LT(w.mid_gone, w.mid_frame + 3200 + 600);
      EXPECT_EQ(w.mid_down, -1);
      EXPECT_EQ(w.gated_spawns, 0);
    }
  }
}

// Without a shot fired the boss's phases run out on their time limits, and
// the stage still ends in the tally. Boss practice, so the stage's other
// 11,000 frames are not played again.
TEST(Stage5TimeLimitTest, AnUnshotBossEndsOnItsTimeLimits) {
  HarnessScript s = UnshotScript(2, kRunFrames, kPractice);
  Milestones m;
  Stage5Seen w;
  WatchAll(s, m, w);
  const HarnessResult r = RunHarness(s);
  ASSERT_EQ(m.boss_life_states, kBossStates);
  EXPECT_EQ(m.boss_timed_out, (std::vector<int>{0, 0, 1, 0, 1, 0, 1}));
  EXPECT_GT(m.clear_frame, w.boss_hittable + 5000 + 5400 + 5000);
  // Practice: no hidden boss even on HELL without a continue.
  EXPECT_EQ(w.hidden_frame, -1);
  EXPECT_EQ(w.left_at_fade, 0);
  EXPECT_EQ(r.misses, 0);
  EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver);
}

// Boss practice starts the stage just before its WARNING: no regular enemy
// comes, and the game ends after the tally.
TEST(Stage5PracticeTest, BossPracticeRunsFromTheWarningToTheTallyAndEnds) {
  HarnessScript s = SweepScript(1, kRunFrames, kPractice);
  Milestones m;
  Stage5Seen w;
  WatchAll(s, m, w);
  RunHarness(s);
  ASSERT_GT(m.warning_frame, 0);
  EXPECT_LT(m.warning_frame, 100);
  EXPECT_EQ(w.scroll_stop, m.boss_frame + 400);
  EXPECT_EQ(w.music8, w.scroll_stop + 60);
  EXPECT_EQ(w.boss_hittable, w.scroll_stop + 120);
  ASSERT_GT(m.clear_frame, m.boss_frame);
  EXPECT_EQ(m.boss_life_states, kBossStates);
  for (int type : m.types) EXPECT_TRUE(type >= kBossType && type < 300) << "type " << type;
  EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver);
  EXPECT_EQ(g_flags.StageNumber, kPractice);
}

// Arcade play reaching stage 5's boss: the run is moved there after its
// first frame, as if stages 1 to 4 had been played. What follows the tally
// is the ending, or the game over once a continue was used; on HELL without
// a continue the hidden boss comes first and the stage number becomes 7.
struct ArcadeCase {
  int mode;
  int continues;
  bool hidden;
  int scene;
};

class Stage5ArcadeTest : public ::testing::TestWithParam<ArcadeCase> {};

TEST_P(Stage5ArcadeTest, WhatFollowsTheLastStage) {
  const ArcadeCase c = GetParam();
  HarnessScript s = SweepScript(c.mode, kRunFrames, 0);
  Milestones m;
  Stage5Seen w;
  Watch(s, m, kBossType, 7);
  WatchStage5(s, w);
  auto watch = s.on_frame;
  s.on_frame = [watch, c](int f) {
    watch(f);
    if (f != 1) return;
    g_flags.StageNumber = kStage;
    ResetStageObject();
    SetStageFrame(11100);
    SetPlayerPower(5);
    g_player.continues = c.continues;
  };
  RunHarness(s);
  SCOPED_TRACE(Trace(m, w));
  ASSERT_GT(m.clear_frame, 0);
  EXPECT_EQ(w.hidden_frame > 0, c.hidden);
  if (c.hidden) {
    EXPECT_EQ(w.hidden_states, kHiddenStates);
    EXPECT_GT(m.next_stage_frame, m.clear_frame);  // stage number 7
  }
  EXPECT_EQ(g_flags.CurrentScene, c.scene);
}

INSTANTIATE_TEST_SUITE_P(Endings, Stage5ArcadeTest,
                         ::testing::Values(ArcadeCase{1, 0, false, kSceneEnding},
                                           ArcadeCase{2, 0, true, kSceneEnding},
                                           ArcadeCase{2, 1, false, kSceneGameOver}),
                         [](const auto& info) {
                           return std::string(ModeName(info.param.mode)) +
                                  (info.param.continues ? "AfterAContinue" : "WithoutAContinue");
                         });

// A whole stage recorded live on HELL, with moves, focus, full auto and
// bombs, replays to the same state. The recording covers the timeline, the
// mid-boss and the boss's first phase, which keeps the case short.
TEST(Stage5ReplayTest, ARecordedStagePlaysBackToTheSameDigests) {
  HarnessScript live = LiveMixScript(2, 12400, kStage);
  Milestones live_seen;
  Stage5Seen live_w;
  WatchAll(live, live_seen, live_w);
  const HarnessResult played = RunHarness(live);
  ASSERT_GT(live_w.boss_hittable, 0);

  Milestones replay_seen;
  Stage5Seen replay_w;
  ASSERT_NO_FATAL_FAILURE(ExpectPlaybackMatches(
      live, played, [&](HarnessScript& s) { WatchAll(s, replay_seen, replay_w); }));
  EXPECT_EQ(replay_seen.destroyed, live_seen.destroyed);
  EXPECT_EQ(replay_w.mid_down, live_w.mid_down);
}

}  // namespace
