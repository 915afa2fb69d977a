// The rules the pool applies to every boss-class type, whatever its script:
// which hit points a shot takes, where a phase's end leads, and which
// states count the time limits.
#include "boss_fixture.h"

namespace {

struct TypeRule {
  int type;
  int phases;
  int hp[4];
  int limits[4];  // mid-boss: one limit for its whole life
  bool mid_boss;
  double spawn_x, spawn_y;  // where its stage places it
  int death_frames;         // from the first frame of its death to its removal
};

const TypeRule kRules[] = {
    {100, 1, {22000}, {1600}, true, 180, -120, 131},
    {110, 2, {28000, 20000}, {1900}, true, 180, -88, 131},
    {120, 2, {50000, 24000}, {3200}, true, 540, 100, 131},
    {200, 2, {36000, 24000}, {4000, 3000}, false, -132, 100, 241},
    {210, 2, {64000, 40000}, {5000, 4000}, false, 180, 580, 240},
    {220, 3, {56000, 36000, 34000}, {5000, 4000, 3600}, false, 180, -160, 240},
    {230, 3, {56000, 40000, 36000}, {4000, 4000, 3600}, false, 180, -120, 240},
    {240, 3, {56000, 76000, 56000}, {5000, 5400, 5000}, false, 180, 80, 240},
    {250, 4, {48000, 48000, 48000, 48000}, {6000, 6000, 6000, 6000}, false, 180, 240, 240},
};

}  // namespace

class BossRulesTest : public BossTest {
 protected:
  // A boss of `type` standing on the field with no script, in `state`.
  EnemyObject& Place(int type, int state) {
    ResetAllEnemies();
    BossFightFlag(0);
    SpawnEnemy(180, 200, type, 0);
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == type) {
        e.life_state = state;
        e.collision_class = 0;
        e.screen_state = 1;
        return e;
      }
    return g_enemies[0];
  }
  // One pass of the pool over the boss with a 100-damage shot on it.
  static void HitOnce(EnemyObject& e) {
    ShotAt(e.x, e.y, 100);
    UpdateEnemyHitBoxes(e);
    CollideEnemyWithShots(e);
    NoShot();
  }
  static int TotalHp(const EnemyObject& e) {
    return e.phase_hp[0] + e.phase_hp[1] + e.phase_hp[2] + e.phase_hp[3];
  }
};

TEST_F(BossRulesTest, ShotsOnlyHurtTheCurrentAttackPhase) {
  for (const TypeRule& r : kRules) {
    SCOPED_TRACE(r.type);
    for (int state = 0; state <= 8; ++state) {
      EnemyObject& e = Place(r.type, state);
      const bool attack = state % 2 == 1 && (state + 1) / 2 <= r.phases;
      const int before = TotalHp(e);
      HitOnce(e);
      EXPECT_EQ(TotalHp(e), attack ? before - 100 : before) << state;
      if (attack) {
        EXPECT_EQ(e.phase_hp[(state - 1) / 2], r.hp[(state - 1) / 2] - 100);
      }
    }
  }
}

TEST_F(BossRulesTest, AnEmptiedPhaseLeadsToItsBreakOrAfterTheLastToTheDeath) {
  for (const TypeRule& r : kRules) {
    SCOPED_TRACE(r.type);
    for (int p = 1; p <= r.phases; ++p) {
      EnemyObject& e = Place(r.type, 2 * p - 1);
      BossFightFlag(1);
      e.state_timer = 55;
      e.phase_hp[p - 1] = 100;
      HitOnce(e);
      const bool last = p == r.phases;
      EXPECT_EQ(e.life_state, last ? 8 : 2 * p) << p;
      EXPECT_EQ(e.state_timer, 0);
      EXPECT_EQ(e.phase_hp[p - 1], 0);
      EXPECT_EQ(BossFightFlag(-1), last ? 0 : 1) << p;
      // The next phase starts with its own full hit points.
      if (!last) {
        EXPECT_EQ(e.phase_hp[p], r.hp[p]);
      }
    }
  }
}

TEST_F(BossRulesTest, TimeLimitsCountInAttackPhasesOrFromTheSpawnForMidBosses) {
  for (const TypeRule& r : kRules) {
    SCOPED_TRACE(r.type);
    if (r.mid_boss) {
      // Every state counts, and the run-out ends nothing by itself.
      for (int state : {0, 1, 2, 8}) {
        EnemyObject& e = Place(r.type, state);
        EXPECT_EQ(e.mid_boss_timer, r.limits[0]);
        CountBossPhaseTimers(e);
        EXPECT_EQ(e.mid_boss_timer, r.limits[0] - 1) << state;
        e.mid_boss_timer = 0;
        CountBossPhaseTimers(e);
        EXPECT_EQ(e.phase_hp[0], r.hp[0]);
        EXPECT_EQ(e.timed_out, 0);
      }
      continue;
    }
    for (int p = 1; p <= r.phases; ++p) {
      EnemyObject& e = Place(r.type, 2 * p - 1);
      EXPECT_EQ(e.phase_limits[p - 1], r.limits[p - 1]);
      // The limit counts down to 0, and one frame later the phase is over.
      e.phase_limits[p - 1] = 1;
      CountBossPhaseTimers(e);
      EXPECT_EQ(e.phase_hp[p - 1], r.hp[p - 1]);
      CountBossPhaseTimers(e);
      EXPECT_EQ(e.phase_hp[p - 1], 0);
      EXPECT_EQ(e.timed_out, 1);
      // Entry, breaks and death never count.
      for (int state : {0, 2, 4, 6, 8}) {
        EnemyObject& q = Place(r.type, state);
        const int limits[4] = {q.phase_limits[0], q.phase_limits[1], q.phase_limits[2],
                               q.phase_limits[3]};
        CountBossPhaseTimers(q);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(q.phase_limits[k], limits[k]) << state;
      }
    }
  }
}

// Through each boss's own script: every break pays three times the hit points
// of the phase just ended, the death three times the last phase's, and only
// stage bosses stop the music as they die.
TEST_F(BossRulesTest, BreaksAndDeathPayTheirBonusesAndOnlyBossesStopTheMusic) {
  EnableMusic();
  for (const TypeRule& r : kRules) {
    SCOPED_TRACE(r.type);
    ResetPools();
    InitPlayerForGame();
    g_stage.layer1_speed = 0.0;  // the stage 5 boss fights once the scroll stops
    SpawnAt(r.type, r.spawn_x, r.spawn_y, 1);
    ASSERT_LT(RunUntilState(1, 1000), 1000);
    for (int p = 1; p <= r.phases; ++p) {
      const int score = GetPlayerScore();
      Boss().phase_hp[p - 1] = 0;
      if (p < r.phases) {
        ASSERT_LT(RunUntilState(2 * p + 1, 1000), 1000) << p;
        EXPECT_EQ(GetPlayerScore() - score, 3 * r.hp[p - 1]) << p;
        continue;
      }
      ASSERT_LT(RunUntilState(8, 3), 3);
      // The death's frames run from the next pass on; each frame's log is
      // dropped by the next, so the music stops are counted as they come.
      int frames = 0, halts = 0;
      while (Boss().in_use == 1 && frames < 400) {
        Frame();
        halts += MusicHalts();
        TakeShots();
        ++frames;
      }
      EXPECT_EQ(frames, r.death_frames);
      EXPECT_EQ(GetPlayerScore() - score, 3 * r.hp[p - 1]);
      EXPECT_EQ(halts, r.mid_boss ? 0 : 1);
      EXPECT_EQ(IsStageClearSequenceActive(), r.mid_boss ? 0 : 1);
    }
  }
}
