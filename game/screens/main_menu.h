// The main menu (scene 2): ARCADE, STAGE SELECT, RANKING, REPLAY, CONFIG, EXIT.
#pragma once

#include <cstdint>

inline constexpr int kMainMenuExit = 5;

struct MainMenuState {
  int32_t cursor;       // 0..5
  int32_t menu_frames;  // frames since the scene began or the last choice
  int32_t chosen;       // 1 on the frame after the accepted press
};

// Stops the music and leaves stage-select play.
void EnterMainMenu(MainMenuState& menu);
// One frame between the pump and the frame end. EXIT ends the process.
void StepMainMenu(MainMenuState& menu);
// What every way out of the menu leaves behind for the next screens.
void LeaveMainMenu(const MainMenuState& menu);
