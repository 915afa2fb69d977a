#include "art.h"

bool PaintShotSheet(Canvas&, const SheetLayout&, KeyMode*) { return false; }
