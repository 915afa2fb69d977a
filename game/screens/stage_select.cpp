#include "screens/stage_select.h"

#include "kesto/kesto.h"
#include "screens/menu_scene.h"
#include "screens/overlays.h"
#include "screens/save_data.h"
#include "screens/scenes.h"
#include "screens/screen_frame.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kShotGuardFrames = 30;
constexpr int kModeHell = 2;
constexpr int kExtraStageNumber = 21;
constexpr int kBossPracticeOffset = 11;  // boss index 5-9 -> stage number 16-20
constexpr int kLit = 255;
constexpr int kUnlit = 100;

constexpr const char* kStageItems[2 * kStageSelectStages] = {
    "STAGE 1",      "STAGE 2",      "STAGE 3",      "STAGE 4",      "STAGE 5",
    "STAGE 1 BOSS", "STAGE 2 BOSS", "STAGE 3 BOSS", "STAGE 4 BOSS", "STAGE 5 BOSS"};
constexpr const char* kModeNames[3] = {"HEAVEN   ", "ORIGINAL ", "HELL     "};

// Stage of entry `index` (0-9), 1-5.
int StageOfItem(int index) { return index % kStageSelectStages + 1; }

void DrawStageSelect(const StageSelectState& stage) {
  DrawMenuHighlight(&g_menu_highlight_pulse, 180, 108 + 30 * stage.cursor);
  int mode = g_flags.DifficultyMode;
  if (mode >= 0 && mode <= kModeHell) DrawText(kModeNames[mode], 243, 0, 255, 1, 0);
  DrawText("STAGE SELECT", 120, 40, 255, 1, 0);
  for (int i = 0; i < 2 * kStageSelectStages; ++i) {
    int alpha = StageOfItem(i) <= stage.offer.reached ? kLit : kUnlit;
    DrawText(kStageItems[i], 145, 100 + 30 * i, alpha, 1, 0);
  }
  if (stage.offer.extra == 1) {
    DrawText("???????", 145, 400, kLit, 1, 0);
    DrawText("RETURN      ", 145, 430, 255, 1, 0);
  } else {
    DrawText("RETURN      ", 145, 400, 255, 1, 0);
  }
}

void Choose(const StageSelectState& stage) {
  int index = stage.cursor;
  if (index == stage.offer.last_index) {
    PlaySoundEffect(1);
    g_flags.CurrentScene = kSceneMainMenu;
    g_flags.StageNumber = 1;
    g_flags.sel_flag = 0;
    return;
  }
  if (stage.offer.extra == 1 && index == 2 * kStageSelectStages) {
    PlaySoundEffect(1);
    g_flags.sel_flag = 1;
    g_flags.StageNumber = kExtraStageNumber;
    g_flags.CurrentScene = kSceneFighterSelect;
    return;
  }
  if (index < 0 || index >= 2 * kStageSelectStages || StageOfItem(index) > stage.offer.reached) {
    return;  // not reached yet: no sound either
  }
  PlaySoundEffect(1);
  g_flags.sel_flag = 1;
  g_flags.StageNumber = index < kStageSelectStages ? index + 1 : index + kBossPracticeOffset;
  g_flags.CurrentScene = kSceneFighterSelect;
}

}  // namespace

StageSelectOffer ComputeStageSelectOffer(int mode) {
  StageSelectOffer offer{};
  bool known_mode = mode >= 0 && mode < kProgressModes;
  offer.reached = known_mode ? g_save_data.StageReachedTable[mode] : 1;
  if (g_save_data.StageUnlockFlag == 1) offer.reached = kStageSelectStages;
  if (offer.reached < 0 || offer.reached > kStageSelectStages) offer.reached = 1;
  if (mode == kModeHell && (g_save_data.StageUnlockFlag == 1 || g_save_data.secret_stage_flag == 1)) {
    offer.extra = 1;
  }
  offer.last_index = offer.extra == 1 ? 2 * kStageSelectStages + 1 : 2 * kStageSelectStages;
  return offer;
}

void EnterStageSelect(StageSelectState& stage) {
  stage = StageSelectState{};
  stage.offer = ComputeStageSelectOffer(g_flags.DifficultyMode);
  // Carries on the music of the mode select; starts it when coming back
  // after stage-select play.
  if (IsMusicRunning() == 0) PlayBgm(1);
  ResetFade();
}

void StepStageSelect(StageSelectState& stage) {
  DrawMenuBackground(100);
  DrawStageSelect(stage);
  stage.cursor = MoveMenuCursor(stage.cursor, stage.offer.last_index);
  // Read every frame, so that a press held over from the last screen is no press.
  int shot = ShotButtonState();
  if (shot == 1 && stage.frames > kShotGuardFrames) Choose(stage);
  if (stage.frames < INT32_MAX) ++stage.frames;
}

int RunStageSelectScene() {
  StageSelectState stage;
  EnterStageSelect(stage);
  while (PumpFrameMessages() == 0) {
    StepStageSelect(stage);
    if (FinishScreenFrame(kSceneStageSelect, 1) != 0) break;
  }
  g_previous_scene = kSceneStageSelect;
  return 0;
}
