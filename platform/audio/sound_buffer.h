// A DirectSound-like buffer: sample data shared with its duplicates, and a
// position, status, volume, pan and frequency of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio/audio_types.h"

namespace platform::audio {

struct SampleData {
  std::vector<uint8_t> bytes;
  WaveFormat format{};
  uint32_t frame_size = 0;  // channels x bytes per sample, never the header's align
  uint32_t frames = 0;      // whole frames in bytes
};

// Whether a buffer of this format and size can be made. Integer PCM of 8,
// 16, 24 or 32 bits, 1 to 8 channels, a block align that matches them, a
// rate of 1 Hz to 384 kHz and 1 byte to 0x0FFFFFFF.
bool AcceptableBufferFormat(const WaveFormat& format, uint32_t bytes);

class SoundBuffer {
 public:
  // A primary buffer (no data) or a secondary one over fresh data.
  static SoundBuffer* MakePrimary();
  static SoundBuffer* MakeSecondary(const WaveFormat& format, uint32_t bytes, uint32_t flags);
  SoundBuffer* Duplicate();

  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();

  Result GetStatus(uint32_t* status);
  Result GetCurrentPosition(uint32_t* play, uint32_t* write);
  Result SetCurrentPosition(uint32_t offset);
  Result Play(uint32_t reserved1, uint32_t priority, uint32_t flags);
  Result Stop();
  Result SetVolume(int32_t volume);
  Result GetVolume(int32_t* volume);
  Result SetPan(int32_t pan);
  Result SetFrequency(uint32_t frequency);
  // Up to two regions when the range passes the end of the buffer. Writes
  // land in the shared data at Unlock.
  Result Lock(uint32_t offset, uint32_t bytes, void** region1, uint32_t* bytes1, void** region2,
              uint32_t* bytes2, uint32_t flags);
  Result Unlock(void* region1, uint32_t bytes1, void* region2, uint32_t bytes2);
  // Primary buffer only: the format is kept, the output's rate stays.
  Result SetFormat(const WaveFormat* format);

  bool primary() const { return primary_; }
  uint32_t flags() const { return flags_; }
  const WaveFormat& primary_format() const { return primary_format_; }
  size_t byte_size() const { return data_ ? data_->bytes.size() : 0; }
  // Mixes into accum with the mixer's lock held; false once the buffer has
  // stopped by reaching its end.
  bool MixLocked(int32_t* accum, int frames, int device_rate);

 private:
  SoundBuffer() = default;
  ~SoundBuffer();
  void Recompute();

  uint32_t refs_ = 1;
  bool primary_ = false;
  uint32_t flags_ = 0;
  WaveFormat primary_format_{};
  std::shared_ptr<SampleData> data_;
  bool playing_ = false;
  bool looping_ = false;
  uint64_t position_ = 0;  // frames in the high 32 bits, fraction in the low
  int32_t volume_ = 0;
  int32_t pan_ = 0;
  uint32_t frequency_ = 0;
  int32_t gain_left_ = 65536;
  int32_t gain_right_ = 65536;
  // Locked bytes stay here until Unlock copies them into the shared data.
  std::vector<uint8_t> staging_;
  uint32_t lock_offset_ = 0;
  uint32_t lock_bytes_ = 0;
  bool locked_ = false;
};

}  // namespace platform::audio
