// Stand-ins for the play-field objects until they are built: empty pools, a
// player that holds its settings and stays active, and a stage that counts
// its frames and starts its music.
#include "play/bullet_cancel.h"
#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/explosions.h"
#include "play/items.h"
#include "play/player.h"
#include "play/player_shots.h"
#include "play/score_popups.h"
#include "play/stage.h"
#include "play/stage_clear.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"
#include "shell/sound_bank.h"

namespace {
struct PendingPlayer {
  int active, fighter, variant, credits, hi_score, power, score;
  double core_x, core_y;
};
PendingPlayer g_player{};
int g_stage_frame = 0;
}  // namespace

int InitPlayerForGame() {
  int fighter = g_player.fighter, variant = g_player.variant;
  g_player = PendingPlayer{};
  g_player.fighter = fighter;
  g_player.variant = variant;
  g_player.active = 1;
  g_player.power = 1;
  g_player.core_x = 320.0;
  g_player.core_y = 400.0;
  return 0;
}
int ResetPlayerForStage() { return 0; }
int UpdatePlayer() { return 0; }
int DrawPlayer() { return 0; }
int DrawPlayerHud() { return 0; }
int IsPlayerActive() { return g_player.active == 1 ? 1 : 0; }
int GetPlayerFighter() { return g_player.fighter; }
int GetPlayerVariant() { return g_player.variant; }
int GetPlayerScore() { return g_player.score; }
int GetPlayerCredits() { return g_player.credits; }
void GetPlayerCore(double* x, double* y) {
  *x = g_player.core_x;
  *y = g_player.core_y;
}
void GetPlayerCentre(double* x, double* y) { GetPlayerCore(x, y); }
int SetPlayerCredits(int credits) {
  g_player.credits = credits;
  return 0;
}
int SetPlayerHiScore(int score) {
  g_player.hi_score = (score >= 0 && score <= 999999990) ? score : 0;
  return 0;
}
int SetPlayerPower(int power) {
  g_player.power = power < 1 ? 1 : power > 5 ? 5 : power;
  return 0;
}
int SetPlayerFighter(int fighter, int variant) {
  g_player.fighter = fighter;
  g_player.variant = variant;
  LoadCharacterImages(variant);
  return 0;
}

int UpdateEnemies() { return 0; }
int DrawAllEnemies() { return 0; }
int DrawAllEnemyGauges() { return 0; }
int ResetAllEnemies() { return 0; }
int UpdatePlayerShots() { return 0; }
int DrawAllPlayerShots() { return 0; }
int ResetAllPlayerShots() { return 0; }
int UpdateExplosions() { return 0; }
int DrawAllExplosions() { return 0; }
int ResetAllExplosions() { return 0; }
int UpdateScorePopups() { return 0; }
int DrawAllScorePopups() { return 0; }
int ResetAllScorePopups() { return 0; }
int UpdateItems() { return 0; }
int DrawAllItems() { return 0; }
int ResetAllItems() { return 0; }
int UpdateEnemyBullets() { return 0; }
int DrawAllEnemyBullets() { return 0; }
int ResetAllEnemyBullets() { return 0; }
int StartBulletCancel(int, int) { return 0; }
int UpdateBulletCancel() { return 0; }
int ResetAllBulletCancelSlots() { return 0; }

int RunStageScript() {
  if (g_stage_frame == 0 && g_flags.StageNumber >= 1 && g_flags.StageNumber <= 5)
    PlayBgm(g_flags.StageNumber + 1);
  if (g_flags.GamePaused == 0) ++g_stage_frame;
  return 0;
}
int StartStage() {
  g_stage_frame = 0;
  ResetPlayerForStage();
  return 0;
}
int ResetStageObject() {
  g_stage_frame = 0;
  return 0;
}
int GetStageFrame() { return g_stage_frame; }
int SetStageFrame(int frame) {
  g_stage_frame = frame;
  return 0;
}
int GetStageNumber() { return g_flags.StageNumber; }

int StartStageClear() { return 0; }
int IsStageClearSequenceActive() { return 0; }
int UpdateStageClear() { return 0; }
int DrawStageClearPanel() { return 0; }
int ResetStageClearSequence() { return 0; }
