// Streaming sounds: a six-second ring buffer refilled from up to three
// chained source segments on every pass of the message pump.
#pragma once

#include <cstdint>

#include "sound/sound_handles.h"

int AddSreamSound(const DataStream& source, int loop_count, int handle, int source_kind, int* source_consumed);
int AddStreamSoundFile(const char* path, int loop_count, int handle, int source_kind);
int AddStreamSoundMemory(const void* data, uint32_t size, int loop_count, int handle, int source_kind);
int PrimeStreamSound(int handle);
int PlayStreamSound(int handle, int play_type, int restart);
int StopStreamSound(int handle);
int IsStreamSoundPlaying(int handle);
int TrackStreamPlayPosition(int handle, int64_t cursor);
int RefillStreamSound(int handle);
// Closes every segment's decoder, streams and images (not the ring buffer).
void ReleaseStreamSegments(SoundRecord* record);
