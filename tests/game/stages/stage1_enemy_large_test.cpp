#include <cmath>
#include <cstdlib>

#include "enemy_script_fixture.h"

namespace {

using LargeEnemyTest = EnemyScriptTest;

// ---- type 5 ----

struct Type5Case {
  int mode;
  int side_bullets;
  int burst_bullets;
  double last_burst_speed;
};

TEST_F(LargeEnemyTest, Type5FiresThreeSideVolleysAndOneBurstPerSeventyFiveFrames) {
  const Type5Case cases[] = {
      {0, 6, 15, 4 / 4.0 + 1.5}, {1, 6, 30, 5 / 4.0 + 2.0}, {2, 30, 63, 8 / 4.0 + 2.0}};
  for (const Type5Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(5, 0, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    Run(110);
    // Frame 0 only switches the life state on.
    const std::vector<int> expect = {1, 6, 11, 31, 76, 81, 86, 106};
    EXPECT_EQ(VolleyFrames(), expect) << c.mode;
    EXPECT_EQ(shot_sounds, expect);
    EXPECT_EQ(CountOn(1), c.side_bullets);
    EXPECT_EQ(BulletsOn(1)[0].type, 2);
    std::vector<FiredBullet> burst = BulletsOn(31);
    ASSERT_EQ(static_cast<int>(burst.size()), c.burst_bullets) << c.mode;
    EXPECT_EQ(burst[0].type, 7);
    EXPECT_DOUBLE_EQ(burst.back().speed, c.last_burst_speed);
  }
}

TEST_F(LargeEnemyTest, Type5SideVolleysSpreadFromTheTurretAndSlowDown) {
  EnemyObject& e = Spawn(5, 0, 180.0, 100.0, 1);
  e.screen_state = 1;
  Run(2);
  const double a = e.turn_angles[2];
  std::vector<FiredBullet> v = BulletsOn(1);
  ASSERT_EQ(v.size(), 6u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(v[2 * i].angle, a + 20.0 * i) << i;      // gun 1
    EXPECT_DOUBLE_EQ(v[2 * i + 1].angle, a - 20.0 * i) << i;  // gun 2
    EXPECT_DOUBLE_EQ(v[2 * i].speed, 3.0 - i / 2.0);
    EXPECT_NEAR(v[2 * i].x, e.x + CosDeg(a + 60.0) * 64.0, 1e-9);
    EXPECT_NEAR(v[2 * i + 1].x, e.x + CosDeg(a - 60.0) * 64.0, 1e-9);
  }
}

TEST_F(LargeEnemyTest, Type5BurstTakesOneHalvedDrawPerFan) {
  EnemyObject& e = Spawn(5, 0, 180.0, 100.0, 1);
  e.screen_state = 1;
  Run(31);
  uint32_t replay = RandomSeed;
  Run(1);
  std::vector<FiredBullet> burst = BulletsOn(31);
  ASSERT_EQ(burst.size(), 30u);
  const double a = e.turn_angles[2];
  for (int i = 0; i < 6; ++i) {
    const uint32_t saved = RandomSeed;
    RandomSeed = replay;
    const int r = RandomInt(10) / 2;
    replay = RandomSeed;
    RandomSeed = saved;
    EXPECT_DOUBLE_EQ(burst[5 * i + 2].angle, a + r) << i;  // middle of the 5 x 40 fan
    EXPECT_DOUBLE_EQ(burst[5 * i].speed, i / 4.0 + 2.0);
    EXPECT_NEAR(burst[5 * i].x, e.x + CosDeg(a) * 88.0, 1e-9);
  }
  EXPECT_EQ(replay, RandomSeed);  // six draws and no more
}

TEST_F(LargeEnemyTest, Type5TurretTurnsTwoDegreesAFrameAndKeepsItsPicture) {
  g_stage.layer1_speed = 1.25;
  PlacePlayer(150.0, 20.0);  // up and to the left: the turret swings through 180
  EnemyObject& e = Spawn(5, 0, 180.0, 200.0, 1);
  Run(2);
  EXPECT_EQ(e.turn_angles[0], 92);
  Run(59);
  const int aim = e.turn_angles[0];
  EXPECT_EQ(aim, -150);  // 90 + 2 x 60 = 210, less 360
  EXPECT_EQ(e.turn_angles[1], 150 / 14);
  EXPECT_EQ(e.turn_angles[2], 150);
  EXPECT_NEAR(e.gun_x[0], e.x + CosDeg(150) * 88.0, 1e-9);
  EXPECT_NEAR(e.gun_y[0], e.y + SinDeg(150) * 88.0, 1e-9);
  EXPECT_DOUBLE_EQ(e.vy, 1.25);
}

TEST_F(LargeEnemyTest, Type5HoldsFireOffTheFieldAndLow) {
  EnemyObject& low = Spawn(5, 0, 180.0, 360.0, 1);
  low.screen_state = 1;
  Spawn(5, 0, 100.0, -130.0, 1);
  Run(40);
  EXPECT_TRUE(bullets.empty());
}

// ---- type 6 ----

struct Type6Case {
  int mode;
  std::vector<int> offsets;
  std::vector<int> counts;
};

TEST_F(LargeEnemyTest, Type6BurstCycleOfTwoPatterns) {
  const std::vector<int> a_offsets = {0, 4, 32, 36, 64, 68};
  const Type6Case cases[] = {
      {0,
       {0, 4, 32, 36, 64, 68, 111, 116, 121, 126, 240},
       {4, 4, 20, 20, 36, 36, 15, 15, 15, 15, 4}},
      {1,
       {0, 4, 32, 36, 64, 68, 111, 116, 121, 126, 131, 240},
       {12, 12, 28, 28, 44, 44, 18, 18, 18, 18, 18, 12}},
      {2,
       {0, 4, 32, 36, 64, 68, 111, 116, 121, 126, 131, 240},
       {20, 20, 44, 44, 76, 76, 48, 48, 48, 48, 48, 20}},
  };
  for (const Type6Case& c : cases) {
    SetUp();
    Spawn(6, 0, 180.0, 60.0, c.mode);
    Run(62 + 241);
    ASSERT_FALSE(bullets.empty());
    // Life state 0 on frame 0; braking from vy 6 ends on frame 61.
    EXPECT_EQ(VolleyFrames().front(), 62);
    EXPECT_EQ(VolleyOffsets(), c.offsets) << c.mode;
    EXPECT_EQ(shot_sounds, VolleyFrames());
    std::vector<int> counts;
    for (int f : VolleyFrames()) counts.push_back(CountOn(f));
    EXPECT_EQ(counts, c.counts) << c.mode;
    const int types[] = {9, 9, 4, 4, 3, 3};
    for (size_t i = 0; i < a_offsets.size(); ++i)
      EXPECT_EQ(BulletsOn(62 + a_offsets[i])[0].type, types[i]);
    EXPECT_EQ(BulletsOn(62 + 111)[0].type, 5);
  }
}

TEST_F(LargeEnemyTest, Type6PairsShareTheirFirstAimAndTheRingTurns) {
  EnemyObject& e = Spawn(6, 0, 180.0, 60.0, 2);
  Run(63);
  PlacePlayer(200.0, 300.0);  // the second volley of the pair keeps the first aim
  Run(62 + 130 - 63);
  std::vector<FiredBullet> first = BulletsOn(62), second = BulletsOn(66);
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 0; i < first.size(); ++i) EXPECT_DOUBLE_EQ(first[i].angle, second[i].angle);
  // The next pair aims afresh.
  EXPECT_NE(BulletsOn(94)[2].angle, first[2].angle);
  // HELL ring: type 5 at a + 8n, then type 10 at a - 8n, speeds n/3 + 3.5 and n/2 + 2.
  for (int n = 0; n < 4; ++n) {
    std::vector<FiredBullet> ring = BulletsOn(62 + 111 + 5 * n);
    ASSERT_EQ(ring.size(), 48u);
    EXPECT_EQ(ring[0].type, 5);
    EXPECT_DOUBLE_EQ(ring[0].angle, 8.0 * n);
    EXPECT_DOUBLE_EQ(ring[0].speed, n / 3.0 + 3.5);
    EXPECT_EQ(ring[1].type, 10);
    EXPECT_DOUBLE_EQ(ring[1].angle, -8.0 * n);
    EXPECT_DOUBLE_EQ(ring[1].speed, n / 2.0 + 2.0);
    EXPECT_DOUBLE_EQ(ring[2].angle, 15.0 + 8.0 * n);
    EXPECT_NEAR(ring[0].y, e.y - 48.0, 1e-9);
  }
}

// ---- dying sequences ----

struct DyingCase {
  int type;
  int removal_frame;  // 0-based dying frame on which DestroyEnemy runs
};

TEST_F(LargeEnemyTest, DyingSequenceBlastsEveryOtherFrameThenRemoves) {
  const DyingCase cases[] = {{5, 89}, {6, 90}};
  for (const DyingCase& c : cases) {
    SetUp();
    g_stage.layer1_speed = 1.0;
    EnemyObject& e = Spawn(c.type, 0, 180.0, 200.0, 1);
    e.screen_state = 1;
    Run(3);
    bullets.clear();
    // What the shot collisions do when the hit points run out.
    e.hp = 0;
    e.life_state = 8;
    e.state_timer = 0;
    g_stage.layer1_speed = 3.0;  // type 5's wreck keeps its last velocity
    int blast_frames = 0;
    for (int t = 0; t <= c.removal_frame; ++t) {
      ASSERT_EQ(e.in_use, 1) << c.type << " " << t;
      const double cx = e.x + e.vx, cy = e.y + e.vy;
      const uint32_t before = RandomSeed;
      Frame();
      if (t == c.removal_frame) break;
      std::vector<Explosion> made = TakeExplosions();
      EXPECT_EQ(e.collision_class, 1);
      if (c.type == 5) {
        EXPECT_DOUBLE_EQ(e.vy, 1.0);
      }
      if (c.type == 6) {
        EXPECT_DOUBLE_EQ(e.vx, 0.0);
        EXPECT_DOUBLE_EQ(e.vy, 0.5);
      }
      if (t % 2 == 1 || t >= 60) {
        EXPECT_TRUE(made.empty()) << t;
        EXPECT_EQ(RandomSeed, before) << t;
        continue;
      }
      ++blast_frames;
      ASSERT_NO_FATAL_FAILURE(ExpectDyingBlast(made, before, e, cx, cy, 50, true))
          << c.type << " " << t;
    }
    EXPECT_EQ(blast_frames, 30);
    EXPECT_EQ(e.in_use, 0) << c.type;
    EXPECT_TRUE(bullets.empty());
  }
}

TEST_F(LargeEnemyTest, Type6StopsFiringTheMomentItStartsDying) {
  EnemyObject& e = Spawn(6, 0, 180.0, 60.0, 1);
  Run(62 + 117);  // through the second ring of pattern B
  ASSERT_EQ(VolleyFrames().back(), 62 + 116);
  e.hp = 0;
  e.life_state = 8;
  e.state_timer = 0;
  bullets.clear();
  Run(30);
  EXPECT_TRUE(bullets.empty());
}

TEST_F(LargeEnemyTest, LifeSwitchSpendsOneFrameInStateZero) {
  g_stage.layer1_speed = 2.0;
  EnemyObject& five = Spawn(5, 0, 100.0, 100.0, 1);
  EnemyObject& six = Spawn(6, 0, 250.0, 100.0, 1);
  Frame();
  // The switching frame does no alive work: no ground step, no braking.
  EXPECT_EQ(five.life_state, 1);
  EXPECT_EQ(six.life_state, 1);
  EXPECT_DOUBLE_EQ(five.vy, 0.0);
  EXPECT_DOUBLE_EQ(six.vy, 0.0);
  Frame();
  EXPECT_DOUBLE_EQ(five.vy, 2.0);
  EXPECT_NEAR(six.vy, 5.9, 1e-12);
}

TEST_F(LargeEnemyTest, OtherLifeStatesDoNothing) {
  EnemyObject& e = Spawn(5, 0, 180.0, 100.0, 1);
  e.screen_state = 1;
  e.life_state = 3;
  Run(40);
  EXPECT_TRUE(bullets.empty());
  EXPECT_EQ(e.life_state, 3);
  EXPECT_EQ(e.in_use, 1);
}

}  // namespace
