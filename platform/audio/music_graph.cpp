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

namespace platform::audio {

namespace {

int g_live_graphs = 0;

// Where the first of two consecutive frame headers starts (after an ID3v2
// tag), or -1: one header alone may be chance bytes in some other file.
long FindMpegStart(const std::vector<uint8_t>& bytes, MpegFrame* first) {
  size_t at = 0;
  if (bytes.size() >= 10 && std::memcmp(bytes.data(), "ID3", 3) == 0) {
    at = ((((static_cast<size_t>(bytes[6]) & 0x7F) * 128 + (bytes[7] & 0x7F)) * 128 + (bytes[8] & 0x7F)) * 128 +
          (bytes[9] & 0x7F)) + 10;
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

// Decodes the file on demand and resamples it to the output's rate.
class MusicVoice : public PullSource {
 public:
  MusicVoice(FilterGraph* graph, std::vector<uint8_t> bytes, long start, const MpegFrame& first)
      : graph_(graph), bytes_(std::move(bytes)), start_(start), rate_(first.sample_rate),
        channels_(first.channels) {
    InitMpg123();
    int error = 0;
    handle_ = mpg123_new(nullptr, &error);
    if (handle_ != nullptr) {
      mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
      mpg123_format_none(handle_);
      mpg123_format(handle_, static_cast<long>(rate_), static_cast<int>(channels_), MPG123_ENC_SIGNED_16);
    }
    Rewind();
  }
  ~MusicVoice() override {
    if (handle_ != nullptr) mpg123_delete(handle_);
  }
  bool ok() const { return handle_ != nullptr; }

  // With the mixer's lock held (or before the voice is registered).
  void Rewind() {
    decoded_.clear();
    position_ = 0;
    ended_ = false;
    if (handle_ == nullptr) return;
    mpg123_close(handle_);
    mpg123_open_feed(handle_);
    mpg123_feed(handle_, bytes_.data() + start_, bytes_.size() - static_cast<size_t>(start_));
    // mpg123 holds a lone first frame until it sees another header.
    mpg123_feed(handle_, bytes_.data() + start_, 4);
  }
  void SetGain(int32_t gain) { gain_ = gain; }

  bool MixInto(int32_t* accum, int frames, int device_rate) override {
    if (ended_) return false;
    const uint64_t step = (static_cast<uint64_t>(rate_) << 32) / static_cast<uint64_t>(device_rate);
    for (int i = 0; i < frames; ++i) {
      const size_t index = static_cast<size_t>(position_ >> 32);
      if (!Ensure(index + 2) && index >= decoded_.size() / 2) {
        Finish();
        return false;
      }
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

  void Finish() {
    ended_ = true;
    graph_->events_.push_back(kEventComplete);
    if (graph_->window_ != nullptr) {
      PostNotification({graph_->window_, graph_->message_, 0, graph_->instance_});
    }
  }

  FilterGraph* graph_;
  std::vector<uint8_t> bytes_;
  long start_;
  uint32_t rate_;
  uint32_t channels_;
  mpg123_handle* handle_ = nullptr;
  std::vector<int16_t> decoded_;  // stereo frames not yet played
  uint64_t position_ = 0;         // 32.32 frames into decoded_
  bool ended_ = false;
  int32_t gain_ = 65536;
};

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
  const long start = FindMpegStart(bytes, &first);
  if (start < 0) return kErrUnsupportedFile;
  Detach();
  voice_ = std::make_unique<MusicVoice>(this, std::move(bytes), start, first);
  if (!voice_->ok()) {
    voice_.reset();
    return kErrFail;
  }
  voice_->SetGain(GainFromHundredthsDb(volume_));
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
  voice_->Rewind();
  if (running_) mixer.AddSourceLocked(voice_.get());
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
