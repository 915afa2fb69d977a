#include "play/player_collisions.h"

#include "play/bullet_cancel.h"
#include "play/enemy_bullets.h"
#include "play/items.h"
#include "play/play_links.h"
#include "play/player.h"
#include "player_fixture.h"

namespace {

class CollisionTest : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    ResetAllEnemyBullets();
    ResetAllItems();
    ResetAllBulletCancelSlots();
    g_config.auto_guard = 0;
    StartInControl(0);
    PlaceAt(250, 300);  // centre (278, 328), core (278, 330)
    g_player.guard = 0;
  }
  static int Live() {
    int n = 0;
    for (const EnemyBullet& b : g_enemy_bullets) n += b.in_use == 1;
    return n;
  }
};

TEST_F(CollisionTest, ABulletHitsWithinThreePixelsOfTheCore) {
  struct Case {
    double dx, dy;
    bool hit;
  } cases[] = {{0, 0, true}, {2.9, 2.9, true}, {3, 0, false}, {0, -3, false}, {-2.5, 0, true}};
  for (const Case& c : cases) {
    SetUp();
    FireEnemyBullet(278 + c.dx, 330 + c.dy, 0, 0, 0, 0);
    CollidePlayerWithBullets();
    EXPECT_EQ(g_player.active == 0, c.hit) << c.dx << "," << c.dy;
  }
}

TEST_F(CollisionTest, OneBulletHitsAFrameLowestSlotFirst) {
  FireEnemyBullet(278, 330, 0, 0, 0, 0);
  FireEnemyBullet(278, 330, 0, 0, 0, 0);
  CollidePlayerWithBullets();
  EXPECT_EQ(g_enemy_bullets[0].in_use, 0u);
  EXPECT_EQ(g_enemy_bullets[1].in_use, 1u);
  EXPECT_EQ(g_player.lives, 1);
}

TEST_F(CollisionTest, TheGuardErasesBulletsWithin72OfTheCentre) {
  g_player.guard = 1;
  FireEnemyBullet(278 + 72, 328, 0, 0, 0, 0);  // exactly 72 from the centre
  FireEnemyBullet(278, 328 - 72.5, 0, 0, 0, 0);
  FireEnemyBullet(278, 330, 0, 0, 0, 0);
  CollidePlayerWithBullets();
  EXPECT_EQ(g_enemy_bullets[0].in_use, 0u);
  EXPECT_EQ(g_enemy_bullets[1].in_use, 1u);
  EXPECT_EQ(g_enemy_bullets[2].in_use, 0u);
  EXPECT_EQ(g_player.active, 1);
}

TEST_F(CollisionTest, PickupsByKind) {
  g_player.power = 4;
  g_player.bombs = 9;
  g_player.lives = 9;
  for (int kind : {1, 1, 2, 3, 5, 0}) SpawnItem(278, 328, kind, 0, 0);
  g_items[5].value = 700;
  g_items[5].gauge_amount = 7;
  g_player.drain_delay = 40;
  PickUpItems();
  EXPECT_EQ(g_player.power, 5);
  EXPECT_EQ(g_player.bombs, 9);
  EXPECT_EQ(g_player.lives, 9);
  // Power at 5 and bombs at 9 pay 5000 each; the two score items their value.
  EXPECT_EQ(g_player.score, 5000 + 5000 + 100 + 700);
  EXPECT_EQ(g_player.item_gauge, 1 + 7);
  EXPECT_EQ(g_player.score_item_count, 2);
  EXPECT_EQ(g_player.drain_delay, 0);
  for (const Item& it : g_items) EXPECT_EQ(it.in_use, 0u);

  // Blocked items and items out of reach stay.
  SpawnItem(278, 328, 4, 0, 0);
  SpawnItem(278 + 28 + 20 + 1, 328, 5, 0, 0);
  PickUpItems();
  EXPECT_EQ(g_items[0].in_use, 1u);
  EXPECT_EQ(g_items[1].in_use, 1u);
}

TEST_F(CollisionTest, MissOrder) {
  g_player.item_gauge = 100;
  g_player.power = 5;
  g_player.lives = 0;
  PlayerMiss();
  EXPECT_EQ(g_player.item_gauge, 66);
  EXPECT_EQ(g_player.lives, -1);
  EXPECT_EQ(g_player.total_misses, 1);
  EXPECT_EQ(g_player.power, 1);
  EXPECT_EQ(g_player.active, 0);
  EXPECT_EQ(g_player.respawn_countdown, 0);
  EXPECT_EQ(g_continue_screen.active, 1);
  // Four power items fanned around the direction to the screen centre, and a
  // bomb item on the last life.
  const double base = AngleBetweenPoints(320, 240, 278, 328);
  std::vector<double> angles;
  for (const Item& it : g_items)
    if (it.in_use && it.kind == 1) angles.push_back(it.angle);
  EXPECT_EQ(angles, (std::vector<double>{base - 22, base - 7, base + 8, base + 23}));
  EXPECT_EQ(g_items[4].kind, 2);
  EXPECT_EQ(g_items[4].angle, base);
}

TEST_F(CollisionTest, AMissWithLivesLeftCountsDownAndCancels) {
  g_player.power = 1;
  PlayerMiss();
  EXPECT_EQ(g_player.respawn_countdown, 60);
  EXPECT_EQ(g_bullet_cancels[0].kind, 1);
  EXPECT_EQ(g_bullet_cancels[0].frames_total, 320);
  for (const Item& it : g_items) EXPECT_EQ(it.in_use, 0u);  // power 1 drops nothing
}

TEST_F(CollisionTest, AutoGuardStillCutsTheGauge) {
  g_config.auto_guard = 1;
  g_player.item_gauge = 9;
  PlayerMiss();
  EXPECT_EQ(g_player.item_gauge, 6);
  EXPECT_EQ(g_player.lives, 2);
  EXPECT_EQ(g_player.bombs, 2);
  EXPECT_EQ(g_player.active, 1);
}

TEST_F(CollisionTest, TheRingOfFighters34Draws144Numbers) {
  for (int fighter : {0, 3}) {
    g_player.fighter = fighter;
    g_player.active = 1;
    g_player.lives = 2;
    RandomSeed = 10;
    PlayerMiss();
    uint32_t seed = 10;
    for (int i = 0; i < (fighter == 3 ? 144 : 0); ++i) seed = seed * 48828125u + 1u;
    EXPECT_EQ(RandomSeed, seed) << fighter;
  }
}

TEST_F(CollisionTest, TheMissFrameEndsWithTheCountdownAt59) {
  FireEnemyBullet(278, 330, 0, 0, 0, 0);
  UpdatePlayer();
  EXPECT_EQ(g_player.active, 0);
  EXPECT_EQ(g_player.respawn_countdown, 59);
  const int index = g_player.frame_index;
  for (int i = 0; i < 59; ++i) UpdatePlayer();
  EXPECT_EQ(g_player.respawn_countdown, 0);
  EXPECT_EQ(g_player.active, 1);
  EXPECT_EQ(g_player.guard, 180);
  EXPECT_EQ(g_player.frame_index, index + 59);  // the countdown still reads input
}

}  // namespace

#include "play/enemies.h"

namespace {

TEST_F(CollisionTest, BodyContactSkipsHarmlessType18ButStopsThere) {
  ResetAllEnemies();
  for (int slot : {2, 4}) {
    EnemyObject& e = g_enemies[slot];
    e.in_use = 1;
    e.collision_class = 0;
    e.type = slot == 2 ? 18 : 5;
    e.box_left[6] = 270, e.box_top[6] = 320, e.box_right[6] = 290, e.box_bottom[6] = 340;
  }
  CollidePlayerWithEnemies();
  EXPECT_EQ(g_player.active, 1);
  g_enemies[2].collision_class = 1;  // no longer touchable: slot 4 counts
  CollidePlayerWithEnemies();
  EXPECT_EQ(g_player.active, 0);
  ResetAllEnemies();
}

}  // namespace
