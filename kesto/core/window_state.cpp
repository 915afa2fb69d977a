#include "core/window_state.h"

#include <cstring>

namespace {
WindowCoreState g_state{};
}  // namespace

WindowCoreState& CoreState() { return g_state; }

void ClearCoreStateKeepingSettings() {
  const KeptWindowSettings kept = g_state.kept;
  g_state = WindowCoreState{};
  g_state.kept = kept;
}

void ResetCoreStateForTesting() { g_state = WindowCoreState{}; }

int IsWindowedMode() { return g_state.kept.window_mode; }
platform::window::WindowHandle ReadMainWindowHandle() { return g_state.main_window; }

int ReadWindowClientRect(int* left, int* top, int* right, int* bottom) {
  if (left) *left = g_state.client_left;
  if (top) *top = g_state.client_top;
  if (right) *right = g_state.client_right;
  if (bottom) *bottom = g_state.client_bottom;
  return 0;
}

int ReadDesktopMode(int* width, int* height, int* bits) {
  if (width) *width = g_state.desktop_width;
  if (height) *height = g_state.desktop_height;
  if (bits) *bits = g_state.desktop_bits;
  return 0;
}

int HasWindowRegion() { return g_state.kept.window_region != nullptr; }

double GetWindowScale() {
  if (!(g_state.kept.window_scale > 0.0)) g_state.kept.window_scale = 1.0;
  return g_state.kept.window_scale;
}

int IsWindowMenuUsed() { return g_state.kept.menu_used; }
int IsClosingRequested() { return g_state.closing_requested; }

int SetWindowRectSetting(int left, int top, int right, int bottom) {
  g_state.rect_setting[0] = left;
  g_state.rect_setting[1] = top;
  g_state.rect_setting[2] = right;
  g_state.rect_setting[3] = bottom;
  return 0;
}
