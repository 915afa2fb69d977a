#include <cmath>

#include "enemy_script_fixture.h"

namespace {

class Stage4GroundTest : public EnemyScriptTest {};

// ---- type 23 ----

TEST_F(Stage4GroundTest, Type23FiresParallelPairsFromItsTwoBarrels) {
  struct Case {
    int mode;
    int frames;
    std::vector<int> volleys;
    std::vector<double> speeds;  // per barrel pair, gun 0 then gun 1
  } const cases[] = {
      {0, 140, {0, 15, 120, 135}, {3.0}},
      {1, 140, {0, 15, 30, 75, 90, 105}, {3.4}},
      {2, 130, {0, 13, 26, 65, 78, 91}, {4.0, 3.7}},
  };
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(380.0, 440.0);
    EnemyObject& e = Spawn(23, 0, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    Run(c.frames);
    EXPECT_EQ(VolleyFrames(), c.volleys) << c.mode;
    const int aim = static_cast<int>(AngleToPlayerCentre(e.x, e.y));
    EXPECT_EQ(e.turn_angles[0], aim);
    for (int f : VolleyFrames()) {
      std::vector<FiredBullet> v = BulletsOn(f);
      ASSERT_EQ(v.size(), 2 * c.speeds.size()) << c.mode;
      for (size_t i = 0; i < v.size(); ++i) {
        EXPECT_EQ(v[i].type, 1);
        EXPECT_DOUBLE_EQ(v[i].angle, aim);  // parallel, along the aim itself
        EXPECT_DOUBLE_EQ(v[i].speed, c.speeds[i / 2]);
      }
      if (f == 0) continue;  // frame 0 placed the barrels from the spawn's aim 0
      // The barrels sit 56 out at aim - 15 and aim + 15.
      EXPECT_DOUBLE_EQ(v[0].x, e.x + CosDeg(aim - 15.0) * 56.0);
      EXPECT_DOUBLE_EQ(v[0].y, e.y + SinDeg(aim - 15.0) * 56.0);
      EXPECT_DOUBLE_EQ(v[1].x, e.x + CosDeg(aim + 15.0) * 56.0);
    }
    EXPECT_TRUE(shot_sounds.empty());
  }
}

TEST_F(Stage4GroundTest, BarrelsTurnThreeDegreesAFrameFromThePlayersFirstBearing) {
  for (int type : {23, 24}) {
    SetUp();
    g_stage.layer1_speed = 0.75;
    PlacePlayer(320.0, 440.0);
    EnemyObject& e = Spawn(type, 0, 180.0, 100.0, 1);
    Run(1);
    // Straight at the player's centre at once, in whole degrees (89: the
    // single-precision pi puts straight down just below 90).
    const int first = e.turn_angles[0];
    EXPECT_EQ(first, static_cast<int>(AngleToPlayerCentre(e.x, e.y))) << type;
    EXPECT_EQ(first, 89);
    EXPECT_DOUBLE_EQ(e.vy, 0.75);
    for (int f = 1; f <= 30; ++f) {
      PlacePlayer(500.0, e.y + 0.75);  // level with it, to the right: bearing 0
      Run(1);
      ASSERT_EQ(e.turn_angles[0], f < 30 ? first - 3 * f : 0) << type << " " << f;
    }
    EXPECT_DOUBLE_EQ(e.vx, 0.0);
  }
}

TEST_F(Stage4GroundTest, GroundGunsHoldFireWithin64AndBelow300) {
  struct Case {
    int type;
    double y;
    double player_y;
  } const cases[] = {{23, 100, 164}, {24, 100, 164}, {25, 100, 164},
                     {23, 300, 440}, {24, 300, 440}, {25, 300, 440}};
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(320.0, c.player_y);
    EnemyObject& e = Spawn(c.type, 0, 180.0, c.y, 2);
    e.screen_state = 1;
    Run(40);
    EXPECT_TRUE(bullets.empty()) << c.type << " " << c.y;
  }
}

// ---- type 24 ----

TEST_F(Stage4GroundTest, Type24FiresLayeredFansFromItsBarrel) {
  struct Layer {
    size_t count;
    double step;
    double speed;
  };
  struct Case {
    int mode;
    int interval;
    std::vector<Layer> layers;
  } const cases[] = {
      {0, 60, {{2, 10, 2.0}, {1, 0, 2.4}}},
      {1, 30, {{2, 10, 3.0}, {1, 0, 3.4}}},
      {2, 30, {{3, 20, 3.0}, {2, 10, 3.4}, {1, 0, 3.8}}},
  };
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(250.0, 440.0);
    EnemyObject& e = Spawn(24, 0, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    Run(4 * c.interval);
    EXPECT_EQ(VolleyFrames(), (std::vector<int>{0, c.interval, 2 * c.interval, 3 * c.interval}));
    const double aim = e.turn_angles[0];
    std::vector<FiredBullet> v = BulletsOn(c.interval);
    size_t at = 0;
    for (const Layer& l : c.layers) {
      ASSERT_LT(at + l.count - 1, v.size());
      EXPECT_EQ(v[at].type, 9);
      EXPECT_DOUBLE_EQ(v[at].angle, aim - l.step * (l.count - 1) / 2.0) << c.mode;
      EXPECT_DOUBLE_EQ(v[at].speed, l.speed);
      EXPECT_DOUBLE_EQ(v[at].x, e.x + CosDeg(aim) * 40.0);
      at += l.count;
    }
    EXPECT_EQ(at, v.size());
    EXPECT_TRUE(shot_sounds.empty());
  }
}

// ---- type 25 ----

TEST_F(Stage4GroundTest, Type25CrossTurnsTenDegreesAVolleyAndAlternatesItsSpeed) {
  struct Case {
    int mode;
    int variant;
    int interval;
    double base;
    double sense;  // variant 0 turns the other way
    bool fans;
  } const cases[] = {
      {0, 1, 20, 2.0, 1.0, false}, {1, 0, 10, 3.0, -1.0, false},
      {1, 1, 10, 3.0, 1.0, false}, {2, 0, 8, 3.5, -1.0, true},
  };
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(25, c.variant, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    Run(3 * c.interval);
    ASSERT_EQ(VolleyFrames(), (std::vector<int>{0, c.interval, 2 * c.interval})) << c.mode;
    for (int k = 0; k < 3; ++k) {
      std::vector<FiredBullet> v = BulletsOn(k * c.interval);
      const size_t per = c.fans ? 3 : 1;
      ASSERT_EQ(v.size(), 4 * per);
      for (int d = 0; d < 4; ++d) {
        const FiredBullet& b = v[d * per];
        EXPECT_EQ(b.type, 5);
        EXPECT_DOUBLE_EQ(b.angle, 90.0 * d + c.sense * 10.0 * k) << c.mode << " " << k;
        EXPECT_DOUBLE_EQ(b.speed, c.base + (k % 2) * 0.5) << c.mode << " " << k;
        EXPECT_DOUBLE_EQ(b.x, e.x);
        if (c.fans) {
          EXPECT_DOUBLE_EQ(v[d * per + 1].angle, b.angle - 4.0);
          EXPECT_DOUBLE_EQ(v[d * per + 2].angle, b.angle + 4.0);
          EXPECT_DOUBLE_EQ(v[d * per + 1].speed, 3.8 + (k % 2) * 0.5);
        }
      }
    }
    EXPECT_TRUE(shot_sounds.empty());
  }
}

// ---- type 27 ----

TEST_F(Stage4GroundTest, Type27ThrowsTurningRingsFromBothEmitters) {
  struct Case {
    int mode;
    int interval;
    int step;
    std::vector<double> speeds;
  } const cases[] = {{0, 20, 30, {2.0}}, {1, 15, 24, {2.5}}, {2, 12, 24, {3.8, 4.0}}};
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(27, 0, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    Run(1 + 3 * c.interval);
    // Frame 0 only switches the life state on.
    const std::vector<int> expect = {1, 1 + c.interval, 1 + 2 * c.interval};
    EXPECT_EQ(VolleyFrames(), expect) << c.mode;
    EXPECT_EQ(shot_sounds, expect);
    for (int k = 0; k < 3; ++k) {
      std::vector<FiredBullet> v = BulletsOn(1 + k * c.interval);
      const size_t n = c.speeds.size();
      ASSERT_EQ(v.size(), static_cast<size_t>(360 / c.step) * 2 * n) << c.mode;
      for (int i = 0; i < 360 / c.step; ++i) {
        const int a = i * c.step;
        for (size_t s = 0; s < n; ++s) {
          const FiredBullet& left = v[(i * n + s) * 2];
          const FiredBullet& right = v[(i * n + s) * 2 + 1];
          EXPECT_EQ(left.type, 10);
          EXPECT_DOUBLE_EQ(left.angle, a - 13.0 * k);
          EXPECT_DOUBLE_EQ(right.angle, a - 13.0 * k);
          EXPECT_DOUBLE_EQ(left.speed, c.speeds[s]);
          // Both start on a flattened ring round each emitter, cosines only.
          EXPECT_DOUBLE_EQ(left.x, e.x - 60.0 + 30.0 * CosDeg(a + k));
          EXPECT_DOUBLE_EQ(left.y, e.y + 64.0 + 20.0 * CosDeg(a - k));
          EXPECT_DOUBLE_EQ(right.x, e.x + 60.0 + 30.0 * CosDeg(a - k));
          EXPECT_DOUBLE_EQ(right.y, e.y + 64.0 + 20.0 * CosDeg(a + k));
        }
      }
    }
  }
}

TEST_F(Stage4GroundTest, Type27StopsFiringOnceItsCentreReaches240) {
  g_stage.layer1_speed = 1.0;
  EnemyObject& e = Spawn(27, 0, 180.0, 200.0, 1);
  e.screen_state = 1;
  Run(60);
  // y = 200 + frames moved: 240 is reached on frame 40, so the volleys of
  // frames 1, 16 and 31 leave and that of 46 does not.
  EXPECT_EQ(VolleyFrames(), (std::vector<int>{1, 16, 31}));
  EXPECT_DOUBLE_EQ(e.vy, 1.0);
}

}  // namespace
