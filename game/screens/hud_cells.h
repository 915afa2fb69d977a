// Cells of the HUD and banner pictures by run of their sheet.
#pragma once

#include <cstdint>

#include "shell/image_tables.h"
#include "shell/sheet_layout.h"

// Cell `index` of run `run` of `sheet`; -1 when there is no such picture.
inline int32_t RunCell(const SheetLayout& sheet, int run, int index) {
  if (run < 0 || run >= static_cast<int>(sheet.runs.size())) return -1;
  const CellRun& r = sheet.runs[static_cast<size_t>(run)];
  if (index < 0 || index >= r.count) return -1;
  int start = 0;
  for (int i = 0; i < run; ++i) start += sheet.runs[static_cast<size_t>(i)].count;
  return SheetCell(sheet, start + index);
}
