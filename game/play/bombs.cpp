#include "play/bombs.h"

#include "play/bullet_cancel.h"
#include "play/player.h"
#include "play/player_movement.h"
#include "play/player_shots.h"
#include "play/stage_clear.h"
#include "shell/game_math.h"
#include "shell/sound_bank.h"

namespace {

PlayerObject& P() { return g_player; }

// Adds a frame; true once the bomb has run `length` frames.
bool Advance(int length) { return ++P().bomb_frame >= length; }

bool FocusedVolleyFrame(int f) { return f >= 30 && f <= 180 && f % 3 == 0; }

void EndFocusedBomb() {
  P().bomb_active = 0;
  P().bomb_frame = 0;
  P().shot_hold_over = 0;
}

void StartFocused() {
  PlaySoundEffect(52);
  StartBulletCancel(3, 10);
  RaiseGuardTo(200);
}

}  // namespace

int RunGenericBomb() {
  PlayerObject& p = P();
  if (p.bomb_frame == 0) {
    PlaySoundEffect(50);
    SpawnPlayerShot(p.centre_x, p.centre_y - 96.0, 10, 270.0, 1.0, 0);
    StartBulletCancel(0, 120);
    RaiseGuardTo(300);
  }
  if (Advance(130)) {
    p.bomb_frame = 0;
    p.bomb_active = 0;
  }
  return 0;
}

int RunFocusedBombFighter0() {
  PlayerObject& p = P();
  if (p.bomb_frame == 0) StartFocused();
  if (FocusedVolleyFrame(p.bomb_frame)) {
    p.firing = 1;
    PlaySoundEffect(42);
    const double cx = p.centre_x, cy = p.centre_y;
    SpawnPlayerShot(cx - 10, cy - 8, 11, 262, 15, 0);
    SpawnPlayerShot(cx, cy - 12, 11, 270, 15, 0);
    SpawnPlayerShot(cx + 10, cy - 8, 11, 278, 15, 0);
    SpawnPlayerShot(p.muzzle_x[0], p.muzzle_y[0], 11, p.opt_angle[0], 15, 0);
    SpawnPlayerShot(p.muzzle_x[1], p.muzzle_y[1], 11, p.opt_angle[1], 15, 0);
  }
  if (Advance(180)) EndFocusedBomb();
  return 0;
}

int RunFocusedBombFighter1() {
  PlayerObject& p = P();
  if (p.bomb_frame == 0) {
    p.flash_counter = 0;
    StartFocused();
  }
  if (FocusedVolleyFrame(p.bomb_frame)) {
    p.firing = 1;
    PlaySoundEffect(46);
    SpawnPlayerShot(p.muzzle_x[0], p.muzzle_y[0] - 16, 30, p.opt_angle[0], 12, 0);
    SpawnPlayerShot(p.muzzle_x[1], p.muzzle_y[1] - 16, 30, p.opt_angle[1], 12, 1);
  }
  if (Advance(180)) EndFocusedBomb();
  return 0;
}

int RunFocusedBombFighter2() {
  PlayerObject& p = P();
  if (p.bomb_frame == 0) StartFocused();
  if (FocusedVolleyFrame(p.bomb_frame)) {
    p.firing = 1;
    PlaySoundEffect(48);
    const double cx = p.centre_x, cy = p.centre_y;
    SpawnPlayerShot(cx - 24, cy - 8, 50, 240, 13, 0);
    SpawnPlayerShot(cx - 8, cy - 16, 50, 260, 13, 0);
    SpawnPlayerShot(cx + 8, cy - 16, 50, 280, 13, 0);
    SpawnPlayerShot(cx + 24, cy - 8, 50, 300, 13, 0);
    SpawnPlayerShot(p.muzzle_x[0], p.muzzle_y[0], 50, p.opt_angle[0], 12, 0);
    SpawnPlayerShot(p.muzzle_x[1], p.muzzle_y[1], 50, p.opt_angle[1], 12, 1);
  }
  if (Advance(180)) EndFocusedBomb();
  return 0;
}

int RunBombFighter34() {
  PlayerObject& p = P();
  const int f = p.bomb_frame;
  const double cx = p.centre_x, cy = p.centre_y;
  if (f == 0) {
    if (p.fighter == 4) p.appear_state = 3;
    StartBulletCancel(3, 300);
    RaiseGuardTo(360);
  }
  if (f >= 30 && f <= 200 && f % 3 == 0) {
    p.firing = 1;
    PlaySoundEffect(53);
    p.bomb_wobble += 2;
    for (int i = 0; i < 7; ++i) {
      SpawnPlayerShot(cx - 16, cy - 32, 70, SinDeg(p.bomb_wobble) * 20.0 + (300 - 10 * i), 15, 0);
      SpawnPlayerShot(cx + 16, cy - 32, 70, SinDeg(-p.bomb_wobble) * 20.0 + (240 + 10 * i), 15, 0);
    }
  }
  if (f == 220) {
    p.firing = 1;
    PlaySoundEffect(54);
    for (int a = -54; a <= 54; a += 9) {
      for (int k = 0; k < 7; ++k) {
        SpawnPlayerShot(cx - 16, cy - 32, 71, a + 300, 6 + k, 0);
        SpawnPlayerShot(cx + 16, cy - 32, 71, a + 240, 6 + k, 0);
      }
    }
  }
  if (Advance(240)) {
    if (p.fighter == 4) {
      p.form_counter = p.form_frame = p.form_step = 0;
      p.bank_counter = 0;
      p.anim_counter = 0;
      p.appear_state = 0;
    }
    p.bomb_active = 0;
    p.bomb_frame = 0;
    p.bomb_wobble = 0;
    p.shot_hold_over = 0;
    LayoutOptionsFighter34();
  }
  return 0;
}

int UpdatePlayerBomb() {
  PlayerObject& p = P();
  if (p.bomb_cooldown > 0) --p.bomb_cooldown;
  if (p.active != 1 || p.bomb_cooldown >= 1 || p.respawn_countdown >= 1 || p.control != 1 ||
      IsStageClearSequenceActive())
    return 0;
  if (p.bomb_active == 0 && p.bombs >= 1 && p.in_bomb == 1) {
    p.bomb_active = 1;
    p.bomb_frame = 0;
    if (InfiniteBombMode != 1) --p.bombs;
    p.focused_bomb = p.focus == 1 ? 1 : 0;
  }
  if (p.bomb_active != 1) return 0;
  const bool f34 = p.fighter == 3 || p.fighter == 4;
  if (f34) return RunBombFighter34();
  if (p.focused_bomb == 1) {
    switch (p.fighter) {
      case 0: return RunFocusedBombFighter0();
      case 1: return RunFocusedBombFighter1();
      case 2: return RunFocusedBombFighter2();
      default: return 0;
    }
  }
  return RunGenericBomb();
}
