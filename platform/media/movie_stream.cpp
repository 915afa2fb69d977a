#include "platform/media/movie_stream.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/clock.h"
#include "platform/media/audio_decoder.h"
#include "platform/media/video_decoder.h"

namespace platform::media {

namespace video = platform::video;
namespace audio = platform::audio;

namespace {

int g_live_streams = 0;

// A stream that has fallen this far behind its clock jumps to it instead
// of decoding every frame in between.
constexpr int64_t kCatchUpLimit = 2 * kTimeUnitsPerSecond;
constexpr int kMaxFramesPerUpdate = 120;

// The movie's sound, decoded on the output's thread under the mixer's lock.
class MovieAudio : public audio::PullSource {
 public:
  explicit MovieAudio(std::unique_ptr<AudioDecoder> decoder) : decoder_(std::move(decoder)) {}
  bool MixInto(int32_t* accum, int frames, int) override {
    scratch_.resize(2 * static_cast<size_t>(frames));
    const int got = decoder_->Read(scratch_.data(), frames, false, nullptr);
    for (int i = 0; i < 2 * got; ++i) accum[i] += scratch_[static_cast<size_t>(i)];
    return !decoder_->ended();
  }
  AudioDecoder& decoder() { return *decoder_; }

 private:
  std::unique_ptr<AudioDecoder> decoder_;
  std::vector<int16_t> scratch_;
};

uint64_t NowNs() { return platform::CurrentClock().NowNanoseconds(); }

}  // namespace

struct MovieStream::Impl {
  video::DirectDraw* object = nullptr;
  bool want_audio = false;
  bool mixer_open = false;
  bool opened = false;
  std::unique_ptr<VideoDecoder> video;
  bool lookahead = false;  // the decoder holds a frame not yet shown
  std::unique_ptr<MovieAudio> sound;
  bool running = false;
  int64_t base_time = 0;
  uint64_t run_start_ns = 0;

  int64_t Now() const {
    if (!running) return base_time;
    return base_time + static_cast<int64_t>((NowNs() - run_start_ns) / 100);
  }

  void StartSound() {
    if (!sound) return;
    audio::Mixer& mixer = audio::Mixer::Get();
    std::lock_guard lock(mixer.mutex());
    if (!sound->decoder().ended()) mixer.AddSourceLocked(sound.get());
  }
  void StopSound() {
    if (!sound) return;
    audio::Mixer& mixer = audio::Mixer::Get();
    std::lock_guard lock(mixer.mutex());
    mixer.RemoveSourceLocked(sound.get());
  }

  void Write(video::Surface* surface, const video::Rect& rect) {
    uint8_t* pixels = nullptr;
    int pitch = 0;
    // A surface lost with its display takes no frame; the stream goes on.
    if (Failed(surface->Lock(&rect, video::kLockWait | video::kLockWriteOnly, &pixels, &pitch)))
      return;
    video->Convert(pixels, pitch, surface->format());
    surface->Unlock();
  }

  // Shows the newest frame that is due; kPending when none is.
  Result Advance(video::Surface* surface, const video::Rect& rect) {
    if (!video) return kEndOfStream;
    const int64_t t = Now();
    if (!lookahead) {
      if (!video->Next()) return kEndOfStream;
      lookahead = true;
    }
    if (video->frame_time() > t) return kPending;
    if (t - video->frame_time() > kCatchUpLimit && video->Seek(t)) {
      lookahead = false;
      if (!video->Next()) return kEndOfStream;
      lookahead = true;
    }
    // Frames whose times do not advance (a damaged stream) are all due at
    // once: one update shows a bounded number of them.
    for (int shown = 0; shown < kMaxFramesPerUpdate; ++shown) {
      Write(surface, rect);
      lookahead = false;
      if (!video->Next()) break;  // the next update reports the end
      lookahead = true;
      if (video->frame_time() > t) break;
    }
    return kOk;
  }
};

FrameEvent::~FrameEvent() {
  if (waiting_ != nullptr) waiting_->event_ = nullptr;
}

bool FrameEvent::Wait(uint32_t) {
  if (!set_ && waiting_ != nullptr) waiting_->Poll();
  return set_;
}

StreamSample::StreamSample(MovieStream* stream, video::Surface* surface, const video::Rect& rect)
    : stream_(stream), surface_(surface), rect_(rect) {
  stream_->AddRef();
  surface_->AddRef();
}

StreamSample::~StreamSample() {
  if (event_ != nullptr) event_->waiting_ = nullptr;
  surface_->Release();
  stream_->Release();
}

uint32_t StreamSample::Release() {
  if (--refs_ > 0) return refs_;
  delete this;
  return 0;
}

Result StreamSample::Update(FrameEvent* event) {
  MovieStream::Impl& s = *stream_->impl_;
  if (!s.running) return kErrNotRunning;
  if (event_ != nullptr) {
    // A new request replaces one still waiting.
    event_->waiting_ = nullptr;
    event_ = nullptr;
  }
  const Result r = s.Advance(surface_, rect_);
  if (r == kPending && event != nullptr) {
    if (event->waiting_ != nullptr) event->waiting_->event_ = nullptr;
    event->Reset();
    event->waiting_ = this;
    event_ = event;
  }
  return r;
}

void StreamSample::Poll() {
  MovieStream::Impl& s = *stream_->impl_;
  if (event_ == nullptr || !s.running) return;
  const Result r = s.Advance(surface_, rect_);
  if (r == kPending) return;
  // Done (a frame, or the end): the event says so; the next Update tells which.
  event_->Set();
  event_->waiting_ = nullptr;
  event_ = nullptr;
}

Result StreamSample::GetSurface(video::Surface** surface, video::Rect* rect) {
  if (surface == nullptr) return kErrInvalidArg;
  surface_->AddRef();
  *surface = surface_;
  if (rect != nullptr) *rect = rect_;
  return kOk;
}

MovieStream::MovieStream() : impl_(std::make_unique<Impl>()) { ++g_live_streams; }

MovieStream::~MovieStream() {
  impl_->StopSound();
  impl_->sound.reset();
  if (impl_->mixer_open) audio::Mixer::Get().Close();
  if (impl_->object != nullptr) impl_->object->Release();
  --g_live_streams;
}

int LiveMovieStreamCount() { return g_live_streams; }

Result MovieStream::Create(MovieStream** out) {
  if (out == nullptr) return kErrInvalidArg;
  *out = new MovieStream();
  return kOk;
}

uint32_t MovieStream::Release() {
  if (--refs_ > 0) return refs_;
  delete this;
  return 0;
}

Result MovieStream::AddVideoStream(video::DirectDraw* object) {
  if (object == nullptr) return kErrInvalidArg;
  if (impl_->object != nullptr) impl_->object->Release();
  object->AddRef();
  impl_->object = object;
  return kOk;
}

Result MovieStream::AddDefaultAudio() {
  if (!impl_->mixer_open) {
    if (audio::Mixer::Get().Open() != audio::kOk) return kErrNoAudio;
    impl_->mixer_open = true;
  }
  impl_->want_audio = true;
  return kOk;
}

Result MovieStream::OpenFile(const char* path) {
  if (path == nullptr) return kErrInvalidArg;
  if (impl_->opened) return kErrFail;
  open_problem_.clear();
  std::unique_ptr<MediaInput> input = MediaInput::OpenFile(path, &open_problem_);
  if (!input) return kErrCannotOpen;
  impl_->opened = true;
  // A file without a video stream opens; its frame size is then 0.
  impl_->video = VideoDecoder::Open(std::move(input), &open_problem_);
  if (impl_->want_audio) {
    std::string ignored;
    std::unique_ptr<MediaInput> second = MediaInput::OpenFile(path, &ignored);
    std::unique_ptr<AudioDecoder> decoder =
        second ? AudioDecoder::Open(std::move(second), audio::Mixer::Get().rate(), &ignored)
               : nullptr;
    if (decoder) impl_->sound = std::make_unique<MovieAudio>(std::move(decoder));
  }
  return kOk;
}

Result MovieStream::GetFrameSize(int* width, int* height) {
  if (!impl_->opened) return kErrNotOpen;
  if (width != nullptr) *width = impl_->video ? impl_->video->width() : 0;
  if (height != nullptr) *height = impl_->video ? impl_->video->height() : 0;
  return kOk;
}

Result MovieStream::GetStopPosition(int64_t* stop) {
  if (stop == nullptr) return kErrInvalidArg;
  if (!impl_->opened) return kErrNotOpen;
  *stop = impl_->video ? impl_->video->duration() : 0;
  return kOk;
}

Result MovieStream::GetTimePerFrame(int64_t* time) {
  if (time == nullptr) return kErrInvalidArg;
  if (!impl_->opened) return kErrNotOpen;
  *time = impl_->video ? impl_->video->time_per_frame() : 0;
  return kOk;
}

Result MovieStream::CreateSample(video::Surface* surface, StreamSample** out) {
  if (out == nullptr) return kErrInvalidArg;
  *out = nullptr;
  if (!impl_->opened || !impl_->video || impl_->object == nullptr) return kErrNotOpen;
  const int w = impl_->video->width(), h = impl_->video->height();
  video::Surface* made = nullptr;
  if (surface == nullptr) {
    video::SurfaceDesc desc;
    desc.caps = video::kCapsOffscreenPlain | video::kCapsSystemMemory;
    desc.width = w;
    desc.height = h;
    desc.has_format = true;
    if (Failed(impl_->object->GetDisplayMode(nullptr, nullptr, &desc.format)) ||
        Failed(impl_->object->CreateSurface(desc, &made))) {
      return kErrFail;
    }
    surface = made;
  }
  if (surface->width() < w || surface->height() < h) {
    if (made != nullptr) made->Release();
    return kErrInvalidArg;
  }
  *out = new StreamSample(this, surface, video::Rect{0, 0, w, h});
  if (made != nullptr) made->Release();  // the sample holds it now
  return kOk;
}

Result MovieStream::SetState(StreamState state) {
  Impl& s = *impl_;
  if (!s.opened) return kErrNotOpen;
  if (state == StreamState::kRun && !s.running) {
    s.run_start_ns = NowNs();
    s.running = true;
    s.StartSound();
  } else if (state == StreamState::kStop && s.running) {
    s.base_time = s.Now();
    s.running = false;
    s.StopSound();
  }
  return kOk;
}

Result MovieStream::GetState(StreamState* state) {
  if (state == nullptr) return kErrInvalidArg;
  *state = impl_->running ? StreamState::kRun : StreamState::kStop;
  return kOk;
}

Result MovieStream::Pause() { return SetState(StreamState::kStop); }

Result MovieStream::GetTime(int64_t* time) {
  if (time == nullptr) return kErrInvalidArg;
  *time = impl_->Now();
  return kOk;
}

Result MovieStream::Seek(int64_t time) {
  Impl& s = *impl_;
  if (!s.opened) return kErrNotOpen;
  if (time < 0) time = 0;
  s.base_time = time;
  s.run_start_ns = NowNs();
  if (s.video) {
    s.video->Seek(time);
    s.lookahead = false;
  }
  if (s.sound) {
    audio::Mixer& mixer = audio::Mixer::Get();
    std::lock_guard lock(mixer.mutex());
    s.sound->decoder().Seek(time);
    if (s.running) mixer.AddSourceLocked(s.sound.get());
  }
  return kOk;
}

}  // namespace platform::media
