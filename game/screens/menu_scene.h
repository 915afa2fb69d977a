// Pieces shared by the menu screens: the highlight pulse, the scene a menu
// was left from, sheet cells by run, and the moving stripes and title-plate
// zoom of the mode and fighter select screens.
#pragma once

#include <cstdint>

struct SheetLayout;

// The pulse of every menu highlight bar; one counter for the whole game.
extern int32_t g_menu_highlight_pulse;
// The menu that handed over to the current screen: 2 after the main menu,
// 3 after the stage select.
extern int32_t g_previous_scene;

// Cell `index` of run `run` of a loaded sheet; -1 when there is none.
int32_t SheetRunCell(const SheetLayout& sheet, int run, int index);

// Stripes along the top and bottom edge, moving one pixel a frame.
struct MenuStripes {
  int32_t offset;  // 0..383
};
// Draws stripe `row` of bmp/etc3.dat at the current offset, then advances it.
void DrawMenuStripes(MenuStripes& stripes, int row);

// Scale factors kept in whole tenths so that ramps land exactly on their ends.
struct ScaleRamp {
  int32_t tenths;
};
double RampFactor(const ScaleRamp& ramp);
// One step toward `target` (tenths) by `step` tenths; stops on the target.
void StepRamp(ScaleRamp& ramp, int step, int target);
