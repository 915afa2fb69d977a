// Decoding to PCM by content: WAVE PCM and its chunk walk, the coded WAVE
// formats, Ogg Vorbis, MPEG audio, piecewise reads and seeks, and damaged
// files that must neither hang nor read out of bounds.
#include <cmath>

#include "kesto/sound/sound_fixture.h"
#include "platform/audio/adpcm.h"
#include "sound/mp3_source.h"
#include "sound/sound_decoder.h"

namespace sound_test {
namespace {

// A decoder open on a memory image, closed with its stream.
struct Decoded {
  explicit Decoded(std::vector<uint8_t> bytes) : image(std::move(bytes)) {
    stream = DataStream{GetMemoryStreamTable(), OpenMemoryStream(image.data(), static_cast<uint32_t>(image.size()))};
    result = OpenSoundDecoder(stream, &decoder);
  }
  ~Decoded() {
    CloseSoundDecoder(&decoder);
    CloseMemoryStream(stream.handle);
  }
  std::vector<uint8_t> All() {
    WaveFormat f{};
    void* pcm = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(0, DecodeSoundToPcm(&decoder, &f, &pcm, &size));
    const auto* p = static_cast<const uint8_t*>(pcm);
    std::vector<uint8_t> out(p, p + size);
    SoundFree(pcm);
    return out;
  }
  std::vector<int16_t> All16() {
    std::vector<uint8_t> bytes = All();
    std::vector<int16_t> s(bytes.size() / 2);
    std::memcpy(s.data(), bytes.data(), s.size() * 2);
    return s;
  }
  std::vector<uint8_t> image;
  DataStream stream{};
  SoundDecoder decoder{};
  int result = -1;
};

class SoundDecoderTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(blocks_, SoundLiveBlocks());
    EXPECT_EQ(0, platform::audio::LiveAcmStreamCount());
  }
  long blocks_ = SoundLiveBlocks();
};

// Zero crossings of one channel of interleaved samples: a tone's frequency.
int Crossings(const std::vector<int16_t>& s, int channels, int channel) {
  int count = 0;
  for (size_t i = static_cast<size_t>(channel + channels); i < s.size(); i += static_cast<size_t>(channels)) {
    if ((s[i - static_cast<size_t>(channels)] < 0) != (s[i] < 0)) ++count;
  }
  return count;
}

int Peak(const std::vector<int16_t>& s) {
  int peak = 0;
  for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}

TEST_F(SoundDecoderTest, WavePcmChunkWalkAndTheShortFmtCorrection) {
  std::vector<uint8_t> odd_chunk;
  PutTag(odd_chunk, "LIST");
  Put32(odd_chunk, 3);
  odd_chunk.insert(odd_chunk.end(), {1, 2, 3, 0});  // with its pad byte
  std::vector<uint8_t> fmt16 = PcmFmt(2, 8000, 16, false);
  fmt16[14] = 5;  // a bits field the 16-byte chunk does not honour
  Decoded d(Wave(fmt16, {9, 8, 7, 6, 5, 4, 3, 2}, odd_chunk));
  ASSERT_EQ(0, d.result);
  EXPECT_EQ(0, d.decoder.kind);
  EXPECT_EQ(16, d.decoder.format.bits_per_sample);
  EXPECT_EQ(0, d.decoder.format.extra_size);
  EXPECT_EQ(8u, GetSoundDecoderPcmSize(&d.decoder));
  EXPECT_EQ(std::vector<uint8_t>({9, 8, 7, 6, 5, 4, 3, 2}), d.All());

  // "fmt " must be the first chunk: otherwise no WAVE probe takes it.
  std::vector<uint8_t> late = Wave(PcmFmt(1, 8000, 8), {1});
  std::memcpy(late.data() + 12, "junk", 4);
  EXPECT_EQ(-1, Decoded(late).result);
}

TEST_F(SoundDecoderTest, PiecewiseReadsEndFlagAndShortSeeks) {
  std::vector<int16_t> s(40);
  for (int i = 0; i < 40; ++i) s[static_cast<size_t>(i)] = static_cast<int16_t>(i);
  Decoded d(Wave(PcmFmt(2, 8000, 16), Samples16(s)));
  ASSERT_EQ(0, d.result);
  int16_t buf[64] = {};
  EXPECT_EQ(20, ReadSoundDecoder(&d.decoder, buf, 20));
  EXPECT_EQ(9, buf[9]);
  EXPECT_EQ(60, ReadSoundDecoder(&d.decoder, buf, 100));
  EXPECT_EQ(39, buf[29]);
  EXPECT_EQ(1, d.decoder.end);
  EXPECT_EQ(0, ReadSoundDecoder(&d.decoder, buf, 4));
  // The next sample is 4 bytes away: nothing happens, the end flag stays.
  SeekSoundDecoder(&d.decoder, 21);
  EXPECT_EQ(1, d.decoder.end);
  SeekSoundDecoder(&d.decoder, 5);
  EXPECT_EQ(0, d.decoder.end);
  EXPECT_EQ(4, ReadSoundDecoder(&d.decoder, buf, 4));
  EXPECT_EQ(10, buf[0]);
  EXPECT_EQ(0, CloseSoundDecoder(&d.decoder));
  EXPECT_EQ(-1, CloseSoundDecoder(&d.decoder));
  EXPECT_EQ(-1, ReadSoundDecoder(&d.decoder, buf, 4));
}

TEST_F(SoundDecoderTest, ARewindToTheStartAlwaysHappens) {
  // Twelve bytes: a looping stream rewinds a sound shorter than the seek's
  // dead zone, and must not stay at its end.
  Decoded d(Wave(PcmFmt(1, 8000, 16), Samples16({1, 2, 3, 4, 5, 6})));
  int16_t buf[8] = {};
  EXPECT_EQ(12, ReadSoundDecoder(&d.decoder, buf, 16));
  EXPECT_EQ(1, d.decoder.end);
  SeekSoundDecoder(&d.decoder, 0);
  EXPECT_EQ(0, d.decoder.end);
  EXPECT_EQ(2, ReadSoundDecoder(&d.decoder, buf, 2));
  EXPECT_EQ(1, buf[0]);
}

TEST_F(SoundDecoderTest, BuildWaveImageLaysOutARiffFile) {
  WaveFormat f{1, 1, 8000, 16000, 2, 16, 0};
  std::vector<uint8_t> pcm(1000, 7);
  void* image = nullptr;
  uint32_t size = 0;
  ASSERT_EQ(0, BuildWaveImage(&image, &size, &f, 18, pcm.data(), 1000));
  EXPECT_EQ(1046u, size);
  const auto* p = static_cast<const uint8_t*>(image);
  EXPECT_EQ(1038u, p[4] | (p[5] << 8) | (p[6] << 16) | (p[7] << 24));
  Decoded d(std::vector<uint8_t>(p, p + size));
  SoundFree(image);
  ASSERT_EQ(0, d.result);
  EXPECT_EQ(pcm, d.All());
}

// Damaged files: each either fails to open or decodes what is there; none
// hangs, crashes, or reads outside its input.
TEST_F(SoundDecoderTest, DamagedWavesOpenBoundedOrNotAtAll) {
  std::vector<uint8_t> huge_fmt = Wave(PcmFmt(1, 8000, 8), {1, 2});
  huge_fmt[16] = 0xFF, huge_fmt[17] = 0xFF, huge_fmt[18] = 0xFF, huge_fmt[19] = 0x7F;
  std::vector<uint8_t> cut_fmt = Wave(PcmFmt(1, 8000, 8), {});
  cut_fmt.resize(30);
  std::vector<uint8_t> no_channels = Wave(PcmFmt(0, 8000, 16, false), {1, 2});
  std::vector<uint8_t> back_seek;
  PutTag(back_seek, "junk");
  Put32(back_seek, 0xFFFFFFF8u);
  std::vector<uint8_t> backwards = Wave(PcmFmt(1, 8000, 8), {1, 2}, back_seek);
  std::vector<uint8_t> long_claim = Wave(PcmFmt(1, 8000, 8), {1, 2, 3});
  long_claim[long_claim.size() - 7] = 0xFF;  // data size 0x00FF0003... claims more than there is
  long_claim[long_claim.size() - 5] = 0xFF;
  std::vector<uint8_t> no_rate = Wave(PcmFmt(1, 8000, 8), {1, 2});
  no_rate[28] = no_rate[29] = no_rate[30] = no_rate[31] = 0;  // bytes per second 0
  std::vector<uint8_t> tiny(std::vector<uint8_t>{'R', 'I', 'F', 'F', 0, 0});

  const struct {
    const char* name;
    std::vector<uint8_t> image;
    int open;
    size_t decoded;
  } cases[] = {
      {"fmt size 2 GB", huge_fmt, -1, 0},
      {"fmt cut short", cut_fmt, -1, 0},
      {"no channels", no_channels, -1, 0},
      {"chunk seeking backwards", backwards, -1, 0},
      {"data longer than the file", long_claim, 0, 3},
      {"no byte rate", no_rate, -1, 0},
      {"six bytes", tiny, -1, 0},
  };
  for (const auto& c : cases) {
    Decoded d(c.image);
    EXPECT_EQ(c.open, d.result) << c.name;
    if (d.result == 0) {
      EXPECT_EQ(c.decoded, d.All().size()) << c.name;
    }
  }
}

std::vector<uint8_t> ImaFmt(uint16_t channels, uint16_t block_align) {
  std::vector<uint8_t> f;
  const uint16_t spb = static_cast<uint16_t>((block_align - 4 * channels) * 8 / (4 * channels) + 1);
  Put16(f, 0x11);
  Put16(f, channels);
  Put32(f, 8000);
  Put32(f, 8000u * block_align / spb);
  Put16(f, block_align);
  Put16(f, 4);
  Put16(f, 2);
  Put16(f, spb);
  return f;
}

TEST_F(SoundDecoderTest, ImaAdpcmDecodesByTheStepTable) {
  // Header: sample 0, step index 0. Nibbles 7, 7, F, 0, then zeros.
  std::vector<uint8_t> block = {0, 0, 0, 0, 0x77, 0x0F, 0, 0};
  Decoded d(Wave(ImaFmt(1, 8), block));
  ASSERT_EQ(0, d.result);
  EXPECT_EQ(1, d.decoder.kind);
  EXPECT_EQ(16, d.decoder.format.bits_per_sample);
  const std::vector<int16_t> s = d.All16();
  ASSERT_EQ(9u, s.size());
  // Step 7: 11; index 8, step 16: +30 = 41; index 16, step 34: -63 = -22;
  // index 24, step 73: nibble 0 adds 73 >> 3.
  EXPECT_EQ(std::vector<int16_t>({0, 11, 41, -22, -13}), std::vector<int16_t>(s.begin(), s.begin() + 5));

  // A step index beyond the table is clamped to its last entry.
  int16_t out[9];
  const uint8_t wild[8] = {0, 0, 200, 0, 0, 0, 0, 0};
  platform::audio::DecodeImaAdpcmBlock(wild, 8, 1, 9, out);
  EXPECT_EQ(32767 >> 3, out[1]);
}

TEST_F(SoundDecoderTest, MsAdpcmPredictsFromItsCoefficients) {
  std::vector<uint8_t> f;
  Put16(f, 2);
  Put16(f, 1);
  Put32(f, 8000);
  Put32(f, 4000);
  Put16(f, 9);   // 7 header bytes + 2 data bytes
  Put16(f, 4);
  Put16(f, 32);  // 4 + 7 pairs
  Put16(f, 6);
  Put16(f, 7);
  const int16_t pairs[14] = {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232};
  for (int16_t c : pairs) Put16(f, static_cast<uint16_t>(c));
  // Predictor 0, delta 16, sample1 100, sample2 50; nibbles 1, F, 0, 0.
  std::vector<uint8_t> block = {0, 16, 0, 100, 0, 50, 0, 0x1F, 0x00};
  Decoded d(Wave(f, block));
  ASSERT_EQ(0, d.result);
  const std::vector<int16_t> s = d.All16();
  ASSERT_EQ(6u, s.size());
  EXPECT_EQ(std::vector<int16_t>({50, 100, 116, 100, 100, 100}), s);
  // A predictor index past the coefficient count uses the first pair.
  block[0] = 9;
  EXPECT_EQ(s, Decoded(Wave(f, block)).All16());
  // Too few coefficients: refused.
  f[20] = 6;
  EXPECT_EQ(-1, Decoded(Wave(f, block)).result);
}

TEST_F(SoundDecoderTest, G711Tables) {
  using platform::audio::DecodeALaw;
  using platform::audio::DecodeMuLaw;
  EXPECT_EQ(0, DecodeMuLaw(0xFF));
  EXPECT_EQ(-32124, DecodeMuLaw(0x00));
  EXPECT_EQ(32124, DecodeMuLaw(0x80));
  EXPECT_EQ(8, DecodeALaw(0xD5));
  EXPECT_EQ(-8, DecodeALaw(0x55));
  EXPECT_EQ(32256, DecodeALaw(0xAA));
  std::vector<uint8_t> f;
  Put16(f, 7);
  Put16(f, 1);
  Put32(f, 8000);
  Put32(f, 8000);
  Put16(f, 1);
  Put16(f, 8);
  Put16(f, 0);
  Decoded d(Wave(f, {0xFF, 0x00, 0x80}));
  ASSERT_EQ(0, d.result);
  EXPECT_EQ(std::vector<int16_t>({0, -32124, 32124}), d.All16());
}

TEST_F(SoundDecoderTest, CodedWavesThatCannotConvertAreRefused) {
  std::vector<uint8_t> zero_align = ImaFmt(1, 8);
  zero_align[12] = 0;
  std::vector<uint8_t> three_channels = ImaFmt(1, 8);
  three_channels[2] = 3;
  std::vector<uint8_t> slow = ImaFmt(1, 256);
  slow[8] = 10, slow[9] = slow[10] = slow[11] = 0;  // an eighth of a second holds no block
  EXPECT_EQ(-1, Decoded(Wave(zero_align, {0, 0, 0, 0})).result);
  EXPECT_EQ(-1, Decoded(Wave(three_channels, {0, 0, 0, 0})).result);
  // Too slow for a whole block per eighth of a second: one block is read
  // anyway, and a trailing partial block ends the data.
  std::vector<uint8_t> data(256 + 100, 0);
  Decoded d(Wave(slow, data));
  ASSERT_EQ(0, d.result);
  EXPECT_EQ(505u * 2, d.All().size());
}

TEST_F(SoundDecoderTest, OggVorbisDecodesToSigned16BitSamples) {
  Decoded d(ReadFixture("tone.ogg"));
  ASSERT_EQ(0, d.result);
  EXPECT_EQ(2, d.decoder.kind);
  const WaveFormat& f = d.decoder.format;
  EXPECT_EQ(2, f.channels);
  EXPECT_EQ(22050u, f.samples_per_sec);
  EXPECT_EQ(16, f.bits_per_sample);
  EXPECT_EQ(4, f.block_align);
  const std::vector<int16_t> s = d.All16();
  EXPECT_EQ(GetSoundDecoderPcmSize(&d.decoder) / 2, s.size());
  EXPECT_NEAR(0.25 * 22050 * 2, static_cast<double>(s.size()), 2 * 1024);
  // 440 Hz left, 660 Hz right for a quarter of a second, at a quarter scale.
  EXPECT_NEAR(220, Crossings(s, 2, 0), 6);
  EXPECT_NEAR(330, Crossings(s, 2, 1), 6);
  EXPECT_NEAR(8192, Peak(s), 1500);
}

TEST_F(SoundDecoderTest, Mp3DecodesThroughTheCompressionManager) {
  Decoded d(ReadFixture("tone.mp3"));
  ASSERT_EQ(0, d.result);
  EXPECT_EQ(1, d.decoder.kind);
  EXPECT_EQ(0, d.decoder.total_samples % 1152);
  EXPECT_EQ(static_cast<uint32_t>(d.decoder.total_samples) * 4, GetSoundDecoderPcmSize(&d.decoder));
  const std::vector<int16_t> s = d.All16();
  EXPECT_EQ(static_cast<size_t>(d.decoder.total_samples) * 2, s.size());
  // 0.3 s of 440 Hz left and 660 Hz right at 8000.
  EXPECT_NEAR(2 * 440 * 0.3, Crossings(s, 2, 0), 20);
  EXPECT_NEAR(2 * 660 * 0.3, Crossings(s, 2, 1), 20);
  EXPECT_NEAR(8000, Peak(s), 1500);
  // Seeking back and forth lands on the same samples as a straight read.
  SeekSoundDecoder(&d.decoder, 5000);
  int16_t at[4];
  ASSERT_EQ(8, ReadSoundDecoder(&d.decoder, at, 8));
  EXPECT_EQ(s[10000], at[0]);
  EXPECT_EQ(s[10003], at[3]);
  SeekSoundDecoder(&d.decoder, 100);
  ASSERT_EQ(8, ReadSoundDecoder(&d.decoder, at, 8));
  EXPECT_EQ(s[200], at[0]);
}

TEST_F(SoundDecoderTest, NothingTakesUnknownContent) {
  EXPECT_EQ(-1, Decoded(std::vector<uint8_t>(3000, 0x41)).result);
  EXPECT_EQ(-1, Decoded({}).result);
}

}  // namespace
}  // namespace sound_test
