// The generated effects and tracks as the library's sound layer decodes them:
// recognised by content, at the generated rate, of the generated length.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/data_stream.h"
#include "music.h"
#include "run_dir.h"
#include "sound/sound_decoder.h"
#include "sound/sound_host.h"
#include "sound_effects.h"
#include "version.h"

namespace {

struct Decoded {
  WaveFormat format{};
  uint32_t bytes = 0;
};

// Decodes a whole file through the same path a sound load takes.
bool DecodeThroughLibrary(const std::filesystem::path& path, Decoded* out) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> data(std::istreambuf_iterator<char>(in), {});
  if (data.empty()) return false;
  void* handle = OpenMemoryStream(data.data(), static_cast<uint32_t>(data.size()));
  if (handle == nullptr) return false;
  const DataStream stream{GetMemoryStreamTable(), handle};
  SoundDecoder decoder;
  bool ok = false;
  if (OpenSoundDecoder(stream, &decoder) == 0) {
    void* pcm = nullptr;
    ok = DecodeSoundToPcm(&decoder, &out->format, &pcm, &out->bytes) == 0;
    SoundFree(pcm);
    CloseSoundDecoder(&decoder);
  }
  CloseMemoryStream(handle);
  return ok;
}

class GeneratedSoundsInTheLibrary : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::filesystem::current_path() / "assetgen_run";
    GenerateReport r = GenerateRunDirectory(dir_.string(), AllOutputs(), GeneratorStamp());
    ASSERT_EQ(r.failed, 0);
  }
  static std::filesystem::path dir_;
};
std::filesystem::path GeneratedSoundsInTheLibrary::dir_;

TEST_F(GeneratedSoundsInTheLibrary, EveryEffectDecodesToItsLength) {
  for (const SoundEffectDef& def : SoundEffects()) {
    SCOPED_TRACE(def.path);
    Decoded d;
    ASSERT_TRUE(DecodeThroughLibrary(dir_ / def.path, &d));
    EXPECT_EQ(d.format.channels, 1);
    EXPECT_EQ(d.format.bits_per_sample, 16);
    EXPECT_EQ(static_cast<int>(d.format.samples_per_sec), kEffectRate);
    EXPECT_EQ(static_cast<int>(d.bytes / 2), def.milliseconds * kEffectRate / 1000);
  }
}

TEST_F(GeneratedSoundsInTheLibrary, EveryTrackDecodesToItsLoopLength) {
  for (const MusicDef& def : MusicTracks()) {
    SCOPED_TRACE(def.path);
    Decoded d;
    ASSERT_TRUE(DecodeThroughLibrary(dir_ / def.path, &d));
    ASSERT_GT(d.format.samples_per_sec, 0u);
    ASSERT_GT(d.format.block_align, 0);
    EXPECT_EQ(static_cast<int>(d.format.samples_per_sec), kMusicRate);
    double seconds =
        static_cast<double>(d.bytes / d.format.block_align) / d.format.samples_per_sec;
    // The encoder adds a little delay and padding, never much.
    EXPECT_NEAR(seconds, static_cast<double>(MusicSampleCount(def)) / kMusicRate, 0.2);
  }
}

}  // namespace
