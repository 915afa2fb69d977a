#include <initializer_list>

#include "play/bullet_cancel.h"
#include "play/enemies.h"
#include "play/player.h"
#include "play/player_shots.h"
#include "play/stage.h"
#include "shell/game_math.h"

namespace {

struct Box {
  double x1, y1, x2, y2;  // relative to the centre
};

struct TypeBoxes {
  std::initializer_list<int> types;
  std::initializer_list<Box> boxes;
};

const TypeBoxes kFixedBoxes[] = {
    {{0, 7, 9, 10}, {{-16, -16, 16, 16}}},
    {{1, 15}, {{-32, -24, 32, 24}}},
    {{2, 3}, {{-16, -20, 16, 20}, {-48, -13, -16, 3}, {16, -13, 48, 3}}},
    {{4}, {{-64, -40, 64, 24}, {-32, 24, 32, 56}}},
    {{6}, {{-48, -56, 48, 40}, {-96, -56, -48, 0}, {48, -56, 96, 0}}},
    {{8},
     {{-80, -24, 80, 40}, {84, -44, 108, -20}, {-108, -44, -84, -20}, {80, 24, 104, 48},
      {-104, 24, -80, 48}}},
    {{11}, {{-84, -56, 84, 8}, {-24, 8, 24, 32}}},
    {{12}, {{-40, -20, 40, 20}}},
    {{13}, {{-40, -40, 40, 40}}},
    {{14, 27}, {{-96, -32, 96, 32}}},
    {{16, 18, 23, 24, 25, 32, 33}, {{-32, -32, 32, 32}}},
    {{17}, {{-32, -20, 32, 28}, {-64, -44, 64, -20}, {-84, 28, -60, 52}, {60, 28, 84, 52}}},
    {{19}, {{-120, -48, 120, 48}}},
    {{20}, {{-120, -44, 120, 4}, {-56, 4, 56, 36}, {-24, 36, 24, 52}}},
    {{21}, {{-20, -20, 20, 20}}},
    {{22}, {{-64, -40, 64, 40}}},
    {{26}, {{-96, -88, 96, -24}, {-28, -24, 28, 88}}},
    {{28}, {{-96, -32, 96, 0}, {-72, 0, 72, 64}}},
    {{29}, {{-56, -8, 56, 16}}},
    {{30}, {{-72, -48, 72, 48}}},
    {{31}, {{-48, -48, 48, 48}}},
    {{34}, {{-64, -56, 64, 56}}},
    {{35}, {{-80, -36, 80, -4}, {-48, -4, 48, 28}}},
    {{36}, {{-112, -56, 112, 24}, {-80, 24, 80, 56}}},
    {{37}, {{-64, -68, 64, 28}}},
    {{100}, {{-160, -40, 160, 8}, {-28, 8, 28, 64}}},
    {{101}, {{-24, -24, 24, 24}}},
    {{120},
     {{-140, -40, 140, 40}, {-124, 40, -100, 104}, {100, 40, 124, 104}, {-60, 40, -44, 72},
      {44, 40, 60, 72}, {-8, 40, 8, 72}}},
    {{200}, {{-48, -76, 48, 84}, {-96, -16, -48, 64}, {48, -16, 96, 64}}},
    {{201}, {{-24, -52, 24, 60}, {-24, 60, 16, 84}}},
    {{202}, {{-24, -52, 24, 60}, {-16, 60, 24, 84}}},
    {{220}, {{-48, -116, 48, 28}, {-96, -96, -48, 8}, {48, -96, 96, 8}}},
    {{240}, {{-136, -48, 136, 48}}},
    {{250}, {{-48, -16, 48, 16}}},
};

void SetBox(EnemyObject& e, int i, double x1, double y1, double x2, double y2) {
  e.box_left[i] = e.x + x1;
  e.box_top[i] = e.y + y1;
  e.box_right[i] = e.x + x2;
  e.box_bottom[i] = e.y + y2;
}

void SetAbsoluteBox(EnemyObject& e, int i, double l, double t, double r, double b) {
  e.box_left[i] = l;
  e.box_top[i] = t;
  e.box_right[i] = r;
  e.box_bottom[i] = b;
}

void ClearBox(EnemyObject& e, int i) { SetAbsoluteBox(e, i, 0, 0, 0, 0); }

void LayOutType5(EnemyObject& e) {
  SetBox(e, 0, -48, -56, 48, 8);
  double a = e.work_angles[1];
  e.pod_x[1] = e.x + CosDeg(a - 90.0) * 60.0;
  e.pod_y[1] = e.y + SinDeg(a - 90.0) * 40.0 - 12.0;
  e.pod_x[2] = e.x + CosDeg(a + 90.0) * 60.0;
  e.pod_y[2] = e.y + SinDeg(a + 90.0) * 40.0 - 12.0;
  e.pod_x[3] = e.x + CosDeg(a) * 60.0;
  e.pod_y[3] = e.y + SinDeg(a) * 40.0;
  for (int k = 1; k <= 3; ++k)
    SetAbsoluteBox(e, k, e.pod_x[k] - 16, e.pod_y[k] - 16, e.pod_x[k] + 16, e.pod_y[k] + 16);
}

void LayOutType110(EnemyObject& e) {
  SetBox(e, 0, -100, -32, 100, 0);
  SetBox(e, 1, -40, 0, 40, 40);
  if (e.life_state == 0 || e.life_state == 1) {
    SetBox(e, 2, -132, 32, -68, 64);
    SetBox(e, 3, 68, 32, 132, 64);
  } else {
    ClearBox(e, 2);
    ClearBox(e, 3);
  }
}

void LayOutType210(EnemyObject& e) {
  if (e.form == 0) {
    SetBox(e, 0, -120, -56, 120, 24);
    SetBox(e, 1, -152, -12, -120, 36);
    SetBox(e, 2, 120, -12, 152, 36);
  } else if (e.form == 1) {
    SetBox(e, 0, -64, -48, 64, 16);
    SetBox(e, 1, -96, -12, -64, 12);
    SetBox(e, 2, 64, -12, 96, 12);
  }
}

void LayOutType230(EnemyObject& e) {
  SetBox(e, 0, -80, -32, 80, 16);
  SetBox(e, 1, -60, 16, 60, 40);
  SetBox(e, 2, -40, 40, 40, 88);
  for (int k = 0; k < 4; ++k) {
    if (e.life_state == 1 || e.life_state == 3)
      SetAbsoluteBox(e, 3 + k, e.pod_x[k] - 32, e.pod_y[k] - 32, e.pod_x[k] + 32,
                     e.pod_y[k] + 32);
    else
      ClearBox(e, 3 + k);
  }
}

// Moves on from a phase whose hit points are gone; the order matters, each
// check sees the state the previous one left.
void CheckBossPhases(EnemyObject& e) {
  if (e.life_state == 1 && e.phase_hp[0] <= 0) {
    e.phase_hp[0] = 0;
    if (e.type == 100) {
      e.life_state = 8;
      BossFightFlag(0);
    } else {
      e.life_state = 2;
    }
    e.state_timer = 0;
  }
  if (e.life_state == 3 && e.phase_hp[1] <= 0) {
    e.phase_hp[1] = 0;
    if (e.type == 110 || e.type == 120 || e.type == 200 || e.type == 210) {
      BossFightFlag(0);
      e.life_state = 8;
    } else {
      e.life_state = 4;
    }
    e.state_timer = 0;
  }
  if (e.life_state == 5 && e.phase_hp[2] <= 0) {
    e.phase_hp[2] = 0;
    if (e.type == 220 || e.type == 230 || e.type == 240) {
      BossFightFlag(0);
      e.life_state = 8;
    } else {
      e.life_state = 6;
    }
    e.state_timer = 0;
  }
  if (e.life_state == 7 && e.phase_hp[3] <= 0) {
    BossFightFlag(0);
    e.phase_hp[3] = 0;
    e.life_state = 8;
    e.state_timer = 0;
  }
}

}  // namespace

bool BoxesOverlap(double l1, double t1, double r1, double b1, double l2, double t2, double r2,
                  double b2) {
  return l1 < r2 && l2 < r1 && t1 < b2 && t2 < b1;
}

int UpdateEnemyHitBoxes(EnemyObject& e) {
  if (e.in_use != 1) return -1;
  switch (e.type) {
    case 5: LayOutType5(e); return 0;
    case 110: LayOutType110(e); return 0;
    case 210: LayOutType210(e); return 0;
    case 230: LayOutType230(e); return 0;
    default: break;
  }
  for (const TypeBoxes& row : kFixedBoxes) {
    bool match = false;
    for (int t : row.types) match = match || t == e.type;
    if (!match) continue;
    int i = 0;
    for (const Box& b : row.boxes) SetBox(e, i++, b.x1, b.y1, b.x2, b.y2);
    break;
  }
  return 0;
}

int DamageEnemy(EnemyObject& e, int shot_index, int shot_type) {
  (void)shot_type;
  e.hit_flash = 5;
  if (e.gauge_flag == 1) e.gauge_frames = 60;
  if (e.screen_state == 0 || e.collision_class == 3) return 0;
  if (shot_index < 0 || shot_index >= kPlayerShotSlots) return 0;
  return ApplyEnemyDamage(e, g_player_shots[shot_index].damage);
}

int ApplyEnemyDamage(EnemyObject& e, int damage) {
  if (e.boss_kind == 0) {
    e.hp -= damage;
    return 0;
  }
  switch (e.life_state) {
    case 1: e.phase_hp[0] -= damage; break;
    case 3: e.phase_hp[1] -= damage; break;
    case 5: e.phase_hp[2] -= damage; break;
    case 7: e.phase_hp[3] -= damage; break;
    default: break;
  }
  return 0;
}

int CollideEnemyWithShots(EnemyObject& e) {
  if (e.in_use != 1 || e.collision_class == 1) return -1;
  for (int i = 0; i < kPlayerShotSlots; ++i) {
    PlayerShot& s = g_player_shots[i];
    if (IsPlayerShotAlive(s) != 1) continue;
    for (int k = 0; k < kEnemyCollidingBoxes; ++k) {
      if (!BoxesOverlap(e.box_left[k], e.box_top[k], e.box_right[k], e.box_bottom[k], s.hit_left,
                        s.hit_top, s.hit_right, s.hit_bottom))
        continue;
      DamageEnemy(e, i, s.type);
      // The bomb ring pierces: it is neither freed nor paid for its hits.
      if (s.type != 10) EndPlayerShot(s);
      break;
    }
  }
  if (e.boss_kind == 1 || e.boss_kind == 2) {
    CheckBossPhases(e);
  } else if (e.hp <= 0) {
    if (e.cancel_on_death == 1 && e.screen_state != 2) StartBulletCancel(2, 60);
    if (e.dying_flag == 1) {
      e.life_state = 8;
      e.state_timer = 0;
    } else {
      DestroyEnemy(e);
    }
  }
  return 0;
}

int EndBossPhase(EnemyObject& e) {
  ResetEnemyGuns(e);
  if (e.timed_out == 1) {
    e.timed_out = 0;
    if (e.life_state == 8) e.items = 0;
    return 0;
  }
  switch (e.life_state) {
    case 2:
      StartBulletCancel(2, 10);
      AddScore(e.phase_bonus[0]);
      break;
    case 4:
      StartBulletCancel(2, 10);
      AddScore(e.phase_bonus[1]);
      break;
    case 6:
      StartBulletCancel(2, 10);
      AddScore(e.phase_bonus[2]);
      break;
    case 8: {
      StartBulletCancel(2, 240);
      // The bonus of the type's last phase; mid-boss 100 has only phase 1.
      int bonus = e.kill_score;
      if (e.type == 100) bonus = e.phase_bonus[0];
      if (e.type == 110 || e.type == 120 || e.type == 200 || e.type == 210) bonus = e.phase_bonus[1];
      if (e.type == 220 || e.type == 230 || e.type == 240) bonus = e.phase_bonus[2];
      if (e.type == 250) bonus = e.phase_bonus[3];
      AddScore(bonus);
      break;
    }
    default:
      break;
  }
  return 0;
}
