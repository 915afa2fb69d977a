// The audio stream of a media file decoded in order into interleaved 16-bit
// stereo at one output rate, for the mixer. At the end of the stream it can
// start again from the beginning without a seam, as one looping stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/media_input.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace platform::media {

// Decoded audio as the mixer's voices read it.
class PcmDecoder {
 public:
  virtual ~PcmDecoder() = default;
  // Writes up to `frames` stereo frames into `out` and returns how many.
  // Fewer come only at the end of the stream; with `loop` the stream goes
  // on from its beginning instead, and *wraps counts the ends passed.
  virtual int Read(int16_t* out, int frames, bool loop, int* wraps) = 0;
  // From the beginning again, forgetting what was decoded ahead.
  virtual bool Rewind() = 0;
  virtual bool ended() const = 0;
  virtual int output_rate() const = 0;
};

class AudioDecoder : public PcmDecoder {
 public:
  ~AudioDecoder() override;
  AudioDecoder(const AudioDecoder&) = delete;
  AudioDecoder& operator=(const AudioDecoder&) = delete;

  // The best audio stream of the input, converted to `output_rate`; null
  // (with the reason) when there is none or it cannot be decoded here.
  static std::unique_ptr<AudioDecoder> Open(std::unique_ptr<MediaInput> input, int output_rate,
                                            std::string* why);

  int Read(int16_t* out, int frames, bool loop, int* wraps) override;
  bool Rewind() override;
  // To stream time `time` (100 ns units).
  bool Seek(int64_t time);
  bool ended() const override { return ended_ && held_ == read_; }
  int output_rate() const override { return output_rate_; }

 private:
  AudioDecoder() = default;
  // Decodes one frame into the held samples; false once the input is done.
  bool DecodeMore();
  bool Convert(const AVFrame* frame);
  bool SetUpResampler(const AVFrame* frame);
  bool RestartInput();

  std::unique_ptr<MediaInput> input_;
  int stream_ = -1;
  AVCodecContext* codec_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwrContext* resampler_ = nullptr;
  int in_rate_ = 0;
  int in_format_ = -1;
  uint64_t in_layout_key_ = 0;
  int output_rate_ = 0;
  std::vector<int16_t> held_samples_;  // interleaved stereo
  size_t held_ = 0;                    // frames in held_samples_
  size_t read_ = 0;                    // frames of them already read
  bool draining_ = false;
  bool input_done_ = false;
  bool ended_ = false;
};

}  // namespace platform::media
