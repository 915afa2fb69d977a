// Button counters for menus, pause, continue, system keys and fast-forward:
// 0 released, 1 on the first call that finds the button down, 2 while held.
// Each call reads the input word afresh and advances its counter once.
#pragma once

#include <cstdint>

inline constexpr int kPadSelector = 0x1001;  // joypad 1 merged with the keyboard

// One global record for the whole run, never reset.
struct InputState {
  int32_t up, down, right, left, shot, bomb, full_auto, pause;
};
extern InputState g_input;

int UpButtonState();
int DownButtonState();
int RightButtonState();
int LeftButtonState();
int ShotButtonState();       // the shot mask of GameConfig
int BombButtonState();
int FullAutoButtonState();
int PauseButtonState();
