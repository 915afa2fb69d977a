// Plays stage 3 whole, with the real timeline, enemy scripts and boss,
// through the game-play scene: the player holds fire and sweeps the field
// and is kept alive by the debug invincibility switch, so every difficulty
// runs from the first frame to the stage-clear tally and on into stage 4.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "play/enemies.h"
#include "play/stage_clear.h"
#include "shell/game_flags.h"
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

HarnessScript Stage3Script(int difficulty, int frames = kRunFrames) {
  return SweepScript(difficulty, frames, 3);
}

// Starts as a stage-select run of stage 3; with `carry_on` it then goes on as
// a game in progress, so the tally hands over to stage 4.
void Watch(HarnessScript& s, Milestones& m, WrecksSeen& w, bool carry_on = true) {
  stage_run::Watch(s, m, kBossType, 4);
  auto boss_was_here = std::make_shared<bool>(false);
  auto inner = s.on_frame;
  s.on_frame = [inner, &w, boss_was_here, carry_on](int f) {
    if (f == 1 && carry_on) g_flags.sel_flag = 0;
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
  HarnessScript s = Stage3Script(GetParam());
  Milestones m;
  WrecksSeen w;
  Watch(s, m, w);
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
  // Entry, the three phases with their two breaks, the death sequence.
  EXPECT_EQ(m.boss_life_states, (std::vector<int>{0, 1, 2, 3, 4, 5, 8}));
  // Shot down on the field, it leaves its wrecks.
  EXPECT_EQ(w.after_boss, 14);
  // The tally pays out and hands over to stage 4.
  EXPECT_GT(m.next_stage_frame, m.clear_frame);
  EXPECT_GT(r.score, m.score_at_clear);
  EXPECT_GT(m.score_at_clear, m.score_at_warning);
  EXPECT_EQ(r.misses, 0);

  // Nothing hangs about: every enemy leaves or dies, and the field is empty
  // once the boss has gone.
  EXPECT_LT(m.longest_life, 1500) << "type " << m.longest_life_type;
  EXPECT_EQ(m.left_at_next_stage, 0);
}

// Without a shot fired the boss's three phases run out on their time limits,
// and the stage still ends in the tally.
TEST(Stage3TimeLimitTest, AnUnshotBossEndsOnItsTimeLimits) {
  HarnessScript s = Stage3Script(1, 21500);
  std::fill(s.pad.begin(), s.pad.end(), 0u);
  Milestones m;
  WrecksSeen w;
  Watch(s, m, w);
  const HarnessResult r = RunHarness(s);
  ASSERT_EQ(m.boss_life_states, (std::vector<int>{0, 1, 2, 3, 4, 5, 8}));
  // Each phase ends timed out into the next state.
  EXPECT_EQ(m.boss_timed_out, (std::vector<int>{0, 0, 1, 0, 1, 0, 1}));
  EXPECT_GT(m.clear_frame, m.boss_frame + 12600);
  EXPECT_GT(m.next_stage_frame, m.clear_frame);
  EXPECT_EQ(m.left_at_next_stage, 0);
  EXPECT_EQ(r.misses, 0);
}

// Boss practice starts the stage just before its WARNING: no regular
// enemy comes, and the game ends after the tally instead of going on.
TEST(Stage3PracticeTest, BossPracticeRunsFromTheWarningToTheTallyAndEnds) {
  HarnessScript s = SweepScript(1, 7200, 18);
  Milestones m;
  WrecksSeen w;
  Watch(s, m, w, false);
  RunHarness(s);
  ASSERT_GT(m.warning_frame, 0);
  EXPECT_LT(m.warning_frame, 100);
  ASSERT_GT(m.boss_frame, m.warning_frame);
  ASSERT_GT(m.clear_frame, m.boss_frame);
  EXPECT_EQ(m.boss_life_states, (std::vector<int>{0, 1, 2, 3, 4, 5, 8}));
  // The boss and, once it is down, its wrecks.
  for (int type : m.types) EXPECT_TRUE(type == kBossType || type == 302) << "type " << type;
  EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver);
  EXPECT_EQ(g_flags.StageNumber, 18);
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
  ASSERT_EQ(played.recorded.size(), static_cast<size_t>(live.frames));

  HarnessScript replay = live;
  replay.playback = true;
  replay.pad.clear();
  replay.record = played.recorded;
  Milestones replay_seen;
  WrecksSeen replay_wrecks;
  Watch(replay, replay_seen, replay_wrecks);
  const HarnessResult replayed = RunHarness(replay);

  ASSERT_EQ(played.digests.size(), replayed.digests.size());
  for (const auto& [frame, digest] : played.digests)
    ASSERT_EQ(replayed.digests.at(frame), digest) << "first difference after frame " << frame;
  EXPECT_EQ(replayed.score, played.score);
  EXPECT_LT(played.bombs_left, 3);  // the bombs went off
  EXPECT_EQ(replay_seen.clear_frame, live_seen.clear_frame);
  EXPECT_EQ(replay_seen.destroyed, live_seen.destroyed);
}

INSTANTIATE_TEST_SUITE_P(EachDifficulty, Stage3RunTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return std::string(ModeName(info.param)); });

}  // namespace
