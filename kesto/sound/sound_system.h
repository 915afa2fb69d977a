// What the rest of the library calls of the sound layer: start and end,
// the per-pump refill and poll, and the music notifications.
#pragma once

int InitializeSoundSystem();
int ShutdownSoundSystem();
int StopDirectShowMusicForExit();
int StopMusicPlayback();
int RefillAllStreamSounds();
int PollMusicHandles();
int HandleMciMusicNotify();
int HandleDirectShowMusicEvents();

int LoadSoundFileSingle(const char* path);
int PlaySoundHandle(int sound, int play_type, int restart_from_start);
int SetSoundHandleVolume(int volume, int sound);
int PlayMusicFile(const char* path, int play_type);
int IsMusicPlaying();
int SelectMusicEngine(int engine);
