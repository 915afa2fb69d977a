#include "screens/screen_frame.h"

#include "screens/hud.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/menu.h"

int FinishScreenFrame(int scene, int draw_debug_counters) {
  HandleSystemKeys();
  if (g_flags.CurrentScene != scene) return 1;
  DrawWallOverlay();
  if (draw_debug_counters != 0) DrawDebugCounters();
  EndFrame(g_frame_clock);
  return 0;
}
