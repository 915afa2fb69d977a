#include "play/enemy_types.h"

#include <set>

#include "play/enemies.h"
#include "play_fixture.h"

class EnemyTypesTest : public PlayTest {
 protected:
  EnemyObject& Spawn(int type, int variant = 0) {
    EXPECT_EQ(SpawnEnemy(100, 100, type, variant), 0);
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == type) return e;
    return g_enemies[0];
  }
};

// Every row spawns with its numbers; the per-flag type lists of the spawn
// rules are checked against the rows, so a slip in either shows.
TEST_F(EnemyTypesTest, EveryRegularRowAgainstTheFlagLists) {
  const std::set<int> gauge = {4, 5, 6, 8, 11, 14, 17, 19, 20, 26, 27, 28, 30, 35, 36, 37, 201, 202};
  const std::set<int> dying = {5, 6, 14, 19, 20, 27, 32, 36};
  const std::set<int> cancel = {5, 6, 14, 19, 20, 27, 36, 37, 201, 202};
  const std::set<int> class2 = {5, 7, 9, 13, 18, 19, 23, 24, 25, 27, 31, 34, 220};
  const std::set<int> class1 = {32, 33, 210, 240, 250, 300, 301, 302, 303, 304, 305};
  std::set<int> seen;
  for (const EnemyTypeRow& row : RegularEnemyTypeRows()) {
    ResetAllEnemies();
    seen.insert(row.type);
    const EnemyObject& e = Spawn(row.type);
    SCOPED_TRACE(row.type);
    EXPECT_EQ(e.width, row.width);
    EXPECT_EQ(e.height, row.height);
    EXPECT_EQ(e.hp, row.max_hp);
    EXPECT_EQ(e.kill_score, 3 * row.max_hp);
    EXPECT_EQ(e.items, row.items);
    EXPECT_EQ(e.boss_kind, 0);
    EXPECT_EQ(e.gauge_flag, gauge.count(row.type) ? 1 : 0);
    EXPECT_EQ(e.dying_flag, dying.count(row.type) ? 1 : 0);
    EXPECT_EQ(e.cancel_on_death, cancel.count(row.type) ? 1 : 0);
    EXPECT_EQ(e.collision_class, class2.count(row.type) ? 2 : class1.count(row.type) ? 1 : 0);
  }
  for (int t = 0; t <= 37; ++t) EXPECT_EQ(seen.count(t), 1u) << t;
  for (int t : {101, 201, 202, 300, 301, 302, 303, 304}) EXPECT_EQ(seen.count(t), 1u) << t;
}

TEST_F(EnemyTypesTest, BossRowsPhasesBonusesLimits) {
  const std::set<int> class1 = {210, 240, 250};
  for (const BossTypeRow& row : BossTypeRows()) {
    ResetAllEnemies();
    BossFightFlag(0);
    BossGaugeShown = 0;
    const EnemyObject& e = Spawn(row.type);
    SCOPED_TRACE(row.type);
    EXPECT_EQ(e.boss_kind, (row.type < 200) ? 1 : 2);
    EXPECT_EQ(e.kill_score, 0);
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(e.phase_hp[k], row.phase_hp[k]);
      EXPECT_EQ(e.phase_bonus[k], 3 * row.phase_hp[k]);
    }
    EXPECT_EQ(e.boss_kind == 1 ? e.mid_boss_timer : e.phase_limits[0], row.limits[0]);
    EXPECT_EQ(e.items, row.boss_kind == 1 ? 36 : 40);
    EXPECT_EQ(e.collision_class, row.type == 220 ? 2 : class1.count(row.type) ? 1 : 0);
    EXPECT_EQ(BossGaugeShown, 1);
    EXPECT_EQ(BossFightFlag(-1), 1);
  }
}

TEST_F(EnemyTypesTest, SpecialRows) {
  EXPECT_EQ(Spawn(4, 0).hp, 1200);
  ResetAllEnemies();
  const EnemyObject& big = Spawn(4, 2);
  EXPECT_EQ(big.hp, 1600);
  EXPECT_EQ(big.kill_score, 4800);

  const EnemyObject& mid = Spawn(110);
  EXPECT_EQ(mid.phase_hp[0] + mid.phase_hp[1], 48000);
  const EnemyObject& extra = Spawn(250);
  EXPECT_EQ(extra.phase_bonus[3], 144000);
  EXPECT_EQ(extra.phase_limits[3], 6000);

  const EnemyObject& wreck = Spawn(305);
  EXPECT_EQ(wreck.collision_class, 1);
  EXPECT_EQ(wreck.width, 0.0);
  EXPECT_EQ(wreck.items, 0);
  const EnemyObject& unknown = Spawn(77);
  EXPECT_EQ(unknown.collision_class, 0);
  EXPECT_EQ(unknown.hp, 0);
}
