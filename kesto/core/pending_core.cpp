// Core operations not built yet: each reports failure until its code lands.
#include "core/entry_bodies.h"

int StartLibraryBody() { return -1; }
int StopLibraryBody() { return 0; }
int PumpFrameMessagesBody() { return -1; }
int ChangeWindowModeBody(int) { return 0; }
int SetWindowCaptionBody(const char*) { return 0; }
int SleepWithPumpBody(int) { return 0; }
int ReadMillisecondClockBody(int) { return 0; }
int ReadLocalClockBody(int*) { return 0; }
int IsKeyHeldBody(int) { return 0; }
int ReadPadBitsBody(int) { return 0; }
