// The filter-graph stand-in for music: renders any audio file, decoding on
// demand in the mixer (MPEG audio through libmpg123, everything else through
// FFmpeg's libraries), with the control, event, seeking and volume
// interfaces of one graph object. At the end of the stream it queues a
// completion event and sends the notification message to the window given,
// which is how looping music learns to rewind.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/audio_types.h"

namespace platform::audio {

constexpr int32_t kEventComplete = 1;
constexpr uint32_t kSeekAbsolute = 1;
constexpr uint32_t kSeekNone = 0;

class MusicVoice;

class FilterGraph {
 public:
  uint32_t AddRef() { return ++refs_; }
  // Each interface taken from the graph holds one reference.
  uint32_t Release();
  enum class Interface { kControl, kEvent, kSeeking, kAudio };
  Result QueryInterface(Interface which, FilterGraph** out);

  // Builder: an audio file (read whole; at most kMaxMusicFileBytes).
  Result RenderFile(const char* path, const void* play_list);
  // Control.
  Result Run();
  Result Stop();
  // Events: waits for none; kErrAbort when the queue is empty.
  Result SetNotifyWindow(WindowId window, uint32_t message, intptr_t instance);
  Result GetEvent(int32_t* code, intptr_t* param1, intptr_t* param2, int32_t timeout_ms);
  Result FreeEventParams(int32_t code, intptr_t param1, intptr_t param2);
  // Seeking: only the current position is used; the stop is ignored.
  Result SetPositions(int64_t* current, uint32_t current_flags, int64_t* stop, uint32_t stop_flags);
  // Seeking: a stream that will be rewound at each end goes on from its
  // beginning in the same mix, without a gap; the rewind that answers the
  // end event is then already done.
  Result SetRepeatAtEnd(bool repeat);
  // Audio: hundredths of a decibel, -10000 silent.
  Result PutVolume(int32_t volume);

  bool running() const { return running_; }
  int32_t volume() const { return volume_; }

 private:
  friend Result CreateFilterGraph(FilterGraph** out);
  friend class MusicVoice;
  FilterGraph() = default;
  ~FilterGraph();
  void Detach();

  uint32_t refs_ = 1;
  std::unique_ptr<MusicVoice> voice_;
  bool running_ = false;
  // Shared with the mixer's thread, under the mixer's lock.
  std::deque<int32_t> events_;
  WindowId window_ = nullptr;
  uint32_t message_ = 0;
  intptr_t instance_ = 0;
  int32_t volume_ = 0;
  bool repeat_ = false;
};

Result CreateFilterGraph(FilterGraph** out);
// Graph objects still alive, for leak checks.
int LiveFilterGraphCount();

}  // namespace platform::audio
