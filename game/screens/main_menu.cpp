#include "screens/main_menu.h"

#include <cstdlib>

#include "kesto/kesto.h"
#include "screens/menu_scene.h"
#include "screens/scenes.h"
#include "screens/screen_frame.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kShotGuardFrames = 30;

// Padded to 12 characters.
constexpr const char* kItems[kMainMenuExit + 1] = {"ARCADE      ", "STAGE SELECT", "RANKING     ",
                                                   "REPLAY      ", "CONFIG      ", "EXIT        "};

void ActOnChoice(int cursor) {
  switch (cursor) {
    case 0:
    case 1: g_flags.CurrentScene = kSceneModeSelect; break;
    case 2:
      g_flags.RankingAfterGame = 0;
      g_flags.CurrentScene = kSceneRanking;
      break;
    case 3: g_flags.CurrentScene = kSceneReplayList; break;
    case 4: g_flags.CurrentScene = kSceneConfig; break;
    default: std::exit(1);
  }
}

}  // namespace

void EnterMainMenu(MainMenuState& menu) {
  HaltMusic();
  menu = MainMenuState{};
  g_flags.sel_flag = 0;
}

void StepMainMenu(MainMenuState& menu) {
  DrawMenuBackground(155);
  if (menu.chosen == 1) {
    ActOnChoice(menu.cursor);
    return;
  }
  DrawMenuHighlight(&g_menu_highlight_pulse, 180, 308 + 24 * menu.cursor);
  for (int i = 0; i <= kMainMenuExit; ++i) DrawText(kItems[i], 144, 300 + 24 * i, 255, 1, 0);
  menu.cursor = MoveMenuCursor(menu.cursor, kMainMenuExit);
  // Read every frame, so that a press held over from the title is no press.
  int shot = ShotButtonState();
  if (menu.menu_frames < INT32_MAX) ++menu.menu_frames;
  if (shot == 1 && menu.menu_frames > kShotGuardFrames) {
    menu.menu_frames = 0;
    menu.chosen = 1;
    if (menu.cursor != kMainMenuExit) PlaySoundEffect(1);
  }
}

void LeaveMainMenu(const MainMenuState& menu) {
  g_previous_scene = kSceneMainMenu;
  g_flags.MainMenuChoice = menu.cursor;
}

int RunMainMenuScene() {
  MainMenuState menu;
  EnterMainMenu(menu);
  while (PumpFrameMessages() == 0) {
    StepMainMenu(menu);
    if (FinishScreenFrame(kSceneMainMenu, 1) != 0) break;
  }
  LeaveMainMenu(menu);
  return 0;
}
