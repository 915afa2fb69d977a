#include "mix_meter.h"

#include <cmath>
#include <cstdio>

namespace {

double Db(double power) { return power > 0 ? 10.0 * std::log10(power) : -200.0; }

}  // namespace

MixFigures MeasureMix(std::span<const int16_t> stereo) {
  MixFigures f;
  f.frames = stereo.size() / 2;
  if (f.frames == 0) return f;
  uint64_t clipped = 0;
  double sum_l = 0, sum_r = 0, power = 0, mid = 0, side = 0, peak = 0;
  for (size_t i = 0; i + 1 < stereo.size(); i += 2) {
    const double l = stereo[i] / 32768.0, r = stereo[i + 1] / 32768.0;
    clipped += (stereo[i] >= 32767 || stereo[i] <= -32768) + (stereo[i + 1] >= 32767 || stereo[i + 1] <= -32768);
    sum_l += l;
    sum_r += r;
    power += l * l + r * r;
    mid += (l + r) * (l + r) / 4;
    side += (l - r) * (l - r) / 4;
    peak = std::max(peak, std::max(std::fabs(l), std::fabs(r)));
  }
  const double n = static_cast<double>(f.frames);
  f.clipped_percent = 100.0 * static_cast<double>(clipped) / (2 * n);
  f.dc_left = sum_l / n;
  f.dc_right = sum_r / n;
  f.rms_dbfs = Db(power / (2 * n));
  f.peak = peak;
  f.side_db = mid > 0 && side > 0 ? Db(side / mid) : -200.0;
  return f;
}

std::string DescribeMix(const MixFigures& f) {
  char text[256];
  std::snprintf(text, sizeof text,
                "%.1f s: clipped %.3f %%, DC %+.4f / %+.4f, RMS %.1f dBFS, peak %.3f, "
                "L-R %.1f dB under L+R",
                static_cast<double>(f.frames) / 44100.0, f.clipped_percent, f.dc_left, f.dc_right,
                f.rms_dbfs, f.peak, -f.side_db);
  return text;
}
