#include "kesto/kesto.h"
#include "play/stage.h"
#include "play/stage_clear.h"
#include "screens/overlay_darkening.h"
#include "screens/menu_scene.h"
#include "screens/overlays.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

PauseMenuState g_pause_menu{};

namespace {

constexpr int kPauseDarkness = 120;
constexpr int kShotGuardFrames = 31;
constexpr int kResumeFrames = 30;
constexpr int kDecideSound = 1;

enum PauseItem { kReturn = 0, kGoToTitle = 1, kRetry = 2 };

void Choose(PauseMenuState& m) {
  PlaySoundEffect(kDecideSound);
  switch (m.cursor) {
    case kReturn:
      m.frame_counter = 0;
      m.phase = 1;
      break;
    case kGoToTitle:
      HaltMusic();
      g_flags.CurrentScene = kSceneBoot;
      break;
    case kRetry:
      HaltMusic();
      g_flags.CurrentScene = kSceneBoot;
      g_flags.RetryRequested = 1;
      g_flags.GamePaused = 0;
      ResetPauseMenu();
      ResetStageObject();
      break;
    default:
      break;
  }
}

}  // namespace

int UpdatePauseMenu() {
  if (g_flags.DemoMode == 1) return -1;
  if (g_flags.CurrentScene != kSceneGamePlay || IsStageClearSequenceActive() != 0 ||
      g_continue_screen.active == 1)
    return 0;
  PauseMenuState& m = g_pause_menu;
  if (PauseButtonState() == 1) {
    g_flags.PausedThisGame = 1;
    m.open = 1;
    g_flags.GamePaused = 1;
  }
  // Closed, the menu neither moves its cursor (which would sound and use up
  // the shared repeat delay while play holds up or down) nor counts frames
  // (which would void the shot guard when it opens).
  if (m.open != 1) return 0;
  if (m.darkness_alpha < kPauseDarkness) m.darkness_alpha += 2;
  if (m.darkness_alpha > kPauseDarkness) m.darkness_alpha = kPauseDarkness;
  if (m.phase == 0) {
    m.cursor = MoveMenuCursor(m.cursor, g_flags.ReplayPlayback == 1 ? kGoToTitle : kRetry);
    const int shot = ShotButtonState();
    if (shot == 1 && m.frame_counter >= kShotGuardFrames) {
      Choose(m);
      // RETURN counts its 30 frames from the next one; RETRY closed the menu.
      if (m.phase == 1 || m.open == 0) return 0;
    }
    ++m.frame_counter;
  } else {
    ++m.frame_counter;
    if (m.frame_counter >= kResumeFrames) {
      g_flags.GamePaused = 0;
      ResetPauseMenu();
    }
  }
  return 0;
}

int DrawPauseMenu() {
  const PauseMenuState& m = g_pause_menu;
  if (m.open != 1) return -1;
  DarkenPlayField(m.darkness_alpha);
  DrawMenuHighlight(&g_menu_highlight_pulse, 180, 188 + 40 * m.cursor);
  DrawText("PAUSE", 150, 120, 255, 1, 0);
  DrawText("RETURN", 144, 180, 255, 1, 0);
  DrawText("GO TO TITLE", 144, 220, 255, 1, 0);
  if (g_flags.ReplayPlayback != 1) DrawText("RETRY ", 144, 260, 255, 1, 0);
  return 0;
}

int ResetPauseMenu() {
  g_pause_menu = PauseMenuState{};
  return 0;
}
