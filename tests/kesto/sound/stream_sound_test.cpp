// Streaming sounds on the manual output: the first fill, segment chains with
// loop counts, looping without gaps, the end of the data, restarts, and the
// segments that must be refused.
#include "sound/stream_sound.h"

#include <fstream>
#include <list>

#include "kesto/sound/sound_fixture.h"
#include "platform/file_system.h"
#include "support/scoped_temp_dir.h"

namespace sound_test {
namespace {

// 8-bit mono at the output's rate: one byte per output frame, and the
// mixer's output for byte b is (b - 128) * 256.
constexpr uint32_t kRate = 44100;

std::vector<uint8_t> Bytes(size_t n, uint8_t first, uint8_t step = 1) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(first + step * (i % 50));
  return v;
}

class StreamSoundTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    StartEngine0();
  }
  int Stream(const std::vector<std::vector<uint8_t>>& segments, const std::vector<int>& loops,
             uint16_t bits = 8) {
    const int h = AddSoundData();
    for (size_t i = 0; i < segments.size(); ++i) {
      images_.push_back(Wave(PcmFmt(1, kRate, bits), segments[i]));
      const auto& image = images_.back();
      EXPECT_EQ(0, AddStreamSoundMemory(image.data(), static_cast<uint32_t>(image.size()), loops[i], h, 2));
    }
    return h;
  }
  std::vector<uint8_t> Ring(int h, uint32_t from, uint32_t count) {
    SoundBuffer* ring = SoundRecordOf(h)->buffers[0];
    void *p1, *p2;
    uint32_t n1, n2;
    EXPECT_EQ(0, ring->Lock(from, count, &p1, &n1, &p2, &n2, 0));
    std::vector<uint8_t> out(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
    if (p2 != nullptr) out.insert(out.end(), static_cast<uint8_t*>(p2), static_cast<uint8_t*>(p2) + n2);
    ring->Unlock(p1, n1, p2, n2);
    return out;
  }
  static std::vector<uint8_t> AsBytes(const std::vector<int16_t>& stereo) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < stereo.size(); i += 2) out.push_back(static_cast<uint8_t>(stereo[i] / 256 + 128));
    return out;
  }
  std::list<std::vector<uint8_t>> images_;
};

TEST_F(StreamSoundTest, ShortSourceIsFollowedBySilenceAndStopsAtItsEnd) {
  const std::vector<uint8_t> data = Bytes(1000, 10);
  const int h = Stream({data}, {0});
  PrimeStreamSound(h);
  SoundRecord* r = SoundRecordOf(h);
  EXPECT_EQ(6 * kRate, r->ring_size);
  EXPECT_EQ(static_cast<int32_t>(4 * kRate), r->write_position);
  EXPECT_EQ(data, Ring(h, 0, 1000));
  EXPECT_EQ(std::vector<uint8_t>(kRate / 8, 0x80), Ring(h, 1000, kRate / 8));
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 1));
  EXPECT_EQ(data, AsBytes(Render(1000)));
  Render(10);
  Pump();
  EXPECT_EQ(0, IsSoundHandlePlaying(h));
}

TEST_F(StreamSoundTest, SegmentsPlayTheirLoopCountsInOrder) {
  const auto a = Bytes(100, 1), b = Bytes(100, 60), c = Bytes(100, 120);
  const int h = Stream({a, b, c}, {0, 1, -1});
  PrimeStreamSound(h);
  EXPECT_EQ(a, Ring(h, 0, 100));
  EXPECT_EQ(b, Ring(h, 100, 100));
  EXPECT_EQ(b, Ring(h, 200, 100));
  for (uint32_t at = 300; at < 4 * kRate; at += 100 * 97) EXPECT_EQ(c, Ring(h, at, 100)) << at;
}

TEST_F(StreamSoundTest, LoopingStreamPlaysWithoutGapsForMinutes) {
  const std::vector<uint8_t> data = Bytes(997, 3, 5);
  const int h = Stream({data}, {0});
  ASSERT_EQ(0, PlaySoundHandle(h, 3, 1));
  // Twenty seconds in pump-sized pieces: more than three laps of the ring.
  std::vector<uint8_t> out;
  for (int pass = 0; pass < 20 * 60; ++pass) {
    const std::vector<uint8_t> piece = AsBytes(Render(735));
    out.insert(out.end(), piece.begin(), piece.end());
    const int saved = frames_per_pump_;
    frames_per_pump_ = 0;
    Pump();
    frames_per_pump_ = saved;
  }
  for (size_t i = 0; i < out.size(); ++i) {
    ASSERT_EQ(data[i % data.size()], out[i]) << "frame " << i;
  }
  EXPECT_EQ(1, SoundRecordOf(h)->chain_done);
}

TEST_F(StreamSoundTest, PlayedBytesRestartWhenTheCursorReachesTheWrap) {
  const int h = Stream({Bytes(5 * kRate, 0)}, {0});  // five seconds: longer than the lead
  ASSERT_EQ(0, PlaySoundHandle(h, 3, 1));
  frames_per_pump_ = 735;
  for (int pass = 0; pass < 300; ++pass) Pump();
  SoundRecord* r = SoundRecordOf(h);
  EXPECT_EQ(1, r->wrap_pending);
  EXPECT_EQ(5 * kRate, r->wrap_position);
  // Each pass tracks the cursor before its own frames play.
  EXPECT_EQ(299u * 735, r->played_bytes);
  for (int pass = 0; pass < 30; ++pass) Pump();
  EXPECT_EQ(0, r->wrap_pending);
  EXPECT_EQ(329u * 735 - 5 * kRate, r->played_bytes);
}

TEST_F(StreamSoundTest, TinyAndEmptyLoopingSegmentsDoNotHang) {
  const int tiny = Stream({Bytes(5, 40)}, {-1});
  PrimeStreamSound(tiny);
  EXPECT_EQ(Bytes(5, 40), Ring(tiny, 5 * 1000, 5));
  const int empty = Stream({{}}, {0});
  ASSERT_EQ(0, PlaySoundHandle(empty, 3, 1));
  Render(100);
  Pump();
  EXPECT_EQ(0, IsSoundHandlePlaying(empty));
}

TEST_F(StreamSoundTest, RefusedSegments) {
  const int h = Stream({Bytes(10, 1), Bytes(10, 2), Bytes(10, 3)}, {0, 0, 0});
  const std::vector<uint8_t> more = Wave(PcmFmt(1, kRate, 8), Bytes(10, 4));
  log_.clear();
  EXPECT_EQ(-1, AddStreamSoundMemory(more.data(), static_cast<uint32_t>(more.size()), 0, h, 2));
  EXPECT_EQ("ストリーム風サウンドの制御データ領域がいっぱいです\n"
            "ＷＡＶファイルのストリームイメージのセットアップに失敗しました \n\n",
            log_);

  const int other = Stream({Bytes(10, 1)}, {0});
  const std::vector<uint8_t> stereo = Wave(PcmFmt(2, kRate, 8), Bytes(10, 4));
  log_.clear();
  EXPECT_EQ(-1, AddStreamSoundMemory(stereo.data(), static_cast<uint32_t>(stereo.size()), 0, other, 2));
  EXPECT_EQ(0u, log_.find("フォーマットの違う音声データは同時に使うことは出来ません\n"));
  EXPECT_EQ(1, SoundRecordOf(other)->segment_count);

  ASSERT_EQ(0, PlaySoundHandle(other, 3, 1));
  log_.clear();
  EXPECT_EQ(-1, AddStreamSoundMemory(more.data(), static_cast<uint32_t>(more.size()), 0, other, 2));
  EXPECT_EQ(0u, log_.find("既に再生中のストリームサウンドデータにデータを追加しようとしました\n"));

  // A memory source asked to be read as it plays is held in memory instead.
  const int kind3 = AddSoundData();
  ASSERT_EQ(0, AddStreamSoundMemory(more.data(), static_cast<uint32_t>(more.size()), 0, kind3, 3));
  EXPECT_EQ(2, SoundRecordOf(kind3)->segments[0].source_kind);
}

TEST_F(StreamSoundTest, RestartsAndTheEndOfSixteenBitStreams) {
  std::vector<int16_t> s(800);
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<int16_t>(100 + i);
  const int h = Stream({Samples16(s)}, {0}, 16);
  PrimeStreamSound(h);
  EXPECT_EQ(std::vector<uint8_t>(2 * kRate / 8, 0), Ring(h, 1600, 2 * kRate / 8));
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 1));
  Render(300);
  EXPECT_EQ(0, PlaySoundHandle(h, 1, 0));  // goes on
  EXPECT_EQ(400, Render(1)[0]);
  Render(600);
  Pump();
  EXPECT_EQ(0, IsSoundHandlePlaying(h));
  // After the end a restart plays the chain from its first byte.
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 1));
  EXPECT_EQ(100, Render(1)[0]);
  // Stopped by hand, a play without restart goes on where it was.
  Render(49);
  ASSERT_EQ(0, StopSoundHandle(h));
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 2));
  EXPECT_EQ(150, Render(1)[0]);
}

TEST_F(StreamSoundTest, LoadsMakeStreamsInAStreamingMode) {
  SoundDataMode = 2;
  const std::vector<uint8_t> image = Wave(PcmFmt(1, kRate, 8), Bytes(300, 7));
  const int h = LoadImage(image);
  ASSERT_NE(-1, h);
  EXPECT_EQ(1, SoundRecordOf(h)->kind);
  EXPECT_EQ(1, SoundRecordOf(h)->started);
  ASSERT_EQ(0, PlaySoundHandle(h, 1, 1));
  EXPECT_EQ(Bytes(300, 7), AsBytes(Render(300)));
  SoundDataMode = 0;
}

TEST_F(StreamSoundTest, AFileThatFailsPartWayIsRefusedNotStreamedShort) {
  ScopedTempDir dir;
  const std::string path = dir.file("failing.wav");
  const std::vector<uint8_t> image = Wave(PcmFmt(1, kRate, 8), Bytes(3000, 7));
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  platform::FailReadsForTesting("failing.wav", 1000);
  for (int kind : {0, 2}) {  // decoded whole, or held in memory
    log_.clear();
    EXPECT_EQ(-1, AddStreamSoundFile(path.c_str(), 0, AddSoundData(), kind)) << kind;
    EXPECT_NE(std::string::npos, log_.find("音声データの読み込みに失敗しました")) << kind;
  }
  platform::FailReadsForTesting("", 0);
  EXPECT_EQ(0, AddStreamSoundFile(path.c_str(), 0, AddSoundData(), 2));
}

}  // namespace
}  // namespace sound_test
