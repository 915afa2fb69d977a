// The stand-in art: one painter per picture file of the sheet layout.
#pragma once

#include "canvas.h"
#include "shell/sheet_layout.h"

// Paints the whole sheet and returns the finished, colour-keyed picture.
// Every sheet of AllSheets() has a painter.
Picture PaintSheet(const SheetLayout& sheet);

// Painters by group; each returns false when the sheet is not one of its own.
bool PaintFighterSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode);
bool PaintEnemySheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode);
bool PaintShotSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode);
bool PaintEffectSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode);
bool PaintScreenSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode);
bool PaintStageSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode);
bool PaintHudSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode);
