// The music channel: one file at a time through the MCI sequencer (engine 0)
// or a DirectMusic segment (engine 1), falling back to the filter graph,
// which plays the game's MP3 tracks. Also the path helpers it uses.
#pragma once

#include <cstdint>

#include "platform/audio/midi_players.h"
#include "platform/audio/music_graph.h"

struct MusicState {
  uint32_t sequencer_device;
  int32_t sequencer_playing;
  int32_t loop;
  platform::audio::MusicSegment* segment;
  platform::audio::FilterGraph* graph;
  platform::audio::FilterGraph* control;
  platform::audio::FilterGraph* audio;
  platform::audio::FilterGraph* seeking;
  platform::audio::FilterGraph* events;
  int32_t graph_playing;
  int32_t graph_play_type;
};
extern MusicState g_music;

// The message the filter graph sends to the main window.
constexpr uint32_t kDirectShowMusicMessage = 0x522;

int PlayMusicDirectShow(const char* full_path, int play_type);
int SetMusicVolume(int volume);
int SetDirectShowMusicVolume(int volume);
int ReleaseDirectShowMusic();
// 260 bytes at most in `destination`, always terminated.
int ConvertFullPath(const char* path, const char* base, char* destination);
int SplitFilePath(const char* path, char* file_name, char* directory);
