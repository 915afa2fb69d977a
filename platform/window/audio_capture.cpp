#include "platform/window/audio_capture.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/audio/mixer.h"

namespace platform::window {
namespace {

constexpr int kFramesPerSecond = 60;

struct Capture {
  bool configured = false;
  std::FILE* file = nullptr;
  uint64_t rendered_frames = 0;  // presented frames whose sound is written
};

Capture& State() {
  static Capture* c = new Capture();
  return *c;
}

}  // namespace

void CaptureAudioUpTo(uint64_t presented_frames) {
  Capture& c = State();
  if (!c.configured) {
    c.configured = true;
    const char* path = std::getenv("KESTO_AUDIO_CAPTURE");
    if (path == nullptr || *path == '\0') return;
    if (audio::CurrentOutputKind() != audio::OutputKind::kManual) {
      std::fprintf(stderr, "kesto: KESTO_AUDIO_CAPTURE needs KESTO_AUDIO_OUTPUT=manual\n");
      return;
    }
    c.file = std::fopen(path, "wb");
    if (c.file == nullptr) std::fprintf(stderr, "kesto: KESTO_AUDIO_CAPTURE: cannot write %s\n", path);
    c.rendered_frames = presented_frames;
  }
  audio::Mixer& mixer = audio::Mixer::Get();
  if (c.file == nullptr || !mixer.is_open()) return;
  std::vector<int16_t> pcm;
  while (c.rendered_frames < presented_frames) {
    ++c.rendered_frames;
    // Whole sample frames per video frame, without drifting from the rate.
    const uint64_t rate = static_cast<uint64_t>(mixer.rate());
    const int n = static_cast<int>(c.rendered_frames * rate / kFramesPerSecond -
                                   (c.rendered_frames - 1) * rate / kFramesPerSecond);
    pcm.resize(2 * static_cast<size_t>(n));
    mixer.Render(pcm.data(), n);
    std::fwrite(pcm.data(), sizeof(int16_t), pcm.size(), c.file);
  }
  std::fflush(c.file);
}

}  // namespace platform::window
