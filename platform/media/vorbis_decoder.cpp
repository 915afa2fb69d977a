#include "platform/media/vorbis_decoder.h"

#include <vorbis/vorbisfile.h>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace platform::media {

namespace {

struct Memory {
  std::shared_ptr<const std::vector<uint8_t>> bytes;
  size_t position = 0;
};

size_t ReadMemory(void* dst, size_t size, size_t count, void* source) {
  auto* m = static_cast<Memory*>(source);
  if (size == 0) return 0;
  const size_t left = m->bytes->size() - std::min(m->position, m->bytes->size());
  const size_t n = std::min(left / size, count);
  if (n == 0) return 0;
  std::memcpy(dst, m->bytes->data() + m->position, n * size);
  m->position += n * size;
  return n;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
  auto* m = static_cast<Memory*>(source);
  int64_t base = 0;
  if (whence == SEEK_CUR) base = static_cast<int64_t>(m->position);
  if (whence == SEEK_END) base = static_cast<int64_t>(m->bytes->size());
  const int64_t target = base + offset;
  if (target < 0 || target > static_cast<int64_t>(m->bytes->size())) return -1;
  m->position = static_cast<size_t>(target);
  return 0;
}

long TellMemory(void* source) { return static_cast<long>(static_cast<Memory*>(source)->position); }

class VorbisDecoder : public PcmDecoder {
 public:
  VorbisDecoder(std::shared_ptr<const std::vector<uint8_t>> bytes, int output_rate)
      : output_rate_(output_rate) {
    memory_.bytes = std::move(bytes);
  }
  ~VorbisDecoder() override {
    if (open_) ov_clear(&file_);
    swr_free(&resampler_);
  }

  bool Open() {
    const ov_callbacks callbacks{ReadMemory, SeekMemory, nullptr, TellMemory};
    if (ov_open_callbacks(&memory_, &file_, nullptr, 0, callbacks) != 0) return false;
    open_ = true;
    const vorbis_info* info = ov_info(&file_, -1);
    if (info == nullptr || info->channels < 1 || info->channels > kMaxChannels || info->rate < 1 ||
        info->rate > kMaxSampleRate) {
      return false;
    }
    channels_ = info->channels;
    AVChannelLayout in{};
    av_channel_layout_default(&in, channels_);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    const int r = swr_alloc_set_opts2(&resampler_, &stereo, AV_SAMPLE_FMT_S16, output_rate_, &in,
                                      AV_SAMPLE_FMT_S16, static_cast<int>(info->rate), 0, nullptr);
    av_channel_layout_uninit(&in);
    return r >= 0 && resampler_ != nullptr && swr_init(resampler_) >= 0;
  }

  int Read(int16_t* out, int frames, bool loop, int* wraps) override {
    int written = 0;
    int empty_restarts = 0;
    while (written < frames) {
      if (read_ < held_.size() / 2) {
        const size_t n = std::min(held_.size() / 2 - read_, static_cast<size_t>(frames - written));
        std::memcpy(out + 2 * written, held_.data() + 2 * read_, 2 * n * sizeof(int16_t));
        read_ += n;
        written += static_cast<int>(n);
        empty_restarts = 0;
        continue;
      }
      held_.clear();
      read_ = 0;
      if (ended_) break;
      int section = 0;
      const long bytes =
          ov_read(&file_, reinterpret_cast<char*>(pcm_), sizeof pcm_, 0, 2, 1, &section);
      if (bytes > 0) {
        Convert(reinterpret_cast<const uint8_t*>(pcm_), static_cast<int>(bytes / (2 * channels_)));
        continue;
      }
      if (bytes == OV_HOLE) continue;  // a gap in the data: skipped
      // The end (or damage that ends the stream here).
      if (loop && bytes == 0 && ++empty_restarts <= 1 && ov_pcm_seek(&file_, 0) == 0) {
        if (wraps != nullptr) ++*wraps;
        continue;
      }
      ended_ = true;
      Convert(nullptr, 0);  // the resampler's last samples
    }
    return written;
  }

  bool Rewind() override {
    swr_init(resampler_);
    held_.clear();
    read_ = 0;
    ended_ = false;
    return ov_pcm_seek(&file_, 0) == 0;
  }
  bool ended() const override { return ended_ && read_ >= held_.size() / 2; }
  int output_rate() const override { return output_rate_; }

 private:
  Memory memory_;
  OggVorbis_File file_{};
  bool open_ = false;
  int channels_ = 2;
  int output_rate_;
  SwrContext* resampler_ = nullptr;
  bool ended_ = false;
  std::vector<int16_t> held_;  // converted stereo frames not yet read
  size_t read_ = 0;
  int16_t pcm_[4096];

  void Convert(const uint8_t* src, int in_frames) {
    const int room = swr_get_out_samples(resampler_, in_frames);
    if (room <= 0) return;
    held_.resize(2 * static_cast<size_t>(room));
    uint8_t* dst = reinterpret_cast<uint8_t*>(held_.data());
    const int made =
        swr_convert(resampler_, &dst, room, src != nullptr ? &src : nullptr, in_frames);
    held_.resize(2 * static_cast<size_t>(std::max(made, 0)));
  }
};

}  // namespace

std::unique_ptr<PcmDecoder> OpenVorbisDecoder(std::shared_ptr<const std::vector<uint8_t>> bytes,
                                              int output_rate) {
  if (!bytes || output_rate <= 0) return nullptr;
  auto d = std::make_unique<VorbisDecoder>(std::move(bytes), output_rate);
  if (!d->Open()) return nullptr;
  return d;
}

}  // namespace platform::media
