// Focus, movement inside the field, core and boxes, and the options.
#pragma once

int MovePlayer();
int UpdatePlayerPosition();
void GetOptionPositions(double* x0, double* y0, double* x1, double* y1);
// One step of (x, y) toward the target; 1 on arrival (the point is then on
// the target), 0 otherwise with the velocity for the caller to add.
int MoveTowardPoint(double* x, double* y, double* vx, double* vy, double tx, double ty,
                    double speed);
int ResetPlayerOptions();
int LayoutOptionsFighter0();
int LayoutOptionsFighter1();
int LayoutOptionsFighter2();
int LayoutOptionsFighter34();
int LayoutOptionsForFighter();  // the layout of the current fighter

struct FighterMotion {
  double normal_speed, focused_speed, x_margin, y_margin, core_dy;
};
// Fighters 0-4; anything else gets fighter 1's values.
const FighterMotion& MotionOfFighter(int fighter);
