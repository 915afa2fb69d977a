// Plays the extra stage through the game-play scene: the hidden boss alone,
// from its entry to the tally, shot down or left to run out its four time
// limits.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
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

constexpr int kBossType = 250;
constexpr int kExtraStage = 21;
constexpr int kRunFrames = 40000;
const std::vector<int> kStates{0, 1, 2, 3, 4, 5, 6, 7, 8};

struct ShieldSeen {
  int guarded_frames = 0;  // attack frames with the player invulnerable
  int shielded = 0;        // of those, with the shots absorbed
  int hurt_while_guarded = 0;
  int hurt = 0;  // attack frames on which the boss lost hit points
};

// Every attack frame: is the shield up exactly while the player cannot be
// hit, and does the boss lose hit points only while it is down?
void WatchShield(HarnessScript& s, ShieldSeen& seen) {
  auto last_hp = std::make_shared<int>(-1);
  // The script reads the guard before the player's update of the same
  // frame changes it: the value left by the frame before.
  auto last_guard = std::make_shared<int>(0);
  auto inner = s.on_frame;
  s.on_frame = [inner, last_hp, last_guard, &seen](int f) {
    if (inner) inner(f);
    for (const EnemyObject& e : g_enemies) {
      if (e.in_use != 1 || e.type != kBossType) continue;
      const int hp = e.phase_hp[0] + e.phase_hp[1] + e.phase_hp[2] + e.phase_hp[3];
      const bool attack = e.life_state % 2 == 1 && e.life_state <= 7;
      if (attack && *last_hp >= 0) {
        const bool lost = hp < *last_hp;
        if (*last_guard > 0) {
          ++seen.guarded_frames;
          seen.shielded += e.collision_class == 3 && e.script_words[1] == 1;
          seen.hurt_while_guarded += lost;
        }
        seen.hurt += lost;
      }
      *last_hp = hp;
    }
    *last_guard = GetPlayerGuardTimer();
  };
}

TEST(ExtraStageRunTest, TheHiddenBossAloneFromItsEntryToTheTally) {
  HarnessScript s = SweepScript(2, kRunFrames, kExtraStage);
  // A few bombs during the fight: the boss shields itself while they guard.
  for (int f = 1200; f <= 6000; f += 1200) s.pad[f - 1] = kBomb;
  Milestones m;
  Stage5Seen w;
  ShieldSeen shield;
  Watch(s, m, kBossType, -1);
  WatchStage5(s, w);
  WatchShield(s, shield);
  auto scroll = std::make_shared<std::vector<int>>();
  auto inner = s.on_frame;
  s.on_frame = [inner, scroll](int f) {
    inner(f);
    if (scroll->empty() || scroll->back() != g_stage.scroll_mode)
      scroll->push_back(g_stage.scroll_mode);
  };
  const HarnessResult r = RunHarness(s);

  // Placed once, on frame 200, and nothing else.
  EXPECT_EQ(m.boss_frame, 201);
  EXPECT_EQ(m.serials.size(), 1u);
  EXPECT_EQ(m.warning_frame, -1);  // the extra stage has no WARNING
  EXPECT_EQ(m.boss_life_states, kStates);
  EXPECT_EQ(m.boss_timed_out, std::vector<int>(kStates.size(), 0));
  EXPECT_GT(w.music9, m.boss_frame);
  EXPECT_EQ(w.music8, -1);
  // Its own background picture from its entry until its death.
  EXPECT_EQ(*scroll, (std::vector<int>{0, 4, 5}));
  ASSERT_GT(m.clear_frame, m.boss_frame);
  EXPECT_EQ(m.boss_present_at_clear, 0);
  EXPECT_GT(shield.guarded_frames, 100);
  EXPECT_EQ(shield.shielded, shield.guarded_frames);
  EXPECT_EQ(shield.hurt_while_guarded, 0);
  EXPECT_GT(shield.hurt, 1000);
  EXPECT_GT(r.score, m.score_at_clear);
  EXPECT_EQ(w.left_at_fade, 0);
  EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver);
  EXPECT_EQ(g_flags.StageNumber, kExtraStage);
}

// Without a shot fired all four phases run out on their time limits, the
// fourth like the others, and the stage still ends in the tally. The first
// three limits are cut short to keep the run brief; the fourth keeps its
// 6000 frames.
TEST(ExtraStageTimeLimitTest, AnUnshotHiddenBossEndsOnItsFourTimeLimits) {
  constexpr int kShortLimit = 300;
  HarnessScript s = UnshotScript(2, kRunFrames, kExtraStage);
  Milestones m;
  Stage5Seen w;
  Watch(s, m, kBossType, -1);
  WatchStage5(s, w);
  auto phase4 = std::make_shared<std::pair<int, int>>(-1, -1);  // its first frame, its limit
  auto inner = s.on_frame;
  s.on_frame = [inner, phase4](int f) {
    inner(f);
    for (EnemyObject& e : g_enemies) {
      if (e.in_use != 1 || e.type != kBossType) continue;
      if (e.life_state == 0)
        for (int p = 0; p < 3; ++p) e.phase_limits[p] = kShortLimit;
      if (e.life_state == 7 && phase4->first < 0) *phase4 = {f, e.phase_limits[3]};
    }
  };
  RunHarness(s);
  ASSERT_EQ(m.boss_life_states, kStates);
  EXPECT_EQ(m.boss_timed_out, (std::vector<int>{0, 0, 1, 0, 1, 0, 1, 0, 1}));
  // Counted on the frame the break handed over too, like every phase's.
  EXPECT_EQ(phase4->second, 6000 - 1);
  EXPECT_GT(m.clear_frame, phase4->first + 6000);
  EXPECT_EQ(m.score_at_clear, 0);  // no phase paid
  EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver);
}

}  // namespace
