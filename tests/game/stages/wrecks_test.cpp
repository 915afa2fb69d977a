#include "enemy_script_fixture.h"

namespace {

using WreckTest = EnemyScriptTest;

int NextRotation(uint32_t* seed) {
  const uint32_t saved = RandomSeed;
  RandomSeed = *seed;
  const int r = RandomInt(36) * 10;
  *seed = RandomSeed;
  RandomSeed = saved;
  return r;
}

TEST_F(WreckTest, RotationIsDrawnOnceOnTheFirstUpdateAndKept) {
  for (int type : {300, 302}) {
    SetUp();
    EnemyObject& e = Spawn(type, 0, 180.0, 200.0);
    uint32_t seed = RandomSeed;
    const int expect = NextRotation(&seed);
    Frame();
    EXPECT_EQ(e.turn_angles[0], expect) << type;
    EXPECT_EQ(RandomSeed, seed);
    Run(50);
    EXPECT_EQ(e.turn_angles[0], expect);
    EXPECT_EQ(RandomSeed, seed) << "one draw in a wreck's life";
    EXPECT_DOUBLE_EQ(e.y, 200.0) << "the ground stands still";
  }
}

TEST_F(WreckTest, ARingOfWrecksDrawsInSlotOrder) {
  std::vector<EnemyObject*> ring;
  for (int i = 0; i < 7; ++i) ring.push_back(&Spawn(302, 0, 100.0 + 10 * i, 200.0));
  uint32_t seed = RandomSeed;
  Frame();
  for (EnemyObject* e : ring) EXPECT_EQ(e->turn_angles[0], NextRotation(&seed)) << e->slot;
}

TEST_F(WreckTest, WrecksFollowTheirLayer) {
  g_stage.layer0_speed = 0.75;
  g_stage.layer1_speed = 2.5;
  struct Case {
    int type, variant;
    double vy;
  } const cases[] = {{300, 0, 2.5},  {300, 1, 2.5},  {302, 0, 2.5},
                     {302, 1, 0.75}, {302, 2, -0.5}, {305, 0, 0.75}};
  for (const Case& c : cases) {
    EnemyObject& e = Spawn(c.type, c.variant, 180.0, 200.0);
    e.vy = -0.5;  // what any other variant keeps
    Run(2);
    EXPECT_DOUBLE_EQ(e.vy, c.vy) << c.type << " " << c.variant;
    ClearEnemySlot(e);
  }
}

TEST_F(WreckTest, Type305LeavesOnceItsTopPasses480AndPaysNothing) {
  g_flags.DifficultyMode = 2;
  g_stage.layer0_speed = 1.0;
  EnemyObject& e = Spawn(305, 0, 180.0, 0.0, 2);
  e.screen_state = 1;
  e.y = 479.0 + e.height / 2.0;
  const int score = GetPlayerScore();
  Frame();  // top 479
  Frame();  // top 480: stays
  EXPECT_EQ(e.in_use, 1);
  EXPECT_DOUBLE_EQ(e.top, 480.0);
  Frame();  // top 481
  EXPECT_EQ(e.in_use, 0);
  EXPECT_EQ(GetPlayerScore(), score);
  EXPECT_TRUE(bullets.empty());
}

}  // namespace
