// Figures of a mixed sound: how much of it clips, its offset from zero, its
// loudness and how far left and right differ. Used to check that the
// generated effects and music sit together in the game's own mix.
#pragma once

#include <cstdint>
#include <span>
#include <string>

struct MixFigures {
  uint64_t frames = 0;
  double clipped_percent = 0;  // samples at full scale, of all samples
  double dc_left = 0;          // mean, as a fraction of full scale
  double dc_right = 0;
  double rms_dbfs = -200;      // both channels
  double peak = 0;             // fraction of full scale
  double side_db = -200;       // RMS of (L - R) / 2 against the RMS of (L + R) / 2
};

// Interleaved 16-bit stereo.
MixFigures MeasureMix(std::span<const int16_t> stereo);
std::string DescribeMix(const MixFigures& f);
