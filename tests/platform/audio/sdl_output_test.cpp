// The real output on SDL's disk driver: what the mixer renders reaches the
// driver's file. The one test here runs in real time (a fraction of a second).
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/audio/direct_sound.h"
#include "platform/audio/mixer.h"
#include "support/scoped_temp_dir.h"

namespace platform::audio {
namespace {

TEST(SdlOutputTest, DiskDriverReceivesTheMixedSound) {
  ScopedTempDir dir;
  const std::string file = (dir.path() / "out.raw").string();
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "0", 1);
  SetOutputKindForTesting(OutputKind::kSdl);
  DirectSound* ds = nullptr;
  ASSERT_EQ(kOk, CreateDirectSound(&ds));
  if (Failed(ds->Initialize(nullptr))) {
    ds->Release();
    GTEST_SKIP() << "no SDL disk audio driver";
  }
  WaveFormat f{kFormatPcm, 1, 44100, 88200, 2, 16, 0};
  std::vector<int16_t> tone(4410);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>(i % 2 ? 1000 : -1000);
  BufferDesc desc;
  desc.flags = 0x80E2;
  desc.buffer_bytes = static_cast<uint32_t>(tone.size() * 2);
  desc.format = &f;
  SoundBuffer* b = nullptr;
  ASSERT_EQ(kOk, ds->CreateSoundBuffer(&desc, &b, nullptr));
  void *p1, *p2;
  uint32_t n1, n2;
  ASSERT_EQ(kOk, b->Lock(0, desc.buffer_bytes, &p1, &n1, &p2, &n2, 0));
  std::memcpy(p1, tone.data(), n1);
  b->Unlock(p1, n1, p2, n2);
  ASSERT_EQ(kOk, b->Play(0, 0, 0));
  // The tenth of a second plays out; allow a generous real-time margin.
  uint32_t status = kStatusPlaying;
  for (int i = 0; i < 300 && (status & kStatusPlaying); ++i) {
    SDL_Delay(10);
    b->GetStatus(&status);
  }
  EXPECT_EQ(0u, status & kStatusPlaying);
  b->Release();
  ds->Release();
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> got(bytes.size() / 2);
  std::memcpy(got.data(), bytes.data(), got.size() * 2);
  int loud = 0;
  for (int16_t v : got) loud += (v == 1000 || v == -1000) ? 1 : 0;
  EXPECT_EQ(2 * 4410, loud);  // every frame on both sides, once
}

}  // namespace
}  // namespace platform::audio
