#include <initializer_list>

#include "play/enemies.h"
#include "play/explosions.h"
#include "play/stage.h"
#include "shell/frame.h"
#include "shell/game_math.h"
#include "shell/sound_bank.h"

namespace {

bool Is(int type, std::initializer_list<int> types) {
  for (int t : types)
    if (t == type) return true;
  return false;
}

void HeadingBurst(const EnemyObject& e) {
  SpawnExplosion(e.x, e.y, 50, VectorAngle(e.vx, e.vy), 3.0);
}

void GroundBurst(const EnemyObject& e, int kind) {
  SpawnExplosion(e.x, e.y, kind, 90.0, GetScrollSpeed(1));
}

void Sparks(const EnemyObject& e) {
  for (int a = 0; a <= 270; a += 90) {
    double angle = a + RandomInt(30);
    SpawnExplosion(e.x, e.y, 54, angle, 4.0);
  }
}

void DebrisRing(const EnemyObject& e, double r, int scale) {
  for (int a = 0; a <= 300; a += 60) {
    int u = RandomInt(40);
    int w = RandomInt(30);
    double x = e.x + CosDeg(a) * r;
    double y = e.y + SinDeg(a) * r;
    double speed = u / 10.0 + 1.0;
    if (scale == 2)
      SpawnExplosionEx(x, y, 122, a + w, speed, 1.0, 0.0);
    else
      SpawnExplosion(x, y, 122, a + w, speed);
  }
}

void Ring(const EnemyObject& e, int kind, double r, double v) {
  for (int a = 0; a <= 320; a += 40)
    SpawnExplosion(e.x + CosDeg(a) * r, e.y + SinDeg(a) * r, kind, a, v);
}

void DoubleRingStep(double px, double py, int a) {
  SpawnExplosion(px + CosDeg(a) * 60.0, py + SinDeg(a) * 60.0, 52, a, 2.0);
  SpawnExplosion(px + CosDeg(a + 20) * 60.0, py + SinDeg(a + 20) * 60.0, 52, a + 20, 4.0);
}

// A script may shrink the size below 2: the draw still happens and gives 0.
int SignedSpan(double size) { return RandomIntSigned(TruncToInt(size) / 2); }

void Scatter(const EnemyObject& e, int n) {
  for (int i = 0; i < n; ++i) {
    int u = RandomInt(20);
    int w = RandomInt(360);
    int dy = SignedSpan(e.height);
    int dx = SignedSpan(e.width);
    SpawnExplosionEx(e.x + dx, e.y + dy, 122, w, u / 10.0, 1.0, 0.0);
  }
}

}  // namespace

int PlayEnemyDeathEffects(EnemyObject& e) {
  int t = e.type;
  if (Is(t, {0, 10, 21})) {
    PlaySoundEffect(20);
    HeadingBurst(e);
    Sparks(e);
    DebrisRing(e, 0.0, 1);
  } else if (Is(t, {7, 9, 16, 24, 25, 31, 33})) {
    PlaySoundEffect(20);
    GroundBurst(e, 50);
    Sparks(e);
    DebrisRing(e, 0.0, 1);
  } else if (Is(t, {1, 2, 3, 12, 13, 15, 18, 22, 23, 29, 34})) {
    PlaySoundEffect(21);
    GroundBurst(e, 52);
    Ring(e, 50, 48.0, 1.0);
    DebrisRing(e, 32.0, 1);
  } else if (t == 101) {
    PlaySoundEffect(21);
    GroundBurst(e, 57);
    Ring(e, 58, 48.0, 1.0);
    DebrisRing(e, 32.0, 1);
  } else if (Is(t, {201, 202})) {
    PlaySoundEffect(21);
    Ring(e, 50, 60.0, 2.0);
    GroundBurst(e, 52);
    DebrisRing(e, 32.0, 2);
  } else if (Is(t, {4, 8, 11, 17, 35})) {
    PlaySoundEffect(21);
    Ring(e, 58, 60.0, 2.0);
    GroundBurst(e, 57);
    DebrisRing(e, 32.0, 2);
  } else if (Is(t, {5, 6, 14, 19, 20, 27, 36, 37})) {
    PlaySoundEffect(22);
    Ring(e, 52, 60.0, 2.0);
    GroundBurst(e, 52);
    Scatter(e, 30);
  } else if (Is(t, {26, 28, 30})) {
    PlaySoundEffect(22);
    Ring(e, 57, 60.0, 2.0);
    GroundBurst(e, 57);
    Scatter(e, 30);
  } else if (Is(t, {100, 110, 120, 200, 210, 220, 230, 250})) {
    PlaySoundEffect(22);
    for (int a = 0; a <= 320; a += 40) DoubleRingStep(e.x, e.y, a);
    SpawnExplosion(e.x, e.y, 52, 270.0, 0.0);
    Scatter(e, 60);
    StartSlowMotion(60);
  } else if (t == 240) {
    PlaySoundEffect(22);
    for (int a = 0; a <= 320; a += 40) {
      DoubleRingStep(e.x, e.y, a);
      DoubleRingStep(e.x, e.y + 120.0, a);
    }
    SpawnExplosion(e.x, e.y, 52, 270.0, 0.0);
    SpawnExplosion(e.x, e.y + 120.0, 52, 270.0, 0.0);
    Scatter(e, 60);
    StartSlowMotion(60);
  }
  return 0;
}
