// A crowded stage 1 frame on HELL: the enemy pass with forty small craft,
// twenty ground guns and one of every other stage 1 type.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/explosions.h"
#include "play/player.h"
#include "shell/game_flags.h"

static void BM_Stage1EnemyPass(benchmark::State& state) {
  g_flags.DifficultyMode = 2;
  g_flags.StageNumber = 1;
  InitPlayerForGame();
  ResetPlayerForStage();
  ResetAllEnemies();
  for (int i = 0; i < 40; ++i) SpawnEnemy(10 + (i % 20) * 17, 40 + (i / 20) * 60, 0, i % 2);
  for (int i = 0; i < 20; ++i) SpawnEnemy(20 + i * 16, 200, 9, 0);
  for (int type : {1, 2, 3, 4, 5, 6, 8, 10}) SpawnEnemy(180, 150, type, 0);
  for (EnemyObject& e : g_enemies) e.screen_state = e.in_use;
  // Each pass starts from the same crowd: nobody leaves the field or dies out.
  static EnemyObject crowd[kEnemyCount];
  std::copy(g_enemies, g_enemies + kEnemyCount, crowd);
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(crowd, crowd + kEnemyCount, g_enemies);
    ResetAllEnemyBullets();
    ResetAllExplosions();
    state.ResumeTiming();
    UpdateEnemies();
  }
}
BENCHMARK(BM_Stage1EnemyPass);
