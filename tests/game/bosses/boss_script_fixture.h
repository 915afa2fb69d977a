// Runs one boss (or mid-boss) in the real enemy pass frame by frame and
// records what each frame fired, so a test can read a pattern's volleys by
// the phase timer they were fired on.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "boss_fixture.h"

class BossScriptTest : public BossTest {
 protected:
  static constexpr int kBossSlot = 300;

  EnemyObject& Boss() { return g_enemies[kBossSlot]; }

  // Spawns `type` at field (x, y) on `difficulty` into the boss slot.
  void Spawn(int type, double x, double y, int difficulty) {
    g_flags.DifficultyMode = difficulty;
    ASSERT_EQ(SpawnEnemy(x, y, type, 0), 0);
    ASSERT_EQ(Boss().type, type);
  }
  void Frame() {
    ClearLog();
    UpdateEnemies();
  }
  // Runs frames until the boss reaches `state` (at most `limit` frames);
  // the number of frames run.
  int RunUntilState(int state, int limit = 6000) {
    int n = 0;
    while (Boss().in_use == 1 && Boss().life_state != state && n < limit) {
      Frame();
      TakeShots();
      ++n;
    }
    return n;
  }
  // Runs frames until `done` holds (at most `limit`); the frames run.
  int RunUntil(const std::function<bool()>& done, int limit = 6000) {
    int n = 0;
    while (Boss().in_use == 1 && !done() && n < limit) {
      Frame();
      TakeShots();
      ++n;
    }
    return n;
  }
  // A piercing shot over the boss's centre: it hits on every frame.
  static void ShotOverBoss(int damage) {
    PlayerShot& s = g_player_shots[0];
    s = PlayerShot{};
    s.alive = 1;
    s.type = 10;
    s.damage = damage;
    s.silent_end = 1;
    const EnemyObject& b = g_enemies[kBossSlot];
    s.hit_left = b.x - 20;
    s.hit_right = b.x + 20;
    s.hit_top = b.y - 20;
    s.hit_bottom = b.y + 20;
  }
  static void NoShot() { g_player_shots[0].alive = 0; }

  struct Volley {
    int t;  // phase timer read by the frame's patterns
    std::vector<Shot> shots;
    int se81;               // enemy-shot sounds of the frame
    double boss_x, boss_y;  // where the boss fired from
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
      if (!kept.empty()) out.push_back({t, kept, CountSound(81), Boss().x, Boss().y});
    }
    return out;
  }
  static std::vector<int> Times(const std::vector<Volley>& v) {
    std::vector<int> out;
    for (const Volley& x : v) out.push_back(x.t);
    return out;
  }
  static std::vector<int> Sizes(const std::vector<Volley>& v) {
    std::vector<int> out;
    for (const Volley& x : v) out.push_back(static_cast<int>(x.shots.size()));
    return out;
  }
  // The first `count` values first, first + step, ...
  static std::vector<int> Every(int first, int step, int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) out.push_back(first + step * i);
    return out;
  }
  // Runs the boss's current phase step until its pattern step reads `step`.
  void RunToStep(int phase, int step, int limit = 4000) {
    RunUntil([&] { return BossPatternStep(Boss(), phase) == step; }, limit);
    ASSERT_EQ(BossPatternStep(Boss(), phase), step);
  }
  // Generator steps between two seeds, up to 2000.
  static int CountDraws(uint32_t from, uint32_t to) {
    for (int n = 0; n < 2000; ++n) {
      if (from == to) return n;
      from = from * 48828125u + 1u;
    }
    return -1;
  }
  void ResetPools() {
    ResetAllEnemies();
    ResetAllEnemyBullets();
    ResetAllExplosions();
    ResetAllItems();
    ResetAllBulletCancelSlots();
    ResetStageClearSequence();
    BossFightFlag(0);
    SetMidBossDownFlag(0);
    NoShot();
  }
};
