#include "play/player_shots.h"

#include "play/player.h"
#include "player_fixture.h"

namespace {

class ShotTest : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    ResetAllPlayerShots();
  }
};

// Generator steps from one seed to another (up to 10), -1 if not reached.
int DrawsBetween(uint32_t from, uint32_t to) {
  for (int n = 0; n <= 10; ++n) {
    if (from == to) return n;
    from = from * 48828125u + 1u;
  }
  return -1;
}

TEST_F(ShotTest, TypeTableAndHitRects) {
  struct Case {
    int type;
    double angle;
    double hit_w, hit_h;
    int damage, score;
  } cases[] = {
      {0, 270, 16, 28, 10, 10},   {10, 0, 240, 240, 20, 0},  {22, 270, 24, 48, 19, 30},
      {23, 270, 56, 26, 22, 40},  {50, 0, 48, 48, 32, 70},   {67, 270, 24, 24, 7, 30},
      {71, 0, 32, 32, 32, 70},    {84, 0, 24, 68, 16, 60},   {30, 270, 56, 52, 140, 70},
  };
  for (const Case& c : cases) {
    ResetAllPlayerShots();
    ASSERT_EQ(SpawnPlayerShot(300, 200, c.type, c.angle, 0.0, 0), 0);
    const PlayerShot& s = g_player_shots[0];
    EXPECT_EQ(s.hit_right - s.hit_left, c.hit_w) << c.type;
    EXPECT_EQ(s.hit_bottom - s.hit_top, c.hit_h) << c.type;
    EXPECT_EQ(s.damage, c.damage) << c.type;
    EXPECT_EQ(s.hit_score, c.score) << c.type;
  }
}

TEST_F(ShotTest, The401stShotIsDropped) {
  for (int i = 0; i < kPlayerShotSlots; ++i) ASSERT_EQ(SpawnPlayerShot(300, 200, 0, 270, 0, 0), 0);
  EXPECT_EQ(SpawnPlayerShot(300, 200, 0, 270, 0, 0), -1);
}

TEST_F(ShotTest, ShotsLeavingTheFieldEndSilentlyButTheRingStays) {
  SpawnPlayerShot(300, 10, 0, 270, 13, 0);
  SpawnPlayerShot(300, 10, 10, 270, 40, 0);
  for (int i = 0; i < 5; ++i) UpdatePlayerShots();
  EXPECT_EQ(g_player_shots[0].alive, 0);
  EXPECT_EQ(g_player_shots[1].alive, 1);
  EXPECT_EQ(g_player.score, 0);
}

TEST_F(ShotTest, HomingWithNoEnemyFliesOnAtAWholeDegree) {
  SpawnPlayerShot(300, 300, 45, 250.7, 1, 0);
  for (int i = 0; i < 35; ++i) UpdatePlayerShots();
  const PlayerShot& s = g_player_shots[0];
  EXPECT_EQ(s.angle, 250.0);
  EXPECT_EQ(s.age, 30);
}

TEST_F(ShotTest, LasersStayOnTheirOptionAndVanishWithTheFighter) {
  g_player.active = 1;
  g_player.opt_x[1] = 330;
  SpawnPlayerShot(300, 300, 27, 270, 12, 1);
  EXPECT_EQ(g_player_shots[0].x, 330.0 - 9.0);
  g_player.opt_x[1] = 340;
  UpdatePlayerShots();
  EXPECT_EQ(g_player_shots[0].centre_x, 340.0);
  EXPECT_NEAR(g_player_shots[0].centre_y, 288.0, 1e-9);
  g_player.active = 0;
  UpdatePlayerShots();
  EXPECT_EQ(g_player_shots[0].alive, 0);
  EXPECT_EQ(g_player.score, 0);
}

TEST_F(ShotTest, EndingOnAnEnemyScoresAndDrawsSparksInOrder) {
  for (uint32_t seed : {10u, 11u, 12u, 13u, 14u, 15u}) {
    RandomSeed = seed;
    const bool sparks = RandomInt(3) == 0;
    RandomSeed = seed;
    g_player.score = 0;
    SpawnPlayerShot(300, 200, 0, 270, 13, 0);
    EndPlayerShot(g_player_shots[0]);
    EXPECT_EQ(g_player.score, 10);
    EXPECT_EQ(DrawsBetween(seed, RandomSeed), sparks ? 3 : 1) << seed;
    EXPECT_EQ(g_player_shots[0].alive, 0);
  }
  // Types without an effect score and draw nothing.
  RandomSeed = 10;
  SpawnPlayerShot(300, 200, 82, 270, 13, 0);
  EndPlayerShot(g_player_shots[0]);
  EXPECT_EQ(RandomSeed, 10u);
  EXPECT_EQ(g_player.score, 50);
}

TEST_F(ShotTest, TheRingTurnsFor120DrawsAndDoesNotAgeWhilePaused) {
  SpawnPlayerShot(300, 200, 10, 270, 0, 0);
  PlayerShot& s = g_player_shots[0];
  std::vector<int> frames;
  for (int n = 0; n < 10; ++n) {
    DrawPlayerShot(s);
    frames.push_back(s.anim_frame);
  }
  EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3, 4, 5}));
  g_flags.GamePaused = 1;
  for (int n = 0; n < 200; ++n) DrawPlayerShot(s);
  EXPECT_EQ(s.draw_counter, 10);
  g_flags.GamePaused = 0;
  for (int n = 10; n < 119; ++n) DrawPlayerShot(s);
  EXPECT_EQ(s.alive, 1);
  EXPECT_EQ(s.anim_frame, 9 + (118 / 3) % 8);
  DrawPlayerShot(s);  // the 120th draw
  EXPECT_EQ(s.alive, 0);
}

}  // namespace

#include "play/enemies.h"

namespace {

void PlaceEnemy(int slot, double x, double y, int collision_class) {
  EnemyObject& e = g_enemies[slot];
  e.in_use = 1;
  e.screen_state = 1;
  e.collision_class = collision_class;
  e.x = x;
  e.y = y;
}

TEST_F(ShotTest, HomingTurnsByItsAgeTowardTheNearestEligibleEnemy) {
  ResetAllEnemies();
  PlaceEnemy(3, 400, 300, 1);  // nearest, but class 1 is never a target
  PlaceEnemy(5, 300, 100, 0);  // straight up, 200 away
  PlaceEnemy(7, 300, 500, 0);  // straight down, as near: the lower slot wins
  SpawnPlayerShot(300, 300, 45, 200, 1, 0);
  UpdatePlayerShots();  // age 0: truncation only
  EXPECT_EQ(g_player_shots[0].angle, 200.0);
  UpdatePlayerShots();  // age 1: one degree toward 270
  EXPECT_EQ(g_player_shots[0].angle, 201.0);
  for (int i = 0; i < 28; ++i) UpdatePlayerShots();
  EXPECT_EQ(g_player_shots[0].age, 30);
  const double settled = g_player_shots[0].angle;
  EXPECT_GT(settled, 250.0);
  EXPECT_LT(settled, 290.0);  // about up, where the target now lies
  UpdatePlayerShots();
  EXPECT_EQ(g_player_shots[0].angle, settled);  // straight on after 30
  ResetAllEnemies();
}

}  // namespace
