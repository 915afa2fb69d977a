// The waving banner and "PRESS SHOT BUTTON" drawn over play during the
// attract demo.
#include "screens/hud.h"

#include "screens/menu_scene.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"

namespace {
constexpr int kBannerRun = 2;       // 2x32 columns from (0, 368) of bmp/start.dat
constexpr int kBannerColumns = 126;  // the picture is 252 pixels wide
}  // namespace

int DrawDemoOverlay() {
  if (g_flags.DemoMode != 1) return 0;
  double t = g_hud.demo_counter;
  int alpha = TruncToInt(SinDeg(t * 4.0) * 100.0 + 155.0);
  for (int i = 0; i < kBannerColumns; ++i) {
    double y = 200.0 + 6.0 * SinDeg(i + 5.0 * t);
    DrawSprite(54 + 2 * i, y, 1.0, 0.0, SheetRunCell(kSheetStart, kBannerRun, i), alpha);
  }
  DrawText("PRESS SHOT BUTTON", 78, 256, alpha, 1, 0);
  // Wraps rather than overflowing in a demo left running for months.
  g_hud.demo_counter = static_cast<int32_t>(static_cast<uint32_t>(g_hud.demo_counter) + 1u);
  return 0;
}
