// The enemies against the live pools of shots, items and bullets.
#include <cmath>

#include "play/enemies.h"
#include "play_fixture.h"

class EnemyCollisionsTest : public PlayTest {
 protected:
  EnemyObject& Place(int type, double cx, double cy) {
    SpawnEnemy(cx - 140.0, cy, type, 0);
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == type) {
        e.screen_state = 1;
        return e;
      }
    return g_enemies[0];
  }
  // A shot of `type` in `slot` with the given hit rectangle.
  PlayerShot& Shot(int slot, int type, double l, double t, double r, double b, int damage) {
    PlayerShot& s = g_player_shots[slot];
    s = PlayerShot{};
    s.alive = 1;
    s.type = type;
    s.damage = damage;
    s.hit_score = 10;
    s.silent_end = 1;  // no sound or sparks: only the hit counts here
    s.hit_left = l;
    s.hit_top = t;
    s.hit_right = r;
    s.hit_bottom = b;
    return s;
  }
  void Collide(EnemyObject& e) {
    UpdateEnemyHitBoxes(e);
    CollideEnemyWithShots(e);
  }
  static int LiveItems() {
    int n = 0;
    for (const Item& i : g_items) n += i.in_use == 1;
    return n;
  }
};

TEST_F(EnemyCollisionsTest, ShotsHitOnStrictOverlapAndAreFreed) {
  EnemyObject& e = Place(16, 300, 200);  // 200 HP, box x 268-332
  Shot(0, 0, 250, 190, 268, 200, 7);     // touches the left edge only
  Shot(1, 0, 260, 190, 270, 200, 7);
  Shot(2, 0, 330, 190, 340, 200, 9);
  Collide(e);
  EXPECT_EQ(e.hp, 200 - 7 - 9);
  EXPECT_EQ(g_player_shots[0].alive, 1);
  EXPECT_EQ(g_player_shots[1].alive, 0);
  EXPECT_EQ(g_player_shots[2].alive, 0);
  EXPECT_EQ(e.hit_flash, 5);
}

TEST_F(EnemyCollisionsTest, BombRingPiercesEveryFrameAndEnteringEnemiesTakeNoDamage) {
  EnemyObject& e = Place(16, 300, 200);
  Shot(0, 10, 250, 150, 350, 250, 5);
  for (int i = 0; i < 3; ++i) Collide(e);
  EXPECT_EQ(e.hp, 200 - 15);
  EXPECT_EQ(g_player_shots[0].alive, 1);

  EnemyObject& entering = Place(1, 300, 200);
  entering.screen_state = 0;
  Shot(1, 0, 290, 190, 310, 210, 50);
  Collide(entering);
  EXPECT_EQ(entering.hp, 240);
  EXPECT_EQ(entering.hit_flash, 5);
  EXPECT_EQ(g_player_shots[1].alive, 0);  // absorbed all the same
}

TEST_F(EnemyCollisionsTest, LastHitDestroysAndStartsCancelsOnlyWhereFlagged) {
  EnemyObject& small = Place(0, 300, 200);
  Shot(0, 0, 290, 190, 310, 210, 100);
  Collide(small);
  EXPECT_EQ(small.in_use, 0);
  EXPECT_EQ(g_bullet_cancels[0].active, 0u);

  EnemyObject& big = Place(5, 300, 200);  // cancel on death, dying sequence
  big.hp = 1;
  Shot(1, 0, 290, 190, 310, 210, 100);
  Collide(big);
  EXPECT_EQ(big.life_state, 8);
  EXPECT_EQ(g_bullet_cancels[0].active, 1u);
  EXPECT_EQ(g_bullet_cancels[0].frames_left, 60);
}

TEST_F(EnemyCollisionsTest, ItemRingsByCount) {
  struct Case {
    int count;
    int laid;
    double radius;
  };
  const Case cases[] = {{1, 1, 0.0},  {3, 3, 24.0},   {4, 4, 48.0},  {9, 9, 48.0},
                        {10, 10, 80.0}, {16, 17, 80.0}, {40, 40, 80.0}, {0, 0, 0.0}};
  for (const Case& c : cases) {
    ResetAllItems();
    ResetAllEnemies();
    EnemyObject& e = Place(0, 300, 200);
    DropEnemyItems(e, c.count, 0);
    EXPECT_EQ(LiveItems(), c.laid) << c.count;
    for (const Item& i : g_items) {
      if (i.in_use != 1) continue;
      EXPECT_NEAR(std::hypot(i.centre_x - 300.0, i.centre_y - 200.0), c.radius, 1e-3) << c.count;
      EXPECT_EQ(i.kind, 0);
    }
  }
  ResetAllItems();
  EnemyObject& e = Place(0, 300, 200);
  e.timed_out = 1;
  DropEnemyItems(e, 5, 0);
  EXPECT_EQ(LiveItems(), 0);
}

TEST_F(EnemyCollisionsTest, PowerItemIsThrownAwayFromThePlayer) {
  for (double player_y : {100.0, 300.0}) {
    ResetAllItems();
    ResetAllEnemies();
    g_player.centre_y = player_y;
    EnemyObject& e = Place(2, 300, 200);
    DestroyEnemy(e);
    const Item* power = nullptr;
    for (const Item& i : g_items)
      if (i.in_use == 1 && i.kind == 1) power = &i;
    ASSERT_NE(power, nullptr);
    EXPECT_EQ(power->angle, player_y < 180.0 ? 45.0 : 135.0);
    EXPECT_EQ(power->speed, 4.0);
  }
}

TEST_F(EnemyCollisionsTest, BossPhaseEndsPayTheirBonus) {
  struct Case {
    int type;
    int state;
    int score;
    int cancel_frames;
  };
  const Case cases[] = {{200, 2, 108000, 10}, {220, 6, 102000, 10}, {200, 8, 72000, 240},
                        {240, 8, 168000, 240}, {250, 8, 144000, 240}, {100, 8, 66000, 240}};
  for (const Case& c : cases) {
    ResetAllEnemies();
    ResetAllBulletCancelSlots();
    InitPlayerForGame();
    EnemyObject& e = Place(c.type, 300, 200);
    e.life_state = c.state;
    EndBossPhase(e);
    EXPECT_EQ(GetPlayerScore(), c.score) << c.type << "/" << c.state;
    EXPECT_EQ(g_bullet_cancels[0].frames_left, c.cancel_frames) << c.type;
  }
}

TEST_F(EnemyCollisionsTest, BlastsTurnNearbyBulletsIntoItemsForTwentyUpdates) {
  SpawnExplosion(300, 200, 58, 0, 0);  // radius 48
  FireEnemyBullet(300, 248, 0, 90.0, 0.0, 0);  // exactly on the radius
  FireEnemyBullet(300, 250, 0, 90.0, 0.0, 0);
  int before = GetEnemyBulletsOnScreen();
  UpdateExplosion(g_explosions[0]);
  EXPECT_EQ(g_enemy_bullets[0].in_use, 0u);
  EXPECT_EQ(g_enemy_bullets[1].in_use, 1u);
  EXPECT_EQ(LiveItems(), 1);
  EXPECT_EQ(GetEnemyBulletsOnScreen(), before - 1);
  for (const Explosion& x : g_explosions) EXPECT_NE(x.kind, 100);  // no vanish puff

  // A bullet arriving after 20 updates is left alone.
  for (int i = 0; i < 19; ++i) UpdateExplosion(g_explosions[0]);
  FireEnemyBullet(300, 200, 0, 90.0, 0.0, 0);
  UpdateExplosion(g_explosions[0]);
  EXPECT_EQ(LiveItems(), 1);
}

// A small scenario through the per-frame passes: an enemy flies in, is drawn,
// is shot down by the player's shots and leaves its blast and item behind.
TEST_F(EnemyCollisionsTest, EnemyFliesInAndIsShotDown) {
  SpawnEnemy(160, -30, 0, 0);  // screen (300, -30), 30 HP
  EnemyObject& e = g_enemies[450];
  e.vy = 4.0;
  bool drawn = false;
  for (int frame = 0; frame < 120 && e.in_use == 1; ++frame) {
    if (frame % 3 == 0) SpawnPlayerShot(300, 400, 0, -90.0, 20.0, 0);
    UpdateEnemies();
    UpdatePlayerShots();
    UpdateExplosions();
    ClearLog();
    DrawAllEnemies();
    drawn = drawn || !Sprites().empty();
    DrawAllExplosions();
  }
  EXPECT_TRUE(drawn);
  EXPECT_EQ(e.in_use, 0);
  EXPECT_GT(GetPlayerScore(), 0);
  EXPECT_EQ(LiveItems(), 1);
  int blasts = 0;
  for (const Explosion& x : g_explosions) blasts += x.in_use == 1 && x.kind == 50;
  EXPECT_EQ(blasts, 1);
}
