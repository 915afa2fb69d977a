// The ten bullet-cancel slots.
#pragma once

#include <cstdint>

inline constexpr int kBulletCancelSlots = 10;

struct BulletCancelSlot {
  uint32_t active;
  int32_t frames_left;
  int32_t frames_total;
  uint32_t convert_now;
  int32_t kind;
};

extern BulletCancelSlot g_bullet_cancels[kBulletCancelSlots];

// -1 when all ten run (nothing starts).
int StartBulletCancel(int kind, int frames);
int UpdateBulletCancel();
int ResetAllBulletCancelSlots();
