// Plays stage 1 whole, with the real timeline, enemy scripts and boss,
// through the game-play scene: the player holds fire and sweeps the field
// and is kept alive by the debug invincibility switch, so every difficulty
// runs from the first frame to the stage-clear tally.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "play/enemies.h"
#include "play/stage_clear.h"
#include "shell/game_flags.h"
#include "stage_run_watch.h"

namespace {

using namespace stage_run;

constexpr int kBossType = 200;
// The stage's events end at frame 5400; the tally runs long after the boss.
constexpr int kRunFrames = 9600;

using Stage1Milestones = Milestones;

HarnessScript Stage1Script(int difficulty, int frames = kRunFrames) {
  return SweepScript(difficulty, frames);
}

void Watch(HarnessScript& s, Stage1Milestones& m) { stage_run::Watch(s, m, kBossType, 2); }

class Stage1RunTest : public ::testing::TestWithParam<int> {};

TEST_P(Stage1RunTest, PlaysFromTheFirstFrameToTheStageClearTally) {
  HarnessScript s = Stage1Script(GetParam());
  Stage1Milestones m;
  Watch(s, m);
  const HarnessResult r = RunHarness(s);

  // The timeline's enemies came and some fell to the held fire.
  EXPECT_GT(m.serials.size(), 250u);
  EXPECT_GT(m.destroyed, 10);
  EXPECT_GT(m.score_at_warning, 0);

  // WARNING, then the boss, then the tally after the boss is gone.
  ASSERT_GT(m.warning_frame, 0);
  ASSERT_GT(m.boss_frame, m.warning_frame);
  ASSERT_GT(m.clear_frame, m.boss_frame);
  EXPECT_EQ(m.boss_present_at_clear, 0);
  // Entry, phase 1, the break, phase 2, the death sequence.
  EXPECT_EQ(m.boss_life_states, (std::vector<int>{0, 1, 2, 3, 8}));
  // The tally pays out and hands over to stage 2.
  EXPECT_GT(m.next_stage_frame, m.clear_frame);
  EXPECT_GT(r.score, m.score_at_clear);
  EXPECT_GT(m.score_at_clear, m.score_at_warning);
  EXPECT_EQ(r.misses, 0);

  // Nothing hangs about: every enemy leaves or dies, and the field is empty
  // once the boss has gone.
  EXPECT_LT(m.longest_life, 1500) << "type " << m.longest_life_type;
  EXPECT_EQ(m.left_at_next_stage, 0);
}

// Without a shot fired the boss's phases run out on their time limits, and
// the stage still ends in the tally.
TEST(Stage1TimeLimitTest, AnUnshotBossEndsOnItsTimeLimits) {
  HarnessScript s = Stage1Script(1, 14600);
  std::fill(s.pad.begin(), s.pad.end(), 0u);
  Stage1Milestones m;
  Watch(s, m);
  const HarnessResult r = RunHarness(s);
  ASSERT_EQ(m.boss_life_states, (std::vector<int>{0, 1, 2, 3, 8}));
  // Phase 1 ends into the break, phase 2 into the death, both timed out.
  EXPECT_EQ(m.boss_timed_out, (std::vector<int>{0, 0, 1, 0, 1}));
  EXPECT_GT(m.clear_frame, m.boss_frame + 7000);
  EXPECT_GT(m.next_stage_frame, m.clear_frame);
  EXPECT_EQ(m.left_at_next_stage, 0);
  EXPECT_EQ(r.misses, 0);
}

// Boss practice starts the stage just before its WARNING: no regular
// enemy comes, and the game ends after the tally instead of going on.
TEST(Stage1PracticeTest, BossPracticeRunsFromTheWarningToTheTallyAndEnds) {
  HarnessScript s = Stage1Script(1, 5200);
  s.stage_select = 16;
  Stage1Milestones m;
  Watch(s, m);
  RunHarness(s);
  ASSERT_GT(m.warning_frame, 0);
  EXPECT_LT(m.warning_frame, 100);
  ASSERT_GT(m.boss_frame, m.warning_frame);
  ASSERT_GT(m.clear_frame, m.boss_frame);
  EXPECT_EQ(m.boss_life_states, (std::vector<int>{0, 1, 2, 3, 8}));
  for (int type : m.types) EXPECT_TRUE(type >= kBossType && type < 300) << "type " << type;
  EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver);
  EXPECT_EQ(g_flags.StageNumber, 16);
}

// A whole stage recorded live, on HELL for its revenge bursts' extra random
// draws, with moves, focus, full auto and bombs, replays to the same state.
TEST(Stage1ReplayTest, AWholeRecordedStagePlaysBackToTheSameDigests) {
  // Less of the fire meets the boss here: its fight lasts longer.
  HarnessScript live = LiveMixScript(2, 11000);
  Stage1Milestones live_seen;
  Watch(live, live_seen);
  const HarnessResult played = RunHarness(live);
  ASSERT_GT(live_seen.next_stage_frame, 0)
      << "the live run did not finish the stage " << live_seen.warning_frame << " "
      << live_seen.boss_frame << " " << live_seen.clear_frame << " " << played.score << " "
      << g_stage_clear.step << " " << g_stage_clear.remaining_total;
  ASSERT_EQ(played.recorded.size(), static_cast<size_t>(live.frames));

  HarnessScript replay = live;
  replay.playback = true;
  replay.pad.clear();
  replay.record = played.recorded;
  Stage1Milestones replay_seen;
  Watch(replay, replay_seen);
  const HarnessResult replayed = RunHarness(replay);

  ASSERT_EQ(played.digests.size(), replayed.digests.size());
  for (const auto& [frame, digest] : played.digests)
    ASSERT_EQ(replayed.digests.at(frame), digest) << "first difference after frame " << frame;
  EXPECT_EQ(replayed.score, played.score);
  EXPECT_LT(played.bombs_left, 3);  // the bombs went off
  EXPECT_EQ(replay_seen.clear_frame, live_seen.clear_frame);
  EXPECT_EQ(replay_seen.destroyed, live_seen.destroyed);
}

INSTANTIATE_TEST_SUITE_P(EachDifficulty, Stage1RunTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return std::string(ModeName(info.param)); });

}  // namespace
