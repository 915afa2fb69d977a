#include "art.h"

bool PaintEffectSheet(Canvas&, const SheetLayout&, KeyMode*) { return false; }
