// Runs enemies through the real enemy pass (velocity, script, hit boxes,
// screen state) and the draw pass, and records what each frame fired: the
// bullets it made and the enemy-shot sounds it played. SetUp may run again
// inside a test to start each case of a table afresh.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "game/play/play_fixture.h"
#include "screens/config.h"
#include "shell/sound_bank.h"

struct FiredBullet {
  int frame;
  int type;
  double x, y;
  double angle;
  double speed;
};

// The frames first, first + interval, ... below `frames`.
inline std::vector<int> Steps(int interval, int frames, int first = 0) {
  std::vector<int> out;
  for (int f = first; f < frames; f += interval) out.push_back(f);
  return out;
}

inline std::vector<int> Join(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class EnemyScriptTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    g_config.enemy_shot_se = 1;
    LoadSoundEffects();
    g_flags.StageNumber = 1;
    PlacePlayer(320.0, 440.0);
    ClearLog();
    frame = 0;
    bullets.clear();
    shot_sounds.clear();
  }

  static void PlacePlayer(double x, double y) {
    g_player.core_x = x;
    g_player.core_y = y;
    g_player.centre_x = x;
    g_player.centre_y = y;
  }

  // Spawns at field x (140 is added) and screen y under the given game mode.
  EnemyObject& Spawn(int type, int variant, double field_x, double y, int mode = 1) {
    g_flags.DifficultyMode = mode;
    const int32_t serial = EnemySerialCounter;
    EXPECT_EQ(SpawnEnemy(field_x, y, type, variant), 0);
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.serial == serial) return e;
    ADD_FAILURE() << "no enemy spawned";
    return g_enemies[0];
  }

  // One game frame of the enemy pass and the draw pass; bullets made on it
  // are recorded and cleared so that each frame starts from an empty pool.
  void Frame() {
    UpdateEnemies();
    DrawAllEnemies();
    for (EnemyBullet& b : g_enemy_bullets) {
      if (b.in_use != 1) continue;
      bullets.push_back({frame, b.type, b.centre_x, b.centre_y, b.angle, b.speed});
    }
    ResetAllEnemyBullets();
    for (const kesto_fake::Call& c : kesto_fake::CallsNamed("StartSoundHandle"))
      if (c.iarg(0) == g_sound_bank[81]) shot_sounds.push_back(frame);
    ClearLog();
    ++frame;
  }
  void Run(int frames) {
    for (int i = 0; i < frames; ++i) Frame();
  }
  // Holds a fast enemy in place (screen pixels) while its script runs.
  void RunPinned(EnemyObject& e, int frames, double x, double y) {
    for (int i = 0; i < frames; ++i) {
      e.x = x;
      e.y = y;
      Frame();
    }
  }

  // Bullets in the pool right now (a revenge burst), cleared afterwards.
  static std::vector<EnemyBullet> TakePool() {
    std::vector<EnemyBullet> out;
    for (EnemyBullet& b : g_enemy_bullets)
      if (b.in_use == 1) out.push_back(b);
    ResetAllEnemyBullets();
    return out;
  }
  // Explosions in the pool right now, cleared afterwards.
  static std::vector<Explosion> TakeExplosions() {
    std::vector<Explosion> out;
    for (Explosion& x : g_explosions)
      if (x.in_use == 1) out.push_back(x);
    ResetAllExplosions();
    return out;
  }
  static int CountAlive(int type) {
    int n = 0;
    for (const EnemyObject& e : g_enemies) n += e.in_use == 1 && e.type == type;
    return n;
  }

  // One blasting frame of a dying sequence, `made` its explosions: replays
  // its draws from `seed_before` in their stated order and checks kind
  // `kind_near` at (c + d), 55 at (c - d), d from the size less 40 and 30,
  // and with `debris` kind 122 up to a quarter of the size off the centre c
  // with `debris_param1`; the replayed draws end where the frame left the
  // seed.
  static void ExpectDyingBlast(const std::vector<Explosion>& made, uint32_t seed_before,
                               const EnemyObject& e, double cx, double cy, int kind_near,
                               bool debris, double debris_param1 = 0.0) {
    ASSERT_EQ(made.size(), debris ? 3u : 2u);
    const uint32_t after = RandomSeed;
    RandomSeed = seed_before;
    const int w = static_cast<int>(e.width), h = static_cast<int>(e.height);
    const int dx = RandomIntSigned(w / 2 - 40);
    const int dy = RandomIntSigned(h / 2 - 30);
    const int a1 = RandomInt(360);
    const int a2 = RandomInt(360);
    EXPECT_EQ(made[0].kind, kind_near);
    EXPECT_DOUBLE_EQ(made[0].x, cx + dx);
    EXPECT_DOUBLE_EQ(made[0].y, cy + dy);
    EXPECT_DOUBLE_EQ(made[0].angle, a1);
    EXPECT_EQ(made[1].kind, 55);
    EXPECT_DOUBLE_EQ(made[1].x, cx - dx);
    EXPECT_DOUBLE_EQ(made[1].y, cy - dy);
    EXPECT_DOUBLE_EQ(made[1].angle, a2);
    if (debris) {
      const int speed = RandomInt(20);
      const int a3 = RandomInt(360);
      const int ry = RandomIntSigned(h / 4);
      const int rx = RandomIntSigned(w / 4);
      EXPECT_EQ(made[2].kind, 122);
      EXPECT_DOUBLE_EQ(made[2].x, cx + rx);
      EXPECT_DOUBLE_EQ(made[2].y, cy + ry);
      EXPECT_DOUBLE_EQ(made[2].angle, a3);
      EXPECT_NEAR(std::hypot(made[2].vx, made[2].vy), speed / 10.0 + 2.0, 1e-9);
      EXPECT_DOUBLE_EQ(made[2].param1, debris_param1);
    }
    EXPECT_EQ(RandomSeed, after);
    RandomSeed = after;
  }

  // Frames on which bullets left, in order.
  std::vector<int> VolleyFrames() const {
    std::vector<int> out;
    for (const FiredBullet& b : bullets)
      if (out.empty() || out.back() != b.frame) out.push_back(b.frame);
    return out;
  }
  // The same, counted from the first volley.
  std::vector<int> VolleyOffsets() const {
    std::vector<int> out = VolleyFrames();
    const int first = out.empty() ? 0 : out.front();
    for (int& f : out) f -= first;
    return out;
  }
  std::vector<FiredBullet> BulletsOn(int f) const {
    std::vector<FiredBullet> out;
    for (const FiredBullet& b : bullets)
      if (b.frame == f) out.push_back(b);
    return out;
  }
  // The bullets of `type` fired (on frame `f` only, if given).
  std::vector<FiredBullet> OfType(int type, int f = -1) const {
    std::vector<FiredBullet> out;
    for (const FiredBullet& b : bullets)
      if (b.type == type && (f < 0 || b.frame == f)) out.push_back(b);
    return out;
  }
  // The frames on which bullets among `v` left, in order.
  static std::vector<int> FramesOf(const std::vector<FiredBullet>& v) {
    std::vector<int> out;
    for (const FiredBullet& b : v)
      if (out.empty() || out.back() != b.frame) out.push_back(b.frame);
    return out;
  }
  int CountOn(int f) const { return static_cast<int>(BulletsOn(f).size()); }
  int ExplosionsOfKind(int kind) const {
    int n = 0;
    for (const Explosion& x : g_explosions) n += x.in_use == 1 && x.kind == kind;
    return n;
  }

  int frame = 0;
  std::vector<FiredBullet> bullets;
  std::vector<int> shot_sounds;
};
