// Movies and sounds the media tests make: frames that say their own number
// in two colour blocks (left: index % 6, right: index / 6, from six colours
// that survive lossy coding), and a sweep that never repeats within a loop.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "support/media_encoder.h"

namespace media_fixtures {

inline constexpr uint8_t kColours[6][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                           {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};

inline void PaintIndex(int index, int width, int height, std::vector<uint8_t>& rgb) {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* c = kColours[x < width / 2 ? index % 6 : (index / 6) % 6];
      uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = c[0];
      p[1] = c[1];
      p[2] = c[2];
    }
  }
}

// The index two RGB samples (the blocks' centres) show, or -1.
inline int IndexOf(uint32_t left_rgb, uint32_t right_rgb) {
  auto nearest = [](uint32_t rgb) {
    int best = -1, best_d = 1 << 30;
    for (int i = 0; i < 6; ++i) {
      const int dr = static_cast<int>((rgb >> 16) & 0xFF) - kColours[i][0];
      const int dg = static_cast<int>((rgb >> 8) & 0xFF) - kColours[i][1];
      const int db = static_cast<int>(rgb & 0xFF) - kColours[i][2];
      const int d = dr * dr + dg * dg + db * db;
      if (d < best_d) best_d = d, best = i;
    }
    return best_d < 3 * 60 * 60 ? best : -1;
  };
  const int a = nearest(left_rgb), b = nearest(right_rgb);
  return a < 0 || b < 0 ? -1 : b * 6 + a;
}

inline media_encoder::MovieOptions CountingMovie(const char* container, const char* codec,
                                                 int width, int height, int frames, int fps) {
  media_encoder::MovieOptions options;
  options.container = container;
  options.codec = codec;
  options.width = width;
  options.height = height;
  options.frames = frames;
  options.fps = fps;
  options.paint = [width, height](int i, std::vector<uint8_t>& rgb) {
    PaintIndex(i, width, height, rgb);
  };
  return options;
}

// `frames` stereo frames of a rising sweep at 44100 Hz, loud enough to hear.
inline std::vector<int16_t> Sweep(int frames, double from_hz = 220, double to_hz = 1760) {
  std::vector<int16_t> s(2 * static_cast<size_t>(frames));
  double phase = 0;
  for (int i = 0; i < frames; ++i) {
    const double hz = from_hz + (to_hz - from_hz) * i / frames;
    phase += 2 * M_PI * hz / 44100.0;
    const double envelope = 0.5 + 0.5 * i / frames;
    const auto v = static_cast<int16_t>(std::lround(9000 * envelope * std::sin(phase)));
    s[2 * static_cast<size_t>(i)] = v;
    s[2 * static_cast<size_t>(i) + 1] = static_cast<int16_t>(-v / 2);
  }
  return s;
}

}  // namespace media_fixtures
