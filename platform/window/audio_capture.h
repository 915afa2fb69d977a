// KESTO_AUDIO_CAPTURE=file, with KESTO_AUDIO_OUTPUT=manual: the mixer's
// output written to the file as raw 16-bit stereo at the mixer's rate, one
// sixtieth of a second of it for every presented frame. The run's sound is
// then the same on every run, whatever the machine's speed.
#pragma once

#include <cstdint>

namespace platform::window {

// Called at every frame pump with the frames presented so far.
void CaptureAudioUpTo(uint64_t presented_frames);

}  // namespace platform::window
