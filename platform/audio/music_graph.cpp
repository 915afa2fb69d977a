#include "platform/audio/music_graph.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/audio/direct_sound.h"
#include "platform/audio/midi_file.h"
#include "platform/audio/mixer.h"
#include "platform/audio/mpeg_frame.h"
#include "platform/audio/notify.h"
#include "platform/media/audio_decoder.h"
#include "platform/media/media_input.h"
#include "platform/media/vorbis_decoder.h"

namespace platform::audio {

namespace {

int g_live_graphs = 0;

// Where the first of two consecutive frame headers starts (after an ID3v2
// tag), or -1: one header alone may be chance bytes in some other file.
long FindMpegStart(const std::vector<uint8_t>& bytes, MpegFrame* first) {
  size_t at = 0;
  if (bytes.size() >= 10 && std::memcmp(bytes.data(), "ID3", 3) == 0) {
    at = ((((static_cast<size_t>(bytes[6]) & 0x7F) * 128 + (bytes[7] & 0x7F)) * 128 +
           (bytes[8] & 0x7F)) *
              128 +
          (bytes[9] & 0x7F)) +
         10;
    if (bytes[3] == 4 && (bytes[5] & 0x10)) at += 10;
  }
  const size_t limit = std::min(bytes.size(), at + 65536);
  for (; at + 4 <= limit; ++at) {
    MpegFrame frame;
    if (!ParseMpegFrame(bytes.data() + at, &frame)) continue;
    const size_t next = at + frame.length;
    MpegFrame second;
    if (next + 4 <= bytes.size() && !(ParseMpegFrame(bytes.data() + next, &second) &&
                                      second.sample_rate == frame.sample_rate)) {
      continue;
    }
    if (next > bytes.size()) continue;
    *first = frame;
    return static_cast<long>(at);
  }
  return -1;
}

void InitMpg123() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
}

}  // namespace

// A rendered file playing in the mixer. At its end it tells the graph; a
// graph that repeats at its end goes on from the beginning in the same mix,
// so the rewind that answers the end event finds it already there.
class MusicVoice : public PullSource {
 public:
  explicit MusicVoice(FilterGraph* graph) : graph_(graph) {}
  // With the mixer's lock held (or before the voice is registered).
  virtual void Rewind() = 0;
  void SetGain(int32_t gain) { gain_ = gain; }
  void SetRepeat(bool repeat) { repeat_ = repeat; }
  // A rewind to the beginning that answers an end already passed is done.
  bool TakeWrap() {
    if (wraps_ == 0) return false;
    --wraps_;
    return true;
  }

 protected:
  void Ended() {
    graph_->events_.push_back(kEventComplete);
    if (graph_->window_ != nullptr) {
      PostNotification({graph_->window_, graph_->message_, 0, graph_->instance_});
    }
  }
  void Wrapped() {
    ++wraps_;
    Ended();
  }

  FilterGraph* graph_;
  int32_t gain_ = 65536;
  bool repeat_ = false;
  int wraps_ = 0;
};

namespace {

// MPEG audio, decoded on demand through libmpg123 and resampled to the
// output's rate.
class Mp3Voice : public MusicVoice {
 public:
  Mp3Voice(FilterGraph* graph, std::vector<uint8_t> bytes, long start, const MpegFrame& first)
      : MusicVoice(graph),
        bytes_(std::move(bytes)),
        start_(start),
        rate_(first.sample_rate),
        channels_(first.channels) {
    InitMpg123();
    int error = 0;
    handle_ = mpg123_new(nullptr, &error);
    if (handle_ != nullptr) {
      mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
      mpg123_format_none(handle_);
      mpg123_format(handle_, static_cast<long>(rate_), static_cast<int>(channels_),
                    MPG123_ENC_SIGNED_16);
    }
    Rewind();
  }
  ~Mp3Voice() override {
    if (handle_ != nullptr) mpg123_delete(handle_);
  }
  bool ok() const { return handle_ != nullptr; }

  void Rewind() override {
    decoded_.clear();
    position_ = 0;
    ended_ = false;
    Restart();
  }

  bool MixInto(int32_t* accum, int frames, int device_rate) override {
    if (ended_) return false;
    const uint64_t step = (static_cast<uint64_t>(rate_) << 32) / static_cast<uint64_t>(device_rate);
    bool fresh = false;  // decoding restarted without giving a frame yet
    for (int i = 0; i < frames; ++i) {
      const size_t index = static_cast<size_t>(position_ >> 32);
      if (!Ensure(index + 2) && index >= decoded_.size() / 2) {
        if (!repeat_ || fresh) {
          ended_ = true;
          Ended();
          return false;
        }
        // Everything decoded was played: the beginning follows at once.
        position_ &= 0xFFFFFFFFu;
        decoded_.clear();
        Restart();
        Wrapped();
        fresh = true;
        --i;
        continue;
      }
      fresh = false;
      const size_t next = std::min(index + 1, decoded_.size() / 2 - 1);
      const int64_t frac = static_cast<int64_t>(position_ & 0xFFFFFFFFu);
      for (int c = 0; c < 2; ++c) {
        const int64_t a = decoded_[2 * index + c];
        const int64_t b = decoded_[2 * next + c];
        const int64_t v = a + (((b - a) * frac) >> 32);
        accum[2 * i + c] += static_cast<int32_t>((v * gain_) >> 16);
      }
      position_ += step;
    }
    // Forget what has been played.
    const size_t done = std::min(static_cast<size_t>(position_ >> 32), decoded_.size() / 2);
    decoded_.erase(decoded_.begin(), decoded_.begin() + static_cast<long>(2 * done));
    position_ -= static_cast<uint64_t>(done) << 32;
    return true;
  }

 private:
  void Restart() {
    if (handle_ == nullptr) return;
    mpg123_close(handle_);
    mpg123_open_feed(handle_);
    mpg123_feed(handle_, bytes_.data() + start_, bytes_.size() - static_cast<size_t>(start_));
    // mpg123 holds a lone first frame until it sees another header.
    mpg123_feed(handle_, bytes_.data() + start_, 4);
  }

  // Decodes until `frames` stereo frames are held; false at the end.
  bool Ensure(size_t frames) {
    uint8_t chunk[8192];
    while (decoded_.size() / 2 < frames) {
      if (handle_ == nullptr) return false;
      size_t done = 0;
      const int r = mpg123_read(handle_, chunk, sizeof(chunk), &done);
      const size_t samples = done / 2;
      const auto* pcm = reinterpret_cast<const int16_t*>(chunk);
      for (size_t s = 0; s + channels_ <= samples; s += channels_) {
        decoded_.push_back(pcm[s]);
        decoded_.push_back(channels_ == 2 ? pcm[s + 1] : pcm[s]);
      }
      if (done == 0 && r != MPG123_OK && r != MPG123_NEW_FORMAT) return false;
    }
    return true;
  }

  std::vector<uint8_t> bytes_;
  long start_;
  uint32_t rate_;
  uint32_t channels_;
  mpg123_handle* handle_ = nullptr;
  std::vector<int16_t> decoded_;  // stereo frames not yet played
  uint64_t position_ = 0;         // 32.32 frames into decoded_
  bool ended_ = false;
};

// Ogg Vorbis through libvorbisfile (exact at its end), anything else
// through FFmpeg; null when neither takes the bytes.
std::unique_ptr<platform::media::PcmDecoder> OpenPcmDecoder(
    std::shared_ptr<const std::vector<uint8_t>> bytes, int rate) {
  if (auto vorbis = platform::media::OpenVorbisDecoder(bytes, rate)) return vorbis;
  std::unique_ptr<platform::media::MediaInput> input =
      platform::media::MediaInput::OpenMemory(bytes, nullptr);
  if (!input) return nullptr;
  return platform::media::AudioDecoder::Open(std::move(input), rate, nullptr);
}

// Anything else FFmpeg's demuxers and decoders take (WAVE, Ogg Vorbis,
// FLAC, Opus, AAC, ...), converted to the output's rate by the decoder.
class MediaVoice : public MusicVoice {
 public:
  MediaVoice(FilterGraph* graph, std::shared_ptr<const std::vector<uint8_t>> bytes,
             std::unique_ptr<platform::media::PcmDecoder> decoder)
      : MusicVoice(graph), bytes_(std::move(bytes)), decoder_(std::move(decoder)) {}

  void Rewind() override {
    decoder_->Rewind();
    ended_ = false;
  }

  bool MixInto(int32_t* accum, int frames, int device_rate) override {
    if (ended_) return false;
    if (device_rate != decoder_->output_rate()) {
      // The output came up at another rate than the file was opened for.
      std::unique_ptr<platform::media::PcmDecoder> again = OpenPcmDecoder(bytes_, device_rate);
      if (!again) {
        ended_ = true;
        Ended();
        return false;
      }
      decoder_ = std::move(again);
    }
    scratch_.resize(2 * static_cast<size_t>(frames));
    int wraps = 0;
    const int got = decoder_->Read(scratch_.data(), frames, repeat_, &wraps);
    for (int i = 0; i < 2 * got; ++i) {
      accum[i] += static_cast<int32_t>(
          (static_cast<int64_t>(scratch_[static_cast<size_t>(i)]) * gain_) >> 16);
    }
    for (int w = 0; w < wraps; ++w) Wrapped();
    if (got < frames || decoder_->ended()) {
      ended_ = true;
      Ended();
      return false;
    }
    return true;
  }

 private:
  std::shared_ptr<const std::vector<uint8_t>> bytes_;
  std::unique_ptr<platform::media::PcmDecoder> decoder_;
  std::vector<int16_t> scratch_;
  bool ended_ = false;
};

// Is this MPEG audio for libmpg123? The game's tracks are; FFmpeg's probe
// decides for everything else, so a WAVE or Ogg file whose bytes happen to
// hold two frame headers is not taken for one.
bool LooksLikeMpegAudio(const std::vector<uint8_t>& bytes, long* start, MpegFrame* first) {
  *start = FindMpegStart(bytes, first);
  if (*start < 0) return false;
  const std::string name = platform::media::ProbedFormatName(bytes.data(), bytes.size());
  return name.empty() || name == "mp3";
}

}  // namespace

Result CreateFilterGraph(FilterGraph** out) {
  if (out == nullptr) return kErrInvalidParam;
  *out = nullptr;
  if (FaultSet(Fault::kCreateFilterGraph)) return kErrNoInterface;
  *out = new FilterGraph();
  ++g_live_graphs;
  return kOk;
}

int LiveFilterGraphCount() { return g_live_graphs; }

FilterGraph::~FilterGraph() {
  Detach();
  --g_live_graphs;
}

uint32_t FilterGraph::Release() {
  if (--refs_ > 0) return refs_;
  delete this;
  return 0;
}

void FilterGraph::Detach() {
  if (!voice_) return;
  Mixer& mixer = Mixer::Get();
  std::lock_guard lock(mixer.mutex());
  mixer.RemoveSourceLocked(voice_.get());
  running_ = false;
}

Result FilterGraph::QueryInterface(Interface, FilterGraph** out) {
  if (out == nullptr) return kErrInvalidParam;
  AddRef();
  *out = this;
  return kOk;
}

Result FilterGraph::RenderFile(const char* path, const void*) {
  if (path == nullptr) return kErrInvalidParam;
  if (FaultSet(Fault::kRenderFile)) return kErrUnsupportedFile;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes)) return kErrNotFound;
  MpegFrame first;
  long start = -1;
  std::unique_ptr<MusicVoice> voice;
  if (!LooksLikeMpegAudio(bytes, &start, &first)) {
    auto shared = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    std::unique_ptr<platform::media::PcmDecoder> decoder =
        OpenPcmDecoder(shared, Mixer::Get().rate());
    if (decoder) {
      voice = std::make_unique<MediaVoice>(this, shared, std::move(decoder));
    } else if (start >= 0) {
      bytes = *shared;  // MPEG frames inside something FFmpeg could not play
    } else {
      return kErrUnsupportedFile;
    }
  }
  if (!voice) {
    auto mp3 = std::make_unique<Mp3Voice>(this, std::move(bytes), start, first);
    if (!mp3->ok()) return kErrFail;
    voice = std::move(mp3);
  }
  Detach();
  voice_ = std::move(voice);
  voice_->SetGain(GainFromHundredthsDb(volume_));
  voice_->SetRepeat(repeat_);
  return kOk;
}

Result FilterGraph::Run() {
  if (!voice_) return kErrFail;
  Mixer& mixer = Mixer::Get();
  if (!mixer.is_open()) return kErrFail;
  std::lock_guard lock(mixer.mutex());
  running_ = true;
  mixer.AddSourceLocked(voice_.get());
  return kOk;
}

Result FilterGraph::Stop() {
  Detach();
  return kOk;
}

Result FilterGraph::SetNotifyWindow(WindowId window, uint32_t message, intptr_t instance) {
  std::lock_guard lock(Mixer::Get().mutex());
  window_ = window;
  message_ = message;
  instance_ = instance;
  return kOk;
}

Result FilterGraph::GetEvent(int32_t* code, intptr_t* param1, intptr_t* param2, int32_t) {
  if (code == nullptr || param1 == nullptr || param2 == nullptr) return kErrInvalidParam;
  std::lock_guard lock(Mixer::Get().mutex());
  if (events_.empty()) return kErrAbort;
  *code = events_.front();
  events_.pop_front();
  *param1 = 0;
  *param2 = 0;
  return kOk;
}

Result FilterGraph::FreeEventParams(int32_t, intptr_t, intptr_t) { return kOk; }

Result FilterGraph::SetPositions(int64_t* current, uint32_t current_flags, int64_t*, uint32_t) {
  if (!voice_) return kErrFail;
  if (current == nullptr || (current_flags & kSeekAbsolute) == 0) return kOk;
  if (*current != 0) return kErrInvalidParam;  // only a rewind is needed
  Mixer& mixer = Mixer::Get();
  std::lock_guard lock(mixer.mutex());
  if (voice_->TakeWrap()) return kOk;
  voice_->Rewind();
  if (running_) mixer.AddSourceLocked(voice_.get());
  return kOk;
}

Result FilterGraph::SetRepeatAtEnd(bool repeat) {
  std::lock_guard lock(Mixer::Get().mutex());
  repeat_ = repeat;
  if (voice_) voice_->SetRepeat(repeat);
  return kOk;
}

Result FilterGraph::PutVolume(int32_t volume) {
  if (volume < kVolumeMin || volume > kVolumeMax) return kErrInvalidParam;
  std::lock_guard lock(Mixer::Get().mutex());
  volume_ = volume;
  if (voice_) voice_->SetGain(GainFromHundredthsDb(volume));
  return kOk;
}

}  // namespace platform::audio
