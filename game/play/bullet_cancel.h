// The ten bullet-cancel slots.
#pragma once

int StartBulletCancel(int kind, int frames);
int UpdateBulletCancel();
int ResetAllBulletCancelSlots();
