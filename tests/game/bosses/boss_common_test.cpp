#include "bosses/boss_common.h"

#include <cmath>

#include "boss_fixture.h"
#include "play/items.h"
#include "play/stage_clear.h"

class BossCommonTest : public BossTest {
 protected:
  EnemyObject& PlaceBoss(int type, double x = 180.0, double y = 200.0) {
    EXPECT_EQ(SpawnEnemy(x, y, type, 0), 0);
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == type) return e;
    return g_enemies[0];
  }

  struct DeathRun {
    std::vector<int> explosion_frames;  // t of each frame with sound 20
    std::vector<int> draws;             // random draws of each explosion frame
    int flash_frame = -1;
    int calls = 0;                      // calls until destroyed (1-based)
    int halts = 0;
  };
  // Runs the death frames of `e` (life state 8) until it is destroyed.
  DeathRun RunDeath(EnemyObject& e, bool mid_boss, bool count_first) {
    DeathRun run;
    const int slot = e.slot;
    for (int call = 1; call <= 400; ++call) {
      ClearLog();
      ResetAllExplosions();
      const int t = e.state_timer;
      const uint32_t seed = RandomSeed;
      const double cx = e.x, cy = e.y;
      int done = mid_boss ? RunMidBossDeathFrame(g_enemies[slot], count_first)
                          : RunBossDeathFrame(g_enemies[slot], count_first);
      run.halts += static_cast<int>(kesto_fake::CallsNamed("HaltMusic").size());
      if (done == 1) {
        run.calls = call;
        break;
      }
      if (CountSound(20) == 1) {
        run.explosion_frames.push_back(t);
        run.draws.push_back(DrawsBetween(seed, RandomSeed));
        // The two blasts mirror each other through the centre.
        const Explosion* a = nullptr;
        const Explosion* b = nullptr;
        for (const Explosion& x : g_explosions) {
          if (x.in_use == 1 && x.kind == 52) a = &x;
          if (x.in_use == 1 && x.kind == 55) b = &x;
        }
        EXPECT_TRUE(a && b) << t;
        if (a && b) {
          EXPECT_EQ(a->x + b->x, 2 * cx) << t;
          EXPECT_EQ(a->y + b->y, 2 * cy) << t;
        }
        EXPECT_EQ(CountExplosions(122), 1) << t;
      }
      if (CountExplosions(110) == 1) run.flash_frame = t;
    }
    return run;
  }
};

TEST_F(BossCommonTest, BossDeathSequenceTimingDrawsAndPay) {
  struct Case {
    bool timed_out;
    bool count_first;
    int calls;
    int score;
    int items;
  };
  // Boss 200: the death bonus is three times phase 2's hit points.
  const Case cases[] = {{false, false, 241, 72000, 41},
                        {false, true, 240, 72000, 41},
                        {true, false, 241, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count_first * 10 + c.timed_out);
    ResetAllEnemies();
    ResetAllItems();
    ResetAllBulletCancelSlots();
    InitPlayerForGame();
    ResetStageClearSequence();
    EnemyObject& e = PlaceBoss(200);
    e.screen_state = 1;
    e.life_state = 8;
    e.timed_out = c.timed_out ? 1 : 0;
    DeathRun run = RunDeath(e, false, c.count_first);
    EXPECT_EQ(run.calls, c.calls);
    ASSERT_EQ(run.explosion_frames.size(), 40u);
    for (size_t i = 0; i < run.explosion_frames.size(); ++i) {
      EXPECT_EQ(run.explosion_frames[i], static_cast<int>(5 * i));
      EXPECT_EQ(run.draws[i], 8);
    }
    EXPECT_EQ(run.flash_frame, 200);
    EXPECT_EQ(run.halts, 1);
    EXPECT_EQ(CountEnemies(200), 0);
    EXPECT_EQ(GetPlayerScore(), c.score);
    EXPECT_EQ(g_bullet_cancels[0].active, c.timed_out ? 0u : 1u);
    // 40 items lay a ring of 41 (360 / 40 leaves no remainder: 9 degrees x 40).
    EXPECT_EQ(ItemsAlive() > 0, c.items > 0);
    EXPECT_EQ(IsStageClearSequenceActive(), 1);
  }
}

TEST_F(BossCommonTest, MidBossDeathIsShorterQuietAndWithoutFlash) {
  EnemyObject& e = PlaceBoss(110);
  e.screen_state = 1;
  e.life_state = 8;
  DeathRun run = RunDeath(e, true, false);
  EXPECT_EQ(run.calls, 131);
  ASSERT_EQ(run.explosion_frames.size(), 18u);
  EXPECT_EQ(run.explosion_frames.back(), 85);
  EXPECT_EQ(run.flash_frame, -1);
  EXPECT_EQ(run.halts, 0);
  EXPECT_EQ(IsStageClearSequenceActive(), 0);
  EXPECT_EQ(g_stage.mid_boss_down, 1);
}

TEST_F(BossCommonTest, PartsAreFoundOnlyWhenTheyStillBelongToTheBoss) {
  EnemyObject& boss = PlaceBoss(200);
  // Before any part exists the message words read slot 0: a wreck there is
  // not a part.
  SpawnEnemy(0, 0, 300, 0);
  ASSERT_EQ(g_enemies[0].type, 300);
  EXPECT_EQ(FindBossPart(boss, 0, 201), nullptr);
  DestroyEnemy(g_enemies[0]);

  SpawnEnemyAnySlot(0, 100, 201, 0, boss.slot, 0, boss.serial);
  SpawnEnemyAnySlot(0, 100, 202, 0, boss.slot, 1, boss.serial);
  EnemyObject* left = FindBossPart(boss, 0, 201);
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(left->slot, boss.message[0]);
  EXPECT_NE(FindBossPart(boss, 1, 202), nullptr);
  EXPECT_EQ(FindBossPart(boss, 1, 201), nullptr);  // wrong type for the index
  EXPECT_EQ(FindBossPart(boss, 8, 201), nullptr);  // no such message word

  // The left part (index 0) is shot down and a wreck takes its slot.
  const int part_slot = left->slot;
  DestroyEnemy(*left);
  SpawnEnemy(0, 0, 300, 0);
  ASSERT_EQ(g_enemies[part_slot].type, 300);
  EXPECT_EQ(FindBossPart(boss, 0, 201), nullptr);

  // A part of an earlier boss of the same slot is not this boss's.
  EnemyObject* right = FindBossPart(boss, 1, 202);
  ASSERT_NE(right, nullptr);
  right->parent_serial = boss.serial + 1;
  EXPECT_EQ(FindBossPart(boss, 1, 202), nullptr);
}

TEST_F(BossCommonTest, PartsLeaveUnpaidWithTheirParentHoweverItGoes) {
  EnemyObject& mid = PlaceBoss(100, 180, 100);
  for (int i = 0; i < 2; ++i) SpawnEnemyAnySlot(0, 100, 101, 0, mid.slot, i, mid.serial);
  // An unrelated part whose parent is elsewhere stays.
  SpawnEnemyAnySlot(0, 100, 101, 0, 399, 0, 12345);
  for (EnemyObject& e : g_enemies)
    if (e.in_use == 1 && e.type == 101) e.screen_state = 1;
  ASSERT_EQ(CountEnemies(101), 3);
  // Timed out and flown off the top: removed off the field.
  mid.screen_state = 2;
  mid.timed_out = 1;
  DestroyEnemy(mid);
  EXPECT_EQ(CountEnemies(101), 1);
  EXPECT_EQ(GetPlayerScore(), 0);
  EXPECT_EQ(ItemsAlive(), 0);
}

TEST_F(BossCommonTest, MotionsFinishWithTheirCodeAndClearTheTimer) {
  EnemyObject& e = PlaceBoss(200, 180, 300);
  // A rise from -3 that slows by 0.04 a frame: about 75 frames, ~112 px.
  e.move_state = 3;
  int frames = 0;
  const double y0 = e.y;
  while (e.move_state == 3 && frames < 200) {
    RunBossVerticalBrake(e, -3.0, 0.04, -1);
    e.y += e.vy;
    ++frames;
  }
  EXPECT_EQ(e.move_state, -1);
  EXPECT_NEAR(frames, 75, 1);
  EXPECT_EQ(e.vy, 0.0);
  EXPECT_EQ(BossMoveTimer(e), 0);
  EXPECT_NEAR(y0 - e.y, 3.0 * 75 / 2, 3.0);
  // A sink from +2 brakes the same way.
  e.move_state = 7;
  RunBossVerticalBrake(e, 2.0, -0.5, -7);
  EXPECT_EQ(e.vy, 1.5);
  for (int i = 0; i < 3; ++i) RunBossVerticalBrake(e, 2.0, -0.5, -7);
  EXPECT_EQ(e.move_state, -7);
  EXPECT_EQ(e.vy, 0.0);

  // Sway: the timer is the phase, in whole degrees.
  BossMoveTimer(e) = 30;
  RunBossSway(e, 2.0, 1, 0.3, 3);
  EXPECT_EQ(e.vx, 2.0 * CosDeg(30));
  EXPECT_EQ(e.vy, 0.3 * SinDeg(90));
  EXPECT_EQ(BossMoveTimer(e), 31);

  // Go-to: velocity toward the point, then a snap with the code.
  e.x = 140 + 100;
  e.y = 120;
  BossMoveTimer(e) = 9;
  RunBossMoveToPoint(e, 180, 120, 6.0, -1);
  EXPECT_EQ(e.vx, 6.0);
  EXPECT_EQ(BossMoveTimer(e), 9);
  e.x = 140 + 175;
  RunBossMoveToPoint(e, 180, 120, 6.0, -4);
  EXPECT_EQ(e.x, 320.0);
  EXPECT_EQ(e.vx, 0.0);
  EXPECT_EQ(e.move_state, -4);
  EXPECT_EQ(BossMoveTimer(e), 0);
}

TEST_F(BossCommonTest, StepsEndOnTheirFrameClearTheGunsAndCannotBeOverrun) {
  EnemyObject& e = PlaceBoss(200);
  e.gun_counter[3] = 7;
  e.gun_x[3] = 55.0;
  int ends = 0;
  for (int frame = 0; frame < 500; ++frame) ends += CountBossStep(e, 500) ? 1 : 0;
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(e.state_timer, 0);
  EXPECT_EQ(e.gun_counter[3], 0);
  EXPECT_EQ(e.gun_x[3], 55.0);
  // A step entered with its timer already past the end finishes at once.
  e.state_timer = 640;
  EXPECT_TRUE(CountBossStep(e, 500));

  // A script-made phase change restarts the timer.
  e.state_timer = 77;
  SetBossLifeState(e, 3);
  EXPECT_EQ(e.life_state, 3);
  EXPECT_EQ(e.state_timer, 0);
}

namespace {
int g_called = -1;
void SetH(EnemyObject&) { g_called = 0; }
void SetO(EnemyObject&) { g_called = 1; }
void SetX(EnemyObject&) { g_called = 2; }
}  // namespace

TEST_F(BossCommonTest, DifficultyPicksTheSetAndOddValuesFireNothing) {
  static constexpr BossPattern kSets[3] = {SetH, SetO, SetX};
  EnemyObject& e = PlaceBoss(200);
  for (int d : {0, 1, 2, 3, -1}) {
    g_called = -1;
    e.difficulty = d;
    RunBossPattern(e, kSets);
    EXPECT_EQ(g_called, d >= 0 && d <= 2 ? d : -1) << d;
  }
}

TEST_F(BossCommonTest, TheLookReachesBothTheHitBoxesAndTheDrawing) {
  EnemyObject& e = PlaceBoss(210, 180, 200);
  auto body_row = [this, &e]() {
    ClearLog();
    DrawEnemy(e);
    int row = -1;
    for (const auto& c : kesto_fake::CallsNamed("BlitGraphicScaledRotated")) {
      const auto& g = G(c.iarg(4));
      if (G(g.parent).path == "bmp/emy210.dat") row = g.y / 200;
    }
    return row;
  };
  UpdateEnemyHitBoxes(e);
  EXPECT_EQ(e.box_right[0] - e.box_left[0], 240.0);
  EXPECT_EQ(body_row(), 0);
  SetBossLook(e, 1);
  UpdateEnemyHitBoxes(e);
  EXPECT_EQ(e.box_right[0] - e.box_left[0], 128.0);
  EXPECT_EQ(body_row(), 2);
}
