// Result codes, the packed wave format and the flags of the audio stand-in.
// Only the codes and flags the library tests are named.
#pragma once

#include <cstdint>

namespace platform::audio {

using Result = int32_t;

constexpr Result kOk = 0;
constexpr Result kFalse = 1;
constexpr Result kErrFail = static_cast<Result>(0x80004005u);
constexpr Result kErrAbort = static_cast<Result>(0x80004004u);
constexpr Result kErrNoInterface = static_cast<Result>(0x80004002u);
constexpr Result kErrInvalidParam = static_cast<Result>(0x80070057u);
constexpr Result kErrNoDriver = static_cast<Result>(0x88780078u);
constexpr Result kErrBadFormat = static_cast<Result>(0x88780064u);
constexpr Result kErrUninitialized = static_cast<Result>(0x887800AAu);
constexpr Result kErrAlreadyInitialized = static_cast<Result>(0x887800AAu + 2);
constexpr Result kErrUnsupportedFile = static_cast<Result>(0x80040265u);
constexpr Result kErrNotFound = static_cast<Result>(0x80070002u);

inline bool Failed(Result r) { return r < 0; }

// The 18-byte wave format, laid out as stored in files and compared bytewise.
#pragma pack(push, 1)
struct WaveFormat {
  uint16_t format_tag;
  uint16_t channels;
  uint32_t samples_per_sec;
  uint32_t avg_bytes_per_sec;
  uint16_t block_align;
  uint16_t bits_per_sample;
  uint16_t extra_size;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormat) == 18);

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatMsAdpcm = 2;
constexpr uint16_t kFormatALaw = 6;
constexpr uint16_t kFormatMuLaw = 7;
constexpr uint16_t kFormatImaAdpcm = 0x11;
constexpr uint16_t kFormatMpegLayer3 = 0x55;

// Buffer creation flags.
constexpr uint32_t kBufferPrimary = 0x1;
constexpr uint32_t kBufferStatic = 0x2;
constexpr uint32_t kBufferCtrlFrequency = 0x20;
constexpr uint32_t kBufferCtrlPan = 0x40;
constexpr uint32_t kBufferCtrlVolume = 0x80;
constexpr uint32_t kBufferGlobalFocus = 0x8000;
constexpr uint32_t kBufferGetCurrentPosition2 = 0x10000;

// Play flags and status bits.
constexpr uint32_t kPlayLooping = 0x1;
constexpr uint32_t kStatusPlaying = 0x1;
constexpr uint32_t kStatusLooping = 0x4;

// Volume in hundredths of a decibel; pan likewise.
constexpr int32_t kVolumeMin = -10000;
constexpr int32_t kVolumeMax = 0;

// Window messages the audio stand-in sends to a program's window.
constexpr uint32_t kMessageMciNotify = 0x3B9;
constexpr uint32_t kMciNotifySuccessful = 1;
constexpr uint32_t kMciNotifyAborted = 4;

using WindowId = void*;

}  // namespace platform::audio
