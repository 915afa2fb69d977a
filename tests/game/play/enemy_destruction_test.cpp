#include "play/stage_clear.h"
#include "play/enemies.h"
#include "play_fixture.h"

class EnemyDestructionTest : public PlayTest {
 protected:
  EnemyObject& Place(int type, double cx, double cy, int variant = 0) {
    SpawnEnemy(cx - 140.0, cy, type, variant);
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == type) return e;
    return g_enemies[0];
  }
  static int Count(int type) {
    int n = 0;
    for (const EnemyObject& e : g_enemies) n += (e.in_use == 1 && e.type == type);
    return n;
  }
  static int LiveExplosions() {
    int n = 0;
    for (const Explosion& x : g_explosions) n += x.in_use;
    return n;
  }
  static uint32_t Advance(uint32_t seed, int n) {
    for (int i = 0; i < n; ++i) seed = seed * 48828125u + 1u;
    return seed;
  }
};

TEST_F(EnemyDestructionTest, OffFieldRemovalPaysNothing) {
  g_flags.DifficultyMode = 2;
  EnemyObject& e = Place(0, 300, 200);
  e.screen_state = 2;
  uint32_t seed = RandomSeed;
  EXPECT_EQ(DestroyEnemy(e), 0);
  EXPECT_EQ(e.in_use, 0);
  EXPECT_EQ(LiveExplosions(), 0);
  EXPECT_EQ(RandomSeed, seed);
  EXPECT_EQ(DestroyEnemy(e), -1);
}

// Wrecks and containers left behind, with their random draws.
TEST_F(EnemyDestructionTest, WreckAndContainerTable) {
  struct Case {
    int type;
    int variant;
    int wrecks300;
    int wrecks302;
    int containers;
  };
  const Case cases[] = {{7, 0, 1, 0, 0},  {25, 0, 1, 0, 1}, {5, 0, 0, 7, 1},  {19, 0, 0, 7, 1},
                        {220, 0, 0, 14, 0}, {13, 0, 0, 1, 0}, {13, 1, 0, 1, 1}, {34, 1, 0, 1, 1},
                        {37, 0, 0, 1, 1}, {27, 0, 0, 1, 1}, {0, 0, 0, 0, 0}};
  for (const Case& c : cases) {
    ResetAllEnemies();
    ResetAllExplosions();
    EnemyObject& e = Place(c.type, 300, 200, c.variant);
    e.screen_state = 1;
    DestroyEnemy(e);
    EXPECT_EQ(Count(300), c.wrecks300) << c.type;
    EXPECT_EQ(Count(302), c.wrecks302) << c.type;
    EXPECT_EQ(Count(32), c.containers) << c.type;
  }
  // Type 37 leaves both 32 px below its centre.
  ResetAllEnemies();
  EnemyObject& e = Place(37, 300, 200);
  e.screen_state = 1;
  DestroyEnemy(e);
  for (const EnemyObject& w : g_enemies)
    if (w.in_use == 1) {
      EXPECT_EQ(w.y, 232.0);
    }
}

TEST_F(EnemyDestructionTest, MidBossAndBossOutcomes) {
  EnemyObject& mid = Place(110, 300, 200);
  mid.screen_state = 1;
  DestroyEnemy(mid);
  EXPECT_EQ(g_stage.mid_boss_down, 1);
  EXPECT_EQ(BossFightFlag(-1), 0);
  EXPECT_EQ(BossGaugeShown, 0);

  // Boss 240 on HELL in stage 5 without a continue brings out the extra boss.
  g_flags.DifficultyMode = 2;
  g_flags.StageNumber = 5;
  EnemyObject& boss = Place(240, 300, 100);
  boss.screen_state = 1;
  DestroyEnemy(boss);
  EXPECT_EQ(SecretBossFlag(-1), 1);
  ASSERT_EQ(Count(250), 1);
  for (const EnemyObject& w : g_enemies)
    if (w.in_use == 1 && w.type == 250) {
      EXPECT_EQ(w.y, 280.0);
    }
  EXPECT_EQ(BossGaugeShown, 1);  // a stage boss leaves it up

  // Boss practice 20 takes the ordinary path.
  ResetStageObject();
  ResetAllEnemies();
  g_flags.StageNumber = 20;
  EnemyObject& practice = Place(240, 300, 100);
  DestroyEnemy(practice);
  EXPECT_EQ(SecretBossFlag(-1), 0);
  EXPECT_EQ(Count(250), 0);
}

TEST_F(EnemyDestructionTest, DeathEffectCountsPerGroup) {
  struct Case {
    int type;
    int explosions;
  };
  const Case cases[] = {{0, 11}, {9, 11},  {1, 16},  {101, 16}, {201, 16}, {4, 16},
                        {5, 40}, {26, 40}, {200, 79}, {240, 98}, {32, 0},  {300, 0}};
  for (const Case& c : cases) {
    ResetAllEnemies();
    ResetAllExplosions();
    ClearLog();
    EnemyObject& e = Place(c.type, 300, 200);
    PlayEnemyDeathEffects(e);
    EXPECT_EQ(LiveExplosions(), c.explosions) << c.type;
  }
}

// A type-0 death draws 4 (sparks) + 12 (debris) numbers at once, and its 11
// fresh explosions take 1 + 4 + 12 more... in the draw pass: 1 for kind 50,
// 1 each for the 4 sparks, 2 each for the 6 debris bits.
TEST_F(EnemyDestructionTest, RandomDrawAccountingOfAType0Death) {
  RandomSeed = 99;
  EnemyObject& e = Place(0, 300, 200);
  e.screen_state = 1;
  DestroyEnemy(e);
  EXPECT_EQ(RandomSeed, Advance(99, 16));
  DrawAllExplosions();
  EXPECT_EQ(RandomSeed, Advance(99, 16 + 1 + 4 + 12));

  // Standing still, its heading burst flies at angle 0.
  EXPECT_EQ(g_explosions[0].kind, 50);
  EXPECT_EQ(g_explosions[0].angle, 0.0);
}

TEST_F(EnemyDestructionTest, ScatterStaysInsideHalfTheSizeAndStartsSlowMotion) {
  EnemyObject& e = Place(37, 300, 200);  // 200x200
  PlayEnemyDeathEffects(e);
  for (const Explosion& x : g_explosions) {
    if (x.in_use != 1 || x.kind != 122) continue;
    EXPECT_LE(std::abs(x.x - 300.0), 99.0);
    EXPECT_LE(std::abs(x.y - 200.0), 99.0);
  }
  EXPECT_EQ(g_slow_motion.active, 0);
  EnemyObject& boss = Place(200, 300, 200);
  boss.width = 1.0;  // a script shrank it: no trap, no sideways scatter
  PlayEnemyDeathEffects(boss);
  EXPECT_EQ(g_slow_motion.frames_left, 60);
}

// With no room left for the extra boss the stage clear starts instead, so
// the stage still ends.
TEST_F(EnemyDestructionTest, ExtraBossWithoutRoomFallsBackToTheStageClear) {
  ResetStageClearSequence();
  g_flags.DifficultyMode = 2;
  g_flags.StageNumber = 5;
  EnemyObject& boss = Place(240, 300, 100);
  while (SpawnEnemy(0, 0, 36, 0) == 0) {
  }
  DestroyEnemy(boss);
  EXPECT_EQ(Count(250), 0);
  EXPECT_EQ(SecretBossFlag(-1), 1);
  EXPECT_EQ(IsStageClearSequenceActive(), 1);
}
