// One boss in the real enemy pass, frame by frame, with what each frame
// fired kept as a volley: shared by the tests of the stage 5 mid-boss, the
// stage 5 boss and the hidden boss.
#pragma once

#include <set>
#include <vector>

#include "boss_fixture.h"
#include "play/stage.h"
#include "play/stage_clear.h"
#include "shell/sound_bank.h"

class BossVolleyTest : public BossTest {
 protected:
  void SetUp() override {
    BossTest::SetUp();
    g_config.bgm = 1;
    LoadBgmTable();
  }

  struct Bullet {
    int type;
    double x, y, angle, speed, param1, param2;
  };
  struct Volley {
    int t;      // phase timer read by the frame's patterns
    int state;  // life state the frame ran in
    std::vector<Bullet> shots;
    double boss_x, boss_y;
    int se81;
  };

  // Spawns `type` at field (x, y) on `difficulty` and remembers its slot.
  void SpawnBoss(int type, double x, double y, int difficulty) {
    g_flags.DifficultyMode = difficulty;
    ASSERT_EQ(SpawnEnemy(x, y, type, 0), 0);
    slot_ = -1;
    for (const EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == type) slot_ = e.slot;
    ASSERT_GE(slot_, 0);
  }
  EnemyObject& Boss() { return g_enemies[slot_]; }

  void Frame() {
    ClearLog();
    UpdateEnemies();
  }
  // Runs frames until the boss is in `state` (at most `limit`); the frames run.
  int RunUntilState(int state, int limit = 6000) {
    int n = 0;
    while (Boss().in_use == 1 && Boss().life_state != state && n < limit) {
      Frame();
      ResetAllEnemyBullets();
      ++n;
    }
    return n;
  }
  // Frames until `done` holds, bullets dropped; the frames run.
  template <typename Done>
  int RunUntil(Done done, int limit = 6000) {
    int n = 0;
    while (Boss().in_use == 1 && !done() && n < limit) {
      Frame();
      ResetAllEnemyBullets();
      ++n;
    }
    return n;
  }

  // A piercing shot over the boss's centre: it hits on every frame.
  void ShotOverBoss(int damage) {
    PlayerShot& s = g_player_shots[0];
    s = PlayerShot{};
    s.alive = 1;
    s.type = 10;
    s.damage = damage;
    s.silent_end = 1;
    s.hit_left = Boss().x - 8;
    s.hit_right = Boss().x + 8;
    s.hit_top = Boss().y - 8;
    s.hit_bottom = Boss().y + 8;
  }

  static std::vector<Bullet> TakeBullets() {
    std::vector<Bullet> out;
    for (const EnemyBullet& b : g_enemy_bullets)
      if (b.in_use == 1)
        out.push_back({b.type, b.centre_x, b.centre_y, b.angle, b.speed, b.param1, b.param2});
    ResetAllEnemyBullets();
    return out;
  }
  // Runs `frames` frames and keeps each frame's bullets of `types` (all
  // types when empty).
  std::vector<Volley> Record(int frames, std::set<int> types = {}) {
    std::vector<Volley> out;
    for (int i = 0; i < frames && Boss().in_use == 1; ++i) {
      const int t = Boss().state_timer;
      const int state = Boss().life_state;
      Frame();
      std::vector<Bullet> kept;
      for (const Bullet& b : TakeBullets())
        if (types.empty() || types.count(b.type)) kept.push_back(b);
      if (!kept.empty()) out.push_back({t, state, kept, Boss().x, Boss().y, CountSound(81)});
    }
    return out;
  }
  static std::vector<int> Times(const std::vector<Volley>& v) {
    std::vector<int> out;
    for (const Volley& x : v) out.push_back(x.t);
    return out;
  }
  static std::vector<Bullet> OfType(const std::vector<Bullet>& shots, int type) {
    std::vector<Bullet> out;
    for (const Bullet& b : shots)
      if (b.type == type) out.push_back(b);
    return out;
  }
  static double MeanAngle(const std::vector<Bullet>& shots) {
    double sum = 0;
    for (const Bullet& b : shots) sum += b.angle;
    return shots.empty() ? 0.0 : sum / static_cast<double>(shots.size());
  }

  // Music files started and stops, since the log was last cleared.
  static std::vector<std::string> MusicStarted() {
    std::vector<std::string> out;
    for (const auto& c : kesto_fake::CallsNamed("StartMusicFile")) out.push_back(c.text);
    return out;
  }
  static int MusicHalts() { return static_cast<int>(kesto_fake::CallsNamed("HaltMusic").size()); }

  int slot_ = -1;
};
