#include "art.h"

bool PaintStageSheet(Canvas&, const SheetLayout&, KeyMode*) { return false; }
