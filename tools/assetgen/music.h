// The eleven music tracks of bgm/: a small sequencer of our own (pulse,
// triangle and noise voices) renders each as a stereo loop, and LAME
// encodes it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct MusicDef {
  const char* path;  // byte for byte as the game names it
  const char* mood;
  int bpm;
  int root;          // MIDI note of the key
  int scale;         // index into the scales
  int progression;   // index into the chord progressions
  int style;         // accompaniment pattern
};

constexpr int kMusicRate = 44100;
constexpr double kMinimumMusicSeconds = 60.0;

std::span<const MusicDef> MusicTracks();
// Length of the loop in samples: a whole number of bars, at least 60 s.
int MusicSampleCount(const MusicDef& def);
// The loop's PCM, MusicSampleCount frames of interleaved stereo.
std::vector<int16_t> RenderMusic(const MusicDef& def);
// MP3 of interleaved stereo 16-bit PCM at kMusicRate; empty on an encoder
// failure.
std::vector<uint8_t> EncodeMp3(const std::vector<int16_t>& pcm);
