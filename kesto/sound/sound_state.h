// The sound system's globals: the device objects (sound runs exactly while
// the DirectSound object exists) and the settings the other parts read.
#pragma once

#include "platform/audio/direct_sound.h"
#include "platform/audio/midi_players.h"

struct SoundSystemState {
  platform::audio::DirectSound* direct_sound;
  platform::audio::SoundBuffer* primary_buffer;
  platform::audio::SoundBuffer* silent_buffer;
  platform::audio::MusicLoader* music_loader;
  platform::audio::MusicPerformance* music_performance;
};
extern SoundSystemState g_sound_system;

extern int MusicEngine;        // 0 MCI sequencer, 1 DirectMusic
extern int MasterMusicVolume;  // read from the performance at start-up
extern int SoundDataMode;      // 0: loads decode whole into static buffers

inline bool SoundRunning() { return g_sound_system.direct_sound != nullptr; }
