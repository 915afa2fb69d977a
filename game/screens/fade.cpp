#include "kesto/kesto.h"
#include "screens/overlays.h"

FadeState g_fade{};

namespace {
constexpr int kFadeStep = 3;
constexpr int kOpaque = 255;
}  // namespace

int StartFade(int mode) {
  if (mode == 0 || mode == 2) g_fade.fade_out = 1;
  if (mode == 1) g_fade.fade_in = 1;
  return 0;
}

int UpdateFade() {
  FadeState& f = g_fade;
  if (f.fade_out == 1) {
    // A fade-out cancels a fade-in under way.
    f.fade_in = 0;
    if (f.alpha < kOpaque) f.alpha += kFadeStep;
    if (f.alpha >= kOpaque) {
      f.alpha = kOpaque;
      f.fade_out = 0;
    }
    return 0;
  }
  if (f.fade_in == 1) {
    if (f.fade_in_counter == 0) f.alpha = kOpaque;
    if (f.alpha > 0) f.alpha -= kFadeStep;
    if (f.alpha < 1) {
      f.fade_in = 0;
      f.fade_in_counter = 0;
      f.alpha = 0;
    } else {
      ++f.fade_in_counter;
    }
  }
  return 0;
}

int DrawFade() {
  if (g_fade.alpha < 1) return 0;
  ChooseBlendMode(1, g_fade.alpha);
  // The play field and the right panel.
  PaintRectangle(140, 0, 640, 480, PackRgbColor(255, 255, 255), 1);
  ChooseBlendMode(1, 255);
  return 0;
}

int ResetFade() {
  g_fade = FadeState{};
  return 0;
}
