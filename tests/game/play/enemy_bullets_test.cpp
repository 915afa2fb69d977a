#include "play/enemy_bullets.h"

#include <cmath>
#include <utility>
#include <vector>

#include "play/play_links.h"
#include "player_fixture.h"

namespace {

class EnemyBulletTest : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    ResetAllEnemyBullets();
    AddEnemyBulletCount(-GetEnemyBulletsOnScreen());
    g_player.core_x = 320.0;
    g_player.core_y = 400.0;
  }
  static int Live() {
    int n = 0;
    for (const EnemyBullet& b : g_enemy_bullets) n += b.in_use == 1;
    return n;
  }
};

TEST_F(EnemyBulletTest, FanAnglesAreCentredOnTheAim) {
  struct Case {
    double count, step;
    std::vector<double> angles;
  } cases[] = {
      {7, 40, {-30, 10, 50, 90, 130, 170, 210}},
      {2, 180, {0, 180}},
      {1, 0, {90}},
      {2.5, 10, {82.5, 92.5, 102.5}},  // a fractional count fires while i < count
  };
  for (const Case& c : cases) {
    ResetAllEnemyBullets();
    EXPECT_EQ(FireBulletFan(300, 200, 0, 90, 2.0, c.count, c.step, 7), 0);
    std::vector<double> got;
    for (const EnemyBullet& b : g_enemy_bullets)
      if (b.in_use) got.push_back(b.angle);
    EXPECT_EQ(got, c.angles) << c.count << " x " << c.step;
  }
  EXPECT_EQ(g_enemy_bullets[0].owner, 7u);
}

TEST_F(EnemyBulletTest, AFullPoolDropsBulletsSilently) {
  for (int i = 0; i < kEnemyBulletSlots; ++i) ASSERT_EQ(FireEnemyBullet(300, 200, 0, 90, 1, 0), 0);
  EXPECT_EQ(FireEnemyBullet(300, 200, 0, 90, 1, 0), -1);
  EXPECT_EQ(FireBulletFan(300, 200, 0, 90, 1, 7, 40, 0), 0);
  EXPECT_EQ(GetEnemyBulletsOnScreen(), kEnemyBulletSlots);
  // A pool reset clears the slots but leaves the live count alone.
  ResetAllEnemyBullets();
  EXPECT_EQ(Live(), 0);
  EXPECT_EQ(GetEnemyBulletsOnScreen(), kEnemyBulletSlots);
}

TEST_F(EnemyBulletTest, SizesAndHitBox) {
  FireEnemyBullet(300, 200, 21, 0, 0, 0);
  FireEnemyBullet(300, 200, 22, 0, 0, 0);
  EXPECT_EQ(g_enemy_bullets[0].width, 20.0);
  EXPECT_EQ(g_enemy_bullets[1].width, 24.0);
  EXPECT_EQ(g_enemy_bullets[1].left, 288.0);
  EXPECT_EQ(g_enemy_bullets[1].box_right, 302.0);
  EXPECT_EQ(g_enemy_bullets[1].hit_width, 4.0);
}

TEST_F(EnemyBulletTest, AccelSpeedsUpOnlyPlainTypes) {
  g_flags.DifficultyMode = 3;
  FireEnemyBullet(300, 200, 3, 0, 2.0, 0);
  FireEnemyBullet(300, 300, 21, 0, 2.0, 0);
  EXPECT_EQ(g_enemy_bullets[0].mode, 1);  // ACCEL behaves as ORIGINAL
  UpdateEnemyBullets();
  EXPECT_DOUBLE_EQ(g_enemy_bullets[0].centre_x, 302.09);
  EXPECT_DOUBLE_EQ(g_enemy_bullets[1].centre_x, 302.0);
  UpdateEnemyBullets();
  EXPECT_DOUBLE_EQ(g_enemy_bullets[0].centre_x, 302.09 + 2.18);
  EXPECT_DOUBLE_EQ(g_enemy_bullets[1].centre_x, 304.0);
}

TEST_F(EnemyBulletTest, BulletsWhollyOutsideAreCulledAndUncounted) {
  FireEnemyBullet(600, 200, 0, 0, 1.0, 0);   // fired outside
  FireEnemyBullet(140 - 11, 200, 0, 180, 2.0, 0);  // its right edge at 141
  FireEnemyBullet(300, 200, 0, 0, 1.0, 0);
  EXPECT_EQ(GetEnemyBulletsOnScreen(), 3);
  UpdateEnemyBullets();
  EXPECT_EQ(g_enemy_bullets[0].in_use, 0u);
  EXPECT_EQ(g_enemy_bullets[1].in_use, 0u);
  EXPECT_EQ(g_enemy_bullets[2].in_use, 1u);
  EXPECT_EQ(GetEnemyBulletsOnScreen(), 1);
  // A removed slot is all zero again.
  EXPECT_EQ(g_enemy_bullets[0].off_screen, 0u);
  EXPECT_EQ(g_enemy_bullets[0].left, 0.0);
}

TEST_F(EnemyBulletTest, ChildrenInLaterSlotsMoveInTheSamePass) {
  // Parent in slot 0: its child takes slot 1 and moves in the same pass.
  FireEnemyBulletEx(300, 200, 20, 90, 0.0, 0, 0.0, 0.0);
  for (int i = 0; i < 31; ++i) UpdateEnemyBullets();
  ASSERT_EQ(g_enemy_bullets[1].type, 9);
  EXPECT_DOUBLE_EQ(g_enemy_bullets[1].centre_y, 202.5);

  // Parent in slot 3 with slot 0 free: the child waits for the next pass.
  ResetAllEnemyBullets();
  for (int i = 0; i < 3; ++i) FireEnemyBullet(300, 200, 0, 0, 0, 0);
  FireEnemyBulletEx(300, 200, 20, 90, 0.0, 0, 0.0, 0.0);
  ClearEnemyBullet(g_enemy_bullets[0]);
  for (int i = 0; i < 31; ++i) UpdateEnemyBullets();
  ASSERT_EQ(g_enemy_bullets[0].type, 9);
  EXPECT_DOUBLE_EQ(g_enemy_bullets[0].centre_y, 200.0);
}

// Fires one behaviour bullet from (320, 100) heading down and runs passes,
// noting on which pass (1-based) how many new bullets appeared, and the pass
// on which the parent ended.
struct Trace {
  std::vector<std::pair<int, int>> fired;
  int ended = 0;
};
Trace RunBullet(int type, int mode, double speed, double p1, double p2, int passes) {
  g_flags.DifficultyMode = mode;
  ResetAllEnemyBullets();
  FireEnemyBulletEx(320, 100, type, 90, speed, 0, p1, p2);
  Trace t;
  for (int pass = 1; pass <= passes && t.ended == 0; ++pass) {
    bool before[kEnemyBulletSlots];
    for (int i = 0; i < kEnemyBulletSlots; ++i) before[i] = g_enemy_bullets[i].in_use == 1;
    UpdateEnemyBullets();
    int born = 0;
    for (int i = 1; i < kEnemyBulletSlots; ++i) born += !before[i] && g_enemy_bullets[i].in_use;
    if (born) t.fired.push_back({pass, born});
    if (g_enemy_bullets[0].in_use == 0) t.ended = pass;
  }
  return t;
}

TEST_F(EnemyBulletTest, BehaviourTableByTypeAndMode) {
  using Events = std::vector<std::pair<int, int>>;
  struct Case {
    int type, mode;
    double speed, p1, p2;
    int passes;
    Events fired;
    int ended;
  } cases[] = {
      {21, 0, 0.5, 0, 0, 100, {{31, 1}}, 31},
      {21, 1, 0.5, 0, 0, 100, {{31, 3}}, 31},
      {21, 2, 0.5, 0, 0, 100, {{31, 9}}, 31},
      {22, 1, 0.5, 0, 0, 100, {{61, 7}}, 61},
      {23, 1, 0.5, 1, 1, 100, {{31, 8}}, 31},
      {28, 0, 0.5, 0, 0, 100, {{41, 3}}, 41},
      {28, 2, 0.5, 0, 0, 100, {{41, 10}}, 41},
      {28, 1, 0.5, 0, 0, 100, {{41, 3}}, 41},
      {27, 0, 0.5, 0, 0, 30, {{1, 4}, {14, 4}, {27, 4}}, 0},
      {29, 0, 0.2, 0, 0, 100, {{1, 1}, {3, 1}, {5, 1}, {7, 1}, {9, 1}}, 9},
      {33, 0, 3.0, 0, 0, 100, {{68, 75}}, 68},
      {33, 1, 3.0, 0, 0, 100, {{68, 117}}, 68},
      {33, 2, 3.0, 0, 0, 100, {{68, 167}}, 68},
      {34, 0, 1.0, 20, 0, 100, {{33, 1}}, 33},
      {34, 1, 1.0, 20, 0, 100, {{33, 1}}, 33},
      {34, 2, 1.0, 20, 0, 100, {{33, 3}}, 33},
      {35, 0, 1.0, 0, 0, 100, {{28, 3}}, 28},
      {35, 1, 1.0, 0, 0, 100, {{28, 3}}, 28},
      {35, 2, 1.0, 0, 0, 100, {{28, 6}}, 28},
      {36, 1, 0.5, 0, 0, 80, {{61, 1}}, 0},
      {44, 1, 0.5, 0, 1, 80, {{21, 1}, {31, 1}, {41, 1}, {51, 1}, {61, 1}}, 0},
      {20, 1, 0.5, 0, 0, 80, {{31, 1}}, 0},
      {45, 1, 0.5, 0, 0, 60, {}, 0},
      // Type 24: param 1 picks the frame within each period (mod n).
      {24, 0, 0.5, 5, 0, 45, {{6, 2}, {24, 2}, {42, 2}}, 0},
      {24, 1, 0.5, 13, 0, 30, {{2, 2}, {14, 2}, {26, 2}}, 0},
      {24, 2, 0.5, 5, 0, 30, {{6, 2}, {15, 2}, {24, 2}}, 0},
      // Type 25 rises ever faster (its velocity is never rebuilt) and is culled.
      {25, 0, 0.5, 0, 0, 40, {{1, 1}, {3, 1}, {5, 1}, {7, 1}, {9, 1}, {11, 1}}, 37},
      {25, 1, 0.5, 0, 0, 40,
       {{1, 1}, {3, 1}, {5, 1}, {7, 1}, {9, 1}, {11, 1},
        {13, 1}, {15, 1}, {17, 1}, {19, 1}, {21, 1}, {23, 1}}, 37},
      {25, 2, 0.5, 0, 0, 40,
       {{1, 2}, {3, 2}, {5, 2}, {7, 2}, {9, 2}, {11, 2},
        {13, 2}, {15, 2}, {17, 2}, {19, 2}, {21, 2}, {23, 2}}, 37},
      {27, 1, 0.5, 0, 0, 30, {{1, 6}, {9, 6}, {17, 6}, {25, 6}}, 0},
      {27, 2, 0.5, 0, 0, 30, {{1, 6}, {6, 6}, {11, 6}, {16, 6}, {21, 6}, {26, 6}}, 0},
      {29, 1, 0.2, 0, 0, 100,
       {{1, 1}, {3, 1}, {5, 1}, {7, 1}, {9, 1}, {11, 1}, {13, 1}, {15, 1}, {17, 1}, {19, 1}}, 19},
      {29, 2, 0.2, 0, 0, 100,
       {{1, 3}, {3, 3}, {5, 3}, {7, 3}, {9, 3}, {11, 3}, {13, 3}, {15, 3}, {17, 3}, {19, 3}}, 19},
      // Type 32 fires from frame 11 up to frame 119 only.
      {32, 0, 0.5, 0, 0, 130, {{21, 2}, {41, 2}, {61, 2}, {81, 2}, {101, 2}}, 0},
      {32, 1, 0.5, 0, 0, 130, {{19, 2}, {37, 2}, {55, 2}, {73, 2}, {91, 2}, {109, 2}}, 0},
      {32, 2, 0.5, 0, 0, 130, {{19, 2}, {37, 2}, {55, 2}, {73, 2}, {91, 2}, {109, 2}}, 0},
      {37, 1, 0.5, 1, 0, 40, {{1, 1}, {6, 1}, {11, 1}, {16, 1}, {21, 1}}, 0},
      // Type 40 spends 13 frames slowing from 1.0, then 12 volleys 3 frames apart.
      {40, 1, 1.0, 0, 0, 100,
       {{14, 1}, {17, 1}, {20, 1}, {23, 1}, {26, 1}, {29, 1},
        {32, 1}, {35, 1}, {38, 1}, {41, 1}, {44, 1}, {47, 1}}, 47},
      {41, 1, 0.5, 0, 0, 60, {}, 0},
  };
  for (const Case& c : cases) {
    Trace t = RunBullet(c.type, c.mode, c.speed, c.p1, c.p2, c.passes);
    EXPECT_EQ(t.fired, c.fired) << "type " << c.type << " mode " << c.mode;
    EXPECT_EQ(t.ended, c.ended) << "type " << c.type << " mode " << c.mode;
  }
}

// Speeds (and for the sideways pairs, directions) of the first volley, which
// differ by mode.
TEST_F(EnemyBulletTest, FirstVolleySpeedsByTypeAndMode) {
  struct Case {
    int type, mode, passes;
    std::vector<double> speeds;
    double start = 0.5;
    bool sideways = true;
  } cases[] = {
      {24, 0, 1, {1.0, 1.0}}, {24, 1, 1, {1.5, 1.5}}, {24, 2, 1, {1.5, 1.5}},
      {32, 0, 21, {1.2, 1.2}}, {32, 1, 19, {1.5, 1.5}}, {32, 2, 19, {2.4, 2.4}},
      {25, 0, 1, {1.5}, 0.5, false},
      {25, 1, 1, {2.0}, 0.5, false},
      {25, 2, 1, {2.5, 2.5}, 0.5, false},
      {28, 0, 41, {3.0, 3.0, 3.0}, 0.5, false},
      {28, 1, 41, {3.5, 3.5, 3.5}, 0.5, false},
      {28, 2, 41, {4.0, 4.0, 4.0, 4.5, 4.5, 4.5, 4.5, 4.5, 4.5, 4.5}, 0.5, false},
      {34, 0, 33, {3.0}, 1.0, false},
      {34, 1, 33, {4.0}, 1.0, false},
      {34, 2, 33, {4.3, 4.3, 4.3}, 1.0, false},
      {35, 0, 28, {2.5, 1.0, 1.0}, 1.0, false},
      {35, 1, 28, {3.5, 2.0, 2.0}, 1.0, false},
      {35, 2, 28, {4.0, 4.0, 3.0, 3.0, 3.0, 3.0}, 1.0, false},
  };
  for (const Case& c : cases) {
    RunBullet(c.type, c.mode, c.start, 0, 0, c.passes);
    std::vector<double> speeds;
    for (int i = 1; i < kEnemyBulletSlots; ++i)
      if (g_enemy_bullets[i].in_use) speeds.push_back(g_enemy_bullets[i].speed);
    EXPECT_EQ(speeds, c.speeds) << "type " << c.type << " mode " << c.mode;
    if (c.sideways) {  // a pair fired sideways, at right angles to the flight
      ASSERT_EQ(speeds.size(), 2u);
      EXPECT_NEAR(g_enemy_bullets[1].angle, 0.0, 1e-9) << "type " << c.type;
      EXPECT_NEAR(g_enemy_bullets[2].angle, 180.0, 1e-9) << "type " << c.type;
    }
  }
}

TEST_F(EnemyBulletTest, Type37TurnsNineDegreesAVolleyByParam1) {
  for (double p1 : {1.0, -1.0}) {
    RunBullet(37, 1, 0.5, p1, 0, 40);
    for (int v = 0; v < 5; ++v) {
      ASSERT_EQ(g_enemy_bullets[1 + v].type, 1);
      EXPECT_NEAR(g_enemy_bullets[1 + v].angle, 90.0 + v * 9 * p1, 1e-9) << p1 << " volley " << v;
    }
    EXPECT_EQ(g_enemy_bullets[6].in_use, 0u);
  }
}

TEST_F(EnemyBulletTest, Type26SplitsIntoTwoType27sAtTheSide) {
  // Heading right at 5 from x 320: the centre passes 500 - 12 on pass 34.
  struct Case {
    int mode, live_after;  // the two type 27s fire their first fans at once
  } cases[] = {{0, 2 + 2 * 4}, {1, 2 + 2 * 6}, {2, 2 + 2 * 6}};
  for (const Case& c : cases) {
    g_flags.DifficultyMode = c.mode;
    ResetAllEnemyBullets();
    FireEnemyBullet(320, 100, 26, 0, 5.0, 7);
    for (int i = 0; i < 33; ++i) UpdateEnemyBullets();
    EXPECT_EQ(Live(), 1) << c.mode;
    UpdateEnemyBullets();
    EXPECT_EQ(Live(), c.live_after) << c.mode;
    std::vector<double> angles;
    for (const EnemyBullet& b : g_enemy_bullets) {
      if (b.in_use != 1 || b.type != 27) continue;
      EXPECT_EQ(b.speed, 5.0);
      EXPECT_EQ(b.owner, 7u);
      EXPECT_NEAR(b.centre_x, 490.0, 1e-4);  // the sine table is not exact
      angles.push_back(b.angle);
    }
    ASSERT_EQ(angles.size(), 2u) << c.mode;
    EXPECT_NEAR(angles[0], 90.0, 1e-9);
    EXPECT_NEAR(angles[1], -90.0, 1e-9);
  }
}

TEST_F(EnemyBulletTest, Type41SlowsToAHaltThenSpeedsUpWithoutLimit) {
  FireEnemyBullet(320, 100, 41, 90, 0.5, 0);
  for (int i = 0; i < 7; ++i) UpdateEnemyBullets();  // 0.5 - 7 * 0.08 < 0
  EXPECT_EQ(g_enemy_bullets[0].phase, 1);
  EXPECT_NEAR(g_enemy_bullets[0].speed, -0.06, 1e-9);
  for (int i = 0; i < 73; ++i) UpdateEnemyBullets();
  EXPECT_NEAR(g_enemy_bullets[0].speed, -0.06 + 73 * 0.1, 1e-9);
  EXPECT_EQ(Live(), 1);
}

TEST_F(EnemyBulletTest, Type30RingsTurnInWholeDegrees) {
  RunBullet(30, 1, 0.2, 0.0, 0.5, 13);  // param 1 of 0 turns the other way
  // The second ring (volley 1): a - (-1) * 1 * 9 + 0.5.
  std::vector<double> second;
  for (int i = 16; i < kEnemyBulletSlots; ++i)
    if (g_enemy_bullets[i].in_use) second.push_back(g_enemy_bullets[i].angle);
  ASSERT_EQ(second.size(), 15u);
  EXPECT_EQ(second[0], 9.5);
  EXPECT_EQ(second[14], 345.5);
  Trace t = RunBullet(30, 1, 0.2, 1.0, 0.0, 200);
  EXPECT_EQ(t.fired.size(), 10u);
  EXPECT_EQ(t.ended, 109);
}

TEST_F(EnemyBulletTest, RandomDrawsOfTypes31And43) {
  RandomSeed = 10;
  Trace t = RunBullet(31, 1, 0.2, 0, 0, 1);
  EXPECT_EQ(t.fired, (std::vector<std::pair<int, int>>{{1, 3 + 15}}));
  uint32_t seed = 10;
  for (int i = 0; i < 3; ++i) seed = seed * 48828125u + 1u;
  EXPECT_EQ(RandomSeed, seed);

  g_flags.DifficultyMode = 1;
  ResetAllEnemyBullets();
  FireEnemyBulletEx(320, 470, 43, 90, 0.5, 0, 200.0, 0);
  UpdateEnemyBullets();
  EXPECT_EQ(g_enemy_bullets[0].in_use, 0u);
  const EnemyBullet& child = g_enemy_bullets[1];
  ASSERT_EQ(child.type, 46);
  EXPECT_EQ(child.angle, 200.0);
  // Fired at 0.2 or 1.2, it already sped up once in the same pass.
  const double fired = child.speed - 0.04;
  EXPECT_TRUE(std::abs(fired - 0.2) < 1e-9 || std::abs(fired - 1.2) < 1e-9) << child.speed;
}

TEST_F(EnemyBulletTest, Type46CapsAtExactlySix) {
  FireEnemyBullet(320, 100, 46, 90, 5.9, 0);
  for (int i = 0; i < 3; ++i) UpdateEnemyBullets();
  EXPECT_EQ(g_enemy_bullets[0].speed, 6.0);
  EXPECT_EQ(g_enemy_bullets[0].phase, 1);
}

TEST_F(EnemyBulletTest, Type42BouncesOffTheSideAsAType2) {
  FireEnemyBullet(147, 200, 42, 0, 0.0, 0);  // centre x below 140 + 10
  g_enemy_bullets[0].angle = 135.0;
  g_enemy_bullets[0].speed = 2.0;
  UpdateEnemyBullets();
  ASSERT_EQ(g_enemy_bullets[0].in_use, 0u);
  EXPECT_EQ(g_enemy_bullets[1].type, 2);
  EXPECT_NEAR(g_enemy_bullets[1].angle, 45.0, 1e-4);
}

TEST_F(EnemyBulletTest, DrawingAdvancesTheAnimationOfEveryLiveBullet) {
  FireEnemyBullet(320, 100, 13, 0, 0, 0);  // no picture
  FireEnemyBullet(320, 100, 33, 0, 0, 0);
  DrawAllEnemyBullets();
  DrawAllEnemyBullets();
  EXPECT_EQ(g_enemy_bullets[0].anim_counter, 2);
  EXPECT_EQ(g_enemy_bullets[1].anim_counter, 2);
  EXPECT_EQ(g_enemy_bullets[2].anim_counter, 0);
}

}  // namespace
