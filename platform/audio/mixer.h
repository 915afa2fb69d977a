// The one audio output of the process and the mixer feeding it. Buffers and
// pull sources (decoded music, MIDI timers) register while they play, so a
// mix visits only what sounds. Three outputs: SDL audio (the real one), a
// manual output that tests render by hand on their own thread, and a failing
// one that has no device, so the library's silent paths can run.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/audio/audio_types.h"

namespace platform::audio {

class SoundBuffer;

// Anything besides a buffer that produces sound at its own pace. Called with
// the mixer's lock held, on the output's thread.
class PullSource {
 public:
  virtual ~PullSource() = default;
  // Adds `frames` stereo frames at `device_rate` into `accum` (interleaved
  // left, right). Returns false once the source has finished; the mixer then
  // forgets it.
  virtual bool MixInto(int32_t* accum, int frames, int device_rate) = 0;
};

enum class OutputKind { kSdl, kManual, kFailing };

// Which output the next Open uses. Tests pick kManual or kFailing; the
// program uses SDL unless KESTO_AUDIO_OUTPUT names "manual" or "none".
void SetOutputKindForTesting(OutputKind kind);
OutputKind CurrentOutputKind();

class Mixer {
 public:
  static Mixer& Get();

  // Opens the output on first use; each successful Open needs one Close.
  Result Open();
  void Close();
  bool is_open() const;
  // Output rate in frames per second and the output's period in frames.
  int rate() const;
  int period_frames() const;

  // Mixes `frames` stereo frames into `out`. The output's thread calls it;
  // with the manual output, tests do.
  void Render(int16_t* out, int frames);
  // Manual output only: mixes and discards `frames` frames (time passes).
  void Advance(int frames);

  std::mutex& mutex() { return mutex_; }
  // Registration, with mutex() held by the caller.
  void AddBufferLocked(SoundBuffer* buffer);
  void RemoveBufferLocked(SoundBuffer* buffer);
  void AddSourceLocked(PullSource* source);
  void RemoveSourceLocked(PullSource* source);
  // Voices currently registered (buffers and sources), for tests.
  size_t voice_count();

 private:
  Mixer() = default;
  void RenderLocked(int16_t* out, int frames);

  std::mutex mutex_;
  int open_count_ = 0;
  OutputKind kind_ = OutputKind::kManual;
  int rate_ = 44100;
  int period_ = 512;
  uint32_t sdl_device_ = 0;
  bool forked_child_ = false;
  std::vector<SoundBuffer*> buffers_;
  std::vector<PullSource*> sources_;
  std::vector<int32_t> accum_;
};

// Gain for a volume in hundredths of a decibel, in 1/65536 steps: exactly
// 65536 at 0 and exactly 0 at -10000 or below.
int32_t GainFromHundredthsDb(int32_t volume);

}  // namespace platform::audio
