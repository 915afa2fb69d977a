// The ranking screen (scene 12): the five best results of one mode.
#pragma once

#include <cstdint>

// Cells of the pictures the screen draws, counted over each sheet's runs.
inline constexpr int kRankingRowPlateCell = 40;    // bmp/etc1.dat 336x72 at (0, 172)
inline constexpr int kAutoGuardMarkCell = 0;       // bmp/start.dat 64x16 at (160, 160)
inline constexpr int kRankingTitlePlateCell = 287; // bmp/start.dat 256x32 at (0, 256)

// The state of the screen, one frame at a time (kept apart from the scene
// loop so that its steps can be checked frame by frame).
struct RankingScreen {
  int32_t mode;            // 0..3
  int32_t frames;          // since entry or the last mode change
  int32_t offset[5];       // slide of each row's plate, up to 360
  int32_t alpha[5];        // up to 255; negative while waiting its turn
  int32_t skipped_fade;    // 1 once a shot press completed the fade-in
  double plate_x_scale;    // title plate: 0.0 rising to 1.0
  double plate_y_scale;    // 9.0 falling to 1.0
};

// Mode shown: the mode just played after a game (or in the attract demo),
// else ORIGINAL.
RankingScreen EnterRankingScreen();
// One frame: input, then drawing.
void StepRankingScreen(RankingScreen& screen);
