// Music handles: a table of DirectMusic segments polled on every pass of the
// message pump. Nothing in this program fills it; the poll and the deletes
// still run.
#pragma once

#include <cstdint>

#include "platform/audio/midi_players.h"

constexpr int kMusicSlots = 256;
constexpr int kMusicHandleKind = 0x58000000;

struct MusicRecord {
  uint32_t serial;
  int32_t playing;
  int32_t started;
  void* data;
  platform::audio::MusicSegment* segment;
};

struct MusicTable {
  MusicRecord* slots[kMusicSlots];
  int32_t count;
  int32_t next_index;
};
extern MusicTable g_music_table;

int StopMusicHandle(int handle);
int IsMusicHandlePlaying(int handle);
int DeleteMusicHandle(int handle);
int DeleteAllMusicHandles();
