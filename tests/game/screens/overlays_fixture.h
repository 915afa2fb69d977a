// Overlay and HUD tests start from program-start state: the recording library
// cleared, the game's globals and overlay records reset, the configuration at
// its defaults, the pictures cut and a new game's player.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kesto/kesto.h"
#include "play/enemies.h"
#include "play/player.h"
#include "play/stage.h"
#include "play/stage_clear.h"
#include "screens/config.h"
#include "screens/hud.h"
#include "screens/overlays.h"
#include "shell/buttons.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"
#include "support/kesto_fake/kesto_fake.h"

class OverlaysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kesto_fake::Reset();
    g_flags = GameFlags{};
    g_flags.CurrentScene = kSceneGamePlay;
    g_input = InputState{};
    g_menu_repeat = MenuRepeatDelay{};
    g_config = DefaultConfig();
    LoadBgmTable();
    LoadSoundEffects();
    ForgetLoadedImagesForTesting();
    LoadHudImages();
    LoadItemImages();
    LoadFontImages();
    std::memset(static_cast<void*>(&g_player), 0, sizeof g_player);
    InitPlayerForGame();
    ResetStageObject();
    ResetStageClearSequence();
    ResetHud();
    ResetFade();
    ResetStageTitle();
    ResetBossWarning();
    ResetPauseMenu();
    ResetContinueScreen();
    ClearLog();
  }

  kesto_fake::State& fake() { return kesto_fake::state(); }
  void ClearLog() { fake().calls.clear(); }
  void HoldPad(uint32_t bits) { fake().pad_default = bits; }

  // Sprites drawn since the last ClearLog, in order.
  std::vector<kesto_fake::Call> Sprites() {
    return kesto_fake::CallsNamed("BlitGraphicScaledRotated");
  }
  // Where in its picture a graphic was cut.
  const kesto_fake::Graphic& G(int handle) {
    return fake().graphics.at(static_cast<size_t>(handle));
  }
  int Count(const std::string& name) {
    return static_cast<int>(kesto_fake::CallsNamed(name).size());
  }
  // Sound-effect numbers played since the last ClearLog.
  std::vector<int> SoundsPlayed() {
    std::vector<int> out;
    for (const auto& c : kesto_fake::CallsNamed("StartSoundHandle"))
      for (int n = 0; n < kSoundBankSize; ++n)
        if (g_sound_bank[n] == c.iarg(0) && c.iarg(0) != 0) out.push_back(n);
    return out;
  }
  // Music files started since the last ClearLog.
  std::vector<std::string> MusicStarted() {
    std::vector<std::string> out;
    for (const auto& c : kesto_fake::CallsNamed("StartMusicFile")) out.push_back(c.text);
    return out;
  }
  // Whether `text` was drawn in style 0 at field (x, y): each glyph blitted
  // 12 pixels after the one before, starting at x (left-aligned) or ending
  // at x (right-aligned).
  bool Drew(const std::string& text, int x, int y, bool left_aligned) {
    const int n = static_cast<int>(text.size());
    const int start = x + 140 - (left_aligned ? 0 : 12 * n);
    const auto blits = kesto_fake::CallsNamed("BlitGraphicAt");
    for (int i = 0; i < n; ++i) {
      if (text[i] == ' ' || text[i] == '_') continue;
      bool found = false;
      for (const auto& c : blits)
        found = found || (c.iarg(0) == start + 12 * i && c.iarg(1) == y &&
                          c.iarg(2) == GlyphCell(0, text[i]));
      if (!found) return false;
    }
    return true;
  }
};
