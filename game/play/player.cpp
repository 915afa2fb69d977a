#include "play/player.h"

#include <algorithm>

#include "kesto/kesto.h"
#include "play/bombs.h"
#include "play/bullet_cancel.h"
#include "play/input_record.h"
#include "play/play_links.h"
#include "play/player_collisions.h"
#include "play/player_firing.h"
#include "play/player_movement.h"
#include "play/stage_clear.h"
#include "screens/config.h"
#include "screens/overlays.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"
#include "shell/sound_bank.h"

PlayerObject g_player{};
int32_t InvincibleMode = 0;
int32_t InfiniteBombMode = 0;
int32_t FreePowerMode = 0;

namespace {

PlayerObject& P() { return g_player; }

void CentreFromTopLeft() {
  P().centre_x = P().x + P().width / 2.0;
  P().centre_y = P().y + P().height / 2.0;
}

int StageScoreSlot() { return std::clamp(g_flags.StageNumber, 0, 9); }

void AddCapped(int32_t& value, int n) {
  if (value >= kScoreCap) value = kScoreCap;
  // One addition may pass the cap; the next call sets it back. Kept in
  // 64 bits so that a huge n cannot overflow.
  if (value < kScoreCap) {
    int64_t sum = static_cast<int64_t>(value) + n;
    value = static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
  }
}

void RunDebugKeys() {
  for (int32_t& c : P().debug_repeat)
    if (c > 0) --c;
  if (P().debug_repeat[0] == 0 && IsKeyHeld(2)) {
    if (P().power == 5) P().power = 1;
    else TakePowerItem();
    P().debug_repeat[0] = 20;
  }
  if (P().debug_repeat[1] == 0 && IsKeyHeld(3)) {
    if (P().bombs < 9) TakeBombItem();
    P().debug_repeat[1] = 20;
  }
  if (P().debug_repeat[2] == 0 && IsKeyHeld(4)) {
    TakeLifeItem();
    P().debug_repeat[2] = 20;
  }
  if (IsKeyHeld(5)) RaiseGuardTo(20000);
}

}  // namespace

int ClearPlayerEffects() {
  P().appear_state = 0;
  P().bank_counter = P().bank_frame = P().anim_counter = P().reappear_counter = 0;
  P().form_counter = P().form_frame = P().form_step = 0;
  P().aura_counter = 0;
  P().reappear_scale = P().form_scale = P().form_scale2 = P().aura_scale = 0.0;
  P().score_item_count = 0;
  P().firing = 0;
  P().flash_counter = 0;
  return 0;
}

int InitPlayerForGame() {
  PlayerObject& p = P();
  p.in_up = p.in_down = p.in_left = p.in_right = p.in_shot = p.in_bomb = p.in_full_auto = 0;
  p.active = 1;
  p.control = 0;
  p.width = p.height = 56.0;
  p.x = 92.0;
  p.y = 240.0;
  CentreFromTopLeft();
  p.vx = p.vy = 0.0;
  p.core_x = p.core_y = 0.0;
  p.moving = 0;
  p.lives = 2;
  p.bombs = 3;
  p.power = 1;
  p.guard = 240;
  p.respawn_countdown = 0;
  p.item_gauge = 0;
  p.shot_volley_counter = p.full_auto_volley_counter = p.shot_hold_over = 0;
  p.score = 0;
  p.shown_hi_score = 0;
  std::fill(std::begin(p.stage_scores), std::end(p.stage_scores), 0);
  p.focused_bomb = p.bomb_active = 0;
  p.bomb_frame = p.bomb_wobble = 0;
  p.drain_delay = p.drain_step = 0;
  p.fighter = p.variant = 0;
  p.focus_hold = 0;
  // A focus left by the last game would steer the options of the next
  // game's fly-in.
  p.focus = 0;
  p.extends_given = 0;
  p.stage_misses = p.total_misses = 0;
  p.continues = 0;
  p.life_bonus_counter = 0;
  p.no_extend = 0;
  std::fill(std::begin(p.input_record), std::end(p.input_record), 0u);
  p.frame_index = 0;
  p.pb_shot_mask = p.pb_bomb_mask = p.pb_full_auto_mask = 0;
  p.pb_auto_guard = 0;
  p.demo_timer = 0;
  p.credits = 0;
  // A cooldown left by the last game would block bombs early in the next
  // one, which its replay would not repeat.
  p.bomb_cooldown = 0;
  p.score_item_count = 0;
  ClearPlayerEffects();
  ResetPlayerOptions();
  return 0;
}

int ResetPlayerForStage() {
  PlayerObject& p = P();
  p.vx = 0.0;
  p.vy = -6.0;
  p.x = 180.0 - p.width / 2.0 + 140.0;
  p.y = 560.0;
  CentreFromTopLeft();
  p.core_x = p.centre_x;
  p.core_y = p.centre_y;
  p.control = 0;
  p.bomb_active = 0;
  p.shot_volley_counter = p.full_auto_volley_counter = p.shot_hold_over = 0;
  p.guard = 180;
  p.stage_misses = 0;
  p.moving = 0;
  p.drain_delay = p.drain_step = 0;
  ClearPlayerEffects();
  p.reappear_scale = 1.0;
  ResetPlayerOptions();
  if (p.fighter == 0) LayoutOptionsFighter0();
  else if (p.fighter == 1) LayoutOptionsFighter1();
  else if (p.fighter == 2) LayoutOptionsFighter2();
  return 0;
}

int RespawnPlayer() {
  PlayerObject& p = P();
  p.active = 1;
  p.bombs = 3;
  p.bomb_active = 0;
  p.shot_volley_counter = p.full_auto_volley_counter = p.shot_hold_over = 0;
  p.firing = 0;
  p.flash_counter = 0;
  p.guard = 180;
  p.appear_state = 0;
  p.focus_hold = 0;
  p.focus = 0;
  p.moving = 0;
  p.drain_delay = p.drain_step = 0;
  ResetPlayerOptions();
  LayoutOptionsForFighter();
  return 0;
}

int UpdatePlayer() {
  CheckExtends();
  if (IsStageClearSequenceActive() && GetStageClearStep() >= 1) return 0;
  UpdatePlayerEntry();
  if (P().control == 0) return 0;
  ReadPlayerInput();
  MovePlayer();
  FirePlayerShots();
  UpdatePlayerBomb();
  PickUpItems();
  CollidePlayerWithBullets();
  CollidePlayerWithEnemies();
  if (P().guard >= 1) --P().guard;
  UpdateRespawnCountdown();
  DrainItemGauge();
  UpdateDemoTimer();
  if (FreePowerMode == 1) RunDebugKeys();
  return 0;
}

int UpdatePlayerEntry() {
  PlayerObject& p = P();
  if (p.control != 0) return 0;
  UpdatePlayerPosition();
  if (p.vy < 0.0) {
    p.vy += 0.1;
  } else {
    p.vy = 0.0;
    p.control = 1;
    ResetPlayerOptions();
    LayoutOptionsForFighter();
  }
  return 0;
}

int UpdateRespawnCountdown() {
  PlayerObject& p = P();
  if (p.respawn_countdown == 0 || g_continue_screen.active == 1) return 0;
  if (p.respawn_countdown == 25) {
    p.active = 1;
    p.appear_state = 2;
  }
  --p.respawn_countdown;
  if (p.respawn_countdown == 0) RespawnPlayer();
  return 0;
}

int CheckExtends() {
  PlayerObject& p = P();
  if (p.no_extend == 1) return 0;
  if (p.score >= 4000000 && p.extends_given == 0) {
    PlaySoundEffect(58);
    ++p.lives;
    p.extends_given = 1;
  } else if (p.score >= 10000000 && p.extends_given == 1) {
    PlaySoundEffect(58);
    ++p.lives;
    p.extends_given = 2;
  }
  return 0;
}

int DrainItemGauge() {
  PlayerObject& p = P();
  if (BossFightFlag(-1) == 0) {
    p.drain_delay = p.drain_step = 0;
    return 0;
  }
  if (p.drain_delay < 60) {
    ++p.drain_delay;
    p.drain_step = 0;
    return 0;
  }
  if (p.drain_step == 5) {
    if (p.item_gauge > 0) --p.item_gauge;
    p.drain_step = 0;
  }
  ++p.drain_step;
  return 0;
}

int UpdateDemoTimer() {
  if (g_flags.DemoMode != 1) return 0;
  PlayerObject& p = P();
  ++p.demo_timer;
  if (p.demo_timer == 2400) StartFade(2);
  if (p.demo_timer == 2500) {
    p.demo_timer = 0;
    g_flags.CurrentScene = kSceneRanking;
    g_flags.RankingModeShown = g_flags.DifficultyMode;
  }
  return 0;
}

int IsPlayerActive() { return P().active == 1 ? 1 : 0; }
int GetPlayerGuardTimer() { return P().guard; }
int GetPlayerTotalMisses() { return P().total_misses; }
int GetPlayerStageMisses() { return P().stage_misses; }
int GetPlayerFighter() { return P().fighter; }
int GetPlayerVariant() { return P().variant; }
int GetPlayerBombs() { return P().bombs; }
int GetPlayerItemGauge() { return P().item_gauge; }
int GetAutoBombOption() {
  if (g_flags.ReplayPlayback == 1) return P().pb_auto_guard;
  if (g_flags.ReplayPlayback == 0) return g_config.auto_guard;
  return 0;
}
int GetPlayerScore() { return P().score; }
int GetPlayerFocus() { return P().focus; }
int GetPlayerHiScore() { return P().shown_hi_score; }
int GetPlayerContinues() { return P().continues; }
int GetPlayerCredits() { return P().credits; }
int GetPlayerStageScore(int i) { return (i < 0 || i > 9) ? 0 : P().stage_scores[i]; }
void GetPlayerCore(double* x, double* y) {
  *x = P().core_x;
  *y = P().core_y;
}
void GetPlayerCentre(double* x, double* y) {
  *x = P().centre_x;
  *y = P().centre_y;
}

int AddScore(int n) {
  AddCapped(P().score, n);
  if (g_flags.sel_flag != 1) AddCapped(P().stage_scores[StageScoreSlot()], n);
  return 0;
}
int SetPlayerCredits(int credits) {
  P().credits = credits;
  return 0;
}
int AddPlayerCredits(int n) {
  int64_t c = static_cast<int64_t>(P().credits) + n;
  P().credits = static_cast<int32_t>(std::clamp<int64_t>(c, 0, 9999));
  return 0;
}
int SetPlayerHiScore(int score) {
  P().shown_hi_score = (score >= 0 && score <= kScoreCap) ? score : 0;
  return 0;
}
int SetPlayerPower(int power) {
  P().power = std::clamp(power, 1, 5);
  return 0;
}
int SetPlayerFighter(int fighter, int variant) {
  P().fighter = fighter;
  P().variant = variant;
  LoadCharacterImages(variant);
  return 0;
}
int AddPlayerContinues(int n) {
  P().continues = std::max(P().continues + n, 0);
  return 0;
}
int SetPlayerTotalMisses(int n) {
  P().total_misses = std::max(n, 0);
  return 0;
}
int SetPlayerStageMisses(int n) {
  P().stage_misses = n;
  return 0;
}
int RaiseGuardTo(int n) {
  if (P().guard < n) P().guard = n;
  return 0;
}

int TryAutoGuard() {
  PlayerObject& p = P();
  if (p.bombs == 0 || p.guard >= 1 || GetAutoBombOption() == 0) return -1;
  PlaySoundEffect(80);
  --p.bombs;
  p.bomb_cooldown = 30;
  StartBulletCancel(1, 120);
  SpawnScorePopup(p.centre_x, p.centre_y - 48.0, 6, 0, -90.0, 0.5);
  RaiseGuardTo(180);
  return 0;
}

int AwardLifeBonus() {
  PlayerObject& p = P();
  if (p.lives <= 0) {
    p.life_bonus_counter = 0;
    return 1;
  }
  if (p.life_bonus_counter % 50 == 0 && p.life_bonus_counter >= 61) {
    int option = GetAutoBombOption();
    AddScore(option == 1 ? 2000000 : option == 0 ? 2500000 : 0);
    PlaySoundEffect(85);
    --p.lives;
  }
  ++p.life_bonus_counter;
  return 0;
}

int TallyItemGauge(int* out) {
  PlayerObject& p = P();
  if (p.item_gauge > 0) {
    --p.item_gauge;
    *out += 1;
  }
  if (p.item_gauge > 10) {
    p.item_gauge -= 10;
    *out += 10;
  }
  if (p.item_gauge > 100) {
    p.item_gauge -= 100;
    *out += 100;
  }
  if (p.item_gauge < 1) p.item_gauge = 0;
  return p.item_gauge == 0 ? 1 : 0;
}
