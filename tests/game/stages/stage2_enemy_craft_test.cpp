#include <cmath>

#include "enemy_script_fixture.h"

namespace {

using Stage2CraftTest = EnemyScriptTest;

std::vector<int> Offsets(const std::vector<int>& frames, int first) {
  std::vector<int> out;
  for (int f : frames) out.push_back(f - first);
  return out;
}

// ---- type 12 ----

// Spawned at y 20 it brakes from 4 to 1 by frame 31 (that frame does no
// more), so its pattern runs from frame 32 until y reaches 240 after frame
// 173 (pattern frame 141).
constexpr int kType12FirstPatternFrame = 32;
constexpr int kType12Frames = 200;

struct Type12Case {
  int stage;
  int mode;
  std::vector<int> side;  // pattern frames of the side fans
  int side_bullets;
  double first_side_speed;
  std::vector<int> aimed;  // pattern frames of the aimed bursts (bullet type 9)
  int aimed_bullets;
  double aimed_base;
};

TEST_F(Stage2CraftTest, Type12SweepsItsSidesThenFiresAimedBurstsOnStages2And5) {
  const std::vector<int> two = {40, 45, 90, 95, 140};
  const std::vector<int> three = {40, 45, 50, 90, 95, 100, 140};
  const std::vector<int> five = {40, 45, 50, 55, 60, 90, 95, 100, 105, 110, 140};
  const Type12Case cases[] = {
      {2, 0, {0, 10}, 6, 1.5, two, 2, 2.0},
      {2, 1, {0, 10}, 8, 2.0, three, 2, 2.4},
      {2, 2, {0, 10, 20}, 24, 2.8, five, 6, 2.8},
      {2, 3, {0, 10}, 8, 2.0, three, 2, 2.4},  // ACCEL plays ORIGINAL
      {5, 0, {0, 10}, 20, 2.0, two, 4, 2.2},
      {5, 1, {0, 10}, 20, 2.5, three, 6, 2.6},
      {5, 2, {0, 10, 20}, 42, 3.2, five, 6, 3.2},
      {3, 1, {}, 0, 0, {}, 0, 0},   // other stages: silent
      {17, 2, {}, 0, 0, {}, 0, 0},  // boss practice of stage 2: silent
  };
  for (const Type12Case& c : cases) {
    SetUp();
    g_flags.StageNumber = c.stage;
    Spawn(12, 0, 180.0, 20.0, c.mode);
    Run(kType12Frames);
    std::vector<int> side, aimed;
    for (int f : VolleyFrames()) {
      const std::vector<FiredBullet> v = BulletsOn(f);
      int n9 = 0;
      for (const FiredBullet& b : v) n9 += b.type == 9;
      if (n9 < static_cast<int>(v.size())) {
        side.push_back(f);
        EXPECT_EQ(static_cast<int>(v.size()) - n9, c.side_bullets) << c.stage << " " << c.mode;
      }
      if (n9 > 0) {
        aimed.push_back(f);
        EXPECT_EQ(n9, c.aimed_bullets) << c.stage << " " << c.mode << " " << f;
      }
    }
    EXPECT_EQ(Offsets(side, kType12FirstPatternFrame), c.side) << c.stage << " " << c.mode;
    EXPECT_EQ(Offsets(aimed, kType12FirstPatternFrame), c.aimed) << c.stage << " " << c.mode;
    EXPECT_TRUE(shot_sounds.empty());
    if (side.empty()) continue;
    EXPECT_EQ(BulletsOn(side[0])[0].type, 2);
    EXPECT_DOUBLE_EQ(BulletsOn(side[0])[0].speed, c.first_side_speed);
    // Speed shots / 2 + base within each aimed burst.
    for (size_t i = 0; i < aimed.size(); ++i) {
      const int slot = (c.aimed[i] - 40) % 50 / 5;
      for (const FiredBullet& b : BulletsOn(aimed[i])) {
        if (b.type == 9) {
          EXPECT_DOUBLE_EQ(b.speed, slot / 2.0 + c.aimed_base) << i;
        }
      }
    }
  }
}

TEST_F(Stage2CraftTest, Type12SidesSweepTowardEachOtherEachSpeedFromBothGuns) {
  g_flags.StageNumber = 2;
  EnemyObject& e = Spawn(12, 0, 180.0, 20.0, 2);
  Run(kType12FirstPatternFrame + 21);
  for (int n = 0; n < 3; ++n) {
    const std::vector<FiredBullet> v = BulletsOn(kType12FirstPatternFrame + 10 * n);
    ASSERT_EQ(v.size(), 24u) << n;
    // Fans of 6 x 24 in the order gun 0, gun 1 at 2.8, then both at 3.0.
    const double centre[] = {120.0 - 12 * n, 60.0 + 12 * n, 120.0 - 12 * n, 60.0 + 12 * n};
    const double speed[] = {2.8, 2.8, 3.0, 3.0};
    const double dx[] = {-40.0, 40.0, -40.0, 40.0};
    for (int f = 0; f < 4; ++f) {
      EXPECT_DOUBLE_EQ(v[6 * f].angle, centre[f] - 60.0) << n << " " << f;
      EXPECT_DOUBLE_EQ(v[6 * f + 5].angle, centre[f] + 60.0);
      EXPECT_DOUBLE_EQ(v[6 * f].speed, speed[f]);
      EXPECT_NEAR(v[6 * f].x - dx[f], v[0].x + 40.0, 1e-9);
    }
  }
  EXPECT_DOUBLE_EQ(e.vy, 1.0);
}

TEST_F(Stage2CraftTest, Type12AimedBurstKeepsEachNoseGunsFirstAim) {
  g_flags.StageNumber = 2;
  PlacePlayer(200.0, 440.0);
  Spawn(12, 0, 180.0, 20.0, 1);
  const int first = kType12FirstPatternFrame + 40;
  Run(first + 1);
  const std::vector<FiredBullet> a = BulletsOn(first);
  ASSERT_EQ(a.size(), 2u);
  // Gun 2 at (cx - 16, cy + 32) and gun 3 at (cx + 16, cy + 32), each aimed
  // from where it stands.
  EXPECT_NEAR(a[1].x - a[0].x, 32.0, 1e-9);
  EXPECT_NE(a[0].angle, a[1].angle);
  for (const FiredBullet& b : a) EXPECT_DOUBLE_EQ(b.angle, AngleToPlayer(b.x, b.y));
  // Held for the burst while the player moves.
  PlacePlayer(450.0, 300.0);
  Run(60);
  const std::vector<FiredBullet> b = BulletsOn(first + 10);
  ASSERT_EQ(b.size(), 2u);
  for (int i = 0; i < 2; ++i) EXPECT_DOUBLE_EQ(b[i].angle, a[i].angle);
  // The next burst aims afresh.
  const std::vector<FiredBullet> next = BulletsOn(first + 50);
  ASSERT_EQ(next.size(), 2u);
  EXPECT_DOUBLE_EQ(next[0].angle, AngleToPlayer(next[0].x, next[0].y));
  EXPECT_NE(next[0].angle, a[0].angle);
}

// ---- type 15 ----

struct Type15Case {
  int mode;
  std::vector<int> frames;
  int per_volley;
  double speed;
};

TEST_F(Stage2CraftTest, Type15FiresFromBothGunsAtTheModeInterval) {
  const Type15Case cases[] = {
      {0, {0, 60, 120}, 6, 2.7},
      {1, {0, 45, 90, 135}, 6, 3.2},
      {2, {0, 35, 70, 105}, 10, 4.2},
      {3, {0, 45, 90, 135}, 6, 3.2},
  };
  for (const Type15Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(15, 0, 180.0, 20.0, c.mode);
    e.screen_state = 1;
    // Sinking at 2 from y 20 it reaches 300 on frame 140 and stops firing.
    Run(200);
    EXPECT_EQ(VolleyFrames(), c.frames) << c.mode;
    for (int f : VolleyFrames()) {
      const std::vector<FiredBullet> v = BulletsOn(f);
      ASSERT_EQ(static_cast<int>(v.size()), c.per_volley) << c.mode;
      EXPECT_EQ(v[0].type, 0);
      EXPECT_DOUBLE_EQ(v[0].speed, c.speed);
      if (c.mode == 2) {
        EXPECT_DOUBLE_EQ(v[6].speed, 3.8);
      }
    }
    EXPECT_TRUE(shot_sounds.empty());
  }
}

TEST_F(Stage2CraftTest, Type15GunsSitUnderTheTurretTheDrawingTurns) {
  PlacePlayer(140.0, 120.0);  // far to the left: the turret turns from 90 all the way
  EnemyObject& e = Spawn(15, 0, 180.0, 20.0, 2);
  e.screen_state = 1;
  Run(35);
  // The drawing has turned the aim from 90 by 2 a frame.
  const int aim = e.turn_angles[0];
  EXPECT_EQ(aim, 90 + 2 * 35);
  const double cx = e.x + e.vx, cy = e.y + e.vy;
  Frame();  // volley: the guns from the aim the last draw left
  const std::vector<FiredBullet> v = BulletsOn(35);
  ASSERT_EQ(v.size(), 10u);
  const int g = aim / 14 * 14;
  const double gx[] = {cx + CosDeg(g + 40.0) * 56.0, cx + CosDeg(g - 40.0) * 56.0};
  const double gy[] = {cy + SinDeg(g + 40.0) * 52.0, cy + SinDeg(g - 40.0) * 52.0};
  // Gun 0's 3 x 10, gun 1's 3 x 10, then gun 0's and gun 1's 2 x 5.
  const int first_of[] = {0, 3, 6, 8};
  const int gun_of[] = {0, 1, 0, 1};
  const double half[] = {10.0, 10.0, 2.5, 2.5};
  for (int i = 0; i < 4; ++i) {
    const FiredBullet& b = v[first_of[i]];
    const int gun = gun_of[i];
    EXPECT_NEAR(b.x, gx[gun], 1e-9) << i;
    EXPECT_NEAR(b.y, gy[gun], 1e-9) << i;
    EXPECT_DOUBLE_EQ(b.angle, AngleToPlayer(gx[gun], gy[gun]) - half[i]) << i;
  }
}

TEST_F(Stage2CraftTest, Type15SinksAndDriftsTowardThePlayersSide) {
  PlacePlayer(500.0, 300.0);
  EnemyObject& e = Spawn(15, 0, 180.0, 100.0, 1);
  Run(1);
  EXPECT_DOUBLE_EQ(e.vy, 2.0);
  EXPECT_DOUBLE_EQ(e.vx, CosDeg(AngleToPlayerCentre(e.x, e.y)));
  EXPECT_GT(e.vx, 0.5);
  PlacePlayer(140.0, 100.0);
  Run(1);
  EXPECT_DOUBLE_EQ(e.vx, CosDeg(AngleToPlayerCentre(e.x, e.y)));
  EXPECT_LT(e.vx, -0.99);
}

TEST_F(Stage2CraftTest, Type15HoldsFireOffTheFieldAndLow) {
  EnemyObject& low = Spawn(15, 0, 100.0, 300.0, 2);
  low.screen_state = 1;
  Spawn(15, 0, 250.0, -80.0, 2);  // still entering
  Run(30);
  EXPECT_TRUE(bullets.empty());
}

}  // namespace
