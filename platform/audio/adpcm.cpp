#include "platform/audio/adpcm.h"

#include <algorithm>

namespace platform::audio {

namespace {

constexpr int16_t kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kImaIndexShift[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kMsAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                              768, 614, 512, 409, 307, 230, 230, 230};

inline int16_t Read16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))); }

}  // namespace

void DecodeImaAdpcmBlock(const uint8_t* block, uint32_t block_bytes, uint32_t channels,
                         uint32_t samples_per_block, int16_t* out) {
  for (uint32_t c = 0; c < channels; ++c) {
    int32_t predictor = Read16(block + 4 * c);
    int index = std::clamp<int>(block[4 * c + 2], 0, 88);
    out[c] = static_cast<int16_t>(predictor);
    for (uint32_t n = 1; n < samples_per_block; ++n) {
      // Eight samples per four-byte word; the channels' words alternate.
      const uint32_t k = n - 1;
      const uint32_t byte = 4 * channels + ((k / 8) * channels + c) * 4 + (k % 8) / 2;
      uint8_t nibble = 0;
      if (byte < block_bytes) nibble = (k % 2 == 0) ? (block[byte] & 0x0F) : (block[byte] >> 4);
      const int32_t step = kImaSteps[index];
      int32_t diff = step >> 3;
      if (nibble & 1) diff += step >> 2;
      if (nibble & 2) diff += step >> 1;
      if (nibble & 4) diff += step;
      predictor = std::clamp(nibble & 8 ? predictor - diff : predictor + diff, -32768, 32767);
      index = std::clamp(index + kImaIndexShift[nibble], 0, 88);
      out[n * channels + c] = static_cast<int16_t>(predictor);
    }
  }
}

void DecodeMsAdpcmBlock(const uint8_t* block, uint32_t block_bytes, uint32_t channels,
                        uint32_t samples_per_block, const std::vector<int16_t>& coefficients,
                        int16_t* out) {
  int32_t coef1[2], coef2[2], delta[2], sample1[2], sample2[2];
  const uint32_t pairs = static_cast<uint32_t>(coefficients.size() / 2);
  for (uint32_t c = 0; c < channels; ++c) {
    uint32_t predictor = block[c];
    if (predictor >= pairs) predictor = 0;
    coef1[c] = coefficients[2 * predictor];
    coef2[c] = coefficients[2 * predictor + 1];
    delta[c] = Read16(block + channels + 2 * c);
    sample1[c] = Read16(block + 3 * channels + 2 * c);
    sample2[c] = Read16(block + 5 * channels + 2 * c);
    out[c] = static_cast<int16_t>(sample2[c]);
    if (samples_per_block > 1) out[channels + c] = static_cast<int16_t>(sample1[c]);
  }
  const uint32_t nibbles = samples_per_block > 2 ? (samples_per_block - 2) * channels : 0;
  for (uint32_t i = 0; i < nibbles; ++i) {
    const uint32_t byte = 7 * channels + i / 2;
    const uint32_t c = i % channels;
    uint32_t code = 0;
    if (byte < block_bytes) code = (i % 2 == 0) ? (block[byte] >> 4) : (block[byte] & 0x0F);
    const int32_t signed_code = code >= 8 ? static_cast<int32_t>(code) - 16 : static_cast<int32_t>(code);
    // 64 bits: hostile coefficients and deltas must not overflow.
    const int64_t linear = (static_cast<int64_t>(sample1[c]) * coef1[c] + static_cast<int64_t>(sample2[c]) * coef2[c]) >> 8;
    const int32_t predicted = static_cast<int32_t>(std::clamp<int64_t>(linear + static_cast<int64_t>(signed_code) * delta[c], -32768, 32767));
    sample2[c] = sample1[c];
    sample1[c] = predicted;
    delta[c] = static_cast<int32_t>(std::clamp<int64_t>((static_cast<int64_t>(kMsAdapt[code]) * delta[c]) >> 8, 16, 1 << 24));
    out[2 * channels + i] = static_cast<int16_t>(predicted);
  }
}

int16_t DecodeALaw(uint8_t code) {
  code ^= 0x55;
  int32_t t = (code & 0x0F) << 4;
  const int segment = (code & 0x70) >> 4;
  if (segment == 0) {
    t += 8;
  } else {
    t = (t + 0x108) << (segment - 1);
  }
  return static_cast<int16_t>((code & 0x80) ? t : -t);
}

int16_t DecodeMuLaw(uint8_t code) {
  code = static_cast<uint8_t>(~code);
  int32_t t = ((code & 0x0F) << 3) + 0x84;
  t <<= (code & 0x70) >> 4;
  return static_cast<int16_t>((code & 0x80) ? 0x84 - t : t - 0x84);
}

}  // namespace platform::audio
