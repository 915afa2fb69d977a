// A small synthesizer: oscillators, noise and envelopes rendered to
// 16-bit PCM, for the sound effects and the music.
#pragma once

#include <cstdint>
#include <vector>

enum class Wave { kSine, kSquare, kTriangle, kSaw, kNoise };

// A mono buffer of floating-point samples in -1..1 at `rate` Hz.
struct Track {
  int rate = 22050;
  std::vector<double> samples;
  explicit Track(int sample_rate, double seconds = 0.0);
  int Length() const { return static_cast<int>(samples.size()); }
  void Resize(int count) { samples.resize(count, 0.0); }
};

struct Note {
  double start = 0;     // seconds
  double length = 0.1;  // seconds, before the release
  double freq = 440;    // at the start
  double freq_end = 0;  // at the end; 0 keeps the start pitch
  Wave wave = Wave::kSquare;
  double duty = 0.5;    // pulse width for kSquare
  double volume = 0.5;
  double attack = 0.005;
  double release = 0.03;
  double vibrato = 0;   // depth in semitones
  double lowpass = 0;   // one-pole cutoff in Hz for noise; 0 = none
  uint64_t seed = 1;    // noise seed
};

// Adds the note into the track (mixing).
void Render(Track& track, const Note& note);
// Adds the note into a stereo pair, placed at pan -1 (left) to 1 (right).
void RenderPanned(Track& left, Track& right, const Note& note, double pan);
// Takes out any offset from zero (a high-pass, then the rest of the mean).
void RemoveOffset(Track& track);
// Scales the whole track so its peak is `peak`.
void Normalize(Track& track, double peak);
// 16-bit little-endian PCM samples, clipped.
std::vector<int16_t> ToPcm16(const Track& track);
// A complete RIFF/WAVE file of 16-bit mono PCM.
std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& pcm, int rate);
double MidiToHz(double note);
