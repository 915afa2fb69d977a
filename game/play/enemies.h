// The enemy pool: 500 records for every enemy, mid-boss, boss, part, wreck
// and spawner, with their per-frame pass, hit boxes, destruction and drawing.
#pragma once

#include <cstdint>

inline constexpr int kEnemyCount = 500;
inline constexpr int kEnemyGunCount = 20;
inline constexpr int kEnemyBoxCount = 16;
inline constexpr int kEnemyCollidingBoxes = 7;
inline constexpr int kEnemyMessageWords = 8;

// Life states: 0 entry; 1, 3, 5, 7 attack phases 1-4; 2, 4, 6 breaks; 8 dying.
// Collision classes: 0 shots and contact; 1 neither; 2 shots only; 3 contact,
// shots absorbed. Screen states: 0 entering, 1 on field, 2 gone.
struct EnemyObject {
  int32_t in_use;
  int32_t slot;
  int32_t type;
  int32_t variant;
  int32_t difficulty;  // 0-2 (ACCEL stored as 1)
  int32_t gun_counter[kEnemyGunCount];
  double gun_x[kEnemyGunCount];
  double gun_y[kEnemyGunCount];
  double gun_angle[kEnemyGunCount];
  int32_t gun_shots[kEnemyGunCount];
  double gun_aux[kEnemyGunCount];
  int32_t gun_words[4];
  int32_t hp;
  int32_t phase_hp[4];
  int32_t max_hp;
  int32_t max_phase_hp[4];
  int32_t screen_state;
  int32_t move_state;
  int32_t script_states[32];
  int32_t script_counters[33];
  double heading;  // kept by the slot clear: types 0 and 10 set it on their first frame
  int32_t turn_angles[20];
  double work_angles[20];
  int32_t boss_kind;  // 0 none, 1 mid-boss, 2 stage boss
  int32_t draw_cell;
  int32_t draw_request;
  int32_t form;
  int32_t script_words[22];  // 0-2 also stepped by the drawing
  int32_t drawing_counter;
  int32_t drawing_alpha;
  int32_t draw_counter;
  double draw_scale;
  int32_t gauge_flag;
  int32_t gauge_frames;
  int32_t dying_flag;
  int32_t life_state;
  int32_t state_timer;
  int32_t timed_out;
  int32_t mid_boss_timer;
  int32_t phase_limits[4];
  int32_t serial;
  int32_t anim_counter;
  int32_t anim_frame;
  int32_t hit_flash;
  int32_t kill_score;
  int32_t phase_bonus[4];
  int32_t items;
  int32_t cancel_on_death;
  int32_t no_revenge;
  int32_t part_words[20];
  double left, top;
  double x, y;  // centre, screen pixels
  double vx, vy;
  double motion_x, motion_y;
  double width, height;
  double pod_x[32];
  double pod_y[32];
  double pod_vx[32];
  double pod_vy[32];
  int32_t collision_class;
  double box_left[kEnemyBoxCount];
  double box_top[kEnemyBoxCount];
  double box_right[kEnemyBoxCount];
  double box_bottom[kEnemyBoxCount];
  uint32_t args[4];
  int32_t message[kEnemyMessageWords];  // a parent's word k: the slot of its part k
  int32_t linked;
  int32_t part_index;
  int32_t parent_slot;
  int32_t parent_serial;
};

extern EnemyObject g_enemies[kEnemyCount];
// Serial number of the next enemy; restarts at 0 with the stage object.
extern int32_t EnemySerialCounter;
// 1 while a boss-class enemy lives: gates the HUD boss gauge.
extern int32_t BossGaugeShown;

struct SlotRange {
  int first;
  int last;  // inclusive
};
SlotRange GetEnemySlotRange(int type);

// x in field coordinates (140 is added), y in screen pixels. -1 when the
// type's slot range is full.
int SpawnEnemy(double x, double y, int type, int variant);
int SpawnEnemyWithArgs(double x, double y, int type, int variant, uint32_t a0, uint32_t a1,
                       uint32_t a2, uint32_t a3);
// Any slot from 0 up, for boss parts. Always 0, also when nothing was placed.
int SpawnEnemyAnySlot(double x, double y, int type, int variant, int parent_slot,
                      int part_index, int parent_serial);
int InitEnemySlot(double x, double y, int type, int variant, int slot, int parent_slot,
                  int part_index, int parent_serial, uint32_t a0, uint32_t a1, uint32_t a2,
                  uint32_t a3);
int ClearEnemySlot(EnemyObject& e);

int RunEnemyScript(EnemyObject& e);
int UpdateEnemyScreenState(EnemyObject& e);
int CountBossPhaseTimers(EnemyObject& e);
int DropEnemyItems(EnemyObject& e, int count, int kind);
int KillEnemiesOfParent(int with_effects, int parent_slot);
// -1 when the sender is not a linked part or the target slot or index is out of range.
int SendEnemyMessage(const EnemyObject& sender, int word, int target_slot, int index);
int ResetEnemyGuns(EnemyObject& e);
int MoveEnemyToPoint(EnemyObject& e, double* x, double* y, double tx, double ty, double speed);
int MovePointToPoint(double* x, double* y, double* vx, double* vy, double tx, double ty,
                     double speed);
int IsEnemyInUse(int slot);
int GetEnemyType(int slot);
int GetEnemyCollisionClass(int slot);
int GetEnemyScreenState(int slot);
int DrawEnemyGauge(EnemyObject& e);

// The type table: size, hit points, limits, score, items and flags.
int ApplyEnemyTypeStats(EnemyObject& e);

// Hit boxes, shots and damage.
int UpdateEnemyHitBoxes(EnemyObject& e);
int CollideEnemyWithShots(EnemyObject& e);
int DamageEnemy(EnemyObject& e, int shot_index, int shot_type);
// The hit points a shot's damage comes off: HP, or the current phase's.
int ApplyEnemyDamage(EnemyObject& e, int damage);
int EndBossPhase(EnemyObject& e);
// Strict overlap: touching edges do not hit.
bool BoxesOverlap(double l1, double t1, double r1, double b1, double l2, double t2, double r2,
                  double b2);

int DestroyEnemy(EnemyObject& e);
int PlayEnemyDeathEffects(EnemyObject& e);
int DrawEnemy(EnemyObject& e);

int UpdateEnemies();        // the per-frame enemy pass, slots 0-499
int DrawAllEnemies();       // draw pass, slots 0-499
int DrawAllEnemyGauges();   // draw pass, slots 0-499
int ResetAllEnemies();      // clears every slot

// Replaces the per-type script dispatch (tests drive the pass with their own
// script); nullptr restores it.
using EnemyScriptHook = int (*)(EnemyObject&);
void SetEnemyScriptHookForTesting(EnemyScriptHook hook);
