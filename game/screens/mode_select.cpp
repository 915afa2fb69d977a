#include "screens/mode_select.h"

#include "kesto/kesto.h"
#include "screens/scenes.h"
#include "screens/screen_frame.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kShotGuardFrames = 30;
constexpr int kModeAccel = 3;
constexpr int kIntro = 1;
constexpr int kActive = 2;
constexpr int kSlideStep = 20;
constexpr int kStripeRow = 0;
constexpr int kTitlePlateRun = 8;     // 360x48 at (0, 288) of bmp/start.dat
constexpr int kFirstModeNameRun = 9;  // 160x32 at (0, 160), (0, 192), (0, 224)

void DrawModeSelect(ModeSelectState& mode) {
  DrawSprite(180, 240, 1.0, 0.0, SheetCell(kSheetReplayBack, 0), 255);
  if (mode.phase == kActive) {
    DrawSprite(180, 340, 1.0, 0.0, SheetCell(kSheetEtc4, mode.cursor), 255);
  }
  DrawMenuStripes(mode.stripes, kStripeRow);
  DrawSpriteQuad(320, 60, 360, 48, SheetRunCell(kSheetStart, kTitlePlateRun, 0), 255,
                 RampFactor(mode.plate_x), RampFactor(mode.plate_y));
  StepRamp(mode.plate_x, 1, 10);
  StepRamp(mode.plate_y, 5, 10);
  // ACCEL has neither a name picture nor a bar: its description shows it.
  if (mode.phase == kActive && mode.cursor != kModeAccel) {
    DrawMenuHighlight(&g_menu_highlight_pulse, 180, 112 + 56 * mode.cursor);
    DrawMenuHighlight(&g_menu_highlight_pulse, 180, 128 + 56 * mode.cursor);
  }
  for (int m = 0; m < kModeAccel; ++m) {
    int x = m == 1 ? 180 + mode.slide : 180 - mode.slide;
    DrawSprite(x, 120 + 56 * m, 1.0, 0.0, SheetRunCell(kSheetStart, kFirstModeNameRun + m, 0), 255);
  }
}

}  // namespace

void EnterModeSelect(ModeSelectState& mode) {
  PlayBgm(1);
  mode = ModeSelectState{};
  mode.phase = kIntro;
  mode.cursor = 1;
  mode.slide = 260;
  mode.plate_x.tenths = 0;
  mode.plate_y.tenths = 60;
}

void StepModeSelect(ModeSelectState& mode) {
  DrawMenuBackground(100);
  if (mode.phase == kIntro) {
    mode.slide -= kSlideStep;
    if (mode.slide <= 0) {
      mode.slide = 0;
      mode.phase = kActive;
    }
  } else {
    mode.cursor = MoveMenuCursor(mode.cursor, kModeAccel);
    // Read every frame, so that a press held over from the menu is no press.
    int shot = ShotButtonState();
    if (mode.frames < INT32_MAX) ++mode.frames;
    if (shot == 1 && mode.frames > kShotGuardFrames) {
      mode.frames = 0;
      PlaySoundEffect(1);
      g_flags.CurrentScene = kSceneFighterSelect;
      g_flags.DifficultyMode = mode.cursor;
      if (g_flags.MainMenuChoice == 1) {
        g_flags.CurrentScene = kSceneStageSelect;
        g_flags.MainMenuChoice = 0;
      }
    }
  }
  DrawModeSelect(mode);
}

int RunModeSelectScene() {
  ModeSelectState mode;
  EnterModeSelect(mode);
  while (PumpFrameMessages() == 0) {
    StepModeSelect(mode);
    if (FinishScreenFrame(kSceneModeSelect, 1) != 0) break;
  }
  return 0;
}
