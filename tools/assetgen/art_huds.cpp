#include "art.h"

bool PaintHudSheet(Canvas&, const SheetLayout&, KeyMode*) { return false; }
