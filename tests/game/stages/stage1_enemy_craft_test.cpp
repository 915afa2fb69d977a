#include <cmath>

#include "enemy_script_fixture.h"

namespace {

using CraftTest = EnemyScriptTest;

// ---- type 1 ----

struct Type1Case {
  int mode;
  std::vector<int> offsets;  // from the first volley, over 176 frames
  int per_volley;
  double speed;
};

TEST_F(CraftTest, Type1FiresFromTheEndOfItsBrakingInCappedPairs) {
  const Type1Case cases[] = {
      {0, {0, 8, 16, 80, 88, 96, 160, 168}, 2, 2.0},
      {1, {0, 8, 16, 24, 32, 80, 88, 96, 104, 112, 160, 168}, 2, 3.0},
      {2, {0, 8, 16, 24, 32, 64, 72, 80, 88, 96, 128, 136, 144, 152, 160}, 6, 4.3},
  };
  for (const Type1Case& c : cases) {
    SetUp();
    PlacePlayer(250.0, 440.0);
    Spawn(1, 0, 180.0, 20.0, c.mode);
    Run(61 + 176);
    ASSERT_FALSE(bullets.empty());
    // vy 6 braking by 0.1 a frame from frame 1 ends on frame 61.
    EXPECT_EQ(VolleyFrames().front(), 61) << c.mode;
    EXPECT_EQ(VolleyOffsets(), c.offsets) << c.mode;
    for (int f : VolleyFrames()) {
      std::vector<FiredBullet> v = BulletsOn(f);
      ASSERT_EQ(static_cast<int>(v.size()), c.per_volley);
      // Both guns fire along the turret angle rounded down to 14 degrees.
      const double g = v[c.per_volley == 2 ? 0 : 1].angle;
      EXPECT_EQ(std::fmod(g, 14.0), 0.0) << g;
      for (const FiredBullet& b : v) {
        EXPECT_EQ(b.type, 2);
        EXPECT_DOUBLE_EQ(b.speed, c.speed);
      }
      // The second gun's (middle) bullet.
      EXPECT_DOUBLE_EQ(v[c.per_volley == 2 ? 1 : 4].angle, g);
    }
  }
}

TEST_F(CraftTest, Type1GunsSitEitherSideOfTheTurret) {
  EnemyObject& e = Spawn(1, 0, 180.0, 100.0, 1);
  e.turn_angles[0] = -100;  // |-100 / 14 * 14| = 98
  Run(1);
  const double g = 98.0;
  EXPECT_DOUBLE_EQ(e.gun_angle[2], g);
  // The drawing turned the aim after the script placed the guns.
  EXPECT_DOUBLE_EQ(e.gun_x[0], e.x + CosDeg(g + 40.0) * 56.0);
  EXPECT_DOUBLE_EQ(e.gun_y[0], e.y + SinDeg(g + 40.0) * 52.0);
  EXPECT_DOUBLE_EQ(e.gun_x[1], e.x + CosDeg(g - 40.0) * 56.0);
  EXPECT_DOUBLE_EQ(e.gun_y[1], e.y + SinDeg(g - 40.0) * 52.0);
}

TEST_F(CraftTest, Type1LeavesUpwardAfter120FramesOfHover) {
  EnemyObject& e = Spawn(1, 0, 180.0, 20.0, 1);
  Run(61 + 122);
  EXPECT_DOUBLE_EQ(e.vy, 0.0);
  Run(1);
  EXPECT_DOUBLE_EQ(e.vy, -1.0);
}

// ---- type 4 ----

struct Type4Case {
  int variant;
  int mode;
  int down_bullets;  // per down volley
  std::vector<int> down_offsets;
  int burst_bullets;
  double last_burst_speed;
};

TEST_F(CraftTest, Type4DownShotsThenATurretBurstOnTheNinthSlot) {
  const Type4Case cases[] = {
      {0, 0, 2, {0, 8, 16}, 15, 2.0 / 5 + 2.6},
      {0, 1, 2, {0, 8, 16, 24, 32}, 27, 2.0 / 5 + 2.6},
      {0, 2, 6, {0, 8, 16, 24, 32}, 108, 3.0 / 5 + 2.6},
      {1, 0, 4, {0, 8, 16}, 27, 2.0 / 5 + 3.0},
      {1, 1, 4, {0, 8, 16, 24, 32}, 39, 2.0 / 5 + 3.0},
      {1, 2, 8, {0, 8, 16, 24, 32}, 135, 4.0 / 5 + 2.6},
  };
  for (const Type4Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(4, c.variant, 180.0, 60.0, c.mode);
    e.screen_state = 1;
    Run(70 + 100);
    ASSERT_FALSE(bullets.empty());
    EXPECT_EQ(VolleyFrames().front(), 70) << "brakes from 4 to 0.5 in 71 frames";
    std::vector<int> expect = c.down_offsets;
    expect.push_back(64);  // shot count 8
    expect.push_back(96);  // the count wrapped at 12: the next round
    EXPECT_EQ(VolleyOffsets(), expect) << c.variant << " " << c.mode;
    for (int o : c.down_offsets) {
      std::vector<FiredBullet> v = BulletsOn(70 + o);
      ASSERT_EQ(static_cast<int>(v.size()), c.down_bullets) << o;
      EXPECT_EQ(v[0].type, 1);
    }
    std::vector<FiredBullet> burst = BulletsOn(70 + 64);
    ASSERT_EQ(static_cast<int>(burst.size()), c.burst_bullets) << c.variant << " " << c.mode;
    EXPECT_EQ(burst[0].type, 2);
    EXPECT_DOUBLE_EQ(burst.back().speed, c.last_burst_speed);
    EXPECT_DOUBLE_EQ(e.vy, 0.5);
  }
}

TEST_F(CraftTest, Type4DownShotsPointStraightDownFromBothGuns) {
  EnemyObject& e = Spawn(4, 1, 180.0, 60.0, 1);
  e.screen_state = 1;
  Run(71);
  std::vector<FiredBullet> v = BulletsOn(70);
  ASSERT_EQ(v.size(), 4u);
  const double angles[] = {87, 93, 87, 93};
  const double xs[] = {e.x - 54, e.x - 54, e.x + 54, e.x + 54};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(v[i].angle, angles[i]);
    EXPECT_DOUBLE_EQ(v[i].speed, 3.5);
    EXPECT_NEAR(v[i].x, xs[i], 1e-9);
  }
}

TEST_F(CraftTest, Type4TurretBurstLeavesGunTwoAtThePlayer) {
  PlacePlayer(250.0, 440.0);
  EnemyObject& e = Spawn(4, 0, 180.0, 60.0, 0);
  e.screen_state = 1;
  Run(70 + 64);
  // Gun 2 is on the turret circle at the angle the last draw left.
  const int aim = e.turn_angles[0];
  Run(1);
  std::vector<FiredBullet> burst = BulletsOn(70 + 64);
  ASSERT_EQ(burst.size(), 15u);
  const double gx = burst[0].x, gy = burst[0].y;
  EXPECT_NEAR(gx, e.x + CosDeg(aim) * 56.0, 1e-9);
  EXPECT_NEAR(gy, e.y + SinDeg(aim) * 56.0, 1e-9);
  const double a = AngleToPlayer(gx, gy);
  EXPECT_DOUBLE_EQ(burst[1].angle, a);  // middle of the first 3 x 40 fan
  EXPECT_DOUBLE_EQ(burst[0].speed, 3.0);
  EXPECT_DOUBLE_EQ(burst[3].speed, 2.6);
  EXPECT_DOUBLE_EQ(burst[5].speed, 3.2);  // k = 1
}

TEST_F(CraftTest, Type4OtherVariantsMoveButHoldFire) {
  EnemyObject& e = Spawn(4, 2, 180.0, 60.0, 2);
  e.screen_state = 1;
  Run(200);
  EXPECT_TRUE(bullets.empty());
  EXPECT_DOUBLE_EQ(e.vy, 0.5);
}

// ---- type 8 ----

struct Type8Case {
  int stage;
  int mode;
  int interval;
  int per_volley;
};

TEST_F(CraftTest, Type8VolleysDependOnTheStage) {
  const Type8Case cases[] = {
      {1, 1, 60, 13}, {2, 1, 55, 6},  {3, 1, 50, 6}, {4, 1, 45, 42}, {5, 1, 40, 6},
      {1, 0, 70, 11}, {4, 0, 55, 36}, {2, 0, 65, 6}, {2, 2, 50, 42}, {1, 2, 50, 42},
  };
  for (const Type8Case& c : cases) {
    SetUp();
    g_flags.StageNumber = c.stage;
    Spawn(8, 0, 40.0, 120.0, c.mode);
    Run(120 + 3 * c.interval);
    const std::vector<int> expect = {120, 120 + c.interval, 120 + 2 * c.interval};
    EXPECT_EQ(VolleyFrames(), expect) << c.stage << " " << c.mode;
    EXPECT_EQ(shot_sounds, expect);
    for (int f : VolleyFrames()) EXPECT_EQ(CountOn(f), c.per_volley) << c.stage << " " << c.mode;
  }
}

TEST_F(CraftTest, Type8CrossesInSwaysThenLeavesTheWayItCame) {
  for (int variant : {0, 1}) {
    SetUp();
    const double side = variant == 0 ? 1.0 : -1.0;
    EnemyObject& e = Spawn(8, variant, variant == 0 ? 40.0 : 320.0, 120.0, 1);
    Run(1);
    EXPECT_DOUBLE_EQ(e.vx, 2.0 * side);
    Run(119);
    EXPECT_DOUBLE_EQ(e.vx, 2.0 * side);
    Run(1);
    EXPECT_DOUBLE_EQ(e.vx, 0.0);
    Run(1);
    EXPECT_DOUBLE_EQ(e.vx, 0.3);  // sway, k = 0
    Run(10);
    EXPECT_DOUBLE_EQ(e.vx, CosDeg(10) * 0.3);
    EXPECT_DOUBLE_EQ(e.vy, SinDeg(5) * 0.2);  // sin(k / 2), halved as integers
    Run(349);
    EXPECT_EQ(e.move_state, 3);
    Run(1);
    EXPECT_DOUBLE_EQ(e.vx, -side);
  }
}

}  // namespace
