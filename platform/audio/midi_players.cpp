#include "platform/audio/midi_players.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "platform/audio/midi_file.h"
#include "platform/audio/mixer.h"
#include "platform/audio/notify.h"
#include "platform/media/midi_synth.h"

namespace platform::audio {

// One piece through a synthesiser, and its end as the players report it.
// Runs on the output's thread under the mixer's lock; the control calls
// take that lock.
class MidiPiece : public PullSource {
 public:
  MidiPiece(std::vector<uint8_t> smf, double seconds) : smf_(std::move(smf)), seconds_(seconds) {}
  ~MidiPiece() override { platform::media::MidiSynth::Recycle(std::move(synth_)); }

  // (Re)starts the piece `plays` times (0: for ever) from `from_seconds`.
  bool Play(int plays, double from_seconds, bool notify, WindowId window, uint32_t device,
            int rate) {
    if (!synth_ || synth_->sample_rate() != rate) {
      platform::media::MidiSynth::Recycle(std::move(synth_));
      synth_ = platform::media::MidiSynth::Create(rate);
      if (!synth_) return false;
    }
    notify_ = notify;
    window_ = window;
    device_ = device;
    plays_left_ = plays;
    // An empty piece still lasts a moment, so one that loops cannot rewind
    // at every sample.
    length_ = std::max<int64_t>(rate / 100 + 1, std::llround(seconds_ * rate));
    elapsed_ = std::min<int64_t>(length_, std::llround(std::max(0.0, from_seconds) * rate));
    tail_frames_ = 0;
    finished_ = !synth_->Start(smf_.data(), smf_.size(), from_seconds);
    return !finished_;
  }

  bool MixInto(int32_t* accum, int frames, int device_rate) override {
    if (!synth_) return false;
    int done = 0;
    // The piece is timed by its length in the file; at its end it starts
    // again, within the same mix, while plays are left.
    while (!finished_ && done < frames) {
      const int n = static_cast<int>(std::min<int64_t>(frames - done, length_ - elapsed_));
      synth_->Render(accum + 2 * done, n, gain_);
      done += n;
      elapsed_ += n;
      if (elapsed_ < length_) continue;
      if (plays_left_ == 0 || --plays_left_ > 0) {
        elapsed_ = 0;
        if (synth_->Rewind()) continue;
      }
      finished_ = true;
      synth_->Stop();
      if (notify_) {
        notify_ = false;
        PostNotification(
            {window_, kMessageMciNotify, kMciNotifySuccessful, static_cast<intptr_t>(device_)});
      }
    }
    if (done < frames) synth_->Render(accum + 2 * done, frames - done, gain_);
    if (!finished_) return true;
    // The last notes ring out (a few seconds at most), then the piece leaves
    // the mix.
    tail_frames_ += frames - done;
    return !synth_->quiet() && tail_frames_ < 3 * device_rate;
  }

  bool finished() const { return finished_; }
  // When the play is cut short: the notification it still owed, if any;
  // the notes are released.
  void Abort() {
    if (notify_ && !finished_) {
      PostNotification(
          {window_, kMessageMciNotify, kMciNotifyAborted, static_cast<intptr_t>(device_)});
    }
    notify_ = false;
    finished_ = true;
    if (synth_) synth_->Stop();
  }
  void SetGain(int32_t gain) { gain_ = gain; }

 private:
  std::vector<uint8_t> smf_;
  double seconds_;
  std::unique_ptr<platform::media::MidiSynth> synth_;
  bool notify_ = false;
  WindowId window_ = nullptr;
  uint32_t device_ = 0;
  bool finished_ = true;
  int plays_left_ = 1;
  int64_t length_ = 1;
  int64_t elapsed_ = 0;
  int tail_frames_ = 0;
  int32_t gain_ = 65536;
};

namespace {

// The piece of a file the players accept, or false.
bool ReadPiece(const std::string& path, std::vector<uint8_t>* smf, double* seconds, Result* error) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes)) {
    *error = kErrNotFound;
    return false;
  }
  const uint8_t* piece = nullptr;
  size_t size = 0;
  if (!MidiFileLength(bytes.data(), bytes.size(), seconds) ||
      !FindStandardMidi(bytes.data(), bytes.size(), &piece, &size)) {
    *error = kErrUnsupportedFile;
    return false;
  }
  smf->assign(piece, piece + size);
  return true;
}

// Starts a piece in the mixer; false when there is no output to play it on.
bool StartPiece(MidiPiece* piece, int plays, bool notify, WindowId window, uint32_t device,
                uint32_t from_ms) {
  Mixer& mixer = Mixer::Get();
  if (!mixer.is_open()) return false;
  std::lock_guard lock(mixer.mutex());
  mixer.RemoveSourceLocked(piece);
  if (!piece->Play(plays, from_ms / 1000.0, notify, window, device, mixer.rate())) return false;
  mixer.AddSourceLocked(piece);
  return true;
}

// Takes a piece out of the mixer and deletes it; `abort` reports a cut play.
void EndPiece(MidiPiece* piece, bool abort) {
  if (piece == nullptr) return;
  Mixer& mixer = Mixer::Get();
  {
    std::lock_guard lock(mixer.mutex());
    mixer.RemoveSourceLocked(piece);
    if (abort) piece->Abort();
  }
  delete piece;
}

bool PieceFinished(MidiPiece* piece) {
  std::lock_guard lock(Mixer::Get().mutex());
  return piece->finished();
}

struct MciDevice {
  MidiPiece* piece = nullptr;
};

std::map<uint32_t, MciDevice>& Devices() {
  static std::map<uint32_t, MciDevice> devices;
  return devices;
}
uint32_t g_next_device = 1;

}  // namespace

std::string MidiSynthesisNote() { return platform::media::MidiSilenceReason(); }

Result MciSendCommand(uint32_t device, uint32_t message, uint32_t flags, void* params) {
  auto& devices = Devices();
  if (message == kMciOpen) {
    auto* open = static_cast<MciOpenParams*>(params);
    if (open == nullptr || (flags & kMciOpenElement) == 0 || open->element == nullptr)
      return kMciErrCannotLoad;
    if ((flags & kMciOpenType) &&
        (open->device_type == nullptr || std::strcmp(open->device_type, "sequencer") != 0)) {
      return kMciErrInvalidDevice;
    }
    std::vector<uint8_t> smf;
    double seconds = 0;
    Result error = kOk;
    if (!ReadPiece(open->element, &smf, &seconds, &error)) return kMciErrCannotLoad;
    const uint32_t id = g_next_device++;
    devices[id] = MciDevice{new MidiPiece(std::move(smf), seconds)};
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
      const bool notify = (flags & kMciNotify) != 0 && play != nullptr;
      const uint32_t from = (flags & kMciFrom) && play != nullptr ? play->from : 0;
      // A play of its own: the one it replaces owes no notification.
      return StartPiece(d.piece, 1, notify,
                        notify ? reinterpret_cast<WindowId>(play->callback) : nullptr, device, from)
                 ? kOk
                 : kMciErrInvalidDevice;
    }
    case kMciClose:
      EndPiece(d.piece, true);
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
  std::vector<uint8_t> smf;
  double seconds = 0;
  Result error = kOk;
  if (!ReadPiece(path, &smf, &seconds, &error)) return error;
  *out = new MusicSegment(std::move(smf), seconds);
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
  for (; name[i] != '\0' && i + 1 < std::size(caps->description); ++i)
    caps->description[i] = name[i];
  caps->description[i] = 0;
  return kOk;
}

uint32_t MusicPerformance::Release() {
  if (--refs_ > 0) return refs_;
  EndPiece(piece_, false);
  delete this;
  return 0;
}

Result MusicPerformance::InitAudio(DirectMusic** music, DirectSound** sound, WindowId, uint32_t,
                                   uint32_t, uint32_t, AudioParams*) {
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
  if (piece_ != nullptr) {
    std::lock_guard lock(Mixer::Get().mutex());
    piece_->SetGain(GainFromHundredthsDb(volume));
  }
  return kOk;
}

Result MusicPerformance::PlaySegmentEx(MusicSegment* segment, uint32_t, int64_t) {
  if (segment == nullptr) return kErrInvalidParam;
  EndPiece(piece_, false);
  piece_ = nullptr;
  playing_ = segment;
  // Repeats come on top of the first play; "infinite" plays for ever.
  const uint32_t repeats = segment->repeats();
  const int plays = repeats == kSegmentRepeatInfinite
                        ? 0
                        : static_cast<int>(std::min<uint32_t>(repeats, 1u << 20)) + 1;
  auto* piece = new MidiPiece(segment->piece(), segment->length_seconds());
  piece->SetGain(GainFromHundredthsDb(master_volume_));
  if (!StartPiece(piece, plays, false, nullptr, 0, 0)) {
    delete piece;
    return kErrFail;
  }
  piece_ = piece;
  return kOk;
}

Result MusicPerformance::IsPlaying(MusicSegment* segment) {
  if (piece_ == nullptr || (segment != nullptr && segment != playing_)) return kFalse;
  return PieceFinished(piece_) ? kFalse : kOk;
}

Result MusicPerformance::StopEx(MusicSegment* segment, int64_t, uint32_t) {
  if (segment == nullptr || segment == playing_) {
    EndPiece(piece_, false);
    piece_ = nullptr;
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
