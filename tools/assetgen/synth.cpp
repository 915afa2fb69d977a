#include "synth.h"

#include <algorithm>
#include <cmath>

#include "rng.h"

Track::Track(int sample_rate, double seconds)
    : rate(sample_rate), samples(static_cast<size_t>(std::lround(seconds * sample_rate)), 0.0) {}

double MidiToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

namespace {

// Renders the note, handing each sample to out(index, value).
template <class Out>
void RenderNote(int rate_hz, int length, const Note& note, Out out) {
  const double rate = rate_hz;
  const int first = static_cast<int>(std::lround(note.start * rate));
  const int body = std::max(1, static_cast<int>(std::lround(note.length * rate)));
  const int tail = static_cast<int>(std::lround(note.release * rate));
  const int attack = std::max(1, static_cast<int>(std::lround(note.attack * rate)));
  Rng rng(note.seed);
  double phase = 0, held = 0, filtered = 0;
  double alpha = note.lowpass > 0 ? 1.0 - std::exp(-2.0 * M_PI * note.lowpass / rate) : 1.0;
  const double f_end = note.freq_end > 0 ? note.freq_end : note.freq;
  for (int i = 0; i < body + tail; ++i) {
    int at = first + i;
    if (at < 0) continue;
    if (at >= length) break;
    double t = std::min(1.0, static_cast<double>(i) / body);
    // Exponential glide between the two pitches.
    double freq = note.freq * std::pow(f_end / note.freq, t);
    if (note.vibrato > 0) {
      freq *= std::pow(2.0, note.vibrato / 12.0 * std::sin(2 * M_PI * 5.5 * i / rate));
    }
    double env = i < attack ? static_cast<double>(i) / attack : 1.0;
    if (i >= body) env *= 1.0 - static_cast<double>(i - body) / std::max(1, tail);
    double s = 0;
    switch (note.wave) {
      case Wave::kSine: s = std::sin(2 * M_PI * phase); break;
      // Levels chosen so that every pulse width averages to zero: a narrow
      // pulse would otherwise carry a large offset.
      case Wave::kSquare: s = 1.6 * (phase < note.duty ? 1.0 - note.duty : -note.duty); break;
      case Wave::kTriangle: s = 4.0 * std::fabs(phase - 0.5) - 1.0; break;
      case Wave::kSaw: s = 2.0 * phase - 1.0; break;
      case Wave::kNoise: {
        // Sample-and-hold noise at the note's pitch: lower pitch, rougher.
        if (i == 0 || phase + freq / rate >= 1.0) held = rng.Range(-1.0, 1.0);
        s = held;
        break;
      }
    }
    phase += freq / rate;
    phase -= std::floor(phase);
    filtered += alpha * (s - filtered);
    out(at, filtered * env * note.volume);
  }
}

}  // namespace

void Render(Track& track, const Note& note) {
  RenderNote(track.rate, track.Length(), note,
             [&](int at, double v) { track.samples[at] += v; });
}

void RenderPanned(Track& left, Track& right, const Note& note, double pan) {
  // Constant power: the middle gives each side 0.707.
  const double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * M_PI / 4.0;
  const double gl = std::cos(angle), gr = std::sin(angle);
  const int length = std::min(left.Length(), right.Length());
  RenderNote(left.rate, length, note, [&](int at, double v) {
    left.samples[at] += v * gl;
    right.samples[at] += v * gr;
  });
}

void RemoveOffset(Track& track) {
  const int n = track.Length();
  if (n == 0) return;
  // A one-pole high-pass at about 20 Hz takes out slow drift...
  const double r = 1.0 - 2.0 * M_PI * 20.0 / track.rate;
  double prev_in = 0, prev_out = 0;
  for (double& s : track.samples) {
    const double y = s - prev_in + r * prev_out;
    prev_in = s;
    prev_out = y;
    s = y;
  }
  // ...and what is left of the mean goes under a smooth window, so the
  // sound still starts and ends at zero.
  double mean = 0;
  for (double s : track.samples) mean += s;
  mean /= n;
  double window_sum = 0;
  for (int i = 0; i < n; ++i) window_sum += std::sin(M_PI * (i + 0.5) / n) * std::sin(M_PI * (i + 0.5) / n);
  if (window_sum <= 0) return;
  const double k = mean * n / window_sum;
  for (int i = 0; i < n; ++i) {
    const double w = std::sin(M_PI * (i + 0.5) / n);
    track.samples[i] -= k * w * w;
  }
}

void Normalize(Track& track, double peak) {
  double top = 0;
  for (double s : track.samples) top = std::max(top, std::fabs(s));
  if (top <= 0) return;
  for (double& s : track.samples) s *= peak / top;
}

std::vector<int16_t> ToPcm16(const Track& track) {
  std::vector<int16_t> out(track.samples.size());
  for (size_t i = 0; i < out.size(); ++i) {
    double v = std::clamp(track.samples[i], -1.0, 1.0) * 32767.0;
    out[i] = static_cast<int16_t>(std::lround(v));
  }
  return out;
}

namespace {
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}
}  // namespace

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& pcm, int rate) {
  std::vector<uint8_t> out;
  out.reserve(44 + pcm.size() * 2);
  const uint32_t data_bytes = static_cast<uint32_t>(pcm.size() * 2);
  PutTag(out, "RIFF");
  Put32(out, 36 + data_bytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, static_cast<uint32_t>(rate));
  Put32(out, static_cast<uint32_t>(rate) * 2);
  Put16(out, 2);
  Put16(out, 16);
  PutTag(out, "data");
  Put32(out, data_bytes);
  for (int16_t s : pcm) Put16(out, static_cast<uint16_t>(s));
  return out;
}
