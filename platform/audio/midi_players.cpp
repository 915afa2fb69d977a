#include "platform/audio/midi_players.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "platform/audio/midi_file.h"
#include "platform/audio/mixer.h"
#include "platform/audio/notify.h"

namespace platform::audio {

// Counts a piece's playing time in output frames, repeat by repeat, and
// reports its end. Runs on the output's thread under the mixer's lock.
class MidiTimer : public PullSource {
 public:
  MidiTimer(double seconds, uint32_t repeats, bool notify, WindowId window, uint32_t device)
      : seconds_(seconds), repeats_(repeats), notify_(notify), window_(window), device_(device) {}

  bool MixInto(int32_t*, int frames, int device_rate) override {
    const uint64_t length = std::max<uint64_t>(1, static_cast<uint64_t>(std::llround(seconds_ * device_rate)));
    elapsed_ += static_cast<uint64_t>(frames);
    while (elapsed_ >= length) {
      if (repeats_ == kSegmentRepeatInfinite || repeats_ > 0) {
        if (repeats_ != kSegmentRepeatInfinite) --repeats_;
        elapsed_ -= length;
        continue;
      }
      finished_ = true;
      if (notify_) {
        notify_ = false;
        PostNotification({window_, kMessageMciNotify, kMciNotifySuccessful, static_cast<intptr_t>(device_)});
      }
      return false;
    }
    return true;
  }

  bool finished() const { return finished_; }
  // When the play is cut short: the notification it still owed, if any.
  void Abort() {
    if (notify_ && !finished_) {
      PostNotification({window_, kMessageMciNotify, kMciNotifyAborted, static_cast<intptr_t>(device_)});
    }
    notify_ = false;
    finished_ = true;
  }
  void Skip(uint64_t frames) { elapsed_ = frames; }

 private:
  double seconds_;
  uint32_t repeats_;
  bool notify_;
  WindowId window_;
  uint32_t device_;
  uint64_t elapsed_ = 0;
  bool finished_ = false;
};

namespace {

// Starts a timer in the mixer; null when there is no output to count time by.
MidiTimer* StartTimer(double seconds, uint32_t repeats, bool notify, WindowId window, uint32_t device,
                      uint32_t from_ms) {
  Mixer& mixer = Mixer::Get();
  if (!mixer.is_open()) {
    if (mixer.Open() != kOk) return nullptr;
    mixer.Close();  // only probing: the library's DirectSound keeps it open
    return nullptr;
  }
  auto* timer = new MidiTimer(seconds, repeats, notify, window, device);
  std::lock_guard lock(mixer.mutex());
  timer->Skip(static_cast<uint64_t>(from_ms) * static_cast<uint64_t>(mixer.rate()) / 1000);
  mixer.AddSourceLocked(timer);
  return timer;
}

// Removes a timer from the mixer and deletes it; `abort` reports a cut play.
void EndTimer(MidiTimer* timer, bool abort) {
  if (timer == nullptr) return;
  Mixer& mixer = Mixer::Get();
  {
    std::lock_guard lock(mixer.mutex());
    mixer.RemoveSourceLocked(timer);
    if (abort) timer->Abort();
  }
  delete timer;
}

bool TimerFinished(MidiTimer* timer) {
  std::lock_guard lock(Mixer::Get().mutex());
  return timer->finished();
}

struct MciDevice {
  double seconds = 0;
  MidiTimer* timer = nullptr;
};

std::map<uint32_t, MciDevice>& Devices() {
  static std::map<uint32_t, MciDevice> devices;
  return devices;
}
uint32_t g_next_device = 1;

}  // namespace

const char* MidiSynthesisNote() {
  return "no MIDI synthesiser in this build: MIDI music plays silent";
}

Result MciSendCommand(uint32_t device, uint32_t message, uint32_t flags, void* params) {
  auto& devices = Devices();
  if (message == kMciOpen) {
    auto* open = static_cast<MciOpenParams*>(params);
    if (open == nullptr || (flags & kMciOpenElement) == 0 || open->element == nullptr) return kMciErrCannotLoad;
    if ((flags & kMciOpenType) && (open->device_type == nullptr || std::strcmp(open->device_type, "sequencer") != 0)) {
      return kMciErrInvalidDevice;
    }
    std::vector<uint8_t> bytes;
    double seconds = 0;
    if (!ReadWholeFile(open->element, &bytes) || !MidiFileLength(bytes.data(), bytes.size(), &seconds)) {
      return kMciErrCannotLoad;
    }
    const uint32_t id = g_next_device++;
    devices[id] = MciDevice{seconds, nullptr};
    open->device_id = id;
    return kOk;
  }
  auto it = devices.find(device);
  if (it == devices.end()) return kMciErrInvalidDevice;
  MciDevice& d = it->second;
  switch (message) {
    case kMciStatus: {
      auto* status = static_cast<MciStatusParams*>(params);
      if (status == nullptr || (flags & kMciStatusItem) == 0 || status->item != kMciSeqStatusPort) {
        return kMciErrInvalidDevice;
      }
      status->return_value = kMciSeqMapper;
      return kOk;
    }
    case kMciPlay: {
      auto* play = static_cast<MciPlayParams*>(params);
      EndTimer(d.timer, false);
      const bool notify = (flags & kMciNotify) != 0 && play != nullptr;
      const uint32_t from = (flags & kMciFrom) && play != nullptr ? play->from : 0;
      d.timer = StartTimer(d.seconds, 0, notify, notify ? reinterpret_cast<WindowId>(play->callback) : nullptr,
                           device, from);
      return d.timer != nullptr ? kOk : kMciErrInvalidDevice;
    }
    case kMciClose:
      EndTimer(d.timer, true);
      devices.erase(it);
      return kOk;
    default:
      return kMciErrInvalidDevice;
  }
}

int OpenMciDeviceCount() { return static_cast<int>(Devices().size()); }

uint32_t MusicSegment::Release() {
  if (--refs_ > 0) return refs_;
  delete this;
  return 0;
}

Result MusicSegment::SetRepeats(uint32_t repeats) {
  repeats_ = repeats;
  return kOk;
}
Result MusicSegment::SetParam(const void*, uint32_t, uint32_t, int32_t, void*) { return kOk; }
Result MusicSegment::Download(MusicPerformance*) { return kOk; }
Result MusicSegment::Unload(MusicPerformance*) { return kOk; }

uint32_t MusicLoader::Release() {
  if (--refs_ > 0) return refs_;
  delete this;
  return 0;
}

Result MusicLoader::SetSearchDirectory(const void*, const char* directory, int) {
  directory_ = directory != nullptr ? directory : "";
  return kOk;
}

Result MusicLoader::LoadObjectFromFile(const char* file_name, MusicSegment** out) {
  if (file_name == nullptr || out == nullptr) return kErrInvalidParam;
  *out = nullptr;
  std::string path = file_name;
  if (!directory_.empty()) path = directory_ + "/" + path;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes)) return kErrNotFound;
  double seconds = 0;
  if (!MidiFileLength(bytes.data(), bytes.size(), &seconds)) return kErrUnsupportedFile;
  *out = new MusicSegment(seconds);
  return kOk;
}

uint32_t DirectMusic::Release() {
  if (--refs_ > 0) return refs_;
  delete this;
  return 0;
}

Result DirectMusic::QueryInterface8(DirectMusic** out) {
  if (out == nullptr) return kErrInvalidParam;
  if (FaultSet(Fault::kQueryDirectMusic8)) {
    *out = nullptr;
    return kErrNoInterface;
  }
  AddRef();
  *out = this;
  return kOk;
}

Result DirectMusic::EnumPort(uint32_t index, PortCaps* caps) {
  if (caps == nullptr || caps->size != 308) return kErrInvalidParam;
  if (index > 0) return kFalse;
  caps->port_class = kPortOutputClass;
  const char* name = "Kesto stand-in synth";
  size_t i = 0;
  for (; name[i] != '\0' && i + 1 < std::size(caps->description); ++i) caps->description[i] = name[i];
  caps->description[i] = 0;
  return kOk;
}

uint32_t MusicPerformance::Release() {
  if (--refs_ > 0) return refs_;
  EndTimer(timer_, false);
  delete this;
  return 0;
}

Result MusicPerformance::InitAudio(DirectMusic** music, DirectSound** sound, WindowId, uint32_t, uint32_t,
                                   uint32_t, AudioParams*) {
  if (FaultSet(Fault::kInitAudio)) return kErrFail;
  if (music != nullptr) *music = nullptr;
  if (sound == nullptr) return kOk;
  DirectSound* ds = nullptr;
  Result r = CreateDirectSound(&ds);
  if (Failed(r)) return r;
  r = ds->Initialize(nullptr);
  if (Failed(r)) {
    ds->Release();
    return r;
  }
  *sound = ds;
  return kOk;
}

Result MusicPerformance::GetMasterVolume(int32_t* volume) {
  if (volume == nullptr) return kErrInvalidParam;
  *volume = master_volume_;
  return kOk;
}

Result MusicPerformance::SetMasterVolume(int32_t volume) {
  master_volume_ = volume;
  return kOk;
}

Result MusicPerformance::PlaySegmentEx(MusicSegment* segment, uint32_t, int64_t) {
  if (segment == nullptr) return kErrInvalidParam;
  EndTimer(timer_, false);
  playing_ = segment;
  timer_ = StartTimer(segment->length_seconds(), segment->repeats(), false, nullptr, 0, 0);
  return timer_ != nullptr ? kOk : kErrFail;
}

Result MusicPerformance::IsPlaying(MusicSegment* segment) {
  if (timer_ == nullptr || (segment != nullptr && segment != playing_)) return kFalse;
  return TimerFinished(timer_) ? kFalse : kOk;
}

Result MusicPerformance::StopEx(MusicSegment* segment, int64_t, uint32_t) {
  if (segment == nullptr || segment == playing_) {
    EndTimer(timer_, false);
    timer_ = nullptr;
    playing_ = nullptr;
  }
  return kOk;
}

Result MusicPerformance::Stop() { return StopEx(nullptr, 0, 0); }
Result MusicPerformance::CloseDown() { return StopEx(nullptr, 0, 0); }

Result CreateMusicLoader(MusicLoader** out) {
  if (out == nullptr) return kErrInvalidParam;
  *out = FaultSet(Fault::kCreateLoader) ? nullptr : new MusicLoader();
  return *out != nullptr ? kOk : kErrNoInterface;
}

Result CreateMusicPerformance(MusicPerformance** out) {
  if (out == nullptr) return kErrInvalidParam;
  *out = FaultSet(Fault::kCreatePerformance) ? nullptr : new MusicPerformance();
  return *out != nullptr ? kOk : kErrNoInterface;
}

Result CreateDirectMusic(DirectMusic** out) {
  if (out == nullptr) return kErrInvalidParam;
  *out = FaultSet(Fault::kCreateDirectMusic) ? nullptr : new DirectMusic();
  return *out != nullptr ? kOk : kErrNoInterface;
}

}  // namespace platform::audio
