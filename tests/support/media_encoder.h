// Writes small media files for tests with FFmpeg's muxers and encoders:
// audio (WAVE, Ogg Vorbis, MP3, FLAC) from 16-bit stereo samples, and movies
// (MJPEG in AVI, H.264 in MP4, Theora in Ogg, with an optional tone) from a
// painter that draws each frame in 8-bit RGB. Header-only: the programs that
// include it link FFmpeg through the platform library.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace media_encoder {

namespace detail {

struct Output {
  AVFormatContext* format = nullptr;
  ~Output() {
    if (format == nullptr) return;
    if (format->pb != nullptr && !(format->oformat->flags & AVFMT_NOFILE)) avio_closep(&format->pb);
    avformat_free_context(format);
  }
};

struct Encoder {
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  ~Encoder() { avcodec_free_context(&codec); }
};

// Sends a frame (null: the end) and writes every packet that comes out.
inline bool Drain(AVFormatContext* format, Encoder& e, AVFrame* frame) {
  if (avcodec_send_frame(e.codec, frame) < 0) return false;
  AVPacket* packet = av_packet_alloc();
  bool ok = true;
  while (true) {
    const int r = avcodec_receive_packet(e.codec, packet);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
    if (r < 0) {
      ok = false;
      break;
    }
    // Each picture lasts one tick, so the muxer counts the last one in too.
    if (packet->duration == 0 && e.codec->codec_type == AVMEDIA_TYPE_VIDEO) packet->duration = 1;
    av_packet_rescale_ts(packet, e.codec->time_base, e.stream->time_base);
    packet->stream_index = e.stream->index;
    if (av_interleaved_write_frame(format, packet) < 0) ok = false;
  }
  av_packet_free(&packet);
  return ok;
}

inline bool OpenEncoder(AVFormatContext* format, const char* codec_name, Encoder* e,
                        const std::function<void(AVCodecContext*)>& setup) {
  const AVCodec* codec = avcodec_find_encoder_by_name(codec_name);
  if (codec == nullptr) return false;
  e->stream = avformat_new_stream(format, nullptr);
  e->codec = avcodec_alloc_context3(codec);
  if (e->stream == nullptr || e->codec == nullptr) return false;
  setup(e->codec);
  if (format->oformat->flags & AVFMT_GLOBALHEADER) e->codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(e->codec, codec, nullptr) < 0) return false;
  e->stream->time_base = e->codec->time_base;
  return avcodec_parameters_from_context(e->stream->codecpar, e->codec) >= 0;
}

// Feeds interleaved 16-bit stereo samples to an audio encoder in its frame size.
inline bool EncodeSamples(AVFormatContext* format, Encoder& e, const std::vector<int16_t>& stereo,
                          int rate) {
  AVCodecContext* c = e.codec;
  SwrContext* swr = nullptr;
  AVChannelLayout in = AV_CHANNEL_LAYOUT_STEREO;
  if (swr_alloc_set_opts2(&swr, &c->ch_layout, c->sample_fmt, c->sample_rate, &in,
                          AV_SAMPLE_FMT_S16, rate, 0, nullptr) < 0 ||
      swr_init(swr) < 0) {
    swr_free(&swr);
    return false;
  }
  const int frame_size = c->frame_size > 0 ? c->frame_size : 1024;
  AVAudioFifo* fifo = av_audio_fifo_alloc(c->sample_fmt, c->ch_layout.nb_channels, frame_size * 4);
  AVFrame* frame = av_frame_alloc();
  bool ok = fifo != nullptr && frame != nullptr;
  int64_t pts = 0;
  size_t at = 0;
  const size_t total = stereo.size() / 2;
  while (ok) {
    const bool last = at >= total;
    // Convert the next piece of input (or the resampler's rest) into the fifo.
    const int in_frames = static_cast<int>(std::min<size_t>(total - std::min(at, total), 4096));
    const uint8_t* src = reinterpret_cast<const uint8_t*>(stereo.data() + 2 * at);
    const int room = swr_get_out_samples(swr, in_frames) + 16;
    uint8_t** converted = nullptr;
    av_samples_alloc_array_and_samples(&converted, nullptr, c->ch_layout.nb_channels, room,
                                       c->sample_fmt, 0);
    const int made = swr_convert(swr, converted, room, last ? nullptr : &src, last ? 0 : in_frames);
    if (made > 0) av_audio_fifo_write(fifo, reinterpret_cast<void**>(converted), made);
    av_freep(&converted[0]);
    av_freep(&converted);
    at += static_cast<size_t>(in_frames);
    while (ok &&
           (av_audio_fifo_size(fifo) >= frame_size || (last && av_audio_fifo_size(fifo) > 0))) {
      const int n = std::min(frame_size, av_audio_fifo_size(fifo));
      av_frame_unref(frame);
      frame->nb_samples = n;
      frame->format = c->sample_fmt;
      av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
      frame->sample_rate = c->sample_rate;
      ok = av_frame_get_buffer(frame, 0) >= 0;
      if (!ok) break;
      av_audio_fifo_read(fifo, reinterpret_cast<void**>(frame->data), n);
      frame->pts = pts;
      pts += n;
      ok = Drain(format, e, frame);
    }
    if (last) break;
  }
  av_frame_free(&frame);
  if (fifo != nullptr) av_audio_fifo_free(fifo);
  swr_free(&swr);
  return ok && Drain(format, e, nullptr);
}

inline bool OpenOutput(const std::string& path, const char* container, Output* out) {
  if (avformat_alloc_output_context2(&out->format, nullptr, container, path.c_str()) < 0)
    return false;
  return avio_open(&out->format->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0;
}

inline bool OpenAudioEncoder(AVFormatContext* format, const char* codec_name, int rate,
                             Encoder* e) {
  return OpenEncoder(format, codec_name, e, [&](AVCodecContext* c) {
    const AVCodec* codec = c->codec;
    c->sample_rate = rate;
    c->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
    c->sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    c->time_base = AVRational{1, rate};
    c->bit_rate = 128000;
    if (std::string(codec->name) == "libvorbis") {
      c->flags |= AV_CODEC_FLAG_QSCALE;
      c->global_quality = 5 * FF_QP2LAMBDA;
    }
  });
}

}  // namespace detail

// Writes `stereo` (interleaved 16-bit samples at `rate`) as a file of the
// container and encoder named: "wav"/"pcm_s16le", "ogg"/"libvorbis",
// "mp3"/"libmp3lame", "flac"/"flac".
inline bool WriteAudio(const std::string& path, const char* container, const char* codec,
                       const std::vector<int16_t>& stereo, int rate) {
  detail::Output out;
  detail::Encoder audio;
  if (!detail::OpenOutput(path, container, &out) ||
      !detail::OpenAudioEncoder(out.format, codec, rate, &audio) ||
      avformat_write_header(out.format, nullptr) < 0) {
    return false;
  }
  if (!detail::EncodeSamples(out.format, audio, stereo, rate)) return false;
  return av_write_trailer(out.format) >= 0;
}

struct MovieOptions {
  const char* container = "avi";
  const char* codec = "mjpeg";
  int width = 64;
  int height = 48;
  int frames = 10;
  int fps = 10;
  // Paints frame `index` into `rgb` (width x height x 3, top row first).
  std::function<void(int index, std::vector<uint8_t>& rgb)> paint;
  // With a tone: its samples (interleaved stereo at 44100 Hz) and encoder.
  std::vector<int16_t> tone;
  const char* audio_codec = nullptr;
};

inline bool WriteMovie(const std::string& path, const MovieOptions& options) {
  detail::Output out;
  detail::Encoder video;
  detail::Encoder audio;
  if (!detail::OpenOutput(path, options.container, &out)) return false;
  const std::string codec_name = options.codec;
  const bool ok_video =
      detail::OpenEncoder(out.format, options.codec, &video, [&](AVCodecContext* c) {
        c->width = options.width;
        c->height = options.height;
        c->time_base = AVRational{1, options.fps};
        c->framerate = AVRational{options.fps, 1};
        c->gop_size = 5;
        c->max_b_frames = 0;
        c->pix_fmt = codec_name == "mjpeg" ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
        c->bit_rate = 2000000;
        if (codec_name == "mjpeg") {
          c->flags |= AV_CODEC_FLAG_QSCALE;
          c->global_quality = 2 * FF_QP2LAMBDA;
        }
        if (codec_name == "libx264") {
          av_opt_set(c->priv_data, "preset", "ultrafast", 0);
          av_opt_set(c->priv_data, "crf", "12", 0);
        }
      });
  if (!ok_video) return false;
  if (options.audio_codec != nullptr &&
      !detail::OpenAudioEncoder(out.format, options.audio_codec, 44100, &audio)) {
    return false;
  }
  if (avformat_write_header(out.format, nullptr) < 0) return false;
  AVFrame* frame = av_frame_alloc();
  frame->format = video.codec->pix_fmt;
  frame->width = options.width;
  frame->height = options.height;
  bool ok = av_frame_get_buffer(frame, 0) >= 0;
  SwsContext* sws =
      sws_getContext(options.width, options.height, AV_PIX_FMT_RGB24, options.width, options.height,
                     video.codec->pix_fmt, SWS_BILINEAR, nullptr, nullptr, nullptr);
  std::vector<uint8_t> rgb(static_cast<size_t>(options.width) * options.height * 3);
  for (int i = 0; ok && i < options.frames; ++i) {
    std::fill(rgb.begin(), rgb.end(), 0);
    if (options.paint) options.paint(i, rgb);
    ok = av_frame_make_writable(frame) >= 0;
    const uint8_t* planes[1] = {rgb.data()};
    const int pitches[1] = {options.width * 3};
    sws_scale(sws, planes, pitches, 0, options.height, frame->data, frame->linesize);
    frame->pts = i;
    ok = ok && detail::Drain(out.format, video, frame);
  }
  sws_freeContext(sws);
  av_frame_free(&frame);
  ok = ok && detail::Drain(out.format, video, nullptr);
  if (ok && options.audio_codec != nullptr)
    ok = detail::EncodeSamples(out.format, audio, options.tone, 44100);
  return ok && av_write_trailer(out.format) >= 0;
}

}  // namespace media_encoder
