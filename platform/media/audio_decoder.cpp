#include "platform/media/audio_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace platform::media {

namespace {

// Decoded audio held ahead of what was read stays below this (frames).
constexpr size_t kMaxHeldFrames = 1 << 20;

uint64_t LayoutKey(const AVChannelLayout& layout) {
  return (static_cast<uint64_t>(layout.nb_channels) << 56) ^
         (layout.order == AV_CHANNEL_ORDER_NATIVE ? layout.u.mask : 0);
}

}  // namespace

AudioDecoder::~AudioDecoder() {
  swr_free(&resampler_);
  av_packet_free(&packet_);
  av_frame_free(&frame_);
  avcodec_free_context(&codec_);
}

std::unique_ptr<AudioDecoder> AudioDecoder::Open(std::unique_ptr<MediaInput> input, int output_rate,
                                                 std::string* why) {
  if (!input || output_rate <= 0) return nullptr;
  std::unique_ptr<AudioDecoder> d(new AudioDecoder());
  d->stream_ = input->BestStream(AVMEDIA_TYPE_AUDIO);
  if (d->stream_ < 0) {
    if (why) *why = "it has no audio stream";
    return nullptr;
  }
  const AVCodecParameters* p = input->format()->streams[d->stream_]->codecpar;
  if (p->ch_layout.nb_channels < 1 || p->ch_layout.nb_channels > kMaxChannels ||
      p->sample_rate < 1 || p->sample_rate > kMaxSampleRate) {
    if (why) *why = "its audio has a channel count or a rate out of range";
    return nullptr;
  }
  d->codec_ = input->OpenDecoder(d->stream_, why);
  if (d->codec_ == nullptr) return nullptr;
  d->frame_ = av_frame_alloc();
  d->packet_ = av_packet_alloc();
  if (d->frame_ == nullptr || d->packet_ == nullptr) return nullptr;
  for (unsigned i = 0; i < input->format()->nb_streams; ++i) {
    if (static_cast<int>(i) != d->stream_) input->format()->streams[i]->discard = AVDISCARD_ALL;
  }
  d->output_rate_ = output_rate;
  d->input_ = std::move(input);
  return d;
}

bool AudioDecoder::SetUpResampler(const AVFrame* frame) {
  AVChannelLayout in{};
  if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame->ch_layout.nb_channels <= 0) {
    av_channel_layout_default(&in, std::max(1, frame->ch_layout.nb_channels));
  } else if (av_channel_layout_copy(&in, &frame->ch_layout) < 0) {
    return false;
  }
  if (in.nb_channels > kMaxChannels || frame->sample_rate < 1 ||
      frame->sample_rate > kMaxSampleRate) {
    av_channel_layout_uninit(&in);
    return false;
  }
  const uint64_t key = LayoutKey(in);
  if (resampler_ != nullptr && key == in_layout_key_ && frame->sample_rate == in_rate_ &&
      frame->format == in_format_) {
    av_channel_layout_uninit(&in);
    return true;
  }
  swr_free(&resampler_);
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  const int r = swr_alloc_set_opts2(&resampler_, &stereo, AV_SAMPLE_FMT_S16, output_rate_, &in,
                                    static_cast<AVSampleFormat>(frame->format), frame->sample_rate,
                                    0, nullptr);
  av_channel_layout_uninit(&in);
  if (r < 0 || resampler_ == nullptr || swr_init(resampler_) < 0) {
    swr_free(&resampler_);
    return false;
  }
  in_layout_key_ = key;
  in_rate_ = frame->sample_rate;
  in_format_ = frame->format;
  return true;
}

bool AudioDecoder::Convert(const AVFrame* frame) {
  if (frame != nullptr && !SetUpResampler(frame)) return false;
  if (resampler_ == nullptr) return true;
  const int in_samples = frame != nullptr ? frame->nb_samples : 0;
  const int room = swr_get_out_samples(resampler_, in_samples);
  if (room <= 0) return true;
  if (read_ > 0) {
    // Move what is still unread to the front first.
    std::memmove(held_samples_.data(), held_samples_.data() + 2 * read_,
                 2 * (held_ - read_) * sizeof(int16_t));
    held_ -= read_;
    read_ = 0;
  }
  held_samples_.resize(2 * (held_ + static_cast<size_t>(room)));
  uint8_t* out = reinterpret_cast<uint8_t*>(held_samples_.data() + 2 * held_);
  const int made = swr_convert(
      resampler_, &out, room,
      frame != nullptr ? const_cast<const uint8_t**>(frame->extended_data) : nullptr, in_samples);
  if (made > 0) held_ += static_cast<size_t>(made);
  held_samples_.resize(2 * held_);
  return made >= 0;
}

bool AudioDecoder::DecodeMore() {
  for (int packets = 0; packets <= kMaxPacketsPerFrame; ++packets) {
    av_frame_unref(frame_);
    const int got = avcodec_receive_frame(codec_, frame_);
    if (got == 0) {
      if (!Convert(frame_)) {
        // A frame the resampler cannot take is skipped.
        continue;
      }
      return true;
    }
    if (got == AVERROR_EOF || draining_) break;
    const int r = av_read_frame(input_->format(), packet_);
    if (r < 0) {
      draining_ = true;
      avcodec_send_packet(codec_, nullptr);
      continue;
    }
    if (packet_->stream_index == stream_) avcodec_send_packet(codec_, packet_);
    av_packet_unref(packet_);
  }
  input_done_ = true;
  return false;
}

bool AudioDecoder::RestartInput() {
  const AVStream* stream = input_->format()->streams[stream_];
  const int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
  if (av_seek_frame(input_->format(), stream_, start, AVSEEK_FLAG_BACKWARD) < 0 &&
      avformat_seek_file(input_->format(), -1, INT64_MIN, 0, 0, 0) < 0) {
    return false;
  }
  avcodec_flush_buffers(codec_);
  draining_ = false;
  input_done_ = false;
  ended_ = false;
  return true;
}

int AudioDecoder::Read(int16_t* out, int frames, bool loop, int* wraps) {
  int written = 0;
  int empty_restarts = 0;
  while (written < frames) {
    if (read_ < held_) {
      const int n =
          static_cast<int>(std::min<size_t>(held_ - read_, static_cast<size_t>(frames - written)));
      std::memcpy(out + 2 * written, held_samples_.data() + 2 * read_,
                  2 * static_cast<size_t>(n) * sizeof(int16_t));
      read_ += static_cast<size_t>(n);
      written += n;
      if (read_ == held_) held_ = read_ = 0;
      empty_restarts = 0;
      continue;
    }
    if (ended_) break;
    if (held_ < kMaxHeldFrames && DecodeMore()) continue;
    if (!input_done_) break;
    if (loop) {
      // A stream that gives nothing between two ends would loop for ever.
      if (++empty_restarts > 1 || !RestartInput()) {
        ended_ = true;
        break;
      }
      if (wraps != nullptr) ++*wraps;
      continue;
    }
    // The resampler's last samples, then the end.
    Convert(nullptr);
    ended_ = true;
  }
  return written;
}

bool AudioDecoder::Rewind() {
  held_ = read_ = 0;
  held_samples_.clear();
  if (resampler_ != nullptr) swr_init(resampler_);
  return RestartInput();
}

bool AudioDecoder::Seek(int64_t time) {
  if (time <= 0) return Rewind();
  const AVStream* stream = input_->format()->streams[stream_];
  int64_t target = av_rescale_q(time, AVRational{1, 10000000}, stream->time_base);
  if (stream->start_time != AV_NOPTS_VALUE) target += stream->start_time;
  if (av_seek_frame(input_->format(), stream_, target, AVSEEK_FLAG_BACKWARD) < 0) return false;
  avcodec_flush_buffers(codec_);
  held_ = read_ = 0;
  held_samples_.clear();
  if (resampler_ != nullptr) swr_init(resampler_);
  draining_ = false;
  input_done_ = false;
  ended_ = false;
  return true;
}

}  // namespace platform::media
