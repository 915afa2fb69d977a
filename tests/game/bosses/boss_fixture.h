// Boss tests run the real enemy pass with the recording library: fired
// bullets are read from the bullet pool, sound effects from the recorded
// sound starts (each effect number gets its own fake handle).
#pragma once

#include <vector>

#include "../play/play_fixture.h"
#include "bosses/boss_common.h"
#include "bosses/bosses.h"
#include "play/stage_clear.h"
#include "screens/config.h"
#include "shell/sound_bank.h"

class BossTest : public PlayTest {
 protected:
  static constexpr int kSoundHandleBase = 1000;

  void SetUp() override {
    PlayTest::SetUp();
    ResetStageClearSequence();
    g_config = GameConfig{};
    g_config.enemy_shot_se = 1;
    g_config.se_volume = 100;
    for (int n = 0; n < kSoundBankSize; ++n) g_sound_bank[n] = kSoundHandleBase + n;
  }

  struct Shot {
    int type;
    double x, y, angle, speed, param1;
    uint32_t owner;
  };

  // Bullets fired since the last call, in slot order (= firing order), and the
  // pool emptied again.
  static std::vector<Shot> TakeShots() {
    std::vector<Shot> out;
    for (EnemyBullet& b : g_enemy_bullets) {
      if (b.in_use != 1) continue;
      out.push_back({b.type, b.centre_x, b.centre_y, b.angle, b.speed, b.param1, b.owner});
    }
    ResetAllEnemyBullets();
    return out;
  }

  // Sound-effect numbers played since the log was last cleared.
  std::vector<int> Sounds() {
    std::vector<int> out;
    for (const auto& c : kesto_fake::CallsNamed("StartSoundHandle"))
      out.push_back(c.iarg(0) - kSoundHandleBase);
    return out;
  }
  int CountSound(int n) {
    int count = 0;
    for (int s : Sounds()) count += s == n ? 1 : 0;
    return count;
  }
  static int CountExplosions(int kind) {
    int count = 0;
    for (const Explosion& x : g_explosions) count += (x.in_use == 1 && x.kind == kind) ? 1 : 0;
    return count;
  }
  static int CountEnemies(int type) {
    int count = 0;
    for (const EnemyObject& e : g_enemies) count += (e.in_use == 1 && e.type == type) ? 1 : 0;
    return count;
  }
};
