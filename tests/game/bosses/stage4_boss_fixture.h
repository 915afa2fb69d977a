// Runs one stage 4 boss (mid-boss 110 or boss 230) alone in the real enemy
// pass and records what each frame fired, with the player's core parked
// below the field's middle so that every aim points down into the field.
#pragma once

#include <set>
#include <vector>

#include "boss_fixture.h"

class Stage4FightTest : public BossTest {
 protected:
  static constexpr int kBossSlot = 300;

  void SetUp() override {
    BossTest::SetUp();
    g_player.core_x = 320.0;
    g_player.core_y = 400.0;
  }

  EnemyObject& Boss() { return g_enemies[kBossSlot]; }

  void Spawn(int type, int difficulty) {
    g_flags.DifficultyMode = difficulty;
    const double y = type == 110 ? -88.0 : -120.0;
    ASSERT_EQ(SpawnEnemy(180, y, type, 0), 0);
    ASSERT_EQ(Boss().type, type);
  }
  void Frame() {
    ClearLog();
    UpdateEnemies();
  }
  // Runs frames until the boss reaches `state` (at most `limit` frames);
  // the number of frames run. Bullets fired on the way are dropped.
  int RunUntilState(int state, int limit = 6000) {
    int n = 0;
    while (Boss().in_use == 1 && Boss().life_state != state && n < limit) {
      Frame();
      TakeShots();
      ++n;
    }
    return n;
  }
  // Runs frames while `keep_going` holds (at most `limit`); the frames run.
  template <typename Pred>
  int RunWhile(Pred keep_going, int limit = 6000) {
    int n = 0;
    while (Boss().in_use == 1 && keep_going() && n < limit) {
      Frame();
      TakeShots();
      ++n;
    }
    return n;
  }
  // A piercing shot over a point of the field: it hits whatever box is
  // there on every frame until taken away.
  static void ShotAt(double x, double y, int damage) {
    PlayerShot& s = g_player_shots[0];
    s = PlayerShot{};
    s.alive = 1;
    s.type = 10;
    s.damage = damage;
    s.silent_end = 1;
    s.hit_left = x - 4;
    s.hit_right = x + 4;
    s.hit_top = y - 4;
    s.hit_bottom = y + 4;
  }
  static void NoShot() { g_player_shots[0].alive = 0; }

  struct Volley {
    int t;  // phase timer read by the frame's patterns
    std::vector<Shot> shots;
    std::vector<double> gun_x, gun_y;  // the guns the frame fired from
  };
  // Runs `frames` frames and keeps the bullets of `types` each frame fired
  // (every type when `types` is empty).
  std::vector<Volley> Record(int frames, std::set<int> types = {}) {
    std::vector<Volley> out;
    for (int i = 0; i < frames && Boss().in_use == 1; ++i) {
      const int t = Boss().state_timer;
      Frame();
      std::vector<Shot> kept;
      for (const Shot& s : TakeShots())
        if (types.empty() || types.count(s.type)) kept.push_back(s);
      if (!kept.empty()) {
        const EnemyObject& e = Boss();
        out.push_back(
            {t, kept, {e.gun_x, e.gun_x + kEnemyGunCount}, {e.gun_y, e.gun_y + kEnemyGunCount}});
      }
    }
    return out;
  }
  static std::vector<int> Times(const std::vector<Volley>& v) {
    std::vector<int> out;
    for (const Volley& x : v) out.push_back(x.t);
    return out;
  }
  static int CountOf(const std::vector<Shot>& shots, int type) {
    int n = 0;
    for (const Shot& s : shots) n += s.type == type ? 1 : 0;
    return n;
  }
};
