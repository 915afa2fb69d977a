#include "screens/menu_scene.h"

#include "shell/draw.h"
#include "shell/image_tables.h"
#include "shell/sheet_layout.h"

int32_t g_menu_highlight_pulse = 0;
int32_t g_previous_scene = 0;

int32_t SheetRunCell(const SheetLayout& sheet, int run, int index) {
  if (run < 0 || run >= static_cast<int>(sheet.runs.size())) return -1;
  if (index < 0 || index >= sheet.runs[static_cast<size_t>(run)].count) return -1;
  int start = 0;
  for (int r = 0; r < run; ++r) start += sheet.runs[static_cast<size_t>(r)].count;
  return SheetCell(sheet, start + index);
}

void DrawMenuStripes(MenuStripes& stripes, int row) {
  int32_t stripe = SheetRunCell(kSheetEtc3, row, 0);
  double s = stripes.offset;
  DrawSprite(180 + s, 24, 1.0, 0.0, stripe, 255);
  DrawSprite(s - 204, 24, 1.0, 0.0, stripe, 255);
  DrawSprite(180 - s, 456, 1.0, 0.0, stripe, 255);
  DrawSprite(564 - s, 456, 1.0, 0.0, stripe, 255);
  stripes.offset = stripes.offset >= 383 ? 0 : stripes.offset + 1;
}

double RampFactor(const ScaleRamp& ramp) { return ramp.tenths / 10.0; }

void StepRamp(ScaleRamp& ramp, int step, int target) {
  if (ramp.tenths < target) {
    ramp.tenths = ramp.tenths + step > target ? target : ramp.tenths + step;
  } else if (ramp.tenths > target) {
    ramp.tenths = ramp.tenths - step < target ? target : ramp.tenths - step;
  }
}
