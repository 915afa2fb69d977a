#include "platform/audio/direct_sound.h"

#include <SDL.h>

#include <array>
#include <cstring>

#include "platform/audio/mixer.h"

namespace platform::audio {

namespace {

std::array<bool, static_cast<size_t>(Fault::kCount)> g_faults{};
int g_live_direct_sound = 0;

Caps DefaultCaps() {
  Caps caps;
  caps.flags = kCapsPrimaryMono | kCapsPrimaryStereo | kCapsPrimary8Bit | kCapsPrimary16Bit |
               kCapsSecondaryMono | kCapsSecondaryStereo | kCapsSecondary8Bit |
               kCapsSecondary16Bit;
  caps.min_secondary_rate = 100;
  caps.max_secondary_rate = 200000;
  return caps;
}

Caps g_caps = DefaultCaps();

}  // namespace

void SetFault(Fault fault, bool on) { g_faults[static_cast<size_t>(fault)] = on; }
bool FaultSet(Fault fault) { return g_faults[static_cast<size_t>(fault)]; }
void ClearFaults() {
  g_faults.fill(false);
  g_caps = DefaultCaps();
}

Caps& ReportedCaps() { return g_caps; }

Result CreateDirectSound(DirectSound** out) {
  if (out == nullptr) return kErrInvalidParam;
  *out = nullptr;
  if (FaultSet(Fault::kCreateDirectSound)) return kErrNoInterface;
  *out = new DirectSound();
  ++g_live_direct_sound;
  return kOk;
}

int LiveDirectSoundCount() { return g_live_direct_sound; }

uint32_t DirectSound::Release() {
  if (--refs_ > 0) return refs_;
  if (initialized_) Mixer::Get().Close();
  --g_live_direct_sound;
  delete this;
  return 0;
}

Result DirectSound::Initialize(const void*) {
  if (initialized_) return kErrAlreadyInitialized;
  if (FaultSet(Fault::kInitialize)) return kErrNoDriver;
  const Result r = Mixer::Get().Open();
  if (Failed(r)) return r;
  initialized_ = true;
  return kOk;
}

Result DirectSound::SetCooperativeLevel(WindowId, uint32_t) {
  if (!initialized_) return kErrUninitialized;
  return FaultSet(Fault::kCooperativeLevel) ? kErrFail : kOk;
}

Result DirectSound::CreateSoundBuffer(const BufferDesc* desc, SoundBuffer** out, void*) {
  if (desc == nullptr || out == nullptr) return kErrInvalidParam;
  *out = nullptr;
  if (!initialized_) return kErrUninitialized;
  if (desc->flags & kBufferPrimary) {
    if (FaultSet(Fault::kPrimaryBuffer)) return kErrFail;
    *out = SoundBuffer::MakePrimary();
    return kOk;
  }
  if (FaultSet(Fault::kCreateBuffer)) return kErrFail;
  if (FaultSet(Fault::kCreateBufferFull) && (desc->flags & kBufferCtrlFrequency)) return kErrFail;
  if (desc->format == nullptr) return kErrInvalidParam;
  SoundBuffer* buffer = SoundBuffer::MakeSecondary(*desc->format, desc->buffer_bytes, desc->flags);
  if (buffer == nullptr) return kErrBadFormat;
  *out = buffer;
  return kOk;
}

Result DirectSound::DuplicateSoundBuffer(SoundBuffer* original, SoundBuffer** out) {
  if (original == nullptr || out == nullptr) return kErrInvalidParam;
  *out = nullptr;
  if (FaultSet(Fault::kDuplicateBuffer)) return kErrFail;
  SoundBuffer* copy = original->Duplicate();
  if (copy == nullptr) return kErrInvalidParam;
  *out = copy;
  return kOk;
}

Result DirectSound::GetCaps(Caps* caps) {
  if (caps == nullptr || caps->size != 96) return kErrInvalidParam;
  if (!initialized_) return kErrUninitialized;
  *caps = g_caps;
  return kOk;
}

struct AudioModule {
  int unused = 0;
};

AudioModule* LoadAudioModule(const char* name) {
  if (FaultSet(Fault::kLoadAudioModule) || name == nullptr) return nullptr;
  return new AudioModule();
}

namespace {

Result EnumerateDevices(EnumerateCallback callback, void* context) {
  if (callback == nullptr) return kErrInvalidParam;
  if (callback(nullptr, "Primary Sound Driver", "", context) == 0) return kOk;
  const OutputKind kind = CurrentOutputKind();
  if (kind == OutputKind::kSdl && SDL_WasInit(SDL_INIT_AUDIO) != 0) {
    const char* driver = SDL_GetCurrentAudioDriver();
    const int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; ++i) {
      const char* name = SDL_GetAudioDeviceName(i, 0);
      if (callback(nullptr, name != nullptr ? name : "", driver != nullptr ? driver : "", context) == 0) {
        break;
      }
    }
  } else if (kind == OutputKind::kManual) {
    callback(nullptr, "Manual output", "manual", context);
  }
  return kOk;
}

}  // namespace

EnumerateFunction FindEnumerateFunction(AudioModule* module, const char* name) {
  if (module == nullptr || name == nullptr || FaultSet(Fault::kFindEnumerate)) return nullptr;
  if (std::strcmp(name, "DirectSoundEnumerateA") != 0) return nullptr;
  return EnumerateDevices;
}

void FreeAudioModule(AudioModule* module) { delete module; }

}  // namespace platform::audio
