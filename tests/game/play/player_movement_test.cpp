#include "play/player_movement.h"

#include "play/player.h"
#include "player_fixture.h"

namespace {

using MovementTest = PlayerTest;

constexpr uint32_t kDown = 1, kLeft = 2, kRight = 4, kUp = 8, kShot = 16;

TEST_F(MovementTest, SpeedByFighterAndFocus) {
  struct Case {
    int fighter;
    double normal, focused;
  } cases[] = {{0, 3.4, 2.0}, {1, 3.8, 2.2}, {2, 3.8, 2.2}, {3, 3.8, 2.2}, {4, 3.8, 2.2}};
  for (const Case& c : cases) {
    SetUp();
    StartInControl(c.fighter);
    PlaceAt(250.0, 200.0);
    HoldPad(kRight);
    UpdatePlayer();
    EXPECT_DOUBLE_EQ(g_player.x, 250.0 + c.normal) << c.fighter;
    HoldPad(kRight | kShot);
    for (int i = 0; i < 19; ++i) UpdatePlayer();
    EXPECT_EQ(g_player.focus, 0) << "19 held frames do not focus";
    double x = g_player.x;
    UpdatePlayer();
    EXPECT_EQ(g_player.focus, 1);
    EXPECT_DOUBLE_EQ(g_player.x, x + c.focused) << c.fighter;
    HoldPad(kRight);
    UpdatePlayer();
    EXPECT_EQ(g_player.focus, 0) << "release unfocuses at once";
  }
}

TEST_F(MovementTest, DownBeatsUpAndRightBeatsLeft) {
  StartInControl(1);
  PlaceAt(250.0, 200.0);
  HoldPad(kUp | kDown | kLeft | kRight);
  UpdatePlayer();
  EXPECT_DOUBLE_EQ(g_player.x, 253.8);
  EXPECT_DOUBLE_EQ(g_player.y, 203.8);
  EXPECT_EQ(g_player.moving, 1);
  EXPECT_DOUBLE_EQ(g_player.vx, 0.0);
}

TEST_F(MovementTest, EdgesTestThePositionBeforeTheStep) {
  StartInControl(0);
  PlaceAt(135.0, 200.0);
  HoldPad(kLeft);
  double min_x = 1000.0;
  for (int i = 0; i < 10; ++i) {
    UpdatePlayer();
    min_x = std::min(min_x, g_player.x);
  }
  EXPECT_LT(min_x, 128.0);
  EXPECT_GT(min_x, 124.6);

  // Bottom: fighter 0's margin is 4, so down stops once y + 56 - 4 >= 480.
  PlaceAt(250.0, 415.0);
  HoldPad(kDown);
  for (int i = 0; i < 10; ++i) UpdatePlayer();
  EXPECT_LT(g_player.y, 428.0 + 3.4);
  EXPECT_GE(g_player.y, 428.0);
}

TEST_F(MovementTest, CoreAndBoxesFollowTheFighter) {
  struct Case {
    int fighter;
    double core_dy;
  } cases[] = {{0, 2.0}, {1, 4.0}, {2, 0.0}, {3, -6.0}, {4, -6.0}};
  for (const Case& c : cases) {
    g_player.fighter = c.fighter;
    PlaceAt(200.0, 100.0);
    EXPECT_DOUBLE_EQ(g_player.core_x, 228.0);
    EXPECT_DOUBLE_EQ(g_player.core_y, 128.0 + c.core_dy) << c.fighter;
    EXPECT_DOUBLE_EQ(g_player.hit_right - g_player.hit_left, 2.0);
    EXPECT_DOUBLE_EQ(g_player.body_top, g_player.core_y - 28.0);
  }
}

TEST_F(MovementTest, Fighter0OptionsSpreadThenSwingInFocus) {
  StartInControl(0);
  PlaceAt(250.0, 200.0);
  HoldPad(0);
  for (int i = 0; i < 25; ++i) UpdatePlayer();
  EXPECT_DOUBLE_EQ(g_player.opt_distance[0], 40.0);
  EXPECT_NEAR(g_player.opt_x[0], g_player.centre_x - 40.0, 1e-9);
  EXPECT_NEAR(g_player.opt_x[1], g_player.centre_x + 40.0, 1e-9);
  EXPECT_DOUBLE_EQ(g_player.opt_angle[0], 250.0);
  EXPECT_DOUBLE_EQ(g_player.opt_angle[1], 290.0);

  HoldPad(kShot);
  for (int i = 0; i < 20 + 30; ++i) UpdatePlayer();
  EXPECT_DOUBLE_EQ(g_player.opt_y[10], -40.0);
  EXPECT_DOUBLE_EQ(g_player.opt_y[0], g_player.centre_y - 24.0);
  EXPECT_DOUBLE_EQ(g_player.opt_angle[12], 155.0);  // 31 focused frames of 5
  EXPECT_DOUBLE_EQ(g_player.opt_angle[0], 270.0);
}

double Mode() { return g_player.opt_arrived[10]; }

TEST_F(MovementTest, Fighter34FormationCycle) {
  SetPlayerFighter(3, 0);
  ResetPlayerForStage();
  HoldPad(0);
  for (int i = 0; i < 62; ++i) UpdatePlayer();
  // The fly-in's last frame lays the options on the centre; returning from
  // there arrives at once.
  EXPECT_EQ(Mode(), -3.0);
  UpdatePlayer();
  EXPECT_EQ(Mode(), 0.0);
  PlaceAt(250.0, 200.0);

  HoldPad(kShot);
  for (int i = 0; i < 20; ++i) UpdatePlayer();
  EXPECT_EQ(Mode(), 1.0);
  int frames = 0;
  while (Mode() == 1.0 && frames < 100) {
    UpdatePlayer();
    ++frames;
  }
  EXPECT_EQ(Mode(), -1.0);
  UpdatePlayer();
  EXPECT_EQ(Mode(), 2.0);
  UpdatePlayer();
  EXPECT_DOUBLE_EQ(g_player.opt_x[2], g_player.centre_x - 48.0);
  EXPECT_DOUBLE_EQ(g_player.opt_y[0], g_player.centre_y - 32.0);

  HoldPad(0);
  UpdatePlayer();
  EXPECT_EQ(Mode(), 3.0);
  frames = 0;
  while (Mode() == 3.0 && frames < 100) {
    UpdatePlayer();
    ++frames;
  }
  EXPECT_EQ(Mode(), -3.0);
  UpdatePlayer();
  EXPECT_EQ(Mode(), 0.0);
}

TEST_F(MovementTest, TrailingOptionsFollowRecordedMovesOnly) {
  StartInControl(4);
  PlaceAt(250.0, 200.0);
  LayoutOptionsFighter34();
  ASSERT_EQ(Mode(), 0.0);
  HoldPad(kRight);
  for (int i = 0; i < 30; ++i) UpdatePlayer();
  // Option 3 trails 96 moves behind: still on the start centre; option 0
  // shows the 7th of the 30 recorded moves.
  double start_cx = 278.0;
  EXPECT_DOUBLE_EQ(g_player.opt_x[3], start_cx);
  EXPECT_NEAR(g_player.opt_x[0], start_cx + 3.8 * 7, 1e-9);
  double before[4];
  for (int i = 0; i < 4; ++i) before[i] = g_player.opt_x[i];
  HoldPad(0);
  for (int i = 0; i < 40; ++i) UpdatePlayer();
  for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(g_player.opt_x[i], before[i]);
}

TEST_F(MovementTest, WingsSpreadWhilePressingTheBottomEdge) {
  StartInControl(3);
  PlaceAt(250.0, 430.0);
  HoldPad(kDown);
  for (int i = 0; i < 30; ++i) UpdatePlayer();
  EXPECT_DOUBLE_EQ(g_player.opt_x[8], 42.0);  // +3 while below 40
  HoldPad(0);
  UpdatePlayer();
  EXPECT_DOUBLE_EQ(g_player.opt_x[8], 39.0);
}

TEST_F(MovementTest, MoveTowardPointArrivesWithinSpeedPlusOne) {
  double x = 0, y = 0, vx = 9, vy = 9;
  EXPECT_EQ(MoveTowardPoint(&x, &y, &vx, &vy, 10.0, 0.0, 0.0), 0);
  EXPECT_EQ(vx, 9.0);
  EXPECT_EQ(MoveTowardPoint(&x, &y, &vx, &vy, 10.0, 0.0, 8.0), 0);
  EXPECT_DOUBLE_EQ(vx, 8.0);
  EXPECT_NEAR(vy, 0.0, 1e-6);
  EXPECT_EQ(MoveTowardPoint(&x, &y, &vx, &vy, 10.0, 0.0, 9.0), 1);
  EXPECT_EQ(x, 10.0);
  EXPECT_EQ(vx, 0.0);
}

}  // namespace
