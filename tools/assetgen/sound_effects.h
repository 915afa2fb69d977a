// The 38 sound effects of se/: names, lengths and their synthesis.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct SoundEffectDef {
  const char* path;    // "se/cursor.wav"
  int milliseconds;    // length of the effect
  double peak;         // loudness: rapid-fire effects sit lower in the mix
};

constexpr int kEffectRate = 22050;

std::span<const SoundEffectDef> SoundEffects();
// Samples of the effect, exactly milliseconds * rate / 1000 of them.
std::vector<int16_t> SynthesizeEffect(const SoundEffectDef& def);
