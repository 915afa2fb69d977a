#include "play/enemies.h"

#include <cstring>

#include "bosses/bosses.h"
#include "kesto/kesto.h"
#include "play/items.h"
#include "play/stage.h"
#include "screens/hud.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "stages/enemy_scripts.h"

EnemyObject g_enemies[kEnemyCount];
int32_t EnemySerialCounter = 0;
int32_t BossGaugeShown = 0;

namespace {

EnemyScriptHook g_script_hook = nullptr;

constexpr int32_t kSerialWrap = 100000;

// etc1 cells of the small gauge: frame 64x8, fill and back 56x4.
constexpr int kGaugeFrameCell = 43;

bool InRange(int slot) { return slot >= 0 && slot < kEnemyCount; }

int Dispatch(EnemyObject& e) {
  if (g_script_hook) return g_script_hook(e);
  using Script = int (*)(EnemyObject&);
  static constexpr Script kRegular[] = {
      UpdateEnemyType0,  UpdateEnemyType1,  UpdateEnemyType2,  UpdateEnemyType3,
      UpdateEnemyType4,  UpdateEnemyType5,  UpdateEnemyType6,  UpdateEnemyType7,
      UpdateEnemyType8,  UpdateEnemyType9,  UpdateEnemyType10, UpdateEnemyType11,
      UpdateEnemyType12, UpdateEnemyType13, UpdateEnemyType14, UpdateEnemyType15,
      UpdateEnemyType16, UpdateEnemyType17, UpdateEnemyType18, UpdateEnemyType19,
      UpdateEnemyType20, UpdateEnemyType21, UpdateEnemyType22, UpdateEnemyType23,
      UpdateEnemyType24, UpdateEnemyType25, UpdateEnemyType26, UpdateEnemyType27,
      UpdateEnemyType28, UpdateEnemyType29, UpdateEnemyType30, UpdateEnemyType31,
      UpdateEnemyType32, UpdateEnemyType33, UpdateEnemyType34, UpdateEnemyType35,
      UpdateEnemyType36, UpdateEnemyType37};
  if (e.type >= 0 && e.type <= 37) return kRegular[e.type](e);
  switch (e.type) {
    case 100: return UpdateMidBossType100(e);
    case 110: return UpdateMidBossType110(e);
    case 120: return UpdateMidBossType120(e);
    case 200: return UpdateBossType200(e);
    case 210: return UpdateBossType210(e);
    case 220: return UpdateBossType220(e);
    case 230: return UpdateBossType230(e);
    case 240: return UpdateBossType240(e);
    case 250: return UpdateBossType250(e);
    case 300: return UpdateWreckType300(e);
    case 302: return UpdateWreckType302(e);
    case 305: return UpdateWreckType305(e);
    case 301: return UpdateSpawnerType301(e);
    case 303: return UpdateSpawnerType303(e);
    case 304: return UpdateSpawnerType304(e);
    default: return 0;  // parts and unknown types only move
  }
}

int SpawnInRange(double x, double y, int type, int variant, uint32_t a0, uint32_t a1,
                 uint32_t a2, uint32_t a3) {
  SlotRange range = GetEnemySlotRange(type);
  for (int slot = range.first; slot <= range.last; ++slot) {
    if (g_enemies[slot].in_use != 0) continue;
    InitEnemySlot(x, y, type, variant, slot, -1, -1, -1, a0, a1, a2, a3);
    return 0;
  }
  return -1;
}

}  // namespace

void SetEnemyScriptHookForTesting(EnemyScriptHook hook) { g_script_hook = hook; }

SlotRange GetEnemySlotRange(int type) {
  switch (type) {
    case 300: case 305:
      return {0, 49};
    case 5: case 7: case 9: case 13: case 18: case 19: case 23: case 24: case 25: case 27:
    case 30: case 31: case 32: case 33: case 34: case 240:
      return {50, 99};
    case 37:
      return {100, 199};
    case 101: case 201: case 202:
      return {200, 299};
    case 100: case 110: case 120: case 200: case 210: case 220: case 230:
      return {300, 399};
    case 6: case 8: case 11: case 14: case 20: case 26: case 28:
      return {400, 410};
    case 4: case 17: case 22: case 35:
      return {410, 429};
    case 1: case 2: case 3: case 12: case 15: case 29:
      return {430, 449};
    case 0: case 10: case 16: case 21:
      return {450, 499};
    default:
      return {0, 499};
  }
}

int InitEnemySlot(double x, double y, int type, int variant, int slot, int parent_slot,
                  int part_index, int parent_serial, uint32_t a0, uint32_t a1, uint32_t a2,
                  uint32_t a3) {
  if (!InRange(slot)) return -1;
  EnemyObject& e = g_enemies[slot];
  if (e.in_use != 0) return -1;
  e.in_use = 1;
  e.serial = EnemySerialCounter;
  e.type = type;
  e.difficulty = g_flags.DifficultyMode == 3 ? 1 : g_flags.DifficultyMode;
  e.variant = variant;
  e.draw_scale = 1.0;
  e.slot = slot;
  e.parent_slot = parent_slot;
  e.parent_serial = parent_serial;
  e.part_index = part_index;
  ApplyEnemyTypeStats(e);
  e.left = 140.0 + x - e.width / 2.0;
  e.top = y - e.height / 2.0;
  e.x = 140.0 + x;
  e.y = y;
  e.args[0] = a0;
  e.args[1] = a1;
  e.args[2] = a2;
  e.args[3] = a3;
  EnemySerialCounter += 1;
  if (EnemySerialCounter > kSerialWrap) EnemySerialCounter = 0;
  return 0;
}

int SpawnEnemy(double x, double y, int type, int variant) {
  return SpawnInRange(x, y, type, variant, 0, 0, 0, 0);
}

int SpawnEnemyWithArgs(double x, double y, int type, int variant, uint32_t a0, uint32_t a1,
                       uint32_t a2, uint32_t a3) {
  return SpawnInRange(x, y, type, variant, a0, a1, a2, a3);
}

int SpawnEnemyAnySlot(double x, double y, int type, int variant, int parent_slot,
                      int part_index, int parent_serial) {
  for (int slot = 0; slot < kEnemyCount; ++slot) {
    if (g_enemies[slot].in_use != 0) continue;
    InitEnemySlot(x, y, type, variant, slot, parent_slot, part_index, parent_serial, 0, 0, 0, 0);
    break;
  }
  return 0;
}

int ClearEnemySlot(EnemyObject& e) {
  int32_t slot = e.slot;
  int32_t difficulty = e.difficulty;
  uint32_t args[4];
  std::memcpy(args, e.args, sizeof args);
  double heading = e.heading;
  std::memset(&e, 0, sizeof e);
  e.slot = slot;
  e.difficulty = difficulty;
  std::memcpy(e.args, args, sizeof args);
  e.heading = heading;
  return 0;
}

int RunEnemyScript(EnemyObject& e) {
  if (e.in_use != 1) return -1;
  e.x += e.vx;
  e.y += e.vy;
  e.left = e.x - e.width / 2.0;
  e.top = e.y - e.height / 2.0;
  Dispatch(e);
  return 0;
}

int UpdateEnemyScreenState(EnemyObject& e) {
  if (e.in_use != 1) return -1;
  double cx = e.left + e.width / 2.0;
  double cy = e.top + e.height / 2.0;
  switch (e.screen_state) {
    case 0:
      if (cy > 0.0 && cy < 480.0 && cx > 140.0 && cx < 500.0) e.screen_state = 1;
      break;
    case 1: {
      bool touches = e.top + e.height >= 0.0 && e.top <= 480.0 && e.left + e.width >= 140.0 &&
                     e.left <= 500.0;
      if (touches || e.type == 201 || e.type == 202) break;
      e.screen_state = 2;
      if (e.boss_kind == 1) e.timed_out = 1;
      break;
    }
    case 2:
      DestroyEnemy(e);
      break;
    default:
      break;
  }
  return 0;
}

int CountBossPhaseTimers(EnemyObject& e) {
  if (e.in_use != 1) return -1;
  if (e.boss_kind == 1) {
    if (e.mid_boss_timer >= 1)
      e.mid_boss_timer -= 1;
    else
      e.mid_boss_timer = 0;
  } else if (e.boss_kind == 2) {
    int phase = -1;
    if (e.life_state == 1) phase = 0;
    if (e.life_state == 3) phase = 1;
    if (e.life_state == 5) phase = 2;
    if (e.life_state == 7) phase = 3;  // the hidden boss's last phase ends by the clock too
    if (phase >= 0) {
      if (e.phase_limits[phase] >= 1) {
        e.phase_limits[phase] -= 1;
      } else {
        e.phase_hp[phase] = 0;
        e.timed_out = 1;
      }
    }
  }
  return 0;
}

int DropEnemyItems(EnemyObject& e, int count, int kind) {
  if (count <= 0 || e.timed_out == 1) return 0;
  if (count == 1) {
    SpawnItem(e.x, e.y, kind, 0.0, 0.0);
    return 0;
  }
  int step = 360 / count;
  // Above 360 items the step would be 0 and the ring would never close.
  if (step < 1) step = 1;
  double radius = count <= 3 ? 24.0 : count <= 9 ? 48.0 : 80.0;
  for (int a = 0; a < 360; a += step)
    SpawnItem(e.x + CosDeg(a) * radius, e.y + SinDeg(a) * radius, 0, 0.0, 0.0);
  return 0;
}

int KillEnemiesOfParent(int with_effects, int parent_slot) {
  for (EnemyObject& e : g_enemies) {
    if (e.in_use != 1 || e.parent_slot != parent_slot) continue;
    e.screen_state = 2;
    if (with_effects == 1) PlayEnemyDeathEffects(e);
    DestroyEnemy(e);
  }
  return 0;
}

int SendEnemyMessage(const EnemyObject& sender, int word, int target_slot, int index) {
  if (sender.linked == 0) return -1;
  // A part spawned without a parent has slot and index -1.
  if (!InRange(target_slot) || index < 0 || index >= kEnemyMessageWords) return -1;
  g_enemies[target_slot].message[index] = word;
  return 0;
}

int ResetEnemyGuns(EnemyObject& e) {
  for (int i = 0; i < kEnemyGunCount; ++i) {
    e.gun_counter[i] = 0;
    e.gun_angle[i] = 0.0;
    e.gun_shots[i] = 0;
    e.gun_aux[i] = 0.0;
  }
  for (int32_t& w : e.gun_words) w = 0;
  return 0;
}

int MoveEnemyToPoint(EnemyObject& e, double* x, double* y, double tx, double ty, double speed) {
  if (speed <= 0.0) return 0;
  double target_x = tx + 140.0;
  if (speed + 1.0 >= Distance(target_x, ty, e.x, e.y)) {
    *x = target_x;
    *y = ty;
    e.vx = 0.0;
    e.vy = 0.0;
    return 1;
  }
  double a = AngleBetweenPoints(target_x, ty, e.x, e.y);
  e.vx = CosDeg(a) * speed;
  e.vy = SinDeg(a) * speed;
  return 0;
}

int MovePointToPoint(double* x, double* y, double* vx, double* vy, double tx, double ty,
                     double speed) {
  if (speed <= 0.0) return 0;
  if (speed + 1.0 >= Distance(tx, ty, *x, *y)) {
    *x = tx;
    *y = ty;
    *vx = 0.0;
    *vy = 0.0;
    return 1;
  }
  double a = AngleBetweenPoints(tx, ty, *x, *y);
  *vx = CosDeg(a) * speed;
  *vy = SinDeg(a) * speed;
  return 0;
}

int IsEnemyInUse(int slot) { return InRange(slot) ? g_enemies[slot].in_use : 0; }
int GetEnemyType(int slot) { return InRange(slot) ? g_enemies[slot].type : -1; }
int GetEnemyCollisionClass(int slot) {
  return InRange(slot) ? g_enemies[slot].collision_class : -1;
}
int GetEnemyScreenState(int slot) { return InRange(slot) ? g_enemies[slot].screen_state : -1; }

int DrawEnemyGauge(EnemyObject& e) {
  if (e.in_use != 1) return 0;
  if (e.boss_kind >= 1) {
    if (BossGaugeShown == 1) {
      int hp = e.phase_hp[0] + e.phase_hp[1] + e.phase_hp[2] + e.phase_hp[3];
      int max = e.max_phase_hp[0] + e.max_phase_hp[1] + e.max_phase_hp[2] + e.max_phase_hp[3];
      DrawBossGauge(hp, max, e.type);
    }
    return 0;
  }
  if (e.gauge_flag != 1 || e.hp < 1 || e.gauge_frames < 1) return 0;
  double ax = e.x;
  double ay = e.y - 32.0;
  switch (e.type) {
    case 6: case 11: case 19: case 30: ay = e.y - 64.0; break;
    case 20: ay = e.y - 40.0; break;
    case 26: ay = e.y - 96.0; break;
    default: break;
  }
  int64_t per = (static_cast<int64_t>(e.max_hp) * 1000) / 56;
  int filled = per > 0 ? static_cast<int>((static_cast<int64_t>(e.hp) * 1000) / per) : 0;
  int32_t gx = TruncToInt(ax) - 28;
  int32_t gy = TruncToInt(ay) - 2;
  BlitGraphicPart(gx, gy, 0, 0, 56, 4, SheetCell(kSheetEtc1, kGaugeFrameCell + 2), 1, 0);
  BlitGraphicPart(gx, gy, 0, 0, filled, 4, SheetCell(kSheetEtc1, kGaugeFrameCell + 1), 1, 0);
  DrawSpriteScreen(ax, ay, 1.0, 0.0, SheetCell(kSheetEtc1, kGaugeFrameCell), 255);
  if (g_flags.GamePaused == 0) e.gauge_frames -= 1;
  return 0;
}

int UpdateEnemies() {
  for (EnemyObject& e : g_enemies) {
    if (e.in_use != 1) continue;
    RunEnemyScript(e);
    UpdateEnemyHitBoxes(e);
    CollideEnemyWithShots(e);
    UpdateEnemyScreenState(e);
    CountBossPhaseTimers(e);
  }
  return 0;
}

int DrawAllEnemies() {
  for (EnemyObject& e : g_enemies) DrawEnemy(e);
  return 0;
}

int DrawAllEnemyGauges() {
  for (EnemyObject& e : g_enemies) DrawEnemyGauge(e);
  return 0;
}

int ResetAllEnemies() {
  for (int i = 0; i < kEnemyCount; ++i) {
    ClearEnemySlot(g_enemies[i]);
    g_enemies[i].slot = i;
  }
  return 0;
}
