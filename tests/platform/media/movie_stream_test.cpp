// The movie stream: each container and codec the library promises opens,
// reports its frame size and plays frame by frame on the library's clock
// into a sample surface; pending updates complete when their event is
// polled at the frame's time; pause, seek and the end; refused inputs.
#include "platform/media/movie_stream.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "platform/audio/mixer.h"
#include "platform/media/media_fixtures.h"
#include "platform/media/media_input.h"
#include "platform/video/video_fixture.h"
#include "support/scoped_temp_dir.h"

namespace platform::media {
namespace {

using video::Rect;
using video::Surface;

class MovieStreamTest : public video::VideoTest {
 protected:
  // A stream on a movie file with its sample, or a failure.
  void Open(const std::string& path, bool audio = false) {
    ASSERT_EQ(MovieStream::Create(&stream_), kOk);
    ASSERT_EQ(stream_->AddVideoStream(dd_), kOk);
    if (audio) {
      ASSERT_EQ(stream_->AddDefaultAudio(), kOk);
    }
    ASSERT_EQ(stream_->OpenFile(path.c_str()), kOk) << stream_->open_problem();
    ASSERT_EQ(stream_->CreateSample(nullptr, &sample_), kOk);
    ASSERT_EQ(sample_->GetSurface(&surface_, &rect_), kOk);
  }
  void TearDown() override {
    if (surface_) surface_->Release();
    if (sample_) sample_->Release();
    if (stream_) stream_->Release();
    EXPECT_EQ(LiveMovieStreamCount(), 0);
    VideoTest::TearDown();
  }
  // The frame number the sample surface shows.
  int Shown() {
    const int y = rect_.Height() / 2;
    auto rgb = [&](int x) {
      const uint32_t p = surface_->ReadPixel(x, y);
      return ((p >> 16) & 0xFF) << 16 | ((p >> 8) & 0xFF) << 8 | (p & 0xFF);
    };
    return media_fixtures::IndexOf(rgb(rect_.Width() / 4), rgb(3 * rect_.Width() / 4));
  }
  void AdvanceMs(uint64_t ms) { clock_.AdvanceMilliseconds(ms); }

  ScopedTempDir dir_;
  MovieStream* stream_ = nullptr;
  StreamSample* sample_ = nullptr;
  Surface* surface_ = nullptr;
  Rect rect_;
};

struct Format {
  const char* container;
  const char* codec;
  const char* file;
};
const Format kFormats[] = {
    {"avi", "mjpeg", "m.avi"}, {"mp4", "libx264", "m.mp4"}, {"ogg", "libtheora", "m.ogv"}};

TEST_F(MovieStreamTest, EachContainerPlaysFrameByFrameOnTheClockToItsEnd) {
  for (const Format& f : kFormats) {
    SCOPED_TRACE(f.codec);
    const std::string path = dir_.file(f.file);
    ASSERT_TRUE(media_encoder::WriteMovie(
        path, media_fixtures::CountingMovie(f.container, f.codec, 64, 48, 12, 10)));
    Open(path);
    int w = 0, h = 0;
    ASSERT_EQ(stream_->GetFrameSize(&w, &h), kOk);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    EXPECT_EQ(rect_.Width(), 64);
    int64_t per_frame = 0, stop = 0;
    stream_->GetTimePerFrame(&per_frame);
    stream_->GetStopPosition(&stop);
    EXPECT_EQ(per_frame, kTimeUnitsPerSecond / 10);
    EXPECT_NEAR(static_cast<double>(stop), 1.2e7, 1.1e6);
    // Not running: no update.
    EXPECT_EQ(sample_->Update(nullptr), kErrNotRunning);
    ASSERT_EQ(stream_->SetState(StreamState::kRun), kOk);
    for (int frame = 0; frame < 12; ++frame) {
      EXPECT_EQ(sample_->Update(nullptr), kOk) << frame;
      EXPECT_EQ(Shown(), frame);
      // The next one is not due until its time; past the last, the end.
      EXPECT_EQ(sample_->Update(nullptr), frame < 11 ? kPending : kEndOfStream) << frame;
      AdvanceMs(100);
    }
    EXPECT_EQ(sample_->Update(nullptr), kEndOfStream);
    EXPECT_EQ(Shown(), 11);  // the last frame stays
    surface_->Release();
    sample_->Release();
    stream_->Release();
    surface_ = nullptr;
    sample_ = nullptr;
    stream_ = nullptr;
  }
}

TEST_F(MovieStreamTest, PendingUpdateCompletesWhenItsEventIsPolledInTime) {
  const std::string path = dir_.file("m.avi");
  ASSERT_TRUE(media_encoder::WriteMovie(
      path, media_fixtures::CountingMovie("avi", "mjpeg", 32, 32, 6, 10)));
  Open(path);
  stream_->SetState(StreamState::kRun);
  FrameEvent event;
  ASSERT_EQ(sample_->Update(&event), kOk);
  ASSERT_EQ(sample_->Update(&event), kPending);
  AdvanceMs(99);
  EXPECT_FALSE(event.Wait(0));
  EXPECT_EQ(Shown(), 0);
  AdvanceMs(1);
  EXPECT_TRUE(event.Wait(0));
  EXPECT_EQ(Shown(), 1);
  EXPECT_TRUE(event.Wait(0));  // manual reset: set until reset
  event.Reset();
  EXPECT_FALSE(event.Wait(0));
  // A late poll shows the newest due frame, skipping those it missed.
  ASSERT_EQ(sample_->Update(&event), kPending);
  AdvanceMs(300);
  EXPECT_TRUE(event.Wait(0));
  EXPECT_EQ(Shown(), 4);
  // The sample going first leaves the event alone.
  event.Reset();
  ASSERT_EQ(sample_->Update(&event), kPending);
  surface_->Release();
  sample_->Release();
  surface_ = nullptr;
  sample_ = nullptr;
  AdvanceMs(500);
  EXPECT_FALSE(event.Wait(0));
}

TEST_F(MovieStreamTest, PauseStopsTheClockAndSeekMovesIt) {
  const std::string path = dir_.file("m.mp4");
  ASSERT_TRUE(media_encoder::WriteMovie(
      path, media_fixtures::CountingMovie("mp4", "libx264", 32, 32, 20, 10)));
  Open(path);
  stream_->SetState(StreamState::kRun);
  AdvanceMs(250);
  int64_t t = 0;
  stream_->GetTime(&t);
  EXPECT_EQ(t, 2500000);
  ASSERT_EQ(sample_->Update(nullptr), kOk);
  EXPECT_EQ(Shown(), 2);
  ASSERT_EQ(stream_->Pause(), kOk);
  StreamState state = StreamState::kRun;
  stream_->GetState(&state);
  EXPECT_EQ(state, StreamState::kStop);
  AdvanceMs(5000);
  stream_->GetTime(&t);
  EXPECT_EQ(t, 2500000);
  EXPECT_EQ(sample_->Update(nullptr), kErrNotRunning);
  // Forward past several key frames, then back to the start.
  ASSERT_EQ(stream_->Seek(16100000), kOk);
  stream_->SetState(StreamState::kRun);
  ASSERT_EQ(sample_->Update(nullptr), kOk);
  EXPECT_EQ(Shown(), 16);
  ASSERT_EQ(stream_->Seek(0), kOk);
  ASSERT_EQ(sample_->Update(nullptr), kOk);
  EXPECT_EQ(Shown(), 0);
  // A clock far ahead jumps there instead of decoding every frame between.
  AdvanceMs(1850);
  ASSERT_EQ(sample_->Update(nullptr), kOk);
  EXPECT_EQ(Shown(), 18);
}

TEST_F(MovieStreamTest, ItsSoundPlaysThroughTheMixerWhileItRuns) {
  audio::SetOutputKindForTesting(audio::OutputKind::kManual);
  const std::vector<int16_t> tone = media_fixtures::Sweep(44100);
  for (const char* audio_codec : {"pcm_s16le", "libvorbis"}) {
    SCOPED_TRACE(audio_codec);
    media_encoder::MovieOptions options = media_fixtures::CountingMovie(
        std::string(audio_codec) == "libvorbis" ? "ogg" : "avi",
        std::string(audio_codec) == "libvorbis" ? "libtheora" : "mjpeg", 32, 32, 10, 10);
    options.tone = tone;
    options.audio_codec = audio_codec;
    const std::string path = dir_.file(std::string("sound.") + options.container);
    ASSERT_TRUE(media_encoder::WriteMovie(path, options));
    Open(path, true);
    auto rms = [](int frames) {
      std::vector<int16_t> out(2 * static_cast<size_t>(frames));
      audio::Mixer::Get().Render(out.data(), frames);
      double sum = 0;
      for (int16_t v : out) sum += static_cast<double>(v) * v;
      return std::sqrt(sum / static_cast<double>(out.size()));
    };
    EXPECT_EQ(rms(4410), 0);  // not running yet
    stream_->SetState(StreamState::kRun);
    EXPECT_GT(rms(4410), 2000);
    stream_->Pause();
    EXPECT_EQ(rms(4410), 0);
    stream_->SetState(StreamState::kRun);
    EXPECT_GT(rms(4410), 2000);
    surface_->Release();
    sample_->Release();
    stream_->Release();
    surface_ = nullptr;
    sample_ = nullptr;
    stream_ = nullptr;
    EXPECT_EQ(audio::Mixer::Get().voice_count(), 0u);
  }
}

TEST_F(MovieStreamTest, FilesThatAreNoMovieAreRefused) {
  // Not media at all, no video stream, frames too large: each refused at
  // the step that finds it, and nothing left behind.
  std::ofstream(dir_.file("text.avi")) << "this is not a movie at all";
  ASSERT_TRUE(media_encoder::WriteAudio(dir_.file("tone.wav"), "wav", "pcm_s16le",
                                        media_fixtures::Sweep(4410), 44100));
  ASSERT_TRUE(media_encoder::WriteMovie(
      dir_.file("wide.avi"), media_fixtures::CountingMovie("avi", "mjpeg", 4112, 16, 1, 10)));
  struct Case {
    std::string file;
    bool opens;
  } cases[] = {{"text.avi", false}, {"missing.avi", false}, {"tone.wav", true}, {"wide.avi", true}};
  std::filesystem::create_directory(dir_.file("folder.avi"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    MovieStream* s = nullptr;
    ASSERT_EQ(MovieStream::Create(&s), kOk);
    s->AddVideoStream(dd_);
    const Result opened = s->OpenFile(dir_.file(c.file).c_str());
    EXPECT_EQ(opened == kOk, c.opens);
    if (opened == kOk) {
      int w = -1, h = -1;
      s->GetFrameSize(&w, &h);
      EXPECT_EQ(w, 0);
      EXPECT_EQ(h, 0);
      StreamSample* sample = nullptr;
      EXPECT_NE(s->CreateSample(nullptr, &sample), kOk);
    } else {
      EXPECT_FALSE(s->open_problem().empty());
    }
    s->Release();
  }
  MovieStream* s = nullptr;
  MovieStream::Create(&s);
  EXPECT_EQ(s->OpenFile(dir_.file("folder.avi").c_str()), kErrCannotOpen);
  s->Release();
}

}  // namespace
}  // namespace platform::media
