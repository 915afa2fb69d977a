#include "play/player_movement.h"

#include "play/player.h"
#include "shell/game_math.h"

namespace {

constexpr FighterMotion kMotion[5] = {
    {3.4, 2.0, 12.0, 4.0, 2.0},  {3.8, 2.2, 12.0, 6.0, 4.0}, {3.8, 2.2, 12.0, 6.0, 0.0},
    {3.8, 2.2, 12.0, 6.0, -6.0}, {3.8, 2.2, 12.0, 6.0, -6.0},
};

PlayerObject& P() { return g_player; }

// Turned toward the target by 10 and truncated to a whole degree.
double TurnTrunc(double angle, double target) {
  return static_cast<double>(TruncToInt(TurnAngleToward(angle, target, 10.0)));
}

void Along(int from, int to, double r) {
  PlayerObject& p = P();
  double a = p.opt_angle[from];
  p.muzzle_x[to] = p.opt_x[from] + CosDeg(a) * r;
  p.muzzle_y[to] = p.opt_y[from] + SinDeg(a) * r;
}

void SetMuzzles(int count, double muzzle_r) {
  for (int i = 0; i < count; ++i) {
    Along(i, i, muzzle_r);
    Along(i, 8 + i, 16.0);
  }
}

void GrowDistance() {
  double& d = P().opt_distance[0];
  if (d < 40.0) d += 2.0;
  if (d >= 40.0) d = 40.0;
}

void UpdateOptionsFighter0() {
  PlayerObject& p = P();
  double* a = p.opt_angle;
  if (p.focus == 0 || (p.bomb_active == 1 && p.focused_bomb == 1)) {
    a[0] = TurnTrunc(a[0], a[4]);
    a[1] = TurnTrunc(a[1], a[5]);
    GrowDistance();
    a[12] = TurnAngleToward(a[12], 0.0, 10.0);
    if (p.opt_y[10] < 0.0) p.opt_y[10] += 2.0;
  } else {
    a[0] = TurnTrunc(a[0], a[6]);
    a[1] = TurnTrunc(a[1], a[7]);
    a[12] = WrapAngleInt(a[12] + 5.0);
    if (p.opt_y[10] > -40.0) p.opt_y[10] -= 2.0;
  }
  double d = p.opt_distance[0];
  double y = p.centre_y + p.opt_y[10] + 16.0;
  p.opt_x[0] = p.centre_x + CosDeg(180.0 - a[12]) * d;
  p.opt_y[0] = y;
  p.opt_x[1] = p.centre_x + CosDeg(a[12]) * d;
  p.opt_y[1] = y;
  SetMuzzles(2, 24.0);
}

void UpdateOptionsFighter1() {
  PlayerObject& p = P();
  double* a = p.opt_angle;
  if (p.focus != 0) {
    a[0] = a[1] = 270.0;
  } else {
    a[0] = CosDeg(a[13]) * 15.0 + a[4];
    a[1] = CosDeg(180.0 - a[13]) * 15.0 + a[5];
    GrowDistance();
  }
  double d = p.opt_distance[0];
  p.opt_x[0] = p.centre_x - d;
  p.opt_y[0] = p.centre_y - 16.0;
  p.opt_x[1] = p.centre_x + d;
  p.opt_y[1] = p.centre_y - 16.0;
  SetMuzzles(2, 32.0);
}

void UpdateOptionsFighter2() {
  PlayerObject& p = P();
  double* a = p.opt_angle;
  if (p.focus != 0) {
    a[0] = TurnTrunc(a[0], a[6]);
    a[1] = TurnTrunc(a[1], a[7]);
  } else {
    a[0] = TurnTrunc(a[0], a[4]);
    a[1] = TurnTrunc(a[1], a[5]);
    GrowDistance();
  }
  double d = p.opt_distance[0];
  p.opt_x[0] = p.centre_x - d;
  p.opt_y[0] = p.centre_y + 16.0;
  p.opt_x[1] = p.centre_x + d;
  p.opt_y[1] = p.centre_y + 16.0;
  SetMuzzles(2, 24.0);
}

void HistoryToCentre() {
  for (int i = 0; i < kPositionHistory; ++i) {
    P().history_x[i] = P().centre_x;
    P().history_y[i] = P().centre_y;
  }
}

// Moves the four options toward their targets; true once all have arrived.
bool FlyOptions(const double* tx, const double* ty, double speed) {
  PlayerObject& p = P();
  for (int i = 0; i < 4; ++i) {
    if (MoveTowardPoint(&p.opt_x[i], &p.opt_y[i], &p.opt_vx[i], &p.opt_vy[i], tx[i], ty[i], speed) ==
        1)
      p.opt_arrived[i] = 1.0;
    p.opt_x[i] += p.opt_vx[i];
    p.opt_y[i] += p.opt_vy[i];
  }
  return p.opt_arrived[0] == 1.0 && p.opt_arrived[1] == 1.0 && p.opt_arrived[2] == 1.0 &&
         p.opt_arrived[3] == 1.0;
}

void UpdateOptionsFighter34() {
  PlayerObject& p = P();
  double& s = p.opt_x[8];
  double cx = p.centre_x, cy = p.centre_y;
  // Wing points in slots 4-7.
  p.opt_x[4] = cx - 24.0 - s;
  p.opt_y[4] = cy - 32.0;
  p.opt_x[5] = cx + 24.0 + s;
  p.opt_y[5] = cy - 32.0;
  p.opt_x[6] = cx - 48.0 - 2.0 * s;
  p.opt_y[6] = cy;
  p.opt_x[7] = cx + 48.0 + 2.0 * s;
  p.opt_y[7] = cy;
  // The spread grows while the fighter presses against the bottom edge.
  if (p.in_down == 1 && p.y + p.height >= 480.0) {
    if (s < 40.0) s += 3.0;
  } else if (s <= 0.0) {
    s = 0.0;
  } else {
    s -= 3.0;
  }

  double& mode = p.opt_arrived[10];
  double& req_a = p.opt_arrived[11];
  double& req_b = p.opt_arrived[12];
  if (p.focus == 0) {
    if (req_a == 0.0) {
      mode = 3.0;
      req_a = 1.0;
    } else if (req_a == 1.0 && mode == -3.0) {
      mode = 0.0;
      req_a = 2.0;
    }
    req_b = 0.0;
  } else {
    if (p.bomb_active != 1) {
      if (req_b == 0.0) {
        mode = 1.0;
        req_b = 1.0;
      } else if (req_b == 1.0 && mode == -1.0) {
        mode = 2.0;
      }
    } else {
      mode = 4.0;
      req_b = 0.0;
    }
    req_a = 0.0;
  }

  if (mode == 1.0) {
    if (FlyOptions(&p.opt_x[4], &p.opt_y[4], 8.0)) {
      for (int i = 0; i < 4; ++i) p.opt_arrived[i] = 0.0;
      mode = -1.0;
    }
  } else if (mode == 2.0) {
    for (int i = 0; i < 4; ++i) {
      p.opt_x[i] = p.opt_x[4 + i];
      p.opt_y[i] = p.opt_y[4 + i];
    }
  } else if (mode == 3.0) {
    const double tx[4] = {cx, cx, cx, cx}, ty[4] = {cy, cy, cy, cy};
    if (FlyOptions(tx, ty, 7.0)) {
      mode = -3.0;
      for (int i = 0; i < 4; ++i) p.opt_arrived[i] = 0.0;
      HistoryToCentre();
    }
  } else if (mode == 4.0) {
    for (int i = 0; i < 4; ++i) {
      p.opt_x[i] = cx;
      p.opt_y[i] = cy;
    }
  } else if (mode == 0.0) {
    if (p.moving == 1) {
      int& k = p.history_index;
      if (k < 0 || k >= kPositionHistory) k = 0;
      p.history_x[k] = cx;
      p.history_y[k] = cy;
      k = (k + 1) % kPositionHistory;
      static constexpr int kLag[4] = {76, 52, 28, 4};
      for (int i = 0; i < 4; ++i) {
        int h = (k + kLag[i]) % kPositionHistory;
        p.opt_x[i] = p.history_x[h];
        p.opt_y[i] = p.history_y[h];
      }
    }
  }
  for (int i = 0; i < 4; ++i) p.opt_angle[i] = 270.0;
  SetMuzzles(4, 24.0);
}

}  // namespace

const FighterMotion& MotionOfFighter(int fighter) {
  return (fighter >= 0 && fighter <= 4) ? kMotion[fighter] : kMotion[1];
}

int MovePlayer() {
  PlayerObject& p = P();
  if (p.respawn_countdown != 0 || p.active == 0) return 0;
  if (p.in_shot == 0) p.focus_hold = 0;
  else if (p.focus_hold < 20) ++p.focus_hold;
  if (p.focus_hold == 20) p.focus = 1;
  else if (p.fighter <= 2 && p.bomb_active == 1 && p.focused_bomb == 1) p.focus = 1;
  else if ((p.fighter == 3 || p.fighter == 4) && p.bomb_active == 1) p.focus = 1;
  else p.focus = 0;
  const FighterMotion& m = MotionOfFighter(p.fighter);
  double speed = p.focus == 1 ? m.focused_speed : m.normal_speed;
  p.moving = 0;
  if (p.in_up == 1) {
    p.moving = 1;
    p.vy = (p.y + m.y_margin > 0.0) ? -speed : 0.0;
  }
  if (p.in_down == 1) {
    p.moving = 1;
    p.vy = (p.y + p.height - m.y_margin < 480.0) ? speed : 0.0;
  }
  if (p.in_left == 1) {
    p.moving = 1;
    p.vx = (p.x + m.x_margin > 140.0) ? -speed : 0.0;
  }
  if (p.in_right == 1) {
    p.moving = 1;
    p.vx = (p.x + p.width - m.x_margin < 500.0) ? speed : 0.0;
  }
  UpdatePlayerPosition();
  p.vx = p.vy = 0.0;
  return 0;
}

int UpdatePlayerPosition() {
  PlayerObject& p = P();
  p.x += p.vx;
  p.y += p.vy;
  p.centre_x = p.x + p.width / 2.0;
  p.centre_y = p.y + p.height / 2.0;
  p.core_x = p.centre_x;
  p.core_y = p.centre_y + MotionOfFighter(p.fighter).core_dy;
  p.hit_left = p.core_x - 1.0;
  p.hit_top = p.core_y - 1.0;
  p.hit_right = p.core_x + 1.0;
  p.hit_bottom = p.core_y + 1.0;
  p.body_left = p.core_x - p.width / 2.0;
  p.body_top = p.core_y - p.height / 2.0;
  p.body_right = p.core_x + p.width / 2.0;
  p.body_bottom = p.core_y + p.height / 2.0;
  switch (p.fighter) {
    case 0: UpdateOptionsFighter0(); break;
    case 1: UpdateOptionsFighter1(); break;
    case 2: UpdateOptionsFighter2(); break;
    case 3: case 4: UpdateOptionsFighter34(); break;
    default: break;
  }
  return 0;
}

void GetOptionPositions(double* x0, double* y0, double* x1, double* y1) {
  *x0 = P().opt_x[0];
  *y0 = P().opt_y[0];
  *x1 = P().opt_x[1];
  *y1 = P().opt_y[1];
}

int MoveTowardPoint(double* x, double* y, double* vx, double* vy, double tx, double ty,
                    double speed) {
  if (speed <= 0.0) return 0;
  if (speed + 1.0 >= Distance(*x, *y, tx, ty)) {
    *x = tx;
    *y = ty;
    *vx = *vy = 0.0;
    return 1;
  }
  double a = AngleBetweenPoints(tx, ty, *x, *y);
  *vx = CosDeg(a) * speed;
  *vy = SinDeg(a) * speed;
  return 0;
}

int ResetPlayerOptions() {
  PlayerObject& p = P();
  for (int i = 0; i < kOptionSlots; ++i) {
    p.opt_x[i] = p.opt_y[i] = 0.0;
    p.muzzle_x[i] = p.muzzle_y[i] = 0.0;
    p.opt_angle[i] = p.opt_arrived[i] = p.opt_distance[i] = 0.0;
  }
  p.history_index = 0;
  HistoryToCentre();
  return 0;
}

namespace {
void Layout(double n0, double n1, double f0, double f1) {
  double* a = P().opt_angle;
  a[0] = a[1] = 270.0;
  a[4] = n0;
  a[5] = n1;
  a[6] = f0;
  a[7] = f1;
}
}  // namespace

int LayoutOptionsFighter0() {
  Layout(250.0, 290.0, 270.0, 270.0);
  return 0;
}
int LayoutOptionsFighter1() {
  Layout(270.0, 270.0, 270.0, 270.0);
  return 0;
}
int LayoutOptionsFighter2() {
  Layout(270.0, 270.0, 230.0, 310.0);
  return 0;
}
int LayoutOptionsFighter34() {
  PlayerObject& p = P();
  Layout(270.0, 270.0, 270.0, 270.0);
  p.opt_angle[2] = p.opt_angle[3] = 270.0;
  for (int i = 0; i < 4; ++i) {
    p.opt_x[i] = p.centre_x;
    p.opt_y[i] = p.centre_y;
  }
  HistoryToCentre();
  return 0;
}
int LayoutOptionsForFighter() {
  switch (P().fighter) {
    case 0: return LayoutOptionsFighter0();
    case 1: return LayoutOptionsFighter1();
    case 2: return LayoutOptionsFighter2();
    case 3: case 4: return LayoutOptionsFighter34();
    default: return 0;
  }
}
