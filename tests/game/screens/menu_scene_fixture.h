// Every menu-screen test starts from program-start state inside its own
// directory: the recording library cleared, the game's globals zeroed, the
// configuration at its defaults, every picture loaded and each sound effect
// given a handle that names its number.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "screens/config.h"
#include "screens/hud.h"
#include "screens/menu_scene.h"
#include "screens/save_data.h"
#include "shell/buttons.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"
#include "support/kesto_fake/kesto_fake.h"
#include "support/scoped_temp_dir.h"

// Input-word bits with the default configuration.
inline constexpr uint32_t kPadDown = 1, kPadLeft = 2, kPadRight = 4, kPadUp = 8;
inline constexpr uint32_t kPadShot = 16, kPadBomb = 32, kPadPause = 128;

class MenuSceneTest : public ::testing::Test {
 protected:
  static constexpr int kSoundHandleBase = 5000;

  void SetUp() override {
    dir_.reset();  // back where the test began before entering a new one
    dir_ = std::make_unique<ScopedTempDir>(true);
    kesto_fake::Reset();
    g_flags = GameFlags{};
    g_input = InputState{};
    g_frame_clock = FrameClock{};
    g_menu_repeat = MenuRepeatDelay{};
    g_menu_highlight_pulse = 0;
    g_previous_scene = 0;
    g_hud = HudState{};
    g_save_data = SaveData{};
    RandomSeed = 0;
    LoadConfig();
    ForgetLoadedImagesForTesting();
    LoadAllImages();
    for (int n = 0; n < kSoundBankSize; ++n) g_sound_bank[n] = kSoundHandleBase + n;
    fake().calls.clear();
  }
  void TearDown() override { dir_.reset(); }

  kesto_fake::State& fake() { return kesto_fake::state(); }
  // Holds `bits` on the pad from now on.
  void HoldPad(uint32_t bits) { fake().pad_default = bits; }
  // Sound-effect numbers played since the log was last cleared.
  std::vector<int> SoundsPlayed() {
    std::vector<int> played;
    for (const auto& c : kesto_fake::CallsNamed("StartSoundHandle"))
      played.push_back(c.iarg(0) - kSoundHandleBase);
    return played;
  }
  // Centred draws of `graphic` (screen x, y of each).
  std::vector<std::pair<int, int>> DrawsOf(int32_t graphic) {
    std::vector<std::pair<int, int>> at;
    for (const auto& c : kesto_fake::CallsNamed("BlitGraphicScaledRotated"))
      if (c.iarg(4) == graphic) at.emplace_back(c.iarg(0), c.iarg(1));
    return at;
  }
  void WriteFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }

 private:
  std::unique_ptr<ScopedTempDir> dir_;
};
