#include "art.h"

#include <cstdio>

Picture PaintSheet(const SheetLayout& sheet) {
  Canvas canvas(sheet.width, sheet.height);
  KeyMode mode = KeyMode::kSprite;
  bool painted = PaintFighterSheet(canvas, sheet, &mode) || PaintEnemySheet(canvas, sheet, &mode) ||
                 PaintShotSheet(canvas, sheet, &mode) || PaintEffectSheet(canvas, sheet, &mode) ||
                 PaintScreenSheet(canvas, sheet, &mode) || PaintStageSheet(canvas, sheet, &mode) ||
                 PaintHudSheet(canvas, sheet, &mode);
  if (!painted) std::fprintf(stderr, "assetgen: no painter for %s\n", sheet.path);
  return canvas.Finish(mode);
}
