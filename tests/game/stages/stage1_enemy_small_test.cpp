#include <cmath>

#include "enemy_script_fixture.h"
#include "stages/enemy_scripts.h"
#include "stages/stage1_enemy_patterns.h"

namespace {

using SmallEnemyTest = EnemyScriptTest;

// ---- type 0 ----

struct Type0Case {
  int stage;
  int mode;
  int interval;
  double speed;
};

TEST_F(SmallEnemyTest, Type0FiresOneAimedShotAtTheStageAndModeInterval) {
  const Type0Case cases[] = {
      {1, 1, 60, 3.0},    {5, 1, 12, 5.0}, {1, 2, 16, 3.8},
      {2, 0, 70, 2.5},    {1, 3, 60, 3.0},  // ACCEL plays the ORIGINAL pattern
      {16, 1, 120, 10.5},                   // boss practice: a negative interval counts as its size
  };
  for (const Type0Case& c : cases) {
    SetUp();
    g_flags.StageNumber = c.stage;
    PlacePlayer(300.0, 440.0);                           // about 93 degrees: 90 in steps of 10
    EnemyObject& e = Spawn(0, 2, 180.0, 100.0, c.mode);  // variant 2 keeps still
    e.screen_state = 1;
    Run(250);
    EXPECT_EQ(VolleyFrames(), Steps(c.interval, 250)) << c.stage << " " << c.mode;
    for (const FiredBullet& b : bullets) {
      EXPECT_EQ(b.type, 0);
      EXPECT_DOUBLE_EQ(b.speed, c.speed);
      EXPECT_DOUBLE_EQ(b.angle, 90.0);
    }
    EXPECT_TRUE(shot_sounds.empty());
  }
}

TEST_F(SmallEnemyTest, Type0AimsInTenDegreeSteps) {
  PlacePlayer(420.0, 400.0);  // about 71.6 degrees from (320, 100)
  EnemyObject& e = Spawn(0, 2, 180.0, 100.0);
  e.screen_state = 1;
  Run(1);
  ASSERT_EQ(bullets.size(), 1u);
  EXPECT_DOUBLE_EQ(bullets[0].angle, 70.0);
}

TEST_F(SmallEnemyTest, Type0HoldsFireNearThePlayerAndFiresAtOnceWhenClear) {
  EnemyObject& e = Spawn(0, 2, 180.0, 100.0, 2);
  e.screen_state = 1;
  Run(1);
  PlacePlayer(320.0, 164.0);  // exactly 64 away: still close
  Run(29);
  PlacePlayer(320.0, 440.0);
  Run(40);
  EXPECT_EQ(VolleyFrames(), (std::vector<int>{0, 30, 46, 62}));
}

TEST_F(SmallEnemyTest, Type0HoldsFireBelowTheLineAndOffTheField) {
  EnemyObject& low = Spawn(0, 2, 100.0, 300.0);
  low.screen_state = 1;
  Spawn(0, 2, 180.0, -30.0);  // still entering
  Run(5);
  EXPECT_TRUE(bullets.empty());
}

TEST_F(SmallEnemyTest, Type0HomingDartTurnsAtMostThreeDegreesForSixtyFrames) {
  PlacePlayer(480.0, 440.0);
  EnemyObject& e = Spawn(0, 0, 180.0, 50.0);
  double last = 90.0;
  for (int f = 0; f < 80; ++f) {
    Frame();
    const double turned = std::fabs(e.heading - last);
    if (f == 0 || f >= 60)
      EXPECT_DOUBLE_EQ(e.heading, f == 0 ? 87.0 : last) << f;
    else
      EXPECT_LE(turned, 3.0 + 1e-12) << f;
    last = e.heading;
  }
  EXPECT_DOUBLE_EQ(e.vx, CosDeg(e.heading) * 3.0);
  EXPECT_DOUBLE_EQ(e.vy, SinDeg(e.heading) * 3.0 + 1.0);
}

TEST_F(SmallEnemyTest, Type0HoverCraftBrakesHoversAndTurnsUpToLeave) {
  PlacePlayer(320.0, 440.0);
  EnemyObject& e = Spawn(0, 1, 180.0, 20.0, 0);
  Frame();
  EXPECT_NEAR(e.vy, 5.9, 1e-12);
  int stopped = -1;
  for (int f = 1; f < 200 && stopped < 0; ++f) {
    Frame();
    if (e.vy == 0.0) stopped = f;
  }
  ASSERT_GT(stopped, 55);
  Frame();
  EXPECT_DOUBLE_EQ(e.vy, 0.4);  // hover
  Run(100);
  EXPECT_DOUBLE_EQ(e.vy, 0.4);
  Run(60);  // turning from straight down to straight up at 5 degrees a frame
  EXPECT_NEAR(e.vy, -4.0, 1e-6);
  EXPECT_NEAR(e.vx, 0.0, 1e-5);
}

// ---- revenge bursts ----

struct RevengeCase {
  int type;
  int mode;
  double player_y;  // the enemy sits at (320, 100)
  int bullets;
  double speed;
  double spread;  // between the outer bullets
};

TEST_F(SmallEnemyTest, RevengeBurstsOnlyOnHellAndOnlyFromAfar) {
  const RevengeCase cases[] = {
      {0, 2, 440.0, 1, 3.0, 0.0},   {0, 2, 150.0, 0, 0, 0},     {0, 3, 440.0, 0, 0, 0},
      {0, 1, 440.0, 0, 0, 0},       {9, 2, 440.0, 2, 4.0, 3.0}, {9, 2, 140.0, 0, 0, 0},
      {10, 2, 440.0, 2, 3.5, 15.0}, {10, 2, 160.0, 0, 0, 0},
  };
  for (const RevengeCase& c : cases) {
    SetUp();
    PlacePlayer(320.0, c.player_y);
    EnemyObject& e = Spawn(c.type, 2, 180.0, 100.0, c.mode);
    Run(2);
    ResetAllEnemyBullets();
    const uint32_t seed = RandomSeed;
    const int32_t drawn = RandomIntSigned(5);
    RandomSeed = seed;
    e.screen_state = 1;
    const double aim = AngleToPlayer(e.x, e.y);
    DestroyEnemy(e);
    std::vector<EnemyBullet> burst = TakePool();
    ASSERT_EQ(static_cast<int>(burst.size()), c.bullets) << c.type << " " << c.mode;
    if (c.bullets == 0) continue;
    for (const EnemyBullet& b : burst) {
      EXPECT_EQ(b.type, 1);
      EXPECT_DOUBLE_EQ(b.speed, c.speed);
    }
    if (c.type == 0) {
      EXPECT_DOUBLE_EQ(burst[0].angle, aim + drawn);  // angle first, then the draw
    } else {
      EXPECT_DOUBLE_EQ(burst[0].angle, aim - c.spread / 2.0);
      EXPECT_DOUBLE_EQ(burst[1].angle, aim + c.spread / 2.0);
    }
  }
}

// ---- types 2 and 3 ----

struct CarrierCase {
  int type;
  int mode;
  std::vector<int> frames;
  int per_volley;
  double first_speed;
};

TEST_F(SmallEnemyTest, ItemCarriersFireAimedVolleysByMode) {
  const CarrierCase cases[] = {
      {2, 0, {0, 90, 180, 270}, 2, 2.5},
      {2, 1, {0, 90, 180, 270}, 5, 2.5},
      {2, 2, {0, 60, 120, 180, 240, 300}, 13, 3.0},
      {3, 0, {0, 8, 16, 64, 72, 80, 128, 136, 144}, 1, 2.5},
      {3, 1, {0, 8, 16, 40, 48, 56, 80, 88, 96, 120, 128, 136}, 1, 3.0},
      {3, 2, {0, 8, 16, 32, 40, 48, 64, 72, 80, 96, 104, 112, 128, 136, 144}, 3, 4.0},
  };
  for (const CarrierCase& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(c.type, 0, 180.0, 20.0, c.mode);
    e.screen_state = 1;
    Run(c.type == 2 ? 330 : 150);
    EXPECT_EQ(VolleyFrames(), c.frames) << c.type << " " << c.mode;
    for (int f : VolleyFrames()) {
      std::vector<FiredBullet> v = BulletsOn(f);
      ASSERT_EQ(static_cast<int>(v.size()), c.per_volley) << c.type << " " << f;
      EXPECT_EQ(v[0].type, 2);
      EXPECT_DOUBLE_EQ(v[0].speed, c.first_speed);
    }
  }
}

TEST_F(SmallEnemyTest, ItemCarrierSwaysDownAndStopsFiringAt360) {
  EnemyObject& e = Spawn(2, 0, 180.0, 20.0, 1);
  e.screen_state = 1;
  Run(1);
  EXPECT_DOUBLE_EQ(e.vy, 1.0);
  EXPECT_DOUBLE_EQ(e.vx, 0.2);
  Run(1);
  EXPECT_DOUBLE_EQ(e.vx, CosDeg(2.0) * 0.2);
  Run(400);
  // At 1 pixel a frame from y 20, y reaches 360 on frame 340: the volley of
  // frame 360 does not leave.
  EXPECT_EQ(VolleyFrames().back(), 270);
}

TEST_F(SmallEnemyTest, Type2OriginalFiresTwoFansAtTheCurrentAim) {
  PlacePlayer(200.0, 440.0);
  EnemyObject& e = Spawn(2, 0, 180.0, 100.0, 1);
  e.screen_state = 1;
  Run(1);
  std::vector<FiredBullet> v = BulletsOn(0);
  ASSERT_EQ(v.size(), 5u);
  const double a = AngleToPlayer(e.x, e.y);
  const double expect[] = {a - 30, a, a + 30, a - 15, a + 15};
  const double speed[] = {2.5, 2.5, 2.5, 2.0, 2.0};
  for (size_t i = 0; i < v.size(); ++i) {
    EXPECT_DOUBLE_EQ(v[i].angle, expect[i]) << i;
    EXPECT_DOUBLE_EQ(v[i].speed, speed[i]) << i;
  }
}

// ---- type 9 ----

struct Type9Case {
  int stage;
  int mode;
  std::vector<int> frames;
  double speed;
};

TEST_F(SmallEnemyTest, Type9GroundGunFiresPairsThenWaitsTillItsCountWraps) {
  const Type9Case cases[] = {
      {1, 1, {1, 17, 193, 209}, 2.0},                    // two shots, ten silent slots
      {5, 1, {1, 17, 65, 81, 129, 145, 193, 209}, 3.0},  // wrap at 4
      {2, 0, {1, 21, 201}, 1.5},
      {1, 2, {1, 9, 17, 33, 41, 49, 65, 73, 81}, 3.0},
      {16, 1, Steps(16, 90, 1), 7.0},  // the wrap falls below 0: every slot fires
  };
  for (const Type9Case& c : cases) {
    SetUp();
    g_flags.StageNumber = c.stage;
    EnemyObject& e = Spawn(9, 0, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    Run(c.stage == 1 && c.mode == 2 ? 90 : c.stage == 16 ? 90 : 220);
    EXPECT_EQ(VolleyFrames(), c.frames) << c.stage << " " << c.mode;
    for (const FiredBullet& b : bullets) {
      EXPECT_EQ(b.type, 8);
      EXPECT_DOUBLE_EQ(b.speed, c.speed);
      EXPECT_EQ(std::fmod(b.angle, 15.0), 0.0);
    }
  }
}

TEST_F(SmallEnemyTest, Type9TurnsItsGunTwoDegreesAFrameAndFollowsTheGround) {
  g_stage.layer1_speed = 1.5;
  PlacePlayer(140.0, 110.0);  // left of it, about 176.8 degrees
  EnemyObject& e = Spawn(9, 0, 180.0, 100.0, 1);
  Run(1);
  EXPECT_EQ(e.turn_angles[0], 176);
  PlacePlayer(320.0, 440.0);
  Run(1);
  EXPECT_EQ(e.turn_angles[0], 174);
  EXPECT_DOUBLE_EQ(e.vy, 1.5);
  EXPECT_DOUBLE_EQ(e.gun_x[0], e.x + CosDeg(174) * 28.0);
  EXPECT_DOUBLE_EQ(e.gun_y[0], e.y + SinDeg(174) * 28.0);
}

TEST_F(SmallEnemyTest, Type9HoldsFireWithin48) {
  PlacePlayer(320.0, 148.0);
  EnemyObject& e = Spawn(9, 0, 180.0, 100.0, 2);
  e.screen_state = 1;
  Run(20);
  EXPECT_TRUE(bullets.empty());
  PlacePlayer(320.0, 149.0);
  Run(1);
  EXPECT_EQ(VolleyFrames(), (std::vector<int>{20}));
}

// ---- type 10 ----

TEST_F(SmallEnemyTest, Type10HomesAndFiresAtThePlayersCentreAbove300) {
  EnemyObject& e = Spawn(10, 0, 180.0, 20.0, 2);
  e.screen_state = 1;
  Run(120);
  // Straight down at 3 + 1 pixels a frame: y reaches 300 on frame 70.
  EXPECT_EQ(VolleyFrames(), (std::vector<int>{0, 30, 60}));
  std::vector<FiredBullet> v = BulletsOn(30);
  ASSERT_EQ(v.size(), 3u);
  const double aim = v[2].angle;  // whole degrees toward the player's centre
  EXPECT_NEAR(aim, 90.0, 1.0);
  EXPECT_EQ(aim, std::trunc(aim));
  EXPECT_DOUBLE_EQ(v[0].angle, aim - 1.0);
  EXPECT_DOUBLE_EQ(v[1].angle, aim + 1.0);
  EXPECT_DOUBLE_EQ(v[0].speed, 4.0);
  EXPECT_DOUBLE_EQ(v[2].speed, 3.0);
  EXPECT_EQ(v[0].type, 9);
}

TEST_F(SmallEnemyTest, Type10SpeedsAndIntervalsFollowTheStage) {
  struct Case {
    int stage, mode, interval;
    double speed;
  } const cases[] = {
      {1, 0, 95, 2.3}, {2, 0, 80, 2.5}, {1, 1, 80, 3.5}, {3, 1, 50, 4.0}, {3, 2, 22, 4.5}};
  for (const auto& c : cases) {
    SetUp();
    g_flags.StageNumber = c.stage;
    EnemyObject& e = Spawn(10, 0, 180.0, 100.0, c.mode);
    SetEnemyScriptHookForTesting(c.mode == 0   ? FireType10Heaven
                                 : c.mode == 1 ? FireType10Original
                                               : FireType10Hell);
    Run(200);
    EXPECT_EQ(VolleyFrames(), Steps(c.interval, 200)) << c.stage << " " << c.mode;
    EXPECT_DOUBLE_EQ(bullets[0].speed, c.speed);
    (void)e;
  }
}

TEST_F(SmallEnemyTest, Type10MovesFasterOnLaterStages) {
  g_flags.StageNumber = 3;
  EnemyObject& e = Spawn(10, 0, 180.0, 20.0, 1);
  Run(1);
  EXPECT_NEAR(e.vy, 3.4 + 1.0, 1e-9);
}

TEST_F(SmallEnemyTest, UnknownStoredDifficultyFiresNothing) {
  for (int type : {0, 2, 3, 9, 10}) {
    EnemyObject& e = Spawn(type, 2, 180.0, 100.0, 1);
    e.difficulty = 3;
    e.screen_state = 1;
  }
  Run(100);
  EXPECT_TRUE(bullets.empty());
}

}  // namespace
