// The dying sequences of the large types of stages 2 and 3, and what every
// stage 2 and 3 type does with a stored difficulty it has no pattern for.
#include <cmath>

#include "enemy_script_fixture.h"

namespace {

class Stage23DyingTest : public EnemyScriptTest {
 protected:
  std::vector<Explosion> TakeExplosions() {
    std::vector<Explosion> out;
    for (Explosion& x : g_explosions)
      if (x.in_use == 1) out.push_back(x);
    ResetAllExplosions();
    return out;
  }
  int Count(int type) const {
    int n = 0;
    for (const EnemyObject& e : g_enemies) n += e.in_use == 1 && e.type == type;
    return n;
  }
};

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
      ASSERT_EQ(made.size(), c.debris ? 3u : 2u) << c.type << " " << t;
      // Replay the draws in their stated order.
      const uint32_t after = RandomSeed;
      RandomSeed = before;
      const int w = static_cast<int>(e.width), h = static_cast<int>(e.height);
      const int dx = RandomIntSigned(w / 2 - 40);
      const int dy = RandomIntSigned(h / 2 - 30);
      const int a1 = RandomInt(360);
      const int a2 = RandomInt(360);
      EXPECT_EQ(made[0].kind, 50);
      EXPECT_DOUBLE_EQ(made[0].x, cx + dx);
      EXPECT_DOUBLE_EQ(made[0].y, cy + dy);
      EXPECT_DOUBLE_EQ(made[0].angle, a1);
      EXPECT_EQ(made[1].kind, 55);
      EXPECT_DOUBLE_EQ(made[1].x, cx - dx);
      EXPECT_DOUBLE_EQ(made[1].y, cy - dy);
      EXPECT_DOUBLE_EQ(made[1].angle, a2);
      if (c.debris) {
        const int speed = RandomInt(20);
        const int a3 = RandomInt(360);
        const int ry = RandomIntSigned(h / 4);
        const int rx = RandomIntSigned(w / 4);
        EXPECT_EQ(made[2].kind, 122);
        EXPECT_DOUBLE_EQ(made[2].x, cx + rx);
        EXPECT_DOUBLE_EQ(made[2].y, cy + ry);
        EXPECT_DOUBLE_EQ(made[2].angle, a3);
        EXPECT_NEAR(std::hypot(made[2].vx, made[2].vy), speed / 10.0 + 2.0, 1e-9);
        EXPECT_DOUBLE_EQ(made[2].param1, 1.0);  // starts at double scale
      }
      EXPECT_EQ(RandomSeed, after) << c.type << " " << t;
      RandomSeed = after;
    }
    EXPECT_EQ(blast_frames, 30);
    EXPECT_EQ(e.in_use, 0) << c.type;
    EXPECT_TRUE(bullets.empty());
    EXPECT_EQ(Count(302), c.wrecks) << c.type;
    EXPECT_EQ(Count(32), c.containers) << c.type;
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
