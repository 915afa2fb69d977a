#include <cmath>

#include "enemy_script_fixture.h"

namespace {

using Stage3CraftTest = EnemyScriptTest;

// ---- type 16 ----

// Move state 1 starts on frame 1; braking by 0.05 from 4 leaves vy exactly
// 1.0 on its 62nd frame, the first on which it may fire.
constexpr int kType16FirstVolley = 62;

struct Type16Case {
  int mode;
  std::vector<int> offsets;
  std::vector<int> counts;  // of each volley of a burst
  double speed;
};

TEST_F(Stage3CraftTest, Type16FiresShortBurstsOnceBrakedUntilItsHoverEnds) {
  const std::vector<int> wrap8 = {0, 8, 16, 24, 64, 72, 80, 88, 128, 136};
  const Type16Case cases[] = {
      {0, {0, 8, 16, 24, 96, 104, 112, 120}, {2, 2, 1, 1}, 3.0},
      {1, wrap8, {2, 2, 1, 1}, 3.5},
      {2, {0, 8, 16, 24, 48, 56, 64, 72, 96, 104, 112, 120}, {3, 3, 2, 2}, 4.2},
      {3, wrap8, {2, 2, 1, 1}, 3.5},
  };
  for (const Type16Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(16, 0, 180.0, -60.0, c.mode);
    Run(400);
    ASSERT_FALSE(bullets.empty()) << c.mode;
    EXPECT_EQ(VolleyFrames().front(), kType16FirstVolley) << c.mode;
    EXPECT_EQ(VolleyOffsets(), c.offsets) << c.mode;
    for (size_t i = 0; i < c.offsets.size(); ++i) {
      const std::vector<FiredBullet> v = BulletsOn(kType16FirstVolley + c.offsets[i]);
      ASSERT_EQ(static_cast<int>(v.size()), c.counts[i % 4]) << c.mode << " " << i;
      EXPECT_EQ(v[0].type, 0);
      EXPECT_DOUBLE_EQ(v[0].speed, c.speed);
    }
    EXPECT_TRUE(shot_sounds.empty());
    EXPECT_EQ(e.in_use, 0);  // climbed away off the top
  }
}

TEST_F(Stage3CraftTest, Type16ReachesExactlyOneOnTheSixtySecondFrameAndHoversTwoHundred) {
  EnemyObject& e = Spawn(16, 0, 180.0, -60.0, 1);
  Run(1);
  EXPECT_DOUBLE_EQ(e.vy, 4.0);
  Run(kType16FirstVolley - 1);  // 61 frames of move state 1
  EXPECT_GT(e.vy, 0.95);
  EXPECT_LT(e.vy, 0.951);
  Run(1);
  EXPECT_EQ(e.vy, 1.0);
  EXPECT_EQ(VolleyFrames(), std::vector<int>{kType16FirstVolley});
  Run(200 - kType16FirstVolley - 1);  // through the 199th frame of state 1
  EXPECT_EQ(e.move_state, 1);
  Run(1);
  EXPECT_EQ(e.move_state, 2);
  // Climbs away, gaining 0.05 a frame up to 5.
  Run(1);
  EXPECT_NEAR(e.vy, 0.95, 1e-12);
  Run(121);
  ASSERT_EQ(e.in_use, 1);
  EXPECT_LE(e.vy, -5.0);
  EXPECT_GT(e.vy, -5.06);
  const double top = e.vy;
  Run(1);
  EXPECT_EQ(e.vy, top);
}

TEST_F(Stage3CraftTest, Type16TurretLocksForTheBurstAndSwingsBetween) {
  PlacePlayer(200.0, 440.0);
  EnemyObject& e = Spawn(16, 0, 180.0, -60.0, 1);
  std::vector<int> aims;
  std::vector<double> xs, ys;
  for (int f = 0; f < kType16FirstVolley + 40; ++f) {
    if (f == kType16FirstVolley) PlacePlayer(470.0, 440.0);
    Frame();
    aims.push_back(e.turn_angles[0]);
    xs.push_back(e.x);
    ys.push_back(e.y);
  }
  // Held from the first volley (frame 62) until the tick of shot count 4
  // (frame 94) frees it; it turns from the next frame, 3 degrees a frame.
  for (int f = kType16FirstVolley; f <= kType16FirstVolley + 32; ++f)
    EXPECT_EQ(aims[f], aims[kType16FirstVolley]) << f;
  EXPECT_EQ(aims[kType16FirstVolley + 33], aims[kType16FirstVolley] - 3);
  // The fans of 2 x 15 and the singles leave along the held aim, from the
  // gun 32 out along it.
  const double a = aims[kType16FirstVolley];
  for (int k = 0; k < 4; ++k) {
    const int f = kType16FirstVolley + 8 * k;
    const std::vector<FiredBullet> v = BulletsOn(f);
    ASSERT_EQ(v.size(), k < 2 ? 2u : 1u) << k;
    EXPECT_DOUBLE_EQ(v[0].angle, k < 2 ? a - 7.5 : a) << k;
    EXPECT_DOUBLE_EQ(v[0].x, xs[f] + CosDeg(a) * 32.0) << k;
    EXPECT_DOUBLE_EQ(v[0].y, ys[f] + SinDeg(a) * 32.0) << k;
  }
}

struct Type16TrackCase {
  double spawn_y;
  int first_turn;  // the first frame whose update changes the aim
};

TEST_F(Stage3CraftTest, Type16HoldsItsFirstAimUntilTheFireGateFirstCloses) {
  const Type16TrackCase cases[] = {
      {-60.0, 2},  // entering: the gate is shut at once, it tracks from its second frame
      {100.0, kType16FirstVolley + 33},  // on the field: held until the burst frees it
  };
  for (const Type16TrackCase& c : cases) {
    SetUp();
    PlacePlayer(180.0, 440.0);
    EnemyObject& e = Spawn(16, 0, 180.0, c.spawn_y, 1);
    Frame();
    const int first = e.turn_angles[0];
    PlacePlayer(470.0, 440.0);
    int changed = -1;
    for (int f = 1; f < 200 && changed < 0; ++f) {
      Frame();
      if (e.turn_angles[0] != first) changed = f;
    }
    EXPECT_EQ(changed, c.first_turn) << c.spawn_y;
  }
}

// ---- type 17 ----

struct Type17Case {
  int mode;
  std::vector<int> turret;  // frames
  int turret_bullets;
  double turret_base;
  std::vector<int> centre;
  int centre_bullets[2];  // bullet type 7, then 5
  double centre_speed[2];
};

TEST_F(Stage3CraftTest, Type17TurretsTakeTurnsAndTheCentreGunFiresTwoFans) {
  // Move state 0 on frame 0; both parts fire from frame 1.
  const Type17Case cases[] = {
      {0, {1, 51, 101, 151}, 3, 2.0, {1, 91, 181}, {5, 5}, {2.5, 2.0}},
      {1, {1, 41, 81, 121, 161}, 9, 2.0, {1, 71, 141}, {7, 7}, {2.5, 2.0}},
      {2, {1, 31, 61, 91, 121, 151, 181}, 15, 3.4, {1, 61, 121, 181}, {11, 11}, {3.5, 3.0}},
      {3, {1, 41, 81, 121, 161}, 9, 2.0, {1, 71, 141}, {7, 7}, {2.5, 2.0}},
  };
  for (const Type17Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(17, 0, 180.0, 20.0, c.mode);
    std::vector<double> left_x;  // gun 0's x on each frame
    for (int f = 0; f < 200; ++f) {
      Frame();
      left_x.push_back(e.gun_x[0]);
    }
    std::vector<int> turret, centre;
    for (int f : VolleyFrames()) {
      std::vector<FiredBullet> t, m;
      for (const FiredBullet& b : BulletsOn(f)) (b.type == 2 ? t : m).push_back(b);
      if (!t.empty()) {
        turret.push_back(f);
        ASSERT_EQ(static_cast<int>(t.size()), c.turret_bullets) << c.mode;
        // Three fans along one angle at i / 4 + base.
        const int per = c.turret_bullets / 3;
        for (int i = 0; i < 3; ++i) {
          EXPECT_DOUBLE_EQ(t[per * i].speed, i / 4.0 + c.turret_base);
          EXPECT_DOUBLE_EQ(t[per * i].angle, t[0].angle);
        }
        // The left turret first, then the right.
        const bool left = turret.size() % 2 == 1;
        EXPECT_EQ(t[0].x == left_x[f], left) << c.mode << " " << f;
      }
      if (!m.empty()) {
        centre.push_back(f);
        ASSERT_EQ(static_cast<int>(m.size()), c.centre_bullets[0] + c.centre_bullets[1]);
        EXPECT_EQ(m[0].type, 7);
        EXPECT_DOUBLE_EQ(m[0].speed, c.centre_speed[0]);
        EXPECT_EQ(m[c.centre_bullets[0]].type, 5);
        EXPECT_DOUBLE_EQ(m[c.centre_bullets[0]].speed, c.centre_speed[1]);
      }
    }
    EXPECT_EQ(turret, c.turret) << c.mode;
    EXPECT_EQ(centre, c.centre) << c.mode;
    EXPECT_TRUE(shot_sounds.empty());
  }
}

TEST_F(Stage3CraftTest, Type17TurretsTurnOnTheirPodsTowardThePlayersCentre) {
  PlacePlayer(140.0, 440.0);
  EnemyObject& e = Spawn(17, 0, 180.0, 20.0, 1);
  Frame();
  const int t0 = e.turn_angles[0], t1 = e.turn_angles[1];
  EXPECT_EQ(t0, TruncToInt(AngleToPlayerCentre(e.x - 72.0, e.y + 44.0)));
  EXPECT_EQ(t1, TruncToInt(AngleToPlayerCentre(e.x + 72.0, e.y + 44.0)));
  PlacePlayer(500.0, 440.0);
  Run(2);
  EXPECT_EQ(e.turn_angles[0], t0 - 6);
  EXPECT_EQ(e.turn_angles[1], t1 - 6);
  EXPECT_DOUBLE_EQ(e.gun_x[1], e.x + 72.0 + CosDeg(t1 - 6) * 24.0);
  EXPECT_DOUBLE_EQ(e.gun_y[1], e.y + 44.0 - 16.0 + SinDeg(t1 - 6) * 24.0);
  EXPECT_DOUBLE_EQ(e.gun_x[2], e.x);
  // Brakes from 5 to 0.5 and goes on at 0.5.
  Run(60);
  EXPECT_DOUBLE_EQ(e.vy, 0.5);
}

}  // namespace
