// Play-field tests start from program-start state: the recording library
// cleared, the game's globals zeroed, the configuration at its defaults and
// a new game's player.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "play/player.h"
#include "play/player_movement.h"
#include "screens/config.h"
#include "screens/overlays.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "support/kesto_fake/kesto_fake.h"

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kesto_fake::Reset();
    g_flags = GameFlags{};
    g_continue_screen = ContinueScreenState{};
    RandomSeed = 10;
    g_config = DefaultConfig();
    std::memset(static_cast<void*>(&g_player), 0, sizeof g_player);
    InitPlayerForGame();
  }

  kesto_fake::State& fake() { return kesto_fake::state(); }
  void HoldPad(uint32_t bits) { fake().pad_default = bits; }

  // A new game's fighter after the stage-start fly-in, under the user's control.
  void StartInControl(int fighter) {
    SetPlayerFighter(fighter, 0);
    ResetPlayerForStage();
    while (g_player.control == 0) UpdatePlayer();
  }
  // Puts the sprite's top-left at (x, y) and recomputes what follows from it.
  void PlaceAt(double x, double y) {
    g_player.x = x;
    g_player.y = y;
    g_player.vx = g_player.vy = 0.0;
    UpdatePlayerPosition();
  }
};
