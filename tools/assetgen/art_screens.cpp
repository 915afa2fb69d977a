#include "art.h"

bool PaintScreenSheet(Canvas&, const SheetLayout&, KeyMode*) { return false; }
