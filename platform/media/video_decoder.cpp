#include "platform/media/video_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace platform::media {

namespace {

// The FFmpeg pixel format holding a surface layout, or NONE.
AVPixelFormat PixelFormatOf(const platform::video::PixelFormat& f) {
  if (f.bits == 16 && f.red_mask == 0xF800 && f.green_mask == 0x07E0 && f.blue_mask == 0x1F) {
    return AV_PIX_FMT_RGB565LE;
  }
  if (f.bits == 16 && f.red_mask == 0x7C00 && f.green_mask == 0x03E0 && f.blue_mask == 0x1F) {
    return AV_PIX_FMT_RGB555LE;
  }
  if (f.bits == 32 && f.red_mask == 0xFF0000 && f.green_mask == 0xFF00 && f.blue_mask == 0xFF) {
    return f.alpha_mask == 0xFF000000u ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR0;
  }
  return AV_PIX_FMT_NONE;
}

}  // namespace

VideoDecoder::~VideoDecoder() {
  sws_freeContext(scaler_);
  av_packet_free(&packet_);
  av_frame_free(&frame_);
  avcodec_free_context(&codec_);
}

std::unique_ptr<VideoDecoder> VideoDecoder::Open(std::unique_ptr<MediaInput> input,
                                                 std::string* why) {
  if (!input) return nullptr;
  std::unique_ptr<VideoDecoder> d(new VideoDecoder());
  d->stream_ = input->BestStream(AVMEDIA_TYPE_VIDEO);
  if (d->stream_ < 0) {
    if (why) *why = "it has no video stream";
    return nullptr;
  }
  AVStream* stream = input->format()->streams[d->stream_];
  const int w = stream->codecpar->width, h = stream->codecpar->height;
  if (w <= 0 || h <= 0) {
    if (why) *why = "its video stream has no frame size";
    return nullptr;
  }
  if (w > kMaxFrameSide || h > kMaxFrameSide) {
    if (why) *why = "its frames are larger than any this library shows";
    return nullptr;
  }
  d->codec_ = input->OpenDecoder(d->stream_, why);
  if (d->codec_ == nullptr) return nullptr;
  d->frame_ = av_frame_alloc();
  d->packet_ = av_packet_alloc();
  if (d->frame_ == nullptr || d->packet_ == nullptr) return nullptr;
  // Every other stream is skipped by the demuxer.
  for (unsigned i = 0; i < input->format()->nb_streams; ++i) {
    if (static_cast<int>(i) != d->stream_) input->format()->streams[i]->discard = AVDISCARD_ALL;
  }
  d->width_ = w;
  d->height_ = h;
  // The container's nominal rate first: an average can be skewed by the
  // last frame's length.
  AVRational rate = stream->r_frame_rate;
  if (rate.num <= 0 || rate.den <= 0) rate = stream->avg_frame_rate;
  if (rate.num > 0 && rate.den > 0) {
    d->time_per_frame_ = av_rescale(kTimeUnitsPerSecond, rate.den, rate.num);
  }
  if (stream->duration != AV_NOPTS_VALUE) {
    d->duration_ = av_rescale_q(stream->duration, stream->time_base, AVRational{1, 10000000});
  } else if (input->format()->duration != AV_NOPTS_VALUE) {
    d->duration_ = input->format()->duration * 10;
  }
  d->input_ = std::move(input);
  return d;
}

bool VideoDecoder::ReceiveFrame() {
  av_frame_unref(frame_);
  if (avcodec_receive_frame(codec_, frame_) != 0) return false;
  const AVStream* stream = input_->format()->streams[stream_];
  const int64_t guess = next_guess_;
  frame_time_ = StreamTimeOf(stream, frame_->best_effort_timestamp, guess);
  if (frame_time_ < 0) frame_time_ = 0;
  next_guess_ = frame_time_ + (time_per_frame_ > 0 ? time_per_frame_ : kTimeUnitsPerSecond / 25);
  has_frame_ = true;
  return true;
}

bool VideoDecoder::Next() {
  if (ended_) return false;
  for (int packets = 0; packets <= kMaxPacketsPerFrame; ++packets) {
    if (ReceiveFrame()) return true;
    if (draining_) break;
    const int r = av_read_frame(input_->format(), packet_);
    if (r < 0) {
      // The end of the file: what the decoder still holds comes out now.
      draining_ = true;
      avcodec_send_packet(codec_, nullptr);
      continue;
    }
    if (packet_->stream_index == stream_) avcodec_send_packet(codec_, packet_);
    av_packet_unref(packet_);
  }
  ended_ = true;
  return false;
}

bool VideoDecoder::Convert(uint8_t* pixels, int pitch, const platform::video::PixelFormat& format) {
  if (!has_frame_ || pixels == nullptr) return false;
  const AVPixelFormat to = PixelFormatOf(format);
  if (to == AV_PIX_FMT_NONE || frame_->width <= 0 || frame_->height <= 0) return false;
  scaler_ = sws_getCachedContext(scaler_, frame_->width, frame_->height,
                                 static_cast<AVPixelFormat>(frame_->format), width_, height_, to,
                                 SWS_BILINEAR, nullptr, nullptr, nullptr);
  // A stream that changes its size half-way is scaled to its first size:
  // the surface it fills was made for that one.
  if (scaler_ == nullptr) return false;
  uint8_t* planes[4] = {pixels, nullptr, nullptr, nullptr};
  int pitches[4] = {pitch, 0, 0, 0};
  return sws_scale(scaler_, frame_->data, frame_->linesize, 0, frame_->height, planes, pitches) > 0;
}

bool VideoDecoder::Seek(int64_t time) {
  if (time < 0) time = 0;
  const AVStream* stream = input_->format()->streams[stream_];
  int64_t target = av_rescale_q(time, AVRational{1, 10000000}, stream->time_base);
  if (stream->start_time != AV_NOPTS_VALUE) target += stream->start_time;
  if (av_seek_frame(input_->format(), stream_, target, AVSEEK_FLAG_BACKWARD) < 0 &&
      av_seek_frame(input_->format(), stream_, target, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) <
          0) {
    return false;
  }
  avcodec_flush_buffers(codec_);
  draining_ = false;
  ended_ = false;
  has_frame_ = false;
  next_guess_ = time;
  return true;
}

}  // namespace platform::media
