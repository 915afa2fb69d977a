#include "screens/title.h"

#include "kesto/kesto.h"
#include "screens/menu_scene.h"
#include "screens/replay.h"
#include "screens/scenes.h"
#include "screens/screen_frame.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kShotGuardFrames = 30;
constexpr int kDemoAfterFrames = 400;
constexpr int kDemoReplayCount = 3;
constexpr int kFirstDemoReplay = 100;
constexpr int kTitleMarkRun = 13;  // 16x16 at (168, 24) of bmp/etc1.dat

void DrawTitleTexts(const TitleState& title) {
  int blink = TruncToInt(SinDeg(title.blink_frames * 4.0) * 100.0 + 155.0);
  DrawText("PRESS SHOT BUTTON", 78, 236, blink, 1, 0);
  DrawText("EXTEND", 144, 320, 255, 1, 0);
  DrawText("1ST  4000000 PTS", 84, 344, 255, 1, 0);
  DrawText("2ND 10000000 PTS", 84, 368, 255, 1, 0);
  DrawText("VER. 1.02", 0, 462, 255, 1, 0);
  DrawSpriteScreen(272, 470, 1.0, 0.0, SheetRunCell(kSheetEtc1, kTitleMarkRun, 0), 255);
  DrawText("2026 HALCYRIS", 360, 462, 255, 0, 0);
}

}  // namespace

void EnterTitle(TitleState& title) {
  HaltMusic();
  g_flags.DemoMode = 0;
  title = TitleState{};
}

void StepTitle(TitleState& title) {
  DrawMenuBackground(255);
  DrawTitleTexts(title);

  // Both counters are read every frame, so a button still held from the
  // previous screen is not taken for a fresh press.
  int shot = ShotButtonState();
  int pause = PauseButtonState();

  if (title.blink_frames < INT32_MAX) ++title.blink_frames;
  if (title.blink_frames >= kShotGuardFrames && shot == 1) {
    g_flags.CurrentScene = kSceneMainMenu;
    PlaySoundEffect(2);
    title.blink_frames = 0;
  }

  // After the shot test, so that the demo wins over a press on the same frame.
  if (title.title_frames >= kDemoAfterFrames || pause == 2) {
    int index = g_flags.DemoReplayIndex % kDemoReplayCount;
    if (index < 0) index += kDemoReplayCount;
    g_flags.DemoReplayIndex = index;
    if (ReplayFileExists(index + kFirstDemoReplay) >= 0) {  // the number, or -1
      g_flags.DemoMode = 1;
      g_flags.CurrentScene = kSceneReplayList;
    } else {
      g_flags.DemoReplayIndex = index + 1;
    }
  }
  if (title.title_frames < INT32_MAX) ++title.title_frames;
}

int RunTitleScene() {
  TitleState title;
  EnterTitle(title);
  while (PumpFrameMessages() == 0) {
    StepTitle(title);
    if (FinishScreenFrame(kSceneTitle, 0) != 0) break;
  }
  return 0;
}
