#include "play/player_drawing.h"

#include "play/player.h"
#include "player_fixture.h"

namespace {

using DrawingTest = PlayerTest;

TEST_F(DrawingTest, BankRangeByFighter) {
  for (auto [fighter, limit] : {std::pair{0, 3}, {3, 3}, {4, 6}}) {
    SetUp();
    StartInControl(fighter);
    g_player.in_left = 1;
    for (int i = 0; i < 100; ++i) DrawPlayer();
    EXPECT_EQ(g_player.bank_frame, -limit) << fighter;
    g_player.in_left = 0;
    g_player.in_right = 1;
    for (int i = 0; i < 100; ++i) DrawPlayer();
    EXPECT_EQ(g_player.bank_frame, limit) << fighter;
    g_player.in_right = 0;
    for (int i = 0; i < 100; ++i) DrawPlayer();
    EXPECT_EQ(g_player.bank_frame, 0) << fighter;
  }
}

TEST_F(DrawingTest, TheEndOfReappearingResetsTheOptions) {
  StartInControl(0);
  for (int i = 0; i < 30; ++i) UpdatePlayer();
  ASSERT_GT(g_player.opt_distance[0], 0.0);
  g_player.appear_state = 2;
  int draws = 0;
  while (g_player.appear_state == 2 && draws < 100) {
    DrawPlayer();
    ++draws;
  }
  EXPECT_EQ(draws, 20);  // 3.0 down to 1.0 by 0.1
  EXPECT_EQ(g_player.reappear_scale, 1.0);
  EXPECT_EQ(g_player.opt_distance[0], 0.0);
  EXPECT_EQ(g_player.anim_counter, 0);
}

TEST_F(DrawingTest, TheFlashClearsTheFiringFlagEverySixUnpausedDraws) {
  StartInControl(1);
  g_player.firing = 1;
  g_player.flash_counter = 0;
  g_flags.GamePaused = 1;
  for (int i = 0; i < 20; ++i) DrawPlayer();
  EXPECT_EQ(g_player.firing, 1);
  EXPECT_EQ(g_player.flash_counter, 0);
  g_flags.GamePaused = 0;
  for (int i = 0; i < 5; ++i) DrawPlayer();
  EXPECT_EQ(g_player.firing, 1);
  DrawPlayer();
  EXPECT_EQ(g_player.firing, 0);
}

TEST_F(DrawingTest, ShieldFadesOverTheLast150Frames) {
  StartInControl(0);
  for (auto [guard, alpha] : {std::pair{180, 150}, {150, 150}, {40, 40}}) {
    g_player.guard = guard;
    kesto_fake::state().calls.clear();
    DrawGuardShield();
    int blend_alpha = -1;
    for (const auto& c : kesto_fake::state().calls)
      if (c.name == "ChooseBlendMode" && blend_alpha < 0) blend_alpha = c.iarg(1);
    EXPECT_EQ(blend_alpha, alpha) << guard;
  }
}

}  // namespace
