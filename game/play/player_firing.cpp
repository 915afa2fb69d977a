#include "play/player_firing.h"

#include "play/player.h"
#include "play/player_shots.h"
#include "shell/game_math.h"
#include "shell/sound_bank.h"

namespace {

PlayerObject& P() { return g_player; }

void Shot(double x, double y, int type, double angle, double speed, int param = 0) {
  SpawnPlayerShot(x, y, type, angle, speed, param);
}
void FromMuzzle(int i, int type, double speed, int param = 0) {
  Shot(P().muzzle_x[i], P().muzzle_y[i], type, P().opt_angle[i], speed, param);
}
bool OptionsUp() { return P().opt_angle[0] == 270.0 && P().opt_angle[1] == 270.0; }

}  // namespace

int FireVolleyFighter0() {
  PlayerObject& p = P();
  const double cx = p.centre_x, cy = p.centre_y;
  if (p.focus == 0) {
    const int type = p.power - 1;
    PlaySoundEffect(40);
    Shot(cx - 10, cy - 8, type, 262, 13);
    Shot(cx, cy - 12, type, 270, 13);
    Shot(cx + 10, cy - 8, type, 278, 13);
    FromMuzzle(0, type, 13);
    FromMuzzle(1, type, 13);
  } else {
    const int type = p.power + 4;
    PlaySoundEffect(41);
    Shot(cx - 10, cy - 8, type, 270, 13);
    Shot(cx + 10, cy - 8, type, 270, 13);
    FromMuzzle(0, type, 13);
    FromMuzzle(1, type, 13);
  }
  return 0;
}

int FireVolleyFighter1() {
  PlayerObject& p = P();
  const double cx = p.centre_x, cy = p.centre_y;
  const int main_type = 19 + p.power;
  Shot(cx - 14, cy - 8, main_type, 270, 13);
  Shot(cx + 14, cy - 8, main_type, 270, 13);
  if (p.focus == 0) {
    PlaySoundEffect(45);
    FromMuzzle(0, main_type, 13);
    FromMuzzle(1, main_type, 13);
    p.opt_angle[13] = WrapAngleInt(p.opt_angle[13] + 36.0);
  } else {
    PlaySoundEffect(44);
    if (OptionsUp()) {
      const int laser = 24 + p.power;
      const double k = p.power == 5 ? 4.0 : 0.0;
      Shot(p.muzzle_x[0], p.muzzle_y[0] - k, laser, p.opt_angle[0], 12, 0);
      Shot(p.muzzle_x[1], p.muzzle_y[1] - k, laser, p.opt_angle[1], 12, 1);
    }
  }
  return 0;
}

int FireVolleyFighter2() {
  PlayerObject& p = P();
  const double cx = p.centre_x, cy = p.centre_y;
  const double xs[4] = {cx - 24, cx - 8, cx + 8, cx + 24};
  const double ys[4] = {cy - 8, cy - 16, cy - 16, cy - 8};
  if (p.focus == 0) {
    const int type = 39 + p.power;
    for (int i = 0; i < 4; ++i) Shot(xs[i], ys[i], type, 270, 13);
    if (OptionsUp()) {
      PlaySoundEffect(47);
      FromMuzzle(0, type, 13);
      FromMuzzle(1, type, 13);
    }
  } else {
    const int type = 44 + p.power;
    PlaySoundEffect(43);
    const double angles[4] = {240, 260, 280, 300};
    for (int i = 0; i < 4; ++i) Shot(xs[i], ys[i], type, angles[i], 13);
    FromMuzzle(0, type, 12, 0);
    FromMuzzle(1, type, 12, 1);
  }
  return 0;
}

int FireVolleyFighter34() {
  PlayerObject& p = P();
  const double cx = p.centre_x, cy = p.centre_y;
  const int type = 59 + p.power, option_type = 64 + p.power;
  PlaySoundEffect(49);
  Shot(cx - 24, cy - 16, type, 260, 13);
  Shot(cx - 14, cy - 24, type, 270, 13);
  Shot(cx + 14, cy - 24, type, 270, 13);
  Shot(cx + 24, cy - 16, type, 280, 13);
  for (int i = 0; i < 4; ++i) Shot(p.muzzle_x[i], p.muzzle_y[i], option_type, 270, 13);
  return 0;
}

namespace {
void FireVolley() {
  P().firing = 1;
  switch (P().fighter) {
    case 0: FireVolleyFighter0(); break;
    case 1: FireVolleyFighter1(); break;
    case 2: FireVolleyFighter2(); break;
    case 3: case 4: FireVolleyFighter34(); break;
    default: break;
  }
}
}  // namespace

int FirePlayerShots() {
  PlayerObject& p = P();
  if (p.active != 1 || p.respawn_countdown >= 1 || p.control != 1) return 0;
  if (p.bomb_active == 1 && ((p.fighter <= 2 && p.focused_bomb == 1) || p.fighter >= 3)) return 0;
  if (p.in_shot == 1) p.shot_hold_over = 18;
  if (p.shot_hold_over > 0) --p.shot_hold_over;
  if (p.shot_hold_over > 0) {
    if (++p.shot_volley_counter == 3) {
      p.shot_volley_counter = 0;
      FireVolley();
    }
  }
  if (p.in_full_auto == 1 && p.shot_hold_over == 0) {
    if (++p.full_auto_volley_counter == 3) {
      p.full_auto_volley_counter = 0;
      FireVolley();
    }
  }
  return 0;
}
