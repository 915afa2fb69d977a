#include "enemy_script_fixture.h"

namespace {

using Stage2TurretTest = EnemyScriptTest;

struct Type13Case {
  int stage;
  int mode;
  std::vector<int> frames;
  int per_volley;
};

TEST_F(Stage2TurretTest, Type13FiresBurstsEveryEightFramesUpToItsCap) {
  // Frame 0 takes the aim; the pattern runs from frame 1.
  const std::vector<int> of9_cap2 = {1, 9, 73, 81, 145, 153};
  const std::vector<int> of9_cap3 = {1, 9, 17, 73, 81, 89, 145, 153};
  const std::vector<int> of8_cap3 = {1, 9, 17, 65, 73, 81, 129, 137, 145};
  const Type13Case cases[] = {
      {2, 0, of9_cap2, 3}, {5, 0, of9_cap2, 5}, {2, 1, of9_cap3, 3}, {5, 1, of9_cap3, 5},
      {2, 3, of9_cap3, 3}, {2, 2, of8_cap3, 5}, {5, 2, of8_cap3, 5},
  };
  for (const Type13Case& c : cases) {
    SetUp();
    g_flags.StageNumber = c.stage;
    Spawn(13, 0, 180.0, 100.0, c.mode);  // no screen-state gate
    Run(160);
    EXPECT_EQ(VolleyFrames(), c.frames) << c.stage << " " << c.mode;
    EXPECT_EQ(shot_sounds, c.frames);
    for (int f : VolleyFrames()) {
      ASSERT_EQ(CountOn(f), c.per_volley) << c.stage << " " << c.mode << " " << f;
      for (const FiredBullet& b : BulletsOn(f)) EXPECT_EQ(b.type, 4);
    }
  }
}

TEST_F(Stage2TurretTest, Type13VolleyFansAndSpeedsShareTheBurstsAngle) {
  struct Case {
    int stage, mode;
    std::vector<double> angles;  // about the burst's angle a
    std::vector<double> speeds;
  } const cases[] = {
      {2, 0, {0, -10, 10}, {2.5, 2.0, 2.0}},
      {5, 1, {0, -10, 10, -20, 20}, {3.0, 2.4, 2.4, 3.2, 3.2}},
      {2, 2, {0, -10, 10, -20, 20}, {4.0, 3.5, 3.5, 3.0, 3.0}},
  };
  for (const auto& c : cases) {
    SetUp();
    g_flags.StageNumber = c.stage;
    PlacePlayer(250.0, 440.0);
    EnemyObject& e = Spawn(13, 0, 180.0, 100.0, c.mode);
    Run(1);
    const int a = e.turn_angles[0];
    Run(1);
    const std::vector<FiredBullet> v = BulletsOn(1);
    ASSERT_EQ(v.size(), c.angles.size());
    for (size_t i = 0; i < v.size(); ++i) {
      EXPECT_DOUBLE_EQ(v[i].angle, a + c.angles[i]) << c.mode << " " << i;
      EXPECT_DOUBLE_EQ(v[i].speed, c.speeds[i]) << c.mode << " " << i;
      // Gun 0 on the turret's rim at the aim.
      EXPECT_NEAR(v[i].x, e.x + CosDeg(a) * 64.0, 1e-9);
      EXPECT_NEAR(v[i].y, e.y + SinDeg(a) * 56.0 + 8.0, 1e-9);
    }
  }
}

TEST_F(Stage2TurretTest, Type13HoldsStillDuringABurstAndTurnsBetween) {
  g_flags.StageNumber = 2;
  PlacePlayer(320.0, 440.0);
  EnemyObject& e = Spawn(13, 0, 180.0, 100.0, 1);
  Run(1);
  const int a = e.turn_angles[0];
  EXPECT_EQ(a, TruncToInt(AngleToPlayer(e.x, e.y)));
  // The first burst keeps the direction of the first frame, wherever the
  // player goes; the turret turns only once the burst has ended (slot 25).
  PlacePlayer(160.0, 300.0);
  Run(25);
  EXPECT_EQ(e.turn_angles[0], a);
  Run(5);
  EXPECT_EQ(e.turn_angles[0], a + 3 * 5);
  Run(60);
  for (int f : {1, 9, 17})
    for (const FiredBullet& b : BulletsOn(f)) EXPECT_NEAR(b.angle, a, 10.0 + 1e-9);
  // The second burst leaves along the aim taken at its first slot.
  const double second = BulletsOn(73)[0].angle;
  EXPECT_EQ(second, TruncToInt(AngleToPlayer(e.x, e.y)));
  EXPECT_DOUBLE_EQ(BulletsOn(81)[0].angle, second);
  EXPECT_DOUBLE_EQ(BulletsOn(89)[0].angle, second);
}

TEST_F(Stage2TurretTest, Type13BelowThreeHundredOnlyFollowsThePlayer) {
  g_stage.layer1_speed = 0.75;
  PlacePlayer(160.0, 440.0);
  EnemyObject& e = Spawn(13, 0, 180.0, 300.0, 2);
  Run(1);
  const int first = e.turn_angles[0];
  PlacePlayer(150.0, 200.0);
  Run(2);
  EXPECT_EQ(e.turn_angles[0], first + 3);  // turns from its second frame
  EXPECT_DOUBLE_EQ(e.vy, 0.75);            // rides the ground
  Run(100);
  EXPECT_TRUE(bullets.empty());
}

struct RevengeCase {
  int mode;
  double player_y;  // the turret sits at (320, 100)
  int bullets;
};

TEST_F(Stage2TurretTest, Type13RevengeRingOnlyOnHellAndFromAfar) {
  const RevengeCase cases[] = {
      {2, 440.0, 36}, {2, 172.0, 0}, {2, 173.0, 36}, {3, 440.0, 0}, {1, 440.0, 0}};
  for (const RevengeCase& c : cases) {
    SetUp();
    PlacePlayer(320.0, c.player_y);
    EnemyObject& e = Spawn(13, 0, 180.0, 100.0, c.mode);
    Run(2);
    ResetAllEnemyBullets();
    e.screen_state = 1;
    DestroyEnemy(e);
    const std::vector<EnemyBullet> ring = TakePool();
    ASSERT_EQ(static_cast<int>(ring.size()), c.bullets) << c.mode << " " << c.player_y;
    for (size_t i = 0; i < ring.size(); ++i) {
      EXPECT_EQ(ring[i].type, 10);
      EXPECT_DOUBLE_EQ(ring[i].angle, 10.0 * static_cast<double>(i));
      EXPECT_DOUBLE_EQ(ring[i].speed, i % 2 == 0 ? 2.0 : 2.5);
      EXPECT_DOUBLE_EQ(ring[i].centre_x, 320.0);
    }
  }
}

}  // namespace
