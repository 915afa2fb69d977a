#include <cstdio>

#include "kesto/kesto.h"
#include "play/bullet_cancel.h"
#include "play/player.h"
#include "play/stage.h"
#include "screens/overlay_darkening.h"
#include "screens/menu_scene.h"
#include "screens/overlays.h"
#include "screens/ranking.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

ContinueScreenState g_continue_screen{};

namespace {

enum ContinuePhase {
  kWaiting = 0,
  kMenu = 1,
  kContinuing = 10,
  kRetrying = 11,
  kGivingUp = 20,
  kGameOver = 21,
};
enum ContinueItem { kYes = 0, kNo = 1, kRetry = 2 };

constexpr int kWaitFrames = 90;
constexpr int kMenuDarkness = 120;
constexpr int kShotGuardFrames = 31;
constexpr int kDecideSound = 1;
constexpr int kContinueSound = 2;
constexpr int kMaxContinueDigit = 9;

bool RetryOffered() { return g_flags.sel_flag == 1; }

// A new player in the same stage, keeping what the game has counted so far;
// the score's last digit shows the continues used.
void ContinueWithNewPlayer() {
  PlaySoundEffect(kContinueSound);
  if (g_flags.sel_flag == 0) AddPlayerCredits(-1);
  const int stage_misses = GetPlayerStageMisses();
  const int total_misses = GetPlayerTotalMisses();
  const int fighter = GetPlayerFighter();
  const int variant = GetPlayerVariant();
  const int credits = GetPlayerCredits();
  const int continues = GetPlayerContinues() + 1;
  const int top_score = GetTopScore(g_flags.DifficultyMode);
  InitPlayerForGame();
  AddPlayerContinues(continues);
  AddScore(continues < kMaxContinueDigit ? continues : kMaxContinueDigit);
  SetPlayerTotalMisses(total_misses);
  SetPlayerStageMisses(stage_misses);
  SetPlayerFighter(fighter, variant);
  SetPlayerCredits(credits);
  SetPlayerHiScore(top_score);
  ResetPlayerForStage();
  StartBulletCancel(1, 240);
  ResetContinueScreen();
  g_flags.GamePaused = 0;
}

void Retry() {
  HaltMusic();
  g_flags.CurrentScene = kSceneBoot;
  g_flags.RetryRequested = 1;
  g_flags.GamePaused = 0;
  ResetContinueScreen();
  ResetStageObject();
}

void UpdateMenu(ContinueScreenState& c) {
  if (c.darkness_alpha < kMenuDarkness) c.darkness_alpha += 2;
  if (c.darkness_alpha > kMenuDarkness) c.darkness_alpha = kMenuDarkness;
  c.cursor = MoveMenuCursor(c.cursor, RetryOffered() ? kRetry : kNo);
  const int shot = ShotButtonState();
  // Like every menu, the first 30 frames ignore shot: a player still firing
  // when the last life went must not continue by accident.
  const bool guarded = c.frame_counter < kShotGuardFrames;
  if (c.frame_counter < kShotGuardFrames) ++c.frame_counter;
  if (shot != 1 || guarded) return;
  switch (c.cursor) {
    case kYes:
      c.phase = kContinuing;
      break;
    case kNo:
      PlaySoundEffect(kDecideSound);
      c.phase = kGivingUp;
      break;
    case kRetry:
      PlaySoundEffect(kDecideSound);
      c.phase = kRetrying;
      break;
    default:
      break;
  }
}

void Draw(const ContinueScreenState& c) {
  DarkenPlayField(c.darkness_alpha);
  if (c.phase != kMenu) return;
  DrawMenuHighlight(&g_menu_highlight_pulse, 180, 188 + 40 * c.cursor);
  DrawText("CONTINUE?", 126, 120, 255, 1, 0);
  DrawText("YES", 156, 180, 255, 1, 0);
  DrawText("NO", 156, 220, 255, 1, 0);
  if (RetryOffered()) DrawText("RETRY", 156, 260, 255, 1, 0);
  if (g_flags.sel_flag == 0) {
    DrawText("CREDIT", 144, 464, 255, 1, 0);
    char credits[16];
    std::snprintf(credits, sizeof credits, "%d", GetPlayerCredits());
    DrawText(credits, 260, 464, 255, 0, 0);
  }
}

}  // namespace

int RunContinueScreen() {
  ContinueScreenState& c = g_continue_screen;
  if (c.active != 1) return 0;
  switch (c.phase) {
    case kWaiting:
      if (++c.frame_counter >= kWaitFrames) {
        c.frame_counter = 0;
        g_flags.GamePaused = 1;
        const bool no_menu =
            g_flags.ReplayPlayback == 1 || (GetPlayerCredits() < 1 && g_flags.sel_flag == 0);
        c.phase = no_menu ? kGivingUp : kMenu;
      }
      break;
    case kMenu:
      UpdateMenu(c);
      break;
    case kContinuing:
      ContinueWithNewPlayer();
      break;
    case kRetrying:
      Retry();
      break;
    case kGivingUp:
      HaltMusic();
      c.darkness_alpha += 2;
      if (c.darkness_alpha >= 255) {
        c.darkness_alpha = 255;
        c.phase = kGameOver;
      }
      break;
    case kGameOver:
    default:
      c.active = 0;
      g_flags.GamePaused = 0;
      g_flags.CurrentScene = kSceneGameOver;
      if (g_flags.ReplayPlayback == 1) HaltMusic();
      break;
  }
  if (c.active == 1) Draw(c);
  return 0;
}
