// Plays stage 1 whole, with the real timeline, enemy scripts and boss,
// through the game-play scene: the player holds fire and sweeps the field
// and is kept alive by the debug invincibility switch, so every difficulty
// runs from the first frame to the stage-clear tally.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/play/determinism_harness.h"
#include "play/enemies.h"
#include "play/explosions.h"
#include "play/player.h"
#include "play/stage_clear.h"
#include "screens/overlays.h"
#include "shell/game_flags.h"

namespace {

constexpr uint32_t kDown = 1, kLeft = 2, kRight = 4, kUp = 8, kShot = 16, kBomb = 32, kAuto = 64;
constexpr int kBossType = 200;
// The stage's events end at frame 5400; the tally runs long after the boss.
constexpr int kRunFrames = 9600;

// What a run went through, watched from outside after every frame.
struct Stage1Milestones {
  int warning_frame = -1;
  int boss_frame = -1;
  int clear_frame = -1;
  int next_stage_frame = -1;
  int score_at_warning = -1;
  int score_at_clear = -1;
  std::vector<int> boss_life_states;  // in the order they were seen
  std::vector<int> boss_timed_out;    // its time-out mark when each was first seen
  int boss_present_at_clear = 0;
  std::set<int> serials;              // every enemy record spawned
  std::set<int> types;                // and their types
  int destroyed = 0;                  // gone in a burst of explosions, on the field
  int longest_life = 0;               // frames, any enemy but the boss and its parts
  std::string longest_life_type;
  int left_at_next_stage = -1;        // enemies in the pool when the tally hands over
};

struct Seen {
  int type, first, last;
  double x, y;
  int on_field;
};

HarnessScript Stage1Script(int difficulty, int frames = kRunFrames) {
  HarnessScript s;
  s.difficulty = difficulty;
  s.invincible = true;
  s.fire_every = 0;  // only the stage fires and drops
  s.drop_every = 0;
  s.frames = frames;
  s.digest_every = 100;
  // Fire held, sweeping left and right so the shots meet both sides.
  for (int f = 1; f <= s.frames; ++f) s.pad.push_back(kShot | ((f / 90) % 2 ? kLeft : kRight));
  return s;
}

// Adds the milestone watch to a script; `m` must outlive the run.
void Watch(HarnessScript& s, Stage1Milestones& m) {
  auto seen = std::make_shared<std::map<int, Seen>>();
  auto explosions_before = std::make_shared<std::vector<int>>(kExplosionCount, 0);
  s.on_frame = [&m, seen, explosions_before](int f) {
    if (m.warning_frame < 0 && g_boss_warning.active == 1) {
      m.warning_frame = f;
      m.score_at_warning = g_player.score;
    }
    if (m.clear_frame < 0 && g_stage_clear.active == 1) {
      m.clear_frame = f;
      m.score_at_clear = g_player.score;
      for (const EnemyObject& e : g_enemies) m.boss_present_at_clear += e.in_use == 1 && e.type == kBossType;
    }
    if (m.next_stage_frame < 0 && g_flags.StageNumber == 2) {
      m.next_stage_frame = f;
      m.left_at_next_stage = 0;
      for (const EnemyObject& e : g_enemies) m.left_at_next_stage += e.in_use == 1;
    }

    std::set<int> alive;
    for (const EnemyObject& e : g_enemies) {
      if (e.in_use != 1) continue;
      alive.insert(e.serial);
      m.serials.insert(e.serial);
      m.types.insert(e.type);
      auto [it, fresh] = seen->try_emplace(e.serial, Seen{e.type, f, f, e.x, e.y, 0});
      it->second.last = f;
      it->second.x = e.x;
      it->second.y = e.y;
      it->second.on_field = e.screen_state == 1;
      if (e.type == kBossType) {
        if (m.boss_frame < 0) m.boss_frame = f;
        if (m.boss_life_states.empty() || m.boss_life_states.back() != e.life_state) {
          m.boss_life_states.push_back(e.life_state);
          m.boss_timed_out.push_back(e.timed_out);
        }
      }
    }
    // An enemy that left the pool this frame while on the field, with a new
    // explosion where it was, was shot down.
    for (auto it = seen->begin(); it != seen->end();) {
      const Seen& g = it->second;
      if (alive.count(it->first) != 0) {
        ++it;
        continue;
      }
      const bool boss_or_part = g.type >= kBossType && g.type < 300;
      if (!boss_or_part && g.last - g.first > m.longest_life) {
        m.longest_life = g.last - g.first;
        m.longest_life_type = std::to_string(g.type);
      }
      if (g.last == f - 1 && g.on_field == 1) {
        for (int k = 0; k < kExplosionCount; ++k) {
          const Explosion& x = g_explosions[k];
          if (x.in_use == 1 && (*explosions_before)[k] == 0 &&
              std::hypot(x.x - g.x, x.y - g.y) < 64.0) {
            ++m.destroyed;
            break;
          }
        }
      }
      it = seen->erase(it);
    }
    for (int k = 0; k < kExplosionCount; ++k) (*explosions_before)[k] = g_explosions[k].in_use == 1;
  };
}

const char* ModeName(int mode) {
  static const char* const kNames[] = {"Heaven", "Original", "Hell", "Accel"};
  return kNames[mode];
}

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
  HarnessScript live = Stage1Script(2, 11000);
  for (int f = 1; f <= live.frames; ++f) {
    uint32_t w = 0;
    switch ((f / 70) % 6) {
      case 0: w = kShot | kRight; break;
      case 1: w = kShot | kLeft | kUp; break;
      case 2: w = kShot; break;  // held: focus
      case 3: w = kAuto | kDown | kLeft; break;
      case 4: w = kAuto | kRight; break;
      default: w = kShot | kDown; break;
    }
    if (f % 1500 == 700) w = kBomb;
    live.pad[f - 1] = w;
  }
  Stage1Milestones live_seen;
  Watch(live, live_seen);
  const HarnessResult played = RunHarness(live);
  ASSERT_GT(live_seen.next_stage_frame, 0) << "the live run did not finish the stage " << live_seen.warning_frame << " " << live_seen.boss_frame << " " << live_seen.clear_frame << " " << played.score << " " << g_stage_clear.step << " " << g_stage_clear.remaining_total;
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
