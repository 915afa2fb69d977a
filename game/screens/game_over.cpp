#include "screens/game_over.h"

#include "kesto/kesto.h"
#include "screens/save_data.h"
#include "screens/scenes.h"
#include "screens/screen_frame.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"

namespace {

constexpr int32_t kMaxCredits = 9999;
constexpr int kHoldFrames = 240;
constexpr int kShotGuardFrames = 30;  // a shot press counts only after these

}  // namespace

int EnterGameOver() {
  HaltMusic();
  if (g_flags.ReplayPlayback == 1) {
    g_flags.ReplayPlayback = 0;
    if (g_flags.DemoMode == 1) {
      g_flags.CurrentScene = kSceneRanking;  // which goes back to the title by itself
    } else {
      g_flags.ReturnToReplayList = 1;
      g_flags.CurrentScene = kSceneReplayList;
    }
    return 1;
  }
  // Kept in memory; the replay-save screen writes it.
  if (g_flags.sel_flag == 0 && g_flags.RetryRequested == 0 && g_save_data.credits < kMaxCredits) {
    ++g_save_data.credits;
  }
  return 0;
}

GameOverState StartGameOver() {
  GameOverState s{};
  s.caption_y_scale = 6.0;
  return s;
}

void UpdateGameOver(GameOverState& s, int shot) {
  switch (s.state) {
    case 0:
      s.logo_y_scale += 0.06;
      if (s.logo_y_scale >= 1.0) {
        s.logo_y_scale = 1.0;
        s.state = 1;
      }
      break;
    case 1:
      // Snapped to exactly 1.0: the steps do not add up to it in doubles.
      if (s.caption_x_scale < 1.0) {
        s.caption_x_scale += 0.05;
        if (s.caption_x_scale >= 1.0) s.caption_x_scale = 1.0;
      }
      if (s.caption_y_scale > 1.0) {
        s.caption_y_scale -= 0.3;
        if (s.caption_y_scale <= 1.0) s.caption_y_scale = 1.0;
      }
      if (s.caption_x_scale == 1.0 && s.caption_y_scale == 1.0) s.state = 2;
      break;
    case 2:
      ++s.counter;
      if (s.counter >= kHoldFrames || (shot == 1 && s.counter > kShotGuardFrames)) s.state = 3;
      break;
    default:
      g_flags.CurrentScene = kSceneNameEntry;
      break;
  }
}

void DrawGameOver(const GameOverState& s) {
  DrawSpriteQuad(320, 160, 360, 80, SheetCell(kSheetGameOver, 0), 255, 1.0, s.logo_y_scale);
  DrawSpriteQuad(320, 160, 256, 48, SheetCell(kSheetGameOver, 1), 255, s.caption_x_scale, s.caption_y_scale);
}

int RunGameOverScene() {
  if (EnterGameOver() != 0) return 0;
  GameOverState s = StartGameOver();
  while (PumpFrameMessages() == 0) {
    const int shot = ShotButtonState();
    UpdateGameOver(s, shot);
    DrawGameOver(s);
    if (FinishScreenFrame(kSceneGameOver, 0) != 0) break;
  }
  return 0;
}
