// Sound operations not built yet: each reports failure until its code lands.
#include "core/entry_bodies.h"

int LoadSoundFileToHandleBody(const char*) { return -1; }
int StartSoundHandleBody(int, int, int) { return -1; }
int AdjustSoundHandleVolumeBody(int, int) { return -1; }
int StartMusicFileBody(const char*, int) { return -1; }
int HaltMusicBody() { return 0; }
int IsMusicRunningBody() { return 0; }
int ChooseMusicEngineBody(int) { return 0; }
