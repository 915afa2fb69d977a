#include "enemy_script_fixture.h"

namespace {

using Stage3TankTest = EnemyScriptTest;

struct RouteCase {
  int variant;
  int body;          // turn angle 0, as the drawing reads it
  double speed;      // while driving
  int drive_frames;  // then standing (-1: never stops)
};

TEST_F(Stage3TankTest, Type18DrivesItsRouteOnTheScrollingGround) {
  const RouteCase cases[] = {
      {0, 0, 1.0, -1},    {1, 270, 0.0, -1}, {2, 180, 1.0, 160},
      {3, 325, 1.0, 160}, {4, 0, 1.0, 240},  {5, 140, 1.0, -1},
  };
  for (const RouteCase& c : cases) {
    SetUp();
    g_stage.layer1_speed = 1.25;
    EnemyObject& e = Spawn(18, c.variant, 180.0, -1000.0, 1);  // never reaches the field
    const int last = c.drive_frames < 0 ? 300 : c.drive_frames + 5;
    for (int f = 0; f < last; ++f) {
      Frame();
      ASSERT_EQ(e.turn_angles[0], c.body) << c.variant;
      const bool driving = c.drive_frames < 0 || f < c.drive_frames;
      const double v = driving ? c.speed : 0.0;
      EXPECT_DOUBLE_EQ(e.vx, CosDeg(c.body) * v) << c.variant << " " << f;
      EXPECT_DOUBLE_EQ(e.vy, SinDeg(c.body) * v + 1.25) << c.variant << " " << f;
    }
  }
}

TEST_F(Stage3TankTest, Type18WithAnUnknownVariantGathersTheScrollInItsSpeed) {
  g_stage.layer1_speed = 0.5;
  EnemyObject& e = Spawn(18, 6, 180.0, -1000.0, 1);
  Run(10);
  EXPECT_DOUBLE_EQ(e.vy, 5.0);
  EXPECT_DOUBLE_EQ(e.vx, 0.0);
  EXPECT_EQ(e.turn_angles[0], 0);
}

struct Type18Case {
  int mode;
  std::vector<int> frames;
  int per_volley;
  double speed;
};

TEST_F(Stage3TankTest, Type18FiresBurstsEverySixFrames) {
  const std::vector<int> five_of_six = {0, 6, 12, 18, 24, 36, 42, 48, 54, 60, 72, 78};
  const Type18Case cases[] = {
      {0, {0, 6, 12, 60, 66, 72}, 1, 2.7},
      {1, five_of_six, 1, 3.4},
      {2, five_of_six, 3, 3.7},
      {3, five_of_six, 1, 3.4},
  };
  for (const Type18Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(18, 1, 180.0, 100.0, c.mode);  // standing
    e.screen_state = 1;
    Run(80);
    EXPECT_EQ(VolleyFrames(), c.frames) << c.mode;
    for (int f : VolleyFrames()) {
      const std::vector<FiredBullet> v = BulletsOn(f);
      ASSERT_EQ(static_cast<int>(v.size()), c.per_volley) << c.mode;
      EXPECT_EQ(v[0].type, 0);
      EXPECT_DOUBLE_EQ(v[0].speed, c.speed);
    }
    EXPECT_TRUE(shot_sounds.empty());
  }
}

TEST_F(Stage3TankTest, Type18BurstsAlternateGunsAndScatterAboutTheFirstAim) {
  PlacePlayer(200.0, 440.0);
  EnemyObject& e = Spawn(18, 1, 180.0, 100.0, 2);  // facing up: gun 0 above, gun 1 below
  e.screen_state = 1;
  for (int burst = 0; burst < 2; ++burst) {
    double aim = 0.0;
    for (int slot = 0; slot < 6; ++slot) {
      const int f = frame;
      const uint32_t before = RandomSeed;
      if (slot == 1) PlacePlayer(450.0, 300.0);  // the burst keeps its first aim
      Run(6);
      const std::vector<FiredBullet> v = BulletsOn(f);
      if (slot == 5) {  // the sixth slot rests
        EXPECT_TRUE(v.empty());
        EXPECT_EQ(RandomSeed, before);
        continue;
      }
      ASSERT_EQ(v.size(), 3u) << burst << " " << slot;
      const double gun_y = burst == 0 ? e.y - 16.0 : e.y + 24.0;
      EXPECT_NEAR(v[1].x, e.x, 1e-4);  // cos 270 is not quite 0
      EXPECT_NEAR(v[1].y, gun_y, 1e-4);
      if (slot == 0) aim = AngleToPlayer(v[1].x, v[1].y);
      // One draw per volley, after the aim.
      const uint32_t after = RandomSeed;
      EXPECT_EQ(DrawsBetween(before, after), 1);
      RandomSeed = before;
      const int32_t r = RandomIntSigned(5);
      RandomSeed = after;
      EXPECT_DOUBLE_EQ(v[1].angle, aim + r) << burst << " " << slot;
      EXPECT_DOUBLE_EQ(v[0].angle, aim + r - 2.0);
      EXPECT_DOUBLE_EQ(v[2].angle, aim + r + 2.0);
    }
    PlacePlayer(200.0, 440.0);
  }
}

TEST_F(Stage3TankTest, Type18HoldsFireNearThePlayerLowAndOffTheField) {
  EnemyObject& near = Spawn(18, 1, 180.0, 100.0, 2);
  near.screen_state = 1;
  PlacePlayer(320.0, 164.0);  // 64 from the centre
  EnemyObject& low = Spawn(18, 1, 60.0, 400.0, 2);
  low.screen_state = 1;
  Spawn(18, 1, 300.0, -60.0, 2);  // still entering
  Run(40);
  EXPECT_TRUE(bullets.empty());
}

}  // namespace
