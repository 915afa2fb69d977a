// The mixer and its buffers on the manual output: exact copies, gains,
// cursors, loops and ends, duplicates, locks at the ring end.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/audio/direct_sound.h"
#include "platform/audio/mixer.h"
#include "platform/audio/sound_buffer.h"

namespace platform::audio {
namespace {

WaveFormat Pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
  WaveFormat f{};
  f.format_tag = kFormatPcm;
  f.channels = channels;
  f.samples_per_sec = rate;
  f.bits_per_sample = bits;
  f.block_align = static_cast<uint16_t>(channels * bits / 8);
  f.avg_bytes_per_sec = rate * f.block_align;
  return f;
}

class MixerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetOutputKindForTesting(OutputKind::kManual);
    ClearFaults();
    ASSERT_EQ(kOk, CreateDirectSound(&ds_));
    ASSERT_EQ(kOk, ds_->Initialize(nullptr));
  }
  void TearDown() override {
    for (SoundBuffer* b : made_) b->Release();
    ds_->Release();
    EXPECT_EQ(0, LiveDirectSoundCount());
  }

  SoundBuffer* Make(const WaveFormat& f, const std::vector<uint8_t>& bytes) {
    BufferDesc desc;
    desc.flags = 0x80E2;
    desc.buffer_bytes = static_cast<uint32_t>(bytes.size());
    desc.format = &f;
    SoundBuffer* b = nullptr;
    EXPECT_EQ(kOk, ds_->CreateSoundBuffer(&desc, &b, nullptr));
    void *p1, *p2;
    uint32_t n1, n2;
    EXPECT_EQ(kOk, b->Lock(0, desc.buffer_bytes, &p1, &n1, &p2, &n2, 0));
    std::memcpy(p1, bytes.data(), n1);
    EXPECT_EQ(kOk, b->Unlock(p1, n1, p2, n2));
    made_.push_back(b);
    return b;
  }

  static std::vector<int16_t> Render(int frames) {
    std::vector<int16_t> out(2 * static_cast<size_t>(frames));
    Mixer::Get().Render(out.data(), frames);
    return out;
  }

  DirectSound* ds_ = nullptr;
  std::vector<SoundBuffer*> made_;
};

std::vector<uint8_t> Stereo16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> bytes(samples.size() * 2);
  std::memcpy(bytes.data(), samples.data(), bytes.size());
  return bytes;
}

TEST_F(MixerTest, RateEqualCopyIsExactAndANonLoopingEndStopsAndRewinds) {
  std::vector<int16_t> s = {100, -100, 32767, -32768, 5, 7};
  SoundBuffer* b = Make(Pcm(2, 44100, 16), Stereo16(s));
  ASSERT_EQ(kOk, b->Play(0, 0, 0));
  std::vector<int16_t> out = Render(5);
  EXPECT_EQ(std::vector<int16_t>({100, -100, 32767, -32768, 5, 7, 0, 0, 0, 0}), out);
  uint32_t status = 9, play = 9;
  EXPECT_EQ(kOk, b->GetStatus(&status));
  EXPECT_EQ(0u, status);
  EXPECT_EQ(kOk, b->GetCurrentPosition(&play, nullptr));
  EXPECT_EQ(0u, play);
  EXPECT_EQ(0u, Mixer::Get().voice_count());
}

TEST_F(MixerTest, FormatsWidenToSixteenBitsAndMonoFeedsBothSides) {
  struct Case {
    WaveFormat format;
    std::vector<uint8_t> frame;
    int16_t left, right;
  };
  const Case cases[] = {
      {Pcm(1, 44100, 8), {0xFF}, 127 * 256, 127 * 256},
      {Pcm(1, 44100, 8), {0x00}, -32768, -32768},
      {Pcm(1, 44100, 16), {0x34, 0x12}, 0x1234, 0x1234},
      {Pcm(2, 44100, 24), {0x11, 0x34, 0x12, 0x22, 0xCC, 0xED}, 0x1234, -0x1234},
      {Pcm(1, 44100, 32), {0, 0, 0x00, 0x80}, -32768, -32768},
      {Pcm(4, 44100, 16), {2, 0, 4, 0, 6, 0, 8, 0}, 4, 6},
  };
  for (const Case& c : cases) {
    SoundBuffer* b = Make(c.format, c.frame);
    ASSERT_EQ(kOk, b->Play(0, 0, 0));
    std::vector<int16_t> out = Render(1);
    EXPECT_EQ(c.left, out[0]) << c.format.bits_per_sample << " bits";
    EXPECT_EQ(c.right, out[1]) << c.format.bits_per_sample << " bits";
  }
}

TEST_F(MixerTest, VolumeAndPanGainsWithinOneStep) {
  struct Case {
    int32_t volume, pan;
    double left_db, right_db;
  };
  const Case cases[] = {{-600, 0, -6, -6}, {-2000, 0, -20, -20}, {0, 1000, -10, 0},
                        {-300, -2500, -3, -28}, {-10000, 0, -1000, -1000}};
  for (const Case& c : cases) {
    SoundBuffer* b = Make(Pcm(2, 44100, 16), Stereo16({20000, 20000}));
    ASSERT_EQ(kOk, b->SetVolume(c.volume));
    ASSERT_EQ(kOk, b->SetPan(c.pan));
    ASSERT_EQ(kOk, b->Play(0, 0, 0));
    std::vector<int16_t> out = Render(1);
    const double l = c.left_db <= -100 ? 0 : 20000 * std::pow(10.0, c.left_db / 20);
    const double r = c.right_db <= -100 ? 0 : 20000 * std::pow(10.0, c.right_db / 20);
    EXPECT_NEAR(l, out[0], 1.0) << c.volume << "/" << c.pan;
    EXPECT_NEAR(r, out[1], 1.0) << c.volume << "/" << c.pan;
  }
  SoundBuffer* b = made_.back();
  EXPECT_EQ(kErrInvalidParam, b->SetVolume(1));
  EXPECT_EQ(kErrInvalidParam, b->SetVolume(-10001));
}

TEST_F(MixerTest, LoopWrapsWithoutGapAndSumsSaturate) {
  SoundBuffer* a = Make(Pcm(1, 44100, 16), Stereo16({1, 2, 3}));
  SoundBuffer* loud = Make(Pcm(1, 44100, 16), Stereo16({30000, 30000, 30000, 30000, 30000, 30000, 30000, 30000}));
  ASSERT_EQ(kOk, a->Play(0, 0, kPlayLooping));
  std::vector<int16_t> out = Render(7);
  EXPECT_EQ(std::vector<int16_t>({1, 1, 2, 2, 3, 3, 1, 1, 2, 2, 3, 3, 1, 1}), out);
  uint32_t status = 0, play = 0;
  a->GetStatus(&status);
  EXPECT_EQ(kStatusPlaying | kStatusLooping, status);
  a->GetCurrentPosition(&play, nullptr);
  EXPECT_EQ(2u, play);  // frame 1 of 3
  ASSERT_EQ(kOk, loud->Play(0, 0, 0));
  out = Render(1);
  EXPECT_EQ(30002, out[0]);  // the loud one plus frame 1 of the loop
  a->Stop();
  Make(Pcm(1, 44100, 16), Stereo16({30000}))->Play(0, 0, 0);
  out = Render(1);
  EXPECT_EQ(32767, out[0]);
}

TEST_F(MixerTest, StopKeepsThePositionAndDuplicatesShareDataNotCursors) {
  SoundBuffer* b = Make(Pcm(1, 44100, 16), Stereo16({10, 20, 30, 40}));
  SoundBuffer* d = nullptr;
  ASSERT_EQ(kOk, ds_->DuplicateSoundBuffer(b, &d));
  made_.push_back(d);
  ASSERT_EQ(kOk, b->Play(0, 0, 0));
  Render(2);
  b->Stop();
  uint32_t pb = 0, pd = 9;
  b->GetCurrentPosition(&pb, nullptr);
  d->GetCurrentPosition(&pd, nullptr);
  EXPECT_EQ(4u, pb);
  EXPECT_EQ(0u, pd);
  ASSERT_EQ(kOk, d->Play(0, 0, 0));
  ASSERT_EQ(kOk, b->Play(0, 0, 0));
  std::vector<int16_t> out = Render(2);
  EXPECT_EQ(10 + 30, out[0]);
  EXPECT_EQ(20 + 40, out[2]);
}

TEST_F(MixerTest, HalfRateInterpolatesAndCursorFollowsTheRatio) {
  SoundBuffer* b = Make(Pcm(1, 22050, 16), Stereo16({0, 100, 200, 300}));
  ASSERT_EQ(kOk, b->Play(0, 0, 0));
  std::vector<int16_t> out = Render(4);
  EXPECT_EQ(0, out[0]);
  EXPECT_EQ(50, out[2]);
  EXPECT_EQ(100, out[4]);
  EXPECT_EQ(150, out[6]);
  uint32_t play = 0;
  b->GetCurrentPosition(&play, nullptr);
  EXPECT_EQ(4u, play);  // two source frames
  ASSERT_EQ(kOk, b->SetFrequency(88200));
  out = Render(1);
  EXPECT_EQ(200, out[0]);
  b->GetCurrentPosition(&play, nullptr);
  EXPECT_EQ(0u, play);  // 4 frames reached: ended and rewound
}

TEST_F(MixerTest, LockSplitsAtTheRingEndAndRefusesBadRanges) {
  SoundBuffer* b = Make(Pcm(1, 44100, 8), std::vector<uint8_t>(8, 0x80));
  void *p1 = nullptr, *p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  ASSERT_EQ(kOk, b->Lock(6, 4, &p1, &n1, &p2, &n2, 0));
  EXPECT_EQ(2u, n1);
  EXPECT_EQ(2u, n2);
  ASSERT_NE(nullptr, p2);
  std::memset(p1, 1, n1);
  std::memset(p2, 2, n2);
  ASSERT_EQ(kOk, b->Unlock(p1, n1, p2, n2));
  ASSERT_EQ(kOk, b->Lock(0, 8, &p1, &n1, &p2, &n2, 0));
  EXPECT_EQ(nullptr, p2);
  const uint8_t* bytes = static_cast<const uint8_t*>(p1);
  EXPECT_EQ(std::vector<uint8_t>({2, 2, 0x80, 0x80, 0x80, 0x80, 1, 1}), std::vector<uint8_t>(bytes, bytes + 8));
  EXPECT_EQ(kErrInvalidParam, b->Lock(0, 1, &p1, &n1, &p2, &n2, 0));  // already locked
  ASSERT_EQ(kOk, b->Unlock(p1, n1, p2, n2));
  EXPECT_EQ(kErrInvalidParam, b->Lock(0, 0, &p1, &n1, &p2, &n2, 0));
  EXPECT_EQ(kErrInvalidParam, b->Lock(8, 1, &p1, &n1, &p2, &n2, 0));
  EXPECT_EQ(kErrInvalidParam, b->Lock(0, 9, &p1, &n1, &p2, &n2, 0));
}

TEST_F(MixerTest, RefusedFormatsAndTheWriteCursor) {
  const WaveFormat bad[] = {Pcm(0, 44100, 16), Pcm(2, 0, 16), Pcm(2, 44100, 12)};
  for (const WaveFormat& f : bad) {
    BufferDesc desc;
    desc.buffer_bytes = 16;
    desc.format = &f;
    SoundBuffer* b = nullptr;
    EXPECT_TRUE(Failed(ds_->CreateSoundBuffer(&desc, &b, nullptr)));
    EXPECT_EQ(nullptr, b);
  }
  WaveFormat odd = Pcm(2, 44100, 16);
  odd.block_align = 3;
  EXPECT_FALSE(AcceptableBufferFormat(odd, 16));
  EXPECT_FALSE(AcceptableBufferFormat(Pcm(2, 44100, 16), 0));
  // A size that is not whole frames: the tail byte is never read.
  SoundBuffer* b = Make(Pcm(1, 44100, 16), {1, 0, 2, 0, 0x7F});
  ASSERT_EQ(kOk, b->Play(0, 0, kPlayLooping));
  std::vector<int16_t> out = Render(3);
  EXPECT_EQ(1, out[4]);
  uint32_t play = 0, write = 0;
  b->GetCurrentPosition(&play, &write);
  EXPECT_EQ(2u, play);
  EXPECT_EQ((1 + 512) % 2 * 2u, write);
}

}  // namespace
}  // namespace platform::audio
