// Every shell test starts from program-start state: the recording library
// cleared, the game's globals zeroed and the configuration at its defaults.
#pragma once

#include <gtest/gtest.h>

#include "screens/config.h"
#include "screens/overlays.h"
#include "shell/buttons.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/game_play.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "support/kesto_fake/kesto_fake.h"

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kesto_fake::Reset();
    g_flags = GameFlags{};
    g_input = InputState{};
    g_frame_clock = FrameClock{};
    g_slow_motion = SlowMotion{};
    g_menu_repeat = MenuRepeatDelay{};
    g_continue_screen = ContinueScreenState{};
    RandomSeed = 0;
    g_config = DefaultConfig();
    ForgetLoadedImagesForTesting();
    SetFrameStepHook(nullptr);
  }
  void TearDown() override { SetFrameStepHook(nullptr); }

  kesto_fake::State& fake() { return kesto_fake::state(); }
  // Holds `bits` on the pad from now on.
  void HoldPad(uint32_t bits) { fake().pad_default = bits; }
};
