// Mixing cost per output period: rate-equal voices, resampled voices, and
// the decode of an ADPCM block.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/audio/adpcm.h"
#include "platform/audio/direct_sound.h"
#include "platform/audio/mixer.h"

namespace {

using namespace platform::audio;

void MixVoices(benchmark::State& state) {
  SetOutputKindForTesting(OutputKind::kManual);
  DirectSound* ds = nullptr;
  CreateDirectSound(&ds);
  ds->Initialize(nullptr);
  WaveFormat f{kFormatPcm, 2, static_cast<uint32_t>(state.range(1)), 0, 4, 16, 0};
  f.avg_bytes_per_sec = f.samples_per_sec * 4;
  std::vector<SoundBuffer*> voices;
  for (int i = 0; i < state.range(0); ++i) {
    BufferDesc desc;
    desc.flags = 0x80E2;
    desc.buffer_bytes = 44100 * 4;
    desc.format = &f;
    SoundBuffer* b = nullptr;
    ds->CreateSoundBuffer(&desc, &b, nullptr);
    b->SetVolume(-600);
    b->Play(0, 0, kPlayLooping);
    voices.push_back(b);
  }
  std::vector<int16_t> out(2 * 1024);
  for (auto _ : state) {
    Mixer::Get().Render(out.data(), 1024);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * 1024 * state.range(0));
  for (SoundBuffer* b : voices) b->Release();
  ds->Release();
}
BENCHMARK(MixVoices)->Args({1, 44100})->Args({16, 44100})->Args({16, 22050});

void DecodeImaBlocks(benchmark::State& state) {
  std::vector<uint8_t> block(1024);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 37);
  block[2] = 20;
  std::vector<int16_t> out(4096);
  for (auto _ : state) {
    DecodeImaAdpcmBlock(block.data(), 1024, 1, 2041, out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * 2041);
}
BENCHMARK(DecodeImaBlocks);

}  // namespace
