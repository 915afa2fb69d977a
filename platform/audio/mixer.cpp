#include "platform/audio/mixer.h"

#include <SDL.h>
#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/audio/sound_buffer.h"

namespace platform::audio {

namespace {

bool g_kind_forced = false;
OutputKind g_forced_kind = OutputKind::kSdl;

void SdlCallback(void* user, Uint8* stream, int len) {
  auto* mixer = static_cast<Mixer*>(user);
  mixer->Render(reinterpret_cast<int16_t*>(stream), len / 4);
}

}  // namespace

void SetOutputKindForTesting(OutputKind kind) {
  g_kind_forced = true;
  g_forced_kind = kind;
}

OutputKind CurrentOutputKind() {
  if (g_kind_forced) return g_forced_kind;
  const char* env = std::getenv("KESTO_AUDIO_OUTPUT");
  if (env != nullptr && std::strcmp(env, "manual") == 0) return OutputKind::kManual;
  if (env != nullptr && std::strcmp(env, "none") == 0) return OutputKind::kFailing;
  return OutputKind::kSdl;
}

int32_t GainFromHundredthsDb(int32_t volume) {
  if (volume <= kVolumeMin) return 0;
  if (volume >= 0) return 65536;
  return static_cast<int32_t>(std::lround(65536.0 * std::pow(10.0, volume / 2000.0)));
}

Mixer& Mixer::Get() {
  static Mixer* mixer = [] {
    auto* m = new Mixer();
    // A forked child (a death test) has no output thread: the mixer's lock
    // must not be left held by it, and the child must not wait for it.
    pthread_atfork([] { Get().mutex_.lock(); }, [] { Get().mutex_.unlock(); },
                   [] {
                     Get().mutex_.unlock();
                     Get().forked_child_ = true;
                   });
    return m;
  }();
  return *mixer;
}

Result Mixer::Open() {
  if (open_count_ > 0) {
    ++open_count_;
    return kOk;
  }
  kind_ = CurrentOutputKind();
  switch (kind_) {
    case OutputKind::kFailing:
      return kErrNoDriver;
    case OutputKind::kManual:
      rate_ = 44100;
      period_ = 512;
      break;
    case OutputKind::kSdl: {
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return kErrNoDriver;
      SDL_AudioSpec want{};
      SDL_AudioSpec have{};
      want.freq = 44100;
      want.format = AUDIO_S16SYS;
      want.channels = 2;
      want.samples = 1024;
      want.callback = SdlCallback;
      want.userdata = this;
      sdl_device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
      if (sdl_device_ == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return kErrNoDriver;
      }
      rate_ = have.freq;
      period_ = have.samples;
      SDL_PauseAudioDevice(sdl_device_, 0);
      break;
    }
  }
  open_count_ = 1;
  return kOk;
}

void Mixer::Close() {
  if (open_count_ == 0) return;
  if (--open_count_ > 0) return;
  if (kind_ == OutputKind::kSdl && sdl_device_ != 0 && !forked_child_) {
    SDL_CloseAudioDevice(sdl_device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  sdl_device_ = 0;
  std::lock_guard lock(mutex_);
  buffers_.clear();
  sources_.clear();
}

bool Mixer::is_open() const { return open_count_ > 0; }
int Mixer::rate() const { return rate_; }
int Mixer::period_frames() const { return period_; }

void Mixer::Render(int16_t* out, int frames) {
  std::lock_guard lock(mutex_);
  RenderLocked(out, frames);
}

void Mixer::Advance(int frames) {
  std::vector<int16_t> scratch(2 * static_cast<size_t>(std::min(frames, 4096)));
  while (frames > 0) {
    const int n = std::min(frames, 4096);
    Render(scratch.data(), n);
    frames -= n;
  }
}

void Mixer::RenderLocked(int16_t* out, int frames) {
  accum_.assign(2 * static_cast<size_t>(frames), 0);
  // Voices that finish remove themselves from the lists while we walk copies.
  const std::vector<SoundBuffer*> buffers = buffers_;
  for (SoundBuffer* buffer : buffers) {
    if (!buffer->MixLocked(accum_.data(), frames, rate_)) RemoveBufferLocked(buffer);
  }
  const std::vector<PullSource*> sources = sources_;
  for (PullSource* source : sources) {
    if (!source->MixInto(accum_.data(), frames, rate_)) RemoveSourceLocked(source);
  }
  for (size_t i = 0; i < accum_.size(); ++i) {
    out[i] = static_cast<int16_t>(std::clamp<int32_t>(accum_[i], -32768, 32767));
  }
}

void Mixer::AddBufferLocked(SoundBuffer* buffer) {
  if (std::find(buffers_.begin(), buffers_.end(), buffer) == buffers_.end()) buffers_.push_back(buffer);
}

void Mixer::RemoveBufferLocked(SoundBuffer* buffer) {
  buffers_.erase(std::remove(buffers_.begin(), buffers_.end(), buffer), buffers_.end());
}

void Mixer::AddSourceLocked(PullSource* source) {
  if (std::find(sources_.begin(), sources_.end(), source) == sources_.end()) sources_.push_back(source);
}

void Mixer::RemoveSourceLocked(PullSource* source) {
  sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

size_t Mixer::voice_count() {
  std::lock_guard lock(mutex_);
  return buffers_.size() + sources_.size();
}

}  // namespace platform::audio
