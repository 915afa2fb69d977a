// The player: the one global player record and its services.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kInputRecordWords = 200000;
inline constexpr int kOptionSlots = 16;
inline constexpr int kPositionHistory = 100;
inline constexpr int32_t kScoreCap = 999999990;

struct PlayerObject {
  int32_t active;
  int32_t fighter;
  int32_t variant;
  double width, height;
  double core_x, core_y;
  double hit_left, hit_top, hit_right, hit_bottom;
  double body_left, body_top, body_right, body_bottom;
  int32_t power;
  int32_t focus;
  int32_t moving;
  int32_t lives;
  int32_t in_up, in_down, in_left, in_right, in_shot, in_bomb, in_full_auto;
  int32_t total_misses;
  int32_t stage_misses;
  int32_t shot_volley_counter, full_auto_volley_counter, shot_hold_over;
  int32_t appear_state;
  // Drawing counters and scales.
  int32_t bank_counter, bank_frame, anim_counter, reappear_counter;
  int32_t form_counter, form_frame, form_step;
  int32_t aura_counter;
  double reappear_scale, form_scale, form_scale2, aura_scale;
  int32_t score_item_count;
  int32_t firing, flash_counter;
  int32_t focus_hold;
  // Option block.
  double opt_x[kOptionSlots], opt_y[kOptionSlots];
  double opt_vx[kOptionSlots], opt_vy[kOptionSlots];
  double muzzle_x[kOptionSlots], muzzle_y[kOptionSlots];
  double opt_angle[kOptionSlots];
  double opt_arrived[kOptionSlots];
  double opt_distance[kOptionSlots];
  int32_t history_index;
  double history_x[kPositionHistory], history_y[kPositionHistory];
  int32_t focused_bomb;
  int32_t bombs;
  int32_t bomb_active;
  int32_t bomb_frame;
  int32_t bomb_wobble;
  int32_t guard;
  int32_t hud_frames;
  int32_t score;
  int32_t shown_hi_score;
  int32_t stage_scores[10];
  int32_t drain_delay, drain_step;
  int32_t life_bonus_counter;
  int32_t extends_given;
  uint32_t input_record[kInputRecordWords];
  int32_t frame_index;
  uint32_t pb_shot_mask, pb_bomb_mask, pb_full_auto_mask;
  int32_t pb_auto_guard;
  std::array<char, 4> replay_name;  // not terminated
  int32_t replay_score;
  int32_t demo_timer;
  int32_t credits;
  double x, y;    // sprite top-left
  double vx, vy;  // this frame's movement
  double centre_x, centre_y;
  int32_t respawn_countdown;
  int32_t control;
  int32_t item_gauge;
  int32_t continues;
  int32_t bomb_cooldown;
  int32_t no_extend;
  // Repeat counters of the debug keys.
  int32_t debug_repeat[3];
};

extern PlayerObject g_player;

// Debug switches; nothing in the game sets them, so they stay 0 in play.
extern int32_t InvincibleMode;
extern int32_t InfiniteBombMode;
extern int32_t FreePowerMode;

int InitPlayerForGame();
int ResetPlayerForStage();
int RespawnPlayer();
int ClearPlayerEffects();
int UpdatePlayer();  // once per unpaused game-play frame
int UpdatePlayerEntry();
int UpdateRespawnCountdown();
int CheckExtends();
int DrainItemGauge();
int UpdateDemoTimer();
int DrawPlayer();
int DrawPlayerHud();

int IsPlayerActive();
int GetPlayerGuardTimer();
int GetPlayerTotalMisses();
int GetPlayerStageMisses();
int GetPlayerFighter();
int GetPlayerVariant();
int GetPlayerBombs();
int GetPlayerItemGauge();
int GetAutoBombOption();
int GetPlayerScore();
int GetPlayerFocus();
int GetPlayerHiScore();
int GetPlayerContinues();
int GetPlayerCredits();
int GetPlayerStageScore(int i);  // 0 outside 0..9
// The hit point enemies aim at, and the fighter's centre.
void GetPlayerCore(double* x, double* y);
void GetPlayerCentre(double* x, double* y);

int AddScore(int n);
int SetPlayerCredits(int credits);
int AddPlayerCredits(int n);  // clamped to 0..9999
int SetPlayerHiScore(int score);
int SetPlayerPower(int power);  // clamped to 1..5
// Stores both, then points the fighter image tables at the variant.
int SetPlayerFighter(int fighter, int variant);
int AddPlayerContinues(int n);
int SetPlayerTotalMisses(int n);
int SetPlayerStageMisses(int n);
int RaiseGuardTo(int n);
int TryAutoGuard();          // 0 when a bomb was spent instead of a life
int AwardLifeBonus();        // one step; 1 when done
int TallyItemGauge(int* out);  // one step; 1 when the gauge is empty
