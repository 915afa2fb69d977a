// Fade, banners, pause menu and continue screen drawn over the play field.
// Game play updates them once a frame after the play objects and draws them
// in its draw pass; every record is global and reset by its Reset call.
#pragma once

#include <cstdint>

// ---- White fade ----
struct FadeState {
  int32_t fade_out;         // 1 while fading to white
  int32_t fade_in;          // 1 while fading back from white
  int32_t fade_in_counter;  // frames of the fade-in so far
  int32_t alpha;            // 0..255
};
extern FadeState g_fade;

// mode 0 or 2: fade the field to white; 1: fade back in from white.
int StartFade(int mode);
int UpdateFade();
int DrawFade();
int ResetFade();

// ---- Stage-title and WARNING banners (one layout for both records) ----
inline constexpr int kBannerRows = 64;
inline constexpr int kBannerAlphaSlots = 256;
inline constexpr int kTitleColumns = 144;
inline constexpr int kTitlePlateAlphaSlot = 150;
inline constexpr int kTitleDigitAlphaSlot = 200;

struct BannerRecord {
  int32_t active;
  int32_t hold_counter;
  int32_t anim_counter;              // WARNING: +1 per draw
  int32_t bar_offset[2];             // WARNING: 0..180
  int32_t row_offset[kBannerRows];   // WARNING: from -2 x row up to 360
  int32_t row_alpha[kBannerRows];    // WARNING
  int32_t alpha[kBannerAlphaSlots];  // stage title: columns, plate, digit
  int32_t phase;
  // Stage title: plate vertical, digit horizontal, digit vertical.
  // WARNING: [0] is the stripe scale.
  double factor[3];
  int32_t sound_counter;             // WARNING: frames since it started
};
using StageTitleBanner = BannerRecord;
using BossWarningBanner = BannerRecord;
extern StageTitleBanner g_stage_title;
extern BossWarningBanner g_boss_warning;

// Start calls do nothing while the banner is already showing.
int StartStageTitle();
int UpdateStageTitle();
int DrawStageTitle();
int ResetStageTitle();

// The WARNING keeps the music stopped while it shows and starts the boss
// music when it ends (not on stage 5 or its boss practice).
int StartBossWarning();
int UpdateBossWarning();
int DrawBossWarning();
int ResetBossWarning();

// ---- Pause menu ----
struct PauseMenuState {
  int32_t open;
  int32_t frame_counter;
  int32_t phase;  // 0 choosing, 1 resuming
  int32_t cursor;
  int32_t darkness_alpha;  // 0..120
};
extern PauseMenuState g_pause_menu;

// -1 in the attract demo (nothing happens), else 0.
int UpdatePauseMenu();
// -1 while the menu is closed.
int DrawPauseMenu();
int ResetPauseMenu();

// ---- Continue screen ----
// Game play sets `active` when the last life is lost. Reset by value
// (ResetContinueScreen).
struct ContinueScreenState {
  int32_t frame_counter;
  int32_t darkness_alpha;
  int32_t cursor;
  int32_t phase;
  int32_t active;
};
extern ContinueScreenState g_continue_screen;

// Per game-play frame after the draw pass: update and drawing of the
// continue overlay; nothing while it is not active.
int RunContinueScreen();
