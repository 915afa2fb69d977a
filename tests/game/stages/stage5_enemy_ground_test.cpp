#include <cmath>

#include "enemy_script_fixture.h"

namespace {

using Stage5GroundTest = EnemyScriptTest;

// ---- type 30 ----

TEST_F(Stage5GroundTest, Type30CreepsAlongTheGroundByVariant) {
  struct Case {
    int variant;
    double heading;
    double gun_dx, gun_dy;
  } const cases[] = {{0, 0, 0, -20}, {1, 180, 0, -20}, {2, 140, 16, -4}, {3, 320, 0, -16}};
  for (const Case& c : cases) {
    SetUp();
    g_stage.layer1_speed = 0.5;
    EnemyObject& e = Spawn(30, c.variant, 180.0, 100.0, 1);
    Run(2);
    EXPECT_DOUBLE_EQ(e.vx, CosDeg(c.heading)) << c.variant;
    EXPECT_DOUBLE_EQ(e.vy, SinDeg(c.heading) + 0.5) << c.variant;
    EXPECT_DOUBLE_EQ(e.gun_x[0], e.x + c.gun_dx);
    EXPECT_DOUBLE_EQ(e.gun_y[0], e.y + c.gun_dy);
  }
}

TEST_F(Stage5GroundTest, Type30OfAnUnknownVariantOnlyRidesTheGround) {
  g_stage.layer1_speed = 0.5;
  EnemyObject& e = Spawn(30, 4, 180.0, 100.0, 2);
  e.screen_state = 1;
  Run(60);
  EXPECT_TRUE(bullets.empty());
  EXPECT_DOUBLE_EQ(e.vx, 0.0);
  EXPECT_DOUBLE_EQ(e.vy, 0.5);
}

TEST_F(Stage5GroundTest, Type30SpinsItsCrossAndLaysRingsTheOtherWay) {
  struct Case {
    int mode;
    int variant;
    int interval;
    int cross_step;
    double cross_speed;
    bool cross_fans;
    int ring_step;
    std::vector<double> ring_speeds;
    std::vector<int> ring_turns;  // times k and the sign
  } const cases[] = {
      {0, 0, 9, 120, 3.0, false, 24, {2.7}, {-4}},
      {1, 0, 6, 90, 3.4, false, 18, {3.0}, {-4}},
      {1, 2, 6, 90, 3.4, false, 18, {3.0}, {-4}},
      {2, 1, 5, 90, 3.4, true, 15, {3.5, 3.8}, {-3, 3}},
  };
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(30, c.variant, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    Run(10 * c.interval);
    const int sign = c.variant == 0 ? -1 : 1;
    std::vector<int> cross = FramesOf(OfType(0));
    ASSERT_EQ(cross.size(), 10u) << c.mode;
    EXPECT_EQ(shot_sounds, cross);  // the rings are silent
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(cross[i], i * c.interval);
      std::vector<FiredBullet> v = OfType(0, cross[i]);
      const size_t per = c.cross_fans ? 3 : 1;
      ASSERT_EQ(v.size(), (360 / c.cross_step) * per);
      for (int a = 0, d = 0; a < 360; a += c.cross_step, ++d) {
        const FiredBullet& b = v[d * per];
        EXPECT_DOUBLE_EQ(b.angle, a + 7 * i * sign) << c.mode << " " << i;
        EXPECT_DOUBLE_EQ(b.speed, c.cross_speed);
        if (c.cross_fans) {
          EXPECT_DOUBLE_EQ(v[d * per + 1].angle, b.angle - 3.0);
          EXPECT_DOUBLE_EQ(v[d * per + 2].speed, 4.0);
        }
      }
    }
    // Two ring volleys of every eight, turned by the cross volleys so far,
    // this frame's included.
    const std::vector<int> rings = {0, c.interval, 8 * c.interval, 9 * c.interval};
    EXPECT_EQ(FramesOf(OfType(7)), rings) << c.mode;
    for (int f : rings) {
      const int k = f / c.interval + 1;
      std::vector<FiredBullet> v = OfType(7, f);
      const size_t n = c.ring_speeds.size();
      ASSERT_EQ(v.size(), (360 / c.ring_step) * n);
      for (int a = 0, d = 0; a < 360; a += c.ring_step, ++d)
        for (size_t r = 0; r < n; ++r) {
          EXPECT_DOUBLE_EQ(v[d * n + r].angle, a + c.ring_turns[r] * k * sign) << c.mode << f;
          EXPECT_DOUBLE_EQ(v[d * n + r].speed, c.ring_speeds[r]);
        }
    }
  }
}

// ---- type 34 ----

TEST_F(Stage5GroundTest, Type34HoldsItsTurretStillWhileItFires) {
  struct Case {
    int mode;
    std::vector<int> volleys;
    int locked_to;  // the last frame of the first burst's lock
    size_t count;
    double step;
    double speed;
  } const cases[] = {
      {0, {0, 5, 75, 80}, 10, 5, 27, 2.5},
      {1, {0, 5, 10, 50, 55, 60}, 15, 5, 20, 3.4},
      {2, {0, 5, 10, 50, 55, 60}, 15, 7, 16, 3.8},
  };
  for (const Case& c : cases) {
    SetUp();
    g_stage.layer1_speed = 0.25;
    PlacePlayer(480.0, 100.0);  // up and to the right: a long turn from 90
    EnemyObject& e = Spawn(34, 0, 180.0, 200.0, c.mode);
    e.screen_state = 1;
    std::vector<int> aim;
    std::vector<double> cx, cy;
    for (int f = 0; f < c.volleys.back() + 1; ++f) {
      Frame();
      aim.push_back(e.turn_angles[0]);
      cx.push_back(e.x);
      cy.push_back(e.y);
    }
    EXPECT_EQ(VolleyFrames(), c.volleys) << c.mode;
    EXPECT_EQ(shot_sounds, c.volleys);
    // From 90 it turns 3 a frame, but not while the burst fires.
    EXPECT_EQ(aim[0], 87);
    for (int f = 1; f <= c.locked_to; ++f) ASSERT_EQ(aim[f], 87) << c.mode << " " << f;
    EXPECT_EQ(aim[c.locked_to + 1], 84);
    EXPECT_EQ(aim[c.locked_to + 2], 81);
    for (int f : c.volleys) {
      std::vector<FiredBullet> v = BulletsOn(f);
      ASSERT_EQ(v.size(), 2 * c.count);
      const double a = aim[f];
      // Gun 0's fan 10 degrees right of the aim, gun 1's 10 left.
      EXPECT_NEAR(v[c.count / 2].angle, a + 10.0, 1e-9) << c.mode << " " << f;
      EXPECT_NEAR(v[c.count + c.count / 2].angle, a - 10.0, 1e-9);
      EXPECT_NEAR(v[1].angle - v[0].angle, c.step, 1e-9);
      EXPECT_EQ(v[0].type, 5);
      EXPECT_DOUBLE_EQ(v[0].speed, c.speed);
      // The barrels, 56 out at aim -+ 40 about a point 8 above the centre,
      // from the aim the previous frame left.
      const double prev = f == 0 ? 0.0 : aim[f - 1];
      EXPECT_DOUBLE_EQ(v[0].x, cx[f] + 56.0 * CosDeg(prev - 40.0));
      EXPECT_DOUBLE_EQ(v[0].y, (cy[f] - 8.0) + 56.0 * SinDeg(prev - 40.0));
      EXPECT_DOUBLE_EQ(v[c.count].y, (cy[f] - 8.0) + 56.0 * SinDeg(prev + 40.0));
    }
    EXPECT_DOUBLE_EQ(e.vy, 0.25);
  }
}

// ---- type 37 ----

TEST_F(Stage5GroundTest, Type37OpensFireOnItsSixtySecondOpenFrame) {
  struct Case {
    int mode;
    std::vector<int> volleys;
    int ring;
    double offset;
    double base;  // speed s + base
  } const cases[] = {
      {0, {61, 79, 97, 115, 169}, 20, 6.0, 2.0},
      {1, {61, 79, 97, 115, 133, 169}, 30, 6.0, 3.0},
      {2, {61, 69, 77, 85, 93, 109}, 36, 10.0, 3.2},
      {3, {61, 79, 97, 115, 133, 169}, 30, 6.0, 3.0},
  };
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(260.0, 440.0);
    EnemyObject& e = Spawn(37, 0, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    Run(c.volleys.back() + 1);
    EXPECT_EQ(VolleyFrames(), c.volleys) << c.mode;
    EXPECT_EQ(shot_sounds, c.volleys);
    for (size_t i = 0; i < c.volleys.size(); ++i) {
      std::vector<FiredBullet> v = BulletsOn(c.volleys[i]);
      ASSERT_EQ(static_cast<int>(v.size()), c.ring);
      const int s = static_cast<int>(i) % (c.mode == 0 ? 4 : 5);
      const double aim = AngleToPlayer(e.x, e.y - 72.0);
      EXPECT_EQ(v[0].type, 7);
      EXPECT_DOUBLE_EQ(v[0].x, e.x);
      EXPECT_DOUBLE_EQ(v[0].y, e.y - 72.0);
      EXPECT_DOUBLE_EQ(v[0].angle, 0 + aim + c.offset);
      EXPECT_DOUBLE_EQ(v[1].angle, 360 / c.ring + aim + c.offset);
      EXPECT_DOUBLE_EQ(v[0].speed, s + c.base) << c.mode << " " << i;
    }
  }
}

TEST_F(Stage5GroundTest, Type37CountsOnlyTheFramesItsGateIsOpen) {
  struct Block {
    double y;
    int frames;
  };
  struct Case {
    std::vector<Block> blocks;
    int first_volley;
  } const cases[] = {
      // Off the field for 30 frames: on the field at the end of frame 30.
      {{{-150.0, 30}, {100.0, 100}}, 31 + 61},
      // 40 open frames, 20 held at y 300, then open again.
      {{{100.0, 40}, {300.0, 20}, {100.0, 40}}, 40 + 20 + 21},
  };
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(37, 0, 180.0, c.blocks[0].y, 1);
    if (c.blocks[0].y > 0.0) e.screen_state = 1;
    for (const Block& b : c.blocks)
      for (int i = 0; i < b.frames; ++i) {
        e.y = b.y;
        Frame();
      }
    ASSERT_FALSE(bullets.empty());
    EXPECT_EQ(VolleyFrames().front(), c.first_volley);
  }
}

TEST_F(Stage5GroundTest, GroundGunsHoldFireLow) {
  struct Case {
    int type;
    double y;
  } const cases[] = {{34, 360.0}, {37, 300.0}, {30, 300.0}};
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(c.type, 0, 180.0, c.y, 2);
    e.screen_state = 1;
    for (int f = 0; f < 100; ++f) {
      e.y = c.y;
      Frame();
    }
    EXPECT_TRUE(bullets.empty()) << c.type;
  }
}

}  // namespace
