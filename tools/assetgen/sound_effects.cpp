#include "sound_effects.h"

#include <cmath>
#include <cstring>
#include <string>

#include "rng.h"
#include "synth.h"

namespace {

// Rapid-fire effects are short, since a replay restarts the effect, and
// quiet: they play many times a second over everything else. Effects of
// one kind that can sound together (a chain of explosions, shots over hits
// over enemy fire) keep their peaks low enough that the sum rarely clips.
constexpr SoundEffectDef kEffects[] = {
    {"se/cursor.wav", 40, 0.35},      {"se/decide.wav", 120, 0.4},      {"se/decide2.wav", 300, 0.45},
    {"se/ebaku3.wav", 400, 0.4},      {"se/ebaku6.wav", 800, 0.55},     {"se/ebaku1.wav", 500, 0.5},
    {"se/ebaku4.wav", 450, 0.5},      {"se/ebaku2.wav", 450, 0.5},      {"se/ebaku5.wav", 300, 0.4},
    {"se/my_die.wav", 700, 0.6},      {"se/my_die2.wav", 700, 0.6},     {"se/shot.wav", 50, 0.2},
    {"se/s_shot.wav", 50, 0.2},       {"se/shot5.wav", 150, 0.5},       {"se/laser.wav", 150, 0.2},
    {"se/laser2.wav", 150, 0.2},      {"se/shot2.wav", 50, 0.2},        {"se/shot7.wav", 150, 0.5},
    {"se/shot3.wav", 50, 0.2},        {"se/shot6.wav", 150, 0.5},       {"se/shot4.wav", 50, 0.2},
    {"se/mybomb.wav", 1000, 0.6},     {"se/hit05.wav", 30, 0.15},       {"se/bomb_s.wav", 500, 0.55},
    {"se/bomb3.wav", 500, 0.55},      {"se/bomb4.wav", 500, 0.55},      {"se/item_score.wav", 60, 0.25},
    {"se/power_up.wav", 300, 0.4},    {"se/item_bomb.wav", 300, 0.4},   {"se/extend.wav", 600, 0.55},
    {"se/item_score2.wav", 60, 0.25}, {"se/item_score3.wav", 60, 0.25}, {"se/guard.wav", 300, 0.35},
    {"se/e_shot.wav", 40, 0.16},      {"se/warn.wav", 900, 0.5},        {"se/mecha1.wav", 400, 0.45},
    {"se/mecha2.wav", 400, 0.45},     {"se/l_bonus.wav", 700, 0.45},
};

bool Is(const SoundEffectDef& def, const char* name) {
  return std::strcmp(def.path + 3, name) == 0;
}

Note Tone(double start, double length, double f0, double f1, Wave wave, double volume) {
  Note n;
  n.start = start;
  n.length = length;
  n.freq = f0;
  n.freq_end = f1;
  n.wave = wave;
  n.volume = volume;
  n.release = std::min(0.03, length * 0.3);
  return n;
}

Note Noise(double start, double length, double pitch, double lowpass, double volume, uint64_t seed) {
  Note n = Tone(start, length, pitch, 0, Wave::kNoise, volume);
  n.lowpass = lowpass;
  n.seed = seed;
  n.attack = 0.002;
  return n;
}

// An explosion: a noise burst whose roughness and filter fall as it decays.
void Explosion(Track& t, double seconds, double weight, uint64_t seed) {
  const int steps = 12;
  for (int i = 0; i < steps; ++i) {
    double at = seconds * i / steps;
    double fade = std::pow(1.0 - static_cast<double>(i) / steps, 1.6);
    Note n = Noise(at, seconds / steps, 9000 - 7000 * weight * i / steps,
                   3000 * (1 - 0.7 * weight) * fade + 300, 0.9 * fade, seed + i);
    n.attack = 0.001;
    n.release = seconds / steps * 0.5;
    Render(t, n);
  }
  Note boom = Tone(0, seconds * 0.6, 120 - 50 * weight, 35, Wave::kSine, 0.8 * weight);
  boom.release = seconds * 0.35;
  Render(t, boom);
}

// A shot: a quick falling chirp with a touch of noise.
void Shot(Track& t, double seconds, double f0, double f1, Wave wave, double duty) {
  Note n = Tone(0, seconds * 0.8, f0, f1, wave, 0.6);
  n.duty = duty;
  n.release = seconds * 0.2;
  Render(t, n);
  Render(t, Noise(0, seconds * 0.3, 20000, 6000, 0.25, 5));
}

void Arpeggio(Track& t, double start, double step, const double* notes, int count, Wave wave,
              double duty, double volume) {
  for (int i = 0; i < count; ++i) {
    Note n = Tone(start + i * step, step * 0.9, MidiToHz(notes[i]), 0, wave, volume);
    n.duty = duty;
    Render(t, n);
  }
}

void Synthesize(const SoundEffectDef& def, Track& t) {
  const double len = def.milliseconds / 1000.0;
  uint64_t seed = SeedOf(def.path);
  if (Is(def, "cursor.wav")) {
    Note n = Tone(0, len * 0.7, 1320, 1320, Wave::kSquare, 0.5);
    n.duty = 0.25;
    Render(t, n);
  } else if (Is(def, "decide.wav")) {
    const double notes[] = {76, 83};
    Arpeggio(t, 0, len / 2, notes, 2, Wave::kSquare, 0.5, 0.5);
  } else if (Is(def, "decide2.wav")) {
    const double notes[] = {72, 76, 79, 84};
    Arpeggio(t, 0, 0.04, notes, 4, Wave::kSquare, 0.25, 0.35);
    for (double m : {72.0, 76.0, 79.0}) {
      Note n = Tone(0.16, len - 0.2, MidiToHz(m), 0, Wave::kTriangle, 0.3);
      n.release = 0.04;
      Render(t, n);
    }
  } else if (Is(def, "ebaku3.wav")) {
    Explosion(t, len, 0.5, seed);
  } else if (Is(def, "ebaku6.wav")) {
    Explosion(t, len, 1.0, seed);
  } else if (Is(def, "ebaku1.wav") || Is(def, "ebaku4.wav") || Is(def, "ebaku2.wav")) {
    Explosion(t, len, 0.7, seed);
  } else if (Is(def, "ebaku5.wav")) {
    Explosion(t, len, 0.3, seed);
    Render(t, Tone(0, 0.08, 300, 150, Wave::kSquare, 0.3));  // the container's clank
  } else if (Is(def, "my_die.wav") || Is(def, "my_die2.wav")) {
    bool second = Is(def, "my_die2.wav");
    Note fall = Tone(0, len * 0.8, second ? 1200 : 900, 60, Wave::kSquare, 0.45);
    fall.duty = 0.3;
    fall.vibrato = 0.6;
    Render(t, fall);
    Explosion(t, len, 0.8, seed);
  } else if (Is(def, "shot.wav")) {
    Shot(t, len, 1800, 700, Wave::kSquare, 0.5);
  } else if (Is(def, "s_shot.wav")) {
    Shot(t, len, 2400, 1200, Wave::kSquare, 0.25);
  } else if (Is(def, "shot2.wav")) {
    Shot(t, len, 1500, 500, Wave::kSaw, 0.5);
  } else if (Is(def, "shot3.wav")) {
    Shot(t, len, 2000, 900, Wave::kTriangle, 0.5);
  } else if (Is(def, "shot4.wav")) {
    Shot(t, len, 1100, 400, Wave::kSquare, 0.125);
  } else if (Is(def, "shot5.wav") || Is(def, "shot6.wav") || Is(def, "shot7.wav")) {
    double base = Is(def, "shot5.wav") ? 900 : Is(def, "shot6.wav") ? 700 : 1200;
    Shot(t, len, base, base / 4, Wave::kSaw, 0.5);
    Render(t, Noise(0, len, 8000, 2500, 0.3, seed));
  } else if (Is(def, "laser.wav") || Is(def, "laser2.wav")) {
    bool second = Is(def, "laser2.wav");
    Note n = Tone(0, len * 0.85, second ? 600 : 2600, second ? 2400 : 500, Wave::kSaw, 0.45);
    n.vibrato = 0.8;
    Render(t, n);
    Note m = n;
    m.freq *= 1.01;
    m.freq_end *= 1.01;
    m.wave = Wave::kSquare;
    m.volume = 0.2;
    Render(t, m);
  } else if (Is(def, "mybomb.wav")) {
    Note whoosh = Noise(0, len * 0.3, 20000, 800, 0.4, seed);
    whoosh.attack = len * 0.25;
    Render(t, whoosh);
    Track boom(t.rate, len);
    Explosion(boom, len * 0.75, 1.0, seed + 1);
    int offset = static_cast<int>(len * 0.25 * t.rate);
    for (int i = 0; i + offset < t.Length() && i < boom.Length(); ++i) t.samples[i + offset] += boom.samples[i];
  } else if (Is(def, "hit05.wav")) {
    Render(t, Noise(0, len * 0.6, 20000, 5000, 0.6, seed));
    Render(t, Tone(0, len * 0.6, 1600, 900, Wave::kSquare, 0.3));
  } else if (Is(def, "bomb_s.wav") || Is(def, "bomb3.wav") || Is(def, "bomb4.wav")) {
    double base = Is(def, "bomb_s.wav") ? 200 : Is(def, "bomb3.wav") ? 300 : 150;
    Note rise = Tone(0, len * 0.7, base, base * 6, Wave::kSaw, 0.35);
    rise.vibrato = 1.0;
    Render(t, rise);
    Explosion(t, len, 0.6, seed);
  } else if (Is(def, "item_score.wav") || Is(def, "item_score2.wav") || Is(def, "item_score3.wav")) {
    double pitch = Is(def, "item_score.wav") ? 88 : Is(def, "item_score2.wav") ? 91 : 95;
    Note n = Tone(0, len * 0.8, MidiToHz(pitch), 0, Wave::kSquare, 0.35);
    n.duty = 0.25;
    Render(t, n);
    Note h = Tone(0.015, len * 0.6, MidiToHz(pitch + 12), 0, Wave::kTriangle, 0.25);
    Render(t, h);
  } else if (Is(def, "power_up.wav")) {
    const double notes[] = {60, 64, 67, 72, 76, 79, 84};
    Arpeggio(t, 0, len / 7, notes, 7, Wave::kSquare, 0.25, 0.4);
  } else if (Is(def, "item_bomb.wav")) {
    const double notes[] = {55, 62, 67, 74, 79};
    Arpeggio(t, 0, len / 5, notes, 5, Wave::kTriangle, 0.5, 0.6);
  } else if (Is(def, "extend.wav")) {
    const double notes[] = {72, 76, 79, 84, 79, 84};
    const double lengths[] = {0.07, 0.07, 0.07, 0.15, 0.07, 0.15};
    double at = 0;
    for (int i = 0; i < 6; ++i) {
      Note n = Tone(at, lengths[i] * 0.9, MidiToHz(notes[i]), 0, Wave::kSquare, 0.4);
      n.duty = 0.25;
      Render(t, n);
      Render(t, Tone(at, lengths[i] * 0.9, MidiToHz(notes[i] - 12), 0, Wave::kTriangle, 0.3));
      at += lengths[i];
    }
  } else if (Is(def, "guard.wav")) {
    for (int i = 0; i < 3; ++i) {
      Note n = Tone(i * 0.03, len - 0.1, 1000 + 250 * i, 2000 + 500 * i, Wave::kSine, 0.25);
      n.vibrato = 0.5;
      n.release = 0.06;
      Render(t, n);
    }
  } else if (Is(def, "e_shot.wav")) {
    Note n = Tone(0, len * 0.8, 900, 400, Wave::kSquare, 0.4);
    n.duty = 0.125;
    Render(t, n);
  } else if (Is(def, "warn.wav")) {
    // A two-tone siren.
    for (int i = 0; i < 4; ++i) {
      Note n = Tone(i * len / 4, len / 4 * 0.95, i % 2 ? 660 : 880, 0, Wave::kSquare, 0.45);
      n.release = 0.01;
      Render(t, n);
    }
  } else if (Is(def, "mecha1.wav") || Is(def, "mecha2.wav")) {
    bool second = Is(def, "mecha2.wav");
    for (int i = 0; i < 3; ++i) {
      double at = i * len / 3;
      Render(t, Noise(at, 0.05, 4000, 2500, 0.6, seed + i));
      Render(t, Tone(at, 0.09, second ? 180 : 120, second ? 90 : 60, Wave::kSquare, 0.4));
    }
    Note servo = Tone(0, len * 0.9, second ? 300 : 200, second ? 500 : 350, Wave::kSaw, 0.15);
    Render(t, servo);
  } else if (Is(def, "l_bonus.wav")) {
    const double notes[] = {84, 88, 91, 96};
    for (int i = 0; i < 4; ++i) {
      Note n = Tone(i * 0.06, len - 0.06 * i - 0.1, MidiToHz(notes[i]), 0, Wave::kSine, 0.3);
      n.release = 0.1;
      Render(t, n);
    }
  }
}

}  // namespace

std::span<const SoundEffectDef> SoundEffects() { return kEffects; }

std::vector<int16_t> SynthesizeEffect(const SoundEffectDef& def) {
  Track track(kEffectRate);
  track.Resize(def.milliseconds * kEffectRate / 1000);
  Synthesize(def, track);
  RemoveOffset(track);
  Normalize(track, def.peak);
  // A short fade at the very end, so the effect never stops on a click.
  int fade = std::min(track.Length(), kEffectRate / 200);
  for (int i = 0; i < fade; ++i) {
    track.samples[track.Length() - 1 - i] *= static_cast<double>(i) / fade;
  }
  return ToPcm16(track);
}
