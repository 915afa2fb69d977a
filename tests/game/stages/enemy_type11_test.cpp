#include "enemy_script_fixture.h"

namespace {

using Type11Test = EnemyScriptTest;

struct Type11Case {
  int mode;
  std::vector<int> offsets;  // from the first volley, over two cycles
  int a_bullets;
  int b_bullets;
};

TEST_F(Type11Test, BurstCycleOfTwoPatternsEvery160Frames) {
  const Type11Case cases[] = {
      {0, {0, 20, 80, 85, 90, 160, 180, 240, 245, 250}, 10, 14},
      {1, {0, 20, 80, 85, 90, 95, 100, 160, 180, 240, 245, 250, 255, 260}, 14, 14},
      {2, {0, 20, 80, 85, 90, 95, 100, 160, 180, 240, 245, 250, 255, 260}, 60, 26},
  };
  for (const Type11Case& c : cases) {
    SetUp();
    Spawn(11, 0, 180.0, -60.0, c.mode);  // still entering: no screen-state gate
    Run(65 + 320);
    ASSERT_FALSE(bullets.empty());
    // vy 3.5 braking by 0.05 from frame 1 is at or below 0.4 on frame 64.
    EXPECT_EQ(VolleyFrames().front(), 65);
    EXPECT_EQ(VolleyOffsets(), c.offsets) << c.mode;
    EXPECT_EQ(shot_sounds, VolleyFrames());
    EXPECT_EQ(CountOn(65), c.a_bullets);
    EXPECT_EQ(CountOn(65 + 80), c.b_bullets);
    EXPECT_EQ(BulletsOn(65)[0].type, 4);
    EXPECT_EQ(BulletsOn(65 + 80)[0].type, 0);
  }
}

TEST_F(Type11Test, PatternAAimsFromTheCentreAndSlowsItsSecondVolley) {
  PlacePlayer(250.0, 440.0);
  EnemyObject& e = Spawn(11, 0, 180.0, -60.0, 1);
  Run(66);
  const double a = AngleToPlayer(e.x, e.y);
  std::vector<FiredBullet> v = BulletsOn(65);
  ASSERT_EQ(v.size(), 14u);
  EXPECT_DOUBLE_EQ(v[3].angle, a);   // middle of gun 0's 7 x 12
  EXPECT_DOUBLE_EQ(v[10].angle, a);  // middle of gun 1's 7 x 16
  EXPECT_DOUBLE_EQ(v[0].angle, a - 36.0);
  EXPECT_DOUBLE_EQ(v[7].angle, a - 48.0);
  EXPECT_NEAR(v[0].x, e.x - 64.0, 1e-9);
  EXPECT_NEAR(v[7].x, e.x + 64.0, 1e-9);
  EXPECT_DOUBLE_EQ(v[0].speed, 2.8);
  Run(20);
  EXPECT_DOUBLE_EQ(BulletsOn(85)[0].speed, 2.3);
}

TEST_F(Type11Test, PatternBKeepsEachGunsFirstAim) {
  PlacePlayer(250.0, 440.0);
  Spawn(11, 0, 180.0, -60.0, 2);
  Run(65 + 81);
  PlacePlayer(420.0, 300.0);
  Run(30);
  std::vector<FiredBullet> first = BulletsOn(65 + 80), last = BulletsOn(65 + 100);
  ASSERT_EQ(first.size(), 26u);
  ASSERT_EQ(last.size(), 26u);
  for (size_t i = 0; i < first.size(); ++i) EXPECT_DOUBLE_EQ(first[i].angle, last[i].angle);
  // Guns 3 and 4 (middles of their 9 x 18 fans) aim from their own positions.
  EXPECT_NE(first[12].angle, first[21].angle);
}

TEST_F(Type11Test, SwaysAndStopsFiringOnceBelow240) {
  EnemyObject& e = Spawn(11, 0, 180.0, 100.0, 1);
  Run(65);
  EXPECT_DOUBLE_EQ(e.vx, 0.0);
  Run(1);
  EXPECT_DOUBLE_EQ(e.vx, 0.3);
  Run(10);
  EXPECT_DOUBLE_EQ(e.vx, CosDeg(-10) * 0.3);
  int crossed = -1;
  for (int i = 0; i < 400; ++i) {
    Frame();
    if (crossed < 0 && e.y > 240.0) crossed = frame - 1;
  }
  ASSERT_GT(crossed, 0);
  EXPECT_LE(VolleyFrames().back(), crossed);
  EXPECT_DOUBLE_EQ(e.vy, 0.4);
}

}  // namespace
