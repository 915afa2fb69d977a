// The two MIDI players: the MCI sequencer and DirectMusic (loader, segments,
// performance, port list). Both accept Standard MIDI Files only, so any other
// music falls through to the filter graph. Pieces sound through FluidSynth
// with a General MIDI sound font, mixed with everything else; without a
// sound font they play silent for their real length. Their end is reported
// as the players report it (a window notification, or the performance's
// query).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio/audio_types.h"
#include "platform/audio/direct_sound.h"

namespace platform::audio {

class MidiPiece;

// --- MCI sequencer --------------------------------------------------------
constexpr uint32_t kMciOpen = 0x803;
constexpr uint32_t kMciClose = 0x804;
constexpr uint32_t kMciPlay = 0x806;
constexpr uint32_t kMciStatus = 0x814;
constexpr uint32_t kMciNotify = 0x1;
constexpr uint32_t kMciFrom = 0x4;
constexpr uint32_t kMciStatusItem = 0x100;
constexpr uint32_t kMciOpenType = 0x2000;
constexpr uint32_t kMciOpenElement = 0x200;
constexpr uint32_t kMciSeqStatusPort = 0x4003;
constexpr uint32_t kMciSeqMapper = 0xFFFF;
constexpr Result kMciErrCannotLoad = 0x115;
constexpr Result kMciErrInvalidDevice = 0x101;

struct MciOpenParams {
  uintptr_t callback = 0;
  uint32_t device_id = 0;
  const char* device_type = nullptr;
  const char* element = nullptr;
  const char* alias = nullptr;
};
struct MciStatusParams {
  uintptr_t callback = 0;
  uintptr_t return_value = 0;
  uint32_t item = 0;
  uint32_t track = 0;
};
struct MciPlayParams {
  uintptr_t callback = 0;
  uint32_t from = 0;
  uint32_t to = 0;
};
struct MciGenericParams {
  uintptr_t callback = 0;
};

// 0 or an MCI error. A play with kMciNotify sends kMessageMciNotify to the
// callback window at its end (successful) or when it is cut short (aborted).
Result MciSendCommand(uint32_t device, uint32_t message, uint32_t flags, void* params);
// Sequencer devices still open.
int OpenMciDeviceCount();

// --- DirectMusic -----------------------------------------------------------
class MusicPerformance;

class MusicSegment {
 public:
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();
  Result SetRepeats(uint32_t repeats);
  Result SetParam(const void* guid, uint32_t group, uint32_t index, int32_t time, void* data);
  Result Download(MusicPerformance* performance);
  Result Unload(MusicPerformance* performance);
  // The Standard MIDI File it plays.
  const std::vector<uint8_t>& piece() const { return piece_; }
  double length_seconds() const { return length_; }
  uint32_t repeats() const { return repeats_; }

 private:
  friend class MusicLoader;
  MusicSegment(std::vector<uint8_t> piece, double length)
      : piece_(std::move(piece)), length_(length) {}
  uint32_t refs_ = 1;
  std::vector<uint8_t> piece_;
  double length_;
  uint32_t repeats_ = 0;
};

class MusicLoader {
 public:
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();
  // Paths are the program's bytes; the name is joined to the directory.
  Result SetSearchDirectory(const void* guid, const char* directory, int clear);
  Result LoadObjectFromFile(const char* file_name, MusicSegment** out);

 private:
  friend Result CreateMusicLoader(MusicLoader** out);
  MusicLoader() = default;
  uint32_t refs_ = 1;
  std::string directory_;
};

constexpr uint32_t kSegmentRepeatInfinite = 0xFFFFFFFFu;
constexpr uint32_t kPortOutputClass = 1;

struct PortCaps {
  uint32_t size = 308;
  uint32_t flags = 0;
  uint8_t guid[16] = {};
  uint32_t port_class = 0;
  uint32_t type = 0;
  uint32_t memory_size = 0;
  uint32_t max_channel_groups = 0;
  uint32_t max_voices = 0;
  uint32_t max_audio_channels = 0;
  uint32_t effect_flags = 0;
  char16_t description[128] = {};
};

class DirectMusic {
 public:
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();
  // The newer interface of the same object.
  Result QueryInterface8(DirectMusic** out);
  // kOk per port, kFalse past the last.
  Result EnumPort(uint32_t index, PortCaps* caps);

 private:
  friend Result CreateDirectMusic(DirectMusic** out);
  DirectMusic() = default;
  uint32_t refs_ = 1;
};

struct AudioParams {
  uint32_t size = 40;
  int32_t init_now = 0;
  uint32_t valid_data = 0;
  uint32_t features = 0;
  uint32_t voices = 0;
  uint32_t sample_rate = 0;
  uint8_t default_synth[16] = {};
};

class MusicPerformance {
 public:
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();
  // Makes the DirectSound object (initialised on the default output) in
  // *sound; a DirectMusic object is not kept.
  Result InitAudio(DirectMusic** music, DirectSound** sound, WindowId window, uint32_t path_type,
                   uint32_t channels, uint32_t flags, AudioParams* params);
  Result GetMasterVolume(int32_t* volume);
  Result SetMasterVolume(int32_t volume);
  Result PlaySegmentEx(MusicSegment* segment, uint32_t flags, int64_t start_time);
  // kOk while the segment plays, kFalse otherwise.
  Result IsPlaying(MusicSegment* segment);
  Result StopEx(MusicSegment* segment, int64_t time, uint32_t flags);
  Result Stop();
  Result CloseDown();

 private:
  friend Result CreateMusicPerformance(MusicPerformance** out);
  MusicPerformance() = default;
  uint32_t refs_ = 1;
  int32_t master_volume_ = 0;
  MidiPiece* piece_ = nullptr;
  MusicSegment* playing_ = nullptr;
};

Result CreateMusicLoader(MusicLoader** out);
Result CreateMusicPerformance(MusicPerformance** out);
Result CreateDirectMusic(DirectMusic** out);

// Why MIDI plays silent (no sound font), for the library's log; empty while
// it sounds.
std::string MidiSynthesisNote();

}  // namespace platform::audio
