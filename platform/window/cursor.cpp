#include "platform/window/cursor.h"

#include <SDL.h>

namespace platform::window {
namespace {
int g_count = 0;

void Apply() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(g_count >= 0 ? SDL_ENABLE : SDL_DISABLE);
}
}  // namespace

int ShowCursor(bool show) {
  g_count += show ? 1 : -1;
  Apply();
  return g_count;
}

int CursorDisplayCount() { return g_count; }

void HideCursor() {
  while (g_count >= 0) ShowCursor(false);
}

void GetCursorPosition(int* x, int* y) {
  int cx = 0, cy = 0;
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GetGlobalMouseState(&cx, &cy);
  if (x) *x = cx;
  if (y) *y = cy;
}

void ResetCursorForTesting() { g_count = 0; }

}  // namespace platform::window
