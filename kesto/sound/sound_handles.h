// Sound handles: the table of sound records, the buffers behind each handle,
// loading, playing, stopping, querying, volume and deletion. Streaming sounds
// share the record and the handle; their own operations are in
// stream_sound.h.
#pragma once

#include <cstdint>

#include "platform/audio/direct_sound.h"
#include "sound/sound_decoder.h"

using platform::audio::SoundBuffer;

constexpr int kSoundSlots = 4096;
constexpr int kMaxSoundBuffers = 10;
constexpr int kSoundHandleKind = 0x10000000;

struct StreamSegment {
  int8_t loop_count;
  int32_t source_kind;
  uint8_t* image;
  uint32_t image_size;
  DataStream memory_stream;  // handle null for kind 3
  DataStream source;         // what the decoder reads when kind 3
  SoundDecoder decoder;
};

struct SoundRecord {
  uint32_t serial;
  SoundBuffer* buffers[kMaxSoundBuffers];
  int32_t buffer_count;
  WaveFormat format;
  uint32_t pcm_size;
  uint8_t* pcm;
  int32_t kind;  // 0 static, 1 streaming
  StreamSegment segments[3];
  uint8_t source_opened[3];
  int32_t segment_count;
  int32_t current_segment;
  int32_t plays_done;
  uint32_t ring_size;
  int32_t write_position;
  int32_t refill_limit;
  int32_t segment_read_position;
  uint32_t played_bytes;
  uint32_t last_play_cursor;
  int32_t wrap_pending;
  uint32_t wrap_position;
  uint8_t started;
  uint8_t play_type;
  uint8_t chain_done;
  uint8_t end_of_data;
  uint32_t end_position;
  uint32_t end_cursor;
  uint32_t bytes_per_second;
};

struct SoundTable {
  SoundRecord* slots[kSoundSlots];
  int32_t count;
  int32_t next_index;
  int32_t serial_counter;
};
extern SoundTable g_sound_table;

// The record of a valid handle, or null.
SoundRecord* SoundRecordOf(int handle);
int SoundHandleOf(const SoundRecord* record, int slot);

int AddSoundData();
int CreateSoundBuffers(int handle, const WaveFormat* format, uint32_t buffer_bytes, int kind, int buffer_count);
int LoadSoundFile(const char* path, int buffer_count);
int LoadSoundMemory(const void* data, uint32_t size, int buffer_count);
int StopSoundHandle(int handle);
int IsSoundHandlePlaying(int handle);
int DeleteSoundHandle(int handle);
int DeleteAllSoundHandles();
