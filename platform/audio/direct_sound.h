// The DirectSound-like device object: initialise on the default output,
// cooperative level, buffer creation and duplication, capabilities; the
// device list for the start-up report; and the failure switches that let
// tests walk the library's fallback paths.
#pragma once

#include <cstdint>
#include <string>

#include "platform/audio/audio_types.h"
#include "platform/audio/sound_buffer.h"

namespace platform::audio {

// Points where a test can make the stand-in fail.
enum class Fault {
  kCreateDirectSound,
  kInitialize,
  kCooperativeLevel,
  kPrimaryBuffer,
  kPrimaryFormat,
  kCreateBuffer,      // every secondary CreateSoundBuffer
  kCreateBufferFull,  // CreateSoundBuffer with the frequency-control flag only
  kDuplicateBuffer,
  kLock,
  kUnlock,
  kCreateLoader,
  kCreatePerformance,
  kCreateDirectMusic,
  kQueryDirectMusic8,
  kInitAudio,
  kLoadAudioModule,
  kFindEnumerate,
  kCreateFilterGraph,
  kRenderFile,
  kCount
};
void SetFault(Fault fault, bool on);
bool FaultSet(Fault fault);
void ClearFaults();

struct BufferDesc {
  uint32_t size = 36;
  uint32_t flags = 0;
  uint32_t buffer_bytes = 0;
  uint32_t reserved = 0;
  const WaveFormat* format = nullptr;
  uint8_t algorithm_3d[16] = {};
};

// Capability bits.
constexpr uint32_t kCapsPrimaryMono = 0x1;
constexpr uint32_t kCapsPrimaryStereo = 0x2;
constexpr uint32_t kCapsPrimary8Bit = 0x4;
constexpr uint32_t kCapsPrimary16Bit = 0x8;
constexpr uint32_t kCapsSecondaryMono = 0x100;
constexpr uint32_t kCapsSecondaryStereo = 0x200;
constexpr uint32_t kCapsSecondary8Bit = 0x400;
constexpr uint32_t kCapsSecondary16Bit = 0x800;

struct Caps {
  uint32_t size = 96;
  uint32_t flags = 0;
  uint32_t min_secondary_rate = 0;
  uint32_t max_secondary_rate = 0;
  uint32_t total_hw_mem_bytes = 0;
  uint32_t free_hw_mem_bytes = 0;
};

// What GetCaps reports; tests may change it to walk the primary-format rules.
Caps& ReportedCaps();

constexpr uint32_t kCoopPriority = 2;

class DirectSound {
 public:
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();
  // Opens the output (the default device only).
  Result Initialize(const void* device_guid);
  Result SetCooperativeLevel(WindowId window, uint32_t level);
  Result CreateSoundBuffer(const BufferDesc* desc, SoundBuffer** out, void* outer);
  Result DuplicateSoundBuffer(SoundBuffer* original, SoundBuffer** out);
  Result GetCaps(Caps* caps);
  bool initialized() const { return initialized_; }

 private:
  friend Result CreateDirectSound(DirectSound** out);
  friend class MusicPerformance;
  DirectSound() = default;
  uint32_t refs_ = 1;
  bool initialized_ = false;
};

Result CreateDirectSound(DirectSound** out);
// Live DirectSound objects and buffers, so tests can check nothing leaks.
int LiveDirectSoundCount();

// The device list of the start-up report, reached as a loadable module.
using EnumerateCallback = int (*)(const void* guid, const char* description, const char* module,
                                  void* context);
using EnumerateFunction = Result (*)(EnumerateCallback callback, void* context);
struct AudioModule;
AudioModule* LoadAudioModule(const char* name);
EnumerateFunction FindEnumerateFunction(AudioModule* module, const char* name);
void FreeAudioModule(AudioModule* module);

}  // namespace platform::audio
