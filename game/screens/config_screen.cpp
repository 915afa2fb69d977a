#include "screens/config_screen.h"

#include <cstdio>

#include "kesto/kesto.h"
#include "screens/config.h"
#include "screens/menu_scene.h"
#include "screens/ranking.h"
#include "screens/save_data.h"
#include "screens/scenes.h"
#include "screens/screen_frame.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

ConfigScreenState g_config_screen{};

namespace {

constexpr int kShotGuardFrames = 30;
constexpr int kFirstButtonBit = 4;
constexpr int kButtonCount = 8;
constexpr int kResetRankingHold = 100;
constexpr int kResetConfigLock = 30;
constexpr int kResetRankingLock = 60;
constexpr int kOkFrames = 60;

constexpr const char* kLabels[kConfigItemReturn + 1] = {
    "SHOT", "BOMB",          "FULL AUTO", "PAUSE",        "AUTO GUARD",    "SE",    "BGM",
    "BULLET COLOR", "ENEMY SHOT SE", "BEAT SE", "RESET CONFIG", "RESET RANKING", "RETURN"};
constexpr const char* kButtonNames[kButtonCount] = {"BUTTON 0", "BUTTON 1", "BUTTON 2",
                                                    "BUTTON 3", "BUTTON 4", "BUTTON 5",
                                                    "BUTTON 6", "BUTTON 7"};
constexpr const char* kColorNames[5] = {"PINK", "BLUE", "VIOLET", "RED", "GREEN"};
constexpr const char* kUnknown = "?";

int ValueY(int item) { return 88 + 24 * item; }

void DrawNumber(int value, int x, int y) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  DrawText(text, x, y, 255, 1, 0);
}

// Any of BUTTON 0-7 down: its mask (the lowest one) goes to the field.
void AssignButton(int32_t& mask) {
  uint32_t word = static_cast<uint32_t>(ReadPadBits(kPadSelector));
  for (int bit = kFirstButtonBit; bit < kFirstButtonBit + kButtonCount; ++bit) {
    if ((word & (1u << bit)) != 0) {
      mask = static_cast<int32_t>(1u << bit);
      return;
    }
  }
}

void HandleResetConfig(int shot) {
  if (g_config_screen.lock_frames != 0 || shot != 2) return;
  g_config_screen.lock_frames = kResetConfigLock;
  PlaySoundEffect(1);
  ResetConfig();
  g_config_screen.config_ok_frames = kOkFrames;
}

void HandleResetRanking(int shot) {
  if (g_config_screen.lock_frames != 0) return;
  g_config_screen.hold_frames = shot < 2 ? 0 : g_config_screen.hold_frames + 1;
  if (g_config_screen.hold_frames >= kResetRankingHold) {
    PlaySoundEffect(1);
    ResetScores();
    g_config_screen.hold_frames = 0;
    g_config_screen.lock_frames = kResetRankingLock;
    g_config_screen.ranking_ok_frames = kOkFrames;
  }
}

void HandleConfigReturn(const ConfigSceneState& config, int shot) {
  if (shot != 1 || config.frames <= kShotGuardFrames) return;
  g_config_screen = ConfigScreenState{};
  LoadEnemyBulletImages(g_config.bullet_color);
  SaveConfig();
  PlaySoundEffect(1);
  g_flags.CurrentScene = kSceneMainMenu;
}

void RunItemHandler(const ConfigSceneState& config, int shot) {
  GameConfig& c = g_config;
  switch (config.cursor) {
    case 0: AssignButton(c.shot_mask); break;
    case 1: AssignButton(c.bomb_mask); break;
    case 2: AssignButton(c.full_auto_mask); break;
    case 3: AssignButton(c.pause_mask); break;
    case 4: c.auto_guard = AdjustMenuValue(c.auto_guard, 1, 8, 0); break;
    case 5: c.se_volume = AdjustMenuValue(c.se_volume, 100, 5, 1); break;
    case 6: c.bgm = AdjustMenuValue(c.bgm, 1, 10, 0); break;
    case 7: c.bullet_color = AdjustMenuValue(c.bullet_color, 4, 8, 0); break;
    case 8: c.enemy_shot_se = AdjustMenuValue(c.enemy_shot_se, 1, 8, 0); break;
    case 9: c.beat_se = AdjustMenuValue(c.beat_se, 1, 8, 0); break;
    case kConfigItemResetConfig: HandleResetConfig(shot); break;
    case kConfigItemResetRanking: HandleResetRanking(shot); break;
    default: HandleConfigReturn(config, shot); break;
  }
}

void CountDown(int32_t& frames) {
  if (frames > 0) --frames;
}

}  // namespace

const char* ButtonLabel(int32_t mask) {
  for (int b = 0; b < kButtonCount; ++b)
    if (static_cast<uint32_t>(mask) == (1u << (kFirstButtonBit + b))) return kButtonNames[b];
  return kUnknown;
}

const char* SwitchLabel(int32_t value) {
  if (value == 0) return "OFF";
  if (value == 1) return "ON";
  return kUnknown;
}

const char* BulletColorLabel(int32_t value) {
  return value >= 0 && value < 5 ? kColorNames[value] : kUnknown;
}

int DrawConfigItems() {
  const GameConfig& c = g_config;
  for (int i = 0; i <= kConfigItemReturn; ++i) DrawText(kLabels[i], 40, ValueY(i), 255, 1, 0);
  DrawText(ButtonLabel(c.shot_mask), 240, ValueY(0), 255, 1, 0);
  DrawText(ButtonLabel(c.bomb_mask), 240, ValueY(1), 255, 1, 0);
  DrawText(ButtonLabel(c.full_auto_mask), 240, ValueY(2), 255, 1, 0);
  DrawText(ButtonLabel(c.pause_mask), 240, ValueY(3), 255, 1, 0);
  DrawText(SwitchLabel(c.auto_guard), 240, ValueY(4), 255, 1, 0);
  DrawNumber(c.se_volume, 240, ValueY(5));
  DrawText(SwitchLabel(c.bgm), 240, ValueY(6), 255, 1, 0);
  DrawText(BulletColorLabel(c.bullet_color), 240, ValueY(7), 255, 1, 0);
  DrawText(SwitchLabel(c.enemy_shot_se), 240, ValueY(8), 255, 1, 0);
  DrawText(SwitchLabel(c.beat_se), 240, ValueY(9), 255, 1, 0);
  if (g_config_screen.config_ok_frames > 0) {
    DrawText("OK", 240, ValueY(kConfigItemResetConfig), 255, 1, 0);
  }
  if (g_config_screen.hold_frames > 0) {
    DrawNumber(g_config_screen.hold_frames, 240, ValueY(kConfigItemResetRanking));
  }
  if (g_config_screen.ranking_ok_frames > 0) {
    DrawText("OK", 240, ValueY(kConfigItemResetRanking), 255, 1, 0);
  }
  DrawText("CONFIG", 150, 40, 255, 1, 0);
  DrawText("CREDIT", 150, 464, 255, 1, 0);
  DrawNumber(g_save_data.credits, 234, 464);
  // Music switched off stops at once; switched back on it waits for the next piece.
  if (c.bgm == 0 && IsMusicRunning() != 0) HaltMusic();
  return 0;
}

void EnterConfig(ConfigSceneState& config) {
  config = ConfigSceneState{};
  g_config_screen = ConfigScreenState{};
}

void StepConfig(ConfigSceneState& config) {
  ReadPadBits(kPadSelector);
  DrawMenuBackground(100);
  DrawMenuHighlight(&g_menu_highlight_pulse, 180, 96 + 24 * config.cursor);
  DrawConfigItems();
  config.cursor = MoveMenuCursor(config.cursor, kConfigItemReturn);
  // Read once a frame whatever the item, so that a shot held while moving
  // onto RETURN is not taken for a fresh press.
  int shot = ShotButtonState();
  if (config.frames < INT32_MAX) ++config.frames;
  RunItemHandler(config, shot);
  CountDown(g_config_screen.lock_frames);
  CountDown(g_config_screen.config_ok_frames);
  CountDown(g_config_screen.ranking_ok_frames);
  if (config.cursor != kConfigItemResetRanking) g_config_screen.hold_frames = 0;
}

int RunConfigScene() {
  ConfigSceneState config;
  EnterConfig(config);
  while (PumpFrameMessages() == 0) {
    StepConfig(config);
    if (FinishScreenFrame(kSceneConfig, 1) != 0) break;
  }
  g_config_screen = ConfigScreenState{};
  return 0;
}
