// One movie frame after another, decoded and converted into a 640 x 480
// 16-bit (565) surface, as the movie stream does for every frame a movie
// graphic shows: MJPEG in AVI, H.264 in MP4 and Theora in Ogg. A frame
// must take well under the 16.7 ms of a displayed frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>

#include "platform/audio/mixer.h"
#include "platform/clock.h"
#include "platform/media/movie_stream.h"
#include "platform/video/direct_draw.h"
#include "tests/support/media_encoder.h"

namespace {

namespace media = platform::media;
namespace video = platform::video;

// A gradient with a box moving across it: content a codec has to work on.
void Paint(int index, std::vector<uint8_t>& rgb) {
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * 640 + x) * 3];
      const bool box = x >= index * 8 && x < index * 8 + 120 && y >= 180 && y < 300;
      p[0] = box ? 255 : static_cast<uint8_t>(x * 255 / 639);
      p[1] = box ? 240 : static_cast<uint8_t>(y * 255 / 479);
      p[2] = static_cast<uint8_t>((x + y + index * 4) & 0xFF);
    }
  }
}

std::string MakeMovie(const char* container, const char* codec) {
  const std::string path = "/tmp/kesto-movie-bench-" + std::to_string(getpid()) + "." + container;
  media_encoder::MovieOptions options;
  options.container = container;
  options.codec = codec;
  options.width = 640;
  options.height = 480;
  options.frames = 60;
  options.fps = 30;
  options.paint = Paint;
  media_encoder::WriteMovie(path, options);
  return path;
}

void DecodeMovieFrameInto565(benchmark::State& state, const char* container, const char* codec) {
  platform::ManualClock clock(1000000000ull);
  platform::SetClockForTesting(&clock);
  platform::audio::SetOutputKindForTesting(platform::audio::OutputKind::kManual);
  const std::string path = MakeMovie(container, codec);
  video::DirectDraw* dd = nullptr;
  video::CreateDirectDraw(&dd);
  dd->Initialize();
  video::SurfaceDesc desc;
  desc.caps = video::kCapsOffscreenPlain | video::kCapsSystemMemory;
  desc.width = 640;
  desc.height = 480;
  desc.has_format = true;
  desc.format = video::Format565();
  video::Surface* surface = nullptr;
  dd->CreateSurface(desc, &surface);
  media::MovieStream* stream = nullptr;
  media::MovieStream::Create(&stream);
  stream->AddVideoStream(dd);
  media::StreamSample* sample = nullptr;
  if (stream->OpenFile(path.c_str()) != media::kOk ||
      stream->CreateSample(surface, &sample) != media::kOk) {
    state.SkipWithError("the movie did not open");
  } else {
    stream->SetState(media::StreamState::kRun);
    for (auto _ : state) {
      media::Result r = sample->Update(nullptr);
      if (r == media::kEndOfStream) {
        stream->Seek(0);
        r = sample->Update(nullptr);
      }
      benchmark::DoNotOptimize(r);
      clock.Advance(33333333);  // the next frame is due
    }
    state.SetItemsProcessed(state.iterations());
    sample->Release();
  }
  stream->Release();
  surface->Release();
  dd->Release();
  unlink(path.c_str());
  platform::SetClockForTesting(nullptr);
}

BENCHMARK_CAPTURE(DecodeMovieFrameInto565, mjpeg_avi, "avi", "mjpeg")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeMovieFrameInto565, h264_mp4, "mp4", "libx264")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeMovieFrameInto565, theora_ogg, "ogg", "libtheora")
    ->Unit(benchmark::kMillisecond);

}  // namespace
