// The video stream of a media file decoded frame by frame, in order, and
// converted into the pixels of a 16- or 32-bit RGB surface layout.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/media/media_input.h"
#include "platform/video/video_types.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace platform::media {

class VideoDecoder {
 public:
  ~VideoDecoder();
  VideoDecoder(const VideoDecoder&) = delete;
  VideoDecoder& operator=(const VideoDecoder&) = delete;

  // The best video stream of the input; null (with the reason) when there
  // is none, it cannot be decoded, or its frame size is 0 or too large.
  static std::unique_ptr<VideoDecoder> Open(std::unique_ptr<MediaInput> input, std::string* why);

  int width() const { return width_; }
  int height() const { return height_; }
  // Stream time of one frame and of the whole stream (0 when unknown).
  int64_t time_per_frame() const { return time_per_frame_; }
  int64_t duration() const { return duration_; }

  // Decodes the next frame; false at the end of the stream (or where the
  // stream stops giving frames).
  bool Next();
  bool has_frame() const { return has_frame_; }
  // Stream time of the frame held.
  int64_t frame_time() const { return frame_time_; }
  // Converts the frame held into `pixels` of the given layout (565, 555,
  // X8R8G8B8 or A8R8G8B8), `width` x `height` pixels at `pitch`.
  bool Convert(uint8_t* pixels, int pitch, const platform::video::PixelFormat& format);
  // Moves to stream time `time`: the next frame decoded is the first whose
  // time is at or after the key frame before `time`. False when refused.
  bool Seek(int64_t time);

 private:
  VideoDecoder() = default;
  bool ReceiveFrame();

  std::unique_ptr<MediaInput> input_;
  int stream_ = -1;
  AVCodecContext* codec_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* scaler_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int64_t time_per_frame_ = 0;
  int64_t duration_ = 0;
  bool has_frame_ = false;
  bool draining_ = false;
  bool ended_ = false;
  int64_t frame_time_ = 0;
  int64_t next_guess_ = 0;
};

}  // namespace platform::media
