// Runs enemies through the real enemy pass (velocity, script, hit boxes,
// screen state) and the draw pass, and records what each frame fired: the
// bullets it made and the enemy-shot sounds it played. SetUp may run again
// inside a test to start each case of a table afresh.
#pragma once

#include <algorithm>
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
