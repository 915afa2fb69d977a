// The bullet, shot and item passes walk every slot every frame, the cancel
// erases whole pools: these keep an eye on a busy frame's cost.
#include <benchmark/benchmark.h>

#include "play/bullet_cancel.h"
#include "play/enemy_bullets.h"
#include "play/items.h"
#include "play/player.h"
#include "play/player_shots.h"
#include "shell/game_flags.h"

static void BM_EnemyBulletPassFull(benchmark::State& state) {
  g_flags.DifficultyMode = 3;
  for (auto _ : state) {
    state.PauseTiming();
    ResetAllEnemyBullets();
    for (int i = 0; i < kEnemyBulletSlots; ++i)
      FireEnemyBullet(200 + i % 200, 100 + i % 300, i % 13, i % 360, 0.5, 0);
    state.ResumeTiming();
    UpdateEnemyBullets();
  }
}
BENCHMARK(BM_EnemyBulletPassFull);

static void BM_ItemPassFull(benchmark::State& state) {
  InitPlayerForGame();
  ResetPlayerForStage();
  for (auto _ : state) {
    state.PauseTiming();
    ResetAllItems();
    for (int i = 0; i < kItemSlots; ++i) SpawnItem(150 + i % 340, 20 + i % 400, i % 6, 90, 1.0);
    state.ResumeTiming();
    UpdateItems();
  }
}
BENCHMARK(BM_ItemPassFull);

static void BM_ShotPassFull(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    ResetAllPlayerShots();
    for (int i = 0; i < kPlayerShotSlots; ++i) SpawnPlayerShot(150 + i % 340, 470, (i % 5) * 20, 270, 13, 0);
    state.ResumeTiming();
    UpdatePlayerShots();
  }
}
BENCHMARK(BM_ShotPassFull);

static void BM_CancelFullPool(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    ResetAllEnemyBullets();
    ResetAllItems();
    ResetAllBulletCancelSlots();
    for (int i = 0; i < kEnemyBulletSlots; ++i) FireEnemyBullet(200 + i % 200, 100 + i % 300, 0, 90, 1, 0);
    StartBulletCancel(0, 1);
    state.ResumeTiming();
    UpdateBulletCancel();
  }
}
BENCHMARK(BM_CancelFullPool);
