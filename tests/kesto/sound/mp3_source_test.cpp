// MPEG frame headers and the MP3 probe: frame lengths, tags, the scan end,
// cut frames, and whole-frame decoding through the compression stand-in.
#include "kesto/sound/sound_fixture.h"
#include "sound/mp3_source.h"
#include "sound/sound_decoder.h"

namespace sound_test {
namespace {

TEST(MpegFrameHeaderTest, LengthsSamplesAndRefusals) {
  const struct {
    uint8_t b1, b2, b3;
    int result;
    uint32_t length, samples, rate, bit_rate, channels;
  } cases[] = {
      {0xFB, 0x90, 0x64, 0, 417, 1152, 44100, 128, 2},  // MPEG-1 Layer III
      {0xFB, 0x92, 0xC4, 0, 418, 1152, 44100, 128, 1},  // padded, single channel
      {0xF3, 0x80, 0x00, 0, 208, 576, 22050, 64, 2},    // MPEG-2 Layer III
      {0xFD, 0x90, 0x00, 0, 522, 1152, 44100, 160, 2},  // MPEG-1 Layer II
      {0xFF, 0x90, 0x00, 0, 312, 384, 44100, 288, 2},   // MPEG-1 Layer I
      {0xFB, 0xF0, 0x00, -1, 0, 0, 0, 0, 0},            // bit-rate index 15
      {0xFB, 0x0C, 0x00, -1, 0, 0, 0, 0, 0},            // sample-rate index 3
      {0xF9, 0x90, 0x00, -1, 0, 0, 0, 0, 0},            // reserved layer
      {0xFB, 0x00, 0x00, -1, 0, 0, 0, 0, 0},            // free format: no length to walk by
      {0xEB, 0x90, 0x00, -2, 0, 0, 0, 0, 0},            // no sync
  };
  for (const auto& c : cases) {
    const uint8_t bytes[4] = {0xFF, c.b1, c.b2, c.b3};
    MpegFrameHeader h{};
    ASSERT_EQ(c.result, ParseMpegFrameHeader(bytes, &h)) << std::hex << int(c.b1) << " " << int(c.b2);
    if (c.result != 0) continue;
    EXPECT_EQ(c.length, h.frame_length);
    EXPECT_EQ(c.samples, h.samples_per_frame);
    EXPECT_EQ(c.rate, h.sample_rate);
    EXPECT_EQ(c.bit_rate, h.bit_rate);
    EXPECT_EQ(c.channels, h.channels);
  }
}

// A silent 128 kbit/s frame (417 bytes) and a 26-byte 8 kbit/s MPEG-2 one.
std::vector<uint8_t> Frames(int n) {
  std::vector<uint8_t> v;
  for (int i = 0; i < n; ++i) {
    const uint8_t head[4] = {0xFF, 0xFB, 0x90, 0x64};
    v.insert(v.end(), head, head + 4);
    v.insert(v.end(), 413, 0);
  }
  return v;
}

std::vector<uint8_t> SmallFrames(int n) {
  std::vector<uint8_t> v;
  for (int i = 0; i < n; ++i) {
    const uint8_t head[4] = {0xFF, 0xF3, 0x10, 0xC4};
    v.insert(v.end(), head, head + 4);
    v.insert(v.end(), 22, 0);
  }
  return v;
}

std::vector<uint8_t> Id3(uint8_t version, uint8_t flags, uint32_t size) {
  std::vector<uint8_t> v = {'I', 'D', '3', version, 0, flags, static_cast<uint8_t>((size >> 21) & 0x7F),
                            static_cast<uint8_t>((size >> 14) & 0x7F), static_cast<uint8_t>((size >> 7) & 0x7F),
                            static_cast<uint8_t>(size & 0x7F)};
  v.insert(v.end(), size + (flags & 0x10 ? 10 : 0), 0);
  return v;
}

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct Probe {
  explicit Probe(std::vector<uint8_t> bytes) : image(std::move(bytes)) {
    stream = DataStream{GetMemoryStreamTable(), OpenMemoryStream(image.data(), static_cast<uint32_t>(image.size()))};
    result = OpenSoundDecoder(stream, &d);
  }
  ~Probe() {
    CloseSoundDecoder(&d);
    CloseMemoryStream(stream.handle);
  }
  std::vector<uint8_t> image;
  DataStream stream{};
  SoundDecoder d{};
  int result;
};

TEST(Mp3ProbeTest, TagsScanEndAndCutFrames) {
  std::vector<uint8_t> v1 = {'T', 'A', 'G'};
  v1.resize(128, 0);
  std::vector<uint8_t> cut = Frames(3);
  cut.resize(cut.size() - 100);
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    int64_t start, samples;
    uint32_t size;
  } cases[] = {
      {"plain", Frames(3), 0, 3 * 1152, 3 * 417},
      {"ID3v2.3 of 1000 bytes", Join(Id3(3, 0, 1000), Frames(2)), 1010, 2 * 1152, 2 * 417},
      {"ID3v2.4 with a footer", Join(Id3(4, 0x10, 1000), Frames(2)), 1020, 2 * 1152, 2 * 417},
      {"ID3v1 at the end", Join(Frames(2), v1), 0, 2 * 1152, 2 * 417},
      {"last frame cut short", cut, 0, 2 * 1152, 2 * 417},
      {"128 bytes or less: first frame only", SmallFrames(4), 0, 576, 26},
  };
  for (const auto& c : cases) {
    Probe p(c.bytes);
    ASSERT_EQ(0, p.result) << c.name;
    EXPECT_EQ(1, p.d.kind);
    EXPECT_EQ(c.start, p.d.data_start) << c.name;
    EXPECT_EQ(c.samples, p.d.total_samples) << c.name;
    EXPECT_EQ(c.size, p.d.data_size) << c.name;
    EXPECT_EQ(static_cast<uint32_t>(c.samples) * p.d.format.block_align, GetSoundDecoderPcmSize(&p.d));
  }
}

TEST(Mp3ProbeTest, SourceFormatComesFromTheFirstFrameAlone) {
  std::vector<uint8_t> bytes = Frames(1);
  const uint8_t padded_mono[4] = {0xFF, 0xFB, 0x92, 0xC4};
  bytes.insert(bytes.end(), padded_mono, padded_mono + 4);
  bytes.insert(bytes.end(), 414, 0);
  Probe p(bytes);
  ASSERT_EQ(0, p.result);
  const uint8_t* f = p.d.source_format;
  EXPECT_EQ(0x55, f[0] | (f[1] << 8));
  EXPECT_EQ(2, f[2]);
  EXPECT_EQ(44100u, static_cast<uint32_t>(f[4] | (f[5] << 8) | (f[6] << 16)));
  EXPECT_EQ(16000u, static_cast<uint32_t>(f[8] | (f[9] << 8) | (f[10] << 16)));
  EXPECT_EQ(12, f[16]);
  EXPECT_EQ(0, f[20]);                    // padding of the first frame
  EXPECT_EQ(417, f[24] | (f[25] << 8));  // its length
  EXPECT_EQ(700, f[28] | (f[29] << 8));
  EXPECT_EQ(2 * 1152, p.d.total_samples);
}

TEST(Mp3ProbeTest, NotMp3) {
  std::vector<uint8_t> stray = {0x00, 0xFF, 0xFB, 0xF0, 0x00};  // sync with an invalid field
  stray.resize(200, 0);
  std::vector<uint8_t> free_format = {0xFF, 0xFB, 0x00, 0x00};
  free_format.resize(600, 0);
  std::vector<uint8_t> short_id3 = {'I', 'D', '3', 3};
  EXPECT_EQ(-1, Probe(stray).result);
  EXPECT_EQ(-1, Probe(free_format).result);
  EXPECT_EQ(-1, Probe(short_id3).result);
}

TEST(Mp3ProbeTest, WholeFramesDecodeToTheirFullLength) {
  for (int n : {1, 2, 7}) {
    Probe p(Frames(n));
    ASSERT_EQ(0, p.result);
    WaveFormat f{};
    void* pcm = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(0, DecodeSoundToPcm(&p.d, &f, &pcm, &size));
    EXPECT_EQ(static_cast<uint32_t>(n) * 1152 * 4, size) << n << " frames";
    const auto* s = static_cast<const int16_t*>(pcm);
    int peak = 0;
    for (uint32_t i = 0; i < size / 2; ++i) peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    EXPECT_EQ(0, peak);
    SoundFree(pcm);
  }
}

}  // namespace
}  // namespace sound_test
