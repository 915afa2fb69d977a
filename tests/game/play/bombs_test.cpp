#include "play/bombs.h"

#include "play/bullet_cancel.h"
#include "play/player.h"
#include "play/player_shots.h"
#include "player_fixture.h"

namespace {

class BombTest : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    ResetAllPlayerShots();
    ResetAllBulletCancelSlots();
    g_player.control = 1;
    g_player.active = 1;
    g_player.guard = 0;
    PlaceAt(250, 300);
  }
  static int Shots() {
    int n = 0;
    for (const PlayerShot& s : g_player_shots) n += s.alive;
    return n;
  }
};

TEST_F(BombTest, Timelines) {
  struct Case {
    int fighter, focus;
    int length, guard, cancel_kind, cancel_frames, volley_frames, first_shots;
  } cases[] = {
      {0, 0, 130, 300, 0, 120, 0, 1},  {1, 0, 130, 300, 0, 120, 0, 1},
      {0, 1, 180, 200, 3, 10, 50, 0},  {1, 1, 180, 200, 3, 10, 50, 0},
      {2, 1, 180, 200, 3, 10, 50, 0},  {3, 0, 240, 360, 3, 300, 58, 0},
      {4, 1, 240, 360, 3, 300, 58, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    g_player.fighter = c.fighter;
    g_player.focus = c.focus;
    g_player.in_bomb = 1;
    UpdatePlayerBomb();
    g_player.in_bomb = 0;
    EXPECT_EQ(g_player.bombs, 2);
    EXPECT_EQ(g_player.guard, c.guard) << c.fighter;
    EXPECT_EQ(g_bullet_cancels[0].kind, c.cancel_kind) << c.fighter;
    EXPECT_EQ(g_bullet_cancels[0].frames_total, c.cancel_frames) << c.fighter;
    EXPECT_EQ(Shots(), c.first_shots) << c.fighter;
    if (c.fighter == 4) {
      EXPECT_EQ(g_player.appear_state, 3);
    }
    int frames = 1, volleys = 0;
    while (g_player.bomb_active == 1 && frames < 1000) {
      ResetAllPlayerShots();
      g_player.firing = 0;
      UpdatePlayerBomb();
      volleys += g_player.firing;
      ++frames;
    }
    EXPECT_EQ(frames, c.length) << c.fighter << "/" << c.focus;
    EXPECT_EQ(volleys, c.volley_frames) << c.fighter << "/" << c.focus;
    EXPECT_EQ(g_player.appear_state, 0);
  }
}

TEST_F(BombTest, TheBurstFillsThePool) {
  g_player.fighter = 3;
  g_player.in_bomb = 1;
  UpdatePlayerBomb();
  g_player.in_bomb = 0;
  for (int f = 1; f < 220; ++f) UpdatePlayerBomb();
  ResetAllPlayerShots();
  for (int i = 0; i < 300; ++i) SpawnPlayerShot(300, 200, 0, 270, 0, 0);
  UpdatePlayerBomb();  // frame 220: 182 shots into 100 free slots
  EXPECT_EQ(Shots(), kPlayerShotSlots);
  EXPECT_EQ(g_player_shots[300].type, 71);
}

TEST_F(BombTest, StartConditions) {
  g_player.in_bomb = 1;
  g_player.bombs = 0;
  UpdatePlayerBomb();
  EXPECT_EQ(g_player.bomb_active, 0);

  g_player.bombs = 2;
  g_player.bomb_cooldown = 30;
  for (int i = 0; i < 29; ++i) UpdatePlayerBomb();
  EXPECT_EQ(g_player.bomb_active, 0);
  UpdatePlayerBomb();
  EXPECT_EQ(g_player.bomb_active, 1);
  EXPECT_EQ(g_player.bombs, 1);

  // Held, the next bomb starts on the frame after this one ends.
  for (int i = 1; i < 130; ++i) UpdatePlayerBomb();
  EXPECT_EQ(g_player.bomb_active, 0);
  UpdatePlayerBomb();
  EXPECT_EQ(g_player.bomb_active, 1);
  EXPECT_EQ(g_player.bombs, 0);

  SetUp();
  InfiniteBombMode = 1;
  g_player.in_bomb = 1;
  UpdatePlayerBomb();
  InfiniteBombMode = 0;
  EXPECT_EQ(g_player.bombs, 3);
}

}  // namespace
