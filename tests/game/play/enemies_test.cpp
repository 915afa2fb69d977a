#include "play/enemies.h"

#include <string>
#include <vector>

#include "play_fixture.h"

class EnemiesTest : public PlayTest {
 protected:
  // Slots holding a live enemy of `type`.
  static std::vector<int> SlotsOf(int type) {
    std::vector<int> out;
    for (const EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == type) out.push_back(e.slot);
    return out;
  }
};

TEST_F(EnemiesTest, SlotRangesFillInOrderAndRefuseWhenFull) {
  struct Case {
    int type;
    int first;
    int capacity;
  };
  const Case cases[] = {{300, 0, 50},  {305, 0, 50},  {5, 50, 50},    {240, 50, 50},
                        {37, 100, 100}, {201, 200, 100}, {200, 300, 100}, {6, 400, 11},
                        {4, 410, 20},  {1, 430, 20},  {0, 450, 50},   {250, 0, 500}};
  for (const Case& c : cases) {
    ResetAllEnemies();
    for (int i = 0; i < c.capacity; ++i) ASSERT_EQ(SpawnEnemy(0, -50, c.type, 0), 0) << c.type;
    EXPECT_EQ(SpawnEnemy(0, -50, c.type, 0), -1) << c.type;
    auto slots = SlotsOf(c.type);
    ASSERT_EQ(static_cast<int>(slots.size()), c.capacity) << c.type;
    EXPECT_EQ(slots.front(), c.first) << c.type;
  }
  // Slot 410 is shared: a type-4 enemy there leaves type 6 ten slots.
  ResetAllEnemies();
  SpawnEnemy(0, 0, 4, 0);
  EXPECT_EQ(SlotsOf(4), std::vector<int>{410});
  for (int i = 0; i < 10; ++i) EXPECT_EQ(SpawnEnemy(0, 0, 6, 0), 0);
  EXPECT_EQ(SpawnEnemy(0, 0, 6, 0), -1);
}

TEST_F(EnemiesTest, SpawnLayoutSerialsAndWrap) {
  g_flags.DifficultyMode = 3;
  SpawnEnemyWithArgs(100.0, -20.0, 0, 2, 7, 8, 9, 10);
  const EnemyObject& e = g_enemies[450];
  EXPECT_EQ(e.x, 240.0);
  EXPECT_EQ(e.left, 200.0);
  EXPECT_EQ(e.top, -60.0);
  EXPECT_EQ(e.difficulty, 1);
  EXPECT_EQ(e.variant, 2);
  EXPECT_EQ(e.draw_scale, 1.0);
  EXPECT_EQ(e.parent_slot, -1);
  EXPECT_EQ(e.part_index, -1);
  EXPECT_EQ(e.args[3], 10u);
  EXPECT_EQ(e.serial, 0);
  SpawnEnemy(0, 0, 0, 0);
  EXPECT_EQ(g_enemies[451].serial, 1);

  EnemySerialCounter = 100000;
  SpawnEnemy(0, 0, 0, 0);
  SpawnEnemy(0, 0, 0, 0);
  EXPECT_EQ(g_enemies[452].serial, 100000);
  EXPECT_EQ(g_enemies[453].serial, 0);
}

namespace {

std::vector<std::string> g_trace;

// Test script: type 16 spawns a type 0 into a higher slot range (450+) and a
// wreck into a lower one (0+) on its first frame; type 21 destroys itself.
int TraceScript(EnemyObject& e) {
  g_trace.push_back("script " + std::to_string(e.slot));
  if (e.type == 16 && e.script_counters[0]++ == 0) {
    SpawnEnemy(100, 100, 0, 0);
    SpawnEnemy(100, 100, 300, 0);
  }
  if (e.type == 21) DestroyEnemy(e);
  return 0;
}

}  // namespace

TEST_F(EnemiesTest, PassRunsHigherSpawnsAtOnceLowerOnesNextFrame) {
  g_trace.clear();
  SetEnemyScriptHookForTesting(TraceScript);
  // The spawner sits in a middle slot: a type-1 record turned into type 16.
  SpawnEnemy(100, 100, 1, 0);  // slot 430
  g_enemies[430].type = 16;
  UpdateEnemies();
  EXPECT_EQ(g_trace, (std::vector<std::string>{"script 430", "script 450"}));
  g_trace.clear();
  UpdateEnemies();
  EXPECT_EQ(g_trace, (std::vector<std::string>{"script 0", "script 430", "script 450"}));

  // An enemy destroyed by its own script runs no further step.
  ResetAllEnemies();
  g_trace.clear();
  SpawnEnemy(100, 100, 21, 0);
  UpdateEnemies();
  EXPECT_EQ(g_trace.size(), 1u);
  EXPECT_EQ(g_enemies[450].in_use, 0);
}

TEST_F(EnemiesTest, ScreenStateBoundaries) {
  // Entering: centre strictly inside the field.
  SpawnEnemy(100, 0.0, 0, 0);  // 80x80, centre y 0
  EnemyObject& e = g_enemies[450];
  UpdateEnemyScreenState(e);
  EXPECT_EQ(e.screen_state, 0);
  e.top = -40.0 + 1e-9;
  UpdateEnemyScreenState(e);
  EXPECT_EQ(e.screen_state, 1);
  // On field while touching: top exactly 480 stays.
  e.top = 480.0;
  UpdateEnemyScreenState(e);
  EXPECT_EQ(e.screen_state, 1);
  e.top = 480.0 + 1e-9;
  UpdateEnemyScreenState(e);
  EXPECT_EQ(e.screen_state, 2);
  UpdateEnemyScreenState(e);
  EXPECT_EQ(e.in_use, 0);

  // Parts never leave; a mid-boss that leaves is timed out.
  SpawnEnemy(100, 100, 201, 0);
  SpawnEnemy(100, 100, 100, 0);
  EnemyObject& part = g_enemies[200];
  EnemyObject& mid = g_enemies[300];
  for (EnemyObject* p : {&part, &mid}) {
    p->screen_state = 1;
    p->top = 2000.0;
    UpdateEnemyScreenState(*p);
  }
  EXPECT_EQ(part.screen_state, 1);
  EXPECT_EQ(mid.screen_state, 2);
  EXPECT_EQ(mid.timed_out, 1);
}

TEST_F(EnemiesTest, BossTimersCountDownAndZeroThePhase) {
  SpawnEnemy(100, 100, 100, 0);
  EnemyObject& mid = g_enemies[300];
  mid.mid_boss_timer = 2;
  for (int i = 0; i < 3; ++i) CountBossPhaseTimers(mid);
  EXPECT_EQ(mid.mid_boss_timer, 0);

  SpawnEnemy(100, 100, 200, 0);
  EnemyObject& boss = g_enemies[301];
  boss.life_state = 1;
  boss.phase_limits[0] = 2;
  CountBossPhaseTimers(boss);
  CountBossPhaseTimers(boss);
  EXPECT_EQ(boss.phase_hp[0], 36000);
  CountBossPhaseTimers(boss);  // the (L+1)-th count
  EXPECT_EQ(boss.phase_hp[0], 0);
  EXPECT_EQ(boss.timed_out, 1);
  // The hidden boss's fourth phase runs out like the others.
  SpawnEnemy(100, 100, 250, 0);
  ASSERT_EQ(SlotsOf(250).size(), 1u);
  EnemyObject& hidden = g_enemies[SlotsOf(250)[0]];
  hidden.life_state = 7;
  EXPECT_EQ(hidden.phase_limits[3], 6000);
  hidden.phase_limits[3] = 1;
  CountBossPhaseTimers(hidden);
  EXPECT_EQ(hidden.phase_hp[3], 48000);
  CountBossPhaseTimers(hidden);
  EXPECT_EQ(hidden.phase_hp[3], 0);
  EXPECT_EQ(hidden.timed_out, 1);
}

TEST_F(EnemiesTest, MessagesNeedALinkedSenderAndAValidTarget) {
  SpawnEnemy(100, 100, 200, 0);  // parent in slot 300
  SpawnEnemyAnySlot(0, 0, 201, 0, 300, 1, g_enemies[300].serial);
  EXPECT_EQ(g_enemies[300].message[1], 0);  // the part took slot 0
  SpawnEnemyAnySlot(0, 0, 202, 0, 300, 2, g_enemies[300].serial);
  EXPECT_EQ(g_enemies[300].message[2], 1);

  // A part spawned through its range has no parent: nothing is written.
  EXPECT_EQ(SpawnEnemy(0, 0, 201, 0), 0);
  const EnemyObject& orphan = g_enemies[200];
  EXPECT_EQ(orphan.linked, 1);
  EXPECT_EQ(SendEnemyMessage(orphan, 5, -1, -1), -1);
  EXPECT_EQ(SendEnemyMessage(orphan, 5, 300, 8), -1);
  EXPECT_EQ(SendEnemyMessage(orphan, 5, 500, 0), -1);
  EXPECT_EQ(SendEnemyMessage(g_enemies[300], 5, 300, 0), -1);  // not linked

  // KillEnemiesOfParent removes the parts without payout.
  KillEnemiesOfParent(0, 300);
  EXPECT_EQ(g_enemies[0].in_use, 0);
  EXPECT_EQ(g_enemies[1].in_use, 0);
  EXPECT_EQ(g_enemies[300].in_use, 1);
}

TEST_F(EnemiesTest, MoveToPointSnapsWithinReachElseSetsVelocity) {
  SpawnEnemy(100, 100, 0, 0);  // centre (240, 100)
  EnemyObject& e = g_enemies[450];
  double x = e.x, y = e.y;
  EXPECT_EQ(MoveEnemyToPoint(e, &x, &y, 100, 105, 4.0), 1);  // 5 px away
  EXPECT_EQ(x, 240.0);
  EXPECT_EQ(y, 105.0);
  EXPECT_EQ(MoveEnemyToPoint(e, &x, &y, 100, 200, 0.0), 0);
  EXPECT_EQ(MoveEnemyToPoint(e, &x, &y, 100, 200, 3.0), 0);
  EXPECT_NEAR(e.vx, 0.0, 1e-9);
  EXPECT_NEAR(e.vy, 3.0, 1e-9);

  double px = 0, py = 0, vx = 0, vy = 0;
  EXPECT_EQ(MovePointToPoint(&px, &py, &vx, &vy, 30, 40, 5.0), 0);
  EXPECT_NEAR(vx, 3.0, 1e-6);
  EXPECT_NEAR(vy, 4.0, 1e-6);
  EXPECT_EQ(MovePointToPoint(&px, &py, &vx, &vy, 3, 4, 4.0), 1);
  EXPECT_EQ(vx, 0.0);
}

TEST_F(EnemiesTest, ItemDropTerminatesForHugeCounts) {
  SpawnEnemy(100, 100, 0, 0);
  EXPECT_EQ(DropEnemyItems(g_enemies[450], 1000, 0), 0);
}

TEST_F(EnemiesTest, SmallGaugeWidthAnchorAndLifetime) {
  SpawnEnemy(100, 200, 8, 0);  // 2400 HP, gauge
  EnemyObject& e = g_enemies[400];
  e.hp = 1;
  e.gauge_frames = 2;
  DrawEnemyGauge(e);
  auto parts = kesto_fake::CallsNamed("BlitGraphicPart");
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].iarg(0), 240 - 28);
  EXPECT_EQ(parts[0].iarg(1), 200 - 32 - 2);
  EXPECT_EQ(parts[0].iarg(4), 56);
  EXPECT_EQ(parts[1].iarg(4), 0);  // 1 of 2400: no fill, still drawn
  EXPECT_EQ(Sprites().size(), 1u);
  EXPECT_EQ(e.gauge_frames, 1);

  e.hp = 1200;
  g_flags.GamePaused = 1;
  ClearLog();
  DrawEnemyGauge(e);
  EXPECT_EQ(kesto_fake::CallsNamed("BlitGraphicPart")[1].iarg(4), 28);
  EXPECT_EQ(e.gauge_frames, 1);
  g_flags.GamePaused = 0;
  DrawEnemyGauge(e);
  ClearLog();
  DrawEnemyGauge(e);
  EXPECT_TRUE(kesto_fake::CallsNamed("BlitGraphicPart").empty());
}
