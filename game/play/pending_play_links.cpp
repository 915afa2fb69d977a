// Fallbacks for the services of play_links.h until their owners land them.
// Weak, so that the real definitions replace them without a link clash.
#include "play/play_links.h"

#include "play/stage_clear.h"

namespace {
int g_boss_fight = 0;
int g_bullets_on_screen = 0;
int g_items_on_screen = 0;
}  // namespace

__attribute__((weak)) int BossFightFlag(int v) {
  if (v == 0 || v == 1) g_boss_fight = v;
  return g_boss_fight;
}
__attribute__((weak)) int GetStageClearStep() { return 0; }
__attribute__((weak)) double GetScrollSpeed(int) { return 0.0; }
__attribute__((weak)) int AddEnemyBulletCount(int n) {
  g_bullets_on_screen += n;
  return 0;
}
__attribute__((weak)) int GetEnemyBulletsOnScreen() { return g_bullets_on_screen; }
__attribute__((weak)) int AddItemCount(int n) {
  g_items_on_screen += n;
  return 0;
}
__attribute__((weak)) int GetItemsOnScreen() { return g_items_on_screen; }
__attribute__((weak)) int SpawnExplosion(double, double, int, double, double) { return 0; }
__attribute__((weak)) int SpawnScorePopup(double, double, int, int, double, double) { return 0; }
