// Every play-object test starts from program-start state: the recording
// library cleared, the game's globals and pools zeroed and the pictures cut.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "play/bullet_cancel.h"
#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/explosions.h"
#include "play/items.h"
#include "play/player.h"
#include "play/player_shots.h"
#include "play/score_popups.h"
#include "play/stage.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "support/kesto_fake/kesto_fake.h"

class PlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kesto_fake::Reset();
    g_flags = GameFlags{};
    g_slow_motion = SlowMotion{};
    RandomSeed = 10;
    ForgetLoadedImagesForTesting();
    LoadAllImages();
    ResetAllExplosions();
    ResetAllScorePopups();
    ResetAllEnemies();
    ResetAllItems();
    ResetAllEnemyBullets();
    ResetAllPlayerShots();
    ResetAllBulletCancelSlots();
    InitPlayerForGame();
    ResetStageObject();
    BossGaugeShown = 0;
    SetEnemyScriptHookForTesting(nullptr);
    ClearLog();
  }
  void TearDown() override { SetEnemyScriptHookForTesting(nullptr); }

  kesto_fake::State& fake() { return kesto_fake::state(); }
  const kesto_fake::Graphic& G(int handle) {
    return fake().graphics.at(static_cast<size_t>(handle));
  }
  // Sprite draws since the last ClearLog, in order.
  std::vector<kesto_fake::Call> Sprites() {
    return kesto_fake::CallsNamed("BlitGraphicScaledRotated");
  }
  void ClearLog() { fake().calls.clear(); }
  // Number of generator steps between two seeds (small counts only).
  static int DrawsBetween(uint32_t from, uint32_t to) {
    for (int n = 0; n < 64; ++n) {
      if (from == to) return n;
      from = from * 48828125u + 1u;
    }
    return -1;
  }
};
