#include "platform/audio/sound_buffer.h"

#include <algorithm>
#include <cstring>

#include "platform/audio/direct_sound.h"
#include "platform/audio/mixer.h"

namespace platform::audio {

namespace {

// One sample as 16 bits: 8-bit is unsigned, wider formats keep the top bits.
inline int32_t ReadSample(const uint8_t* p, uint32_t bytes) {
  switch (bytes) {
    case 1:
      return (static_cast<int32_t>(p[0]) - 128) * 256;
    case 2:
      return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    case 3:
      return static_cast<int16_t>(static_cast<uint16_t>(p[1] | (p[2] << 8)));
    default:
      return static_cast<int16_t>(static_cast<uint16_t>(p[2] | (p[3] << 8)));
  }
}

// A frame as left and right: mono goes to both sides, more than two channels
// are averaged, even ones to the left and odd ones to the right.
inline void ReadFrame(const SampleData& data, uint32_t frame, int32_t* left, int32_t* right) {
  const uint32_t width = data.format.bits_per_sample / 8;
  const uint8_t* p = data.bytes.data() + static_cast<size_t>(frame) * data.frame_size;
  const uint32_t channels = data.format.channels;
  if (channels == 1) {
    *left = *right = ReadSample(p, width);
  } else if (channels == 2) {
    *left = ReadSample(p, width);
    *right = ReadSample(p + width, width);
  } else {
    int32_t l = 0, r = 0;
    for (uint32_t c = 0; c < channels; ++c) {
      (c % 2 == 0 ? l : r) += ReadSample(p + c * width, width);
    }
    *left = l / static_cast<int32_t>((channels + 1) / 2);
    *right = r / static_cast<int32_t>(channels / 2);
  }
}

}  // namespace

bool AcceptableBufferFormat(const WaveFormat& format, uint32_t bytes) {
  if (format.format_tag != kFormatPcm) return false;
  const uint32_t bits = format.bits_per_sample;
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (format.channels < 1 || format.channels > 8) return false;
  if (format.block_align != format.channels * bits / 8) return false;
  if (format.samples_per_sec < 1 || format.samples_per_sec > 384000) return false;
  return bytes >= 1 && bytes <= 0x0FFFFFFFu;
}

SoundBuffer* SoundBuffer::MakePrimary() {
  auto* buffer = new SoundBuffer();
  buffer->primary_ = true;
  buffer->flags_ = kBufferPrimary;
  return buffer;
}

SoundBuffer* SoundBuffer::MakeSecondary(const WaveFormat& format, uint32_t bytes, uint32_t flags) {
  if (!AcceptableBufferFormat(format, bytes)) return nullptr;
  auto* buffer = new SoundBuffer();
  buffer->flags_ = flags;
  buffer->data_ = std::make_shared<SampleData>();
  buffer->data_->bytes.assign(bytes, 0);
  buffer->data_->format = format;
  buffer->data_->frame_size = format.block_align;
  buffer->data_->frames = bytes / format.block_align;
  buffer->Recompute();
  return buffer;
}

SoundBuffer* SoundBuffer::Duplicate() {
  if (primary_ || !data_) return nullptr;
  auto* copy = new SoundBuffer();
  copy->flags_ = flags_;
  copy->data_ = data_;
  copy->Recompute();
  return copy;
}

SoundBuffer::~SoundBuffer() = default;

uint32_t SoundBuffer::Release() {
  if (--refs_ > 0) return refs_;
  {
    Mixer& mixer = Mixer::Get();
    std::lock_guard lock(mixer.mutex());
    mixer.RemoveBufferLocked(this);
  }
  delete this;
  return 0;
}

void SoundBuffer::Recompute() {
  // A positive pan lowers the left side, a negative one the right.
  gain_left_ = GainFromHundredthsDb(volume_ - std::max(pan_, 0));
  gain_right_ = GainFromHundredthsDb(volume_ + std::min(pan_, 0));
}

Result SoundBuffer::GetStatus(uint32_t* status) {
  if (status == nullptr) return kErrInvalidParam;
  std::lock_guard lock(Mixer::Get().mutex());
  *status = (playing_ ? kStatusPlaying : 0) | (playing_ && looping_ ? kStatusLooping : 0);
  return kOk;
}

Result SoundBuffer::GetCurrentPosition(uint32_t* play, uint32_t* write) {
  if (primary_ || !data_) return kErrInvalidParam;
  Mixer& mixer = Mixer::Get();
  std::lock_guard lock(mixer.mutex());
  const uint32_t frame = static_cast<uint32_t>(position_ >> 32);
  if (play != nullptr) *play = frame * data_->frame_size;
  if (write != nullptr) {
    const uint64_t ahead = playing_ ? static_cast<uint64_t>(mixer.period_frames()) : 0;
    *write = static_cast<uint32_t>((frame + ahead) % data_->frames) * data_->frame_size;
  }
  return kOk;
}

Result SoundBuffer::SetCurrentPosition(uint32_t offset) {
  if (primary_ || !data_) return kErrInvalidParam;
  std::lock_guard lock(Mixer::Get().mutex());
  const uint32_t frame = offset / data_->frame_size;
  position_ = static_cast<uint64_t>(frame < data_->frames ? frame : 0) << 32;
  return kOk;
}

Result SoundBuffer::Play(uint32_t, uint32_t, uint32_t flags) {
  Mixer& mixer = Mixer::Get();
  std::lock_guard lock(mixer.mutex());
  if (primary_) return kOk;
  if (!mixer.is_open()) return kErrUninitialized;
  playing_ = true;
  looping_ = (flags & kPlayLooping) != 0;
  mixer.AddBufferLocked(this);
  return kOk;
}

Result SoundBuffer::Stop() {
  Mixer& mixer = Mixer::Get();
  std::lock_guard lock(mixer.mutex());
  playing_ = false;
  mixer.RemoveBufferLocked(this);
  return kOk;
}

Result SoundBuffer::SetVolume(int32_t volume) {
  if (volume < kVolumeMin || volume > kVolumeMax) return kErrInvalidParam;
  std::lock_guard lock(Mixer::Get().mutex());
  volume_ = volume;
  Recompute();
  return kOk;
}

Result SoundBuffer::GetVolume(int32_t* volume) {
  if (volume == nullptr) return kErrInvalidParam;
  std::lock_guard lock(Mixer::Get().mutex());
  *volume = volume_;
  return kOk;
}

Result SoundBuffer::SetPan(int32_t pan) {
  if (pan < -10000 || pan > 10000) return kErrInvalidParam;
  std::lock_guard lock(Mixer::Get().mutex());
  pan_ = pan;
  Recompute();
  return kOk;
}

Result SoundBuffer::SetFrequency(uint32_t frequency) {
  if (frequency != 0 && (frequency < 100 || frequency > 200000)) return kErrInvalidParam;
  std::lock_guard lock(Mixer::Get().mutex());
  frequency_ = frequency;
  return kOk;
}

Result SoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** region1, uint32_t* bytes1,
                         void** region2, uint32_t* bytes2, uint32_t) {
  if (primary_ || !data_ || region1 == nullptr || bytes1 == nullptr) return kErrInvalidParam;
  const size_t size = data_->bytes.size();
  if (locked_ || bytes == 0 || offset >= size || bytes > size) return kErrInvalidParam;
  if (FaultSet(Fault::kLock)) return kErrFail;
  const uint32_t first = static_cast<uint32_t>(std::min<size_t>(bytes, size - offset));
  const uint32_t second = bytes - first;
  if (second > 0 && (region2 == nullptr || bytes2 == nullptr)) return kErrInvalidParam;
  {
    std::lock_guard lock(Mixer::Get().mutex());
    staging_.resize(bytes);
    std::memcpy(staging_.data(), data_->bytes.data() + offset, first);
    if (second > 0) std::memcpy(staging_.data() + first, data_->bytes.data(), second);
  }
  locked_ = true;
  lock_offset_ = offset;
  lock_bytes_ = bytes;
  *region1 = staging_.data();
  *bytes1 = first;
  if (region2 != nullptr) *region2 = second > 0 ? staging_.data() + first : nullptr;
  if (bytes2 != nullptr) *bytes2 = second;
  return kOk;
}

Result SoundBuffer::Unlock(void* region1, uint32_t bytes1, void* region2, uint32_t bytes2) {
  if (!locked_ || region1 != staging_.data()) return kErrInvalidParam;
  if (FaultSet(Fault::kUnlock)) {
    locked_ = false;
    return kErrFail;
  }
  const size_t size = data_->bytes.size();
  const uint32_t first = static_cast<uint32_t>(std::min<size_t>(lock_bytes_, size - lock_offset_));
  bytes1 = std::min(bytes1, first);
  bytes2 = region2 != nullptr ? std::min(bytes2, lock_bytes_ - first) : 0;
  {
    std::lock_guard lock(Mixer::Get().mutex());
    std::memcpy(data_->bytes.data() + lock_offset_, staging_.data(), bytes1);
    if (bytes2 > 0) std::memcpy(data_->bytes.data(), staging_.data() + first, bytes2);
  }
  locked_ = false;
  return kOk;
}

Result SoundBuffer::SetFormat(const WaveFormat* format) {
  if (!primary_ || format == nullptr) return kErrInvalidParam;
  primary_format_ = *format;
  return kOk;
}

bool SoundBuffer::MixLocked(int32_t* accum, int frames, int device_rate) {
  if (!playing_ || !data_ || data_->frames == 0) {
    playing_ = false;
    return false;
  }
  const SampleData& data = *data_;
  const uint64_t total = data.frames;
  const uint32_t rate = frequency_ != 0 ? frequency_ : data.format.samples_per_sec;
  const uint64_t step = (static_cast<uint64_t>(rate) << 32) / static_cast<uint64_t>(device_rate);
  const int64_t gl = gain_left_;
  const int64_t gr = gain_right_;
  for (int i = 0; i < frames; ++i) {
    uint64_t frame = position_ >> 32;
    if (frame >= total) {
      if (!looping_) {
        playing_ = false;
        position_ = 0;
        return false;
      }
      frame %= total;
      position_ = (frame << 32) | (position_ & 0xFFFFFFFFu);
    }
    const uint32_t frac = static_cast<uint32_t>(position_);
    int32_t l0, r0;
    ReadFrame(data, static_cast<uint32_t>(frame), &l0, &r0);
    int64_t l = l0, r = r0;
    if (frac != 0) {
      uint64_t next = frame + 1;
      if (next >= total) next = looping_ ? 0 : frame;
      int32_t l1, r1;
      ReadFrame(data, static_cast<uint32_t>(next), &l1, &r1);
      l += ((static_cast<int64_t>(l1) - l0) * frac) >> 32;
      r += ((static_cast<int64_t>(r1) - r0) * frac) >> 32;
    }
    accum[2 * i] += static_cast<int32_t>((l * gl) >> 16);
    accum[2 * i + 1] += static_cast<int32_t>((r * gr) >> 16);
    position_ += step;
  }
  if ((position_ >> 32) >= total && !looping_) {
    playing_ = false;
    position_ = 0;
    return false;
  }
  return true;
}

}  // namespace platform::audio
