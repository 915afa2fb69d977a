// Font drawing not built yet.
#include "core/entry_bodies.h"

int PrintTextBody(int, int, const char*, int) { return -1; }
