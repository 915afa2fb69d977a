// The dying sequences of the large types of stages 2 and 3, and what every
// stage 2 and 3 type does with a stored difficulty it has no pattern for.
#include <cmath>

#include "enemy_script_fixture.h"

namespace {

using Stage23DyingTest = EnemyScriptTest;

struct DyingCase {
  int type;
  bool debris;     // kind 122 at double scale, four more draws
  bool on_ground;  // the wreck rides the scroll, else sinks at 0.5
  int wrecks;      // 302 left by DestroyEnemy
  int containers;  // 32
};

TEST_F(Stage23DyingTest, BlastsEveryOtherFrameAndRemovesOnTheNinetyFirst) {
  const DyingCase cases[] = {
      {14, true, false, 0, 0}, {19, false, true, 7, 1}, {20, false, false, 0, 0}};
  for (const DyingCase& c : cases) {
    SetUp();
    g_stage.layer1_speed = 1.0;
    EnemyObject& e = Spawn(c.type, 0, 180.0, 200.0, 1);
    Run(3);
    bullets.clear();
    ResetAllExplosions();
    // What the shot collisions do when the hit points run out.
    e.hp = 0;
    e.life_state = 8;
    e.state_timer = 0;
    int blast_frames = 0;
    for (int t = 0; t <= 90; ++t) {
      ASSERT_EQ(e.in_use, 1) << c.type << " " << t;
      const double cx = e.x + e.vx, cy = e.y + e.vy;
      const uint32_t before = RandomSeed;
      Frame();
      if (t == 90) break;
      std::vector<Explosion> made = TakeExplosions();
      EXPECT_EQ(e.collision_class, 1);
      EXPECT_DOUBLE_EQ(e.vx, 0.0);
      EXPECT_DOUBLE_EQ(e.vy, c.on_ground ? 1.0 : 0.5);
      if (t % 2 == 1 || t >= 60) {
        EXPECT_TRUE(made.empty()) << t;
        EXPECT_EQ(RandomSeed, before) << t;
        continue;
      }
      ++blast_frames;
      ASSERT_NO_FATAL_FAILURE(ExpectDyingBlast(made, before, e, cx, cy, 50, c.debris, 1.0))
          << c.type << " " << t;
    }
    EXPECT_EQ(blast_frames, 30);
    EXPECT_EQ(e.in_use, 0) << c.type;
    EXPECT_TRUE(bullets.empty());
    EXPECT_EQ(CountAlive(302), c.wrecks) << c.type;
    EXPECT_EQ(CountAlive(32), c.containers) << c.type;
  }
}

TEST_F(Stage23DyingTest, LifeSwitchSpendsOneFrameInStateZero) {
  g_stage.layer1_speed = 2.0;
  EnemyObject& a = Spawn(14, 0, 60.0, 100.0, 1);
  EnemyObject& b = Spawn(19, 0, 180.0, 100.0, 1);
  EnemyObject& c = Spawn(20, 0, 300.0, 100.0, 1);
  Frame();
  for (EnemyObject* e : {&a, &b, &c}) {
    EXPECT_EQ(e->life_state, 1);
    EXPECT_DOUBLE_EQ(e->vy, 0.0);  // no alive work on the switching frame
  }
  Frame();
  EXPECT_DOUBLE_EQ(a.vy, 5.6);
  EXPECT_DOUBLE_EQ(b.vy, 2.0);
  EXPECT_NEAR(c.vy, 5.9, 1e-12);
}

TEST_F(Stage23DyingTest, UnknownStoredDifficultyFiresNothing) {
  g_flags.StageNumber = 2;
  for (int type = 12; type <= 20; ++type) {
    EnemyObject& e = Spawn(type, 1, 20.0 * (type - 11), 100.0, 1);
    e.difficulty = 3;
  }
  Run(400);
  EXPECT_TRUE(bullets.empty());
  EXPECT_TRUE(shot_sounds.empty());
}

}  // namespace
