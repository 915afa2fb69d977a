#include "stage_run_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "play/enemies.h"
#include "play/explosions.h"
#include "play/player.h"
#include "play/stage_clear.h"
#include "screens/overlays.h"
#include "shell/game_flags.h"

namespace stage_run {

namespace {

struct Seen {
  int type, first, last;
  double x, y;
  int on_field;
};

}  // namespace

HarnessScript SweepScript(int difficulty, int frames, int stage_select) {
  HarnessScript s;
  s.difficulty = difficulty;
  s.stage_select = stage_select;
  s.invincible = true;
  s.fire_every = 0;  // only the stage fires and drops
  s.drop_every = 0;
  s.frames = frames;
  s.digest_every = 100;
  for (int f = 1; f <= s.frames; ++f) s.pad.push_back(kShot | ((f / 90) % 2 ? kLeft : kRight));
  return s;
}

HarnessScript UnshotScript(int difficulty, int frames, int stage_select) {
  HarnessScript s = SweepScript(difficulty, frames, stage_select);
  std::fill(s.pad.begin(), s.pad.end(), 0u);
  return s;
}

HarnessScript LiveMixScript(int difficulty, int frames, int stage_select) {
  HarnessScript s = SweepScript(difficulty, frames, stage_select);
  for (int f = 1; f <= s.frames; ++f) {
    uint32_t w = 0;
    switch ((f / 70) % 6) {
      case 0:
        w = kShot | kRight;
        break;
      case 1:
        w = kShot | kLeft | kUp;
        break;
      case 2:
        w = kShot;
        break;  // held: focus
      case 3:
        w = kAuto | kDown | kLeft;
        break;
      case 4:
        w = kAuto | kRight;
        break;
      default:
        w = kShot | kDown;
        break;
    }
    if (f % 1500 == 700) w = kBomb;
    s.pad[f - 1] = w;
  }
  return s;
}

void Watch(HarnessScript& s, Milestones& m, int boss_type, int next_stage) {
  auto seen = std::make_shared<std::map<int, Seen>>();
  auto explosions_before = std::make_shared<std::vector<int>>(kExplosionCount, 0);
  s.on_frame = [&m, seen, explosions_before, boss_type, next_stage](int f) {
    if (m.warning_frame < 0 && g_boss_warning.active == 1) {
      m.warning_frame = f;
      m.score_at_warning = g_player.score;
    }
    if (m.clear_frame < 0 && g_stage_clear.active == 1) {
      m.clear_frame = f;
      m.score_at_clear = g_player.score;
      for (const EnemyObject& e : g_enemies)
        m.boss_present_at_clear += e.in_use == 1 && e.type == boss_type;
    }
    if (m.next_stage_frame < 0 && g_flags.StageNumber == next_stage) {
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
      if (e.type == boss_type) {
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
      // Mid-bosses, bosses and their parts (100-299) live as long as their fights.
      const bool boss_or_part = g.type >= 100 && g.type < 300;
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

void ExpectWarningBossTally(const Milestones& m, const std::vector<int>& boss_states) {
  ASSERT_GT(m.warning_frame, 0);
  ASSERT_GT(m.boss_frame, m.warning_frame);
  ASSERT_GT(m.clear_frame, m.boss_frame);
  EXPECT_EQ(m.boss_present_at_clear, 0);
  EXPECT_EQ(m.boss_life_states, boss_states);
}

void ExpectStageShotThrough(const Milestones& m, const HarnessResult& r, size_t min_spawns,
                            const std::vector<int>& boss_states) {
  EXPECT_GT(m.serials.size(), min_spawns);
  EXPECT_GT(m.destroyed, 10);
  EXPECT_GT(m.score_at_warning, 0);
  ASSERT_NO_FATAL_FAILURE(ExpectWarningBossTally(m, boss_states));
  EXPECT_GT(m.next_stage_frame, m.clear_frame);
  EXPECT_GT(r.score, m.score_at_clear);
  EXPECT_GT(m.score_at_clear, m.score_at_warning);
  EXPECT_EQ(r.misses, 0);
  EXPECT_LT(m.longest_life, 1500) << "type " << m.longest_life_type;
  EXPECT_EQ(m.left_at_next_stage, 0);
}

void ExpectBossTimedOut(const Milestones& m, const HarnessResult& r,
                        const std::vector<int>& boss_states, const std::vector<int>& timed_out,
                        int min_fight_frames) {
  ASSERT_EQ(m.boss_life_states, boss_states);
  EXPECT_EQ(m.boss_timed_out, timed_out);
  EXPECT_GT(m.clear_frame, m.boss_frame + min_fight_frames);
  EXPECT_GT(m.next_stage_frame, m.clear_frame);
  EXPECT_EQ(m.left_at_next_stage, 0);
  EXPECT_EQ(r.misses, 0);
}

void ExpectBossPractice(const Milestones& m, const std::vector<int>& boss_states,
                        int practice_stage) {
  EXPECT_LT(m.warning_frame, 100);
  ASSERT_NO_FATAL_FAILURE(ExpectWarningBossTally(m, boss_states));
  EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver);
  EXPECT_EQ(g_flags.StageNumber, practice_stage);
}

void ExpectPlaybackMatches(const HarnessScript& live, const HarnessResult& played,
                           const std::function<void(HarnessScript&)>& watch) {
  ASSERT_EQ(played.recorded.size(), static_cast<size_t>(live.frames));
  HarnessScript replay = live;
  replay.playback = true;
  replay.pad.clear();
  replay.record = played.recorded;
  replay.on_frame = nullptr;  // the live run's watches write to the live run's records
  watch(replay);
  const HarnessResult replayed = RunHarness(replay);

  ASSERT_EQ(played.digests.size(), replayed.digests.size());
  for (const auto& [frame, digest] : played.digests)
    ASSERT_EQ(replayed.digests.at(frame), digest) << "first difference after frame " << frame;
  EXPECT_EQ(replayed.score, played.score);
  EXPECT_LT(played.bombs_left, 3);  // the bombs went off
}

void PlayOnAsArcade(HarnessScript& s) {
  auto inner = s.on_frame;
  s.on_frame = [inner](int f) {
    if (inner) inner(f);
    if (f == 1) g_flags.sel_flag = 0;
  };
}

}  // namespace stage_run
