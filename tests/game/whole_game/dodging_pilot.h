// A pilot that plays without the invincibility switch: each frame it tries
// the nine ways to move, follows the bullets and enemy bodies near it a few
// frames ahead along their present velocities, and takes the way that
// keeps clearest of them, drifting under the enemies to shoot them. It
// fires with full auto, which keeps the fighter at full speed. Tries at a
// hard stretch differ by a `variation` that jostles its choices on chosen
// frames, so a search can play a stretch again another way.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/player.h"
#include "play/player_movement.h"
#include "whole_game_player.h"

namespace whole_game {

class DodgingPilot {
 public:
  // Frames (of the game-play scene) from which choices are jostled, with
  // the seed of each; a window lasts kWindow frames.
  std::map<int, uint32_t> variations;
  static constexpr int kWindow = 90;

  uint32_t Word(int f) {
    const PlayerObject& p = g_player;
    if (p.control == 0 || p.active == 0) return 0;
    Gather(p.core_x, p.core_y);
    const double speed = MotionOfFighter(p.fighter).normal_speed;
    const uint32_t seed = SeedAt(f);
    const double home_x = HomeX();
    double best = 1e300;
    int best_dir = 4;
    for (int dir = 0; dir < 9; ++dir) {
      const int dx = dir % 3 - 1, dy = dir / 3 - 1;
      double danger = 0.0;
      for (int k = 1; k <= kHorizon; ++k) {
        const double px = std::clamp(p.core_x + dx * speed * k, 152.0, 488.0);
        const double py = std::clamp(p.core_y + dy * speed * k, 24.0, 466.0);
        const double c = Clearance(px, py, k);
        const double w = 1.0 / k;
        if (c <= 0.5)
          danger += (k <= 3 ? 1e9 : 1e6) * w;
        else if (c < kComfort)
          danger += (kComfort - c) * (kComfort - c) * w;
      }
      // Where it would like to be: under the enemies, low on the field.
      const double ex = std::clamp(p.core_x + dx * speed * 8, 152.0, 488.0);
      const double ey = std::clamp(p.core_y + dy * speed * 8, 24.0, 466.0);
      danger += 0.02 * std::abs(ex - home_x) + 0.05 * std::abs(ey - 400.0);
      if (seed != 0) danger += 40.0 * Jostle(seed, f / 12, dir);
      if (danger < best) {
        best = danger;
        best_dir = dir;
      }
    }
    const int dx = best_dir % 3 - 1, dy = best_dir / 3 - 1;
    uint32_t word = kFullAuto;
    if (dx < 0) word |= kLeft;
    if (dx > 0) word |= kRight;
    if (dy < 0) word |= kUp;
    if (dy > 0) word |= kDown;
    return word;
  }

 private:
  static constexpr int kHorizon = 18;
  static constexpr double kComfort = 14.0;
  static constexpr double kNear = 260.0;

  struct Mover {
    double x, y, vx, vy, half_w, half_h;
  };

  uint32_t SeedAt(int f) const {
    auto it = variations.upper_bound(f);
    if (it == variations.begin()) return 0;
    --it;
    return f < it->first + kWindow ? it->second : 0;
  }
  // A value in [0, 1) from the seed, the stretch and the way.
  static double Jostle(uint32_t seed, int stretch, int dir) {
    uint32_t h = seed * 2654435761u ^ static_cast<uint32_t>(stretch) * 40503u ^
                 static_cast<uint32_t>(dir) * 2246822519u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return (h & 0xffff) / 65536.0;
  }

  // Bullets and enemy bodies that could reach the fighter within the horizon.
  void Gather(double x, double y) {
    movers_.clear();
    for (const EnemyBullet& b : g_enemy_bullets) {
      if (b.in_use != 1) continue;
      if (std::abs(b.centre_x - x) > kNear || std::abs(b.centre_y - y) > kNear) continue;
      movers_.push_back({b.centre_x, b.centre_y, b.vx, b.vy, 3.0, 3.0});
    }
    for (const EnemyObject& e : g_enemies) {
      if (e.in_use != 1 || (e.collision_class != 0 && e.collision_class != 3)) continue;
      for (int k = 0; k < 7; ++k) {
        const double w = e.box_right[k] - e.box_left[k], h = e.box_bottom[k] - e.box_top[k];
        if (w <= 0.0 || h <= 0.0) continue;
        const double cx = (e.box_left[k] + e.box_right[k]) / 2.0;
        const double cy = (e.box_top[k] + e.box_bottom[k]) / 2.0;
        if (std::abs(cx - x) > kNear + w || std::abs(cy - y) > kNear + h) continue;
        movers_.push_back({cx, cy, e.vx, e.vy, w / 2.0 + 1.0, h / 2.0 + 1.0});
      }
    }
  }

  // How far the fighter's core at (x, y) after k moves is from the nearest
  // mover after k - 1 of its own (the fighter moves first in a frame).
  double Clearance(double x, double y, int k) const {
    double c = 1e9;
    for (const Mover& m : movers_) {
      const double mx = m.x + m.vx * (k - 1), my = m.y + m.vy * (k - 1);
      const double d = std::max(std::abs(x - mx) - m.half_w, std::abs(y - my) - m.half_h);
      c = std::min(c, d);
    }
    return c;
  }

  // The x of the lowest enemy that can be shot, or the middle of the field.
  static double HomeX() {
    double best_y = -1e9, home = 320.0;
    for (const EnemyObject& e : g_enemies) {
      if (e.in_use != 1 || e.screen_state != 1 || e.collision_class == 1) continue;
      if (e.y > 380.0) continue;
      if (e.y > best_y) {
        best_y = e.y;
        home = e.x;
      }
    }
    return std::clamp(home, 160.0, 480.0);
  }

  std::vector<Mover> movers_;
};

}  // namespace whole_game
