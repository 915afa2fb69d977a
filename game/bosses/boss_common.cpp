#include "bosses/boss_common.h"

#include "kesto/kesto.h"
#include "play/explosions.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "shell/sound_bank.h"

namespace {

// Shared frame of both death sequences.
int DeathFrame(EnemyObject& e, bool count_first, int explode_until, int flash_at, int end_at) {
  int32_t& t = e.state_timer;
  if (t == 0) {
    if (flash_at >= 0) HaltMusic();
    e.collision_class = 1;
    EndBossPhase(e);
  }
  if (t % 5 == 0 && t < explode_until) SpawnBossDeathExplosions(e);
  if (t == flash_at) SpawnExplosion(e.x, e.y, 110, 0.0, 0.0);
  if (count_first) ++t;
  if (t >= end_at) {
    DestroyEnemy(e);
    return 1;
  }
  if (!count_first) ++t;
  return 0;
}

}  // namespace

void FinishBossMotion(EnemyObject& e, int code) {
  e.move_state = code;
  BossMoveTimer(e) = 0;
}

void SetBossLifeState(EnemyObject& e, int state) {
  e.life_state = state;
  e.state_timer = 0;
}

EnemyObject* FindBossPart(EnemyObject& boss, int index, int type) {
  if (index < 0 || index >= kEnemyMessageWords) return nullptr;
  int slot = boss.message[index];
  if (slot < 0 || slot >= kEnemyCount) return nullptr;
  EnemyObject& part = g_enemies[slot];
  if (part.in_use != 1 || part.type != type || part.part_index != index) return nullptr;
  if (part.parent_slot != boss.slot || part.parent_serial != boss.serial) return nullptr;
  return &part;
}

void RunBossMoveToPoint(EnemyObject& e, double tx, double ty, double speed, int code) {
  if (MoveEnemyToPoint(e, &e.x, &e.y, tx, ty, speed) == 1) FinishBossMotion(e, code);
}

void RunBossSway(EnemyObject& e, double a, int p, double b, int q) {
  int32_t& t = BossMoveTimer(e);
  e.vx = a * CosDeg(static_cast<double>(p * t));
  e.vy = b * SinDeg(static_cast<double>(q * t));
  ++t;
}

void RunBossVerticalBrake(EnemyObject& e, double v0, double dv, int code) {
  int32_t& t = BossMoveTimer(e);
  if (t == 0) e.vy = v0;
  if (e.vy * dv < 0.0) e.vy += dv;
  if (e.vy * v0 <= 0.0) {
    e.vy = 0.0;
    FinishBossMotion(e, code);
    return;
  }
  ++t;
}

void HoldBossMoveTimer(EnemyObject& e) { BossMoveTimer(e) = 0; }

bool CountBossStep(EnemyObject& e, int end) {
  e.state_timer += 1;
  // >= rather than ==: a step entered late must still end.
  if (e.state_timer < end) return false;
  ResetEnemyGuns(e);
  e.state_timer = 0;
  return true;
}

void RunBossPattern(EnemyObject& e, const BossPattern (&sets)[3]) {
  if (e.difficulty >= 0 && e.difficulty <= 2) sets[e.difficulty](e);
}

void RunBossSidePattern(EnemyObject& e, const BossSidePattern (&sets)[3], int side) {
  if (e.difficulty >= 0 && e.difficulty <= 2) sets[e.difficulty](e, side);
}

bool RunBossWindowStep(EnemyObject& e, const BossWindowStep& s) {
  if (InBossWindow(e, s.first, s.last)) RunBossPattern(e, *s.sets);
  return CountBossStep(e, s.end);
}

void SpawnBossDeathExplosions(EnemyObject& e) {
  const int w = TruncToInt(e.width);
  const int h = TruncToInt(e.height);
  PlaySoundEffect(20);
  // Each draw into its own local, in the order replays depend on.
  const int dx = RandomIntSigned(w / 2 - 40);
  const int dy = RandomIntSigned(h / 2 - 30);
  const int a52 = RandomInt(360);
  SpawnExplosion(e.x + dx, e.y + dy, 52, a52, 2.0);
  const int a55 = RandomInt(360);
  SpawnExplosion(e.x - dx, e.y - dy, 55, a55, 2.0);
  const double speed = PatternRatio(RandomInt(20), 10) + 2.0;
  const int angle = RandomInt(360);
  const int ry = RandomIntSigned(h / 4);
  const int rx = RandomIntSigned(w / 4);
  SpawnExplosionEx(e.x + rx, e.y + ry, 122, angle, speed, 1.0, 0.0);
}

void SpawnBossSideBlasts(EnemyObject& e) {
  const double x = e.x, y = e.y;
  for (int a = 0; a <= 320; a += 40) {
    const double c = 60.0 * CosDeg(a), s = 60.0 * SinDeg(a);
    SpawnExplosion(x - 120 + c, y + s, 52, a, 2.0);
    SpawnExplosion(x + 120 + c, y + s, 52, a, 2.0);
  }
  const double drift = GetScrollSpeed(1);
  SpawnExplosion(x - 120, y, 52, 90.0, drift);
  SpawnExplosion(x + 120, y, 52, 90.0, drift);
}

void SpawnBossDebrisPiece(double x, double y, int a) {
  const double speed = PatternRatio(RandomInt(40), 10) + 1.0;
  const int angle = a + RandomInt(30);
  SpawnExplosion(x + CosDeg(a) * 32.0, y + SinDeg(a) * 32.0, 122, angle, speed);
}

int RunBossDeathFrame(EnemyObject& e, bool count_first) {
  return DeathFrame(e, count_first, 200, 200, 240);
}

int RunMidBossDeathFrame(EnemyObject& e, bool count_first) {
  return DeathFrame(e, count_first, 90, -1, 130);
}

void RunBossSwayHalfTime(EnemyObject& e, double a, int p, double b) {
  int32_t& t = BossMoveTimer(e);
  e.vx = a * CosDeg(static_cast<double>(p * t));
  e.vy = b * SinDeg(static_cast<double>(t / 2));
  ++t;
}

void TurnMidBossTurret(int32_t& angle, int32_t& mode, double x, double y) {
  switch (mode) {
    case kMidBossTurretTrack:
      angle = TruncToInt(TurnAngleToward(angle, AngleToPlayer(x, y), 3.0));
      break;
    case kMidBossTurretToRest:
      angle = TruncToInt(TurnAngleToward(angle, 90.0, 3.0));
      if (angle == 90) mode = kMidBossTurretAtRest;
      break;
    case kMidBossTurretHeld:
      angle = TruncToInt(WrapAngleInt(angle));
      break;
    default:
      break;
  }
}
