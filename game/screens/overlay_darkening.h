// The darkened play field under the pause menu and the continue screen.
#pragma once

#include "kesto/kesto.h"

// A black rectangle over the play field at `alpha`; nothing below 1.
inline void DarkenPlayField(int alpha) {
  if (alpha < 1) return;
  ChooseBlendMode(1, alpha);
  PaintRectangle(140, 0, 500, 480, PackRgbColor(0, 0, 0), 1);
  ChooseBlendMode(1, 255);
}
