// Clock operations not built yet.
#include "core/entry_bodies.h"

int SleepWithPumpBody(int) { return 0; }
int ReadMillisecondClockBody(int) { return 0; }
int ReadLocalClockBody(int*) { return 0; }
