// Block decoders of the coded wave formats the compression stand-in offers.
#pragma once

#include <cstdint>
#include <vector>

namespace platform::audio {

// One IMA ADPCM block of `block_bytes` into samples_per_block x channels
// interleaved samples. Step indices out of range are clamped.
void DecodeImaAdpcmBlock(const uint8_t* block, uint32_t block_bytes, uint32_t channels,
                         uint32_t samples_per_block, int16_t* out);
// One Microsoft ADPCM block; `coefficients` holds the pairs of the format.
// A predictor index beyond them uses the first pair.
void DecodeMsAdpcmBlock(const uint8_t* block, uint32_t block_bytes, uint32_t channels,
                        uint32_t samples_per_block, const std::vector<int16_t>& coefficients,
                        int16_t* out);
int16_t DecodeALaw(uint8_t code);
int16_t DecodeMuLaw(uint8_t code);

}  // namespace platform::audio
