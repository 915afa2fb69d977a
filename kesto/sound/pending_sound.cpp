// Sound operations not built yet: loads and plays fail, the rest do nothing.
#include "core/entry_bodies.h"
#include "sound/sound_system.h"

int InitializeSoundSystem() { return 0; }
int ShutdownSoundSystem() { return 0; }
int StopDirectShowMusicForExit() { return 0; }
int StopMusicPlayback() { return 0; }
int RefillAllStreamSounds() { return 0; }
int PollMusicHandles() { return 0; }
int HandleMciMusicNotify() { return 0; }
int HandleDirectShowMusicEvents() { return 0; }
int LoadSoundFileSingle(const char*) { return -1; }
int PlaySoundHandle(int, int, int) { return -1; }
int SetSoundHandleVolume(int, int) { return -1; }
int PlayMusicFile(const char*, int) { return -1; }
int IsMusicPlaying() { return 0; }
int SelectMusicEngine(int) { return 0; }

int LoadSoundFileToHandleBody(const char* path) { return LoadSoundFileSingle(path); }
int StartSoundHandleBody(int s, int type, int restart) { return PlaySoundHandle(s, type, restart); }
int AdjustSoundHandleVolumeBody(int v, int s) { return SetSoundHandleVolume(v, s); }
int StartMusicFileBody(const char* path, int type) { return PlayMusicFile(path, type); }
int HaltMusicBody() { return StopMusicPlayback(); }
int IsMusicRunningBody() { return IsMusicPlaying(); }
int ChooseMusicEngineBody(int e) { return SelectMusicEngine(e); }
