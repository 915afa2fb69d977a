#include "music.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <mutex>

#include "rng.h"
#include "synth.h"

namespace {

// The loudest sample of a track. The music sits with the effects in the
// game's mix: at the default volumes the two are about as loud in a busy
// stretch of play.
constexpr double kMusicPeak = 0.8;

constexpr MusicDef kTracks[] = {
    {"bgm/lockout.mp3", "menus", 112, 57, 0, 0, 0},
    {"bgm/mp3_truth.mp3", "stage 1", 150, 52, 0, 1, 1},
    {"bgm/mp3_the_morning_glow.mp3", "stage 2", 140, 62, 1, 2, 1},
    {"bgm/air fortress 4th.mp3", "stage 3", 160, 48, 0, 3, 2},
    {"bgm/orbit elevator 2005.mp3", "stage 4", 146, 54, 2, 4, 1},
    {"bgm/mp3_pluto.mp3", "stage 5", 132, 59, 3, 5, 2},
    {"bgm/global distortion(ea.mp3", "boss", 172, 55, 0, 6, 3},
    {"bgm/mp3_end_point.mp3", "final boss", 178, 50, 4, 7, 3},
    {"bgm/mp3_energy.mp3", "extra boss", 186, 52, 3, 6, 3},
    {"bgm/mp3_storm.mp3", "stage clear", 128, 60, 1, 8, 0},
    {"bgm/mp3_north_structure.mp3", "ending", 92, 53, 1, 9, 4},
};

// Scales as semitone steps from the root.
const int kScales[][7] = {
    {0, 2, 3, 5, 7, 8, 10},  // minor
    {0, 2, 4, 5, 7, 9, 11},  // major
    {0, 2, 3, 5, 7, 9, 10},  // dorian
    {0, 1, 3, 5, 7, 8, 10},  // phrygian
    {0, 2, 3, 5, 7, 8, 11},  // harmonic minor
};

// Chord roots as scale degrees, one per bar, eight bars.
const int kProgressions[][8] = {
    {0, 5, 3, 4, 0, 5, 3, 4},  {0, 0, 5, 5, 3, 3, 4, 4}, {0, 3, 4, 0, 5, 3, 4, 4},
    {0, 6, 5, 6, 0, 6, 5, 4},  {0, 2, 3, 4, 0, 2, 5, 4}, {0, 1, 0, 6, 0, 1, 5, 6},
    {0, 0, 1, 1, 5, 5, 4, 4},  {0, 5, 1, 4, 0, 5, 6, 4}, {0, 4, 5, 3, 0, 4, 3, 4},
    {0, 3, 0, 4, 5, 3, 1, 4},
};

int ScaleNote(const MusicDef& def, int degree) {
  int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
  int step = degree - octave * 7;
  return def.root + octave * 12 + kScales[def.scale][step];
}

class Sequencer {
 public:
  explicit Sequencer(const MusicDef& def) : def_(def), rng_(SeedOf(def.path)) {
    beat_ = 60.0 / def.bpm;
    bar_ = beat_ * 4;
    bars_ = Bars(def);
  }

  // Whole passes of the eight-bar progression, at least 60 seconds.
  static int Bars(const MusicDef& def) {
    double bar = 240.0 / def.bpm;
    return 8 * static_cast<int>(std::ceil(kMinimumMusicSeconds / (bar * 8)));
  }

  // Interleaved stereo: bass and kick in the middle, the other voices
  // spread left and right, and an echo of the lead on the far side.
  std::vector<int16_t> Song() {
    const int count = MusicSampleCount(def_);
    left_.Resize(count);
    right_.Resize(count);
    MakeMelody();
    for (int bar = 0; bar < bars_; ++bar) {
      int chord = kProgressions[def_.progression][bar % 8];
      int section = (bar / 8) % 2;
      Bass(bar, chord);
      Chords(bar, chord, section);
      Lead(bar, chord, section);
      Drums(bar, section);
    }
    RemoveOffset(left_);
    RemoveOffset(right_);
    double top = 0;
    for (const Track* t : {&left_, &right_}) {
      for (double v : t->samples) top = std::max(top, std::fabs(v));
    }
    std::vector<int16_t> out(2 * static_cast<size_t>(count));
    if (top <= 0) return out;
    for (Track* t : {&left_, &right_}) {
      for (double& v : t->samples) v *= kMusicPeak / top;
    }
    const std::vector<int16_t> l = ToPcm16(left_), r = ToPcm16(right_);
    for (int i = 0; i < count; ++i) {
      out[2 * i] = l[i];
      out[2 * i + 1] = r[i];
    }
    return out;
  }

 private:
  double At(int bar, double beat) const { return bar * bar_ + beat * beat_; }

  void Play(double pan, double start, double beats, int midi, Wave wave, double duty, double volume,
            double release = 0.04) {
    Note n;
    n.start = start;
    n.length = std::max(0.01, beats * beat_ - release);
    n.freq = MidiToHz(midi);
    n.wave = wave;
    n.duty = duty;
    n.volume = volume;
    n.release = release;
    Put(n, pan);
  }

  void Put(const Note& n, double pan) { RenderPanned(left_, right_, n, pan); }

  void Bass(int bar, int chord) {
    int root = ScaleNote(def_, chord) - 24;
    int fifth = ScaleNote(def_, chord + 4) - 24;
    for (int e = 0; e < 8; ++e) {
      int note = def_.style == 4 ? (e % 4 == 0 ? root : -1) : (e % 4 == 3 ? fifth : root);
      if (note < 0) continue;
      double len = def_.style == 4 ? 1.8 : 0.45;
      Play(0.0, At(bar, e * 0.5), len, note + (def_.style == 3 && e % 2 ? 12 : 0), Wave::kTriangle,
           0.5, 0.55);
    }
  }

  void Chords(int bar, int chord, int section) {
    int tones[3] = {ScaleNote(def_, chord), ScaleNote(def_, chord + 2), ScaleNote(def_, chord + 4)};
    if (def_.style == 0 || def_.style == 4 || section == 1) {
      // Arpeggio in sixteenths (eighths for slow tracks).
      int per_beat = def_.style == 4 ? 2 : 4;
      for (int i = 0; i < 4 * per_beat; ++i) {
        int note = tones[i % 3] + ((i / 3) % 2) * 12;
        // Ping-pong between the sides.
        Play(i % 2 ? 0.5 : -0.5, At(bar, static_cast<double>(i) / per_beat), 1.0 / per_beat, note,
             Wave::kSquare, 0.125, 0.12, 0.02);
      }
    } else {
      // Off-beat stabs.
      for (int b = 0; b < 4; ++b) {
        for (int k = 0; k < 3; ++k) {
          Play(0.5 * (k - 1), At(bar, b + 0.5), 0.35, tones[k], Wave::kSquare, 0.25, 0.08, 0.02);
        }
      }
    }
  }

  void MakeMelody() {
    // Two motifs of one bar, each a list of (beat, length, degree offset).
    for (int m = 0; m < 2; ++m) {
      double beat = 0;
      while (beat < 4) {
        double len = def_.bpm > 150 ? (rng_.Below(3) ? 0.5 : 1.0) : (rng_.Below(2) ? 0.5 : 1.0);
        if (rng_.Below(5) == 0) len = 1.5;
        if (beat + len > 4) len = 4 - beat;
        motifs_[m].push_back({beat, len, rng_.Below(5) - 1, rng_.Below(6) == 0});
        beat += len;
      }
    }
  }

  void Lead(int bar, int chord, int section) {
    if (section == 1 && bar % 2 == 1 && def_.style != 4) return;  // breathing room
    const auto& motif = motifs_[(bar % 8) / 4 % 2];
    for (const auto& step : motif) {
      if (step.rest) continue;
      int degree = chord + step.offset * 2 + (bar % 4 == 3 ? 1 : 0);
      int note = ScaleNote(def_, degree) + 12;
      Note n;
      n.start = At(bar, step.beat);
      n.length = std::max(0.02, step.length * beat_ - 0.05);
      n.freq = MidiToHz(note);
      n.wave = def_.style == 4 ? Wave::kTriangle : Wave::kSquare;
      n.duty = section ? 0.5 : 0.25;
      n.volume = def_.style == 4 ? 0.3 : 0.2;
      n.release = 0.05;
      n.vibrato = step.length > 0.75 ? 0.15 : 0.0;
      Put(n, 0.2);
      Note echo = n;
      echo.start += 0.75 * beat_;
      echo.volume *= 0.3;
      Put(echo, -0.7);
    }
  }

  void Drums(int bar, int section) {
    if (def_.style == 4) return;  // the ending has no drums
    for (int e = 0; e < 8; ++e) {
      double at = At(bar, e * 0.5);
      bool kick = e % 4 == 0 || (def_.style >= 2 && e % 4 == 3 && section);
      bool snare = e % 4 == 2;
      if (def_.style == 3 && e % 2 == 1) kick = true;
      if (kick) {
        Note k;
        k.start = at;
        k.length = 0.08;
        k.freq = 150;
        k.freq_end = 45;
        k.wave = Wave::kSine;
        k.volume = 0.7;
        k.release = 0.05;
        Put(k, 0.0);
      }
      if (snare) {
        Note s;
        s.start = at;
        s.length = 0.05;
        s.freq = 9000;
        s.wave = Wave::kNoise;
        s.lowpass = 5000;
        s.volume = 0.35;
        s.release = 0.08;
        s.seed = static_cast<uint64_t>(bar * 8 + e);
        Put(s, -0.15);
      }
      if (def_.style != 0 || e % 2 == 0) {
        Note h;
        h.start = at + (def_.style == 0 ? 0 : 0.25 * beat_);
        h.length = 0.015;
        h.freq = 20000;
        h.wave = Wave::kNoise;
        h.volume = 0.12;
        h.release = 0.02;
        h.seed = static_cast<uint64_t>(bar * 16 + e + 1000);
        Put(h, 0.45);
      }
    }
  }

  struct Step {
    double beat;
    double length;
    int offset;
    bool rest;
  };
  const MusicDef& def_;
  Rng rng_;
  double beat_ = 0.5, bar_ = 2.0;
  int bars_ = 32;
  std::vector<Step> motifs_[2];
  Track left_{kMusicRate}, right_{kMusicRate};
};

}  // namespace

std::span<const MusicDef> MusicTracks() { return kTracks; }

int MusicSampleCount(const MusicDef& def) {
  return static_cast<int>(std::lround(Sequencer::Bars(def) * 240.0 / def.bpm * kMusicRate));
}

std::vector<int16_t> RenderMusic(const MusicDef& def) { return Sequencer(def).Song(); }

std::vector<uint8_t> EncodeMp3(const std::vector<int16_t>& pcm) {
  // The encoder fills tables of its own at first use: one encoding at a
  // time, whatever threads the generator runs.
  static std::mutex one_at_a_time;
  const std::lock_guard<std::mutex> hold(one_at_a_time);
  lame_global_flags* lame = lame_init();
  if (lame == nullptr) return {};
  lame_set_in_samplerate(lame, kMusicRate);
  lame_set_out_samplerate(lame, kMusicRate);
  lame_set_num_channels(lame, 2);
  lame_set_mode(lame, JOINT_STEREO);
  lame_set_brate(lame, 128);
  lame_set_quality(lame, 5);
  lame_set_bWriteVbrTag(lame, 0);
  std::vector<uint8_t> out;
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    return {};
  }
  const int chunk = 8192;
  std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
  std::vector<short> left(chunk), right(chunk);
  const size_t frames = pcm.size() / 2;
  for (size_t pos = 0; pos < frames; pos += chunk) {
    int n = static_cast<int>(std::min<size_t>(chunk, frames - pos));
    for (int i = 0; i < n; ++i) {
      left[i] = pcm[2 * (pos + i)];
      right[i] = pcm[2 * (pos + i) + 1];
    }
    int written = lame_encode_buffer(lame, left.data(), right.data(), n, buffer.data(),
                                     static_cast<int>(buffer.size()));
    if (written < 0) {
      lame_close(lame);
      return {};
    }
    out.insert(out.end(), buffer.begin(), buffer.begin() + written);
  }
  int written = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
  if (written > 0) out.insert(out.end(), buffer.begin(), buffer.begin() + written);
  lame_close(lame);
  return out;
}
