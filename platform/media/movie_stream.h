// The multimedia-stream stand-in for movies: a stream object that opens a
// movie file, decodes its video into the surface of a stream sample and
// plays its audio through the mixer, on a stream clock that runs on the
// library's clock (so tests move it by hand). There is no worker thread: an
// asynchronous sample update that is not due yet completes when its frame
// event is polled at or after the frame's time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/video/direct_draw.h"
#include "platform/video/surface.h"
#include "platform/video/video_types.h"

namespace platform::media {

using Result = int32_t;
constexpr Result kOk = 0;
// A sample update that completes later, when its event is set.
constexpr Result kPending = 0x00040001;
// A sample update past the last frame.
constexpr Result kEndOfStream = 0x00040003;
constexpr Result kErrFail = static_cast<Result>(0x80004005u);
constexpr Result kErrInvalidArg = static_cast<Result>(0x80070057u);
constexpr Result kErrNotRunning = static_cast<Result>(0x80040405u);
constexpr Result kErrNotOpen = static_cast<Result>(0x80040406u);
constexpr Result kErrCannotOpen = static_cast<Result>(0x80040216u);
constexpr Result kErrNoAudio = static_cast<Result>(0x88780078u);

inline bool Failed(Result r) { return r < 0; }

enum class StreamState { kStop = 0, kRun = 1 };

class MovieStream;
class StreamSample;

// A manual-reset event a sample update signals when it completes.
class FrameEvent {
 public:
  FrameEvent() = default;
  ~FrameEvent();
  FrameEvent(const FrameEvent&) = delete;
  FrameEvent& operator=(const FrameEvent&) = delete;
  void Set() { set_ = true; }
  void Reset() { set_ = false; }
  // Waits for at most `timeout_ms` (only 0, a poll, is supported): true
  // when set. A pending update whose frame is due completes here.
  bool Wait(uint32_t timeout_ms);

 private:
  friend class StreamSample;
  bool set_ = false;
  StreamSample* waiting_ = nullptr;
};

class StreamSample {
 public:
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();
  // With the stream running: kOk when the newest due frame is now in the
  // surface; kPending when the next frame is not due yet (with an event it
  // completes when the event is polled at its time); kEndOfStream past the
  // last frame. Without an event a frame not yet due also gives kPending.
  Result Update(FrameEvent* event);
  // The surface the frames go to (one reference added) and the frame's
  // rectangle in it.
  Result GetSurface(platform::video::Surface** surface, platform::video::Rect* rect);

 private:
  friend class MovieStream;
  friend class FrameEvent;
  StreamSample(MovieStream* stream, platform::video::Surface* surface,
               const platform::video::Rect& rect);
  ~StreamSample();
  // Completes a pending update when its frame is due (or the stream ended).
  void Poll();

  uint32_t refs_ = 1;
  MovieStream* stream_;  // holds a reference
  platform::video::Surface* surface_;
  platform::video::Rect rect_;
  FrameEvent* event_ = nullptr;
};

class MovieStream {
 public:
  static Result Create(MovieStream** out);
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release();

  // The primary video stream, decoding for surfaces of this DirectDraw
  // object (which the stream keeps a reference of).
  Result AddVideoStream(platform::video::DirectDraw* object);
  // The primary audio stream with the default renderer: our mixer. Fails
  // when the audio output cannot be opened.
  Result AddDefaultAudio();
  // Opens a movie file; kErrCannotOpen when it cannot be read or demuxed.
  Result OpenFile(const char* path);
  // The video frame's size: 0 x 0 when the file has no video that can be
  // decoded here.
  Result GetFrameSize(int* width, int* height);
  // Stream time of the whole stream and of one frame (100 ns units).
  Result GetStopPosition(int64_t* stop);
  Result GetTimePerFrame(int64_t* time);
  // A sample on `surface`, or on a surface the stream makes in the display's
  // format when null. The surface must hold the frame size.
  Result CreateSample(platform::video::Surface* surface, StreamSample** out);

  Result SetState(StreamState state);
  Result GetState(StreamState* state);
  // The graph's pause: the clock and the audio stop; the state is stop.
  Result Pause();
  // Stream time now, and a move to another time.
  Result GetTime(int64_t* time);
  Result Seek(int64_t time);

  // Why the last OpenFile failed, in words (for the log's reader).
  const std::string& open_problem() const { return open_problem_; }

 private:
  struct Impl;
  MovieStream();
  ~MovieStream();
  friend class StreamSample;

  uint32_t refs_ = 1;
  std::unique_ptr<Impl> impl_;
  std::string open_problem_;
};

// Live stream objects, for leak checks.
int LiveMovieStreamCount();

}  // namespace platform::media
