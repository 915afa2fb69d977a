// Turning a sound file into linear PCM, recognised by content: WAVE PCM,
// WAVE through the compression manager, Ogg Vorbis, and MPEG audio.
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdint>

#include "platform/audio/acm.h"
#include "platform/audio/audio_types.h"
#include "core/data_stream.h"

using platform::audio::WaveFormat;

struct SoundDecoder {
  int open;
  int end;
  int kind;  // 0 WAVE PCM, 1 converted (compressed WAVE, MPEG), 2 Ogg Vorbis
  DataStream stream;
  int64_t fmt_offset;
  uint32_t fmt_size;
  int64_t data_start;
  uint32_t data_size;
  WaveFormat format;
  int ogg_open;
  OggVorbis_File ogg;
  int ogg_bytes_per_sample;
  uint8_t* source_format;
  platform::audio::AcmStream* acm;
  uint8_t* source_buffer;
  uint32_t source_buffer_size;
  uint32_t source_held;
  int64_t total_samples;  // MPEG: counted over all frames; -1 for a compressed WAVE
  uint8_t* work;
  uint32_t work_size;
  uint32_t bytes_left;
  uint32_t read_offset;
  uint64_t position;
  int ogg_holes;  // consecutive holes met by the Ogg refill
};

int OpenSoundDecoder(const DataStream& stream, SoundDecoder* decoder);
int ReadSoundDecoder(SoundDecoder* decoder, void* destination, uint32_t size);
int SeekSoundDecoder(SoundDecoder* decoder, uint32_t sample);
uint32_t GetSoundDecoderPcmSize(SoundDecoder* decoder);
int GetSoundDecoderFormat(const SoundDecoder* decoder, WaveFormat* destination);
int DecodeSoundToPcm(SoundDecoder* decoder, WaveFormat* format, void** pcm, uint32_t* size);
int CloseSoundDecoder(SoundDecoder* decoder);

int ReadWholeSoundFile(const char* path, void** data, uint32_t* size);
int ReadWholeSoundStream(const DataStream& stream, void** data, uint32_t* size);
int BuildWaveImage(void** image, uint32_t* image_size, const void* format, uint32_t format_size,
                   const void* pcm, uint32_t pcm_size);

// The probes; each returns 0 when it takes the content.
int OpenDecoderWavePcm(SoundDecoder* decoder);
int OpenDecoderAcmWave(SoundDecoder* decoder);
int OpenDecoderOgg(SoundDecoder* decoder);
int OpenDecoderMp3(SoundDecoder* decoder);
void ReleaseAcmConversion(SoundDecoder* decoder);

// The sample width asked of Ogg Vorbis (set by sound start-up).
extern int OggBytesPerSample;

// The stream's length (tell after a seek to the end); the position is kept.
int64_t SoundStreamLength(const DataStream& stream);

// Largest PCM a whole decode hands out; bigger claims are refused.
constexpr uint32_t kMaxDecodedBytes = 256u << 20;
