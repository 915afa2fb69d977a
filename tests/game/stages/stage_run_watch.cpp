#include "stage_run_watch.h"

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

}  // namespace stage_run
