// Start-up, window, pump and input operations not built yet.
#include "core/entry_bodies.h"

int StartLibraryBody() { return -1; }
int StopLibraryBody() { return 0; }
int PumpFrameMessagesBody() { return -1; }
int ChangeWindowModeBody(int) { return 0; }
int SetWindowCaptionBody(const char*) { return 0; }
int IsKeyHeldBody(int) { return 0; }
int ReadPadBitsBody(int) { return 0; }
