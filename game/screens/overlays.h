// Fade, banners, pause menu and continue screen drawn over the play field.
#pragma once

#include <cstdint>

// mode 0 or 2: fade the field to white; 1: fade back in from white.
int StartFade(int mode);
int UpdateFade();
int DrawFade();
int ResetFade();

int StartStageTitle();
int UpdateStageTitle();
int DrawStageTitle();
int ResetStageTitle();

int StartBossWarning();
int UpdateBossWarning();
int DrawBossWarning();
int ResetBossWarning();

int UpdatePauseMenu();
int DrawPauseMenu();
int ResetPauseMenu();

// The continue screen's state; game play sets `active` when the last life is
// lost. Reset by value (ResetContinueScreen).
struct ContinueScreenState {
  int32_t frame_counter;
  int32_t darkness_alpha;
  int32_t cursor;
  int32_t phase;
  int32_t active;
};
extern ContinueScreenState g_continue_screen;

// Per game-play frame after the draw pass: the continue overlay.
int RunContinueScreen();
